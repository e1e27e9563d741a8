// What the unit 3D assembly and the parametric part generator read of the plan element that shows a
// unit: its depth variant, catalogue database, flag word and own size, its alternative depth, its
// colour list and how it maps a shape's texture link to a colour code. Plan elements implement it
// (with the layer queries of iLayerOwner); every answer has a neutral default.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"
#include "scene3d/objects/iLayerOwner.h"

class zelvDatabase;

class iUnit3DElement : public iLayerOwner {
 public:
  // Flag-word bits: the element has its own X, Y, Z size (GetOwnSize); copied into every body.
  static constexpr uint32_t kOwnSizeX = 0x20000000, kOwnSizeY = 0x40000000, kOwnSizeZ = 0x80000000;
  static constexpr uint32_t kCopiedToBodies = 0x4000000;

  // The element's alternative depth: used while `active` is non-zero (millimetres).
  struct AlternativeDepth {
    int32_t active = 0;
    float base = 0.0f;
    float depth = 0.0f;
  };

  // The depth record id of the element's unit (0: none).
  virtual int32_t GetDepthRecordId() { return 0; }
  // The catalogue the element comes from; null for none. Not owned.
  virtual zelvDatabase* GetDatabase() { return nullptr; }
  virtual uint32_t GetFlags() { return 0; }
  // An element with a size of its own (flag word kOwnSizeX or more) gets bodies built for it alone.
  bool HasOwnSize() { return GetFlags() >= kOwnSizeX; }
  // Millimetres, read on the axes whose kOwnSize bit is set.
  virtual ppVector3 GetOwnSize() { return ppVector3(); }
  virtual AlternativeDepth GetAlternativeDepth() { return AlternativeDepth(); }
  virtual int32_t GetDefaultColorIndex() { return 0; }
  // The colour catalogue record id of 1-based entry `index` of the element's colour list.
  virtual int32_t GetColorRecordId(int32_t /*index*/) { return 0; }
  // The colour code of a body whose shape record has texture link `code`.
  virtual int32_t MapTextureCode(int32_t code) { return code; }
};
