// The annotations the top canvas draws over the pictures of its printed pages: the plan's measure
// lines, the units' number labels and the measure lines of the elevations, in device pixels over the
// page's picture rectangle.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "elements/base/PlanAnnotation.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Geometry3D.h"
#include "foundation/LengthText.h"
#include "foundation/TolerantMath.h"
#include "framework/ppDC.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

constexpr float kHalfPi = 1.570796326795f;
constexpr float kHalfTurn = 3.14159265359f;
// A text turned past a quarter turn (plus a little) is turned back by a half turn to read upright.
constexpr float kUprightLimit = 1.6707963267950001f;
const char* const kLabelFace = "Arial";

int32_t Round(float value) { return int32_t(std::lround(value)); }

// (x, 0, z) turned about the vertical axis by `angle` radians, as the plan turns its elements.
ppVector3 Turned(ppVector3 v, float angle) {
  RotateAboutAxis(v, angle, ppVector3(0.0f, 1.0f, 0.0f));
  return v;
}

// One measure line of an elevation page. `anchor`: where it starts, millimetres from the picture's
// left and bottom edges; `length` signed, millimetres.
struct ElevationMeasure {
  ppVector2 anchor;
  float length = 0.0f;
  bool vertical = false;
  bool above = false;  // a width drawn above the picture (raised units); a height right of it
  int32_t level = 0;   // the column of a height, counted from the picture's edge
};

// An element turned by this much (radians) from the run still counts as standing along it.
constexpr float kRunAngleTolerance = 0.5f;
// A unit raised no more than this (millimetres) gets no measure of its height above the floor.
constexpr float kRaisedLimit = 10.0f;

void DrawElevationMeasure(ppDC& dc, const ElevationMeasure& m, const plat::RECT& frame, float s, float u,
                          float factor, const ppVector2& origin) {
  Vcon::WString text;
  FormatLength(std::fabs(m.length), text);
  const int32_t mx = Round(origin.x / u);
  const int32_t my = Round(origin.y / u);
  const int32_t fontHeight = Round(7.0f * s);
  if (!m.vertical) {
    const float x1 = float(frame.left) + m.anchor.x / u;
    const float x2 = x1 + m.length * factor;
    // Below the picture the line stands 10 pen units under its bottom edge, above it as far over its
    // top edge; the ticks reach 5 pen units to either side of the line.
    const float edge = m.above ? float(frame.top + my) : float(frame.bottom - my);
    const float away = m.above ? -1.0f : 1.0f;
    const int32_t y = int32_t(edge + away * 10.0f * s);
    dc.MoveTo(int32_t(x1), y);
    dc.LineTo(int32_t(x2), y);
    for (float x : {x1, x2}) {
      dc.MoveTo(int32_t(x), int32_t(edge + away * 5.0f * s));
      dc.LineTo(int32_t(x), int32_t(edge + away * 15.0f * s));
    }
    dc.SetFont(Vcon::String(kLabelFace), fontHeight, 0, 0.0f);
    dc.SelectFont();
    const int32_t width = dc.GetTextWidth(text);
    const int32_t left = int32_t(x1) + Round(((x2 - x1) - float(width)) / 2.0f);
    const int32_t top = int32_t(m.above ? edge - 20.0f * s : edge + 13.0f * s);
    dc.DrawText(text, plat::RECT{left, top, frame.right, int32_t(float(top) + 20.0f * s)}, 0);
    dc.RestoreFont();
    return;
  }
  const float y1 = m.anchor.y / u;
  const float y2 = y1 + m.length * factor;
  // Heights stand in columns 20 pen units apart left of the picture; right of it in two columns.
  const float column = m.above ? (m.level != 0 ? 30.0f : 10.0f) : float(m.level) * 20.0f + 10.0f;
  const float base = m.above ? float(frame.right - mx) : float(frame.left + mx);
  const float side = m.above ? 1.0f : -1.0f;
  const int32_t x = int32_t(base + side * column * s);
  const float bottom = float(frame.bottom);
  dc.MoveTo(x, int32_t(bottom - y1));
  dc.LineTo(x, int32_t(bottom - y2));
  for (float y : {y1, y2}) {
    dc.MoveTo(int32_t(base + side * (column - 5.0f) * s), int32_t(bottom - y));
    dc.LineTo(int32_t(base + side * (column + 5.0f) * s), int32_t(bottom - y));
  }
  // The text reads downwards along the line (turned a quarter turn clockwise), centred on it. Its
  // height is a character height (negative), unlike the cell height of the width measures.
  plat::LOGFONTA upright;
  upright.lfHeight = -fontHeight;
  upright.lfEscapement = upright.lfOrientation = -900;
  upright.lfWeight = 400;
  upright.lfOutPrecision = 3;             // stroke output precision
  upright.lfClipPrecision = 2;            // stroke clip precision
  upright.lfQuality = 1;                  // draft
  upright.lfPitchAndFamily = 0x2 | 0x20;  // variable pitch, Swiss family
  std::snprintf(upright.lfFaceName, sizeof upright.lfFaceName, "%s", kLabelFace);
  dc.SetLogFont(upright);
  dc.SelectFont();
  const int32_t width = dc.GetTextWidth(text);
  const float low = std::min(y1, y2);
  const float start = low + float(Round((std::fabs(y2 - y1) - float(width)) / 2.0f)) + float(width);
  const int32_t top = int32_t(bottom - start);
  const int32_t right = int32_t(float(x) + 5.0f * s);
  dc.DrawText(text, plat::RECT{int32_t(float(right) - 10.0f * s), top, right, top + width}, plat::DT_NOCLIP);
  dc.RestoreFont();
}

}  // namespace

void zelvproTopCanvas::ComputeRunEnds(const qxViewHolder* run, ppVector3& start, ppVector3& end) {
  if (run == nullptr) return;
  const ppVector3 origin = run->runStart;
  const float a0 = run->Element()->GetAbsoluteAngle();
  float low = FLT_MAX;
  float high = -FLT_MAX;
  for (const qxViewHolder* h = run; h != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    const ppVector3 d = Turned(ppVector3(h->runStart.x - origin.x, 0.0f, h->runStart.z - origin.z),
                               -element->GetAbsoluteAngle());
    if (d.x < low) {
      low = d.x;
      start = h->runStart;
    }
    if (d.x + element->dimensions.x > high) {
      high = d.x + element->dimensions.x;
      end = h->runEnd;
    }
  }
  // Both ends onto one line parallel to the run: the start takes the end's distance across the run.
  ppVector3 s = Turned(start, -a0);
  const ppVector3 e = Turned(end, -a0);
  s.z = e.z;
  start = Turned(s, a0);
  end = Turned(e, a0);
}

void zelvproTopCanvas::DrawElevationMeasures(ppDC& dc, const qxPrintPage& page, const qxViewHolder* run,
                                             float factor, float unitsPerPixel, const ppVector2& origin) {
  if (run == nullptr || unitsPerPixel == 0.0f) return;
  const float a0 = run->Element()->GetAbsoluteAngle();
  std::vector<ElevationMeasure> measures;
  // Heights already measured, by where they start and how long they are: two parts of one height
  // give one measure.
  std::set<std::pair<float, float>> heights;
  int32_t level = 0;
  for (const qxViewHolder* h = run; h != nullptr; h = h->Next()) {
    auto* unit = dynamic_cast<zelvproTopViewElement*>(h->Element());
    if (unit == nullptr) continue;
    const float a = unit->GetAbsoluteAngle();
    const bool front = NearlyEqual(a, a0, kRunAngleTolerance);
    const bool turnedLeft = !front && NearlyEqual(a, a0 + kHalfPi, kRunAngleTolerance);
    const bool turnedRight = !front && !turnedLeft && NearlyEqual(a, a0 - kHalfPi, kRunAngleTolerance);
    if (!front && !turnedLeft && !turnedRight) continue;
    std::vector<PlanAnnotation> parts;
    unit->CollectStretchDimensions(parts);
    ppVector3 position;
    unit->GetAbsolutePosition(position);
    const ppVector2 anchor(h->runStart.x, h->runStart.y);
    bool madeHeight = false;
    auto addHeight = [&](ppVector2 at, float length) {
      if (!heights.insert({at.y, length}).second) return;
      ElevationMeasure m;
      m.anchor = at;
      m.length = length;
      m.vertical = true;
      m.level = level;
      measures.push_back(m);
      madeHeight = true;
    };
    for (const PlanAnnotation& part : parts) {
      if (front && part.x) {
        ElevationMeasure m;
        m.anchor = anchor;
        m.length = float(*part.x);
        m.above = position.y > unit->dimensions.y;
        measures.push_back(m);
      }
      if (front && part.y) {
        addHeight(anchor, float(*part.y));
        if (position.y > kRaisedLimit) addHeight(ppVector2(anchor.x, anchor.y - position.y), position.y);
      }
      if (!front && part.z) {
        ElevationMeasure m;
        m.anchor = anchor;
        m.length = turnedLeft ? -float(*part.z) : float(*part.z);
        measures.push_back(m);
      }
    }
    if (madeHeight) ++level;
  }
  // The newest measure is drawn first.
  for (auto m = measures.rbegin(); m != measures.rend(); ++m)
    DrawElevationMeasure(dc, *m, page.image, page.imageScale, unitsPerPixel, factor, origin);
}

void zelvproTopCanvas::SwapInts(int32_t& a, int32_t& b) {
  const int32_t kept = a;
  a = b;
  b = kept;
}

void zelvproTopCanvas::DrawPlanMeasures(ppDC& dc, const qxPrintPage& page,
                                        const std::vector<PlanAnnotation>& measures, float factor,
                                        float unitsPerPixel) {
  if (unitsPerPixel == 0.0f) return;
  const float s = page.imageScale;
  const float u = unitsPerPixel;
  const plat::RECT& frame = page.image;
  for (const PlanAnnotation& m : measures) {
    // A hidden measure draws nothing at all: its text used to stand alone where no line was drawn.
    if (m.hidden) continue;
    const float length = float(m.x.value_or(0.0));
    Vcon::WString text;
    FormatLength(std::fabs(length), text);
    const float x0 = m.second.x / u;
    const float y0 = -m.second.z / u;
    // The page shows the plan as its picture does: x to the right and the plan's z downwards, so a
    // line of angle a runs along (cos a, sin a) on the page. It stands 2 ticks out from its anchor,
    // square to its run on the left (a room's walls run clockwise on the page, so that is outside the
    // room); a line of a kind other than 2 (a wall's whole face beside its parts) one step further.
    const float ux = std::cos(m.angle), uy = std::sin(m.angle);
    const float tx = uy * 4.0f * s, ty = -ux * 4.0f * s;
    const float level = float(m.level + (m.kind == 2 ? 0 : 1));
    const float sx = float(frame.left) + x0 + (2.0f + level * 3.2f) * tx;
    const float sy = float(frame.bottom) + y0 + (2.0f + level * 3.2f) * ty;
    const float ex = sx + factor * length * ux;
    const float ey = sy + factor * length * uy;
    // The text's top edge stands 4 ticks out; a text turned over hangs outwards from its top, so its
    // top comes 1.75 ticks nearer (its height being 7 pen units) to cover the same band.
    float out = 4.0f;
    dc.MoveTo(int32_t(sx), int32_t(sy));
    dc.LineTo(int32_t(ex), int32_t(ey));
    for (auto [x, y] : {std::pair{sx, sy}, std::pair{ex, ey}}) {
      dc.MoveTo(int32_t(x - tx), int32_t(y - ty));
      dc.LineTo(int32_t(x + tx), int32_t(y + ty));
    }
    const int32_t fontHeight = Round(7.0f * s);
    dc.SetFont(Vcon::String(kLabelFace), fontHeight, 0, 0.0f);
    dc.SelectFont();
    const float half = std::ceil(float(dc.GetTextWidth(text)) / 2.0f);
    dc.RestoreFont();
    // The text is centred on the line and reads along it, never upside down.
    float turn = std::remainder(m.angle, 2.0f * kHalfTurn);
    float vx = ux * half, vy = uy * half;
    if (std::fabs(turn) > kUprightLimit) {
      turn -= std::copysign(kHalfTurn, turn);
      vx = -vx;
      vy = -vy;
      out -= 1.75f;
    }
    const float mx = sx + (ex - sx) / 2.0f + out * tx - vx;
    const float my = sy + (ey - sy) / 2.0f + out * ty - vy;
    dc.SetFont(Vcon::String(kLabelFace), fontHeight, 0, -turn * 180.0f / kHalfTurn);
    dc.SelectFont();
    dc.DrawTextAt(text, int32_t(mx), int32_t(my));
    dc.RestoreFont();
  }
}

void zelvproTopCanvas::DrawNumberLabels(ppDC& dc, const qxPrintPage& page, qxViewHolder* chain, float factor,
                                        float unitsPerPixel, const ppVector2& first,
                                        const ppVector2& second) {
  if (unitsPerPixel == 0.0f) return;
  const float s = page.imageScale;
  const float u = unitsPerPixel;
  const ppVector2 p1(float(page.image.left) + first.x / u, float(page.image.top) + first.y / u);
  const ppVector2 p2(float(page.image.left) + second.x / u, float(page.image.top) + second.y / u);
  const float k = p2.y != p1.y ? (p2.x - p1.x) / (p2.y - p1.y) * factor : factor;
  for (qxViewHolder* holder = chain; holder != nullptr; holder = holder->Next()) {
    auto* unit = dynamic_cast<zelvproTopViewElement*>(holder->Element());
    if (unit == nullptr) continue;
    const int64_t number = unit->GetValueByName("EnumNumber").ToLong();
    if (number <= 0) continue;
    ppVector3 position;
    unit->GetAbsolutePosition(position);
    position = ppVector3(position.x * k, position.y * k, position.z * k);
    const float theta = unit->GetNormalizedAngle();
    ppVector3 offset = unit->optionOffsetSet != 0 ? unit->optionOffset : unit->dimensions;
    if (unit->optionOffsetSet == 0) offset.x /= 2.0f;
    offset = Turned(ppVector3(offset.x * k, offset.y * k, offset.z * k), -theta);
    ppVector3 anchor(position.x + offset.x, position.y + offset.y, position.z + offset.z - 5.0f * s);
    plat::RECT box{Round(anchor.x - 7.0f * s + p1.x), Round(anchor.z - 5.0f * s + p1.y),
                   Round(anchor.x + 7.0f * s + p1.x), Round(anchor.z + 5.0f * s + p1.y)};
    if (box.left > box.right) SwapInts(box.left, box.right);
    if (box.top > box.bottom) SwapInts(box.top, box.bottom);
    dc.SetCopyMode();
    dc.SetGray(100);
    dc.FillRect(box);
    dc.SetGray(0);
    dc.FrameRect(box);
    const std::string text = std::to_string(number);
    dc.SetFont(Vcon::String(kLabelFace), Round(7.0f * s), 0, 0.0f);
    dc.SelectFont();
    const int32_t lower = Round(2.0f * s);
    box.top += lower;
    box.bottom += lower;
    dc.DrawText(Vcon::WString(text.c_str()), box, plat::DT_CENTER);
    dc.RestoreFont();
  }
}
