#include "platform/MesaContext.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/osmesa.h>

#include <algorithm>
#include <cstring>

#include "platform/Gdi.h"
#include "platform/WglFlush.h"

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

// Buffer sizes go up in steps of this many pixels.
constexpr int32_t kBufferStep = 256;

int32_t RoundUp(int32_t pixels) { return (pixels + kBufferStep - 1) / kBufferStep * kBufferStep; }

bool InRenderMode() {
  GLint mode = GL_RENDER;
  glGetIntegerv(GL_RENDER_MODE, &mode);
  return mode == GL_RENDER;
}

}  // namespace

MesaContext::MesaContext(int32_t pixelFormat) : pixelFormat_(pixelFormat) { mesa_ = Create(nullptr); }

MesaContext::~MesaContext() {
  if (mesa_) OSMesaDestroyContext(mesa_);
}

struct osmesa_context* MesaContext::Create(struct osmesa_context* share) {
  return OSMesaCreateContextExt(OSMESA_BGRA, kDepthBits, kStencilBits, 0, share);
}

bool MesaContext::ShareWith(MesaContext& master) {
  if (everBound_ || !master.mesa_ || &master == this) return false;
  struct osmesa_context* shared = Create(master.mesa_);
  if (!shared) return false;
  if (mesa_) OSMesaDestroyContext(mesa_);
  mesa_ = shared;
  return true;
}

bool MesaContext::BindBuffer() {
  int32_t width = RoundUp(target_.width), height = RoundUp(target_.height);
  if (width != bufferWidth_ || height != bufferHeight_) {
    // Mesa may still point into the old buffer until it is bound anew: that memory lives until then.
    std::vector<uint32_t> previous;
    previous.swap(buffer_);
    buffer_.assign(size_t(width) * size_t(height), 0);
    bufferWidth_ = width;
    bufferHeight_ = height;
    if (!OSMesaMakeCurrent(mesa_, buffer_.data(), GL_UNSIGNED_BYTE, width, height)) return false;
  } else if (!OSMesaMakeCurrent(mesa_, buffer_.data(), GL_UNSIGNED_BYTE, width, height)) {
    return false;
  }
  OSMesaPixelStore(OSMESA_ROW_LENGTH, bufferWidth_);
  OSMesaPixelStore(OSMESA_Y_UP, 0);
  return true;
}

bool MesaContext::Bind(HDC dc, const WglTarget& target) {
  if (!mesa_ || target.width <= 0 || target.height <= 0) return false;
  bool moved = !dc_ || target.surface != target_.surface || target.x != target_.x || target.y != target_.y ||
               target.width != target_.width || target.height != target_.height ||
               target.surface->Row(0) != boundBase_;
  target_ = target;
  dc_ = dc;
  if (!BindBuffer()) {
    dc_ = nullptr;
    return false;
  }
  if (!everBound_) {
    // As on the platform, a context's first binding sets its viewport and scissor box to the area,
    // and it draws into its one (front) buffer.
    glViewport(0, 0, target_.width, target_.height);
    glScissor(0, 0, target_.width, target_.height);
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
  if (moved || !target_.window || target_.surface->Generation() != syncedGeneration_) TakeTargetPixels();
  return true;
}

void MesaContext::TakeTargetPixels() {
  if (!InRenderMode()) return;
  const Surface& s = *target_.surface;
  copied_.assign(size_t(target_.width) * size_t(target_.height), 0);
  int32_t x0 = std::max(0, target_.x), x1 = std::min(s.Width(), target_.x + target_.width);
  int32_t y0 = std::max(0, target_.y), y1 = std::min(s.Height(), target_.y + target_.height);
  for (int32_t y = y0; x0 < x1 && y < y1; ++y) {
    std::memcpy(copied_.data() + size_t(y - target_.y) * size_t(target_.width) + (x0 - target_.x),
                s.Row32(y) + x0, size_t(x1 - x0) * 4);
  }
  DrawIntoMesa(copied_.data());
  MesaFinish();
  // Mesa's copy of what it now holds is read back, so that the comparison at the next copy sees
  // exactly Mesa's values.
  for (int32_t row = 0; row < target_.height; ++row) {
    std::memcpy(copied_.data() + size_t(row) * size_t(target_.width), BufferRow(row),
                size_t(target_.width) * 4);
  }
  syncedGeneration_ = target_.surface->Generation();
}

// The pixels go in as a texture drawn over the whole area (Mesa's glDrawPixels leaves the context
// slower for every later frame; a textured quad does not).
void MesaContext::DrawIntoMesa(const uint32_t* pixels) {
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
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, target_.width, target_.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
               pixels);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
  glEnable(GL_TEXTURE_2D);
  // The texture's first row is the area's top row.
  const float top = 0.0f, bottom = 1.0f;
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
}

void MesaContext::MergeIntoTarget() {
  Surface& s = *target_.surface;
  size_t rowBytes = size_t(target_.width) * 4;
  if (copied_.size() != size_t(target_.width) * size_t(target_.height)) {
    copied_.assign(size_t(target_.width) * size_t(target_.height), 0);
  }
  // The columns of the area that lie inside the surface.
  int32_t first = std::max(0, -target_.x), last = std::min(target_.width, s.Width() - target_.x);
  for (int32_t row = 0; row < target_.height; ++row) {
    const uint32_t* mesa = BufferRow(row);
    uint32_t* copied = copied_.data() + size_t(row) * size_t(target_.width);
    if (std::memcmp(mesa, copied, rowBytes) == 0) continue;
    int32_t y = target_.y + row;
    if (y >= 0 && y < s.Height() && first < last) {
      uint32_t* out = s.Row32(y) + target_.x;
      // Without branches, so that the compiler can do several pixels at a time.
      for (int32_t col = first; col < last; ++col) out[col] = mesa[col] != copied[col] ? mesa[col] : out[col];
    }
    std::memcpy(copied, mesa, rowBytes);
  }
}

// Asking for the surface also lets a memory bitmap take in what its caller wrote into its bits, so
// that our pixels land on top of that.
bool MesaContext::TargetStillValid() const {
  if (!dc_) return false;
  if (!target_.window && GetCurrentObject(dc_, OBJ_BITMAP) != boundBitmap_) return false;
  if (GetDCSurface(dc_) != target_.surface) return false;
  const Surface& s = *target_.surface;
  return s.Row(0) == boundBase_ && s.Width() == boundSurfaceWidth_ && s.Height() == boundSurfaceHeight_;
}

void MesaContext::Publish() {
  if (!dc_) return;
  MesaFinish();  // Mesa writes what is pending into our buffer
  if (!TargetStillValid()) {
    dc_ = nullptr;  // the pixels moved or went away; the next binding takes the new ones
    return;
  }
  // When 2D drawing changed the pixels since Mesa last matched them, Mesa's buffer lacks it: the next
  // bind must draw the pixels in again.
  bool inStep = target_.surface->Generation() == syncedGeneration_;
  MergeIntoTarget();
  SurfaceChanged(dc_);
  if (inStep) syncedGeneration_ = target_.surface->Generation();
}

void MesaContext::Unbind() {
  Publish();
  OSMesaMakeCurrent(nullptr, nullptr, 0, 0, 0);
  dc_ = nullptr;
}

}  // namespace plat
