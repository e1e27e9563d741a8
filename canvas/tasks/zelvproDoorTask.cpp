#include "canvas/tasks/zelvproDoorTask.h"

#include <cmath>

#include "canvas/tasks/PlanFrames.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/iElementHost.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/LengthText.h"
#include "framework/FontCache.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppView.h"
#include "framework/ppEventHandler.h"
#include "platform/Cursors.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"

namespace {

// The dimension labels' font size, points (as the room's own measuring lines).
constexpr int32_t kDimensionPoints = 9;

plat::POINT Pixel(const ppVector3& plan) {
  plat::POINT out{};
  PlanPointToScreen(plan, out);
  return out;
}

Vcon::String LengthLabel(float millimetres) {
  Vcon::WString text;
  FormatLength(millimetres, text);
  return NarrowFromWide(text);
}

float PlanLength(const ppVector3& a, const ppVector3& b) {
  const float dx = b.x - a.x, dz = b.z - a.z;
  return std::sqrt(dx * dx + dz * dz);
}

void ShowCursor(int32_t id) {
  plat::HINSTANCE instance = gApplication != nullptr ? gApplication->GetInstance() : nullptr;
  if (instance == nullptr) return;
  if (plat::HCURSOR cursor = plat::LoadCursorA(instance, plat::MAKEINTRESOURCEA(uint16_t(id))))
    plat::SetCursor(cursor);
}

}  // namespace

zelvproDoorTask::zelvproDoorTask(qxViewHolder* holders, zelvproCanvas* canvas)
    : zelvproMoverTask(holders, canvas, nullptr, false), canvas_(canvas) {}

zelvproDoorTask::~zelvproDoorTask() = default;

zelvproElement* zelvproDoorTask::Lead() const { return Moved() != nullptr ? Moved()->Element() : nullptr; }

bool zelvproDoorTask::IsEmpty() { return zelvproMoverTask::IsEmpty() || transient_; }

bool zelvproDoorTask::RunByRepair() const {
  zelvproElement* lead = Lead();
  for (ppView* v = lead; v != nullptr; v = v->GetSupervisor())
    if (auto* room = dynamic_cast<qxNewRoomCanvas*>(v)) return room->SeatingOpenings();
  return false;
}

void zelvproDoorTask::Constrain(plat::POINT& point) {
  zelvproElement* lead = Lead();
  if (lead == nullptr) return;
  ppVector3 at = PlanPoint(lead, ppVector3());
  SnapAnchor first;
  if (lead->GetPointEntry(0, first)) at.x += first.point.x, at.z += first.point.z;
  const plat::POINT p = Pixel(at);
  offset_ = plat::POINT{point.x - p.x, point.y - p.y};
  SetFeedbackOffset(offset_.x, offset_.y);
  drawn_ = point;
}

void zelvproDoorTask::Track() {
  previousWall_ = currentWall_;
  currentWall_ = nullptr;
  markerTarget_ = nullptr;
  drawn_ = Current();
  zelvproElement* lead = Lead();
  if (ppEventHandler::IsControlKeyDown() || lead == nullptr) return zelvproMouseTask::Track();
  // The plan point the pointer stands for: the lead opening's first anchor.
  ppVector3 p;
  ScreenToPlanPoint(Current().x - offset_.x, Current().y - offset_.y, p);
  p.y = 0.0f;
  iElementHost& host = iElementHost::Current();
  zelvproElement* room = host.NewRoomCanvas();
  zelvproElement* under =
      room != nullptr ? room->FindContainerFor(Current().x, Current().y, lead->kind, lead) : nullptr;
  if (auto* floor = dynamic_cast<qxFloorElement*>(under)) {
    ppVector3 foot;
    float angle = 0.0f;
    qxWallElement* wall = floor->NearestWallEdge(foot, angle, p, lead->dimensions.x);
    wallAngle_ = angle;
    // A wall whose face names no segment has no holder to seat the opening in.
    if (wall != nullptr && wall->Edge().segment != nullptr) {
      currentWall_ = wall;
      wallPosition_ = foot;
      const plat::POINT at = Pixel(foot);
      drawn_ = plat::POINT{at.x + offset_.x, at.y + offset_.y};
    }
    return zelvproMouseTask::Track();
  }
  // Off the floor: the anchor of a unit within reach is only shown; the release finds no wall.
  auto* top = dynamic_cast<zelvproTopCanvas*>(host.TopCanvas());
  for (const qxViewHolder* h = Moved(); h != nullptr && top != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    SnapAnchor own, entry;
    ppVector3 origin = p;
    if (element->GetPointEntry(0, own)) origin.x -= own.point.x, origin.z -= own.point.z;
    int32_t mine = -1, other = -1;
    zelvproElement* found = top->FindSnap(element, mine, other, kMarkerReach, origin, entry, Moved(), false);
    if (found == nullptr) continue;
    SnapAnchor target;
    if (!found->GetPointEntry(other, target)) continue;
    markerTarget_ = found;
    marker_ = Pixel(PlanPoint(found, target.point));
    break;
  }
  zelvproMouseTask::Track();
}

void zelvproDoorTask::DrawBand(ppDC& dc) {
  zelvproElement* lead = Lead();
  if (lead == nullptr) return;
  dc.SetGray(0);
  // Seated on a wall the openings are shown turned to it with the lead's origin on the foot point;
  // elsewhere they follow the pointer unturned.
  const float turn = currentWall_ != nullptr ? wallAngle_ - lead->GetAbsoluteAngle() : 0.0f;
  plat::POINT shift{drawn_.x - StartPoint().x, drawn_.y - StartPoint().y};
  if (currentWall_ != nullptr) {
    const plat::POINT from = Pixel(PlanPoint(lead, ppVector3()));
    const plat::POINT to = Pixel(wallPosition_);
    shift = plat::POINT{to.x - from.x, to.y - from.y};
  }
  for (const qxViewHolder* h = Moved(); h != nullptr; h = h->Next()) {
    zelvproElement* element = h->Element();
    const float own = element->GetAngle();
    if (turn != 0.0f) element->StoreAngle(own + turn);
    element->DrawOutlineAt(shift.x, shift.y, 0.0f, 0.0f, 0.0f, dc);
    if (turn != 0.0f) element->StoreAngle(own);
  }
  if (currentWall_ == nullptr) return;
  const WallEdge& edge = currentWall_->Edge();
  float width = 0.0f;
  if (!ParseLength(width, lead->GetValueByName("Width").AsWString())) width = lead->dimensions.x;
  const float length = PlanLength(edge.start, edge.end);
  ppVector3 along;
  if (length > 0.0f)
    along = ppVector3((edge.end.x - edge.start.x) / length, 0.0f, (edge.end.z - edge.start.z) / length);
  dimension_[0] = edge.start;
  dimension_[1] = wallPosition_;
  dimension_[2] =
      ppVector3(wallPosition_.x + width * along.x, wallPosition_.y, wallPosition_.z + width * along.z);
  dimension_[3] = edge.end;
  leftText_ = LengthLabel(PlanLength(dimension_[0], dimension_[1]));
  rightText_ = LengthLabel(PlanLength(dimension_[2], dimension_[3]));
  dc.SetFont(kDefaultFaceName, kDimensionPoints, 0, 0.0f);
  qxRoomSegment::DrawDimensionLabel(Pixel(dimension_[0]), Pixel(dimension_[1]), false, dc, leftText_.c_str());
  qxRoomSegment::DrawDimensionLabel(Pixel(dimension_[2]), Pixel(dimension_[3]), false, dc,
                                    rightText_.c_str());
}

void zelvproDoorTask::DrawFeedback(int32_t /*x*/, int32_t /*y*/) {
  if (canvas_ == nullptr || canvas_->GetHWND() == nullptr) return;
  band_.Draw(canvas_, canvas_, [this](ppDC& dc) { DrawBand(dc); });
  anchorMarker_.Show(*canvas_, markerTarget_ != nullptr, marker_);
}

// The recording replayed once more: exactly what the last drawing put on the window goes.
void zelvproDoorTask::EraseFeedback(int32_t /*x*/, int32_t /*y*/) {
  band_.Erase(canvas_, canvas_);
  anchorMarker_.Erase(canvas_);
}

void zelvproDoorTask::SetTrackCursor() {
  // A release away from every wall is refused: the cursor says so before the user lets go.
  cursor_ = currentWall_ != nullptr ? kTrackCursor : kBlockedCursor;
  ShowCursor(cursor_);
}

void zelvproDoorTask::Do() {
  if (currentWall_ == nullptr) {
    SetRejected(true);
    return;
  }
  qxRoomSegment* segment = currentWall_->Edge().segment;
  const ppVector3 body = currentWall_->GetPosition();
  const float containerAngle = segment->GetAbsoluteAngle();
  for (Place& place : Places()) {
    zelvproElement* element = place.element;
    element->Invalidate();
    if (element->GetSupervisor() != segment) {
      element->DetachFromSupervisor();
      segment->AddSubview(element);
    }
    const ppVector3 was = element->GetPosition();
    element->SetPosition(ppVector3(wallPosition_.x - body.x, was.y, wallPosition_.z - body.z));
    // The element keeps its angle relative to its container: the wall's direction less the segment's.
    element->SetAngle(wallAngle_ - containerAngle);
    element->RebuildGeometry();
    element->Invalidate();
  }
  iElementHost& host = iElementHost::Current();
  host.MarkDocumentModified();
  if (RunByRepair()) {
    // The repair's nudge seats the opening again; the relocation it repairs is no edit of its own.
    transient_ = true;
    zelvproElement::InvalidateElement(host.ScenePane(), true);
    return;
  }
  if (canvas_ != nullptr) canvas_->DoCommand(kPostAfterEdit, reinterpret_cast<intptr_t>(this));
  ppTask::Do();
  zelvproElement::InvalidateElement(host.ScenePane(), true);
}

void zelvproDoorTask::CloseSwap(bool undo) {
  iElementHost& host = iElementHost::Current();
  ElementList list;
  for (Place& place : Places()) list.push_back(place.element);
  if (!list.empty()) {
    list.front()->ReleaseOutsideSnaps(list);
    list.front()->ResnapList(list);
  }
  host.MarkDocumentModified();
  if (undo) {
    ppTask::Undo();
  } else {
    ppTask::Redo();
  }
  zelvproElement::InvalidateElement(host.ScenePane(), true);
}

void zelvproDoorTask::Undo() {
  if (transient_) return;
  if (IsEmpty()) {
    // A refused release: nothing was changed, the openings stay where they were.
    RestorePlaces();
    ppTask::Undo();
    return;
  }
  // Each opening goes back to the segment and index it had, then to its place and angle.
  SwapPlaces();
  CloseSwap(true);
}

void zelvproDoorTask::Redo() {
  SwapPlaces();
  CloseSwap(false);
}
