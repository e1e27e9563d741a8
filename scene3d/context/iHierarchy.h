// The model-transform half of a 3D drawing context: a stack of matrices with OpenGL's semantics
// (each call applies its transform to points before the current one does). Angles are degrees,
// lengths millimetres. Every operation is empty here.
#pragma once

class ppMatrix4;

class iHierarchy {
 public:
  virtual ~iHierarchy() = default;

  virtual void MultMatrix(const ppMatrix4& /*matrix*/) {}
  virtual void Translate(double /*x*/, double /*y*/, double /*z*/) {}
  virtual void Rotate(double /*degrees*/, double /*x*/, double /*y*/, double /*z*/) {}
  virtual void Scale(double /*x*/, double /*y*/, double /*z*/) {}
  virtual void PushMatrix() {}
  virtual void PopMatrix() {}
  virtual void LoadIdentity() {}
};
