// Placing new plan wall pieces pulled out of the element palette: the wall piece task's tracking and
// commit for pieces that are not in the plan yet. Undo takes them out of the plan, Redo puts them back
// into the container and index they were taken from.
//
// Ownership: a new piece is a child of the canvas from its creation; it is the task's while it is not
// placed (a click, a refused release, a drop undone) and dies with the task. While the drop stands
// the pieces belong to the plan. User-interface thread only.
#pragma once

#include <vector>

#include "canvas/tasks/zelvproWallTask.h"

class zelvproWallDraggerTask : public zelvproWallTask {
 public:
  zelvproWallDraggerTask(qxViewHolder* holders, zelvproCanvas* canvas);
  ~zelvproWallDraggerTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;

  bool DropStands() const { return stands_; }

 private:
  struct Slot {
    zelvproElement* element = nullptr;
    ppView* container = nullptr;
    int32_t index = -1;
  };
  std::vector<zelvproElement*> pieces_;
  std::vector<Slot> slots_;
  bool done_ = false;
  bool stands_ = false;
};
