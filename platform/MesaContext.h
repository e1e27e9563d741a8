#pragma once
// One OpenGL rendering context (what an HGLRC names): a Mesa off-screen context whose drawing lands in
// the pixels of a device context's target, a window's rectangle of its top-level surface or the bitmap
// of a memory context, so that OpenGL and the 2D drawing calls share the same pixels.
//
// Mesa draws into a buffer of the context's own, a little larger than the area (sizes are rounded up
// to steps of 256 pixels: Mesa keeps, and never frees, its internal buffers for every size it is given,
// so a window resized by hand must not give it a new size at each step). The area is the buffer's
// bottom-left corner in OpenGL's terms; its rows are copied, top-down, into the target when drawing is
// finished: at SwapBuffers, when the context is bound again or released, and when another context is
// bound on its thread. Only the pixels OpenGL changed since the last copy are written, so 2D drawing
// made meanwhile elsewhere in the area stays. When a context is bound and the target's pixels changed
// since Mesa last matched them, they are drawn into Mesa's buffer first, so that blending and pixel
// reads see them. Parts of the area outside the surface (a child window partly out of its parent) are
// drawn but never copied.
//
// Contexts are made and deleted through the wgl calls (Wgl.h); a context is current on at most one
// thread at a time, which those calls enforce.

#include <cstdint>
#include <vector>

#include "platform/WglTarget.h"

struct osmesa_context;

namespace plat {

class MesaContext {
 public:
  explicit MesaContext(int32_t pixelFormat);
  ~MesaContext();
  MesaContext(const MesaContext&) = delete;
  MesaContext& operator=(const MesaContext&) = delete;

  bool Valid() const { return mesa_ != nullptr; }
  int32_t PixelFormat() const { return pixelFormat_; }
  // Display lists and textures of `master` become this context's too. Only a context that was never
  // bound can join; false otherwise.
  bool ShareWith(MesaContext& master);

  // Makes the context current on the calling thread, drawing for `dc`'s target; false when the
  // context cannot draw there (dead context, no drawing area). `target` is the resolved target of `dc`.
  bool Bind(HDC dc, const WglTarget& target);
  // Finishes OpenGL and copies what it changed into the target's pixels, telling the device context
  // that they changed. Only while bound on the calling thread.
  void Publish();
  // Publishes and leaves the calling thread with no current context.
  void Unbind();
  HDC BoundDc() const { return dc_; }
  // The window (or memory context) the bound pixels belong to; null while unbound.
  const void* BoundOwner() const { return dc_ ? target_.formatOwner : nullptr; }

 private:
  struct osmesa_context* Create(struct osmesa_context* share);
  bool TargetStillValid() const;
  // Makes Mesa draw into a buffer of at least the area's size; false when Mesa refuses.
  bool BindBuffer();
  // The area's pixels, as the target holds them, become Mesa's and the last-copied image.
  void TakeTargetPixels();
  void DrawIntoMesa(const uint32_t* pixels);
  // Copies the pixels Mesa changed since the last copy into the target.
  void MergeIntoTarget();
  uint32_t* BufferRow(int32_t areaRow) {
    return buffer_.data() + size_t(bufferHeight_ - target_.height + areaRow) * size_t(bufferWidth_);
  }

  struct osmesa_context* mesa_ = nullptr;
  int32_t pixelFormat_;
  bool everBound_ = false;
  HDC dc_ = nullptr;
  WglTarget target_;
  const uint8_t* boundBase_ = nullptr;  // the surface's top row when bound, to notice a reallocation
  const void* boundBitmap_ = nullptr;   // a memory context's selected bitmap when bound
  int32_t boundSurfaceWidth_ = 0;
  int32_t boundSurfaceHeight_ = 0;
  uint64_t syncedGeneration_ = 0;
  std::vector<uint32_t> buffer_;  // what Mesa writes: top-down rows of bufferWidth_ pixels
  int32_t bufferWidth_ = 0;
  int32_t bufferHeight_ = 0;
  std::vector<uint32_t> copied_;  // the area as Mesa held it at the last copy either way, top-down
};

}  // namespace plat
