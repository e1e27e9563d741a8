// The groups that dissolved into their parts at the end of a committed move (placement-aid groups,
// which dissolve on their first move), kept by the move so that its Undo brings each group back
// whole: its parts go back into it where they stood in it, and the group stands again where the move
// put it, for the move's own undo to take it back further. Redo dissolves it again.
//
// Ownership: a dissolved group is taken back from the application's deletion list and owned here
// until Undo puts it back on the plan (then its container owns it); one still dissolved goes with
// this object. The parts and the containers are not owned. The group, its parts and its container
// are kept by the move task (ppTask::Keep): any of them destroyed elsewhere takes the task off its
// history, and a group destroyed so is not deleted again. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppVector3.h"
#include "platform/GdiTypes.h"

class ppTask;
class ppView;
class zelvproElement;
class zelvproTopGroupElement;

class DissolvedGroups {
 public:
  // `task`: the move that keeps what this object holds.
  explicit DissolvedGroups(ppTask& task) : task_(task) {}
  ~DissolvedGroups();
  DissolvedGroups(const DissolvedGroups&) = delete;
  DissolvedGroups& operator=(const DissolvedGroups&) = delete;

  // Runs `element`'s after-move step; a group that dissolves in it is kept, with its parts' places.
  void AfterMove(zelvproElement* element);
  // Every kept group that is dissolved takes its parts back and stands in its container again.
  void Restore();
  // Every kept group that was restored dissolves again.
  void DissolveAgain();
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

  ppTask& task_;
  std::vector<Group> groups_;
};
