#pragma once
// One OpenGL rendering context (what an HGLRC names): a Mesa off-screen context that draws straight
// into the pixels of a device context's target, a window's rectangle of its top-level surface or the
// bitmap of a memory context, so that OpenGL and the 2D drawing calls share the same pixels.
//
// Mesa keeps its own colour buffer and writes it into our pixels whenever OpenGL is flushed
// (glFlush, glFinish), with the row length and row order of the target, so front-buffer drawing shows
// at once. The other direction is ours: when a context is bound, the target's pixels are drawn into
// Mesa's buffer, so 2D drawing made since the last flush is not lost under the next one. A context
// bound to a rectangle that reaches outside its surface (a child window partly out of its parent)
// draws into a buffer of its own, and only the part inside is copied.
//
// Contexts are made and deleted through the wgl calls (Wgl.h); a context is current on at most one
// thread at a time, which those calls enforce.

#include <cstdint>
#include <vector>

#include "platform/WglTarget.h"

struct osmesa_context;

namespace plat {

class GlContext {
 public:
  explicit GlContext(int32_t pixelFormat);
  ~GlContext();
  GlContext(const GlContext&) = delete;
  GlContext& operator=(const GlContext&) = delete;

  bool Valid() const { return mesa_ != nullptr; }
  int32_t PixelFormat() const { return pixelFormat_; }
  // Display lists and textures of `master` become this context's too. Only a context that was never
  // bound can join; false otherwise.
  bool ShareWith(GlContext& master);

  // Makes the context current on the calling thread, drawing into `dc`'s target; false when the
  // context cannot draw there (dead context, no drawing area). `target` is the resolved target of `dc`.
  bool Bind(HDC dc, const WglTarget& target);
  // Finishes OpenGL and writes the context's buffer into the target's pixels, telling the device
  // context that they changed. Only while bound on the calling thread.
  void Publish();
  // Publishes and leaves the calling thread with no current context.
  void Unbind();
  HDC BoundDc() const { return dc_; }
  // The window (or memory context) the bound pixels belong to; null while unbound.
  const void* BoundOwner() const { return dc_ ? target_.formatOwner : nullptr; }

 private:
  struct osmesa_context* Create(struct osmesa_context* share);
  // Where Mesa writes: the first byte of the area's lowest row in memory, its row length in pixels, and
  // whether rows go up in memory (a bottom-up bitmap).
  struct PixelView {
    uint8_t* base = nullptr;
    int32_t rowLength = 0;
    bool rowsUp = false;
  };
  PixelView DirectView() const;
  PixelView ScratchView();
  bool InsideSurface() const;
  bool TargetStillValid() const;
  void CopyScratch(bool toSurface);
  void UploadTarget(const PixelView& view);

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
  bool usesScratch_ = false;
  std::vector<uint32_t> scratch_;  // top-down, target-sized, when the area is not wholly inside
};

}  // namespace plat
