#include "framework/GlSharedState.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <unordered_map>
#include <vector>

#include "framework/PixelFormatChoice.h"
#include "framework/ppPicture.h"
#include "platform/PixelFormat.h"
#include "platform/ResetList.h"

namespace {

constexpr int32_t kDepthBits = 24;

struct GlState {
  plat::HGLRC master = nullptr;
  plat::HDC masterDc = nullptr;
  bool reload = false;
  std::unordered_map<uint64_t, GLuint> textures;  // by picture identity
  std::vector<GLuint> orphans;  // textures of destroyed pictures, deleted when GL is current
  bool observing = false;
};

// User-interface thread, like the contexts it shares.
GlState& State() {
  static GlState state;
  return state;
}

void DeleteOrphans() {
  GlState& s = State();
  if (s.orphans.empty() || !plat::wglGetCurrentContext()) return;
  glDeleteTextures(GLsizei(s.orphans.size()), s.orphans.data());
  s.orphans.clear();
}

void PictureReleased(uint64_t identity) {
  GlState& s = State();
  auto it = s.textures.find(identity);
  if (it == s.textures.end()) return;
  s.orphans.push_back(it->second);
  s.textures.erase(it);
  DeleteOrphans();
}

}  // namespace

namespace {
// The master context goes with its textures; the picture observer stays installed.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("shared OpenGL state", [] {
  ReleaseOpenGL();
  State().reload = false;
});
}  // namespace

plat::HGLRC CreateGLContext(plat::HDC dc) {
  if (!dc) return nullptr;
  if (plat::GetPixelFormat(dc) == 0)
    ChoosePixelFormat(dc, plat::GetDeviceCaps(dc, plat::BITSPIXEL), kDepthBits, true);
  plat::HGLRC context = plat::wglCreateContext(dc);
  if (!context) return nullptr;
  GlState& s = State();
  if (!s.master) {
    s.master = context;
    s.masterDc = dc;
  } else {
    plat::wglShareLists(s.master, context);
  }
  if (!s.observing) {
    ppPicture::SetReleaseObserver(PictureReleased);
    s.observing = true;
  }
  return context;
}

bool IsMasterGLContext(plat::HGLRC context) { return context && context == State().master; }

void SetTextureReload(bool on) { State().reload = on; }
bool TextureReload() { return State().reload; }

void BindPictureTexture(const ppPicture& picture) {
  GlState& s = State();
  DeleteOrphans();
  auto it = s.textures.find(picture.Identity());
  if (it != s.textures.end() && !s.reload) {
    glBindTexture(GL_TEXTURE_2D, it->second);
    return;
  }
  if (it != s.textures.end()) glDeleteTextures(1, &it->second);
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  // The picture's rows are padded to 4 bytes; unpacking with that alignment keeps them straight.
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  const std::vector<uint8_t> pixels = picture.GetPixelsBGR();
  gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture.GetWidth(), picture.GetHeight(), GL_BGR, GL_UNSIGNED_BYTE,
                    pixels.data());
  s.textures[picture.Identity()] = name;
}

int32_t CachedTextureCount() { return int32_t(State().textures.size()); }

void ReleaseOpenGL() {
  GlState& s = State();
  const plat::HGLRC master = s.master;
  if (!master) return;
  const plat::HGLRC previous = plat::wglGetCurrentContext();
  const plat::HDC previousDc = plat::wglGetCurrentDC();
  if (plat::wglMakeCurrent(s.masterDc, master)) {
    for (auto& [identity, name] : s.textures) s.orphans.push_back(name);
    DeleteOrphans();
    plat::wglMakeCurrent(nullptr, nullptr);
  }
  s.textures.clear();
  s.orphans.clear();
  plat::wglDeleteContext(master);
  s.master = nullptr;
  s.masterDc = nullptr;
  if (previous && previous != master) plat::wglMakeCurrent(previousDc, previous);
}
