#include "catalogue/records/zelvproColorCodeFil.h"

#include <string>

#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"

zelvproColorCodeFil::zelvproColorCodeFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      id_(*this, "id"),
      name_(*this, "name"),
      tname_(*this, "tname"),
      defaultColor_(*this, "defaultColor"),
      colors_(*this, "colors"),
      class_(*this, "class"),
      followField_(*this, "follow") {
  ReadFollowers();
}

void zelvproColorCodeFil::ReadFollowers() {
  SelectAll();
  const int32_t count = GetSelectedCount();
  for (int32_t i = 0; i < count; ++i) {
    ReadRecordAt(i, nullptr);
    const int32_t followed = followField_.Long(record_);
    if (followed == 0) continue;
    // A follower that is gone is left out rather than failing the whole catalogue.
    if (ReadIfPresent(*this, followed)) follow_[i + 1] = CurrentRecordId();
  }
}

void zelvproColorCodeFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  SetLocalised(tname_, name_.Text(buffer), buffer, 0);
}

void zelvproColorCodeFil::GetDisplayText(Vcon::String& out, char* buffer) {
  buffer = Buffer(buffer);
  out = std::to_string(id_.Long(buffer)).c_str();
  out += " ";
  out += name_.Text(buffer);
}

bool zelvproColorCodeFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case zelvproColorCatalogFil::kFileId:
      return !AnyRecordMatches(&defaultColor_, &colors_, id);
    case zelvproClassFil::kFileId:
      return !AnyRecordHolds(class_, id);
    default:
      return true;
  }
}

void zelvproColorCodeFil::ColorsOf(int32_t codeId, Handle out) {
  HandleList::Reset(out);
  HandleList::Reset(GetSelection());
  if (id_.Exists()) Select(id_.Index(), '+', dbDatafile::kEqual, &codeId, nullptr);
  std::vector<int32_t> colors;
  if (GetSelectedCount() > 0) {
    ReadRecordAt(0, nullptr);
    colors = colors_.Words(record_);
  }
  for (int32_t color : colors) {
    if (color != 0) HandleList::Insert(out, color);
  }
  if (colors.empty()) {
    Handle all = dbDatafile::FileByName(Database(), zelvproColorCatalogFil::kLayout).AllByIndex(0);
    for (uint32_t i = 0; all != nullptr && i < HandleList::Count(all); ++i)
      HandleList::Insert(out, HandleList::At(all, i));
    HandleList::Dispose(all);
  }
  SelectAll();
}
