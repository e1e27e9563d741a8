// A plan ruler: the strip beside the plan that shows world positions (millimetres, labelled in metres
// or feet) with major ticks, numbers and minor ticks, scrolls with the plan, marks the mouse position
// with an exclusive-or line and measures from a zero point the user may move. The plan editor keeps
// its scroll position, range and steps in step with the plan's; the plan scale is the layer palette's
// (millimetres per pixel). This base draws nothing along an axis; the horizontal and the vertical ruler
// name theirs.
//
// The ruler spacing (major and minor, millimetres) is one program-wide pair set from the unit setting
// by SetRulerUnits; 304.8 and 25.4 (a foot and an inch) with the imperial setting, 1000 and 100
// otherwise. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppView.h"

// Sets the ruler spacing from the unit setting (Preferences().unitSystem).
void SetRulerUnits();
float RulerMajorSpacing();
float RulerMinorSpacing();

class zelvproRuler : public ppView {
 public:
  static constexpr int32_t kScrollVertically = 401, kScrollHorizontally = 402;
  // The parameter is a plat::POINT* in window pixels.
  static constexpr int32_t kSetZeroPoint = 3057;
  static constexpr int32_t kUnitsChanged = 3059;
  // The zero point's start (millimetres on both axes).
  static constexpr float kMetricStartZero = 2000.0f, kImperialStartZero = 2032.0f;

  zelvproRuler(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical);

  void DoCommand(int32_t command, intptr_t parameter) override;
  void DrawContent(ppDC& dc) override;

  // The window frame inset by one pixel.
  virtual void GetContentRect(plat::RECT* rect);
  // Shows the pointer mark at (x, y), window pixels, taking it away from where it was.
  virtual void MoveMarker(int32_t x, int32_t y);
  virtual void EraseMarker();
  // The mark's exclusive-or line at (x, y) while it is shown; drawn twice it leaves the pixels as
  // they were. The base draws none.
  virtual void DrawMarker(int32_t x, int32_t y, ppDC& dc);
  // Moves the ruler by scroll units, held within 0 .. range + 1 on each axis; the uncovered strip is
  // repainted.
  virtual void ScrollBy(int32_t dx, int32_t dy);
  virtual void SetPosition(int32_t horizontal, int32_t vertical);
  // Pixels per scroll unit.
  virtual void SetSteps(int32_t horizontal, int32_t vertical);
  virtual void SetRange(int32_t horizontal, int32_t vertical);

  // The zero point (millimetres) that a point (window pixels) on this ruler stands for: the world
  // position under it, counted from this ruler's frame, scroll position and steps. False without a
  // layer palette to give the scale.
  bool ZeroPointAt(const plat::POINT& point, float* x, float* y);
  // Sets the zero point (millimetres) and repaints the ruler and the plan editor.
  void SetZeroPoint(float x, float y);
  float ZeroX() const { return zeroX_; }
  float ZeroY() const { return zeroY_; }
  int32_t PositionX() const { return position_[0]; }
  int32_t PositionY() const { return position_[1]; }
  int32_t RangeX() const { return range_[0]; }
  int32_t RangeY() const { return range_[1]; }
  int32_t StepX() const { return step_[0]; }
  int32_t StepY() const { return step_[1]; }
  bool MarkerShown() const { return markerShown_; }

 protected:
  // Draws the scale along one axis (horizontal: numbers and ticks along the bottom edge; vertical:
  // along the right edge).
  void DrawScale(ppDC& dc, bool horizontal);
  // The exclusive-or mark line across the ruler.
  void DrawMarkLine(ppDC& dc, bool horizontal, int32_t x, int32_t y);

 private:
  bool markerShown_ = false;
  plat::POINT marker_{};
  int32_t position_[2] = {0, 0};  // scroll units
  int32_t range_[2] = {0, 0};     // the largest position, scroll units
  int32_t step_[2] = {1, 1};      // pixels per scroll unit
  float zeroX_ = kMetricStartZero;
  float zeroY_ = kMetricStartZero;
};
