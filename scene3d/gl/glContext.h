// The OpenGL drawing context of the 3D views: the whole iContext on OpenGL 1.1 with GLU, bound to one
// device context whose pixel format is already set. Each operation is one fixed sequence of OpenGL
// calls; the context keeps what OpenGL cannot be asked for cheaply (viewport, aspect ratio, light
// count, read and draw buffers, pick mode), caches a texture per picture and a display list per shape,
// and picks by OpenGL selection.
//
// The rendering context is its own: it never shares lists or textures with the 2D drawing's master
// context. Operations draw only while the context is current (MakeCurrent); a context that could not
// be made draws nothing and answers 0. Platform contexts draw into a buffer of their own that reaches
// the window or bitmap at glFlush, SwapBuffers and MakeCurrent, so pixels are read after those.
// One thread at a time: the one that made it current.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <vector>

#include "foundation/DoubleVector.h"
#include "platform/Wgl.h"
#include "scene3d/context/iContext.h"
#include "scene3d/gl/glPickHits.h"

class glContext : public iContext {
 public:
  static constexpr size_t kSelectWords = 512;

  // Makes the rendering context on `dc` (not owned) and sets the initial state. With `immediate`,
  // nothing is cached: for contexts that live for a single pass.
  glContext(plat::HDC dc, bool immediate);
  ~glContext() override;
  glContext(const glContext&) = delete;
  glContext& operator=(const glContext&) = delete;

  // Makes the context current on `dc` (true) or finishes its drawing and releases it (false; only
  // when it is the current one). False when it failed; plat::GetLastError tells why.
  bool MakeCurrent(bool on);
  bool IsValid() const { return rc_ != nullptr; }
  plat::HGLRC GetRenderingContext() const { return rc_; }

  // ---- iShape3D
  void Begin(uint32_t mode) override;
  void TexCoord(float s, float t) override;
  void EdgeFlag(bool flag) override;
  void Normal(float x, float y, float z) override;
  void Vertex(float x, float y, float z) override;
  void End() override;
  // Draws the shape (runs of its triangles as one batch); answers its display-list name (0 when not listed:
  // in immediate mode, for a shape never given values, or an empty one).
  uint32_t DrawShape(const ppShape3D* shape) override;
  void CallList(uint32_t list) override;

  // ---- iEffect
  // Alpha exactly 0 masks the colour writes off (depth only); any other alpha switches them on.
  void SetColor(float r, float g, float b, float a) override;
  // The texture name for the picture, made, uploaded and bound on first use; 0 with texturing off
  // for no picture (or an empty one) or when no name could be had.
  uint32_t CreateTexture(const ppPicture* picture) override;
  void BindTexture(uint32_t name) override;
  void SetTextureParameterA(bool repeat) override;
  void SetTextureParameterB(bool smooth) override;
  void SetLighting() override;
  void EnableLighting(bool on) override;
  void SetLightModel(float r, float g, float b, float a) override;
  // Lights past the platform's maximum are ignored.
  void SetLight(const ppVector3& position, float r, float g, float b, float a, float constant, float linear,
                float quadratic) override;
  void SetBlending(bool on) override;
  void SetLineWidth(float width) override;
  void SetPolygonOffset(float factor, float units) override;
  void SetPolygonMode(uint32_t mode) override;
  // (GL_ONE, GL_ZERO) switches blending off, every other pair on.
  void SetBlendFunction(uint16_t source, uint16_t destination) override;
  void SetDrawBuffer(uint16_t buffer) override;
  void SetReadBuffer(uint16_t buffer) override;
  // x = -1 copies the stored viewport rectangle.
  void CopyBuffer(uint16_t readBuffer, uint16_t drawBuffer, uint16_t pixelType, int32_t x, int32_t y,
                  int32_t width, int32_t height) override;
  void SetCullFace(uint32_t face) override;
  void SetDepthFunction(uint32_t function) override;
  void SetWriteMasks(bool r, bool g, bool b, bool a, bool depth) override;

  // ---- iHierarchy (the current OpenGL matrix: the model view outside the projection set-ups)
  void MultMatrix(const ppMatrix4& matrix) override;
  void Translate(double x, double y, double z) override;
  void Rotate(double degrees, double x, double y, double z) override;
  void Scale(double x, double y, double z) override;
  void PushMatrix() override;
  void PopMatrix() override;
  void LoadIdentity() override;

  // ---- iContext
  // Perspective: normalised depth is -1/near at the near plane and 1/far at the far plane. Without
  // `reset` the projection is multiplied onto the current one (the pick matrix).
  void LoadMatrix(float fieldOfView, float nearPlane, float farPlane, bool reset) override;
  void SetOrthographic(float scale, float nearPlane, float farPlane, bool reset) override;
  void SetOrthographicB() override;
  void LookAt(float eyeX, float eyeY, float eyeZ, float centreX, float centreY, float centreZ, float upX,
              float upY, float upZ) override;
  // A zero or negative height keeps the aspect ratio 1.
  void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) override;
  int32_t SetPickMode(bool on) override;
  void LoadName(uint32_t name) override;
  uint32_t GetPickHit(int32_t index) override;
  void SwapBuffers(bool swap) override;
  void ResetState(float r, float g, float b, float a, uint32_t mask) override;
  ppVector3 MapPointA(const ppVector3& point) override;
  ppVector3 MapPointB(const ppVector3& point) override;
  void GetMatrix(ppMatrix4& out) override;
  float GetAspectRatio() override { return aspect_; }
  // The window depth (0..1) under the window point (x, y), y measured from the top.
  float ReadPixels(float x, float y);
  // The projection becomes the pick region of the given size centred at window point (x, y), y from
  // the bottom, as OpenGL counts; the projection matrix stays selected.
  void LoadPickMatrix(float x, float y, float width, float height);

  // ---- What the context keeps.
  bool IsPicking() const { return pickMode_; }
  uint16_t GetDrawBuffer() const { return drawBuffer_; }
  uint16_t GetReadBuffer() const { return readBuffer_; }
  int32_t GetLightCount() const { return lightCount_; }
  size_t CachedTextureCount() const { return textures_.size(); }
  size_t CachedListCount() const { return lists_.size(); }

 private:
  // Pictures are keyed by their value array; one never given values (the lone placeholder) by its
  // identity instead, so that two such pictures never share a texture.
  struct TextureKey {
    std::vector<double> values;
    uint64_t identity = 0;
    auto operator<=>(const TextureKey&) const = default;
  };
  static TextureKey KeyOf(const ppPicture& picture);

  void SetDefaultState();
  // The shape's primitives, runs of triangles batched into one.
  void Replay(const ppShape3D& shape);
  uint32_t NewTextureName();
  void UploadPicture(const ppPicture& picture);

  plat::HDC dc_;
  plat::HGLRC rc_ = nullptr;
  bool ownsContext_ = false;
  std::map<TextureKey, uint32_t> textures_;
  std::map<DoubleVector, uint32_t> lists_;
  bool pickMode_ = false;
  uint16_t readBuffer_;
  uint16_t drawBuffer_;
  std::array<int32_t, 4> viewport_{};
  std::array<uint32_t, kSelectWords> select_{};
  glPickHits hits_;
  int32_t lightCount_ = 0;
  int32_t maxLights_ = 8;
  float aspect_ = 1.0f;
};
