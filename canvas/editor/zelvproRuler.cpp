#include "canvas/editor/zelvproRuler.h"

#include <cmath>

#include "canvas/editor/zelvproEditor.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "foundation/UserPreferences.h"
#include "foundation/ppParameter.h"
#include "framework/FontCache.h"
#include "framework/ppDC.h"
#include "framework/ppFillAdorner.h"
#include "framework/ppRegion.h"
#include "framework/qxFrameAdorner.h"
#include "platform/Gdi.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

namespace {

// A foot and an inch in millimetres; a metre and ten centimetres.
constexpr float kFoot = 304.8f, kInch = 25.4f;
constexpr float kMetre = 1000.0f, kDecimetre = 100.0f;

// The ruler spacing (millimetres). User-interface thread.
float gRulerMajor = kMetre;
float gRulerMinor = kDecimetre;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("plan rulers: spacing", [] {
  gRulerMajor = kMetre;
  gRulerMinor = kDecimetre;
});

bool Imperial() { return Preferences().unitSystem == kUnitImperial; }

constexpr int32_t kFrameColour = 10;
constexpr int32_t kFillPicture = 1018;
// Majors and labels need more than this many pixels between them.
constexpr double kLabelGap = 20.0;
// Zoomed out beyond this scale (millimetres per pixel) the imperial ruler ticks the half foot only.
constexpr double kImperialCoarseScale = 5.0;
constexpr int32_t kFontHeight = 9;
constexpr double kMostMajors = 100000.0;
// Beyond the majors a ruler draws at the most: no step needs to be larger.
constexpr int64_t kMostLabelStep = 1000000;

// The plan scale (millimetres per pixel); 0 without a layer palette.
double Scale() {
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  return palette != nullptr ? palette->GetScale() : 0.0;
}

// Labels stand on every n-th major, n the first of 1, 2, 5, 10, 20, 50 ... that puts them more than
// kLabelGap pixels apart (`majorPixels` between two majors). Counted from the zero line, 0 always has
// its number, the numbers run in even steps, and the strip repainted after a scroll labels the same
// majors as the pixels moved beside it.
int64_t LabelEvery(double majorPixels) {
  static constexpr int64_t kMantissas[] = {1, 2, 5};
  for (int64_t decade = 1; decade < kMostLabelStep; decade *= 10) {
    for (int64_t m : kMantissas) {
      if (double(m * decade) * majorPixels > kLabelGap) return m * decade;
    }
  }
  return kMostLabelStep;
}

// Scroll units moved when `delta` is asked at `position`: held within 0 .. range + 1.
int32_t Clamp(int32_t delta, int32_t position, int32_t range) {
  if (position + delta > range) delta = range + 1 - position;
  if (position + delta < 0) delta = -position;
  return delta;
}

}  // namespace

void SetRulerUnits() {
  gRulerMajor = Imperial() ? kFoot : kMetre;
  gRulerMinor = Imperial() ? kInch : kDecimetre;
}

float RulerMajorSpacing() { return gRulerMajor; }
float RulerMinorSpacing() { return gRulerMinor; }

zelvproRuler::zelvproRuler(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical)
    : ppView(supervisor, horizontal, vertical) {
  SetFrame(frame);
  SetRulerUnits();
  zeroX_ = zeroY_ = Imperial() ? kImperialStartZero : kMetricStartZero;
  new qxFrameAdorner(this, kFrameColour);
  new ppFillAdorner(this, kFillPicture);
}

void zelvproRuler::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kScrollVertically:
      return ScrollBy(0, int32_t(parameter));
    case kScrollHorizontally:
      return ScrollBy(int32_t(parameter), 0);
    case kSetZeroPoint: {
      float x = 0, y = 0;
      const auto* point = reinterpret_cast<const plat::POINT*>(parameter);
      if (point != nullptr && ZeroPointAt(*point, &x, &y)) SetZeroPoint(x, y);
      return;
    }
    case kUnitsChanged:
      // The zero point keeps its world value: only the spacing changes.
      SetRulerUnits();
      return Invalidate();
    default:
      return;
  }
}

bool zelvproRuler::ZeroPointAt(const plat::POINT& point, float* x, float* y) {
  const double s = Scale();
  if (s <= 0.0) return false;
  plat::RECT f{};
  GetWindowFrame(&f);
  *x = float(double(step_[0] * position_[0] + (point.x - f.left)) * s);
  *y = float(double(step_[1] * position_[1] + (point.y - f.top)) * s);
  return true;
}

void zelvproRuler::SetZeroPoint(float x, float y) {
  zeroX_ = x;
  zeroY_ = y;
  Invalidate();
  if (zelvproEditor* editor = zelvproEditor::Current()) editor->Invalidate();
}

void zelvproRuler::GetContentRect(plat::RECT* rect) {
  GetWindowFrame(rect);
  rect->left += 1;
  rect->top += 1;
  rect->right -= 1;
  rect->bottom -= 1;
}

void zelvproRuler::MoveMarker(int32_t x, int32_t y) {
  ppDC dc(GetHWND());
  if (markerShown_) DrawMarker(marker_.x, marker_.y, dc);
  markerShown_ = true;
  DrawMarker(x, y, dc);
  marker_ = plat::POINT{x, y};
}

void zelvproRuler::EraseMarker() {
  if (!markerShown_) return;
  ppDC dc(GetHWND());
  DrawMarker(marker_.x, marker_.y, dc);
  markerShown_ = false;
}

void zelvproRuler::DrawMarker(int32_t, int32_t, ppDC&) {}

void zelvproRuler::DrawMarkLine(ppDC& dc, bool horizontal, int32_t x, int32_t y) {
  if (!markerShown_) return;
  plat::RECT f{};
  GetWindowFrame(&f);
  dc.SetNormalPen();
  dc.SetXorMode();
  if (horizontal) {
    dc.MoveTo(x, f.top + 2);
    dc.LineTo(x, f.bottom - 2);
  } else {
    dc.MoveTo(f.left + 2, y);
    dc.LineTo(f.right - 2, y);
  }
  dc.SetCopyMode();
}

void zelvproRuler::ScrollBy(int32_t dx, int32_t dy) {
  dx = Clamp(dx, position_[0], range_[0]);
  dy = Clamp(dy, position_[1], range_[1]);
  const int32_t moves[2][2] = {{dx, 0}, {0, dy}};
  for (int32_t axis = 0; axis < 2; ++axis) {
    const int32_t delta = axis == 0 ? dx : dy;
    if (delta == 0) continue;
    position_[axis] += delta;
    plat::HWND window = GetHWND();
    if (window == nullptr) continue;
    plat::RECT rect{};
    GetContentRect(&rect);
    plat::HDC hdc = plat::GetDC(window);
    ppRegion uncovered;
    plat::ScrollDC(hdc, -moves[axis][0] * step_[0], -moves[axis][1] * step_[1], &rect, &rect,
                   uncovered.Handle(), nullptr);
    plat::ReleaseDC(window, hdc);
    InvalidateRegion(&uncovered);
  }
}

void zelvproRuler::SetPosition(int32_t horizontal, int32_t vertical) {
  position_[0] = horizontal;
  position_[1] = vertical;
}

void zelvproRuler::SetSteps(int32_t horizontal, int32_t vertical) {
  step_[0] = horizontal;
  step_[1] = vertical;
}

void zelvproRuler::SetRange(int32_t horizontal, int32_t vertical) {
  range_[0] = horizontal;
  range_[1] = vertical;
}

void zelvproRuler::DrawContent(ppDC&) {}

void zelvproRuler::DrawScale(ppDC& dc, bool horizontal) {
  const double s = Scale();
  if (s <= 0.0) return;
  plat::RECT f{};
  GetWindowFrame(&f);
  const double major = gRulerMajor, minor = gRulerMinor;
  const bool coarseImperial = Imperial() && s > kImperialCoarseScale;
  const int32_t axis = horizontal ? 0 : 1;
  const int32_t low = horizontal ? f.left : f.top;
  const int32_t length = horizontal ? f.right - f.left : f.bottom - f.top;
  const double zero = horizontal ? zeroX_ : zeroY_;
  // The world value (millimetres from the zero point) at the frame's low edge, and past the far one.
  const double start = double(step_[axis] * position_[axis]) * s - zero;
  const double end = double(length) * s + start + major;
  // Majors lie at whole multiples k of the spacing, counted from the one before the first visible
  // major; counting them (instead of adding the spacing up) keeps k = 0, the zero line, exact for a
  // spacing that is no binary fraction (a foot).
  const double first = std::trunc(start / major) - 1.0;
  const double last = std::floor(end / major);
  // Zoomed out this far (a hundred thousand majors along the ruler) there is nothing to tell apart.
  if (!(last - first < kMostMajors)) return DrawMarker(marker_.x, marker_.y, dc);
  auto pixel = [&](double world) { return low + int32_t(std::lround((world - start) / s)); };
  dc.SetFont(Vcon::String(kDefaultFaceName), kFontHeight, 0, 0.0f);
  dc.SelectFont();
  // Ticks are lines one pixel wide whatever pen earlier drawing left behind.
  dc.SetPenSize(1, 1);
  dc.SetGray(50);
  // On a plain context (copy mode, pixels as they are: no scaling map mode) a tick is filled as a
  // rectangle one pixel wide in the pen's colour (the fill brush SetGray just made): the pixels the
  // line would set, without a line's setting up for each of the hundreds of ticks.
  const plat::HDC hdc = dc.GetHDC();
  const bool fillTicks = hdc != nullptr && dc.GetDrawingMode() == ppDC::kModeCopy &&
                         plat::GetROP2(hdc) == plat::R2_COPYPEN && plat::GetMapMode(hdc) == plat::MM_TEXT;
  const plat::HBRUSH tickBrush = dc.GetFillBrush();
  // A tick across the ruler's outer edge, `size` pixels long, at the pixel `at` along it; the line
  // stops short of the edge's last pixel row (a line leaves out its end point).
  auto tick = [&](int32_t at, int32_t size) {
    if (fillTicks) {
      const plat::RECT r = horizontal ? plat::RECT{at, f.bottom - size, at + 1, f.bottom - 1}
                                      : plat::RECT{f.right - size, at, f.right - 1, at + 1};
      plat::FillRect(hdc, &r, tickBrush);
    } else if (horizontal) {
      dc.MoveTo(at, f.bottom - size);
      dc.LineTo(at, f.bottom - 1);
    } else {
      dc.MoveTo(f.right - size, at);
      dc.LineTo(f.right - 1, at);
    }
  };
  const double minorStep = coarseImperial ? 12.0 * minor : minor;
  const int64_t labelEvery = LabelEvery(major / s);
  for (int64_t k = int64_t(first); double(k) * major <= end; ++k) {
    const double t = double(k) * major;
    const int32_t at = pixel(t);
    if (k == 0) {
      if (horizontal) {
        dc.MoveTo(at, f.top + 1);
        dc.LineTo(at, f.bottom - 1);
      } else {
        dc.MoveTo(f.left + 1, at);
        dc.LineTo(f.right - 1, at);
      }
    }
    if (k % labelEvery == 0) {
      tick(at, 10);
      const Vcon::WString label = ppParameter(float(k < 0 ? -k : k)).AsWString();
      dc.SetTextColor(k < 0 ? ppRGBColor{80, 20, 20} : ppRGBColor{20, 20, 20});
      // The text's top-left corner: beside the tick at the bottom; at the left above the tick.
      if (horizontal) {
        dc.DrawTextAt(label, at + 2, f.bottom - 9 + kFontHeight);
      } else {
        dc.DrawTextAt(label, f.left + 3, at - 4 + kFontHeight);
      }
    }
    if (major / s > kLabelGap) {
      const double next = t + major;
      for (double u = t + (coarseImperial ? 6.0 * minor : minor); u < next - 10.0; u += minorStep)
        tick(pixel(u), 5);
    }
  }
  dc.RestoreFont();
  DrawMarker(marker_.x, marker_.y, dc);
}
