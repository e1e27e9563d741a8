// One part of a parametric placement: a flat outline (millimetres) tessellated into faces, textured,
// and placed in its unit by two translations, two triples of axis turns and an optional quarter turn.
// The part generator fills the members and links the parts of one placement through `next`; the
// first part owns the rest (deleted with it by the base).
//
// Prepare tessellates the outline and Build makes the face records; both go on to the parametric
// parts that follow in the chain (up to the first body of another kind, which its own builder drives).
#pragma once

#include <cstdint>
#include <memory>

#include "scene3d/objects/qx3DObject.h"

class qx3DParametricObject : public qx3DObject {
 public:
  explicit qx3DParametricObject(uint32_t owner = 0);

  // Makes the part the generator adds to a chain; `owner` goes to its constructor.
  static std::unique_ptr<qx3DParametricObject> Create(uint32_t owner);

  void Prepare() override;
  void Build() override;
  void BuildOwnFaces() override { RebuildMesh(); }
  // The visible outline edges, untransformed.
  std::unique_ptr<ppShape3D> CreateEdgeShape() override;
  // Row vectors: a point is turned by the quarter turn of `flags` first, then by `secondRotation`
  // (z, y, x), moved by `secondTranslation`, turned by `rotation` (z, y, x) and the extra rotation,
  // and moved by `position` last.
  ppMatrix4 GetTransform() const override;
  // One line per outline side whose edge flag lacks kHiddenEdge, the last side closing the outline.
  void BuildEdges(iShape3D& shape, bool transformed) override;

  ppVector3 extraVector;        // copied from the placement; not used by the part itself
  ppVector3 secondTranslation;  // millimetres, applied after `rotation` in the unit's frame
  ppVector3 secondRotation;     // radians about -x, -y and z
  // 0: texture coordinates 0 or 1 at the outline's corners; otherwise millimetres / kTextureScale.
  uint8_t textureScaleMode = 0;

 private:
  void Tessellate();
  void RebuildMesh();
  // The parametric part after this one in the chain, or null.
  qx3DParametricObject* NextPart() const;
};
