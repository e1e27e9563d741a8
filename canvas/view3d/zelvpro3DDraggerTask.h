// Placing new units in the 3D view: units dragged in from the catalogue's item strip, or the copies
// an Alt press made. They track and drop as moved units do; until the drop stands they are the
// task's (a click, a refused drop or a drop undone and forgotten deletes them with the task). Copies
// that never stood leave the plan as the press found it: out of the plan and the price list, their
// originals selected again, the document's modified mark as it was. A group
// that dissolves on placement is dragged as a whole with its parts' offsets kept; once it landed the
// task works on its parts. Undo takes the units out of the plan and the price list, Redo puts them
// back into the containers and at the places the drop gave them.
//
// Ownership: the units until the drop stands, then the plan's. User-interface thread only.
#pragma once

#include <vector>

#include "canvas/view3d/zelvpro3DTask.h"

class ppView;

class zelvpro3DDraggerTask : public zelvpro3DTask {
 public:
  zelvpro3DDraggerTask(qxViewHolder* holders, zelvpro3DPane* pane, zelvproElement* picked);
  ~zelvpro3DDraggerTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;

  // For copies made where their originals stand (`originals`, the selection at the press, not
  // owned): they keep to the mouse from the press point, as moved units do, instead of bringing their
  // anchor to it. `modified`: the document's modified mark before the copies were made. Before the
  // task starts.
  void FollowFromPress(std::vector<zelvproElement*> originals, bool modified);
  // A press and release without a drag: copies go again.
  void Click() override;

  bool GroupMode() const { return groupMode_; }
  // The units the task puts into the plan and takes out again.
  const std::vector<zelvproElement*>& Dropped() const { return dropped_; }
  bool DropStands() const { return stands_; }

 private:
  struct Slot {
    zelvproElement* element = nullptr;
    ppView* container = nullptr;
    int32_t index = -1;
  };
  void Close(bool undo);
  // Copies that will not stand: out of the plan and the price list, the originals selected again.
  void DiscardCopies();

  bool groupMode_ = false;
  std::vector<zelvproElement*> groupParts_;  // the group's parts at the press
  std::vector<zelvproElement*> dropped_;
  std::vector<Slot> slots_;
  bool stands_ = false;
  bool copies_ = false;
  std::vector<zelvproElement*> originals_;  // until the drop stands
  bool modifiedBefore_ = false;
};
