#include "tools/mkcatalog/RoomScenes.h"

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSceneFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "elements/base/SnapAnchor.h"
#include "elements/units/WallTopViewRecord.h"
#include "foundation/LengthText.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/Geometry3D.h"
#include "room/ppCircle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/zelvproWall.h"
#include "tools/mkcatalog/PictureMaker.h"
#include "tools/mkcatalog/RoomHost.h"
#include "tools/mkcatalog/RoomSource.h"
#include "tools/mkcatalog/SourceError.h"

namespace mkcatalog {
namespace {

// The room shapes' pictures: the size and the wall colour of the demo's other previews.
constexpr int kPreviewSide = 48;
constexpr const char* kPreviewColour = "#6b7f99";

namespace fs = std::filesystem;

// Owns a handle for the length of a scope.
struct HandleOwner {
  Handle h = nullptr;
  HandleOwner() { Vcon_HandleManager::MemNew(&h, 0); }
  ~HandleOwner() { MemDispose(h); }
  HandleOwner(const HandleOwner&) = delete;
  HandleOwner& operator=(const HandleOwner&) = delete;
};

void SetLength(qxNewRoomCanvas& canvas, const char* name, float millimetres) {
  Vcon::WString text;
  FormatLength(millimetres, text);
  canvas.SetValue(canvas.IndexOf(name), ppParameter(text));
}

// The room's plan as a packed document: the canvas's tree in the document's "room" table.
std::vector<uint8_t> PackRoom(zelvDatabase& db, qxNewRoomCanvas& canvas) {
  zelvproDocFil document(db);
  canvas.SaveTree(document.RoomTable(), true, 0);
  document.RoomTable().SaveToBlob();
  document.SetFieldValue(document.IndexOf("version"), ppParameter(zelvproDocFil::kCurrentVersion),
                         document.Record());
  document.StoreStateFlags();
  HandleOwner packed;
  document.PackRecord(document.Record(), packed.h);
  const auto* bytes = reinterpret_cast<const uint8_t*>(*packed.h);
  return std::vector<uint8_t>(bytes, bytes + MemGetSize(packed.h));
}

std::vector<uint8_t> BuildRoom(zelvDatabase& db, RoomHost& host, const RoomPlan& room, const fs::path& file) {
  std::unique_ptr<qxNewRoomCanvas> canvas = BuildRoomCanvas(db, host, room, file);
  host.room = canvas.get();
  std::vector<uint8_t> document = PackRoom(db, *canvas);
  host.room = nullptr;
  return document;
}

// Adds the picture of `room`'s walls to the preview table and answers its record id: the "Room Shape"
// selector shows the shapes by these pictures.
// Makes `segment` arched through the point `bulge` millimetres left of its chord's middle (plan, z down).
void MakeArched(qxRoomSegment& segment, const RoomWall& w) {
  segment.SetValue(segment.IndexOf("RoundWall"), ppParameter(true));
  const ppVector3 start(w.x1, 0.0f, w.z1), end(w.x2, 0.0f, w.z2);
  const float chord = std::hypot(w.x2 - w.x1, w.z2 - w.z1);
  const float nx = (w.z2 - w.z1) / chord, nz = -(w.x2 - w.x1) / chord;
  const ppVector3 third((w.x1 + w.x2) / 2.0f + nx * w.bulge, 0.0f, (w.z1 + w.z2) / 2.0f + nz * w.bulge);
  const ppCircle circle(end, third, start);
  segment.SetRadius(float(circle.GetRadius()));
  segment.SetCenter(*circle.GetCenter());
  segment.SetClockwise(OrientationXZ(end, third, start) < 0);
}

// A wall piece's fill (percent): a grey apart from the room walls' and the units' colours.
constexpr int32_t kPieceGrey = 70;

void PutBlob(Handle blob, const void* data, size_t size) {
  MemSetSize(blob, uint32_t(size));
  if (size != 0) std::memcpy(*blob, data, size);
}

// The piece's end entries (36 bytes each: code, x, y, z, direction, level, flags, two unsaved words)
// at (0, 0, 0) and (`length`, 0, 0), both end handles.
std::vector<uint8_t> PieceEnds(float length) {
  std::vector<uint8_t> bytes(2 * SnapAnchor::kEntryBytes, 0);
  for (int i = 0; i < 2; ++i) {
    uint8_t* entry = bytes.data() + i * SnapAnchor::kEntryBytes;
    const int32_t code = zelvproWall::kEndHandle;
    const float x = i == 0 ? 0.0f : length;
    std::memcpy(entry, &code, 4);
    std::memcpy(entry + 4, &x, 4);
  }
  return bytes;
}

// Puts a free-standing wall piece (module type 9) along `p`'s centre line on the canvas, made from a
// module record as a loaded document makes it: its frame starts at the line's start and turns to
// its end; the outline runs from x = 0 to x = the length, half the thickness either side.
void AddPiece(zelvDatabase& db, qxNewRoomCanvas& canvas, const RoomWall& p) {
  zelvproDocFil document(db);
  ppDatafile& module = document.RoomTable();
  char* r = module.GetRecordBuffer();
  module.ClearRecordBuffer(r);
  const float length = std::hypot(p.x2 - p.x1, p.z2 - p.z1), half = p.thickness / 2.0f;
  RecordField(module, "type").SetLong(r, zelvproWall::kKind);
  RecordField(module, "database").SetLong(r, db.Identifier());
  RecordField(module, "xposition").SetDouble(r, p.x1);
  RecordField(module, "zposition").SetDouble(r, p.z1);
  RecordField(module, "rotation").SetDouble(r, std::atan2(p.z2 - p.z1, p.x2 - p.x1));
  RecordField(module, "wallThickness").SetDouble(r, p.thickness);
  RecordField(module, "height").SetDouble(r, p.height);
  for (const char* name : {"colorAred", "colorAgreen", "colorAblue"})
    RecordField(module, name).SetLong(r, kPieceGrey);
  const float outline[] = {0.0f, -half, length, -half, length, half, 0.0f, half};
  PutBlob(RecordField(module, "points").Data(r), outline, sizeof outline);
  const std::vector<uint8_t> ends = PieceEnds(length);
  PutBlob(RecordField(module, "snappoints").Data(r), ends.data(), ends.size());
  new zelvproWall(&canvas, module, false);  // the canvas owns it
}

// The wall's centre line as lines of the preview: an arched wall in eight pieces along its arc.
void AddPreviewLines(const RoomWall& w, std::vector<std::array<float, 4>>& lines) {
  if (w.bulge == 0.0f) return lines.push_back({w.x1, w.z1, w.x2, w.z2});
  const float chord = std::hypot(w.x2 - w.x1, w.z2 - w.z1);
  const float nx = (w.z2 - w.z1) / chord, nz = -(w.x2 - w.x1) / chord;
  const float b = std::fabs(w.bulge), radius = (chord * chord / 4.0f + b * b) / (2.0f * b);
  constexpr int kPieces = 8;
  float px = w.x1, pz = w.z1;
  for (int i = 1; i <= kPieces; ++i) {
    const float t = float(i) / kPieces, along = (t - 0.5f) * chord;
    const float out = std::copysign(std::sqrt(radius * radius - along * along) - (radius - b), w.bulge);
    const float x = w.x1 + (w.x2 - w.x1) * t + nx * out, z = w.z1 + (w.z2 - w.z1) * t + nz * out;
    lines.push_back({px, pz, x, z});
    px = x, pz = z;
  }
}

int32_t AddPreview(zelvproPreviewFil& previews, const RoomPlan& room) {
  std::vector<std::array<float, 4>> lines;
  for (const RoomWall& w : room.walls) AddPreviewLines(w, lines);
  for (const RoomWall& w : room.pieces) AddPreviewLines(w, lines);
  const std::vector<uint8_t> bytes = MakePlanPicture(kPreviewSide, kPreviewColour, lines);
  char* r = previews.GetRecordBuffer();
  previews.ClearRecordBuffer(r);
  previews.SetFieldValue(previews.IndexOf("name"), ppParameter(room.name.c_str()), r);
  Handle picture = nullptr;
  Vcon_HandleManager::MemNew(&picture, uint32_t(bytes.size()));
  std::memcpy(*picture, bytes.data(), bytes.size());
  previews.SetFieldValue(previews.IndexOf("preview"), ppParameter(picture), r);
  MemDispose(picture);
  int32_t id = 0;
  previews.AddRecord(&id, nullptr);
  return id;
}

void AddScene(qxSceneFil& scenes, zelvproPreviewFil& previews, const RoomPlan& room,
              const std::vector<uint8_t>& document) {
  const int32_t preview = AddPreview(previews, room);
  char* r = scenes.GetRecordBuffer();
  scenes.ClearRecordBuffer(r);
  RecordField(scenes, "id").SetLong(r, room.id);
  RecordField(scenes, "preview").SetLong(r, preview);
  scenes.SetFieldValue(scenes.IndexOf("name"), ppParameter(room.name.c_str()), r);
  Handle blob = RecordField(scenes, "scene").Data(r);
  MemSetSize(blob, uint32_t(document.size()));
  if (!document.empty()) std::memcpy(*blob, document.data(), document.size());
  int32_t id = 0;
  scenes.AddRecord(&id, nullptr);
}

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!out) throw SourceError(path, 0, "cannot write the file");
}

}  // namespace

std::unique_ptr<qxNewRoomCanvas> BuildRoomCanvas(zelvDatabase& db, RoomHost& host, const RoomPlan& room,
                                                 const fs::path& file) {
  const WallTopViewRecord::Found wall = WallTopViewRecord::Find();
  if (!wall) throw SourceError(file, room.line, "the main catalogue has no wall record (top-view ID 171066)");
  auto canvas = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 1000, 1000}, &db);
  host.room = canvas.get();
  zelvproTopViewFil& items = db.TopViewFile();
  for (const RoomWall& w : room.walls) {
    // A wall takes its thickness and height from the canvas when it is made.
    SetLength(*canvas, "WallThickness", w.thickness);
    SetLength(*canvas, "WallHeight", w.height);
    items.ReadRecord(wall.recordId, nullptr);
    auto* segment = new qxRoomSegment(wall.recordId, canvas.get(), plat::RECT{0, 0, 10, 10},
                                      items.GetRecordBuffer(), db.ShapeFile());
    segment->SetEnds(ppVector3(w.x1, 0.0f, w.z1), ppVector3(w.x2, 0.0f, w.z2));
    if (w.bulge != 0.0f) MakeArched(*segment, w);
  }
  canvas->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  host.room = nullptr;
  if (canvas->CountFloors() != 1) throw SourceError(file, room.line, "the walls do not enclose one room");
  // The pieces stand free in the room: they join no corner and bound no floor.
  for (const RoomWall& piece : room.pieces) AddPiece(db, *canvas, piece);
  return canvas;
}

void BuildRoomScenes(const fs::path& rooms, const fs::path& catalogue, const fs::path& settings) {
  const fs::path scenesFile = rooms / "scenes.txt", newFile = rooms / "new.txt";
  const std::vector<RoomPlan> scenes = ReadRooms(scenesFile);
  const std::vector<RoomPlan> fresh = fs::exists(newFile) ? ReadRooms(newFile) : std::vector<RoomPlan>{};
  if (fresh.size() > 1) throw SourceError(newFile, fresh[1].line, "a new document holds one room");

  ppFileSpec file{Vcon::WString(catalogue.string().c_str())};
  zelvDatabase db(file);
  RoomHost host(db);
  qxSceneFil table(db);
  zelvproPreviewFil previews(db);
  db.BeginTransaction();
  try {
    for (const RoomPlan& room : scenes)
      AddScene(table, previews, room, BuildRoom(db, host, room, scenesFile));
    db.EndTransaction();
  } catch (...) {
    db.AbortTransaction();
    db.EndTransaction();
    throw;
  }
  if (!fresh.empty()) WriteFile(settings / "user" / "new.qxf", BuildRoom(db, host, fresh[0], newFile));
}

}  // namespace mkcatalog
