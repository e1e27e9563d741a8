#include "scene3d/context/ppStandardContext.h"

#include "foundation/TolerantMath.h"

ppStandardContext::ppStandardContext(bool recording) : stack_(1), recording_(recording) {}

void ppStandardContext::Begin(uint32_t mode) {
  if (recording_) mesh_.Begin(mode);
}

void ppStandardContext::TexCoord(float s, float t) {
  if (recording_) mesh_.TexCoord(s, t);
}

void ppStandardContext::EdgeFlag(bool flag) {
  if (recording_) mesh_.EdgeFlag(flag);
}

void ppStandardContext::Normal(float x, float y, float z) {
  if (recording_) mesh_.Normal(x, y, z);
}

void ppStandardContext::Vertex(float x, float y, float z) {
  if (recording_) mesh_.Vertex(x, y, z);
}

void ppStandardContext::End() {
  if (recording_) mesh_.End();
}

uint32_t ppStandardContext::DrawShape(const ppShape3D* shape) {
  if (shape != nullptr) {
    const ppMatrix4 top = Top();
    shape->ReplayTransformed(*this, top);
  }
  return 0;
}

void ppStandardContext::MultMatrix(const ppMatrix4& matrix) {
  // OpenGL's current x matrix, for column vectors, is matrix x current for our row vectors.
  ppMatrix4 product;
  matrix.Multiply(product, Top());
  Top() = product;
}

void ppStandardContext::Translate(double x, double y, double z) {
  Top().Translate(ppVector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)));
}

void ppStandardContext::Rotate(double degrees, double x, double y, double z) {
  ppVector3 axis(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
  if (axis.Length() == 0) return;  // no direction to turn about
  Top().RotateAxis(static_cast<float>(degrees) * geom::kPi / 180.0, axis);
}

void ppStandardContext::Scale(double x, double y, double z) {
  Top().ScaleRows(ppVector3(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)));
}

void ppStandardContext::PushMatrix() { stack_.push_back(Top()); }

void ppStandardContext::PopMatrix() {
  if (stack_.size() > 1) stack_.pop_back();
}

void ppStandardContext::LoadIdentity() { Top().SetIdentity(); }

void ppStandardContext::GetMatrix(ppMatrix4& out) { out = Top(); }
