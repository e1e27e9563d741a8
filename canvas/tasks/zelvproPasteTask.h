// The undoable paste of elements already built from copied records (and in the plan): Do moves them by
// the paste offset (doors and windows stay on their walls) and selects them; Undo takes them out of
// the plan and the price list; Redo puts them back at the end of their container, in the order they
// were made.
//
// Ownership: the task owns its holder chain; while undone it also owns the pasted elements and
// deletes them when it goes. User-interface thread only.
#pragma once

#include <vector>

#include "framework/ppTask.h"

class ppView;
class qxViewHolder;
class zelvproCanvas;
class zelvproElement;

class zelvproPasteTask : public ppTask {
 public:
  // `holders` (taken over): the pasted elements, the last made first. `refresh`: each element is
  // selected with redraw, invalidated with its tree, and the 3D view redrawn.
  zelvproPasteTask(zelvproCanvas* canvas, qxViewHolder* holders, bool refresh);
  ~zelvproPasteTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;

  // The pasted elements in the order they were made.
  const std::vector<zelvproElement*>& Elements() const { return elements_; }

 private:
  void DeselectCanvases();

  zelvproCanvas* canvas_;  // not owned
  qxViewHolder* holders_;  // owned
  bool refresh_;
  std::vector<zelvproElement*> elements_;  // in the order made
  std::vector<ppView*> containers_;        // each element's container, for Redo
};
