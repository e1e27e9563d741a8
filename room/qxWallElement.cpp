// The wall body: construction, the room-wide messages, height and take-over, the document record
// and the element's view operations.
#include "room/qxWallElement.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/FileSelection.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "room/qxNewRoomCanvas.h"
#include "room/RoomRecordFields.h"
#include "room/qxRoomSegment.h"

using namespace roomrecord;

qxWallElement::qxWallElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                             zelvproShapeFil& shapes, const WallEdge& edge)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes), edge_(edge) {
  InitWall();
  if (database == nullptr) return;
  zelvproColorCatalogFil& colours = database->ColorCatalogFile();
  SelectWallTextures(colours);
  const std::vector<int32_t> textures = FileSelection::Get(colours);
  if (!textures.empty()) textureId_ = textures.front();
}

qxWallElement::qxWallElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  InitWall();
  ReadWallRecord(module);
  Invalidate();
}

qxWallElement::~qxWallElement() = default;

void qxWallElement::InitWall() {
  Subscribe(qxNewRoomCanvas::kWallChannel, qxNewRoomCanvas::kAllWallHeights);
  Subscribe(qxNewRoomCanvas::kWallChannel, qxNewRoomCanvas::kAllWallThicknesses);
  kind = kKind;
  // A wall body shows no number label.
  printNumbers = false;
}

void qxWallElement::ReadWallRecord(ppDatafile& module) {
  const char* r = module.GetRecordBuffer();
  savedRadius_ = ReadFloat(module, "radius");
  savedCentre_ = ReadPoint(module, "center");
  savedStart_ = ReadPoint(module, "startPt");
  savedEnd_ = ReadPoint(module, "endPt");
  height_ = float(RecordField(module, "wallHeight").Long(r));
  red_ = RecordField(module, "colorBred").Long(r);
  green_ = RecordField(module, "colorBgreen").Long(r);
  blue_ = RecordField(module, "colorBblue").Long(r);
  textureId_ = RecordField(module, "color").Long(r);
  auto* canvas = dynamic_cast<qxNewRoomCanvas*>(GetCanvas());
  WallEdge* edge = canvas != nullptr ? canvas->FindEdgeById(RecordField(module, "under").Long(r)) : nullptr;
  if (edge == nullptr) return;
  edge->wall = this;
  edge_ = *edge;
}

// ---- Height, take-over and the room-wide messages.

void qxWallElement::SetHeight(float height) {
  height_ = height;
  if (edge_.segment != nullptr) edge_.segment->SetHeight(height);
  InvalidateTree();
}

void qxWallElement::CopyFrom(qxWallElement* other) {
  if (other == nullptr) return;
  kind = other->kind;
  red_ = other->red_, green_ = other->green_, blue_ = other->blue_;
  textureId_ = other->textureId_;
  SetHeight(edge_.segment != nullptr ? edge_.segment->GetHeight() : other->height_);
  if (other == this) return;
  std::vector<zelvproElement*> children;
  ForEachChildElement(*other, [&](zelvproElement* child) { children.push_back(child); });
  const ppVector3 shift = edge_.start - other->edge_.start;
  for (zelvproElement* child : children) {
    child->SetPosition(child->GetPosition() + shift);
    child->DetachFromSupervisor();
    AddSubview(child);
  }
}

void qxWallElement::ReceiveMessage(ppCollaborator* /*sender*/, int32_t channel, int32_t id,
                                   intptr_t parameter) {
  if (channel != qxNewRoomCanvas::kWallChannel || parameter == 0) return;
  if (id != qxNewRoomCanvas::kAllWallHeights && id != qxNewRoomCanvas::kAllWallThicknesses) return;
  float value = 0.0f;
  std::memcpy(&value, reinterpret_cast<const void*>(parameter), sizeof value);
  if (id == qxNewRoomCanvas::kAllWallHeights) {
    height_ = value;
    if (edge_.segment != nullptr) edge_.segment->SetHeight(value);
  } else if (edge_.segment != nullptr) {
    edge_.segment->SetThickness(value);
  }
  InvalidateTree();
}

// ---- The document record.

void qxWallElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
  char* r = record.GetRecordBuffer();
  RecordField(record, "type").SetLong(r, kKind);
  WriteFloat(record, "radius", savedRadius_);
  WritePoint(record, "center", savedCentre_);
  WritePoint(record, "startPt", savedStart_);
  WritePoint(record, "endPt", savedEnd_);
  RecordField(record, "wallHeight").SetLong(r, WholeMillimetres(height_));
  RecordField(record, "colorBred").SetLong(r, red_);
  RecordField(record, "colorBgreen").SetLong(r, green_);
  RecordField(record, "colorBblue").SetLong(r, blue_);
  RecordField(record, "under").SetLong(r, edge_.id);
  RecordField(record, "color").SetLong(r, textureId_);
}

// ---- View operations.

void qxWallElement::DrawContent(ppDC& dc) {
  // Nothing of the wall body shows on the plan; the clip the supervisor sets is undone.
  const std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
  if (ppView* supervisor = GetSupervisor()) supervisor->ClipToVisible(dc);
  dc.SetClipRegion(clip.get());
}

bool qxWallElement::IsDoubleClick(int32_t /*x*/, int32_t /*y*/) {
  if (iApplicationSettings::Current().panelRouting) return false;
  // The holder becomes the current selection chain, which owns it from now on.
  (new qxViewHolder(this, nullptr, false))->Activate();
  // The wall's panel stands: a canvas update requested from now on is posted anew.
  zelvproCanvas::ClearCanvasGlobal();
  return true;
}

bool qxWallElement::ContainsPoint(int32_t x, int32_t y) {
  if (const std::unique_ptr<ppRegion> frame = GetFrameRegion(); frame != nullptr && frame->Contains(x, y))
    return true;
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i)
    if (children.At(i)->ContainsPoint(x, y)) return true;
  return false;
}

void qxWallElement::Select(bool refresh) {
  zelvproTopViewElement::Select(refresh);
  if (zelvproCanvas* canvas = GetCanvas()) canvas->ScheduleUpdate();
}
