// The groups that dissolved into their parts at the end of a committed move (placement-aid groups,
// which dissolve on their first move), kept by the move so that its Undo brings each group back
// whole: its parts go back into it where they stood in it, and the group stands again where the move
// put it, for the move's own undo to take it back further. Redo dissolves it again.
//
// Ownership: a dissolved group is taken back from the application's deletion list and owned here
// until Undo puts it back on the plan (then its container owns it); one still dissolved goes with
// this object. The parts and the containers are not owned. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppVector3.h"
#include "platform/GdiTypes.h"

class ppView;
class zelvproElement;
class zelvproTopGroupElement;

class DissolvedGroups {
 public:
  DissolvedGroups() = default;
  ~DissolvedGroups();
  DissolvedGroups(const DissolvedGroups&) = delete;
  DissolvedGroups& operator=(const DissolvedGroups&) = delete;

  // Runs `element`'s after-move step; a group that dissolves in it is kept, with its parts' places.
  void AfterMove(zelvproElement* element);
  // Every kept group that is dissolved takes its parts back and stands in its container again.
  void Restore();
  // Every kept group that was restored dissolves again.
  void DissolveAgain();
  // Whether `object` is a kept group or one of its parts.
  bool Refers(const void* object) const;
  bool Empty() const { return groups_.empty(); }

 private:
  struct Part {
    zelvproElement* element;
    ppVector3 position, anchor;
    float angle;
    plat::RECT frame;
  };
  struct Group {
    zelvproTopGroupElement* group;
    ppView* container;
    int32_t index;
    std::vector<Part> parts;
    bool dissolved;
  };
  // Takes the group over from the deletion list when it dissolved; answers whether it did.
  static bool TakeOver(Group& g);

  std::vector<Group> groups_;
};
