// The task a unit makes when the user drags the plan's selection: the basic mover's tracking and
// commit, then the steps after a committed move (the after-move hook of every moved unit, where a
// package group dissolves; the deferred canvas update; the 3D refresh). Undo brings a group that
// dissolved back whole before the units go back; Redo dissolves it again after they move.
// Ownership and thread as zelvproBasicMoverTask; the dissolved groups are the task's (DissolvedGroups).
#pragma once

#include "canvas/tasks/DissolvedGroups.h"
#include "canvas/tasks/zelvproBasicMoverTask.h"

class zelvproMoverTask : public zelvproBasicMoverTask {
 public:
  // Sent to the canvas with the moved chain after a committed move.
  static constexpr int32_t kMovedCommand = 3082;

  using zelvproBasicMoverTask::zelvproBasicMoverTask;
  ~zelvproMoverTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;

 private:
  DissolvedGroups dissolved_{*this};
};
