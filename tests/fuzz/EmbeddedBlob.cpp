// The blob of an embedded table, as a document's record carries it: loaded, every field of every
// record read, saved and loaded again, which must give the same number of records.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "database/TableViewTestSupport.h"
#include "database/ppEmbeddedData.h"

using namespace viewtest;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  // The database only lends the table its layout; it is never written.
  static ViewDatabase base((fuzz::ScratchFolder() / "embedded.db").string());
  Handle blob = nullptr;
  Vcon_HandleManager::MemNew(&blob, uint32_t(size));
  if (size != 0) std::memcpy(*blob, data, size);
  try {
    ppEmbeddedData table("people", base.Db(), blob, nullptr);
    table.LoadFromBlob();
    const int32_t count = table.GetRecordCount();
    for (int32_t i = 0; i < count; ++i) {
      table.ReadRecordAt(i, nullptr);
      for (int32_t field = 0; field < table.FieldCount(); ++field) {
        ppParameter value;
        table.GetFieldValue(field, value, nullptr);
        value.AsString();
      }
    }
    table.SaveToBlob();
    table.LoadFromBlob();
    if (table.GetRecordCount() != count) __builtin_trap();
  } catch (int32_t) {
    // An error number is the answer to a damaged record.
  }
  MemDispose(blob);
  return 0;
}
