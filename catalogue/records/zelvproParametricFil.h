// Parametric records: flat parts designed for one size that units stretch to their own.
// The table of a catalogue database bound to layout "qxParametric"; it owns the tables its links name.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproRecordFil.h"

class zelvproParametricFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5419;
  static constexpr const char* kLayout = "qxParametric";

  explicit zelvproParametricFil(ppDatabase& database);
  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }

 private:
  std::unique_ptr<zelvproShapeFil> shapeFile_;
};
