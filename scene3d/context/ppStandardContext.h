// The context that draws nothing: it keeps a stack of model transforms with OpenGL's semantics, so
// that code walking a scene learns where each node is placed without OpenGL, and when `recording` it
// collects every primitive it receives into a mesh. The scene copy and the collision test run scenes
// through it. Matrices are ppMatrix4 values in OpenGL's memory order (row vectors, translation in row 3).
#pragma once

#include <deque>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/iContext.h"
#include "scene3d/context/ppShape3D.h"

class ppStandardContext : public iContext {
 public:
  explicit ppStandardContext(bool recording = false);

  // ---- Primitives go to the mesh while recording.
  void Begin(uint32_t mode) override;
  void TexCoord(float s, float t) override;
  void EdgeFlag(bool flag) override;
  void Normal(float x, float y, float z) override;
  void Vertex(float x, float y, float z) override;
  void End() override;
  // Replays the shape through the current transform into this context; keeps no list (answers 0).
  uint32_t DrawShape(const ppShape3D* shape) override;

  // ---- The transform stack. Each call applies its transform to points before the current one.
  void MultMatrix(const ppMatrix4& matrix) override;
  void Translate(double x, double y, double z) override;
  void Rotate(double degrees, double x, double y, double z) override;
  void Scale(double x, double y, double z) override;
  void PushMatrix() override;
  // Drops the top; the last matrix is kept, so an unbalanced pop leaves the current transform alone.
  void PopMatrix() override;
  void LoadIdentity() override;

  void GetMatrix(ppMatrix4& out) override;

  bool IsRecording() const { return recording_; }
  const ppShape3D& GetMesh() const { return mesh_; }
  size_t GetStackDepth() const { return stack_.size(); }

 private:
  ppMatrix4& Top() { return stack_.back(); }

  std::deque<ppMatrix4> stack_;
  bool recording_;
  ppShape3D mesh_;
};
