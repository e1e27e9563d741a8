#include "catalogue/records/zelvproCatalogItemFil.h"

#include "catalogue/records/LocalisedText.h"
#include "catalogue/records/zelvproColorCatalogFil.h"

zelvproCatalogItemFil::zelvproCatalogItemFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "Name"),
      group_(*this, "Group"),
      topView_(*this, "TopView"),
      finishLink_(*this, "finishLink"),
      previewLink_(*this, "previewLink"),
      tname_(*this, "tname"),
      groupFile_(std::make_unique<zelvproGroupFil>(database)),
      topViewFile_(std::make_unique<zelvproTopViewFil>(database)),
      previewFile_(std::make_unique<zelvproPreviewFil>(database)) {}

void zelvproCatalogItemFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  Vcon::WString text = WideFromString(name_.Text(buffer));
  LocaliseRecordText(Database(), CurrentRecordId(), 0, text);
  tname_.SetWideText(buffer, text);
}

void zelvproCatalogItemFil::GetDisplayText(Vcon::String& out, char* buffer) {
  out = name_.Text(Buffer(buffer));
}

bool zelvproCatalogItemFil::AllowsDeleteOf(int32_t fileId, int32_t id) {
  switch (fileId) {
    case zelvproGroupFil::kFileId:
      return !AnyRecordHolds(group_, id);
    case zelvproTopViewFil::kFileId:
      return !AnyRecordHolds(topView_, id);
    case zelvproColorCatalogFil::kFileId:
      return !AnyRecordHolds(finishLink_, id);
    case zelvproPreviewFil::kFileId:
      return !AnyRecordHolds(previewLink_, id);
    default:
      return true;
  }
}
