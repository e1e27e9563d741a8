// What the element code asks of the task that moves one whole wall of the room outline sideways (the
// canvas layer makes it through iElementTaskFactory::NewMoveObjectTask). The task object is also a
// ppTask: posted on an undo history, which then owns it, the move can be undone and redone.
// User-interface thread only.
#pragma once

class ppTask;

class iMoveObjectTask {
 public:
  virtual ~iMoveObjectTask() = default;

  // Moves the wall by (dx, dz) plan millimetres, with the ends of the walls joined to it, and keeps
  // what moved for undo; `replay` replays that record instead (undo and redo).
  virtual void ApplyMove(float dx, float dz, bool replay) = 0;
  // The task itself, to post on a history or to delete (deleting it deletes this object).
  virtual ppTask* Task() = 0;
};
