#include "elements/topview/TopViewRecord.h"

#include <cstring>

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"

namespace {

TopViewRecord::Bytes BlobOf(ppDatafile& table, const char* name, const char* record) {
  Handle data = RecordField(table, name).Data(record);
  const int32_t size = MemGetSize(data);
  TopViewRecord::Bytes bytes(size_t(size > 0 ? size : 0));
  if (!bytes.empty()) std::memcpy(bytes.data(), *data, bytes.size());
  return bytes;
}

}  // namespace

TopViewRecord::TopViewRecord(ppDatafile& table, const char* record) {
  auto longOf = [&](const char* name) { return RecordField(table, name).Long(record); };
  auto doubleOf = [&](const char* name) { return RecordField(table, name).Double(record); };
  type = longOf("Type");
  canvas = longOf("Canvas");
  zpos = longOf("Zpos");
  frontView = longOf("frontView");
  under = longOf("Under");
  printNumbers = longOf("printNumbers");
  width = doubleOf("width"), height = doubleOf("height"), depth = doubleOf("depth");
  flags = uint32_t(longOf("flags")), flags2 = uint32_t(longOf("flags2"));
  posSheet = longOf("posSheet");
  gridX = longOf("xpos"), gridY = longOf("ypos"), gridZ = longOf("zpos");
  colorCode = longOf("colorCode");
  positioning = longOf("positioning");
  quantityFunc = longOf("quantityFunc");
  snappoints = BlobOf(table, "Snappoints", record);
  subelements = BlobOf(table, "Subelements", record);
  units = BlobOf(table, "Units", record);
  shapes3D = BlobOf(table, "shapes3D", record);
  subItems = BlobOf(table, "subItems", record);
  rules = BlobOf(table, "rules", record);
  excludes = BlobOf(table, "excludes", record);
  options = BlobOf(table, "options", record);
  optionRules = BlobOf(table, "optionRules", record);
  dropItems = BlobOf(table, "DropItems", record);
}
