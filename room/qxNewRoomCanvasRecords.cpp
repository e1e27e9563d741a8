// The canvas's own module record with the outline table, and loading a plan's module table.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxLineSegmentFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ScopedRecordBuffer.h"
#include "database/ppDatafile.h"
#include "elements/base/ElementKinds.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/CatalogReads.h"
#include "elements/units/WallTopViewRecord.h"
#include "elements/units/iRoomModuleMakers.h"
#include "foundation/Geometry2D.h"
#include "room/qxJunction.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/RoomRecordFields.h"
#include "room/qxFloorElement.h"
#include "room/qxWallElement.h"
#include "room/zelvproWall.h"

using namespace roomrecord;

namespace {

// Module types the canvas reads itself: its own record and an old room polygon.
constexpr int32_t kOldRoomPolygon = 2;
// The record's "heightAboveFloor" and "showName" carry these marks.
constexpr int32_t kHeightAboveFloorMark = 222, kShowNameMark = 333;
// An outline record's "circleFlags".
constexpr int32_t kClockwise = 0x1, kArched = 0x2, kExtra = 0x4;

int32_t LongOf(ppDatafile& file, const char* name) {
  return RecordField(file, name).Long(file.GetRecordBuffer());
}

void SetLong(ppDatafile& file, const char* name, int32_t value) {
  RecordField(file, name).SetLong(file.GetRecordBuffer(), value);
}

int32_t JunctionId(const qxJunction* junction) {
  return junction != nullptr ? int32_t(junction->GetId()) : 0;
}

void WriteEdge(qxLineSegmentFil& table, const qxLineCycle& cycle, const WallEdge& edge) {
  table.ClearRecordBuffer(nullptr);
  SetLong(table, "id", edge.id);
  SetLong(table, "flags", edge.reserved);
  SetLong(table, "cycle", cycle.id);
  // An edge read from a document whose segment has not bound itself keeps the stored id.
  SetLong(table, "segment", edge.segment != nullptr ? edge.segment->GetSaveId() : edge.savedSegmentId);
  SetLong(table, "startJct", JunctionId(edge.startJunction));
  SetLong(table, "endJct", JunctionId(edge.endJunction));
  SetLong(table, "circleFlags",
          (edge.clockwise ? kClockwise : 0) | (edge.arched ? kArched : 0) | (edge.extra ? kExtra : 0));
  WriteFloat(table, "radius", edge.radius);
  WritePoint(table, "center", edge.centre);
  WritePoint(table, "startPt", edge.start);
  WritePoint(table, "endPt", edge.end);
  SetLong(table, "wall", edge.wall != nullptr ? edge.wall->GetSaveId() : 0);
  SetLong(table, "cycleDepth", int32_t(cycle.depth));
  table.InsertRecordAt(-1, nullptr);
}

// The kinds of module record that are elements of the room, each made from the table's current
// record as a child of `parent`. Later kinds join this table.
using ModuleMaker = zelvproElement* (*)(ppView* parent, ppDatafile& module);

zelvproElement* MakeWallOpening(ppView* parent, ppDatafile& module) {
  iRoomModuleMakers makers;
  return makers.MakeForType(parent, module);
}

zelvproElement* MakeSegment(ppView* parent, ppDatafile& module) {
  return new qxRoomSegment(parent, module, false);
}

zelvproElement* MakeWallBody(ppView* parent, ppDatafile& module) {
  return new qxWallElement(parent, module, false);
}

zelvproElement* MakeFloor(ppView* parent, ppDatafile& module) {
  return new qxFloorElement(parent, module, false);
}

zelvproElement* MakePlanWall(ppView* parent, ppDatafile& module) {
  return new zelvproWall(parent, module, false);
}

const struct {
  int32_t type;
  ModuleMaker make;
} kMakers[] = {
    {ElementKinds::kStructure, MakeWallOpening},  {ElementKinds::kDoor, MakeWallOpening},
    {ElementKinds::kRoomWindow, MakeWallOpening}, {ElementKinds::kRoomSegment, MakeSegment},
    {ElementKinds::kWallBody, MakeWallBody},      {ElementKinds::kFloor, MakeFloor},
    {ElementKinds::kPlanWall, MakePlanWall},
};

ModuleMaker MakerOf(int32_t type) {
  for (const auto& row : kMakers)
    if (row.type == type) return row.make;
  return nullptr;
}

// The old polygon's corners as (x, z) points; empty unless it holds at least 3 whole 8-byte points.
std::vector<ppVector2> PolygonPoints(ppDatafile& module) {
  Handle blob = RecordField(module, "points").Data(module.GetRecordBuffer());
  if (blob == nullptr || *blob == nullptr) return {};
  const size_t size = MemGetSize(blob);
  if (size % sizeof(ppVector2) != 0 || size / sizeof(ppVector2) < 3) return {};
  return PointListToVector(blob);
}

}  // namespace

void qxNewRoomCanvas::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopCanvas::WriteRecord(record, renumber, parentNumber);
  // The long "wallThickness" is the one after "dimensionsz"; the first of that name is a double.
  RecordField(record, "wallThickness", 1).SetLong(record.GetRecordBuffer(), WholeMillimetres(wallThickness));
  SetLong(record, "wallHeight", WholeMillimetres(wallHeight));
  SetLong(record, "heightAboveFloor", kHeightAboveFloorMark);
  SetLong(record, "showName", kShowNameMark);
  WriteFloat(record, "radius", gridSize);
  SetLong(record, "circleFlags", gridEnabled != 0 ? 1 : 0);
  Handle blob = RecordField(record, "privateData2").Data(record.GetRecordBuffer());
  if (blob == nullptr) return;
  // The outline table lives on the canvas's own catalogue (the module table's without one).
  qxLineSegmentFil table(database != nullptr ? *database : record.Database(), blob);
  for (qxLineCycle* cycle = cycles; cycle != nullptr; cycle = cycle->next) {
    for (int32_t i = 0; i < cycle->EdgeCount(); ++i) WriteEdge(table, *cycle, *cycle->EdgeAt(i));
  }
  table.SaveToBlob();
}

void qxNewRoomCanvas::ReadCanvasRecord(ppDatafile& record) {
  delete junctions;
  delete cycles;
  junctions = nullptr;
  cycles = nullptr;
  ReadTopCanvasRecord(record);
  wallThickness = float(RecordField(record, "wallThickness", 1).Long(record.GetRecordBuffer()));
  wallHeight = float(LongOf(record, "wallHeight"));
  // Documents written before the grid was stored have no grid size: the current grid stays.
  const float radius = ReadFloat(record, "radius");
  if (radius != 0.0f) {
    gridEnabled = LongOf(record, "circleFlags") != 0 ? 1 : 0;
    gridSize = radius;
  }
  Handle blob = RecordField(record, "privateData2").Data(record.GetRecordBuffer());
  if (blob == nullptr) return;
  qxLineSegmentFil table(database != nullptr ? *database : record.Database(), blob);
  table.LoadFromBlob();
  for (int32_t i = 0; i < table.GetRecordCount(); ++i) {
    table.ReadRecordAt(i, nullptr);
    const int32_t cycleId = LongOf(table, "cycle");
    // A new cycle goes to the head of the list: the cycles stand in the reverse record order.
    if (i == 0 || cycles == nullptr || cycles->id != cycleId) {
      cycles = new qxLineCycle(cycles, cycleId);
      cycles->depth = uint32_t(LongOf(table, "cycleDepth"));
    }
    WallEdge edge;
    edge.id = LongOf(table, "id");
    edge.reserved = LongOf(table, "flags");
    edge.savedSegmentId = LongOf(table, "segment");  // the segment binds itself when it is loaded
    edge.startJunction = FindJunctionById(LongOf(table, "startJct"));
    edge.endJunction = FindJunctionById(LongOf(table, "endJct"));
    edge.radius = ReadFloat(table, "radius");
    const int32_t flags = LongOf(table, "circleFlags");
    edge.clockwise = (flags & kClockwise) != 0;
    edge.arched = (flags & kArched) != 0;
    edge.extra = (flags & kExtra) != 0;
    edge.centre = ReadPoint(table, "center");
    edge.start = ReadPoint(table, "startPt");
    edge.end = ReadPoint(table, "endPt");
    cycles->AppendEdge(edge);
  }
}

void qxNewRoomCanvas::LoadPlanModules(ppDatafile& modules) {
  bool converted = false;
  for (int32_t i = 0; i < modules.GetRecordCount(); ++i) {
    modules.ReadRecordAt(i, nullptr);
    const int32_t type = LongOf(modules, "type");
    if (type == kRecordType) {
      nextSaveId = 0;
      ReadCanvasRecord(modules);
      continue;
    }
    const ModuleMaker make = MakerOf(type);
    if (type != kOldRoomPolygon && make == nullptr) continue;
    // An element whose parent is not in the plan (yet) stays in the room rather than nowhere.
    zelvproElement* parent = FindById(LongOf(modules, "parent"));
    if (parent == nullptr) parent = this;
    if (type == kOldRoomPolygon) {
      converted = ConvertRoomPolygon(modules, parent) || converted;
      continue;
    }
    if (zelvproElement* made = make(parent, modules)) Loaded(made);
  }
  if (converted) {
    DoCommand(kRebuildRoom, 0);
    DoCommand(kRefresh3D, 0);
  }
  KeepRoomInsideMargin();
  Invalidate();
  InvalidateElement(iElementHost::Current().ScenePane(), true);
}

void qxNewRoomCanvas::Loaded(zelvproElement* element) {
  nextSaveId = std::max(nextSaveId, element->GetSaveId()) + 1;
  element->InvalidateTree();
}

bool qxNewRoomCanvas::ConvertRoomPolygon(ppDatafile& module, zelvproElement* parent) {
  std::vector<ppVector2> points = PolygonPoints(module);
  if (points.empty() || WallDatabase() == nullptr) return false;
  const char* r = module.GetRecordBuffer();
  wallThickness = float(RecordField(module, "wallThickness").Double(r));
  wallHeight = float(RecordField(module, "height").Double(r));
  const float x = float(RecordField(module, "xposition").Double(r));
  const float z = float(RecordField(module, "zposition").Double(r));
  Handle outline = nullptr;
  Vcon_HandleManager::MemNew(&outline, uint32_t(points.size() * sizeof(ppVector2)));
  for (ppVector2& p : points) p = ppVector2(p.x + x, p.y + z);
  std::memcpy(*outline, points.data(), points.size() * sizeof(ppVector2));
  OffsetPolygon(outline, wallThickness / 2.0f);
  points = PointListToVector(outline);
  MemDispose(outline);

  const size_t n = points.size();
  for (size_t i = 0; i < n; ++i) {
    const ppVector2 a = points[i], b = points[(i + 1) % n];
    if (qxRoomSegment* segment = MakeWall(parent, ppVector3(a.x, 0.0f, a.y), ppVector3(b.x, 0.0f, b.y)))
      Loaded(segment);
  }
  return true;
}

zelvDatabase* qxNewRoomCanvas::WallDatabase() const {
  // The walls come from the catalogue's wall record; without one they are made of record 0.
  const WallTopViewRecord::Found wall = WallTopViewRecord::Find();
  zelvDatabase* db = wall ? wall.db : iElementHost::Current().FindDatabase(WallTopViewRecord::kCatalogue);
  return db != nullptr ? db : database;
}

qxRoomSegment* qxNewRoomCanvas::MakeWall(ppView* parent, const ppVector3& start, const ppVector3& end) {
  zelvDatabase* db = WallDatabase();
  if (db == nullptr) return nullptr;
  const WallTopViewRecord::Found wall = WallTopViewRecord::Find();
  zelvproTopViewFil& file = db->TopViewFile();
  ScopedRecordBuffer<ppDatafile> record(file);
  if (wall && wall.db == db) CatalogReads::Read(file, wall.recordId, record.Get());
  auto* segment = new qxRoomSegment(wall && wall.db == db ? wall.recordId : 0, parent, plat::RECT{0, 0, 0, 0},
                                    record.Get(), file.ShapeFile());
  segment->SetThickness(wallThickness);
  segment->SetHeight(wallHeight);
  segment->SetEnds(start, end);
  return segment;
}
