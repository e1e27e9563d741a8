// One layer of a unit's 3D view: the faces and edge lines of the unit's bodies that share one layer
// code (group x 1000 + colour code), recorded in the unit's frame, and two recorded plan figures of
// the unit. Kept by value in a unit's layer list and copied member by member. Its texture, colour
// and render flags come from the owning plan element; a layer without an owner answers no texture,
// no colour and render flags with 0xFFFF set.
#pragma once

#include <cstdint>

#include "scene3d/context/iNode.h"
#include "scene3d/context/ppShape2D.h"
#include "scene3d/context/ppShape3D.h"

class iLayerOwner;

class qxUnitLayer3D : public iNode {
 public:
  // Render-flag bit: the layer holds pipes or turned bodies.
  static constexpr uint32_t kRoundBodies = 0x8;

  void Render(iRenderer& renderer) override;
  ppShape3D* GetFaces() const override { return const_cast<ppShape3D*>(&faces); }
  ppShape3D* GetEdges() const override { return const_cast<ppShape3D*>(&edges); }
  const ppPicture* GetTexture() const override;
  ppFloat4 GetColor() const override;
  uint32_t GetRenderFlags() const override;
  // The two words the drawing element's part lends the layer (a scene copy keeps them).
  uint32_t GetValueA() const override { return valueA; }
  uint32_t GetValueB() const override { return valueB; }
  // The recorded shapes: 3D faces and edge lines, and two plan figures.
  ppShape3D* GetShape3D() { return &faces; }
  ppShape3D* GetShape3DB() { return &edges; }
  ppShape2D* GetShape2D() { return &shape2DA; }
  ppShape2D* GetShape2DB() { return &shape2DB; }

  int32_t code = 0;
  float textureDirection = -1.0f;  // -1.0: not set
  ppShape3D faces;
  ppShape3D edges;
  ppShape2D shape2DA;
  ppShape2D shape2DB;
  uint32_t valueA = 0;
  uint32_t valueB = 0;
  // The option key of the option whose part draws the layer (placement warnings); 0 for the unit's
  // own parts. Lent like the value words.
  uint32_t optionNumber = 0;
  iLayerOwner* owner = nullptr;  // not owned; set by the element that shows the layer
};
