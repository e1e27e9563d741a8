// Catalogue items: what the user picks from the catalogue. Each names its group, element type,
// preview picture, top-view record and finish; "tname" is filled after every read with the item's
// name in the current language.
// The table of a catalogue database bound to layout "qxCatalogItem"; it owns a group, a top-view and
// a preview table.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproGroupFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproTopViewFil.h"

class zelvproCatalogItemFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5403;
  static constexpr const char* kLayout = "qxCatalogItem";

  explicit zelvproCatalogItemFil(ppDatabase& database);

  // "tname" = the widened "Name", replaced by text record id x 10 of the current language when the
  // catalogue has it.
  void AfterRead(char* buffer) override;
  // The item's "Name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while an item names record `id` of file `fileId`: a group ("Group"), a top view
  // ("TopView"), a colour ("finishLink") or a preview ("previewLink"). True for other files.
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  zelvproGroupFil& GroupFile() const { return *groupFile_; }
  zelvproTopViewFil& TopViewFile() const { return *topViewFile_; }
  zelvproPreviewFil& PreviewFile() const { return *previewFile_; }

 private:
  RecordField name_, group_, topView_, finishLink_, previewLink_, tname_;
  std::unique_ptr<zelvproGroupFil> groupFile_;
  std::unique_ptr<zelvproTopViewFil> topViewFile_;
  std::unique_ptr<zelvproPreviewFil> previewFile_;
};
