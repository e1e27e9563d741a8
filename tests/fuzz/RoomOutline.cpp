// The room's outline table as a document carries it (the blob in the room canvas's own module
// record): loaded into a room canvas, its bounds taken, saved with the canvas and loaded once more,
// which must give the same faces.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"

namespace {

zelvDatabase& Catalogue() {
  // Lends the outline table its layout; never written.
  static ppFileSpec file(Vcon::WString((fuzz::ScratchFolder() / "room.cdb").string().c_str()));
  static zelvDatabase db(file);
  return db;
}

int32_t CountFaces(const qxNewRoomCanvas& canvas) {
  int32_t n = 0;
  for (const qxLineCycle* c = canvas.Cycles(); c != nullptr; c = c->next) n += c->EdgeCount();
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  zelvDatabase& db = Catalogue();
  zelvproDocFil document(db);
  zelvproDocModuleFil& modules = document.RoomTable();
  modules.ClearRecordBuffer(nullptr);
  char* record = modules.GetRecordBuffer();
  RecordField(modules, "type").SetLong(record, qxNewRoomCanvas::kRecordType);
  Handle blob = RecordField(modules, "privateData2").Data(record);
  if (blob == nullptr) __builtin_trap();
  MemSetSize(blob, uint32_t(size));
  if (size != 0) std::memcpy(*blob, data, size);
  modules.InsertRecordAt(-1, nullptr);
  try {
    qxNewRoomCanvas canvas(nullptr, plat::RECT{0, 0, 800, 600}, &db);
    canvas.LoadPlanModules(modules);
    ppVector2 corners[4];
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
  return 0;
}
