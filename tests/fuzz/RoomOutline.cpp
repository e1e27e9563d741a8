// The room as a document carries it: the canvas's own module record with its outline table, and the
// wall segment records with their corner id lists. Loaded into a room canvas, its bounds taken, the
// room rebuilt (corners at the segment ends and crossings, side faces, cycles, floors), saved with the
// canvas and loaded once more, which must give the same faces.
//
// Bytes: a 16-bit length (little-endian) and that many bytes of outline table, then one segment per
// 24 bytes (at most 8 segments): start x, z, end x, z, radius (32-bit integers, hundredths of a millimetre,
// held within 200 m), circle flags, thickness in centimetres, a 16-bit corner id. A short length or a short
// tail takes what is there. The outline table's floats are taken as they stand. The segments reach well past
// any room, and past the plan's pixel reach once the margin move has pushed them along, while the repaint
// region of a slanted wall (made row by row, held within the figure reach) stays cheap enough to leave the
// search its time for corners and crossings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/HandleList.h"
#include "elements/base/ElementKinds.h"
#include "platform/HeadlessDriver.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// More segments add little but time: every rebuild step compares segments with segments, and each
// segment's repaint region joins the ones before it.
constexpr size_t kSegmentBytes = 24, kMaxSegments = 8;

// Lends the outline table its layout, and the floors and wall bodies the one top-view record a
// catalogue always has (the document is under test here, not the catalogue).
zelvDatabase& Catalogue() {
  static ppFileSpec file(Vcon::WString((fuzz::ScratchFolder() / "room.cdb").string().c_str()));
  static zelvDatabase db(file);
  static const bool filled = [] {
    zelvproTopViewFil& topViews = db.TopViewFile();
    topViews.ClearRecordBuffer(nullptr);
    RecordField(topViews, "ID").SetLong(topViews.GetRecordBuffer(), 900);
    int32_t id = 0;
    topViews.AddRecord(&id, nullptr);
    return id != 0;
  }();
  if (!filled) __builtin_trap();
  return db;
}

int32_t CountFaces(const qxNewRoomCanvas& canvas) {
  int32_t n = 0;
  for (const qxLineCycle* c = canvas.Cycles(); c != nullptr; c = c->next) n += c->EdgeCount();
  return n;
}

// Millimetres from a 32-bit count of hundredths, held within 200 m.
float MillimetresAt(const uint8_t* p) {
  int32_t hundredths;
  std::memcpy(&hundredths, p, sizeof hundredths);
  return float(std::clamp(hundredths, -20'000'000, 20'000'000)) / 100.0f;
}

void SetFloat(ppDatafile& table, const char* name, float value) {
  const RecordField field(table, name);
  if (field.Exists()) table.SetFieldValue(field.Index(), ppParameter(value), table.GetRecordBuffer());
}

// One segment record of save id `id` from 24 bytes.
void AddSegment(zelvproDocModuleFil& modules, const uint8_t* p, int32_t id) {
  modules.ClearRecordBuffer(nullptr);
  char* record = modules.GetRecordBuffer();
  RecordField(modules, "type").SetLong(record, ElementKinds::kRoomSegment);
  RecordField(modules, "id").SetLong(record, id);
  RecordField(modules, "wallThickness", 1).SetLong(record, int32_t(p[21]) * 10);
  RecordField(modules, "wallHeight").SetLong(record, 2400);
  RecordField(modules, "circleFlags").SetLong(record, p[20] & 3);
  SetFloat(modules, "startPt.x", MillimetresAt(p));
  SetFloat(modules, "startPt.z", MillimetresAt(p + 4));
  SetFloat(modules, "endPt.x", MillimetresAt(p + 8));
  SetFloat(modules, "endPt.z", MillimetresAt(p + 12));
  SetFloat(modules, "radius", MillimetresAt(p + 16));
  // The centre of a round wall: the middle of its chord, pushed aside by the radius.
  SetFloat(modules, "center.x", (MillimetresAt(p) + MillimetresAt(p + 8)) / 2);
  SetFloat(modules, "center.z",
           (MillimetresAt(p + 4) + MillimetresAt(p + 12)) / 2 + MillimetresAt(p + 16) / 2);
  if (Handle ids = RecordField(modules, "privateData2").Data(record)) {
    HandleList::Reset(ids);
    HandleList::Insert(ids, int32_t(p[22] | p[23] << 8), -1);
  }
  modules.InsertRecordAt(-1, nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  zelvDatabase& db = Catalogue();
  zelvproDocFil document(db);
  zelvproDocModuleFil& modules = document.RoomTable();
  const size_t given = size >= 2 ? size_t(data[0] | data[1] << 8) : 0;
  const size_t outline = std::min(given, size >= 2 ? size - 2 : 0);
  modules.ClearRecordBuffer(nullptr);
  char* record = modules.GetRecordBuffer();
  RecordField(modules, "type").SetLong(record, qxNewRoomCanvas::kRecordType);
  Handle blob = RecordField(modules, "privateData2").Data(record);
  if (blob == nullptr) __builtin_trap();
  MemSetSize(blob, uint32_t(outline));
  if (outline != 0) std::memcpy(*blob, data + 2, outline);
  modules.InsertRecordAt(-1, nullptr);
  const uint8_t* segments = data + (size >= 2 ? 2 + outline : size);
  const size_t count = std::min(kMaxSegments, (size_t(data + size - segments)) / kSegmentBytes);
  for (size_t i = 0; i < count; ++i) AddSegment(modules, segments + i * kSegmentBytes, int32_t(i + 1));
  try {
    qxNewRoomCanvas canvas(nullptr, plat::RECT{0, 0, 800, 600}, &db);
    canvas.LoadPlanModules(modules);
    // A room below the plan margin posts its move: the queued sweepers run here, as the program's
    // message loop would run them.
    plat::HeadlessDriver::RunUntilIdle();
    ppVector2 corners[4];
    canvas.ComputeBounds(corners);
    canvas.DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    canvas.ComputeBounds(corners);
    ppVector2 low(0, 0), high(0, 0);
    canvas.ExtendBounds2D(low, high);
    const int32_t faces = CountFaces(canvas);
    zelvproDocFil saved(db);
    canvas.SaveTree(saved.RoomTable(), false, 0);
    qxNewRoomCanvas reloaded(nullptr, plat::RECT{0, 0, 800, 600}, &db);
    reloaded.LoadPlanModules(saved.RoomTable());
    if (CountFaces(reloaded) != faces) __builtin_trap();
  } catch (int32_t) {
    // An error number is the answer to a damaged table.
  }
  // What the reload posted finds its canvas gone and does nothing.
  plat::HeadlessDriver::RunUntilIdle();
  return 0;
}
