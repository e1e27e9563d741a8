// Turns a catalogue unit, as one plan element places it, into 3D layers: the bodies of the unit's 3D
// shape entries (and parametric placements) are built, grouped by layer code (group x 1000 + colour
// code) and recorded, placed in the unit's frame, into the face and edge shapes of one layer per code.
// Records of elements without a size of their own are cached per unit, depth and catalogue.
//
// Entry blobs and the records they name come from catalogue files: entries are copied out before use,
// a record that is gone makes no body, and a type-5 entry of the 64-byte form makes none either.
// User-interface thread only (the cache and the bodies' scratch block are shared).
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/unit3d/TripleWithSet.h"
#include "foundation/ppVector3.h"

class iUnit3DElement;
class qx3DObject;
class zelvproUnitFil;

class Unit3DAssembly {
 public:
  // Body-entry sizes of "shapes3D", and the 64-byte form's type that makes no body.
  static constexpr uint32_t kShortEntry = 40, kLongEntry = 64, kNoBody = 5;
  // Unit "flags" bit: the unit has depth variants in "depthUnits".
  static constexpr int32_t kHasDepthUnits = 2;

  // The element's layers of unit `unitId` read through `units`: a cached record, or for an element
  // with a size of its own a new record {-unitId, 0, database} that only the caller holds.
  static std::shared_ptr<TripleWithSet> GetUnitLayer3D(zelvproUnitFil& units, int32_t unitId,
                                                       iUnit3DElement& element);
  // Adds the bodies of unit `unitId` to the front of `chain` and answers the new head; parametric
  // parts first (when the unit has them), then one body per 3D shape entry of the unit or of its
  // depth variant for the element's depth (of several matching variants the last wins). `resolve`
  // goes to the part generator; `offset`, `angle` and `extra` are passed through unused; `context`
  // reaches every body's constructor.
  static std::unique_ptr<qx3DObject> BuildUnit3DObjects(zelvproUnitFil& units, int32_t unitId,
                                                        iUnit3DElement& element,
                                                        std::unique_ptr<qx3DObject> chain, uint32_t resolve,
                                                        const ppVector3& offset, float angle,
                                                        uint32_t context, uint32_t extra);

 private:
  static std::shared_ptr<TripleWithSet> Assemble(zelvproUnitFil& units, int32_t unitId,
                                                 iUnit3DElement& element);
};
