#include "canvas/view3d/zelvpro3DTask.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <unordered_map>

#include "canvas/tasks/NearUnitIndex.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/tasks/PlanUnitScene.h"
#include "canvas/tasks/zelvproBasicMoverTask.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Geometry3D.h"
#include "framework/ppApplication.h"
#include "framework/ppEventHandler.h"
#include "platform/Cursors.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/RoomInnerFaces.h"
#include "room/qxWallElement.h"
#include "scene3d/context/iNode.h"
#include "scene3d/context/ppCollisionRenderer.h"
#include "scene3d/gl/glContext.h"
#include "scene3d/gl/qxCamera.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "scene3d/renderers/qxRenderFactory.h"

namespace {

constexpr uint32_t kLeftOut = 0x100;
constexpr uint32_t kMoving = iNode::kMovingFlag;
constexpr int32_t kOwnBoxFlags = 0x240;
constexpr float kWidthFactor = 0.99f, kDirectionTolerance = 0.01f, kMinimumShift = 2.0f,
                kShiftSentinel = 9.0e8f;
// A face whose normal has at least this upward part carries units.
constexpr float kLevelFace = 0.9f;
// A unit set on another stands this far (millimetres) above its top, so that the two do not touch.
constexpr float kAboveTop = 0.1f;
constexpr int32_t kMarkerHalf = 4;  // pixels

ppVector3 Plus(const ppVector3& a, const ppVector3& b) { return ppVector3(a.x + b.x, a.y + b.y, a.z + b.z); }
ppVector3 Minus(const ppVector3& a, const ppVector3& b) { return ppVector3(a.x - b.x, a.y - b.y, a.z - b.z); }

// `p` turned about the y axis as an element's placement turns its points when its angle grows.
ppVector3 Turned(ppVector3 p, float angle) {
  if (angle != 0.0f) RotatePoint3(p, 0.0f, -angle, 0.0f);
  return p;
}

float ContainerAngle(const ppView* container) {
  const auto* element = dynamic_cast<const zelvproElement*>(container);
  return element != nullptr ? element->GetAbsoluteAngle() : 0.0f;
}

zelvproTopCanvas* TopCanvas() { return dynamic_cast<zelvproTopCanvas*>(iElementHost::Current().TopCanvas()); }
zelvproElement* RoomCanvas() { return iElementHost::Current().NewRoomCanvas(); }

// The element's box with its children's in plan coordinates; empty when it has none.
ppBounds3 PlanBox(zelvproElement* element) {
  const ppBounds3 box = element->GetBounds(0, kOwnBoxFlags);
  if (box.IsEmpty()) return box;
  return ppBounds3::Transformed(PlanMatrix(element), box);
}

// Where the ray (origin o, direction d) enters the box; false when it misses or the box lies behind.
bool RayMeetsBox(const ppVector3& o, const ppVector3& d, const ppBounds3& box, float& t) {
  float lo = 0.0f, hi = 1.0e30f;
  const float origin[3] = {o.x, o.y, o.z}, dir[3] = {d.x, d.y, d.z};
  const float c[3] = {box.centre.x, box.centre.y, box.centre.z}, h[3] = {box.half.x, box.half.y, box.half.z};
  for (int i = 0; i < 3; ++i) {
    if (std::fabs(dir[i]) < 1e-12f) {
      if (origin[i] < c[i] - h[i] || origin[i] > c[i] + h[i]) return false;
      continue;
    }
    float a = (c[i] - h[i] - origin[i]) / dir[i], b = (c[i] + h[i] - origin[i]) / dir[i];
    if (a > b) std::swap(a, b);
    lo = std::max(lo, a), hi = std::min(hi, b);
    if (lo > hi) return false;
  }
  t = lo;
  return true;
}

// One moved unit in the drag scene: drawn inside its containers' placements.
class DraggedUnit : public iScene {
 public:
  explicit DraggedUnit(zelvproElement* unit) : scene_({unit}) {}
  void Render(iRenderer& renderer) override { scene_.Render(renderer); }

 private:
  PlanUnitScene scene_;
};

bool Participates(zelvproElement* element) { return (element->GetStateBits() & iNode::kSkipFlags) == 0; }

void SetCursorResource(int32_t id) {
  plat::HINSTANCE instance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  if (instance == nullptr) return;
  if (plat::HCURSOR cursor = plat::LoadCursorA(instance, plat::MAKEINTRESOURCEA(uint16_t(id))))
    plat::SetCursor(cursor);
}

glContext* PaneContext(zelvpro3DPane* pane) {
  if (pane == nullptr || pane->DC() == nullptr) return nullptr;
  glContext* context = Shared3DContext::GetOrMake(pane->DC());
  if (context == nullptr || !context->MakeCurrent(true)) return nullptr;
  return context;
}

// Pixel drawing in window pixels over the whole pane: no depth test, no lighting, no texture.
struct PixelMode {
  PixelMode(int32_t width, int32_t height) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_VIEWPORT_BIT);
    glDisable(GL_DEPTH_TEST), glDisable(GL_LIGHTING), glDisable(GL_TEXTURE_2D), glDisable(GL_BLEND);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION), glPushMatrix(), glLoadIdentity();
    glOrtho(0, width, 0, height, -1, 1);
    glMatrixMode(GL_MODELVIEW), glPushMatrix(), glLoadIdentity();
  }
  ~PixelMode() {
    glMatrixMode(GL_PROJECTION), glPopMatrix();
    glMatrixMode(GL_MODELVIEW), glPopMatrix();
    glPopAttrib();
  }
};

}  // namespace

bool zelvpro3DTask::PointLess::operator()(const ppVector3& a, const ppVector3& b) const {
  if (a.x != b.x) return a.x < b.x;
  if (a.y != b.y) return a.y < b.y;
  return a.z < b.z;
}

zelvpro3DTask::zelvpro3DTask(qxViewHolder* holders, zelvpro3DPane* pane, zelvproElement* picked)
    : zelvproMouseTask(pane, pane), pane_(pane), holders_(holders) {
  for (qxViewHolder* h = holders; h != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    Place place;
    place.element = element;
    place.position = element->GetPosition();
    place.angle = element->GetAngle();
    place.container = element->GetSupervisor();
    if (place.container != nullptr) place.index = place.container->Subviews().Find(element);
    places_.push_back(place);
    // Undo puts it back there: either destroyed elsewhere takes the task off its history.
    Keep(element);
    Keep(place.container);
  }
  // The lowest unit leads; ties keep the earlier.
  zelvproElement* reference = picked != nullptr ? picked : (places_.empty() ? nullptr : places_[0].element);
  if (reference != nullptr) {
    ppVector3 lowest;
    reference->GetAbsolutePosition(lowest);
    for (const Place& place : places_) {
      ppVector3 p;
      place.element->GetAbsolutePosition(p);
      if (p.y < lowest.y) lowest = p, reference = place.element;
    }
  }
  SetReference(reference);
  for (Place& place : places_) {
    dragParts_.push_back(std::make_unique<ppScene>());
    dragParts_.back()->Add(new DraggedUnit(place.element));
    dragScene_.Add(dragParts_.back().get());
    place.element->SetStateBitsTree(kMoving);
  }
  // The pane as it shows now, before whoever made the task redraws it (the item strip draws the new
  // unit where it was made, far from where it goes): the feedback draws over this picture.
  SavePicture();
  pressTicks_ = GetTicks();
}

zelvpro3DTask::~zelvpro3DTask() {
  for (auto& part : dragParts_)
    for (iScene* child : part->Children()) delete child;
}

void zelvpro3DTask::SetReference(zelvproElement* reference) {
  reference_ = reference;
  referenceIndex_ = 0;
  for (size_t i = 0; i < places_.size(); ++i)
    if (places_[i].element == reference) referenceIndex_ = i;
  flags_ = reference != nullptr ? reference->GetFlags() : 0;
  if ((flags_ & (4 | 8)) != 0) flags_ |= 0x40;
  wallMode_ = (flags_ & kWallMounted) != 0;
}

bool zelvpro3DTask::IsMoved(const zelvproElement* element) const {
  for (const Place& place : places_)
    if (place.element == element) return true;
  return false;
}

// ---- The press, the feedback picture and Shift.

void zelvpro3DTask::Press(int32_t x, int32_t y) {
  ppMouseTask::Press(x, y);
  Track();
}

void zelvpro3DTask::Constrain(plat::POINT& point) {
  if (reference_ == nullptr) return;
  ppVector3 r;
  reference_->GetAbsolutePosition(r);
  if (!keepOffsets_) {
    for (Place& place : places_) {
      ppVector3 p;
      place.element->GetAbsolutePosition(p);
      place.offset = Minus(p, r);
    }
  }
  SnapAnchor first;
  const ppVector3 anchor = reference_->GetPointEntry(0, first) ? PlanPoint(reference_, first.point) : r;
  anchorOffset_ = Minus(anchor, r);
  const ppVector3 window = pane_ != nullptr ? qx3DPicking::WindowPosition(*pane_, anchor) : ppVector3();
  // New units have no place in the view yet: their anchor comes to the mouse.
  drawingOffset_ =
      anchorAtMouse_ ? ppVector2() : ppVector2(float(point.x) - window.x, float(point.y) - window.y);
  floorHeight_ = StandsOnAUnit() ? std::max(0.0f, reference_->HeightAboveFloor()) : r.y;
  target_ = r;
  ppBounds3 box = places_.empty() ? ppBounds3() : places_[0].element->GetBounds(0, kOwnBoxFlags);
  upper_ = box.IsEmpty() ? ppVector3() : Plus(box.centre, box.half);
}

bool zelvpro3DTask::StandsOnAUnit() const {
  zelvproTopCanvas* top = TopCanvas();
  if (top == nullptr || reference_ == nullptr) return false;
  const ppBounds3 own = PlanBox(reference_);
  if (own.IsEmpty()) return false;
  const float bottom = own.centre.y - own.half.y;
  bool on = false;
  ForEachChildElement(*top, [&](zelvproElement* child) {
    if (on || IsMoved(child)) return;
    const ppBounds3 box = PlanBox(child);
    if (box.IsEmpty() || std::fabs(own.centre.x - box.centre.x) > box.half.x ||
        std::fabs(own.centre.z - box.centre.z) > box.half.z)
      return;
    // A unit set on another stands just above its top.
    on = std::fabs(bottom - (box.centre.y + box.half.y + kAboveTop)) < 1.0f;
  });
  return on;
}

void zelvpro3DTask::PreTrack(plat::POINT* point) {
  if (point == nullptr) return;
  if (!ppEventHandler::IsShiftKeyDown()) {
    axisLocked_ = false;
  } else {
    if (!axisLocked_) {
      const int32_t dx = std::abs(StartPoint().x - point->x), dy = std::abs(StartPoint().y - point->y);
      // An exact diagonal decides nothing yet; the point is taken as it is.
      if (dx == dy) return;
      lockToHorizontal_ = dx >= dy;
      axisLocked_ = true;
    }
    if (lockToHorizontal_) {
      point->y = StartPoint().y;
    } else {
      point->x = StartPoint().x;
    }
  }
  if (pane_ == nullptr) return;
  plat::RECT frame{};
  pane_->GetWindowFrame(&frame);
  offPane_ = point->x < frame.left + 1 || point->x >= frame.right - 1 || point->y < frame.top + 1 ||
             point->y >= frame.bottom - 1;
  if (offPane_) *point = Current();
}

void zelvpro3DTask::SavePicture() {
  picture_.clear();
  glContext* context = PaneContext(pane_);
  if (context == nullptr) return;
  pictureWidth_ = pane_->FrameWidth(), pictureHeight_ = pane_->FrameHeight();
  if (pictureWidth_ <= 0 || pictureHeight_ <= 0) return;
  picture_.resize(size_t(pictureWidth_) * size_t(pictureHeight_) * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, pictureWidth_, pictureHeight_, GL_RGBA, GL_UNSIGNED_BYTE, picture_.data());
}

void zelvpro3DTask::RestorePicture() {
  if (picture_.empty()) return;
  PixelMode mode(pictureWidth_, pictureHeight_);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glRasterPos2i(0, 0);
  glDrawPixels(pictureWidth_, pictureHeight_, GL_RGBA, GL_UNSIGNED_BYTE, picture_.data());
}

void zelvpro3DTask::DrawDragged() {
  if (snapTarget_ != nullptr) {
    PixelMode mode(pane_->FrameWidth(), pane_->FrameHeight());
    const float x = float(snapMarker_.x), y = float(pane_->FrameHeight() - snapMarker_.y);
    glColor3f(1.0f, 0.0f, 0.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x - kMarkerHalf, y - kMarkerHalf), glVertex2f(x + kMarkerHalf, y - kMarkerHalf);
    glVertex2f(x + kMarkerHalf, y + kMarkerHalf), glVertex2f(x - kMarkerHalf, y + kMarkerHalf);
    glEnd();
  }
  if (reference_ == nullptr) return;
  ppVector3 r;
  reference_->GetAbsolutePosition(r);
  dragScene_.transform = ppMatrix4();
  dragScene_.transform.Translate(Minus(target_, r));
  std::unique_ptr<iRenderer> renderer = qxRenderFactory::Instance().FindByName("rDragger");
  if (renderer == nullptr) return;
  pane_->RenderWith(nullptr, renderer.get(), &dragScene_, true);
  ++feedbackDraws_;
}

void zelvpro3DTask::Move(plat::POINT* point) {
  if (point == nullptr) return;
  glContext* context = PaneContext(pane_);
  const plat::POINT before = Current();
  if (*point == before) {
    // Held at the pane's edge: the point stays, but whether a release here would stand changes as
    // the mouse leaves the pane or comes back.
    if (offPane_ != offPaneTracked_) {
      Track();
      SetTrackCursor();
    }
    offPaneTracked_ = offPane_;
    // A drag from the item strip starts off the pane, which its strip has redrawn with the new unit
    // where it was made: the first move puts the kept picture back, with no outline yet.
    if (!pictureRestored_ && context != nullptr) {
      RestorePicture();
      context->SwapBuffers(true);
      pictureRestored_ = true;
    }
    return;
  }
  offPaneTracked_ = offPane_;
  // The framework's step without its exclusive-or erase and draw.
  zelvproMouseTask::Move(point);
  if (context == nullptr) return;
  RestorePicture();
  pictureRestored_ = true;
  if (GetTicks() > pressTicks_ + kFeedbackDelay) DrawDragged();
  context->SwapBuffers(true);
}

void zelvpro3DTask::SetTrackCursor() {
  cursorId_ = placementOk_ ? 0 : kBlockedCursor;
  if (placementOk_) {
    zelvproMouseTask::SetTrackCursor();
  } else {
    SetCursorResource(kBlockedCursor);
  }
}

// ---- Tracking.

bool zelvpro3DTask::PlacementAt(const plat::POINT& at, ppVector3& point, zelvproElement*& unit,
                                ppVector3* hit) {
  std::vector<zelvproElement*> moved;
  for (const Place& place : places_) moved.push_back(place.element);
  // The pixel where the reference's anchor follows the mouse, and the reference's place from it.
  const float x = float(at.x) - drawingOffset_.x, y = float(at.y) - drawingOffset_.y;
  Lift lift{0.0f, 0.0f};
  if (!wallMode_) lift = Lift{floorHeight_ + anchorOffset_.y, kAboveTop + anchorOffset_.y};
  WallStop wall;
  if (!SurfaceUnder(pane_, x, y, moved, point, unit, hit, lift, &wall)) return false;
  point = Minus(point, anchorOffset_);
  if (wallMode_) point.y += anchorOffset_.y;
  if (wall.met) point = Plus(point, PushedBackInside(point));
  return true;
}

ppVector3 zelvpro3DTask::PushedBackInside(const ppVector3& at) const {
  auto* room = dynamic_cast<qxNewRoomCanvas*>(RoomCanvas());
  if (room == nullptr || reference_ == nullptr) return ppVector3();
  // The moved units' plan footprint with the reference at `at`.
  const ppVector3 step = Minus(at, PlanPoint(reference_, ppVector3()));
  ppBounds3 footprint;
  for (const Place& place : places_) {
    ppBounds3 box = PlanBox(place.element);
    if (box.IsEmpty()) continue;
    box.centre = Plus(box.centre, step);
    footprint.AddBox(box);
  }
  return room->WallPushBack(footprint);
}

bool zelvpro3DTask::SurfaceUnder(zelvpro3DPane* pane, float x, float y,
                                 const std::vector<zelvproElement*>& skip, ppVector3& point,
                                 zelvproElement*& unit, ppVector3* hit, Lift lift, WallStop* wall) {
  unit = nullptr;
  if (wall != nullptr) *wall = WallStop();
  glContext* context = PaneContext(pane);
  if (context == nullptr) return false;
  pane->RenderWith(context, nullptr, nullptr, true);
  // The ray through the pixel from the viewer into the scene. The camera's central projection (kind 0)
  // puts window depth 0 in front of the eye and depth 1 behind it; a parallel one puts depth 0 behind
  // the eye and depth 1 in front.
  const ppVector3 a = context->MapPointA(ppVector3(x, y, 0.0f));
  const ppVector3 b = context->MapPointA(ppVector3(x, y, 1.0f));
  const qxCamera& camera = *qxCameraRecords::Current();
  const bool central = camera.kind == 0;
  ppVector3 d = central ? Minus(a, b) : Minus(b, a);
  const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
  if (!(length > 0.0f)) return false;
  d = ppVector3(d.x / length, d.y / length, d.z / length);
  // The eye of a central projection is the point of the line nearest the camera's position.
  ppVector3 o = a;
  if (central) {
    const ppVector3 e = Minus(camera.position, a);
    const float s = e.x * d.x + e.y * d.y + e.z * d.z;
    o = Plus(a, ppVector3(d.x * s, d.y * s, d.z * s));
  }
  // A unit's box with its top raised to the height the point keeps over it.
  auto raised = [&](zelvproElement* child) {
    ppBounds3 box = PlanBox(child);
    if (!box.IsEmpty()) box.centre.y += lift.overTop / 2, box.half.y += lift.overTop / 2;
    return box;
  };
  // Asked to keep to the room: the first inner wall face the ray leaves the room through stops it.
  const RoomInnerFaces faces(wall != nullptr ? dynamic_cast<qxNewRoomCanvas*>(RoomCanvas()) : nullptr);
  auto along = [&](float t) { return Plus(o, ppVector3(d.x * t, d.y * t, d.z * t)); };
  // Only units whose box the ray enters are asked for their faces. A unit standing outside the room
  // (the plan lets one out) carries nothing there: where the ray meets it outside, it is passed by.
  float best = 1.0e30f;
  if (zelvproTopCanvas* top = TopCanvas()) {
    ForEachChildElement(*top, [&](zelvproElement* child) {
      if (std::find(skip.begin(), skip.end(), child) != skip.end()) return;
      float t = 0.0f;
      const ppBounds3 box = raised(child);
      if (box.IsEmpty() || !RayMeetsBox(o, d, box, t) || t >= best) return;
      if (!faces.Empty() && !faces.Contains(along(t))) return;
      best = t;
      unit = child;
    });
  }
  // Where the ray comes down to the point's height over the floor.
  const float floorT = d.y < 0.0f ? (lift.overFloor - o.y) / d.y : -1.0f;
  const ppVector3 overFloor = along(floorT);
  RoomInnerFaces::Exit exit;
  const bool walled = !faces.Empty() && faces.FirstExit(o, d, exit);
  if (walled && unit != nullptr && best >= exit.t) unit = nullptr;
  // A unit met on a side stays the unit met when the point goes on to the wall behind it.
  zelvproElement* side = nullptr;
  if (unit != nullptr && (floorT < 0.0f || best <= floorT)) {
    const ppBounds3 box = raised(unit);
    point = Plus(o, ppVector3(d.x * best, d.y * best, d.z * best));
    if (hit != nullptr) *hit = point;
    // Met on its top: the point stands over it; met on a side: over the floor below the ray.
    const float top = box.centre.y + box.half.y;
    if (std::fabs(point.y - top) < 1.0f || (d.y < -kLevelFace && point.y >= top - 1.0f)) {
      point.y = top;
      return true;
    }
    if (floorT >= 0.0f && !(walled && exit.t < floorT)) {
      point = overFloor;
      point.y = lift.overFloor;
      return true;
    }
    if (!walled) {
      point.y = lift.overFloor;
      return true;
    }
    side = unit;
  }
  unit = side;
  if (walled && (floorT < 0.0f || exit.t < floorT)) {
    // The wall comes first: the point stands against its inner face, inside the room.
    point = Plus(exit.point, ppVector3(-exit.outward.x * kAboveTop, 0.0f, -exit.outward.z * kAboveTop));
    if (hit != nullptr && side == nullptr) *hit = exit.point;
    point.y = lift.overFloor;
    wall->met = true;
    wall->outward = exit.outward;
    return true;
  }
  if (floorT < 0.0f) return false;
  if (!faces.Empty() && !faces.Contains(overFloor)) {
    // From an eye outside the room the ray may come down to the point's height before it comes in
    // through a face below that wall's top (the room seen through its near wall): the units come no
    // nearer than that face and stand against it, inside the room. Anywhere else over the floor
    // outside the room (past a wall's top, beside the room) there is no place.
    RoomInnerFaces::Exit entry;
    if (!faces.FirstEntry(o, d, entry) || !(entry.t > floorT)) return false;
    point = Plus(entry.point, ppVector3(-entry.outward.x * kAboveTop, 0.0f, -entry.outward.z * kAboveTop));
    point.y = lift.overFloor;
    if (hit != nullptr) *hit = entry.point;
    wall->met = true;
    wall->outward = entry.outward;
    return true;
  }
  point = overFloor;
  point.y = lift.overFloor;
  if (hit != nullptr) *hit = point;
  return true;
}

float zelvpro3DTask::UnderCeiling(float y, float upper, float margin) {
  const float lowest = LowestWallHeight();
  if (y + upper > lowest) {
    y = lowest - upper - margin;
    if (y < 0.0f) y = 0.0f;
  }
  return y;
}

void zelvpro3DTask::Track() {
  placementOk_ = true;
  if (wallMode_) {
    TrackOnWall();
  } else {
    TrackOnFloor();
  }
  if (ppEventHandler::IsControlKeyDown() && snapTarget_ != nullptr) {
    // The drop goes to the floor: a narrowing made for the anchor goes back.
    if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
    stretch_ = Stretch();
    snapTarget_ = nullptr;
    // A wall unit has no floor drop: without its wall as the target the wall drop refuses it.
    placementOk_ = wallMode_ ? WallTaken() : FloorTrial();
  }
  // Off the pane a release is refused, wherever the units were last shown.
  if (offPane_) placementOk_ = false;
  zelvproMouseTask::Track();
}

void zelvpro3DTask::ApplyWidth(zelvproElement* element, float width) {
  element->SetValueByName("XDim", ppParameter(width), false);
}

void zelvpro3DTask::TrackOnFloor() {
  zelvproElement* under = nullptr;
  ppVector3 point;
  snapTarget_ = nullptr;
  snappedElement_ = nullptr;
  if (!PlacementAt(Current(), point, under)) {
    // No surface of the room under the mouse: the units stay where they were last placed, and a
    // release here is refused (the floor drop finds no place either).
    if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
    stretch_ = Stretch();
    placementOk_ = false;
    return;
  }
  target_ = point;
  const ppVector3 placed = target_;
  if (zelvproTopCanvas* top = TopCanvas()) {
    // Each unit's search is its own; the last unit's answer stands.
    for (Place& place : places_) {
      SnapAnchor entry;
      int32_t moved = -1, other = -1;
      zelvproElement* found = top->FindSnap(place.element, moved, other, kSnapReach,
                                            Plus(placed, place.offset), entry, holders_.get(), true);
      if (found != nullptr && (found->motionFlags & 2) != 0 && (place.element->GetFlags() & 2) == 0)
        found = nullptr;
      SnapAnchor t, m;
      if (found != nullptr && (!found->GetPointEntry(other, t) || !place.element->GetPointEntry(moved, m)))
        found = nullptr;
      snapTarget_ = found;
      if (found == nullptr) continue;
      snappedElement_ = place.element;
      movedAnchor_ = moved, targetAnchor_ = other;
      targetAnchorWorld_ = PlanPoint(found, t.point);
      if (pane_ != nullptr) snapMarker_ = qx3DPicking::ProjectToWindow(*pane_, targetAnchorWorld_);
      // Where the reference stands when the moved anchor meets the target's (turn left aside).
      ppVector3 at;
      place.element->GetAbsolutePosition(at);
      target_ = Minus(Minus(targetAnchorWorld_, Minus(PlanPoint(place.element, m.point), at)), place.offset);
    }
    if (snapTarget_ == nullptr) snappedElement_ = nullptr;
  }
  if (snapTarget_ == nullptr) {
    if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
    stretch_ = Stretch();
    placementOk_ = FloorTrial(point, under);
  } else {
    auto cached = placementCache_.find(targetAnchorWorld_);
    if (cached != placementCache_.end()) {
      if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
      placementOk_ = cached->second;
      stretch_ = stretchCache_[targetAnchorWorld_];
      if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.width);
    } else {
      if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
      stretch_ = Stretch();
      placementOk_ = true;
      if (!ApplySnap()) {
        // The drop onto this anchor finds no container either.
        placementOk_ = false;
      } else if (!CollisionTest()) {
        zelvproElement* a = collidingA_;
        zelvproElement* b = collidingB_;
        if (a != nullptr && b != nullptr && a->kind == ElementKinds::kWallBody &&
            b->kind == ElementKinds::kParametric)
          std::swap(a, b);
        const bool stretchPair = a != nullptr && b != nullptr && a->kind == ElementKinds::kParametric &&
                                 b->kind == ElementKinds::kWallBody;
        if (stretchPair && (a->GetFlags() & kStretchToFit) != 0) {
          StretchToFit();
        } else {
          placementOk_ = false;
        }
      }
      placementCache_[targetAnchorWorld_] = placementOk_;
      if (!placementOk_) stretch_ = Stretch();
      stretchCache_[targetAnchorWorld_] = stretch_;
      RestorePlaces();
    }
  }
  target_.y = UnderCeiling(target_.y, upper_.y, 0.0f);
}

void zelvpro3DTask::TrackOnWall() {
  snapTarget_ = nullptr;
  snappedElement_ = nullptr;
  snapMarker_ = Current();
  zelvproElement* under = nullptr;
  ppVector3 point, hit;
  if (PlacementAt(Current(), point, under, &hit)) target_ = point;
  // On a wall the cell under the mouse counts, wherever the ray met its face.
  if (under != nullptr) target_ = hit;
  wall_ = nullptr;
  // Until a wall takes the unit, a release here is refused.
  placementOk_ = false;
  if (under == nullptr || (under->GetFlags() & kWallContainer) == 0 || reference_ == nullptr) return;
  auto* part = dynamic_cast<zelvproTopViewElement*>(reference_);
  if (part != nullptr && !part->AcceptsDepth(under->LinkedRecord())) return;
  const int32_t w = part != nullptr ? std::max(1, part->gridWidth) : 1;
  const int32_t h = part != nullptr ? std::max(1, part->gridHeight) : 1;
  const int32_t d = part != nullptr ? std::max(1, part->gridDepth) : 1;
  const int32_t side = (flags_ & kInsetSide) != 0   ? zelvproTopViewElement::kInsetBox
                       : (flags_ & kPanelSide) != 0 ? zelvproTopViewElement::kPanelBox
                                                    : zelvproTopViewElement::kBlockBox;
  ppVector3 at = target_;
  if (!under->PlaceInGrid(wallAttach_[0], wallAttach_[1], wallAttach_[2], w, h, d, at, reference_, side))
    return;
  target_ = at;
  wall_ = under;
  if (pane_ != nullptr) snapMarker_ = qx3DPicking::ProjectToWindow(*pane_, target_);
  snapTarget_ = under;
  snappedElement_ = reference_;
  placementOk_ = true;
}

// ---- The placement at the snap.

void zelvpro3DTask::PutAt(Place& place, const ppVector3& world, float absAngle, ppView* container) {
  zelvproElement* element = place.element;
  if (element->GetSupervisor() != container) {
    element->DetachFromSupervisor();
    container->AddSubview(element);
  }
  element->SetPosition(ContainerPoint(container, world));
  element->SetAngle(absAngle - ContainerAngle(container));
}

void zelvpro3DTask::PutBack(const Place& place) {
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

void zelvpro3DTask::RestorePlaces() {
  for (Place& place : places_) PutBack(place);
}

bool zelvpro3DTask::ApplySnap() {
  if (snapTarget_ == nullptr || snappedElement_ == nullptr) return false;
  ppView* container = snapTarget_->GetSupervisor();
  if (container == nullptr) return false;
  RestorePlaces();
  SnapAnchor t, m;
  if (!snapTarget_->GetPointEntry(targetAnchor_, t) || !snappedElement_->GetPointEntry(movedAnchor_, m))
    return false;
  const float turn =
      (snapTarget_->GetAbsoluteAngle() + t.direction) - (m.direction + snappedElement_->GetAbsoluteAngle());
  const ppVector3 tw = PlanPoint(snapTarget_, t.point);
  const ppVector3 mw = PlanPoint(snappedElement_, m.point);
  const ppVector3 mr = PlanPoint(snappedElement_, Turned(m.point, turn));
  const ppVector3 delta = Minus(tw, mr);
  const ppVector3 rigid = Minus(tw, mw);
  // Plan places and angles first: a re-parenting must not change what the others are turned from.
  std::vector<std::pair<ppVector3, float>> targets;
  for (Place& place : places_) {
    const ppVector3 at = PlanPoint(place.element, ppVector3());
    const ppVector3 to = place.element == snappedElement_
                             ? Plus(at, delta)
                             : Plus(tw, Turned(Minus(Plus(at, rigid), tw), turn));
    targets.emplace_back(to, place.element->GetAbsoluteAngle() + turn);
  }
  for (size_t i = 0; i < places_.size(); ++i)
    PutAt(places_[i], targets[i].first, targets[i].second, container);
  auto* containerElement = dynamic_cast<zelvproElement*>(container);
  containerFlags_ = containerElement != nullptr ? containerElement->motionFlags : 0;
  return true;
}

// ---- The stretch to fit.

void zelvpro3DTask::StretchToFit() {
  zelvproElement* a = collidingA_;
  zelvproElement* b = collidingB_;
  if (a->kind == ElementKinds::kWallBody) std::swap(a, b);
  Stretch s;
  s.element = a;
  s.savedWidth = a->dimensions.x;
  s.savedX = a->GetPosition().x, s.savedZ = a->GetPosition().z;
  s.newX = kNoShift;
  ppVector3 w1 = b->pointA, w2 = b->pointB;
  if (auto* wall = dynamic_cast<qxWallElement*>(b)) w1 = wall->Edge().start, w2 = wall->Edge().end;
  w1.y = w2.y = 0.0f;
  const ppVector3 p(targetAnchorWorld_.x, 0.0f, targetAnchorWorld_.z);
  const ppVector3 dir = Minus(w2, w1);
  const float dirLength2 = dir.x * dir.x + dir.z * dir.z;
  if (!(dirLength2 > 0.0f)) {
    // Coincident ends give no line to measure the width against.
    placementOk_ = false;
    return;
  }
  // The foot of the perpendicular from the snap point on the obstacle's line.
  const float along = ((p.x - w1.x) * dir.x + (p.z - w1.z) * dir.z) / dirLength2;
  const ppVector3 f(w1.x + dir.x * along, 0.0f, w1.z + dir.z * along);
  const ppVector3 dvec(f.x - p.x, 0.0f, f.z - p.z);
  const ppVector3 at = PlanPoint(a, ppVector3());
  const ppVector3 e(at.x - p.x, 0.0f, at.z - p.z);
  const float dLength = std::sqrt(dvec.x * dvec.x + dvec.z * dvec.z);
  const float eLength = std::sqrt(e.x * e.x + e.z * e.z);
  s.width = dLength * kWidthFactor;
  if (dLength > 0.0f && eLength > kMinimumShift &&
      std::fabs(std::remainder(std::atan2(dvec.z, dvec.x) - std::atan2(e.z, e.x), 2.0f * float(M_PI))) <
          kDirectionTolerance) {
    const float k = s.savedWidth - s.width;
    const ppVector3 shifted(at.x - dvec.x / dLength * k, at.y, at.z - dvec.z / dLength * k);
    const ppVector3 local = ContainerPoint(a->GetSupervisor(), shifted);
    s.newX = local.x, s.newZ = local.z;
    a->SetPosition(ppVector3(s.newX, a->GetPosition().y, s.newZ));
  }
  stretch_ = s;
  ApplyWidth(a, s.width);
  if (CollisionTest()) return;
  placementOk_ = false;
  ApplyWidth(a, s.savedWidth);
  if (s.newX < kShiftSentinel) a->SetPosition(ppVector3(s.savedX, a->GetPosition().y, s.savedZ));
  stretch_ = Stretch();
}

// ---- The collision test.

void zelvpro3DTask::CollectScene(zelvproTopCanvas* top, std::vector<zelvproElement*>& units) {
  if (top == nullptr) return;
  if (near_ == nullptr) {
    near_ = std::make_unique<NearUnitIndex>(*top);
  }
  std::vector<zelvproElement*> moved;
  for (Place& place : places_) moved.push_back(place.element);
  std::set<zelvproElement*> rendered;
  for (zelvproElement* unit : near_->Near(moved)) {
    if (unit->GetSupervisor() != top || IsMoved(unit)) continue;
    units.push_back(unit);
    rendered.insert(unit);
  }
  for (Place& place : places_) {
    bool inside = false;
    for (ppView* v = place.element; v != nullptr && !inside; v = v->GetSupervisor())
      inside = rendered.count(dynamic_cast<zelvproElement*>(v)) != 0;
    if (!inside) units.push_back(place.element);
  }
}

bool zelvpro3DTask::CollisionTest() {
  collidingA_ = collidingB_ = nullptr;
  zelvproTopCanvas* top = TopCanvas();
  zelvproElement* room = RoomCanvas();
  // Without a footprint overlap only the moved units meet the room.
  const bool overlaps = top != nullptr && top->Overlaps(holders_.get());
  std::vector<zelvproElement*> units;
  if (overlaps) {
    CollectScene(top, units);
  } else {
    for (Place& place : places_) units.push_back(place.element);
  }
  for (zelvproElement* unit : units) unit->ClearStateBitsTree(kLeftOut | kMoving);
  if (room != nullptr) room->ClearStateBitsTree(kMoving);
  for (Place& place : places_) {
    place.element->ClearStateBitsTree(kLeftOut);
    place.element->SetStateBitsTree(kMoving);
  }
  lastSceneUnits_ = int32_t(units.size());
  // Units hanging on walls never refuse their place.
  if (wallMode_ || !zelvproBasicMoverTask::CollisionTestOn()) return true;
  ppScene scene;
  if (room != nullptr) scene.Add(room);
  PlanUnitScene plan(units);
  scene.Add(&plan);
  ++collisionRuns_;
  ppCollisionRenderer renderer;
  if (!renderer.Check(scene)) return true;
  // Which two met: the participating units are tried one at a time, only after a hit.
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
  auto hit = [&]() {
    ppCollisionRenderer again;
    return again.Check(scene);
  };
  std::vector<uint32_t> collectedBits, movingBits;
  for (zelvproElement* e : collected) collectedBits.push_back(e->stateBits), e->SetStateBits(kLeftOut);
  for (zelvproElement* e : collected) {
    e->ClearStateBits(kLeftOut);
    if (hit()) {
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
  return false;
}

// ---- The commit.

bool zelvpro3DTask::ReleasedOutside() const {
  if (pane_ == nullptr) return true;
  plat::RECT frame{};
  pane_->GetWindowFrame(&frame);
  const plat::POINT c = Current();
  return c.x < frame.left || c.x >= frame.right || c.y < frame.top || c.y >= frame.bottom;
}

std::vector<zelvproElement*> zelvpro3DTask::Resnap() {
  ElementList list;
  for (Place& place : places_) list.push_back(place.element);
  if (reference_ != nullptr && !list.empty()) {
    reference_->ReleaseOutsideSnaps(list);
    reference_->ResnapList(list);
  }
  return list;
}

bool zelvpro3DTask::DropOnSnap() {
  if (!ApplySnap()) return false;
  for (Place& place : places_) {
    zelvproElement* element = place.element;
    element->MarkTreePendingUpdate();
    element->motionFlags = element->GetFlags() & containerFlags_;
    element->Invalidate();
  }
  // A shift the tracking tested goes with the unit from its place at the snap.
  const Stretch& s = stretch_;
  if (s.element != nullptr && s.newX < kShiftSentinel && IsMoved(s.element)) {
    const ppVector3 p = s.element->GetPosition();
    s.element->SetPosition(ppVector3(p.x + (s.newX - s.savedX), p.y, p.z + (s.newZ - s.savedZ)));
  }
  dropContainer_ = dynamic_cast<zelvproElement*>(snapTarget_->GetSupervisor());
  Resnap();
  return true;
}

bool zelvpro3DTask::PlaceOnFloor(ppVector3 position, zelvproElement* under) {
  if (places_.empty()) return false;
  zelvproTopCanvas* top = TopCanvas();
  zelvproElement* container = top;
  for (Place& place : places_)
    if (under != nullptr && under->AcceptsChild(place.element->kind, place.element)) {
      container = under;
      break;
    }
  if (container == nullptr) return false;
  containerFlags_ = container->motionFlags;
  position.y = UnderCeiling(position.y, upper_.y, kCeilingMargin);
  const float containerAngle = container->GetAbsoluteAngle();
  const float referenceAngle = reference_ != nullptr ? reference_->GetAbsoluteAngle() : 0.0f;
  const ppVector3 pivot = Plus(position, places_[referenceIndex_].offset);
  std::vector<std::pair<ppVector3, float>> targets;
  for (Place& place : places_) {
    ppVector3 to = Plus(position, place.offset);
    float angle = place.element->GetAbsoluteAngle();
    if ((containerFlags_ & 2) != 0 && place.element != reference_) {
      to = Plus(pivot, Turned(Minus(to, pivot), referenceAngle - containerAngle));
      angle += containerAngle - referenceAngle;
    }
    targets.emplace_back(to, angle);
  }
  for (size_t i = 0; i < places_.size(); ++i)
    PutAt(places_[i], targets[i].first, targets[i].second, container);
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(RoomCanvas())) room->SnapElementsToWalls(holders_.get());
  dropContainer_ = container;
  return true;
}

bool zelvpro3DTask::FloorTrial() {
  zelvproElement* under = nullptr;
  ppVector3 position;
  return PlacementAt(Current(), position, under) && FloorTrial(position, under);
}

bool zelvpro3DTask::FloorTrial(const ppVector3& position, zelvproElement* under) {
  if (auto cached = floorCache_.find(position); cached != floorCache_.end()) {
    target_ = cached->second.first;
    return cached->second.second;
  }
  const bool placed = PlaceOnFloor(position, under);
  if (placed && reference_ != nullptr) reference_->GetAbsolutePosition(target_);
  const bool ok = placed && CollisionTest();
  RestorePlaces();
  floorCache_[position] = {target_, ok};
  return ok;
}

bool zelvpro3DTask::DropOnFloor() {
  zelvproElement* under = nullptr;
  ppVector3 position;
  if (!PlacementAt(Current(), position, under)) return false;
  for (Place& place : places_) place.element->Invalidate();
  if (!PlaceOnFloor(position, under)) return false;
  for (Place& place : places_) {
    place.element->motionFlags = place.element->GetFlags() & containerFlags_;
    place.element->MarkTreePendingUpdate();
    place.element->Invalidate();
  }
  return true;
}

bool zelvpro3DTask::WallTaken() const { return wall_ != nullptr && snapTarget_ == wall_ && !places_.empty(); }

bool zelvpro3DTask::DropOnWall() {
  if (!WallTaken()) return false;
  zelvproElement* e = places_.front().element;
  ppVector3 local = ContainerPoint(wall_, target_);
  SnapAnchor first;
  if (wall_->GetPointEntry(0, first) && first.code == 0) local = Plus(local, first.point);
  if ((flags_ & kInsetSide) != 0)
    local = Plus(local, Turned(ppVector3(0.0f, 0.0f, wall_->GetDepth()), -e->GetAbsoluteAngle()));
  e->Invalidate();
  if (e->GetSupervisor() != wall_) {
    e->DetachFromSupervisor();
    wall_->AddSubview(e);
  }
  e->SetPosition(local);
  e->SetAngle(0.0f);
  if (auto* part = dynamic_cast<zelvproTopViewElement*>(e)) {
    part->cellX = wallAttach_[0], part->cellY = wallAttach_[1], part->cellZ = wallAttach_[2];
    if (part->AcceptsDepth(wall_->LinkedRecord())) part->SetLinkedRecord(wall_->LinkedRecord());
  }
  e->MarkTreePendingUpdate();
  e->Invalidate();
  containerFlags_ = wall_->motionFlags;
  dropContainer_ = wall_;
  return true;
}

void zelvpro3DTask::Do() {
  iElementHost& host = iElementHost::Current();
  committedStretch_ = Stretch();
  if (stretch_.element != nullptr) {
    ApplyWidth(stretch_.element, stretch_.width);
    committedStretch_ = stretch_;
    if (stretch_.newX < kShiftSentinel && !IsMoved(stretch_.element)) {
      const ppVector3 p = stretch_.element->GetPosition();
      stretch_.element->SetPosition(ppVector3(stretch_.newX, p.y, stretch_.newZ));
    }
  }
  PaneContext(pane_);
  // The pane's place in its window, as the tracking clamps to it.
  if (ReleasedOutside() || offPane_) {
    failed_ = true;
    return;
  }
  bool dropped = false;
  if (wallMode_) {
    dropped = DropOnWall();
  } else if (snapTarget_ != nullptr) {
    dropped = DropOnSnap();
  } else {
    dropped = DropOnFloor();
  }
  if (!dropped || (!wallMode_ && !CollisionTest())) {
    failed_ = true;
    return;
  }
  if (zelvproElement* top = host.TopCanvas()) top->AfterEdit(this);
  if (zelvproCanvas* root = places_.front().element->GetCanvas()) root->ClearTreeMark();
  host.CheckPlanWarnings();
  ScheduleEnumNumbering();
  host.MarkDocumentModified();
  if (pane_ != nullptr) pane_->DoCommand(kPostCommand, reinterpret_cast<intptr_t>(this));
  if (wallMode_) places_.front().element->Resnap();
  ppTask::Do();
}

// ---- Undo, Redo and the click.

void zelvpro3DTask::SwapPlaces() {
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

void zelvpro3DTask::AfterSwap(bool undo) {
  iElementHost& host = iElementHost::Current();
  ElementList list = Resnap();
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

void zelvpro3DTask::Undo() {
  const Stretch s = committedStretch_.element != nullptr ? committedStretch_ : stretch_;
  if (s.element != nullptr) {
    ApplyWidth(s.element, s.savedWidth);
    if (s.newX < kShiftSentinel && !IsMoved(s.element))
      s.element->SetPosition(ppVector3(s.savedX, s.element->GetPosition().y, s.savedZ));
  }
  SwapPlaces();
  AfterSwap(true);
}

void zelvpro3DTask::Redo() {
  SwapPlaces();
  const Stretch& s = committedStretch_;
  if (s.element != nullptr) {
    ApplyWidth(s.element, s.width);
    if (s.newX < kShiftSentinel && !IsMoved(s.element))
      s.element->SetPosition(ppVector3(s.newX, s.element->GetPosition().y, s.newZ));
  }
  AfterSwap(false);
}

void zelvpro3DTask::Click() {
  if (stretch_.element != nullptr) ApplyWidth(stretch_.element, stretch_.savedWidth);
  stretch_ = Stretch();
  RestorePlaces();
  ElementList list;
  for (Place& place : places_) list.push_back(place.element);
  if (!list.empty()) list.front()->ResnapList(list);
  for (zelvproElement* e : list) e->Invalidate();
  zelvproElement::InvalidateElement(iElementHost::Current().ScenePane(), true);
}

ppVector2 zelvpro3DTask::GetMoveVector() {
  ppVector3 a, b;
  ScreenToPlanPoint(Current().x, Current().y, b);
  ScreenToPlanPoint(StartPoint().x, StartPoint().y, a);
  return ppVector2(b.x - a.x, b.z - a.z);
}
