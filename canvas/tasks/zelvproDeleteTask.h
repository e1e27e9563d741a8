// The undoable delete of a canvas's selection. Do takes the elements out of their containers and out
// of the price list; Undo puts each back into the container it came from (wall segments and kind 2 in
// front, the rest at the end); Redo takes them out again.
//
// Ownership: while its deletion stands, the task owns the elements it took out and deletes them when
// it goes; once undone they are the plan's again. User-interface thread only.
#pragma once

#include <vector>

#include "framework/ppTask.h"

class ppView;
class qxViewHolder;
class zelvproCanvas;
class zelvproElement;

class zelvproDeleteTask : public ppTask {
 public:
  // Deletes from `canvas` the elements of `selection` (not taken over; the canvas's unlocked selection
  // when null). Without the application's wall option (flags1 0x100) room wall segments stay.
  zelvproDeleteTask(zelvproCanvas* canvas, void* target, const qxViewHolder* selection = nullptr);
  ~zelvproDeleteTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;

  // The elements the task took out, in the order it took them.
  std::vector<zelvproElement*> Elements() const;

 private:
  struct Removed {
    zelvproElement* element;
    ppView* supervisor;  // the container it goes back into
  };
  void TakeOut(const Removed& removed, bool redo);
  void Finish(bool undone);

  zelvproCanvas* canvas_;                // not owned
  std::vector<zelvproElement*> chosen_;  // the caller's selection when one was given
  bool haveSelection_;
  bool done_ = false;
  std::vector<Removed> removed_;
};
