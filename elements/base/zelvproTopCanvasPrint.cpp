// The annotations the top canvas draws over the pictures of its printed pages: the plan's measure
// lines and the units' number labels, in device pixels over the page's picture rectangle.
#include <cmath>
#include <string>
#include <vector>

#include "elements/base/PlanAnnotation.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Geometry3D.h"
#include "foundation/LengthText.h"
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

}  // namespace

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
    float a1 = m.angle;
    float a2 = m.angle;
    if (m.kind == 2) {
      a1 = m.angle - kHalfPi;
      a2 = m.angle + kHalfPi;
    }
    const ppVector3 d = Turned(ppVector3(length, 0.0f, 0.0f), a2);
    ppVector3 t = Turned(ppVector3(0.0f, 0.0f, 1.0f), a1);
    t = ppVector3(t.x * 4.0f * s, t.y * 4.0f * s, t.z * 4.0f * s);
    float sx = float(frame.left) + 2.0f * t.x + x0;
    float sy = float(frame.bottom) - 2.0f * t.z + y0;
    if (m.level > 0) {
      sx += float(m.level) * 3.2f * t.x;
      sy -= float(m.level) * 3.2f * t.z;
    }
    const float ex = sx + factor * d.x;
    const float ey = sy - factor * d.z;
    float mx = sx + (ex - sx) / 2.0f + 4.0f * t.x;
    float my = sy + (ey - sy) / 2.0f - 4.0f * t.z;
    dc.MoveTo(int32_t(sx), int32_t(sy));
    dc.LineTo(int32_t(ex), int32_t(ey));
    for (auto [x, y] : {std::pair{sx, sy}, std::pair{ex, ey}}) {
      dc.MoveTo(int32_t(x - t.x), int32_t(y + t.z));
      dc.LineTo(int32_t(x + t.x), int32_t(y - t.z));
    }
    const int32_t fontHeight = Round(7.0f * s);
    dc.SetFont(Vcon::String(kLabelFace), fontHeight, 0, 0.0f);
    dc.SelectFont();
    const float half = std::ceil(float(dc.GetTextWidth(text)) / 2.0f);
    dc.RestoreFont();
    const float lineLength = std::hypot(ex - sx, ey - sy);
    float vx = lineLength > 0.0f ? (ex - sx) / lineLength * half : 0.0f;
    float vy = lineLength > 0.0f ? (ey - sy) / lineLength * half : 0.0f;
    if (a1 > kUprightLimit) {
      a1 -= kHalfTurn;
      vx = -vx;
      vy = -vy;
    }
    if (m.kind == 2) {
      mx += vx;
      my += vy;
    } else {
      mx -= vx;
      my -= vy;
    }
    dc.SetFont(Vcon::String(kLabelFace), fontHeight, 0, -a1 * 180.0f / kHalfTurn);
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
