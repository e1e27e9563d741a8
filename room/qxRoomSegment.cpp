#include "room/qxRoomSegment.h"

#include "room/RoomRecordFields.h"

#include <cmath>

#include "catalogue/records/RecordField.h"
#include "database/HandleList.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/Geometry3D.h"
#include "foundation/LengthText.h"
#include "room/SegmentGeometry.h"
#include "room/ppCircle.h"
#include "room/WallSideEdges.h"
#include "room/qxJunction.h"
#include "room/qxJunctionLink.h"
#include "room/qxJunctionRec.h"
#include "room/qxNewRoomCanvas.h"

using namespace roomrecord;

namespace {

const char* const kOwnNames[] = {"WallHeight", "WallThickness", "RoundWall"};
constexpr int32_t kOwnCount = 3;

template <typename Fn>
void ForEachChildFromLast(ppView& view, Fn fn) {
  const ppViewList& children = view.Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i) {
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) fn(child);
  }
}

}  // namespace

qxRoomSegment::qxRoomSegment(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                             zelvproShapeFil& shapes)
    : qxFeature(recordId, parent, frame, record, shapes) {
  InitMembers();
  Init();
}

qxRoomSegment::qxRoomSegment(ppView* parent, ppDatafile& module, bool refresh)
    : qxFeature(parent, module, refresh) {
  InitMembers();
  ReadSegmentRecord(module);
  // The canvas's outline faces that name this segment's saved id take the segment itself.
  if (auto* room = dynamic_cast<qxNewRoomCanvas*>(GetCanvas())) room->BindSegment(this);
}

qxRoomSegment::~qxRoomSegment() { LeaveJunctions(); }

void qxRoomSegment::LeaveJunctions() {
  // Each junction forgets this segment, which makes it drop its own node of the junction.
  while (junctions_ != nullptr) {
    qxJunction* junction = junctions_->GetJunction();
    junction->RemoveSegment(this);
    RemoveJunction(junction);  // a junction that did not link this segment never calls back
  }
}

void qxRoomSegment::InitMembers() {
  kind = kKind;
  radius_ = 0.0f;
  arched_ = clockwise_ = endMoved_ = hoverSideFixed_ = false;
}

void qxRoomSegment::Init() {
  zelvproCanvas* canvas = GetCanvas();
  if (canvas == nullptr) return;
  ParseLength(thickness_, canvas->GetValueByName(Vcon::String("WallThickness")).AsWString());
  ParseLength(height_, canvas->GetValueByName(Vcon::String("WallHeight")).AsWString());
}

float qxRoomSegment::GetLength() const { return Distance3(start_, end_); }

// ---- Junctions.

float qxRoomSegment::KeyOf(const qxJunctionRec* node) const {
  return Distance3(start_, node->GetJunction()->Position());
}

void qxRoomSegment::AddJunction(qxJunction* junction) {
  const float key = Distance3(start_, junction->Position());
  qxJunctionRec* before = nullptr;
  qxJunctionRec* at = junctions_;
  while (at != nullptr && !(KeyOf(at) > key)) before = at, at = at->GetNext();
  auto* node = new qxJunctionRec(junction, at);
  (before != nullptr ? before->SetNext(node) : void(junctions_ = node));
}

void qxRoomSegment::SortJunctions() {
  for (bool swapped = true; swapped;) {
    swapped = false;
    qxJunctionRec* beforePrevious = nullptr;
    qxJunctionRec* previous = nullptr;
    float previousKey = 0.0f;
    for (qxJunctionRec* node = junctions_; node != nullptr; node = node->GetNext()) {
      const float key = KeyOf(node);
      if (previous != nullptr && key < previousKey) {
        // Swap the node with its predecessor and start a new pass.
        previous->SetNext(node->GetNext());
        node->SetNext(previous);
        (beforePrevious != nullptr ? beforePrevious->SetNext(node) : void(junctions_ = node));
        swapped = true;
        break;
      }
      beforePrevious = previous, previous = node, previousKey = key;
    }
  }
}

void qxRoomSegment::RemoveJunction(qxJunction* junction) {
  qxJunctionRec* before = nullptr;
  for (qxJunctionRec* node = junctions_; node != nullptr;) {
    qxJunctionRec* after = node->GetNext();
    if (node->GetJunction() == junction) {
      (before != nullptr ? before->SetNext(after) : void(junctions_ = after));
      node->SetNext(nullptr);
      delete node;
    } else {
      before = node;
    }
    node = after;
  }
}

void qxRoomSegment::ClearJunctions() {
  delete junctions_;
  junctions_ = nullptr;
}

// ---- Moves.

void qxRoomSegment::Translate(const ppVector3& delta) {
  start_ += delta;
  end_ += delta;
  for (qxJunctionRec* node = junctions_; node != nullptr; node = node->GetNext()) {
    qxJunction* junction = node->GetJunction();
    // A junction shared by several segments moves once, with its first segment.
    if (junction->GetFirstLink() != nullptr && junction->GetFirstLink()->GetSegment() == this)
      junction->SetPosition(junction->Position() + delta);
  }
  ForEachChildFromLast(*this,
                       [&](zelvproElement* child) { child->SetPosition(child->GetPosition() + delta); });
}

void qxRoomSegment::MoveEndPoint(const ppVector3& from, const ppVector3& to) {
  Invalidate();
  bool startMoved = false;
  if (end_ == from) {
    previousEnd_ = from, end_ = to, previousStart_ = start_;
    endMoved_ = true;
  }
  if (start_ == from) {
    previousStart_ = from, start_ = to, previousEnd_ = end_;
    endMoved_ = startMoved = true;
  }
  if (endMoved_) {
    const roomgeo::WallMove move{previousStart_, previousEnd_, start_, end_, startMoved, thickness_};
    const float turn =
        roomgeo::DirectionXZ(start_, end_) - roomgeo::DirectionXZ(previousStart_, previousEnd_);
    ForEachChildFromLast(*this, [&](zelvproElement* child) {
      const float childAngle = child->GetAngle() + turn;
      child->SetPosition(roomgeo::CarryAlongWall(move, child->GetPosition(), childAngle));
      child->StoreAngle(childAngle);
      child->MarkTreePendingUpdate();
    });
    ForEachChildFromLast(*this, [&](zelvproElement* child) {
      child->DetachFromSupervisor();
      AddSubview(child);
    });
    endMoved_ = false;
  }
  Invalidate();
}

namespace {

SideEdgeWall SideEdgeWallOf(const qxRoomSegment& segment) {
  SideEdgeWall wall;
  segment.GetStartPoint(wall.start);
  segment.GetEndPoint(wall.end);
  wall.thickness = segment.GetThickness();
  wall.arched = segment.IsArched();
  wall.radius = segment.GetRadius();
  wall.centre = segment.GetCenter();
  wall.clockwise = segment.IsClockwise();
  return wall;
}

}  // namespace

Handle qxRoomSegment::BuildSideEdges() {
  SideEdgeSegment input;
  input.wall = SideEdgeWallOf(*this);
  input.segment = this;
  for (qxJunctionRec* link = GetFirstJunctionLink(); link != nullptr; link = link->GetNext()) {
    qxJunction* junction = link->GetJunction();
    SideEdgeCorner corner;
    corner.junction = junction;
    junction->GetPosition(corner.position);
    for (qxJunctionLink* other = junction->GetFirstLink(); other != nullptr; other = other->GetNext()) {
      if (other->GetSegment() != this) corner.others.push_back(SideEdgeWallOf(*other->GetSegment()));
    }
    input.corners.push_back(std::move(corner));
  }
  return ::BuildSideEdges(input);
}

// ---- Properties.

int32_t qxRoomSegment::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < kOwnCount; ++i) {
    if (name == kOwnNames[i]) return qxFeature::GetPropertyCount() + i;
  }
  return qxFeature::IndexOf(name);
}

void qxRoomSegment::GetPropertyName(Vcon::String& out, int32_t index) {
  const int32_t own = index - qxFeature::GetPropertyCount();
  if (own < 0 || own >= kOwnCount) return qxFeature::GetPropertyName(out, index);
  out = kOwnNames[own];
}

int32_t qxRoomSegment::GetPropertyCount() { return qxFeature::GetPropertyCount() + kOwnCount; }

ppParameter qxRoomSegment::GetValue(int32_t index) {
  Vcon::WString text;
  switch (index - qxFeature::GetPropertyCount()) {
    case 0:
      FormatLength(height_, text);
      return ppParameter(text);
    case 1:
      FormatLength(thickness_, text);
      return ppParameter(text);
    case 2:
      return ppParameter(arched_);
    default:
      return qxFeature::GetValue(index);
  }
}

void qxRoomSegment::SetValue(int32_t index, const ppParameter& value) {
  const int32_t own = index - qxFeature::GetPropertyCount();
  if (own < 0 || own >= kOwnCount) return qxFeature::SetValue(index, value);
  if (own == 2) return SetRoundWall(value.ToBool());
  float length = 0.0f;
  ParseLength(length, value.AsWString());
  // The canvas's own limits: a negative thickness would swap the wall's faces and lose the floor.
  if (own == 0) height_ = length < 0.0f ? 0.0f : std::fmin(length, kMaxHeight);
  if (own == 1) thickness_ = length < 0.0f ? kMinThickness : std::fmin(length, kMaxThickness);
  if (zelvproCanvas* canvas = GetCanvas()) {
    ElementList moved{this};
    canvas->ReleaseOutsideSnaps(moved);
    canvas->ResnapList(moved);
  }
  Invalidate();
  RebuildRoom();
}

void qxRoomSegment::SetRoundWall(bool on) {
  arched_ = on;
  const ppVector3 third = roomgeo::DefaultArcPoint(start_, end_);
  const ppCircle circle(end_, third, start_);
  radius_ = float(circle.GetRadius());
  centre_ = *circle.GetCenter();
  clockwise_ = OrientationXZ(end_, third, start_) < 0;
  RebuildRoom();
  if (zelvproCanvas* canvas = GetCanvas()) canvas->Invalidate();
}

// After an edit of the wall's own values (height, thickness, round): the plan changed.
void qxRoomSegment::RebuildRoom() {
  if (zelvproCanvas* canvas = GetCanvas()) {
    canvas->DoCommand(kRebuildCorners, reinterpret_cast<intptr_t>(this));
    canvas->DoCommand(kRefresh3D, 0);
  }
  iElementHost& host = iElementHost::Current();
  InvalidateElement(host.ScenePane(), true);
  host.MarkDocumentModified();
}

// ---- The document record.

void qxRoomSegment::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  qxFeature::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, kKind);
  // The long "wallThickness" is the one after "dimensionsz"; the first of that name is a double.
  RecordField(record, "wallThickness", 1).SetLong(r, WholeMillimetres(thickness_));
  RecordField(record, "wallHeight").SetLong(r, WholeMillimetres(height_));
  WriteFloat(record, "radius", radius_);
  const std::pair<const char*, float> points[] = {
      {"center.x", centre_.x}, {"center.y", centre_.y}, {"center.z", centre_.z},
      {"startPt.x", start_.x}, {"startPt.y", start_.y}, {"startPt.z", start_.z},
      {"endPt.x", end_.x},     {"endPt.y", end_.y},     {"endPt.z", end_.z}};
  for (const auto& [name, value] : points) WriteFloat(record, name, value);
  RecordField(record, "circleFlags")
      .SetLong(r, (arched_ ? kArchedFlag : 0) | (clockwise_ ? kClockwiseFlag : 0));
  savedStart_ = previousStart_ = start_;
  savedEnd_ = previousEnd_ = end_;
  // The junction ids as a counted list: count, capacity, entries.
  if (Handle ids = RecordField(record, "privateData2").Data(r)) {
    HandleList::Reset(ids);
    for (qxJunctionRec* node = junctions_; node != nullptr; node = node->GetNext())
      HandleList::Insert(ids, int32_t(node->GetJunction()->GetId()), -1);
  }
  SortJunctions();
}

void qxRoomSegment::ReadSegmentRecord(ppDatafile& module) {
  const char* r = module.GetRecordBuffer();
  thickness_ = float(RecordField(module, "wallThickness", 1).Long(r));
  height_ = float(RecordField(module, "wallHeight").Long(r));
  radius_ = ReadFloat(module, "radius");
  centre_ =
      ppVector3(ReadFloat(module, "center.x"), ReadFloat(module, "center.y"), ReadFloat(module, "center.z"));
  const int32_t circleFlags = RecordField(module, "circleFlags").Long(r);
  arched_ = (circleFlags & kArchedFlag) != 0;
  clockwise_ = (circleFlags & kClockwiseFlag) != 0;
  start_ = ppVector3(ReadFloat(module, "startPt.x"), ReadFloat(module, "startPt.y"),
                     ReadFloat(module, "startPt.z"));
  end_ = ppVector3(ReadFloat(module, "endPt.x"), ReadFloat(module, "endPt.y"), ReadFloat(module, "endPt.z"));
  savedStart_ = previousStart_ = start_;
  savedEnd_ = previousEnd_ = end_;
  hoverSideFixed_ = false;
}
