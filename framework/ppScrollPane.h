#pragma once
// The pane that puts a scroller and one or two native scroll bars together and keeps them in step:
// the bars' commands go to the scroller, the scroller's extent and position go to the bars. Bars are
// 18 pixels thick along the right and bottom edges; the content rectangle is what they leave.
//
// The pane owns its bars and its scroller (subviews). The scroller is made by MakeScroller, which the
// maker of the pane calls once after construction (a subclass's own scroller cannot be made from the
// base constructor).

#include <cstdint>

#include "framework/ppPane.h"

class ppScrollBar;
class ppScroller;

class ppScrollPane : public ppPane {
 public:
  static constexpr int32_t kHorizontalBar = 1;
  static constexpr int32_t kVerticalBar = 2;
  static constexpr int32_t kBothBars = 3;
  static constexpr int32_t kBarSize = 18;

  ppScrollPane(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical, int32_t step,
               int32_t barMode);

  // Makes the content scroller over the content rectangle and lays the pane out again. The default
  // is a plain scroller with steps 1, 1 and extent 0, 0; a scroller made before is deleted.
  virtual void MakeScroller();
  // Recomputes the content rectangle, updates the scroller's visible counts and the bars' ranges.
  virtual void Layout();

  void DoCommand(int32_t command, intptr_t amount) override;
  void SetBarPositions(int32_t x, int32_t y);
  // Keeps the extent; with a scroller the bars' ranges become extent - 1.
  void SetExtent(int32_t x, int32_t y);
  // The bars' pages become the scroller's visible counts.
  void UpdatePageSizes();

  void FrameChanged() override;
  void ClipToFrame(ppDC& dc) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;

  ppScroller* Scroller() const { return scroller_; }
  ppScrollBar* HorizontalBar() const { return horizontalBar_; }
  ppScrollBar* VerticalBar() const { return verticalBar_; }
  const plat::RECT& ContentRect() const { return content_; }

 protected:
  // Installs `scroller` (a subview of this pane), deleting the previous one.
  void SetScroller(ppScroller* scroller);

 private:
  void ComputeContentRect();

  ppScroller* scroller_ = nullptr;        // owned as a subview
  ppScrollBar* horizontalBar_ = nullptr;  // owned as a subview
  ppScrollBar* verticalBar_ = nullptr;    // owned as a subview
  plat::RECT content_{};                  // local coordinates
  int32_t lastX_ = 0;
  int32_t lastY_ = 0;
  int32_t extentX_ = 0;
  int32_t extentY_ = 0;
  int32_t step_ = 1;
};
