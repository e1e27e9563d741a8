#include "platform/GlContext.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cstring>

#include "platform/Gdi.h"

namespace plat {
namespace {

constexpr GLint kDepthBits = 24;
constexpr GLint kStencilBits = 8;

// The pixel operations below must not be changed by whatever state the program left: they run
// between a push and a pop of every attribute and of the client pixel-store state.
class PixelStateGuard {
 public:
  PixelStateGuard() {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    for (GLenum cap : {GL_DEPTH_TEST, GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_SCISSOR_TEST, GL_FOG,
                       GL_TEXTURE_1D, GL_TEXTURE_2D, GL_COLOR_LOGIC_OP, GL_DITHER, GL_INDEX_LOGIC_OP}) {
      glDisable(cap);
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glPixelStorei(GL_PACK_SWAP_BYTES, GL_FALSE);
    glPixelTransferf(GL_RED_SCALE, 1.0f);
    glPixelTransferf(GL_GREEN_SCALE, 1.0f);
    glPixelTransferf(GL_BLUE_SCALE, 1.0f);
    glPixelTransferf(GL_ALPHA_SCALE, 1.0f);
    glPixelTransferf(GL_RED_BIAS, 0.0f);
    glPixelTransferf(GL_GREEN_BIAS, 0.0f);
    glPixelTransferf(GL_BLUE_BIAS, 0.0f);
    glPixelTransferf(GL_ALPHA_BIAS, 0.0f);
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
  }
  ~PixelStateGuard() {
    glPopClientAttrib();
    glPopAttrib();
  }
  PixelStateGuard(const PixelStateGuard&) = delete;
  PixelStateGuard& operator=(const PixelStateGuard&) = delete;
};

bool InRenderMode() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_RENDER;
}

}  // namespace

GlContext::GlContext(int32_t pixelFormat) : pixelFormat_(pixelFormat) { mesa_ = Create(nullptr); }

GlContext::~GlContext() {
  if (mesa_) OSMesaDestroyContext(mesa_);
}

struct osmesa_context* GlContext::Create(struct osmesa_context* share) {
  return OSMesaCreateContextExt(OSMESA_BGRA, kDepthBits, kStencilBits, 0, share);
}

bool GlContext::ShareWith(GlContext& master) {
  if (everBound_ || !master.mesa_ || &master == this) return false;
  struct osmesa_context* shared = Create(master.mesa_);
  if (!shared) return false;
  if (mesa_) OSMesaDestroyContext(mesa_);
  mesa_ = shared;
  return true;
}

bool GlContext::InsideSurface() const {
  const Surface& s = *target_.surface;
  return target_.x >= 0 && target_.y >= 0 && target_.x + target_.width <= s.Width() &&
         target_.y + target_.height <= s.Height();
}

GlContext::PixelView GlContext::DirectView() const {
  Surface& s = *target_.surface;
  PixelView view;
  if (s.Stride() >= 0) {
    view.base = s.Row(target_.y) + size_t(target_.x) * 4;
    view.rowLength = s.Stride() / 4;
  } else {
    view.base = s.Row(target_.y + target_.height - 1) + size_t(target_.x) * 4;
    view.rowLength = -s.Stride() / 4;
    view.rowsUp = true;
  }
  return view;
}

GlContext::PixelView GlContext::ScratchView() {
  PixelView view;
  view.base = reinterpret_cast<uint8_t*>(scratch_.data());
  view.rowLength = std::max(1, target_.width);
  return view;
}

// Copies the part of the area that lies inside the surface between the surface and the scratch buffer.
void GlContext::CopyScratch(bool toSurface) {
  Surface& s = *target_.surface;
  int32_t x0 = std::max(0, target_.x), x1 = std::min(s.Width(), target_.x + target_.width);
  int32_t y0 = std::max(0, target_.y), y1 = std::min(s.Height(), target_.y + target_.height);
  if (x0 >= x1) return;
  for (int32_t y = y0; y < y1; ++y) {
    uint32_t* surfaceRow = s.Row32(y) + x0;
    uint32_t* scratchRow = scratch_.data() + size_t(y - target_.y) * size_t(target_.width) + (x0 - target_.x);
    size_t bytes = size_t(x1 - x0) * 4;
    if (toSurface) {
      std::memcpy(surfaceRow, scratchRow, bytes);
    } else {
      std::memcpy(scratchRow, surfaceRow, bytes);
    }
  }
}

bool GlContext::Bind(HDC dc, const WglTarget& target) {
  if (!mesa_ || target.width <= 0 || target.height <= 0) return false;
  bool moved = !dc_ || target.surface != target_.surface || target.x != target_.x || target.y != target_.y ||
               target.width != target_.width || target.height != target_.height ||
               target.surface->Row(0) != boundBase_;
  // Mesa may still point into the old scratch buffer until it is bound anew: that memory lives
  // until the end of this call.
  std::vector<uint32_t> previous;
  previous.swap(scratch_);
  target_ = target;
  dc_ = dc;
  usesScratch_ = !InsideSurface();
  if (usesScratch_) {
    scratch_.assign(size_t(target_.width) * size_t(target_.height), 0);
    CopyScratch(false);
  }
  PixelView view = usesScratch_ ? ScratchView() : DirectView();
  if (!OSMesaMakeCurrent(mesa_, view.base, GL_UNSIGNED_BYTE, target_.width, target_.height)) {
    dc_ = nullptr;
    return false;
  }
  OSMesaPixelStore(OSMESA_ROW_LENGTH, view.rowLength);
  OSMesaPixelStore(OSMESA_Y_UP, view.rowsUp ? 1 : 0);
  if (!everBound_) {
    // A window's context starts drawing into its front buffer, as a single-buffered one does.
    glDrawBuffer(GL_FRONT);
    glReadBuffer(GL_FRONT);
  }
  everBound_ = true;
  boundBase_ = target_.surface->Row(0);
  boundBitmap_ = GetCurrentObject(dc, OBJ_BITMAP);
  boundSurfaceWidth_ = target_.surface->Width();
  boundSurfaceHeight_ = target_.surface->Height();
  // A memory bitmap's changes are not counted in its generation. So the target's pixels go in unless
  // they are known to be what Mesa holds already.
  if (moved || !target_.window || target_.surface->Generation() != syncedGeneration_ || usesScratch_) {
    UploadTarget(view);
  }
  return true;
}

bool GlContext::TargetStillValid() const {
  if (!dc_) return false;
  if (!target_.window) {
    // Asking a memory context for its surface would re-read the bitmap's bits over what Mesa wrote;
    // the selected bitmap tells whether the pixels are still there.
    return GetCurrentObject(dc_, OBJ_BITMAP) == boundBitmap_;
  }
  if (GetDCSurface(dc_) != target_.surface) return false;
  const Surface& s = *target_.surface;
  return s.Row(0) == boundBase_ && s.Width() == boundSurfaceWidth_ && s.Height() == boundSurfaceHeight_;
}

// The pixels go in as a texture drawn over the whole area (Mesa's glDrawPixels leaves the context
// slower for every later frame; a textured quad does not).
void GlContext::UploadTarget(const PixelView& view) {
  if (!InRenderMode()) return;
  PixelStateGuard guard;
  glPushAttrib(GL_ALL_ATTRIB_BITS);  // again, for what the quad changes beyond pixel state
  for (GLenum cap : {GL_LIGHTING, GL_CULL_FACE, GL_POLYGON_STIPPLE, GL_TEXTURE_3D, GL_TEXTURE_CUBE_MAP,
                     GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_TEXTURE_GEN_R, GL_TEXTURE_GEN_Q, GL_CLIP_PLANE0,
                     GL_CLIP_PLANE1, GL_CLIP_PLANE2, GL_CLIP_PLANE3, GL_CLIP_PLANE4, GL_CLIP_PLANE5}) {
    glDisable(cap);
  }
  glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
  glDrawBuffer(GL_FRONT);
  glViewport(0, 0, target_.width, target_.height);
  for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
    glMatrixMode(matrix);
    glPushMatrix();
    glLoadIdentity();
  }
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, view.rowLength);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, target_.width, target_.height, 0, GL_BGRA, GL_UNSIGNED_BYTE, view.base);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  // The texture's first row is the lowest in memory: the top of the area unless rows go up.
  float top = view.rowsUp ? 1.0f : 0.0f, bottom = 1.0f - top;
  glBegin(GL_QUADS);
  glTexCoord2f(0, bottom);
  glVertex2f(-1, -1);
  glTexCoord2f(1, bottom);
  glVertex2f(1, -1);
  glTexCoord2f(1, top);
  glVertex2f(1, 1);
  glTexCoord2f(0, top);
  glVertex2f(-1, 1);
  glEnd();
  glDeleteTextures(1, &texture);
  for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
    glMatrixMode(matrix);
    glPopMatrix();
  }
  glPopAttrib();  // the matrix mode comes back with it
  // Mesa now holds what the pixels hold; flushing here leaves nothing pending that a later flush
  // would write over 2D drawing made in between.
  glFlush();
  syncedGeneration_ = target_.surface->Generation();
}

void GlContext::Publish() {
  if (!dc_) return;
  if (!TargetStillValid()) {
    // The pixels moved or went away: Mesa must not write to where they were.
    std::vector<uint32_t> previous;
    previous.swap(scratch_);
    scratch_.assign(size_t(target_.width) * size_t(target_.height), 0);
    OSMesaMakeCurrent(mesa_, scratch_.data(), GL_UNSIGNED_BYTE, target_.width, target_.height);
    OSMesaPixelStore(OSMESA_ROW_LENGTH, target_.width);
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    glFinish();
    usesScratch_ = false;
    dc_ = nullptr;
    return;
  }
  // When 2D drawing changed the pixels since Mesa last matched them, Mesa's buffer lacks it: the next
  // bind must draw the pixels in again.
  bool inStep = target_.surface->Generation() == syncedGeneration_;
  glFinish();  // Mesa writes what is pending into the bound pixels
  if (usesScratch_) CopyScratch(true);
  SurfaceChanged(dc_);
  if (inStep) syncedGeneration_ = target_.surface->Generation();
}

void GlContext::Unbind() {
  Publish();
  OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
  dc_ = nullptr;
}

}  // namespace plat
