// Placing a new door, room window or structure element pulled out of the element palette: the door
// task's tracking onto the nearest wall and its commit under the wall's segment, for openings that are
// not in the plan yet. A release where no wall was found, or outside the canvas's frame, places
// nothing. Undo takes the openings out of the plan; Redo puts them back into the segment they were
// taken from.
//
// Ownership: a new opening is a child of the canvas from its creation; it is the task's while it is
// not placed (a click, a refused release, a drop undone) and dies with the task. While the drop
// stands the openings belong to the plan. User-interface thread only.
#pragma once

#include <vector>

#include "canvas/tasks/zelvproDoorTask.h"

class zelvproDoorDraggerTask : public zelvproDoorTask {
 public:
  zelvproDoorDraggerTask(qxViewHolder* holders, zelvproCanvas* canvas);
  ~zelvproDoorDraggerTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;
  // New openings are not in the plan: no rubber band of plan units.
  void TrackRectangle() override {}

  // True while the drop is in the plan (after Do succeeded, or Redo).
  bool DropStands() const { return stands_; }

 private:
  bool ReleasedOutside() const;

  std::vector<zelvproElement*> openings_;
  // The view each opening was taken out of by Undo (its segment), in the openings' order.
  std::vector<ppView*> parents_;
  bool done_ = false;
  bool stands_ = false;
};
