#pragma once
// A pane that shows a window onto a larger content measured in whole steps (pixels per step in x and
// y) and moves it with ScrollDC. Its subviews live in content coordinates: local to window adds the
// frame's origin less the scrolled distance. Normally the scroller of a ppScrollPane, which keeps
// the scroll bars in step with it. Positions, extents and visible counts are steps.

#include <cstdint>

#include "framework/ppPane.h"

class ppScrollPane;

class ppScroller : public ppPane {
 public:
  static constexpr int32_t kScrollVertically = 401;
  static constexpr int32_t kScrollHorizontally = 402;

  ppScroller(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical, int32_t stepX,
             int32_t stepY, int32_t extentX, int32_t extentY);

  void SetStep(int32_t x, int32_t y);
  // Keeps the content size and tells the scroll pane, which sets the bars' ranges.
  void SetExtent(int32_t x, int32_t y);
  // Sets the position and tells the scroll pane, which moves the bars' thumbs.
  void ScrollTo(int32_t x, int32_t y);

  // Recomputes the visible counts from the frame (rounded up) and gives the bars their page sizes.
  virtual void UpdateVisible();
  // Moves the content by whole steps, kept within 0 .. extent - visible; the uncovered area is
  // invalidated.
  virtual void ScrollBy(int32_t dx, int32_t dy);
  // The rectangle that scrolling moves, in window coordinates: the frame.
  virtual void GetScrollRect(plat::RECT* rect);

  // 401 scrolls vertically by `amount` steps, 402 horizontally.
  void DoCommand(int32_t command, intptr_t amount) override;
  void LocalToWindow(plat::POINT* point) override;
  void LocalToWindowRect(plat::RECT* rect) override;
  void WindowToLocal(plat::POINT* point) override;
  void WindowToLocalRect(plat::RECT* rect) override;
  void FrameChanged() override;

  int32_t PositionX() const { return positionX_; }
  int32_t PositionY() const { return positionY_; }
  int32_t StepX() const { return stepX_; }
  int32_t StepY() const { return stepY_; }
  int32_t ExtentX() const { return extentX_; }
  int32_t ExtentY() const { return extentY_; }
  int32_t VisibleX() const { return visibleX_; }
  int32_t VisibleY() const { return visibleY_; }

 protected:
  // The scroll pane above, or null when the supervisor is something else.
  ppScrollPane* Pane() const;
  // The window offset of content coordinates, in pixels.
  int32_t OffsetX() const { return GetFrame().left - positionX_ * stepX_; }
  int32_t OffsetY() const { return GetFrame().top - positionY_ * stepY_; }

 private:
  // The move along one axis kept within the content.
  static int32_t Clamp(int32_t delta, int32_t position, int32_t visible, int32_t extent);
  void MoveContent(int32_t dxPixels, int32_t dyPixels);

  int32_t positionX_ = 0;
  int32_t positionY_ = 0;
  int32_t stepX_ = 1;
  int32_t stepY_ = 1;
  int32_t extentX_ = 0;
  int32_t extentY_ = 0;
  int32_t visibleX_ = 0;
  int32_t visibleY_ = 0;
};

// A scroller whose content is a grid of equal cells; positions and extents count columns and rows.
class ppListScroller : public ppScroller {
 public:
  // `unused` is kept for the callers that pass it.
  ppListScroller(ppView* supervisor, const plat::RECT& frame, int32_t unused, int32_t cellWidth,
                 int32_t cellHeight);

  void SetCellHeight(int32_t height);
  int32_t CellWidth() const { return cellWidth_; }
  int32_t CellHeight() const { return cellHeight_; }
  // The cell's rectangle in window coordinates.
  void GetCellRect(int32_t column, int32_t row, plat::RECT* rect);

  virtual void DrawCell(ppDC& dc, int32_t column, int32_t row, const plat::RECT& rect);
  virtual bool CellClicked(int32_t column, int32_t row, int32_t x, int32_t y);

  void ClipToFrame(ppDC& dc) override;
  void DrawContent(ppDC& dc) override;
  bool MouseDown(int32_t x, int32_t y) override;

 private:
  int32_t LastVisibleColumn() const;
  int32_t LastVisibleRow() const;

  int32_t cellWidth_;
  int32_t cellHeight_;
};
