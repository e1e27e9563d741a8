// The room canvas on screen (background, grid, the outline of side faces) and on a printed page,
// where the outline also goes to a running drawing export as LINEs on layer "ROOM".
#include <algorithm>
#include <cmath>

#include "elements/base/PlanPixels.h"
#include "elements/topview/iPrintSettings.h"
#include "framework/ppApplication.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppShape.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "scene3d/dxf/DxfExportState.h"
#include "scene3d/dxf/DxfWriter.h"

namespace {

const char* const kRoomLayer = "ROOM";
const ppRGBColor kSelectedFace{255, 0, 0}, kFace{0, 0, 0};

// An application colour in bytes; white (the application's own default) without an application.
ppRGBColor AppColour(int32_t id) {
  return gApplication != nullptr ? gApplication->GetColor(id) : ppRGBColor{255, 255, 255};
}

plat::POINT Pixel(const ppVector3& plan) {
  plat::POINT p{0, 0};
  PlanPointToScreen(plan, p);
  return p;
}

// The grid's offset from the plan origin: the remainder of a ruler origin by the grid step, with the
// sign of the origin.
double GridPhase(int32_t origin, int32_t step) { return std::fmod(double(origin), double(step)); }

// A line between two plan points, one pixel up and left of where the points map.
void GridLine(ppDC& dc, const ppVector3& a, const ppVector3& b) {
  const plat::POINT p = Pixel(a), q = Pixel(b);
  dc.MoveTo(p.x - 1, p.y - 1);
  dc.LineTo(q.x - 1, q.y - 1);
}

// The square about an arched face's centre, in plan (x, z).
struct ArcBox {
  float left, top, right, bottom;
};
ArcBox BoxOf(const WallEdge& e) {
  const float r = std::fabs(e.radius);
  return {e.centre.x - r, e.centre.z - r, e.centre.x + r, e.centre.z + r};
}

// A plan point on the printed page, as the page maps it (device pixels).
struct PageMapping {
  float scale;
  ppVector2 shift;  // where the plan origin lands
  ppVector2 Map(const ppVector3& p) const { return ppVector2(p.x * scale + shift.x, p.z * scale + shift.y); }
};

// The export's LINE from `from` to `to`, mirrored in y about the sheet height.
void WriteRoomLine(DxfWriter& writer, const PageMapping& page, const ppVector3& from, const ppVector3& to) {
  const DxfExportState& state = DxfExportState::Shared();
  writer.WriteLine(state.Flip(page.Map(from)), state.Flip(page.Map(to)), kRoomLayer);
}

}  // namespace

void qxNewRoomCanvas::DrawContent(ppDC& dc) {
  plat::RECT r{};
  GetWindowFrame(&r);
  if (ppView* supervisor = GetSupervisor()) {
    plat::RECT outer{};
    supervisor->GetWindowFrame(&outer);
    r = plat::RECT{std::max(r.left, outer.left), std::max(r.top, outer.top), std::min(r.right, outer.right),
                   std::min(r.bottom, outer.bottom)};
  }
  r.right += 1;
  r.bottom += 1;
  dc.SetColorBytes(AppColour(kBackgroundColour));
  dc.FillRect(r);
  const int32_t g = int32_t(gridSize);
  // A step below one millimetre would never reach the far edge.
  if (gridEnabled == 0 || g < 1) return;
  ppClipSaver clip(dc);
  dc.ClipToRect(r);
  iPlanEditor& editor = GetEditor();
  const double phaseX = GridPhase(editor.HorizontalRulerOrigin(), g);
  const double phaseZ = GridPhase(editor.VerticalRulerOrigin(), g);
  ppVector3 p0, p1;
  ScreenToPlanPoint(r.left, r.top, p0);
  ScreenToPlanPoint(r.right, r.bottom, p1);
  const double x0 = p0.x + phaseX - g, z0 = p0.z + phaseZ - g;
  const double x1 = p1.x + g + phaseX, z1 = p1.z + g + phaseZ;
  dc.SetColorBytes(AppColour(kGridColour));
  for (double x = std::trunc(x0 - g); x < x1; x += g)
    GridLine(dc, ppVector3(float(x), 0, float(z0)), ppVector3(float(x), 0, float(z1)));
  for (double z = std::trunc(z0 - g); z < z1; z += g)
    GridLine(dc, ppVector3(float(x0), 0, float(z)), ppVector3(float(x1), 0, float(z)));
}

void qxNewRoomCanvas::Draw(ppDC& dc) {
  // The outline lies over the children (the floor's fill would hide it).
  zelvproTopCanvas::Draw(dc);
  if (!NeedsDrawing(dc)) return;
  ClipToVisible(dc);
  DrawOutline(dc);
}

void qxNewRoomCanvas::DrawOutline(ppDC& dc) {
  for (qxLineCycle* c = cycles; c != nullptr; c = c->next) {
    for (int32_t i = 0; i < c->EdgeCount(); ++i) {
      const WallEdge e = *c->EdgeAt(i);
      const bool selected = e.segment != nullptr && e.segment->IsSelected();
      dc.SetColorBytes(selected ? kSelectedFace : kFace);
      const plat::POINT a = Pixel(e.start), b = Pixel(e.end);
      dc.MoveTo(a.x, a.y);
      if (!e.arched) {
        dc.LineTo(b.x, b.y);
        continue;
      }
      const ArcBox box = BoxOf(e);
      const plat::POINT tl = Pixel(ppVector3(box.left, 0, box.top));
      const plat::POINT br = Pixel(ppVector3(box.right, 0, box.bottom));
      dc.ArcInBoxTo(float(tl.x), float(tl.y), float(br.x), float(br.y), float(b.x), float(b.y), !e.clockwise);
    }
  }
}

void qxNewRoomCanvas::PrintContent(ppDC& dc, int32_t page) {
  iPrintSettings& settings = iPrintSettings::Current();
  const PrintPageFields fields = settings.PageFields(page);
  if (fields.done) return;
  if (fields.header) {
    settings.PrintHeader(dc, page);
    settings.MarkPageDone(page);
  }
  dc.SetNormalPen();
  const float scale = fields.pixelsPerMillimetre;
  const PageMapping mapping{scale, ppVector2(float(fields.offset.x) - fields.origin.x * scale,
                                             float(fields.offset.y) - fields.origin.y * scale)};
  DxfWriter* writer = DxfExportState::Shared().IsActive() ? DxfWriter::Current() : nullptr;
  ppShape shape;
  shape.Reset();
  for (qxLineCycle* c = cycles; c != nullptr; c = c->next) {
    if (c->EdgeCount() == 0) continue;
    ppVector3 previous = c->EdgeAt(0)->start;
    shape.MoveToF(previous.x, previous.z);
    for (int32_t i = 0; i < c->EdgeCount(); ++i) {
      const WallEdge e = *c->EdgeAt(i);
      if (e.arched) {
        const ArcBox box = BoxOf(e);
        shape.MoveToF(e.start.x, e.start.z);
        shape.ArcInBoxTo(box.left, box.top, box.right, box.bottom, e.end.x, e.end.z, !e.clockwise);
      } else {
        shape.LineToF(e.end.x, e.end.z);
        if (writer != nullptr) WriteRoomLine(*writer, mapping, previous, e.end);
      }
      previous = e.end;
    }
  }
  shape.End();
  dc.DrawShape(shape, int32_t(mapping.shift.x), int32_t(mapping.shift.y), scale);
}
