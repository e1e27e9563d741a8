// The floor on the plan (region, dimension labels), its 3D slab and the nearest-wall search.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <memory>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "catalogue/unit3d/TripleWithSet.h"
#include "database/dbErrors.h"
#include "elements/base/ElementGeometryCache.h"
#include "elements/base/ElementTextures.h"
#include "elements/base/PlanPixels.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "framework/FontCache.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppRegion.h"
#include "platform/ResetList.h"
#include "room/qxFloorElement.h"

#include "room/RoomTextures.h"
#include "room/qxLineCycle.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"
#include "scene3d/objects/qx3DExtrudedObject.h"

namespace {

// The smallest wall-body height of the floor last rebuilt in 3D (millimetres); -1.0 until one was.
// User-interface thread.
float gLowestWallHeight = -1.0f;
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("lowest wall height", [] { gLowestWallHeight = -1.0f; });

// Longer than any plan distance; the lowest height of a cycle without walls.
constexpr float kFar = geom::kNoResult;
// Colour word of an untextured slab (the layer takes the floor colour); a textured one has 0.
constexpr int32_t kUntexturedColour = 256;
// The colour code that asks for no colour and no texture.
constexpr int32_t kNoColourCode = -2;
// Render flag of the slab's layer and of the floor while it shows one.
constexpr uint32_t kSlabFlag = 0x10;
constexpr uint32_t kOwnFlags = 0xFFFF;
// A wall farther than this (millimetres) from the point takes no door.
constexpr float kDoorReach = 1000.0f;
// Arched faces become this many straight pieces in the slab.
constexpr int32_t kArcPieces = 10;
// Distance of a dimension line from its walls, and text offset from the line's middle (pixels).
constexpr double kLabelInset = 15.0;
constexpr float kTextDx = 2.0f, kTextDy = 12.0f;
constexpr int32_t kLabelFontSize = 12;
constexpr ppRGBColor kLineColour{60, 60, 60}, kTextColour{30, 30, 30};

// A texture or colour record that was deleted counts as none; other engine errors reach the caller.
bool ReadIfPresent(ppDatafile& file, int32_t id) {
  if (id == 0) return false;
  try {
    file.ReadRecord(id, nullptr);
  } catch (int32_t error) {
    if (error != db::kNotFound && error != db::kOutOfRange) throw;
    return false;
  }
  return true;
}

bool IsArc(const WallEdge& e) { return e.arched && e.radius > 0.0f; }

// The face's share of the slab outline: its start, and for an arc nine points inside it.
void AppendSlabPoints(const WallEdge& e, std::vector<ppVector2>& out) {
  out.emplace_back(e.start.x, e.start.z);
  if (!IsArc(e)) return;
  float aE = AngleOf(e.end.x - e.centre.x, e.end.z - e.centre.z);
  float aS = AngleOf(e.start.x - e.centre.x, e.start.z - e.centre.z);
  if (aE < 0.0f) aE += geom::kTwoPiF;
  if (aS < 0.0f) aS += geom::kTwoPiF;
  const float d = aE - aS;
  float sweep = 0.0f;
  if (d <= 0.0f)
    sweep = e.clockwise ? d : d + geom::kTwoPiF;
  else
    sweep = e.clockwise ? -(geom::kTwoPiF - d) : d;
  const float r = Distance3(e.centre, e.start);
  for (int32_t i = 1; i < kArcPieces; ++i) {
    const float a = aS + float(i) * sweep / float(kArcPieces);
    out.emplace_back(std::cos(a) * r + e.centre.x, std::sin(a) * r + e.centre.z);
  }
}

// The unit vector of v; the zero vector stays zero (a face of no length has no direction).
ppVector3 Unit(const ppVector3& v) {
  const float length = v.Length();
  return length > 0.0f ? v / length : ppVector3();
}

bool IsOblique(const ppVector3& v) { return v.x != 0.0f && v.z != 0.0f; }

// Whether p lies in the box of the corners a and b in x and z, bounds included.
bool PointInSpan(const ppVector3& p, const ppVector3& a, const ppVector3& b) {
  return p.x >= std::min(a.x, b.x) && p.x <= std::max(a.x, b.x) && p.z >= std::min(a.z, b.z) &&
         p.z <= std::max(a.z, b.z);
}

}  // namespace

float LowestWallHeight() { return gLowestWallHeight; }
void SetLowestWallHeight(float height) { gLowestWallHeight = height; }

// ---- Plan.

std::unique_ptr<ppRegion> qxFloorElement::GetFrameRegion() {
  plat::RECT frame{};
  GetWindowFrame(&frame);
  return std::make_unique<ppRegion>(outline_, frame.left, frame.top, float(1.0 / PlanScale()));
}

void qxFloorElement::DrawContent(ppDC& dc) {
  if (IsSelected()) DrawMeasurementLabels(dc);
}

void qxFloorElement::DrawMeasurementLabels(ppDC& dc) {
  if (cycle_ == nullptr) return;
  const int32_t shape = ClassifyRoomShape();
  const int32_t count = GetMeasurementCount();
  const int32_t edges = cycle_->EdgeCount();
  for (int32_t k = 0; k < count; ++k) {
    int32_t faces[3] = {-1, -1, -1};
    if (!LabelFaces(shape, k, faces)) return;
    if (std::any_of(faces, faces + 3, [&](int32_t f) { return f < 0 || f >= edges; })) return;
    // Copies: drawing must not hold addresses into the cycle's handle.
    const WallEdge before = *cycle_->EdgeAt(faces[0]);
    const WallEdge measured = *cycle_->EdgeAt(faces[1]);
    const WallEdge after = *cycle_->EdgeAt(faces[2]);
    DrawMeasurementLabel(dc, before, measured, after, k);
  }
}

void qxFloorElement::DrawMeasurementLabel(ppDC& dc, const WallEdge& before, const WallEdge& measured,
                                          const WallEdge& after, int32_t position) {
  dc.SetCopyMode();
  plat::RECT frame{};
  GetWindowFrame(&frame);
  // An oblique neighbour (a bevel) is replaced by the other neighbour's direction, turned back.
  ppVector3 vb = before.end - before.start;
  ppVector3 va = after.end - after.start;
  if (IsOblique(vb)) vb = Unit(va) * -vb.Length();
  if (IsOblique(va)) va = Unit(vb) * -va.Length();
  const float lb = vb.Length(), la = va.Length();
  const float span = Distance3(before.end, after.start);
  const ppVector3 vm = Unit(measured.end - measured.start) * span;
  const double scale = PlanScale();
  const float inset = float(scale * kLabelInset);  // millimetres
  const ppVector3 p = lb > la ? after.start + Unit(va) * inset - vm : before.end - Unit(vb) * inset;
  const ppVector3 q = p + vm;
  const float x1 = float(p.x / scale + frame.left), y1 = float(p.z / scale + frame.top);
  const float x2 = float(q.x / scale + frame.left), y2 = float(q.z / scale + frame.top);
  dc.SetColor(kLineColour);
  dc.MoveToF(x1, y1);
  dc.LineToF(x2, y2);
  dc.MoveToF((x1 + x2) / 2.0f + kTextDx, (y1 + y2) / 2.0f + kTextDy);
  dc.SetFont(kDefaultFaceName, kLabelFontSize, 0, 0.0f);
  dc.SetTextColor(kTextColour);
  const char letter[2] = {char('A' + CanonicalWallIndex(position)), '\0'};
  dc.DrawText(letter);
}

// ---- 3D.

qx3DObject* qxFloorElement::BuildFloorObject(qx3DObject* next, zelvproCanvas* /*canvas*/) {
  if (cycle_ == nullptr) return next;
  auto slab = std::make_unique<qx3DExtrudedObject>();
  slab->next.reset(next);
  const int32_t count = cycle_->EdgeCount();
  for (int32_t i = 0; i < count; ++i) AppendSlabPoints(*cycle_->EdgeAt(i), slab->outline);
  slab->edgeFlags.assign(size_t(count), 0u);
  slab->kind = qx3DObject::kExtrudedAlt;
  slab->flags = qx3DObject::kTurnX;
  slab->position = ppVector3(0.0f, -1.0f, 0.0f);  // one millimetre below the floor
  slab->rotation = ppVector3(0.0f, GetAngle(), 0.0f);
  slab->depth = 1.0f;
  slab->colorCode = kUntexturedColour;
  if (textureId_ != 0) {
    ReadTextureRecords();
    slab->colorCode = 0;
  }
  slab->Prepare();
  return slab.release();
}

void qxFloorElement::ReadTextureRecords() {
  if (database == nullptr) return;
  zelvproColorCatalogFil& colours = database->ColorCatalogFile();
  if (!ReadIfPresent(colours, textureId_)) return;
  ReadIfPresent(database->TextureFile(), RecordField(colours, "texture0").Long(colours.GetRecordBuffer()));
}

void qxFloorElement::RebuildGeometry() {
  // The floor shows no catalogue unit: its one part is the slab, built when the cache was dropped.
  ClearParts();
  if (CachedObject() == nullptr) BuildSlabCache();
  ElementGeometryCache::Part part;  // the slab as built: the identity placement
  part.layer = 0;
  AppendPart(part);
  RefreshPartColours();
}

void qxFloorElement::BuildSlabCache() {
  std::unique_ptr<qx3DObject> chain(BuildFloorObject(nullptr, GetCanvas()));
  auto record = std::make_shared<TripleWithSet>();
  record->database = database;
  qxUnitLayer3D& layer = record->layers.emplace_back();
  layer.code = textureId_ != 0 ? 0 : kUntexturedColour;
  for (qx3DObject* body = chain.get(); body != nullptr; body = body->next.get()) {
    body->BuildMesh(layer.faces, true);
    body->BuildEdges(layer.edges, true);
  }
  UpdateLowestWallHeight();
  layer.renderFlags = (layer.renderFlags & ~kOwnFlags) | kSlabFlag;
  auto* cache = new ElementGeometryCache(true);
  cache->Append(ElementGeometryCache::Key{0, 0, database}, record);
  SetCachedObject(cache);
  ClearStateBits(kOwnFlags);
  SetStateBits(kSlabFlag);
}

void qxFloorElement::GetColorByCode(ppFloat4& out, int32_t code) {
  if (code == kNoColourCode) {
    out = ppFloat4(0.0f, 0.0f, 0.0f, 0.0f);
    return;
  }
  // An unmodulated texture shows in white light; otherwise the floor colour tints it.
  const ppPicture* texture = GetTextureByCode(code);
  if (texture != nullptr && !texture->GetModulate()) {
    out = ppFloat4(1.0f, 1.0f, 1.0f, 1.0f);
    return;
  }
  out = ppFloat4(float(red_ / 100.0), float(green_ / 100.0), float(blue_ / 100.0), 1.0f);
}

const ppPicture* qxFloorElement::GetTextureByCode(int32_t code) {
  if (code == kNoColourCode) return nullptr;
  return RoomTextures::Find(database, textureId_);
}

// ---- Walls.

qxWallElement* qxFloorElement::NearestWallEdge(ppVector3& foot, float& angle, const ppVector3& point,
                                               float width) {
  int32_t best = -1;
  float bestDistance = FLT_MAX, bestAngle = 0.0f;
  ppVector3 bestFoot;
  const int32_t count = cycle_ != nullptr ? cycle_->EdgeCount() : 0;
  for (int32_t i = 0; i < count; ++i) {
    const WallEdge& e = *cycle_->EdgeAt(i);
    // Doors stand in straight walls only; a face of no length has no direction to stand along.
    if (e.segment != nullptr && e.segment->IsArched()) continue;
    if (e.end.x == e.start.x && e.end.z == e.start.z) continue;
    const float a = AngleOf(e.end.x - e.start.x, e.end.z - e.start.z);
    ppVector3 normal(1.0f, 0.0f, 0.0f);
    RotateAboutAxis(normal, a + geom::kHalfPiF, ppVector3(0.0f, 1.0f, 0.0f));
    ppVector3 f;
    bool parallel = false;
    IntersectLinesXZ(f, e.start, e.end, point, point + normal, parallel);
    if (parallel || !PointInSpan(f, e.start, e.end)) continue;
    const float d = Distance3(f, point);
    if (d >= bestDistance) continue;
    best = i, bestDistance = d, bestFoot = f, bestAngle = a;
  }
  if (best < 0 || bestDistance >= kDoorReach) {
    angle = 0.0f;
    return nullptr;
  }
  const WallEdge& e = *cycle_->EdgeAt(best);
  const float toEnd = Distance3(bestFoot, e.end);
  if (toEnd < width) {
    // Back along the face, so that the whole width fits before its end.
    ppVector3 back(toEnd - width, 0.0f, 0.0f);
    RotatePoint3(back, 0.0f, -bestAngle, 0.0f);
    bestFoot += back;
  }
  foot = bestFoot;
  angle = bestAngle;
  return e.wall;
}

void qxFloorElement::UpdateLowestWallHeight() {
  if (cycle_ == nullptr) return;
  float lowest = kFar;
  const int32_t count = cycle_->EdgeCount();
  for (int32_t i = 0; i < count; ++i) {
    const qxWallElement* wall = cycle_->EdgeAt(i)->wall;
    if (wall != nullptr) lowest = std::min(lowest, wall->GetHeight());
  }
  SetLowestWallHeight(lowest);
}
