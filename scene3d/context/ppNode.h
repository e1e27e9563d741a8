// The plain drawable scene node: one transform, a face shape, an edge shape, a texture picture and a
// colour. The shapes and the picture are not owned; whoever set them keeps them alive while the node
// can be drawn.
#pragma once

#include <cstdint>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/iNode.h"

class ppNode : public iNode {
 public:
  ppMatrix4 transform;
  ppShape3D* faces = nullptr;
  ppShape3D* edges = nullptr;
  const ppPicture* texture = nullptr;
  ppFloat4 color;
  uint32_t valueA = 0;
  uint32_t valueB = 0;
  uint32_t owner = 0;

  // Draws itself through the renderer inside its own transform.
  void Render(iRenderer& renderer) override;
  ppShape3D* GetFaces() const override { return faces; }
  ppShape3D* GetEdges() const override { return edges; }
  const ppPicture* GetTexture() const override { return texture; }
  ppFloat4 GetColor() const override { return color; }
  uint32_t GetValueA() const override { return valueA; }
  uint32_t GetValueB() const override { return valueB; }
  uint32_t GetOwner() const override { return owner; }
};
