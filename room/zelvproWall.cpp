// The plan wall piece's record, its commands, the drag of an end and the edge searches of snapping.
#include "room/zelvproWall.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/shapes/zelvproShape.h"
#include "elements/units/PointToSegmentDistance.h"
#include "foundation/Geometry2D.h"

namespace {

constexpr float kFarAway = std::numeric_limits<float>::max();
// The half turn the edge and point angles of a snap are taken against (single precision).
constexpr float kHalfTurn = 3.1415927410125732f;
constexpr size_t kWordsPerEntry = SnapAnchor::kEntryBytes / 4;

void PutWord(uint8_t* entry, size_t index, const void* word) { std::memcpy(entry + index * 4, word, 4); }

// The 36-byte form of the entries; the partner (last word) is never saved, and neither is the word
// before it, which older documents used for the snapped-to element.
std::vector<uint8_t> EntryBytes(const std::vector<SnapAnchor>& entries) {
  std::vector<uint8_t> bytes(entries.size() * SnapAnchor::kEntryBytes, 0);
  for (size_t i = 0; i < entries.size(); ++i) {
    const SnapAnchor& e = entries[i];
    uint8_t* at = bytes.data() + i * SnapAnchor::kEntryBytes;
    const float values[] = {e.point.x, e.point.y, e.point.z, e.direction};
    PutWord(at, 0, &e.code);
    for (size_t k = 0; k < 4; ++k) PutWord(at, k + 1, &values[k]);
    PutWord(at, 5, &e.level);
    PutWord(at, 6, &e.flags);
    static_assert(kWordsPerEntry == 9);
  }
  return bytes;
}

void SetBlob(Handle blob, const void* data, size_t size) {
  if (blob == nullptr) return;
  MemSetSize(blob, uint32_t(size));
  if (size != 0) std::memcpy(*blob, data, size);
}

}  // namespace

zelvproWall::zelvproWall(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  kind = kKind;
  const char* r = module.GetRecordBuffer();
  priceFlag = RecordField(module, "xcostumPrice").Long(r) != 0;
  wallHeight = float(RecordField(module, "height").Double(r));
  thickness = float(RecordField(module, "wallThickness").Double(r));
  if (outlines != nullptr) {
    SetOutlinePoints(PointListToVector(RecordField(module, "points").Data(r)));
    snapPoints = SnapAnchor::FromBlob(RecordField(module, "snappoints").Data(r));
    // The saved snapped-to word named an element of another session.
    for (SnapAnchor& entry : snapPoints) entry.word7 = 0, entry.partner = nullptr;
  }
  colour = ppRGBColor{RecordField(module, "colorAred").Long(r), RecordField(module, "colorAgreen").Long(r),
                      RecordField(module, "colorAblue").Long(r)};
  plain = RecordField(module, "under").Long(r) != 0;
}

void zelvproWall::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "wallThickness").SetDouble(r, thickness);
  RecordField(record, "height").SetDouble(r, wallHeight);
  RecordField(record, "xcostumPrice").SetLong(r, priceFlag ? 1 : 0);
  if (outlines != nullptr) {
    const std::vector<ppVector2> points = OutlinePoints();
    SetBlob(RecordField(record, "points").Data(r), points.data(), points.size() * sizeof(ppVector2));
  }
  const std::vector<uint8_t> entries = EntryBytes(snapPoints);
  SetBlob(RecordField(record, "snappoints").Data(r), entries.data(), entries.size());
  RecordField(record, "type").SetLong(r, kKind);
  RecordField(record, "colorAred").SetLong(r, colour.red);
  RecordField(record, "colorAgreen").SetLong(r, colour.green);
  RecordField(record, "colorAblue").SetLong(r, colour.blue);
  RecordField(record, "under").SetLong(r, plain ? 1 : 0);
}

void zelvproWall::DoCommand(int32_t command, intptr_t parameter) {
  if (command == kRestoreSnapshot) {
    if (parameter != 0) RestoreSnapshot(*reinterpret_cast<const Snapshot*>(parameter));
    return;
  }
  if (command != kSetColour && command != kSetPlain) {
    zelvproTopViewElement::DoCommand(command, parameter);
    return;
  }
  if (command == kSetPlain) {
    plain = true;
  } else if (parameter != 0) {
    colour = *reinterpret_cast<const ppRGBColor*>(parameter);
    plain = false;
  }
  Invalidate();
  ForEachChildElement(*this, [&](zelvproElement* child) { child->DoCommand(command, parameter); });
  MarkTreeNeedsRedraw();
}

ppTask* zelvproWall::CreateMoverTask(qxViewHolder* selection, zelvproCanvas* canvas,
                                     void* /*feedbackSource*/) {
  return iElementTaskFactory::Current().NewWallTask(selection, canvas);
}

ppTask* zelvproWall::CreateDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  return iElementTaskFactory::Current().NewWallDraggerTask(selection, canvas);
}

void zelvproWall::CommitEdits() {
  Invalidate();
  InvalidateTree();
  Invalidate();
  InvalidateElement(iElementHost::Current().ScenePane(), true);
  Invalidate();
}

// ---- The outline.

std::vector<ppVector2> zelvproWall::OutlinePoints() const {
  return outlines != nullptr ? PointListToVector(outlines->points) : std::vector<ppVector2>{};
}

void zelvproWall::SetOutlinePoints(const std::vector<ppVector2>& points) {
  if (outlines == nullptr) return;
  SetBlob(outlines->points, points.data(), points.size() * sizeof(ppVector2));
  outlines->ClearCache();
}

std::vector<ppVector2> zelvproWall::PlacedOutline(float turn) const {
  std::vector<ppVector2> points = OutlinePoints();
  for (ppVector2& p : points) {
    if (turn != 0.0f) Rotate2(p, turn);
    Offset2(p, position.x, position.z);
  }
  return points;
}

ppVector3 zelvproWall::PlacedEntryPoint(int32_t index) const {
  ppVector3 point = snapPoints[size_t(index)].point;
  LocalToWorld(point);
  return point;
}

void zelvproWall::StretchTo(float length) {
  std::vector<ppVector2> points = OutlinePoints();
  for (ppVector2& p : points)
    if (p.x > 0.0f) p.x = length;
  SetOutlinePoints(points);
  for (SnapAnchor& entry : snapPoints)
    if (entry.point.x > 0.0f) entry.point.x = length;
}

void zelvproWall::DragEnd(int32_t end, int32_t x, int32_t y, bool frozen) {
  if (frozen || snapPoints.size() < 2 || (end != 0 && end != 1)) return;
  ppVector3 mouse;
  ScreenToPlanPoint(x, y, mouse);
  ppVector3 local = mouse;
  WorldToLocal(local);
  const ppVector3 other = snapPoints[end == 0 ? 1 : 0].point;
  // From the start towards the far end, in the element's frame.
  const float dx = end == 0 ? other.x - local.x : local.x - other.x;
  const float dz = end == 0 ? other.z - local.z : local.z - other.z;
  const float length = Hypot2(dx, dz);
  // A drag onto the other end would fold every point onto x = 0 for good: it is ignored.
  if (!(length > 0.0f)) return;
  const float turn = AngleOf(dx, dz);
  // The start lands on the mouse point, or stays where it lies, under the new angle; the far end
  // then lies `length` along the wall from it.
  const ppVector3 anchor = end == 0 ? mouse : PlacedEntryPoint(0);
  ppVector2 start(snapPoints[0].point.x, snapPoints[0].point.z);
  Rotate2(start, angle + turn);
  SetPosition(ppVector3(anchor.x - start.x, position.y, anchor.z - start.y));
  if (end == 1) snapPoints[1].point.x = length;
  StretchTo(length);
  SetAngle(angle + turn);
  Invalidate();
  InvalidateTree();
}

zelvproWall::Snapshot zelvproWall::TakeSnapshot() const {
  return Snapshot{OutlinePoints(), snapPoints, position, angle};
}

void zelvproWall::RestoreSnapshot(const Snapshot& shot) {
  Invalidate();
  SetOutlinePoints(shot.outline);
  std::vector<SnapAnchor> entries = shot.entries;
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i].partner = i < snapPoints.size() ? snapPoints[i].partner : nullptr;
    entries[i].word7 = i < snapPoints.size() ? snapPoints[i].word7 : 0;
  }
  snapPoints = std::move(entries);
  SetPosition(shot.position);
  StoreAngle(shot.angle);
  Invalidate();
  InvalidateTree();
}

// ---- Edge searches.

int32_t zelvproWall::NearestOutlineEdge(const ppVector2& p, float tolerance, float& distance) const {
  const std::vector<ppVector2> points = PlacedOutline(angle);
  float least = kFarAway;
  int32_t nearest = -1;
  for (size_t i = 0; i < points.size(); ++i) {
    const float d = PointToSegmentDistance(p, points[i], points[(i + 1) % points.size()]);
    if (d < least) least = d, nearest = int32_t(i);
  }
  distance = least;
  return least < tolerance ? nearest : -1;
}

zelvproElement* zelvproWall::NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best,
                                         int32_t& index, zelvproElement* asker, uint32_t flags) {
  if (query.code != 0) return zelvproTopViewElement::NearestSnap(query, out, best, index, asker, flags);
  zelvproElement* found = nullptr;
  const ppVector2 p(query.point.x, query.point.z);
  float foot = 0.0f;
  const int32_t edge = NearestOutlineEdge(p, kFarAway, foot);
  if (edge >= 0) {
    const float absolute = GetAbsoluteAngle();
    const std::vector<ppVector2> points = PlacedOutline(absolute);
    const ppVector2 a = points[size_t(edge)], b = points[(size_t(edge) + 1) % points.size()];
    const float edgeAngle = AngleOf(b.x - a.x, b.y - a.y) - kHalfTurn;
    const ppVector2 q(p.x - a.x, p.y - a.y);
    // q laid onto the edge's direction at the same distance from a.
    ppVector2 laid = q;
    Rotate2(laid, edgeAngle - (AngleOf(q.x, q.y) - kHalfTurn));
    const float distance = Distance2(q, laid);
    // Like every snap search, only a nearer answer replaces the one found so far.
    if (distance < best) {
      ppVector2 snapped(a.x + laid.x, a.y + laid.y);
      Rotate2(snapped, -absolute);
      out = SnapAnchor{};
      out.point = ppVector3(snapped.x, 0.0f, snapped.y);
      out.direction = edgeAngle - absolute;
      best = distance;
      index = edge;
      found = this;
    }
  }
  ForEachChildElement(*this, [&](zelvproElement* child) {
    if (zelvproElement* nearer = child->NearestSnap(query, out, best, index, asker, flags)) found = nearer;
  });
  return found;
}
