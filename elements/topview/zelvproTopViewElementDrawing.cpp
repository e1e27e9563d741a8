// How a top-view element shows itself: its outlines in the top view, on printed pages and in the
// drawing export, the outline that follows the mouse while it is dragged, and its number label.
// Outline points are in the element's frame (millimetres); every drawing places them into the plan
// and maps them to device pixels (PlanToPixels).
#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/DrawOutlineEdges.h"
#include "elements/base/PlanPixels.h"
#include "elements/topview/FurnitureBlock.h"
#include "elements/topview/PlanToPixels.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/iNumberLabelOption.h"
#include "elements/topview/iPrintSettings.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Geometry3D.h"
#include "foundation/OwnedHandle.h"
#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"

namespace {

// Application colour codes of the plan drawing.
constexpr int32_t kOutlineColour = 0x400, kPieceColour = 0x401, kSelectedColour = 0x402;
constexpr int32_t kNoUnitFillColour = 0x403;
// Outline colour slots above this have no texture.
constexpr int32_t kLastTextureSlot = 255;
// DrawOutlineEdges' plain mode (smooth lines where the context draws through OpenGL).
constexpr uint8_t kPlainMode = 4;
constexpr float kLabelHalfWidth = 10.0f, kLabelHalfHeight = 8.0f;  // pixels
constexpr float kLabelLift = 8.0f;                                 // pixels above the front edge
constexpr double kNumberPoints = 7.0;                              // font size of printed numbers

const ppRGBColor kBlack{0, 0, 0};
const ppRGBColor kDarkGreen{0, 50, 0};  // percent

// An application colour in percent; black without an application.
ppRGBColor ApplicationColour(int32_t code) {
  if (gApplication == nullptr) return kBlack;
  ppRGBColor colour = gApplication->GetColor(code);
  ColorToPercent(colour);
  return colour;
}

int32_t PointCount(Handle points) {
  return points != nullptr ? MemGetSize(points) / int32_t(sizeof(ppVector2)) : 0;
}

const ppVector2* PointsOf(Handle points) { return reinterpret_cast<const ppVector2*>(*points); }

// To the nearest pixel; far-off or undefined values (a plan scale of 0) are held at a million pixels.
int32_t Rounded(float v) {
  return std::isfinite(v) ? int32_t(std::lround(std::clamp(v, -1.0e6f, 1.0e6f))) : 0;
}

// The pixel box of mapped outlines: the least and largest x and y seen.
struct PixelBounds {
  float minX = std::numeric_limits<float>::max(), minY = std::numeric_limits<float>::max();
  float maxX = std::numeric_limits<float>::lowest(), maxY = std::numeric_limits<float>::lowest();
  void Add(Handle points) {
    for (int32_t i = 0; i < PointCount(points); ++i) {
      const ppVector2& p = PointsOf(points)[i];
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
  }
  bool Empty() const { return minX > maxX; }
  // From the least to the largest x, and from halfway down to the largest y.
  plat::RECT LowerHalf() const {
    return plat::RECT{int32_t(minX), int32_t((minY + maxY) / 2.0f), int32_t(maxX), int32_t(maxY)};
  }
};

// The closed polygon through the points, rounded, in the pen's colour; each point is also handed to
// the export's block when one is given.
void PrintPolyline(ppDC& dc, Handle pixels, FurnitureBlock* block) {
  const int32_t count = PointCount(pixels);
  if (count == 0) return;
  const ppVector2* p = PointsOf(pixels);
  if (block != nullptr) block->BeginOutline();
  dc.MoveTo(Rounded(p[0].x), Rounded(p[0].y));
  if (block != nullptr) block->AddPoint(Rounded(p[0].x), Rounded(p[0].y));
  for (int32_t i = 1; i < count; ++i) {
    dc.LineTo(Rounded(p[i].x), Rounded(p[i].y));
    if (block != nullptr) block->AddPoint(Rounded(p[i].x), Rounded(p[i].y));
  }
  dc.LineTo(Rounded(p[0].x), Rounded(p[0].y));
  if (block != nullptr) block->EndOutline();
}

}  // namespace

Handle zelvproTopViewElement::OutlinePoints(zelvproShape& shape) {
  if (shape.cached == nullptr) shape.cached = shape.ModifiedPoints();
  return shape.cached;
}

std::unique_ptr<zelvproShape> zelvproTopViewElement::UnitPieces() {
  if (database == nullptr) return nullptr;
  std::unique_ptr<zelvproShape> pieces =
      AppendPieceShapes(ScratchRecord(database->UnitFile(), unitRecordId).Blob("shapes"), nullptr);
  // The unit's own pieces take the element's size; option pieces stand at their anchors as they are.
  for (zelvproShape* piece = pieces.get(); piece != nullptr; piece = piece->next.get())
    piece->cached = UnitPiecePoints(*piece);
  return AppendOptionShapes(std::move(pieces));
}

Handle zelvproTopViewElement::UnitPiecePoints(const zelvproShape& piece) { return piece.ModifiedPoints(); }

void zelvproTopViewElement::DrawUnitPieces(ppDC& dc, const PlanToPixels& mapping, const ppRGBColor& colour,
                                           bool asPolylines) {
  std::unique_ptr<zelvproShape> pieces = UnitPieces();
  for (zelvproShape* piece = pieces.get(); piece != nullptr; piece = piece->next.get()) {
    OwnedHandle pixels(mapping.Map(*this, OutlinePoints(*piece)));
    if (asPolylines) {
      dc.SetColor(colour);
      PrintPolyline(dc, pixels.Get(), nullptr);  // the export takes the outlines only
    } else {
      DrawOutlineEdges(pixels.Get(), dc, colour, kPlainMode, nullptr);
    }
  }
}

void zelvproTopViewElement::DrawContent(ppDC& dc) {
  ppBrushSaver brushes(dc);
  ppClipSaver clip(dc);
  if (ppView* supervisor = GetSupervisor()) supervisor->ClipToVisible(dc);
  const bool outlineStyle = iPrintSettings::Current().OutlineOnly();
  const bool hasUnit = unitRecordId != 0;
  const PlanToPixels screen = PlanToPixels::Screen();
  const ppRGBColor edges = ApplicationColour(IsSelected() ? kSelectedColour : kOutlineColour);
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
    OwnedHandle pixels(screen.Map(*this, OutlinePoints(*shape)));
    std::unique_ptr<ppRegion> region = PointListToRegion(pixels.Get());
    // Textured fills need OpenGL mode; elsewhere the colour record is not even read.
    if (shape->texture <= kLastTextureSlot && !outlineStyle && hasUnit && database != nullptr &&
        dc.IsOpenGLOn()) {
      dc.FillPolygonTextured(*region, database->GetColorTexture(colorRecordId, shape->texture),
                             shape->textureDirection + GetNormalizedAngle(), 1.0f);
    }
    if (!hasUnit) {
      dc.SetColor(ApplicationColour(kNoUnitFillColour));
      dc.PaintRegion(*region);
    }
    dc.SetCopyMode();
    DrawOutlineEdges(pixels.Get(), dc, edges, kPlainMode, nullptr);
  }
  if (outlineStyle && hasUnit) DrawUnitPieces(dc, screen, ApplicationColour(kPieceColour), false);
}

void zelvproTopViewElement::PrintContent(ppDC& dc, int32_t page) {
  FurnitureBlock block;
  ppBrushSaver brushes(dc);
  ppClipSaver clip(dc);
  const bool outlineStyle = iPrintSettings::Current().OutlineOnly();
  if (unitRecordId == 0) unitRecordId = ResolveAccessId();
  const PrintPageFields fields = iPrintSettings::Current().PageFields(page);
  const PlanToPixels mapping = PlanToPixels::Page(fields);
  const bool filled = !outlineStyle && !fields.outlinePage;
  PixelBounds bounds;
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
    OwnedHandle pixels(mapping.Map(*this, OutlinePoints(*shape)));
    bounds.Add(pixels.Get());
    if (!filled) {
      dc.SetNormalPen();
      PrintPolyline(dc, pixels.Get(), &block);
      continue;
    }
    const ppRegion pageArea(fields.clip);
    dc.SetClipRegion(&pageArea);
    const ppPicture* texture = database != nullptr && shape->texture <= kLastTextureSlot && dc.IsOpenGLOn()
                                   ? database->GetColorTexture(colorRecordId, shape->texture)
                                   : nullptr;
    if (texture != nullptr) {
      std::unique_ptr<ppRegion> region = PointListToRegion(pixels.Get());
      dc.FillPolygonTextured(*region, texture, shape->textureDirection + GetAngle(), 1.0f);
    }
    DrawOutlineEdges(pixels.Get(), dc, kBlack, kPlainMode, nullptr);
  }
  if (outlineStyle && unitRecordId != 0) DrawUnitPieces(dc, mapping, kDarkGreen, true);
  if (printNumbers && !bounds.Empty()) PrintUnitNumber(dc, fields, bounds.LowerHalf());
  dc.SetNormalPen();
  block.Finish();
}

void zelvproTopViewElement::PrintUnitNumber(ppDC& dc, const PrintPageFields& page, const plat::RECT& box) {
  if (database == nullptr) return;
  // The unit a unit refers to ("refTo"), as long as there is one; a chain that comes back to a unit
  // already passed stops there.
  int32_t unit = unitRecordId;
  std::set<int32_t> passed{unit};
  for (int32_t next = ScratchRecord(database->UnitFile(), unit).Long("refTo");
       next != 0 && passed.insert(next).second;
       next = ScratchRecord(database->UnitFile(), unit).Long("refTo")) {
    unit = next;
  }
  const Vcon::WString number = ScratchRecord(database->UnitFile(), unit).Wide("tnumber");
  if (number.empty()) return;
  dc.SetFont(Vcon::String(kDefaultFaceName), int32_t(std::lround(page.fontSizeFactor * kNumberPoints)), 0,
             0.0f);
  dc.SelectFont();
  dc.DrawText(number, box, plat::DT_CENTER);
  dc.RestoreFont();
}

void zelvproTopViewElement::DrawOutlineAt(int32_t x, int32_t y, float /*angle*/, float /*pivotX*/,
                                          float /*pivotY*/, ppDC& dc) {
  const PlanToPixels moved = PlanToPixels::Screen().Moved(x, y);
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) {
    OwnedHandle pixels(moved.Map(*this, OutlinePoints(*shape)));
    DrawOutlineEdges(pixels.Get(), dc, kBlack, kOutlineXorMode, nullptr);
  }
}

bool zelvproTopViewElement::ShowsNumberLabel() {
  return GetValueByName("EnumNumber").ToLong() > 0 && iNumberLabelOption::Current().IsOn();
}

plat::RECT zelvproTopViewElement::NumberLabelBox() {
  const float scale = float(PlanScale());
  ppVector3 centre;
  GetAbsolutePosition(centre);
  ppVector3 offset = optionOffsetSet != 0
                         ? optionOffset
                         : ppVector3(dimensions.x / 2.0f, dimensions.y, dimensions.z - kLabelLift * scale);
  RotatePoint3(offset, 0.0f, -GetNormalizedAngle(), 0.0f);
  float x = (centre.x + offset.x) / scale;
  float y = (centre.z + offset.z) / scale;
  if (optionOffsetSet != 0) y -= kLabelLift;
  const plat::POINT origin = PlanPixelOrigin();
  const int32_t left = Rounded(x - kLabelHalfWidth) + origin.x,
                top = Rounded(y - kLabelHalfHeight) + origin.y;
  return plat::RECT{left, top, left + int32_t(2 * kLabelHalfWidth), top + int32_t(2 * kLabelHalfHeight)};
}

void zelvproTopViewElement::DrawNumberLabel(ppDC& dc) {
  if (!ShowsNumberLabel()) return;
  ppClipSaver clip(dc);
  if (ppView* supervisor = GetSupervisor()) supervisor->ClipToVisible(dc);
  const plat::RECT box = NumberLabelBox();
  dc.SetCopyMode();
  dc.SetGray(100);
  dc.FillRect(box);
  dc.SetGray(0);
  dc.FrameRect(box);
  const std::string number = std::to_string(GetValueByName("EnumNumber").ToLong());
  dc.DrawText(Vcon::WString(number.c_str()), box, plat::DT_CENTER);
}
