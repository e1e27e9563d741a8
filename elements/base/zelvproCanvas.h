// A plan canvas: the root element of one plan tree, which also keeps the plan's undo history. The
// document window's canvases build on it; the element tasks post to its history.
// User-interface thread only.
#pragma once

#include "elements/base/iPlanEditor.h"
#include "elements/base/zelvproElement.h"
#include "framework/ppUndoer.h"

class zelvproCanvasUpdateSweeper;

class zelvproCanvas : public zelvproElement, public ppUndoer {
 public:
  zelvproCanvas(ppView* parent, const plat::RECT& frame, zelvDatabase* database);
  ~zelvproCanvas() override;

  ppUndoer* GetUndoer() override { return this; }
  // The scrolled view of the main canvas, whose window frame gives the pixel origin; null when the
  // canvas is not shown in one.
  virtual ppView* GetScrollView() { return scrollView_; }
  void SetScrollView(ppView* view) { scrollView_ = view; }
  // Command 204 deselects every child and redraws the plan; the others as every element has them.
  static constexpr int32_t kDeselectAll = 204;
  void DoCommand(int32_t command, intptr_t parameter) override;

  // Posts one deferred update of the canvas to its window (the document window when it has none;
  // nothing without either); further requests before it ran add nothing.
  virtual void ScheduleUpdate();
  bool UpdateScheduled() const { return pendingUpdate_ != nullptr; }
  // The deferred update: the selection's holder chain, or a holder of the canvas itself when
  // nothing is selected, becomes the current one and shows its panel.
  virtual void RunScheduledUpdate();
  // The pending sweeper ran or went.
  void UpdateSwept(const zelvproCanvasUpdateSweeper* sweeper);

  // The editor pane that shows the canvas; a neutral one when none was set.
  iPlanEditor& GetEditor() const { return editor_ != nullptr ? *editor_ : iPlanEditor::Neutral(); }
  // Not owned; null: none. The editor clears it before it goes.
  void SetEditor(iPlanEditor* editor) { editor_ = editor; }
  // Builds elements from the canvas's document-module records (with 0: duplicates the selection).
  virtual void LoadDocumentModules(int32_t /*flag*/) {}
  // Makes the selection chain of holders after a selection change.
  virtual void RebuildViewHolders() {}

 private:
  ppView* scrollView_ = nullptr;                         // not owned
  zelvproCanvasUpdateSweeper* pendingUpdate_ = nullptr;  // owned by the queue until it runs
  iPlanEditor* editor_ = nullptr;                        // not owned
};
