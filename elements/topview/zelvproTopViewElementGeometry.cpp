// The outline and frame of a top-view element: its size and resizing, the 2D transforms of its outline
// into the plan and into pixels, its frame and frame region, the children it takes, the depths it
// offers, collisions among its children, and the release of links before a selection moves.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/PlanPixels.h"
#include "elements/topview/ScratchRecord.h"
#include "elements/topview/iPrintSettings.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/ppMatrix4.h"

namespace {

// The 2D transform (points (u, v) as the matrix's x and y, row vectors) that turns by `angle` as
// Rotate2 does, scales by `scale` and then moves by (du, dv).
ppMatrix4 Transform2D(double angle, double scale, double du, double dv) {
  ppMatrix4 m;
  const double c = std::cos(angle) * scale, s = std::sin(angle) * scale;
  m[0] = c, m[1] = s;
  m[4] = -s, m[5] = c;
  m[12] = du, m[13] = dv;
  return m;
}

// Element frame (x, z) -> plan (x, z), through every containing element.
ppMatrix4 PlacementChain(const zelvproElement& element) {
  const ppVector3 p = element.GetPosition();
  ppMatrix4 own = Transform2D(element.GetAngle(), 1.0, p.x, p.z);
  const zelvproElement* container = element.ContainerElement();
  if (container == nullptr) return own;
  ppMatrix4 chained;
  own.Multiply(chained, PlacementChain(*container));
  return chained;
}

size_t PointCount(Handle points) {
  return points != nullptr && *points != nullptr ? size_t(MemGetSize(points)) / 8 : 0;
}

template <typename Fn>
void ForEachOwnPoint(zelvproShape* shapes, Fn fn) {
  for (zelvproShape* shape = shapes; shape != nullptr; shape = shape->next.get()) {
    const size_t count = PointCount(shape->points);
    for (size_t i = 0; i < count; ++i) fn(reinterpret_cast<float*>(*shape->points + i * 8));
  }
}

// Pixel numbers cut toward zero and held to the 32-bit range.
int32_t Pixel(float v) { return std::isfinite(v) && std::fabs(v) < 2.0e9f ? int32_t(v) : 0; }

}  // namespace

// ---- Size.

void zelvproTopViewElement::GetOutlineSize(float& width, float& depth) {
  float lo[2] = {0, 0}, hi[2] = {0, 0};
  bool any = false;
  ForEachOwnPoint(outlines.get(), [&](const float* xy) {
    for (int i = 0; i < 2; ++i) {
      lo[i] = any ? std::min(lo[i], xy[i]) : xy[i];
      hi[i] = any ? std::max(hi[i], xy[i]) : xy[i];
    }
    any = true;
  });
  width = hi[0] - lo[0];
  depth = hi[1] - lo[1];
}

void zelvproTopViewElement::ResizeTo(float width, float depth) {
  Invalidate();
  float currentWidth = 0.0f, currentDepth = 0.0f;
  GetOutlineSize(currentWidth, currentDepth);
  // An axis without extent cannot be scaled to a size: it keeps factor 1 rather than infinities.
  const float fx = currentWidth != 0.0f ? width / currentWidth : 1.0f;
  const float fz = currentDepth != 0.0f ? depth / currentDepth : 1.0f;
  ForEachOwnPoint(outlines.get(), [&](float* xy) { xy[0] *= fx, xy[1] *= fz; });
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) shape->ClearCache();
  ScaleSnaps(fx, fz);
  InvalidateTree();
}

void zelvproTopViewElement::ScaleSnaps(float fx, float fz) {
  for (SnapAnchor& anchor : snapPoints) anchor.point.x *= fx, anchor.point.z *= fz;
}

// ---- Transforms.

void zelvproTopViewElement::MakePlacementTransform(ppMatrix4& transform) {
  transform = PlacementChain(*this);
}

zelvproTopViewElement::ViewMapping zelvproTopViewElement::ScreenMapping() {
  const plat::POINT origin = PlanPixelOrigin();
  ViewMapping mapping;
  mapping.millimetresPerPixel = PlanScale();
  mapping.offsetX = origin.x, mapping.offsetY = origin.y;
  return mapping;
}

void zelvproTopViewElement::MakeViewTransform(ppMatrix4& transform, const ViewMapping& view) {
  ppVector3 absolute;
  GetAbsolutePosition(absolute);
  const double mm = view.millimetresPerPixel != 0.0 ? view.millimetresPerPixel : 1.0;
  transform = Transform2D(GetAbsoluteAngle(), 1.0 / mm, (absolute.x - view.originX) / mm + view.offsetX,
                          (absolute.z - view.originZ) / mm + view.offsetY);
}

// Every top view maps the plan alike, so `view` is not read.
void zelvproTopViewElement::MakeViewTransform(ppMatrix4& transform, ppView* /*view*/) {
  MakeViewTransform(transform, ScreenMapping());
}

// ---- Frame.

void zelvproTopViewElement::AlignRectToReference(plat::RECT& rect) {
  const float scale = float(PlanScale());
  const int32_t left = Pixel(position.x / scale), top = Pixel(position.z / scale);
  const int32_t dx = left - rect.left, dy = top - rect.top;
  rect.left += dx, rect.right += dx;
  rect.top += dy, rect.bottom += dy;
}

void zelvproTopViewElement::UpdateFrame() {
  plat::RECT frame = GetFrame();
  AlignRectToReference(frame);
  SetFrame(frame);
  FrameChanged();
}

std::unique_ptr<ppRegion> zelvproTopViewElement::NewFrameRegion() {
  auto region = std::make_unique<ppRegion>();
  ppMatrix4 toPixels;
  MakeViewTransform(toPixels, ScreenMapping());
  auto add = [&](Handle points) {
    const size_t count = PointCount(points);
    if (count == 0) return;
    ppRegion outline;
    outline.BeginPolygon();
    for (size_t i = 0; i < count; ++i) {
      float xy[2];
      std::memcpy(xy, *points + i * 8, sizeof xy);
      ppVector3 pixel;
      toPixels.TransformPoint(pixel, ppVector3(xy[0], xy[1], 0.0f));
      if (i == 0)
        outline.MoveTo(Pixel(pixel.x), Pixel(pixel.y));
      else
        outline.LineTo(Pixel(pixel.x), Pixel(pixel.y));
    }
    outline.EndPolygon();
    region->Union(outline);
  };
  ForEachOutline(add);
  // In outline style the unit's pieces are drawn too, and hit where they are drawn.
  if (iPrintSettings::Current().OutlineOnly() && unitRecordId != 0) {
    std::unique_ptr<zelvproShape> pieces = UnitPieces();
    for (zelvproShape* piece = pieces.get(); piece != nullptr; piece = piece->next.get())
      add(OutlinePoints(*piece));
  }
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) region->Union(*child->NewFrameRegion());
  }
  return region;
}

void zelvproTopViewElement::AppendChildrenTo(ppViewList& list) {
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) list.Append(children.At(i));
}

// ---- Children and depths.

bool zelvproTopViewElement::AcceptsChild(int32_t kind, zelvproElement* element) {
  if (kind == -1) return true;
  return element != nullptr && HasCatalogEntry(element->recordId);
}

bool zelvproTopViewElement::AcceptsDepth(int32_t id) {
  if (database == nullptr || recordId == 0) return true;
  const std::vector<int32_t> depths = ScratchRecord(database->TopViewFile2(), recordId).Words("depths");
  return depths.empty() || std::find(depths.begin(), depths.end(), id) != depths.end();
}

int32_t zelvproTopViewElement::NearestAllowedDepth(int32_t id) {
  if (id == 0 || unitRecordId == 0 || database == nullptr) return id;
  const std::vector<int32_t> depths = ScratchRecord(database->UnitFile(), unitRecordId).Words("depths");
  if (depths.empty() || std::find(depths.begin(), depths.end(), id) != depths.end()) return id;
  zelvproDepthFil& file = database->DepthFile();
  const double wanted = ScratchRecord(file, id).Double("depth");
  for (auto it = depths.rbegin(); it != depths.rend(); ++it) {
    if (ScratchRecord(file, *it).Double("depth") < wanted) return *it;
  }
  return depths.front();
}

bool zelvproTopViewElement::Collides(zelvproElement* element, zelvproElement* /*other*/) {
  if (element == nullptr) return false;
  ppVector3 place;
  element->GetAbsolutePosition(place);
  const float turn = element->GetNormalizedAngle();
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i) {
    auto* child = dynamic_cast<zelvproElement*>(children.At(i));
    if (child == nullptr || child == element) continue;
    ppVector3 theirs;
    child->GetAbsolutePosition(theirs);
    if (theirs.x == place.x && theirs.y == place.y && theirs.z == place.z &&
        child->GetNormalizedAngle() == turn)
      return true;
  }
  return false;
}

// ---- Geometry changes and moves.

void zelvproTopViewElement::InvalidateGeometry() {
  for (zelvproShape* shape = outlines.get(); shape != nullptr; shape = shape->next.get()) shape->ClearCache();
  unitRecordId = ResolveAccessId();
  // A loaded element was applied when it was built.
  if (accessApplied == 0 && loadedFromDocument == 0) {
    accessApplied = 1;
    if (unitRecordId != 0) ApplyAccessId(unitRecordId, false);
  }
  if ((flags & kInGridCell) != 0) {
    if (zelvproTopViewElement* container = GridContainer()) container->RefreshPartColours();
  }
  MarkTreePendingUpdate();
}

void zelvproTopViewElement::ReleaseOutsideSnaps(ElementList& list) {
  auto listed = [&](zelvproElement* e) { return std::find(list.begin(), list.end(), e) != list.end(); };
  for (zelvproElement* element : list) {
    if ((element->flags & kInGridCell) != 0) {
      auto* part = dynamic_cast<zelvproTopViewElement*>(element);
      zelvproTopViewElement* container = part != nullptr ? part->GridContainer() : nullptr;
      if (container != nullptr) container->UnregisterFromGrid(part);
      continue;
    }
    for (int32_t i = 0; i < element->GetPointCount(); ++i) {
      zelvproElement* partner = element->snapPoints[size_t(i)].partner;
      if (partner == nullptr || listed(partner)) continue;
      const int32_t code = element->snapPoints[size_t(i)].code;
      for (int32_t j = 0; j < partner->GetPointCount(); ++j) {
        const SnapAnchor& theirs = partner->snapPoints[size_t(j)];
        if (theirs.partner == element && theirs.Matches(code)) DisconnectSnaps(element, partner, i, j);
      }
      if (i < element->GetPointCount()) element->snapPoints[size_t(i)].partner = nullptr;
    }
    element->InvalidateTree();
  }
}
