// Top-view records: the plan-side description of a catalogue item (outline and snap points,
// sub-elements, colours, units, sizes), from which plan elements are made.
// The table of a catalogue database bound to layout "qxTopView"; it owns the tables its links name.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproTopViewFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5405;
  static constexpr const char* kLayout = "qxTopView";

  explicit zelvproTopViewFil(ppDatabase& database);
  // Brings the snap-point blobs of every record from catalogue version `from` to `to`; nothing to
  // convert yet.
  virtual void ConvertSnappoints(int32_t from, int32_t to);

  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }
  zelvproPosSheetFil& PosSheetFile() const { return *posSheetFile_; }

 private:
  std::unique_ptr<zelvproShapeFil> shapeFile_;
  std::unique_ptr<zelvproPosSheetFil> posSheetFile_;
};
