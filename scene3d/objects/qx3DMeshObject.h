// An indexed polygon mesh from a 3D shape record, already scaled by the record's scale. Each polygon
// becomes one face; texture coordinates are the stored ones times 4. Untrusted data: a polygon or
// edge naming a vertex outside `vertices` is skipped, a polygon of fewer than three vertices makes no
// face, and a count running past the stream ends it.
#pragma once

#include <cstdint>
#include <vector>

#include "scene3d/objects/qx3DObject.h"

class qx3DMeshObject : public qx3DObject {
 public:
  // One mesh vertex as the 3D shape record stores it (36 bytes): position (millimetres before
  // scaling), texture s and t, normal, and a word not read here.
  struct MeshVertex {
    float x = 0, y = 0, z = 0;
    float s = 0, t = 0;
    float nx = 0, ny = 0, nz = 0;
    float unused = 0;
  };
  // An edge line between two vertices; the third word is not read here.
  struct MeshEdge {
    uint32_t a = 0, b = 0, unused = 0;
  };

  explicit qx3DMeshObject(uint32_t context = 0);

  void Build() override;
  std::unique_ptr<ppShape3D> CreateEdgeShape() override;
  void BuildEdges(iShape3D& shape, bool transformed) override;

  std::vector<MeshVertex> vertices;
  // The polygon count, then per polygon its vertex count and that many vertex indices.
  std::vector<uint32_t> polygons;
  std::vector<MeshEdge> edges;
  bool option4 = false;
  // One normal per polygon, from its first three vertices, instead of the vertices' own.
  bool flatNormals = false;
  uint32_t entryValue = 0;
  uint8_t reserved = 0;

 private:
  void AddPolygon(const uint32_t* indices, uint32_t count);
};

static_assert(sizeof(qx3DMeshObject::MeshVertex) == 36, "nine floats back to back");
static_assert(sizeof(qx3DMeshObject::MeshEdge) == 12, "three words back to back");
