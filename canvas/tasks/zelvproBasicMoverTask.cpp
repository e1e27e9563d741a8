#include "canvas/tasks/zelvproBasicMoverTask.h"

#include "canvas/tasks/NearUnitIndex.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/tasks/PlanUnitScene.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>
#include <unordered_map>

#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/TolerantMath.h"
#include "foundation/ppMatrix4.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppEventHandler.h"
#include "platform/Cursors.h"
#include "platform/ResetList.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxWallElement.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/ppCollisionRenderer.h"
#include "scene3d/context/ppScene.h"

namespace {

// The program-wide collision-test option and the test-only whole-plan scope. User-interface thread.
bool gCollisionTestOn = true;
bool gWholePlanScope = false;
[[maybe_unused]] const bool kReset = plat::ResetList::Add("mover tasks: collision-test option", [] {
  gCollisionTestOn = true;
  gWholePlanScope = false;
});

// State bits of the collision test: the element stays out of the test; the element is being moved.
constexpr uint32_t kLeftOut = 0x100;
constexpr uint32_t kMoving = iNode::kMovingFlag;
// The flag word bit of a unit that may be narrowed to fit beside a wall body.
constexpr uint32_t kStretchToFit = 0x20000000;
// Marker half size, pixels.
constexpr int32_t kMarkerHalf = 4;

ppVector3 Plus(const ppVector3& a, const ppVector3& b) { return ppVector3(a.x + b.x, a.y + b.y, a.z + b.z); }
ppVector3 Minus(const ppVector3& a, const ppVector3& b) { return ppVector3(a.x - b.x, a.y - b.y, a.z - b.z); }

// `p` turned about the y axis the way an element's placement turns its points when its angle grows
// by `angle` (radians).
ppVector3 Turned(ppVector3 p, float angle) {
  if (angle != 0.0f) RotatePoint3(p, 0.0f, -angle, 0.0f);
  return p;
}

ppVector3 ToWorld(const zelvproElement* element, const ppVector3& local) { return PlanPoint(element, local); }

// The absolute angle of the element's container (0 for a child of a root).
float ContainerAngle(const ppView* container) {
  const auto* element = dynamic_cast<const zelvproElement*>(container);
  return element != nullptr ? element->GetAbsoluteAngle() : 0.0f;
}

// A plan point in the frame of `container` (an element, or a plain view: plan coordinates).
ppVector3 WorldToContainer(const ppView* container, const ppVector3& world) {
  return ContainerPoint(container, world);
}

bool Participates(zelvproElement* element) { return (element->GetStateBits() & iNode::kSkipFlags) == 0; }

void SetCursorResource(int32_t id) {
  plat::HINSTANCE instance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  if (instance == nullptr) return;
  if (plat::HCURSOR cursor = plat::LoadCursorA(instance, plat::MAKEINTRESOURCEA(uint16_t(id))))
    plat::SetCursor(cursor);
}

// The anchor marker: a small square framed in exclusive-or, centred on the pixel.
void DrawSnapMarker(ppDC& dc, plat::POINT at) {
  dc.FrameRect(
      plat::RECT{at.x - kMarkerHalf, at.y - kMarkerHalf, at.x + kMarkerHalf + 1, at.y + kMarkerHalf + 1});
}

zelvproTopCanvas* TopCanvas() { return dynamic_cast<zelvproTopCanvas*>(iElementHost::Current().TopCanvas()); }

zelvproElement* RoomCanvas() { return iElementHost::Current().NewRoomCanvas(); }

}  // namespace

bool zelvproBasicMoverTask::PointLess::operator()(const ppVector3& a, const ppVector3& b) const {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.z < b.z;
}

bool zelvproBasicMoverTask::CollisionTestOn() { return gCollisionTestOn; }
void zelvproBasicMoverTask::SetCollisionTestOn(bool on) { gCollisionTestOn = on; }
void zelvproBasicMoverTask::SetWholePlanScope(bool on) { gWholePlanScope = on; }

zelvproBasicMoverTask::zelvproBasicMoverTask(qxViewHolder* moved, zelvproCanvas* canvas, qxViewHolder* extra,
                                             bool scheduleUpdate)
    : zelvproMouseTask(canvas, canvas),
      canvas_(canvas),
      moved_(moved),
      extra_(extra),
      scheduleUpdate_(scheduleUpdate) {
  for (qxViewHolder* h = moved; h != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    // The outline feedback shows the units unturned while they move.
    h->angle = 0.0f;
    Place place;
    place.element = element;
    place.position = element->GetPosition();
    place.angle = element->GetAngle();
    place.container = element->GetSupervisor();
    if (auto* container = dynamic_cast<zelvproElement*>(place.container))
      place.index = container->IndexOfSubview(element);
    else if (place.container != nullptr)
      place.index = place.container->Subviews().Find(element);
    places_.push_back(place);
    element->changed = 1;
    element->SetStateBitsTree(kMoving);
    // Undo puts it back there: either destroyed elsewhere takes the task off its history.
    Keep(element);
    Keep(place.container);
  }
}

zelvproBasicMoverTask::~zelvproBasicMoverTask() = default;

void zelvproBasicMoverTask::ReplaceMoved(qxViewHolder* moved) { moved_.reset(moved); }

// ---- Pixels and plan.

ppVector3 zelvproBasicMoverTask::DragVector() const {
  const double s = PlanScale();
  return ppVector3(float((Current().x - StartPoint().x) * s), 0.0f,
                   float((Current().y - StartPoint().y) * s));
}

plat::POINT zelvproBasicMoverTask::PlanToPixels(const ppVector3& p) const {
  plat::POINT out{};
  PlanPointToScreen(p, out);
  return out;
}

// ---- Press, Shift and tracking.

void zelvproBasicMoverTask::Constrain(plat::POINT& point) {
  ppVector3 r(1.0e6f, 0.0f, 1.0e6f);
  for (qxViewHolder* h = moved_.get(); h != nullptr; h = h->Next()) h->TakeMinimumPosition(r);
  reference_ = r;
  for (Place& place : places_) {
    const ppVector3 p = place.element->GetPosition();
    place.offset = ppVector3(p.x - r.x, 0.0f, p.z - r.z);
  }
  const double s = PlanScale();
  const plat::POINT origin = PlanPixelOrigin();
  drawingOffset_ = plat::POINT{int32_t(point.x - r.x / s - origin.x), int32_t(point.y - r.z / s - origin.y)};
  SetFeedbackOffset(drawingOffset_.x, drawingOffset_.y);
}

void zelvproBasicMoverTask::PreTrack(plat::POINT* point) {
  if (point == nullptr) return;
  if (!ppEventHandler::IsShiftKeyDown()) {
    axisLocked_ = false;
    return;
  }
  if (!axisLocked_) {
    const int32_t dx = StartPoint().x - point->x, dy = StartPoint().y - point->y;
    if (std::abs(dx) == std::abs(dy)) return;
    lockVertical_ = std::abs(dx) < std::abs(dy);
    axisLocked_ = true;
  }
  if (lockVertical_) {
    point->x = StartPoint().x;
  } else {
    point->y = StartPoint().y;
  }
}

void zelvproBasicMoverTask::Track() {
  const ppVector3 d = DragVector();
  if (ppEventHandler::IsControlKeyDown()) {
    snapTarget_ = nullptr;
    return zelvproMouseTask::Track();
  }
  snapTarget_ = nullptr;
  snappedElement_ = nullptr;
  // Only the anchors of other units are snap targets; a wall face is none (a unit dropped across a wall
  // is pushed back inside the room by the commit).
  zelvproTopCanvas* top = TopCanvas();
  for (Place& place : places_) {
    if (top == nullptr) break;
    SnapAnchor entry, t, m;
    int32_t moved = -1, other = -1;
    zelvproElement* found = top->FindSnap(place.element, moved, other, kSnapReach,
                                          Plus(place.element->GetPosition(), d), entry, moved_.get(), false);
    if (found == nullptr) continue;
    if (!found->GetPointEntry(other, t) || !place.element->GetPointEntry(moved, m)) continue;
    snapTarget_ = found;
    movedAnchor_ = moved, targetAnchor_ = other;
    snapPoint_ = t;
    snapPointWorld_ = ToWorld(found, t.point);
    targetMarker_ = PlanToPixels(snapPointWorld_);
    snappedElement_ = place.element;
    plat::POINT at = PlanToPixels(ToWorld(place.element, m.point));
    movedMarker_ = plat::POINT{at.x + Current().x - StartPoint().x, at.y + Current().y - StartPoint().y};
    break;
  }
  if (snapTarget_ == nullptr) {
    if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
    stretch_ = Stretch();
    // Without a snap the commit still refuses a place that collides: the cursor says so beforehand.
    placeFree_ = PlainPlaceFree(d);
    return zelvproMouseTask::Track();
  }
  auto cached = collisionCache_.find(snapPointWorld_);
  if (cached != collisionCache_.end()) {
    // A pending stretch of another snap point goes before this point's own is applied.
    if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
    placeFree_ = cached->second;
    stretch_ = stretchCache_[snapPointWorld_];
    if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.width);
    return zelvproMouseTask::Track();
  }
  if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
  stretch_ = Stretch();
  placeFree_ = true;
  PlaceAtSnap();
  // The commit pushes the units back inside the room before its own test: the cursor tells its answer.
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(RoomCanvas())) room->SnapElementsToWalls(moved_.get());
  if (!CheckCollisions()) StretchToFit();
  collisionCache_[snapPointWorld_] = placeFree_;
  if (!placeFree_) stretch_ = Stretch();
  stretchCache_[snapPointWorld_] = stretch_;
  // Nothing of the tentative placement stays: places, angles and containers go back (the pending
  // stretch's width stays while the snap point is held).
  RestorePlaces();
  zelvproMouseTask::Track();
}

bool zelvproBasicMoverTask::PlainPlaceFree(const ppVector3& drag) {
  auto cached = plainCache_.find(drag);
  if (cached != plainCache_.end()) return cached->second;
  // The plan position the commit's frame move gives (the frame itself is left alone: only the test
  // needs the place).
  const float s = float(PlanScale());
  const int32_t dx = Current().x - StartPoint().x, dy = Current().y - StartPoint().y;
  for (Place& place : places_) {
    const ppVector3 p = place.element->GetPosition();
    place.element->SetPosition(ppVector3((p.x / s + float(dx)) * s, p.y, (p.z / s + float(dy)) * s));
  }
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(RoomCanvas())) room->SnapElementsToWalls(moved_.get());
  const bool free = CheckCollisions();
  RestorePlaces();
  plainCache_[drag] = free;
  return free;
}

void zelvproBasicMoverTask::ClearSnapCaches() {
  collisionCache_.clear();
  stretchCache_.clear();
  plainCache_.clear();
}

void zelvproBasicMoverTask::ApplyWidth(zelvproElement* element, float width) {
  element->SetValueByName("XDim", ppParameter(width), false);
}

// ---- Placement at the snap.

zelvproElement* zelvproBasicMoverTask::SnapContainer() const {
  return snapTarget_ != nullptr ? dynamic_cast<zelvproElement*>(snapTarget_->GetSupervisor()) : nullptr;
}

bool zelvproBasicMoverTask::ComputeSnapMotion(SnapMotion& out) const {
  if (snapTarget_ == nullptr || snappedElement_ == nullptr) return false;
  SnapAnchor t, m;
  if (!snapTarget_->GetPointEntry(targetAnchor_, t) || !snappedElement_->GetPointEntry(movedAnchor_, m))
    return false;
  const float aT = snapTarget_->GetAbsoluteAngle(), aM = snappedElement_->GetAbsoluteAngle();
  out.theta = (aT + t.direction) - m.direction - aM;
  out.tw = ToWorld(snapTarget_, t.point);
  const ppVector3 mw = ToWorld(snappedElement_, m.point);
  const ppVector3 mr = ToWorld(snappedElement_, Turned(m.point, out.theta));
  out.v = Minus(out.tw, mr);
  out.w = Minus(out.tw, mw);
  return true;
}

void zelvproBasicMoverTask::PutAt(Place& place, const ppVector3& world, float absAngle,
                                  zelvproElement* container) {
  zelvproElement* element = place.element;
  if (element->GetSupervisor() != container) {
    element->DetachFromSupervisor();
    container->AddSubview(element);
  }
  element->SetPosition(WorldToContainer(container, world));
  // The element keeps its angle relative to its container: the absolute turn less the container's.
  element->SetAngle(absAngle - ContainerAngle(container));
}

bool zelvproBasicMoverTask::PlaceAtSnap() {
  zelvproElement* container = SnapContainer();
  if (container == nullptr) return false;
  RestorePlaces();
  SnapMotion motion;
  if (!ComputeSnapMotion(motion)) return false;
  // Plan positions and angles first: a re-parenting must not change what the others are turned from.
  std::vector<std::pair<ppVector3, float>> targets;
  for (Place& place : places_) {
    const ppVector3 at = ToWorld(place.element, ppVector3());
    ppVector3 to = place.element == snappedElement_
                       ? Plus(at, motion.v)
                       : Plus(motion.tw, Turned(Minus(Plus(at, motion.w), motion.tw), motion.theta));
    targets.emplace_back(to, place.element->GetAbsoluteAngle() + motion.theta);
  }
  for (size_t i = 0; i < places_.size(); ++i)
    PutAt(places_[i], targets[i].first, targets[i].second, container);
  return true;
}

void zelvproBasicMoverTask::RestorePlaces() {
  // Containers first, in list order at their old indexes, then places and angles.
  for (Place& place : places_) PutBack(place);
}

void zelvproBasicMoverTask::PutBack(const Place& place) {
  zelvproElement* element = place.element;
  if (place.container != nullptr && element->GetSupervisor() != place.container) {
    element->DetachFromSupervisor();
    const int32_t count = place.container->Subviews().Count();
    if (place.index >= 0 && place.index < count) {
      place.container->InsertSubview(element, place.index);
    } else {
      place.container->AddSubview(element);
    }
  }
  element->SetPosition(place.position);
  element->StoreAngle(place.angle);
}

std::vector<zelvproElement*> zelvproBasicMoverTask::ResnapMoved() {
  ElementList list;
  for (Place& place : places_) list.push_back(place.element);
  if (!list.empty()) {
    list.front()->ReleaseOutsideSnaps(list);
    list.front()->ResnapList(list);
  }
  return list;
}

void zelvproBasicMoverTask::SwapPlaces() {
  for (Place& place : places_) {
    zelvproElement* element = place.element;
    Place now = place;
    now.position = element->GetPosition();
    now.angle = element->GetAngle();
    now.container = element->GetSupervisor();
    now.index = now.container != nullptr ? now.container->Subviews().Find(element) : -1;
    element->Invalidate();
    PutBack(place);
    element->Invalidate();
    element->MarkTreePendingUpdate();
    place = now;
  }
}

// ---- The stretch to fit.

void zelvproBasicMoverTask::StretchToFit() {
  zelvproElement* a = collidingA_;
  zelvproElement* b = collidingB_;
  if (a == nullptr || b == nullptr) {
    placeFree_ = false;
    return;
  }
  if (a->kind == ElementKinds::kWallBody && b->kind == ElementKinds::kParametric) std::swap(a, b);
  if (a->kind != ElementKinds::kParametric || b->kind != ElementKinds::kWallBody ||
      (a->GetFlags() & kStretchToFit) == 0) {
    placeFree_ = false;
    return;
  }
  Stretch s;
  s.element = a;
  s.savedWidth = a->dimensions.x;
  s.savedX = a->GetPosition().x, s.savedZ = a->GetPosition().z;
  s.newX = kNoShift;
  // The wall body's edge (its face's two ends, plan coordinates of the room), flattened; the
  // perpendicular through the snap point.
  ppVector3 ea = b->pointA, eb = b->pointB;
  if (auto* wall = dynamic_cast<qxWallElement*>(b)) ea = wall->Edge().start, eb = wall->Edge().end;
  ea.y = eb.y = 0.0f;
  const ppVector3 p(snapPointWorld_.x, 0.0f, snapPointWorld_.z);
  const ppVector3 n = Turned(ppVector3(eb.x - ea.x, 0.0f, eb.z - ea.z), -geom::kHalfPiF);
  ppVector3 hitAt;
  bool parallel = false;
  if (!IntersectSegmentsXZ(hitAt, ea, eb, Minus(p, n), Plus(p, n), parallel)) {
    // The perpendicular misses the edge: there is nothing to measure the width against.
    placeFree_ = false;
    return;
  }
  const ppVector3 h(hitAt.x - p.x, 0.0f, hitAt.z - p.z);
  // E from the unit's plan position, so that it compares with H in the same frame.
  const ppVector3 at = ToWorld(a, ppVector3());
  const ppVector3 e(at.x - p.x, 0.0f, at.z - p.z);
  const float hLength = std::sqrt(h.x * h.x + h.z * h.z);
  const float eLength = std::sqrt(e.x * e.x + e.z * e.z);
  s.width = hLength * 0.99f;
  ppVector3 shift;
  if (NearlyEqual(AngleOf(e.x, e.z), AngleOf(h.x, h.z), 0.01) && eLength > 2.0f && hLength > 0.0f) {
    const float k = s.savedWidth - s.width;
    shift = ppVector3(-h.x / hLength * k, 0.0f, -h.z / hLength * k);
    // The shift is taken in the plan and carried into the unit's container frame.
    const ppVector3 local = WorldToContainer(a->GetSupervisor(), Plus(at, shift));
    s.newX = local.x, s.newZ = local.z;
  }
  stretch_ = s;
  if (s.newX < 9.0e8f) a->SetPosition(ppVector3(s.newX, a->GetPosition().y, s.newZ));
  ApplyWidth(a, s.width);
  if (CheckCollisions()) return;
  placeFree_ = false;
  ApplyWidth(a, s.savedWidth);
  if (s.newX < 9.0e8f) a->SetPosition(ppVector3(s.savedX, a->GetPosition().y, s.savedZ));
  stretch_ = Stretch();
}

// ---- Feedback.

void zelvproBasicMoverTask::DrawFeedback(int32_t x, int32_t y) {
  if (canvas_ == nullptr || canvas_->GetHWND() == nullptr) return;
  ppDC dc(canvas_->GetHWND());
  canvas_->ClipToVisible(dc);
  dc.SetGray(0);
  const int32_t dx = x - StartPoint().x - drawingOffset_.x, dy = y - StartPoint().y - drawingOffset_.y;
  for (Place& place : places_) place.element->DrawOutlineAt(dx, dy, 0.0f, 0.0f, 0.0f, dc);
  if (snapTarget_ != nullptr) {
    dc.SetXorMode();
    DrawSnapMarker(dc, targetMarker_);
    DrawSnapMarker(dc, movedMarker_);
  }
  dc.SetNormalPen();
}

void zelvproBasicMoverTask::EraseFeedback(int32_t x, int32_t y) { DrawFeedback(x, y); }

void zelvproBasicMoverTask::SetTrackCursor() {
  cursorId_ = placeFree_ ? kFreeCursor : kBlockedCursor;
  SetCursorResource(cursorId_);
}

// ---- The collision test.

void zelvproBasicMoverTask::CollectScene(zelvproTopCanvas* top, bool overlaps,
                                         std::vector<zelvproElement*>& units) {
  if (top == nullptr) return;
  if (gWholePlanScope) {
    units.push_back(top);
    return;
  }
  std::set<zelvproElement*> rendered;
  if (overlaps) {
    if (near_ == nullptr) {
      near_ = std::make_unique<NearUnitIndex>(*top);
    }
    std::vector<zelvproElement*> moved;
    for (Place& place : places_) moved.push_back(place.element);
    for (zelvproElement* unit : near_->Near(moved)) {
      // A moved unit of the plan's top level is rendered as moved, below.
      if (unit->GetSupervisor() != top || IsMoved(unit)) continue;
      units.push_back(unit);
      rendered.insert(unit);
    }
  }
  for (Place& place : places_) {
    bool inside = false;
    for (ppView* v = place.element; v != nullptr && !inside; v = v->GetSupervisor())
      inside = rendered.count(dynamic_cast<zelvproElement*>(v)) != 0;
    if (!inside) units.push_back(place.element);
  }
}

bool zelvproBasicMoverTask::CheckCollisions() {
  bool result = true;
  zelvproTopCanvas* top = TopCanvas();
  zelvproElement* room = RoomCanvas();
  const bool overlaps = top != nullptr && top->Overlaps(moved_.get());
  std::vector<zelvproElement*> units;
  CollectScene(top, overlaps, units);
  // The scene's units stand clear of the moving and left-out marks; in the whole-plan scope that is
  // the whole plan, left out altogether when no footprint overlaps.
  for (zelvproElement* unit : units) {
    unit->ClearStateBitsTree(kLeftOut | kMoving);
    if (!overlaps && unit == top) unit->SetStateBitsTree(kLeftOut);
  }
  if (room != nullptr) room->ClearStateBitsTree(kMoving);
  for (Place& place : places_) {
    zelvproElement* element = place.element;
    element->ClearStateBitsTree(kLeftOut);
    element->SetStateBitsTree(kMoving);
    ppVector3 p = element->GetPosition();
    if (p.y < kLowestUnit) {
      p.y = kLowestUnit;
      element->SetPosition(p);
    }
  }
  lastSceneUnits_ = int32_t(units.size());
  if (gCollisionTestOn) {
    ppScene scene;
    if (room != nullptr) scene.Add(room);
    PlanUnitScene plan(units);
    scene.Add(&plan);
    ppCollisionRenderer renderer;
    ++collisionRuns_;
    if (renderer.Check(scene)) {
      result = false;
      // Which two units met: the renderer names its nodes' owners, not the plan elements, so the
      // participating units are tried one at a time (only after a hit, over the near units).
      std::vector<zelvproElement*> collected, moving;
      std::set<zelvproElement*> movingSet;
      for (Place& place : places_) {
        ElementList tree;
        place.element->CollectTree(tree);
        for (zelvproElement* e : tree)
          if (movingSet.insert(e).second) moving.push_back(e);
      }
      auto gather = [&](zelvproElement* root) {
        ElementList tree;
        root->CollectTree(tree);
        for (zelvproElement* e : tree)
          if (movingSet.count(e) == 0 && Participates(e)) collected.push_back(e);
      };
      if (room != nullptr) gather(room);
      for (zelvproElement* unit : units) gather(unit);
      IdentifyPair(collected, moving, scene);
    }
  }
  for (zelvproElement* unit : units) unit->ClearStateBitsTree(kLeftOut);
  return result;
}

void zelvproBasicMoverTask::IdentifyPair(std::vector<zelvproElement*>& collected,
                                         const std::vector<zelvproElement*>& moving, iScene& scene) {
  collidingA_ = collidingB_ = nullptr;
  auto hit = [&]() {
    ppCollisionRenderer renderer;
    return renderer.Check(scene);
  };
  std::vector<uint32_t> collectedBits, movingBits;
  for (zelvproElement* e : collected) collectedBits.push_back(e->stateBits), e->SetStateBits(kLeftOut);
  for (zelvproElement* e : collected) {
    e->ClearStateBits(kLeftOut);
    const bool found = hit();
    if (found) {
      collidingA_ = e;
      break;
    }
    e->SetStateBits(kLeftOut);
  }
  if (collidingA_ != nullptr) {
    for (zelvproElement* e : moving) movingBits.push_back(e->stateBits), e->SetStateBits(kLeftOut);
    for (zelvproElement* e : moving) {
      e->ClearStateBits(kLeftOut);
      if (hit()) {
        collidingB_ = e;
        break;
      }
      e->SetStateBits(kLeftOut);
    }
    for (size_t i = 0; i < movingBits.size(); ++i) moving[i]->stateBits = movingBits[i];
  }
  for (size_t i = 0; i < collected.size(); ++i) collected[i]->stateBits = collectedBits[i];
}

// ---- The commit.

void zelvproBasicMoverTask::ShiftPending() {
  // The shift tracking tested, carried over as the same step from the unit's place at the snap.
  Stretch& s = stretch_;
  if (s.element == nullptr || s.newX >= 9.0e8f) return;
  const ppVector3 p = s.element->GetPosition();
  if (!IsMoved(s.element)) {
    s.element->SetPosition(ppVector3(s.newX, p.y, s.newZ));
    return;
  }
  s.element->SetPosition(ppVector3(p.x + (s.newX - s.savedX), p.y, p.z + (s.newZ - s.savedZ)));
}

void zelvproBasicMoverTask::Do() {
  iElementHost& host = iElementHost::Current();
  committedStretch_ = Stretch();
  if (stretch_.element != nullptr) {
    ApplyWidth(stretch_.element, stretch_.width);
    committedStretch_ = stretch_;
  }
  for (qxViewHolder* h = extra_; h != nullptr; h = h->Next()) h->Element()->Invalidate();
  ppView* supervisor = canvas_ != nullptr ? canvas_->GetSupervisor() : nullptr;
  if (supervisor != nullptr && snapTarget_ == nullptr) {
    plat::RECT frame{};
    supervisor->GetWindowFrame(&frame);
    const plat::POINT c = Current();
    if (c.x < frame.left || c.x >= frame.right || c.y < frame.top || c.y >= frame.bottom) {
      rejected_ = true;
      return;
    }
  }
  zelvproElement* container = nullptr;
  if (snapTarget_ == nullptr) {
    zelvproCanvas* root = places_.empty() ? nullptr : places_.front().element->GetCanvas();
    for (Place& place : places_) {
      if (root == nullptr) break;
      zelvproElement* answer =
          root->FindContainerFor(Current().x, Current().y, place.element->kind, place.element);
      bool movedOne = false;
      for (Place& other : places_) movedOne = movedOne || other.element == answer;
      if (answer != nullptr && !movedOne) {
        container = answer;
        break;
      }
    }
  } else {
    container = SnapContainer();
  }
  if (container == nullptr) {
    rejected_ = true;
    return;
  }
  for (Place& place : places_) place.element->SetPosition(place.position);
  const int32_t dx = Current().x - StartPoint().x, dy = Current().y - StartPoint().y;
  if (snapTarget_ == nullptr) {
    for (Place& place : places_) {
      zelvproElement* element = place.element;
      const bool elsewhere = element->GetSupervisor() != container;
      if (elsewhere) element->Invalidate();
      element->MoveBy(dx, dy);
      if (elsewhere) {
        ppVector3 at;
        element->GetAbsolutePosition(at);
        if (at.y < 0.0f) {
          rejected_ = true;
          return;
        }
      }
      element->Invalidate();
    }
  } else {
    SnapMotion motion;
    for (Place& place : places_) place.element->Invalidate();
    if (!ComputeSnapMotion(motion)) {
      rejected_ = true;
      return;
    }
    std::vector<std::pair<ppVector3, float>> targets;
    for (Place& place : places_) {
      const ppVector3 at = ToWorld(place.element, ppVector3());
      targets.emplace_back(place.element == snappedElement_
                               ? Plus(at, motion.v)
                               : Plus(motion.tw, Turned(Minus(Plus(at, motion.w), motion.tw), motion.theta)),
                           place.element->GetAbsoluteAngle() + motion.theta);
    }
    for (size_t i = 0; i < places_.size(); ++i) {
      Place& place = places_[i];
      place.element->Invalidate();
      PutAt(place, targets[i].first, targets[i].second, container);
      place.element->motionFlags = snapTarget_->motionFlags;
      ppVector3 at;
      place.element->GetAbsolutePosition(at);
      if (at.y < 0.0f) {
        rejected_ = true;
        return;
      }
      place.element->Invalidate();
    }
    ShiftPending();
  }
  ElementList list = ResnapMoved();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(RoomCanvas())) room->SnapElementsToWalls(moved_.get());
  if (!CheckCollisions()) {
    rejected_ = true;
    return;
  }
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  zelvproCanvas* root = list.empty() ? nullptr : list.front()->GetCanvas();
  if (root != nullptr) root->ClearTreeMark();
  host.CheckPlanWarnings();
  ScheduleEnumNumbering();
  host.MarkDocumentModified();
  if (canvas_ != nullptr) canvas_->DoCommand(kPostAfterEdit, reinterpret_cast<intptr_t>(this));
  if (scheduleUpdate_ && root != nullptr) root->ScheduleUpdate();
  ppTask::Do();
}

// ---- Undo, Redo and the click.

void zelvproBasicMoverTask::AfterSwap(bool undo) {
  iElementHost& host = iElementHost::Current();
  ElementList list = ResnapMoved();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  if (!list.empty())
    if (zelvproCanvas* root = list.front()->GetCanvas()) root->ClearTreeMark();
  host.CheckPlanWarnings();
  ScheduleEnumNumbering();
  if (undo) {
    ppTask::Undo();
  } else {
    ppTask::Redo();
  }
}

bool zelvproBasicMoverTask::IsMoved(const zelvproElement* element) const {
  for (const Place& place : places_)
    if (place.element == element) return true;
  return false;
}

void zelvproBasicMoverTask::Undo() {
  // A pending stretch that a refused commit or tracking left applied goes back with the places.
  const Stretch s = committedStretch_.element != nullptr ? committedStretch_ : stretch_;
  if (s.element != nullptr) {
    ApplyWidth(s.element, s.savedWidth);
    // A moved unit's place comes back with the swap; a unit that stayed is shifted back here.
    if (s.newX < 9.0e8f && !IsMoved(s.element))
      s.element->SetPosition(ppVector3(s.savedX, s.element->GetPosition().y, s.savedZ));
  }
  SwapPlaces();
  AfterSwap(true);
}

void zelvproBasicMoverTask::Redo() {
  SwapPlaces();
  const Stretch& s = committedStretch_;
  if (s.element != nullptr) {
    ApplyWidth(s.element, s.width);
    if (s.newX < 9.0e8f && !IsMoved(s.element))
      s.element->SetPosition(ppVector3(s.newX, s.element->GetPosition().y, s.newZ));
  }
  AfterSwap(false);
}

void zelvproBasicMoverTask::Click() {
  // A short drag counts as a click: a width narrowed while it tracked goes back.
  if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
  stretch_ = Stretch();
  RestorePlaces();
  ElementList list;
  for (Place& place : places_) list.push_back(place.element);
  if (!list.empty()) list.front()->ResnapList(list);
  for (zelvproElement* e : list) e->Invalidate();
  iElementHost& host = iElementHost::Current();
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  zelvproElement::InvalidateElement(host.ScenePane(), true);
}
