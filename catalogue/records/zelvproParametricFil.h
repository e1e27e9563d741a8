// Parametric records: flat parts (facets) designed for one reference size that units place and
// stretch to their own size. The table of a catalogue database bound to layout "qxParametric"; it
// owns the shape table its facets name, and turns a unit's placement of a record into parts.
//
// "facets" holds 56-byte entries: shape id (0 = the shape of the facet before), a word not read, the
// first and second extent points (3 floats each), the X, Y and Z rule words, the body flags, the
// texture selector (0 to 9; 256 or more: none) and the texture direction.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "foundation/ppVector3.h"

class iUnit3DElement;
class qx3DObject;
class qx3DParametricObject;

class zelvproParametricFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5419;
  static constexpr const char* kLayout = "qxParametric";
  static constexpr uint32_t kFacetSize = 56;
  // Placement flags: Z keeps the reference depth's offset of 0; raise by the alternative depth.
  static constexpr uint32_t kFixedZ = 4, kRaiseByAlternativeDepth = 0x20;

  // One entry of a unit's "parametrics" blob (44 bytes, or 48 with a colour index).
  struct Placement {
    int32_t recordId = 0;  // 0 or less: no parts
    ppVector3 position, rotation, size;
    uint32_t flags = 0;
    int32_t colorIndex = 0;  // 0: the element's own
  };
  // What the generator reads of the placing unit record.
  struct Unit {
    double width = 0, height = 0, depth = 0;
    ppVector3 offset;
    int32_t useParametrics = 0;
  };

  explicit zelvproParametricFil(ppDatabase& database);
  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }

  // Adds a part per facet of the placed record to the front of `chain` and answers the new head:
  // outlines and first extent points stretched per axis to the placement, the unit and the element.
  // `throughCatalogue` resolves textures by reading the colour and texture records instead of asking
  // the element. A reference size of 0 on an axis leaves that axis unscaled. A missing parametric or
  // shape record adds no parts for it.
  std::unique_ptr<qx3DObject> buildParametricParts(iUnit3DElement& element, std::unique_ptr<qx3DObject> chain,
                                                   bool throughCatalogue, const Placement& placement,
                                                   const Unit& unit, uint32_t owner);

 private:
  struct Stretch;
  Stretch StretchFor(iUnit3DElement& element, const Placement& placement, const Unit& unit) const;
  void ResolveTexture(qx3DParametricObject& part, iUnit3DElement& element, bool throughCatalogue,
                      int32_t colorId, int32_t selector);

  std::unique_ptr<zelvproShapeFil> shapeFile_;
  RecordField height_, width_, depth_, facets_;
};
