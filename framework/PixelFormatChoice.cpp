#include "framework/PixelFormatChoice.h"

#include "platform/PixelFormat.h"
#include "platform/ResetList.h"

bool gPreferHardwarePixelFormats = false;  // user-interface thread
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("pixel format choice", [] { gPreferHardwarePixelFormats = false; });

namespace {

// Among the formats that `accept` lets through, the first with exactly the depth, else the deepest.
template <class Accept>
int32_t Pick(plat::HDC dc, int32_t count, const plat::PIXELFORMATDESCRIPTOR& want, Accept accept) {
  int32_t deepest = 0;
  int32_t deepestBits = -1;
  for (int32_t i = 1; i <= count; ++i) {
    plat::PIXELFORMATDESCRIPTOR d;
    if (!plat::DescribePixelFormat(dc, i, sizeof d, &d)) continue;
    if (!accept(d) || d.iPixelType != want.iPixelType || d.cColorBits != want.cColorBits) continue;
    if (d.cDepthBits == want.cDepthBits) return i;
    if (int32_t(d.cDepthBits) > deepestBits) {
      deepestBits = d.cDepthBits;
      deepest = i;
    }
  }
  return deepest;
}

}  // namespace

int32_t ChoosePixelFormat(plat::HDC dc, int32_t colorBits, int32_t depthBits, bool software) {
  plat::PIXELFORMATDESCRIPTOR want;
  want.dwFlags = plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_GDI | plat::PFD_SUPPORT_OPENGL |
                 (software ? plat::PFD_GENERIC_FORMAT : 0);
  want.iPixelType = plat::PFD_TYPE_RGBA;
  want.cColorBits = plat::BYTE(colorBits);
  want.cDepthBits = plat::BYTE(depthBits);
  const int32_t count = plat::DescribePixelFormat(dc, 1, sizeof want, nullptr);
  int32_t chosen = 0;
  if (gPreferHardwarePixelFormats && !software)
    chosen = Pick(dc, count, want, [](const plat::PIXELFORMATDESCRIPTOR& d) {
      return (d.dwFlags & plat::PFD_DOUBLEBUFFER) && !(d.dwFlags & plat::PFD_GENERIC_FORMAT);
    });
  if (!chosen)
    chosen = Pick(dc, count, want, [&](const plat::PIXELFORMATDESCRIPTOR& d) {
      return (d.dwFlags & plat::PFD_GENERIC_FORMAT) && (d.dwFlags & want.dwFlags) == want.dwFlags;
    });
  plat::SetPixelFormat(dc, chosen, &want);
  return chosen;
}
