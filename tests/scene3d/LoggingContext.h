// A context that logs every call it receives, with its arguments, as one text line each. DrawShape
// answers a fresh list name (from 100 up) when `caching`, as a display-list context does, else 0.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "foundation/ppMatrix4.h"
#include "scene3d/context/iContext.h"

class LoggingContext : public iContext {
 public:
  explicit LoggingContext(bool caching = false) : caching_(caching) {}

  std::vector<std::string> log;

  template <typename... Args>
  void Note(const char* name, Args... args) {
    std::ostringstream line;
    line << name;
    ((line << ' ' << args), ...);
    log.push_back(line.str());
  }

  void Begin(uint32_t mode) override { Note("Begin", mode); }
  void TexCoord(float s, float t) override { Note("TexCoord", s, t); }
  void EdgeFlag(bool flag) override { Note("EdgeFlag", flag); }
  void Normal(float x, float y, float z) override { Note("Normal", x, y, z); }
  void Vertex(float x, float y, float z) override { Note("Vertex", x, y, z); }
  void End() override { Note("End"); }
  uint32_t DrawShape(const ppShape3D* shape) override {
    Note("DrawShape", shape != nullptr);
    return caching_ ? nextList_++ : 0;
  }
  void CallList(uint32_t list) override { Note("CallList", list); }

  void SetColor(float r, float g, float b, float a) override { Note("SetColor", r, g, b, a); }
  uint32_t CreateTexture(const ppPicture* picture) override {
    Note("CreateTexture", picture != nullptr);
    return caching_ && picture ? nextList_++ : 0;
  }
  void BindTexture(uint32_t name) override { Note("BindTexture", name); }
  void SetTextureParameterA(bool repeat) override { Note("SetTextureParameterA", repeat); }
  void SetTextureParameterB(bool smooth) override { Note("SetTextureParameterB", smooth); }
  void SetLighting() override { Note("SetLighting"); }
  void EnableLighting(bool on) override { Note("EnableLighting", on); }
  void SetLightModel(float r, float g, float b, float a) override { Note("SetLightModel", r, g, b, a); }
  void SetLight(const ppVector3& p, float r, float g, float b, float a, float c, float l, float q) override {
    Note("SetLight", p.x, p.y, p.z, r, g, b, a, c, l, q);
  }
  void SetBlending(bool on) override { Note("SetBlending", on); }
  void SetLineWidth(float w) override { Note("SetLineWidth", w); }
  void SetPolygonOffset(float f, float u) override { Note("SetPolygonOffset", f, u); }
  void SetPolygonMode(uint32_t mode) override { Note("SetPolygonMode", mode); }
  void SetBlendFunction(uint16_t s, uint16_t d) override { Note("SetBlendFunction", s, d); }
  void SetDrawBuffer(uint16_t b) override { Note("SetDrawBuffer", b); }
  void SetCullFace(uint32_t face) override { Note("SetCullFace", face); }
  void SetDepthFunction(uint32_t f) override { Note("SetDepthFunction", f); }
  void SetWriteMasks(bool r, bool g, bool b, bool a, bool d) override {
    Note("SetWriteMasks", r, g, b, a, d);
  }

  void MultMatrix(const ppMatrix4& m) override { Note("MultMatrix", m[12], m[13], m[14]); }
  void Rotate(double deg, double x, double y, double z) override { Note("Rotate", deg, x, y, z); }
  void PushMatrix() override { Note("PushMatrix"); }
  void PopMatrix() override { Note("PopMatrix"); }
  void LoadIdentity() override { Note("LoadIdentity"); }
  void SetOrthographicB() override { Note("SetOrthographicB"); }
  void LoadName(uint32_t name) override { Note("LoadName", name); }
  // The point itself: a shape's depth is the z of its box centre.
  ppVector3 MapPointB(const ppVector3& point) override { return point; }
  void ResetState(float r, float g, float b, float a, uint32_t mask) override {
    Note("ResetState", r, g, b, a, mask);
  }

 private:
  bool caching_;
  uint32_t nextList_ = 100;
};
