// The render-state half of a 3D drawing context: colour, textures, lights, blending, buffers and the
// depth and cull tests. Colours are 0..1 floats; the enumerations are OpenGL 1.1 values (GL_BACK
// 0x405, GL_LEQUAL 0x203, GL_FILL 0x1B02, ...). Every operation is empty here except the two noted.
#pragma once

#include <cstdint>

#include "foundation/ppVector3.h"

class ppPicture;

class iEffect {
 public:
  virtual ~iEffect() = default;

  virtual void SetColor(float /*r*/, float /*g*/, float /*b*/, float /*a*/) {}
  // Calls SetColor with the same values.
  virtual void SetColorFromArgs(float r, float g, float b, float a) { SetColor(r, g, b, a); }
  // The texture name for a picture; 0 here (no textures).
  virtual uint32_t CreateTexture(const ppPicture* /*picture*/) { return 0; }
  virtual void BindTexture(uint32_t /*name*/) {}
  virtual void SetTextureParameterA(bool /*repeat*/) {}
  virtual void SetTextureParameterB(bool /*smooth*/) {}
  // Removes every light.
  virtual void SetLighting() {}
  virtual void EnableLighting(bool /*on*/) {}
  virtual void SetLightModel(float /*r*/, float /*g*/, float /*b*/, float /*a*/) {}
  // Adds one positional light with its colour and its constant, linear and quadratic attenuation.
  virtual void SetLight(const ppVector3& /*position*/, float /*r*/, float /*g*/, float /*b*/, float /*a*/,
                        float /*constant*/, float /*linear*/, float /*quadratic*/) {}
  virtual void SetBlending(bool /*on*/) {}
  virtual void SetLineWidth(float /*width*/) {}
  virtual void SetPolygonOffset(float /*factor*/, float /*units*/) {}
  virtual void SetPolygonMode(uint32_t /*mode*/) {}
  virtual void SetBlendFunction(uint16_t /*source*/, uint16_t /*destination*/) {}
  virtual void SetDrawBuffer(uint16_t /*buffer*/) {}
  virtual void SetReadBuffer(uint16_t /*buffer*/) {}
  virtual void CopyBuffer(uint16_t /*readBuffer*/, uint16_t /*drawBuffer*/, uint16_t /*pixelType*/,
                          int32_t /*x*/, int32_t /*y*/, int32_t /*width*/, int32_t /*height*/) {}
  // 0 switches culling off.
  virtual void SetCullFace(uint32_t /*face*/) {}
  // GL_ALWAYS switches the depth test off.
  virtual void SetDepthFunction(uint32_t /*function*/) {}
  virtual void SetWriteMasks(bool /*r*/, bool /*g*/, bool /*b*/, bool /*a*/, bool /*depth*/) {}
};
