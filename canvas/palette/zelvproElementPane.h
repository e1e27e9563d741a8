// The scrolling frame of the element palette's item strip: a scroll pane with a horizontal bar whose
// one scrolled view is the strip (zelvproElementScroller), which the pane makes itself. The catalogue
// browser drives it as its item picture list: it names itself as the strip's browser and asks the
// strip to empty or fill again when the selected group changes.
//
// Ownership: the pane owns the strip and its bar (subviews); the browser is not its own.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <functional>

#include "catalogue/browser/iItemPictureList.h"
#include "framework/ppScrollPane.h"

class zelvproElementScroller;

class zelvproElementPane : public ppScrollPane, public iItemPictureList {
 public:
  // The strip starts this many pixels below the pane's top (room for the catalogue path bar).
  static constexpr int32_t kStripTopGap = 22;
  // Each repaint keeps the strip this many pixels clear of the pane's right edge.
  static constexpr int32_t kRightGap = 2;
  static constexpr int32_t kFillPicture = 1020;
  static constexpr int32_t kFramePicture = 1101;
  // Shown in the memory error box, and thrown (as a long) to the start-up's handler, when the strip
  // cannot be made.
  static constexpr int32_t kMemoryError = 1014;
  static constexpr long kNoStripError = 3602;

  // Makes the strip for (pane, frame in the pane's coordinates).
  using StripMaker = std::function<zelvproElementScroller*(ppView* pane, const plat::RECT& frame)>;

  // `frame` in the supervisor's coordinates. `makeStrip` empty: a plain strip.
  zelvproElementPane(ppView* supervisor, const plat::RECT& frame, const StripMaker& makeStrip = {});
  ~zelvproElementPane() override;

  // ---- The browser's item picture list.
  void SetCatalog(qxCatalog* browser) override;
  void ResetView() override;
  void Reload() override;
  // Redraws `view` and ends the edit through the plan elements' redraw (the 3D pane included).
  void InvalidateElement(ppView* view, bool redraw) override;

  // Every command goes to the strip unchanged.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // A press on the pane is always taken.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  // Lays the strip out again from the frame before drawing: the frame less the bar, kRightGap
  // pixels in from the right edge.
  void DrawContent(ppDC& dc) override;

  zelvproElementScroller* Strip() const { return strip_; }
  qxCatalog* Catalog() const { return catalog_; }

 private:
  zelvproElementScroller* strip_ = nullptr;  // owned as a subview
  qxCatalog* catalog_ = nullptr;             // not owned
};
