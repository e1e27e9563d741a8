// Moving units that are already in the plan in the 3D view: the shared 3D tracking and commit, and
// after an accepted drop the pane selects the moved units again and each runs its after-move step.
// Undo brings a group that dissolved in that step back whole; Redo dissolves it again.
// Ownership as zelvpro3DTask's; the dissolved groups are the task's. User-interface thread only.
#pragma once

#include "canvas/tasks/DissolvedGroups.h"
#include "canvas/view3d/zelvpro3DTask.h"

class zelvpro3DMoverTask : public zelvpro3DTask {
 public:
  zelvpro3DMoverTask(qxViewHolder* holders, zelvpro3DPane* pane, zelvproElement* picked);
  ~zelvpro3DMoverTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;
  // Tells both canvases the selection changed and has the plan and the pane redrawn.
  void Release(plat::POINT* point) override;

 private:
  DissolvedGroups dissolved_{*this};
};
