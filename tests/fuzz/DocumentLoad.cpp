// A document file as it may reach the program (opened by the user, an autosave, the new-document
// template, a room template, a server download): any bytes. The document record file judges them
// first; a document it accepts has its tables read, its room loaded into a room canvas (the margin
// move's sweepers run), rebuilt and bounded, and the document packed again must be accepted again.
// Bytes it refuses leave the open document's record as it was.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "platform/HeadlessDriver.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// The demo program's signature: its documents pass the signature test, other signed ones do not.
constexpr const char* kSignature = "Vellmora Home Planner";

// Lends the document its layouts, and the floors and wall bodies the one top-view record a catalogue
// always has.
zelvDatabase& Catalogue() {
  static ppFileSpec file(Vcon::WString((fuzz::ScratchFolder() / "document.cdb").string().c_str()));
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

std::vector<uint8_t> Packed(zelvproDocFil& document) {
  fuzz::OwnedHandle h([] {
    Handle made = nullptr;
    Vcon_HandleManager::MemNew(&made, 0);
    return made;
  }());
  document.PackRecord(nullptr, h.get());
  const auto* p = reinterpret_cast<const uint8_t*>(*h.get());
  return std::vector<uint8_t>(p, p + MemGetSize(h.get()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  zelvDatabase& db = Catalogue();
  zelvproDocFil document(db);
  RecordField(document, "number").SetWideText(document.Record(), u"open");
  const std::vector<uint8_t> before = Packed(document);
  fuzz::OwnedHandle file([&] {
    Handle made = nullptr;
    Vcon_HandleManager::MemNew(&made, uint32_t(size));
    if (size != 0) std::memcpy(*made, data, size);
    return made;
  }());
  zelvproDocFil::UnpackResult judged = zelvproDocFil::UnpackResult::kNotADocument;
  try {
    judged = document.Unpack(file.get(), kSignature);
  } catch (int32_t) {
    judged = zelvproDocFil::UnpackResult::kNotADocument;  // damaged: refused all the same
  }
  if (judged != zelvproDocFil::UnpackResult::kAccepted) {
    if (Packed(document) != before) __builtin_trap();  // a refused file changed the open document
    return 0;
  }
  try {
    document.TagTable().LoadFromBlob();
    document.FurnitureTable().LoadFromBlob();
    document.AnnotationTable().LoadFromBlob();
    zelvproDocModuleFil& room = document.RoomTable();
    room.LoadFromBlob();
    qxNewRoomCanvas canvas(nullptr, plat::RECT{0, 0, 800, 600}, &db);
    canvas.LoadPlanModules(room);
    plat::HeadlessDriver::RunUntilIdle();
    canvas.DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    ppVector2 corners[4];
    canvas.ComputeBounds(corners);
    room.DisposeRecords();
  } catch (int32_t) {
    // A damaged element inside a table the record file let pass: an error number is its answer.
  }
  plat::HeadlessDriver::RunUntilIdle();
  // What an accepted document packs to is a document again.
  const std::vector<uint8_t> again = Packed(document);
  fuzz::OwnedHandle repacked([&] {
    Handle made = nullptr;
    Vcon_HandleManager::MemNew(&made, uint32_t(again.size()));
    std::memcpy(*made, again.data(), again.size());
    return made;
  }());
  zelvproDocFil second(db);
  if (second.Unpack(repacked.get(), kSignature) != zelvproDocFil::UnpackResult::kAccepted) __builtin_trap();
  return 0;
}
