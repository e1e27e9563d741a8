// The rubber-band selection of a plan canvas: the user presses on an empty place, drags a rectangle
// and releases; every child of the canvas whose reference point lies inside becomes selected. The
// rectangle is framed in exclusive-or from the press to the mouse. A selection is never undoable:
// IsEmpty answers true, so the mouse-up handling drops the task right after Do.
// User-interface thread only.
#pragma once

#include "canvas/tasks/zelvproMouseTask.h"
#include "platform/GdiTypes.h"

class zelvproElement;

class zelvproPointerTask : public zelvproMouseTask {
 public:
  // `canvas` (not owned) is both the view drawn on and the element whose children are selected.
  zelvproPointerTask(ppView* view, zelvproElement* canvas);

  void Do() override;
  void SetTarget(void* /*target*/) override {}
  bool IsEmpty() override { return true; }
  void Track() override {}
  void DrawFeedback(int32_t x, int32_t y) override;

  // The rectangle (window pixels) from the press to the last drawn point, corners ordered.
  plat::RECT Band() const;

 private:
  zelvproElement* canvas_;
};
