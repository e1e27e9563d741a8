// What a unit layer asks of the plan element that shows it: the texture and colour of a layer code
// (group x 1000 + colour code) and the element's render flags. Plan elements implement it.
#pragma once

#include <cstdint>

#include "foundation/ppFloat4.h"

class ppPicture;

class iLayerOwner {
 public:
  virtual ~iLayerOwner() = default;
  // Code = colour source x 1000 + field code; null when the code names no texture. Not owned.
  virtual const ppPicture* GetTextureByCode(int32_t /*code*/) { return nullptr; }
  virtual void GetColorByCode(ppFloat4& /*out*/, int32_t /*code*/) {}
  virtual uint32_t GetRenderFlags() { return 0; }
};
