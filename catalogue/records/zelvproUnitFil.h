// Unit records: the catalogue's units (cabinets, worktops, accessories) with their sizes, shapes
// and options.
// The table of a catalogue database bound to layout "qxUnit"; it owns the tables its links name.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproUnitFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5413;
  static constexpr const char* kLayout = "qxUnit";

  explicit zelvproUnitFil(ppDatabase& database);
  // Clears the round-shape flags that catalogue versions before `to` set differently; nothing to
  // convert yet.
  virtual void ResetRoundShapeFlags(int32_t from, int32_t to);

  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }
  zelvproPreviewFil& PreviewFile() const { return *previewFile_; }
  zelvproOptionValueFil& OptionValueFile() const { return *optionValueFile_; }

 private:
  std::unique_ptr<zelvproShapeFil> shapeFile_;
  std::unique_ptr<zelvproPreviewFil> previewFile_;
  std::unique_ptr<zelvproOptionValueFil> optionValueFile_;
};
