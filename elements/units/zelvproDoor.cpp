#include "elements/units/zelvproDoor.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/TopViewRecord.h"
#include "elements/units/WallOpeningPanel.h"
#include "foundation/Geometry2D.h"
#include "foundation/Geometry3D.h"
#include "foundation/LengthText.h"
#include "foundation/ppDouble.h"
#include "framework/ppMouseTask.h"
#include "framework/ppWindow.h"

namespace {

const char* const kOwnNames[] = {"Height", "Width", "AboveFloor"};

// The x extent of the points of an older "points" blob: its blocks are read as far as they are
// whole (a length past the end or no multiple of 8 ends the reading). False when no point was read.
bool PointsWidth(const uint8_t* bytes, size_t size, float& width) {
  float minX = std::numeric_limits<float>::max(), maxX = 0.0f;
  bool any = false;
  size_t at = 0;
  while (at + 4 <= size) {
    uint32_t length = 0;
    std::memcpy(&length, bytes + at, 4);
    at += 4;
    if (length == 0 || length > size - at || length % 8 != 0) break;
    for (size_t p = at; p < at + length; p += 8) {
      float x = 0.0f;
      std::memcpy(&x, bytes + p, 4);
      minX = std::min(minX, x), maxX = std::max(maxX, x);
      any = true;
    }
    at += length;
  }
  if (any) width = maxX - minX;
  return any;
}

// (x, z) turned by the element angle in the floor plane.
ppVector3 Turned(float x, float z, float angle) {
  ppVector2 v(x, z);
  Rotate2(v, angle);
  return ppVector3(v.x, 0.0f, v.y);
}

}  // namespace

zelvproDoor::zelvproDoor(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                         zelvproShapeFil& shapes)
    : zelvproParametricElement(recordId, parent, frame, record, shapes) {
  kind = kType;
  // An opening stands in its wall at its own size: the depth chosen for the catalogue's units (which
  // the unit base links at its construction) is not its depth, nor does its outline follow it.
  linkedRecord = 0;
  dimensions.z = referenceSize.z;
  currentDepth = catalogDepth;
  // The buffer may hold another record by now (children were made from it).
  if (database == nullptr || !CatalogReads::Read(database->TopViewFile(), recordId)) return;
  zelvproTopViewFil& topViews = database->TopViewFile();
  const std::vector<int32_t> colourList = RecordField(topViews, "Colors").Words(topViews.GetRecordBuffer());
  if (!colourList.empty()) colorRecordId = colourList.front();
}

zelvproDoor::zelvproDoor(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproParametricElement(parent, module, refresh) {
  kind = kType;
  carried = RecordField(module, "colorCode").Long(module.GetRecordBuffer()) != 0;
  if (dimensions.x == 0.0f) ConvertOlderDocument(module);
}

void zelvproDoor::ConvertOlderDocument(ppDatafile& module) {
  const char* r = module.GetRecordBuffer();
  float width = 0.0f;
  if (Handle blob = RecordField(module, "points").Data(r); blob != nullptr && MemGetSize(blob) > 0)
    PointsWidth(reinterpret_cast<const uint8_t*>(*blob), size_t(MemGetSize(blob)), width);
  dimensions.x = width;
  dimensions.y = float(RecordField(module, "height").Double(r));
  dimensions.z = float(RecordField(module, "wallThickness").Double(r));
  position = position + Turned(width / 700.0f * 75.0f + 25.0f, 0.0f, angle);
  if (recordId == 0) TakeFallbackRecord();
  position = position + Turned(0.0f, dimensions.z, angle);
}

void zelvproDoor::TakeFallbackRecord() {
  if (database == nullptr) return;
  zelvproTopViewFil& topViews = database->TopViewFile();
  const int32_t id = CatalogReads::RecordOfStoredId(topViews, kFallbackStoredId, "ID");
  if (id == 0 || !CatalogReads::Read(topViews, id)) return;
  const TopViewRecord t(topViews, topViews.GetRecordBuffer());
  recordId = id;
  outlinePieces = t.subelements;
  referenceSize = ppVector3(float(t.width), float(t.height), float(t.depth));
  outlines = AppendPieceShapes(outlinePieces, nullptr);
  flags = t.flags;
  RefillOutlineCaches();
}

void zelvproDoor::MarkChanged() {
  changed = 1;
  MarkTreePendingUpdate();
  if (zelvproCanvas* canvas = GetCanvas()) canvas->Invalidate();
}

void zelvproDoor::SetWidth(int32_t millimetres) {
  dimensions.x = float(millimetres);
  if ((flags & kStretchWidth) != 0) {
    const float factor = SizeFactor().x;
    for (size_t i = 0; i < snapPoints.size() && i < referenceSnaps.size(); ++i)
      snapPoints[i].point.x = factor * referenceSnaps[i].point.x;
  }
  MarkChanged();
}

void zelvproDoor::SetHeight(int32_t millimetres) {
  dimensions.y = float(millimetres);
  // Only with the width stretching too do the anchors follow, and then in their depth.
  if ((flags & kStretchHeight) != 0 && (flags & kStretchWidth) != 0) {
    const float factor = SizeFactor().z;
    for (size_t i = 0; i < snapPoints.size() && i < referenceSnaps.size(); ++i)
      snapPoints[i].point.z = factor * referenceSnaps[i].point.z;
  }
  MarkChanged();
}

void zelvproDoor::MoveBy(int32_t dx, int32_t dy) {
  // A new door the palette made stands in the plan canvas until its task puts it on a wall: it
  // follows the pixels as any element does (the nudge would seat it, and post that, at once).
  zelvproElement* plan = iElementHost::Current().TopCanvas();
  if (plan != nullptr && GetSupervisor() == plan) {
    zelvproElement::MoveBy(dx, dy);
    return;
  }
  int32_t d = dx + dy;
  auto* selection = new qxViewHolder(this, nullptr, true);
  ppMouseTask* task = iElementTaskFactory::Current().NewDoorTask(selection, this);
  if (task == nullptr) {
    delete selection;
    return;
  }
  // An angle a damaged document left undefined moves the door as at angle 0 (a NaN direction would
  // reach the pixel conversion below).
  const float a = std::isfinite(GetAbsoluteAngle()) ? GetAbsoluteAngle() : 0.0f;
  if (a + 0.7853982f > 3.1415927f || a < 0.0f) d = -d;
  ppVector3 v(1.0f, 0.0f, 0.0f);
  RotatePoint3(v, 0.0f, a, 0.0f);
  const float length = Length3(v.x, v.y, v.z);
  if (length != 0.0f) v = ppVector3(v.x / length, v.y / length, v.z / length);
  plat::POINT start{};
  GetScreenPosition(start);
  start.x += int32_t(v.z * 3.0f);
  start.y -= int32_t(v.x * -3.0f);
  plat::POINT end{start.x + int32_t(v.x * float(d)), start.y - int32_t(v.z * float(d))};
  // The press captures the mouse for the task; a nudge is over before the call returns, so whatever
  // held the mouse before holds it again.
  auto* window = dynamic_cast<ppWindow*>(GetRootView());
  ppMouseTask* holding = window != nullptr ? window->MouseTask() : nullptr;
  task->Press(start.x, start.y);
  if (window != nullptr) window->CaptureMouse(holding);
  task->SetClickDeadline(0);
  task->Move(&end);
  // The release finishes the task or leaves it to the history it posted itself to.
  task->MouseUp(&end);
}

bool zelvproDoor::IsDoubleClick(int32_t x, int32_t y) {
  DoCommand(204, 0);
  return zelvproParametricElement::IsDoubleClick(x, y);
}

ppTask* zelvproDoor::CreateMoverTask(qxViewHolder* selection, zelvproCanvas* /*canvas*/, void* /*feedback*/) {
  return iElementTaskFactory::Current().NewDoorTask(selection, this);
}

ppTask* zelvproDoor::CreateDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) {
  return iElementTaskFactory::Current().NewDoorDraggerTask(selection, canvas);
}

void zelvproDoor::BuildInfoPanel(qxViewHolder* /*source*/) {
  WallOpeningPanel::Build(*this, WallOpeningPanel::kDoor);
}

void zelvproDoor::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproParametricElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, kind);
  RecordField(record, "colorCode").SetLong(r, carried != 0);
}

void zelvproDoor::CollectDimensionLines(std::vector<PlanAnnotation>& list) {
  // The wall body measures the gaps between its openings from the second point and the first
  // component of the third.
  PlanAnnotation line;
  line.second = position;
  line.third = dimensions;
  line.angle = angle;
  line.owner = this;
  line.x = dimensions.x;
  line.kind = 2;
  line.flags = PlanAnnotation::kDimensionLine;
  list.push_back(line);
}

int32_t zelvproDoor::IndexOf(const Vcon::String& name) {
  for (int32_t i = 0; i < OwnPropertyCount(); ++i) {
    if (name == kOwnNames[i]) return zelvproTopViewElement::GetPropertyCount() + i;
  }
  return zelvproTopViewElement::IndexOf(name);
}

void zelvproDoor::GetPropertyName(Vcon::String& out, int32_t index) {
  const int32_t own = index - zelvproTopViewElement::GetPropertyCount();
  if (own >= 0 && own < OwnPropertyCount())
    out = kOwnNames[own];
  else
    zelvproTopViewElement::GetPropertyName(out, index);
}

int32_t zelvproDoor::GetPropertyCount() {
  return zelvproTopViewElement::GetPropertyCount() + OwnPropertyCount();
}

ppParameter zelvproDoor::GetValue(int32_t index) {
  const int32_t own = index - zelvproTopViewElement::GetPropertyCount();
  if (own < 0 || own >= OwnPropertyCount()) return zelvproTopViewElement::GetValue(index);
  const float values[] = {dimensions.y, dimensions.x, position.y};
  Vcon::WString text;
  FormatLength(values[own], text);
  return ppParameter(text);
}

void zelvproDoor::SetValue(int32_t index, const ppParameter& value) {
  const int32_t own = index - zelvproTopViewElement::GetPropertyCount();
  if (own < 0 || own >= OwnPropertyCount()) return zelvproTopViewElement::SetValue(index, value);
  float millimetres = 0.0f;
  // A text that holds no length changes nothing.
  if (!ParseLength(millimetres, value.AsWString())) return;
  // Whole millimetres; a length no 32-bit number holds changes nothing.
  const int32_t whole = TruncateToInt32(millimetres);
  if (own != 2 && whole == std::numeric_limits<int32_t>::min()) return;
  if (own == 0) SetHeight(whole);
  if (own == 1) SetWidth(whole);
  if (own == 2) SetAboveFloor(millimetres);
}
