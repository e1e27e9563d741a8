// Unit records: the catalogue's units (cabinets, worktops, accessories) with their sizes, shapes
// and options.
// The table of a catalogue database bound to layout "qxUnit"; it owns the tables its links name.
//
// Blob entries are little-endian 32-bit words; word 0 of an entry is, as a rule, a record id:
// "shapes" 24 bytes (shape), "shapes3D" 40 bytes, or 64 when "useParametrics" has kLongShapeEntries
// (word 0 a shape, or a 3D shape when word 1, the body type, is 4 in the 64-byte form; word 9 the
// entry's flags), "subUnits" 28 bytes (top view), "parametrics" 44 bytes, or 48 with
// kLongParametricEntries (parametric part), "pricingIncludes" 8 bytes (unit, colour), "depths" 4
// bytes (depth), "depthUnits" 8 bytes (depth, unit), "partsList" 12 bytes (unit). "anchors" holds an
// embedded table (see qxAnchorFil).
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxAnchorFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "foundation/ppVector3.h"

class iUnit3DElement;
class qx3DObject;
struct TripleWithSet;

class zelvproUnitFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5413;
  static constexpr const char* kLayout = "qxUnit";
  // "useParametrics" bits.
  static constexpr int32_t kHasParametrics = 1, kLongShapeEntries = 2, kLongParametricEntries = 4;

  explicit zelvproUnitFil(ppDatabase& database);
  ~zelvproUnitFil() override;

  // "tname": the option value's "tname" when the unit names one (nothing else is looked up), else
  // the widened "name1" or text record id x 10 of the current language; "tnumber": the widened
  // "number1" or text record id x 10 + 1.
  void AfterRead(char* buffer) override;
  // "tnumber" as the buffer holds it, a blank and "name1".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while a unit refers to record `id` of file `fileId` (top view, shape, colour, unit,
  // parametric part, depth, preview, colour code, note, option value or 3D shape). Reads the units
  // into a scratch buffer: selection, current record and buffer stay.
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;
  // Without a field map these import through the program's import map of unit records.
  void ImportFromFile(Handle fieldMap, const ppFileSpec& path) override;
  void ImportWithFileDialog(Handle fieldMap) override;

  // The catalogue upgrade's pass over the units of catalogue version `from` (0 to 3): every pipe and
  // round body entry (types 2 and 3) of "shapes3D" gets flags 0; other entries keep theirs. Every
  // unit is written back, changed or not; `to` is not used.
  virtual void ResetRoundShapeFlags(int32_t from, int32_t to);

  // The element's 3D layers of unit `unitId` (see Unit3DAssembly): shared with every element that shows
  // the unit at the same depth from the same catalogue, or the caller's alone for an element with a
  // size of its own.
  std::shared_ptr<TripleWithSet> GetUnitLayer3D(int32_t unitId, iUnit3DElement& element);
  // The unit's bodies added to the front of `chain` (see Unit3DAssembly::BuildUnit3DObjects).
  std::unique_ptr<qx3DObject> BuildUnit3DObjects(int32_t unitId, iUnit3DElement& element,
                                                 std::unique_ptr<qx3DObject> chain, uint32_t resolve,
                                                 const ppVector3& offset, float angle, uint32_t context,
                                                 uint32_t extra);

  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }
  zelvproPreviewFil& PreviewFile() const { return *previewFile_; }
  // The anchors of the unit read last (bound to this table's record buffer).
  qxAnchorFil& AnchorFile() const { return *anchorFile_; }
  zelvproOptionValueFil& OptionValueFile() const { return *optionValueFile_; }

 private:
  void ResetRoundShapes(char* record) const;
  bool RefersTo(const char* record, int32_t fileId, int32_t id) const;
  bool HasShape(const char* record, int32_t id, bool shape3D) const;
  uint32_t ShapeEntrySize(const char* record) const;

  RecordField name1_, number1_, tname_, tnumber_, optionValue_, useParametrics_;
  RecordField shapes_, shapes3D_, subUnits_, parametrics_, pricingIncludes_, depths_, depthUnits_, partsList_;
  RecordField refTo_, topView_, preview_, note_, note2_, colorCode_, anchors_;
  std::unique_ptr<zelvproShapeFil> shapeFile_;
  std::unique_ptr<zelvproPreviewFil> previewFile_;
  std::unique_ptr<qxAnchorFil> anchorFile_;
  std::unique_ptr<zelvproOptionValueFil> optionValueFile_;
};
