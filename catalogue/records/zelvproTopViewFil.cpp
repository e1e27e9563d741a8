#include "catalogue/records/zelvproTopViewFil.h"

#include <algorithm>
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/BlobWords.h"
#include "catalogue/records/RewriteEveryRecord.h"
#include "catalogue/records/iElementFactory.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproUnitFil.h"

namespace {

// Entry sizes of the blob fields, in bytes.
constexpr uint32_t kSubelementBytes = 24, kUnitBytes = 8, kDropItemBytes = 8, kSubItemBytes = 32;
constexpr uint32_t kSnapPoint0Bytes = 32, kSnapPoint1Bytes = 28, kSnapPointBytes = 36;
// Words an "available" group keeps before its unit ids.
constexpr size_t kAvailableHead = 2;

void Append(std::vector<int32_t>& to, const std::vector<int32_t>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

// A link field's id; 0 names no record.
void AppendLink(std::vector<int32_t>& to, int32_t id) {
  if (id != 0) to.push_back(id);
}

// Version 0 entries {id, x, y as integers, unused, z as double at 16, word at 24} to version 1
// entries {id, x, y, z as floats, the word, 0, 0}.
std::vector<char> SnapPointsFrom0(const char* data, uint32_t count) {
  std::vector<char> out(size_t(count) * kSnapPoint1Bytes, 0);
  for (uint32_t i = 0; i < count; ++i) {
    const char* from = data + size_t(i) * kSnapPoint0Bytes;
    char* to = out.data() + size_t(i) * kSnapPoint1Bytes;
    int32_t x, y;
    double z;
    std::memcpy(to, from, 4);
    std::memcpy(&x, from + 4, 4);
    std::memcpy(&y, from + 8, 4);
    std::memcpy(&z, from + 16, 8);
    const float values[3] = {float(x), float(y), float(z)};
    std::memcpy(to + 4, values, 12);
    std::memcpy(to + 16, from + 24, 4);
  }
  return out;
}

// Version 1 entries {a, b, c, d, e, f, g} to entries {a, b, 0, c, d, e, f, 0, 0}.
std::vector<char> SnapPointsFrom1(const char* data, uint32_t count) {
  std::vector<char> out(size_t(count) * kSnapPointBytes, 0);
  for (uint32_t i = 0; i < count; ++i) {
    const char* from = data + size_t(i) * kSnapPoint1Bytes;
    char* to = out.data() + size_t(i) * kSnapPointBytes;
    std::memcpy(to, from, 8);
    std::memcpy(to + 12, from + 8, 12);
    std::memcpy(to + 24, from + 20, 4);
  }
  return out;
}

void ConvertSnapPointBlob(Handle blob, int32_t from) {
  if (blob == nullptr || (from != 0 && from != 1)) return;
  const uint32_t size = uint32_t(MemGetSize(blob));
  const char* data = size > 0 ? static_cast<const char*>(*blob) : nullptr;
  std::vector<char> entries;
  if (from == 0) {
    entries = SnapPointsFrom0(data, size / kSnapPoint0Bytes);
    entries = SnapPointsFrom1(entries.data(), uint32_t(entries.size() / kSnapPoint1Bytes));
  } else {
    entries = SnapPointsFrom1(data, size / kSnapPoint1Bytes);
  }
  MemSetSize(blob, uint32_t(entries.size()));
  if (!entries.empty()) std::memcpy(*blob, entries.data(), entries.size());
}

}  // namespace

zelvproTopViewFil::zelvproTopViewFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      shapeFile_(std::make_unique<zelvproShapeFil>(database)),
      posSheetFile_(std::make_unique<zelvproPosSheetFil>(database)),
      name_(*this, "Name"),
      type_(*this, "Type"),
      classLink_(*this, "Type", 1),
      flags_(*this, "flags"),
      snappoints_(*this, "Snappoints"),
      subelements_(*this, "Subelements"),
      colors_(*this, "Colors"),
      units_(*this, "Units"),
      dropItems_(*this, "DropItems"),
      subItems_(*this, "subItems"),
      depths_(*this, "depths"),
      options_(*this, "options"),
      available_(*this, "available"),
      excludes_(*this, "excludes"),
      posSheet_(*this, "posSheet"),
      colorCode_(*this, "colorCode") {}

zelvproElement* zelvproTopViewFil::CreateElement(int32_t recordId, const plat::RECT& frame,
                                                 zelvproElement* parent) {
  if (recordId == 0) return nullptr;
  ReadRecord(recordId, nullptr);
  iElementFactory* factory = ElementFactory();
  if (factory == nullptr) return nullptr;
  const int32_t type = type_.Long(record_);
  if (type == kTopViewElement)
    return factory->CreateTopViewElement(recordId, parent, frame, record_, *shapeFile_);
  auto* catalogue = dynamic_cast<zelvDatabase*>(&Database());
  if (catalogue == nullptr) return nullptr;
  switch (type) {
    case kTopGroupElement:
      return factory->CreateTopGroupElement(recordId, parent, frame, record_, *catalogue);
    case kStructureElement:
      return factory->CreateStructureElement(recordId, parent, frame, record_, *catalogue);
    case kConfigElement:
      return factory->CreateConfigElement(recordId, parent, frame, record_, *catalogue);
    case kDoor:
      return factory->CreateDoor(recordId, parent, frame, record_, *catalogue);
    case kRoomWindow:
      return factory->CreateRoomWindow(recordId, parent, frame, record_, *catalogue);
    case kAccessory:
      return factory->CreateAccessory(recordId, nullptr, frame, record_, *catalogue);
    case kParametricElement:
      return factory->CreateParametricElement(recordId, parent, frame, record_, *catalogue);
    default:
      return nullptr;
  }
}

void zelvproTopViewFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

bool zelvproTopViewFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case kFileId:
    case zelvproShapeFil::kFileId:
    case zelvproColorCatalogFil::kFileId:
    case zelvproColorGroupFil::kFileId:
    case zelvproUnitFil::kFileId:
    case zelvproDepthFil::kFileId:
    case zelvproPosSheetFil::kFileId:
    case zelvproColorCodeFil::kFileId:
    case zelvproClassFil::kFileId:
      break;
    default:
      return true;
  }
  SelectAll();
  for (int32_t i = 0; i < GetSelectedCount(); ++i) {
    ReadRecordAt(i, nullptr);
    const std::vector<int32_t> ids = LinkedIds(record_, fileId);
    if (std::find(ids.begin(), ids.end(), id) != ids.end()) return false;
  }
  return true;
}

std::vector<int32_t> zelvproTopViewFil::LinkedIds(const char* record, int32_t fileId) const {
  std::vector<int32_t> ids;
  const bool colorGroups = (flags_.Long(record) & kColorGroupFlag) != 0;
  switch (fileId) {
    case kFileId:
      Append(ids, BlobWords::FirstWords(dropItems_.Data(record), kDropItemBytes));
      Append(ids, BlobWords::FirstWords(subItems_.Data(record), kSubItemBytes));
      break;
    case zelvproShapeFil::kFileId:
      ids = BlobWords::FirstWords(subelements_.Data(record), kSubelementBytes);
      break;
    case zelvproColorCatalogFil::kFileId:
      if (!colorGroups) ids = colors_.Words(record);
      break;
    case zelvproColorGroupFil::kFileId:
      if (colorGroups) ids = colors_.Words(record);
      break;
    case zelvproUnitFil::kFileId:
      ids = UnitIds(record);
      break;
    case zelvproDepthFil::kFileId:
      ids = depths_.Words(record);
      break;
    case zelvproPosSheetFil::kFileId:
      AppendLink(ids, posSheet_.Long(record));
      break;
    case zelvproColorCodeFil::kFileId:
      AppendLink(ids, colorCode_.Long(record));
      break;
    case zelvproClassFil::kFileId:
      ids = ClassIds(record);
      break;
    default:
      break;
  }
  return ids;
}

std::vector<int32_t> zelvproTopViewFil::UnitIds(const char* record) const {
  std::vector<int32_t> ids = BlobWords::FirstWords(units_.Data(record), kUnitBytes);
  const std::vector<int32_t> options = options_.Words(record);
  for (const BlobWords::Group& g : BlobWords::Groups(options, 1))
    ids.insert(ids.end(), options.begin() + g.begin, options.begin() + g.end);
  const std::vector<int32_t> available = available_.Words(record);
  for (const BlobWords::Group& g : BlobWords::Groups(available, kAvailableHead)) {
    if (g.end > g.begin + kAvailableHead)
      ids.insert(ids.end(), available.begin() + g.begin + kAvailableHead, available.begin() + g.end);
  }
  const std::vector<int32_t> excludes = excludes_.Words(record);
  for (const BlobWords::Group& g : BlobWords::Groups(excludes, 1)) ids.push_back(excludes[g.begin]);
  return ids;
}

std::vector<int32_t> zelvproTopViewFil::ClassIds(const char* record) const {
  std::vector<int32_t> ids;
  AppendLink(ids, classLink_.Long(record));
  const std::vector<int32_t> available = available_.Words(record);
  for (const BlobWords::Group& g : BlobWords::Groups(available, kAvailableHead))
    ids.push_back(available[g.begin]);
  return ids;
}

void zelvproTopViewFil::ConvertSnappoints(int32_t from, int32_t) {
  RewriteEveryRecord(*this, [&](char* record) { ConvertSnapPointBlob(snappoints_.Data(record), from); });
}
