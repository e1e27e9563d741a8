// One body of one catalogue unit: its source data (an outline, a path, a mesh or a point stream), its
// placement in the unit and its depth, texture direction and colour code. A body generates planar
// faces of vertex records and replays them, or its edge lines, into a recording shape, optionally
// already placed by its placement matrix. Builders set the public members directly, call Prepare
// once, then BuildMesh and BuildEdges as often as they like.
//
// Bodies of one unit form a chain through `next`; deleting the first deletes the rest (iteratively,
// so a long chain cannot exhaust the stack). Faces are kept in one block per body and handed out head
// first: the most recently generated face first. One thread at a time (the scratch block is shared).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/DoubleVector.h"
#include "foundation/ppFloat4.h"
#include "foundation/ppMatrix4.h"
#include "foundation/ppVector2.h"
#include "foundation/ppVector3.h"
#include "scene3d/context/ppShape3D.h"
#include "scene3d/objects/VertexRecord.h"

class iShape3D;

class qx3DObject {
 public:
  // `kind` as the builders choose it.
  static constexpr uint8_t kExtrudedOther = 0, kExtruded = 1, kExtrudedAlt = 2, kPipe = 3, kCircle = 4,
                           kParametric = 5, kMesh = 7;
  // `flags` bits: the quarter turns applied first (kTurnY wins when both are set).
  static constexpr uint32_t kTurnX = 1, kTurnY = 2;
  // `edgeFlags` bit: the side starting at this point draws no edge lines.
  static constexpr uint32_t kHiddenEdge = 1;
  // Millimetres per texture unit.
  static constexpr float kTextureScale = 400.0f;

  // A face of the body: `count` records of the body's face block from `first` on.
  struct FaceNode {
    uint32_t first = 0;
    uint32_t count = 0;
  };
  // A triangle of a cap outline, corners copied from the outline.
  using CapTriangle = std::array<ppVector2, 3>;

  // `context` is passed through by every builder and not used.
  explicit qx3DObject(uint32_t context = 0);
  virtual ~qx3DObject();
  qx3DObject(const qx3DObject&) = delete;
  qx3DObject& operator=(const qx3DObject&) = delete;

  // Precomputation once the source data are set.
  virtual void Prepare() {}
  // Regenerates the faces from the source data.
  virtual void Build() {}
  // Regenerates this body's own faces only. A body whose Build also drives the bodies after it
  // overrides this, so that meshing a chain body by body stays linear in its length.
  virtual void BuildOwnFaces() { Build(); }
  void SetKey(const DoubleVector& values) { key = values; }
  DoubleVector GetKey() const { return key; }
  // A new shape holding the faces (untransformed); the caller owns it.
  virtual std::unique_ptr<ppShape3D> CreateShape();
  // A new shape holding the edge lines; null for bodies without edges.
  virtual std::unique_ptr<ppShape3D> CreateEdgeShape() { return nullptr; }
  // The body's own colour: none in this family.
  virtual ppFloat4 GetColor() const { return ppFloat4(); }
  // Placement: the quarter turn of `flags`, the z, y and x angles of `rotation`, the extra rotation,
  // then the move by `position`, in that order for a point of the body (row vectors).
  virtual ppMatrix4 GetTransform() const;
  // Builds its own faces, then writes every face head first as Begin(9), per vertex TexCoord, Normal, Vertex,
  // End; when `transformed`, positions go through GetTransform and normals through it without its translation
  // (not renormalised).
  virtual void BuildMesh(iShape3D& shape, bool transformed);
  // Edge lines as Begin(1), two Vertex, End; none in the base.
  virtual void BuildEdges(iShape3D& /*shape*/, bool /*transformed*/) {}

  // Copies `count` records into a new face at the head of the list.
  void AddFace(size_t count, const VertexRecord* records);
  size_t FaceCount() const { return faces_.size(); }
  // Face i counted from the head (0 = the last one generated).
  const VertexRecord* FaceAt(size_t i, uint32_t* count) const;

  DoubleVector key;
  DoubleVector values2;
  int32_t groupId = 0;
  uint8_t kind = kExtrudedOther;
  // Outline or path (millimetres) of the outline bodies.
  std::vector<ppVector2> outline;
  // One word per outline point; empty means every word is 0.
  std::vector<uint32_t> edgeFlags;
  ppVector3 position;
  ppVector3 rotation;  // radians about -x, -y and z
  bool hasExtraRotation = false;
  float extraAngle = 0.0f;  // applied negated
  ppVector3 extraAxis;
  float depth = 0.0f;
  std::unique_ptr<qx3DObject> next;
  float textureDirection = 0.0f;
  int32_t colorCode = 0;
  uint32_t flags = 0;
  std::vector<CapTriangle> capTriangles;
  bool elementFlag = false;

 protected:
  // Empties the face list, keeping room for `faces` faces of `vertices` records in all.
  void ClearFaces(size_t faces = 0, size_t vertices = 0);
  uint32_t EdgeFlagAt(size_t i) const { return i < edgeFlags.size() ? edgeFlags[i] : 0; }
  // A line from a to b into `shape`, both through `m` when given.
  static void EmitLine(iShape3D& shape, ppVector3 a, ppVector3 b, const ppMatrix4* m);

 private:
  std::vector<VertexRecord> faceVertices_;
  std::vector<FaceNode> faces_;  // in generation order; handed out from the back
};
