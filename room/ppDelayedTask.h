// Runs a task later, from the document window's message queue, and then clears the plan canvas's
// selection and schedules its update. The room template swap goes through it so that the floor whose
// property edit asked for the swap is destroyed only after that edit has returned. Without a task
// only the deselection and the update happen.
//
// Ownership: the sweeper owns the task until it has run it (the task is then deleted, never handed
// to an undo history); the canvas is not owned and must outlive the sweeper. User-interface thread
// only.
#pragma once

#include "framework/ppSweeper.h"

class ppTask;
class zelvproCanvas;

class ppDelayedTask : public ppSweeper {
 public:
  // Posts itself to the document window; `task` may be null.
  ppDelayedTask(ppTask* task, zelvproCanvas* canvas);
  ~ppDelayedTask() override;

  void Sweep() override;

 private:
  ppTask* task_ = nullptr;           // owned
  zelvproCanvas* canvas_ = nullptr;  // not owned
};
