// Placing new units: a unit made from a catalogue item of the element palette, or the copies an Alt
// press makes, follow the mouse as a moved selection does (the mover's tracking, snapping, collision
// test and commit) and are put into the plan at the release. A package unit (a group whose flag word
// has kDissolvesOnPlacement) falls apart into its parts when it lands; from then on the task works on
// the parts. Undo takes the dropped units out of the plan and the price list, Redo puts them back in
// the same containers, at the same places.
//
// Ownership: until the drop stands the dropped units are the task's: a click, a refused drop or a drop
// undone deletes them with the task (one put back into a container by other means stays). While the
// drop stands they belong to the plan. User-interface thread only.
#pragma once

#include <vector>

#include "canvas/tasks/zelvproBasicMoverTask.h"

class zelvproDraggerTask : public zelvproBasicMoverTask {
 public:
  // Takes the chain `moved` over, as the mover does; notes whether its first element is a package and,
  // if so, which parts it holds now.
  zelvproDraggerTask(qxViewHolder* moved, zelvproCanvas* canvas, bool scheduleUpdate);
  ~zelvproDraggerTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;
  // The rubber band of the mover has no meaning for units that are not in the plan yet.
  void TrackRectangle() override {}

  bool IsPackage() const { return package_; }
  // The package's parts as they were at the press, in child order (empty without the package flag).
  const std::vector<zelvproElement*>& Parts() const { return parts_; }
  // The units the task puts into the plan and takes out again: the dragged ones, or after a package
  // landed its parts (and any further dragged unit).
  const std::vector<zelvproElement*>& Dropped() const { return dropped_; }
  // True while the drop is in the plan (after Do succeeded, or Redo).
  bool DropStands() const { return stands_; }

 private:
  // Where an undone unit stood: Redo puts it back into the same container at the same index.
  struct Slot {
    zelvproElement* element = nullptr;
    ppView* container = nullptr;
    int32_t index = -1;
  };

  // True when the release lies outside the frame of the canvas's supervisor.
  bool ReleasedOutside() const;
  // The closing steps of Undo and Redo.
  void Close(bool undo);

  bool package_ = false;
  std::vector<zelvproElement*> parts_;
  std::vector<zelvproElement*> dropped_;
  std::vector<Slot> slots_;
  bool dissolved_ = false;
  bool stands_ = false;
};
