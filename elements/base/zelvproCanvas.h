// A plan canvas: the root element of one plan tree, which also keeps the plan's undo history. The
// document window's canvases build on it; the element tasks post to its history.
// User-interface thread only.
#pragma once

#include "elements/base/zelvproElement.h"
#include "framework/ppUndoer.h"

class zelvproCanvas : public zelvproElement, public ppUndoer {
 public:
  zelvproCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database);
  ~zelvproCanvas() override;

  ppUndoer* GetUndoer() override { return this; }
  // The scrolled view of the main canvas, whose window frame gives the pixel origin; null when the
  // canvas is not shown in one.
  virtual ppView* GetScrollView() { return scrollView_; }
  void SetScrollView(ppView* view) { scrollView_ = view; }
  // Posts one deferred update of the canvas; further requests before it ran add nothing.
  virtual void ScheduleUpdate() { updateScheduled_ = true; }
  bool UpdateScheduled() const { return updateScheduled_; }
  // Builds elements from the canvas's document-module records (with 0: duplicates the selection).
  virtual void LoadDocumentModules(int32_t /*flag*/) {}
  // Makes the selection chain of holders after a selection change.
  virtual void RebuildViewHolders() {}

 private:
  ppView* scrollView_ = nullptr;  // not owned
  bool updateScheduled_ = false;
};
