// The canvas layer's task factory: the tasks the plan elements and the room ask for through
// iElementTaskFactory. This rows: the delete and paste command tasks. Rows not filled yet
// keep the neutral answer (no task).
// User-interface thread only.
#pragma once

#include "elements/base/iElementTaskFactory.h"

class CanvasTaskFactory : public iElementTaskFactory {
 public:
  ppTask* NewDeleteTask(zelvproCanvas* canvas, const qxViewHolder* selection) override;
  ppTask* NewPasteTask(zelvproCanvas* canvas, qxViewHolder* made, int32_t flag) override;

  // Installs the program's one factory (iElementTaskFactory::Install); the desktop's reset takes it
  // away again.
  static void InstallDefault();
};
