#include "framework/ppScroller.h"

#include <algorithm>

#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppScrollPane.h"
#include "platform/Gdi.h"
#include "platform/WindowApi.h"

namespace {

// Steps needed to show `pixels`, rounded up; none for a step of 0.
int32_t StepsFor(int32_t pixels, int32_t step) {
  if (step <= 0) return 0;
  return pixels / step + (pixels % step != 0 ? 1 : 0);
}

void Shift(plat::RECT* r, int32_t dx, int32_t dy) {
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
}

}  // namespace

ppScroller::ppScroller(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical,
                       int32_t stepX, int32_t stepY, int32_t extentX, int32_t extentY)
    : ppPane(supervisor, frame, horizontal, vertical),
      stepX_(stepX),
      stepY_(stepY),
      extentX_(extentX),
      extentY_(extentY) {
  visibleX_ = StepsFor(Width(), stepX_);
  visibleY_ = StepsFor(Height(), stepY_);
}

ppScrollPane* ppScroller::Pane() const { return dynamic_cast<ppScrollPane*>(GetSupervisor()); }

void ppScroller::SetStep(int32_t x, int32_t y) {
  stepX_ = x;
  stepY_ = y;
}

void ppScroller::SetExtent(int32_t x, int32_t y) {
  extentX_ = x;
  extentY_ = y;
  if (ppScrollPane* pane = Pane()) pane->SetExtent(x, y);
}

void ppScroller::ScrollTo(int32_t x, int32_t y) {
  positionX_ = x;
  positionY_ = y;
  if (ppScrollPane* pane = Pane()) pane->SetBarPositions(x, y);
}

void ppScroller::UpdateVisible() {
  visibleX_ = StepsFor(Width(), stepX_);
  visibleY_ = StepsFor(Height(), stepY_);
  if (ppScrollPane* pane = Pane()) pane->UpdatePageSizes();
}

int32_t ppScroller::Clamp(int32_t delta, int32_t position, int32_t visible, int32_t extent) {
  if (position + delta + visible > extent) delta = extent - visible - position;
  if (position + delta < 0) delta = -position;
  return delta;
}

void ppScroller::ScrollBy(int32_t dx, int32_t dy) {
  dx = Clamp(dx, positionX_, visibleX_, extentX_);
  dy = Clamp(dy, positionY_, visibleY_, extentY_);
  if (dx != 0) {
    positionX_ += dx;
    MoveContent(-dx * stepX_, 0);
  }
  if (dy != 0) {
    positionY_ += dy;
    MoveContent(0, -dy * stepY_);
  }
}

void ppScroller::MoveContent(int32_t dxPixels, int32_t dyPixels) {
  plat::RECT rect;
  GetScrollRect(&rect);
  plat::HWND window = GetHWND();
  if (!window) return;
  plat::HDC dc = plat::GetDC(window);
  ppRegion uncovered;
  plat::ScrollDC(dc, dxPixels, dyPixels, &rect, &rect, uncovered.Handle(), nullptr);
  plat::ReleaseDC(window, dc);
  InvalidateRegion(&uncovered);
}

void ppScroller::GetScrollRect(plat::RECT* rect) { GetWindowFrame(rect); }

void ppScroller::DoCommand(int32_t command, intptr_t amount) {
  if (command == kScrollVertically) {
    ScrollBy(0, static_cast<int32_t>(amount));
  } else if (command == kScrollHorizontally) {
    ScrollBy(static_cast<int32_t>(amount), 0);
  } else {
    ppPane::DoCommand(command, amount);
  }
}

void ppScroller::LocalToWindow(plat::POINT* point) {
  if (GetSupervisor()) GetSupervisor()->LocalToWindow(point);
  point->x += OffsetX();
  point->y += OffsetY();
}

void ppScroller::LocalToWindowRect(plat::RECT* rect) {
  if (GetSupervisor()) GetSupervisor()->LocalToWindowRect(rect);
  Shift(rect, OffsetX(), OffsetY());
}

void ppScroller::WindowToLocal(plat::POINT* point) {
  if (GetSupervisor()) GetSupervisor()->WindowToLocal(point);
  point->x -= OffsetX();
  point->y -= OffsetY();
}

void ppScroller::WindowToLocalRect(plat::RECT* rect) {
  if (GetSupervisor()) GetSupervisor()->WindowToLocalRect(rect);
  Shift(rect, -OffsetX(), -OffsetY());
}

void ppScroller::FrameChanged() {
  ppPane::FrameChanged();
  UpdateVisible();
}

// ---- The list scroller.

ppListScroller::ppListScroller(ppView* supervisor, const plat::RECT& frame, int32_t, int32_t cellWidth,
                               int32_t cellHeight)
    : ppScroller(supervisor, frame, kStretch, kStretch, cellWidth, cellHeight, 0, 0),
      cellWidth_(cellWidth),
      cellHeight_(cellHeight) {}

void ppListScroller::SetCellHeight(int32_t height) {
  cellHeight_ = height;
  SetStep(cellWidth_, height);
}

void ppListScroller::GetCellRect(int32_t column, int32_t row, plat::RECT* rect) {
  rect->left = (column - PositionX()) * cellWidth_;
  rect->top = (row - PositionY()) * cellHeight_;
  rect->right = rect->left + cellWidth_;
  rect->bottom = rect->top + cellHeight_;
  plat::RECT frame;
  GetWindowFrame(&frame);
  Shift(rect, frame.left, frame.top);
}

void ppListScroller::DrawCell(ppDC&, int32_t, int32_t, const plat::RECT&) {}
bool ppListScroller::CellClicked(int32_t, int32_t, int32_t, int32_t) { return false; }

void ppListScroller::ClipToFrame(ppDC& dc) {
  plat::RECT frame;
  GetWindowFrame(&frame);
  ppRegion region(frame);
  dc.SetClipRegion(&region);
}

int32_t ppListScroller::LastVisibleColumn() const { return std::min(PositionX() + VisibleX(), ExtentX()); }

int32_t ppListScroller::LastVisibleRow() const { return std::min(PositionY() + VisibleY(), ExtentY()); }

void ppListScroller::DrawContent(ppDC& dc) {
  for (int32_t row = PositionY(); row < LastVisibleRow(); ++row) {
    for (int32_t column = PositionX(); column < LastVisibleColumn(); ++column) {
      plat::RECT cell;
      GetCellRect(column, row, &cell);
      DrawCell(dc, column, row, cell);
    }
  }
}

bool ppListScroller::MouseDown(int32_t x, int32_t y) {
  if (ppScroller::MouseDown(x, y)) return true;
  for (int32_t row = PositionY(); row < LastVisibleRow(); ++row) {
    for (int32_t column = PositionX(); column < LastVisibleColumn(); ++column) {
      plat::RECT cell;
      GetCellRect(column, row, &cell);
      if (x >= cell.left && x < cell.right && y >= cell.top && y < cell.bottom) {
        return CellClicked(column, row, x, y);
      }
    }
  }
  return false;
}
