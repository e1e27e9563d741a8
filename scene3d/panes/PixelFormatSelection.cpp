#include "scene3d/panes/PixelFormatSelection.h"

#include <algorithm>

#include "framework/PixelFormatChoice.h"
#include "platform/Gdi.h"
#include "platform/ResetList.h"

namespace {

// User-interface thread.
int32_t gLastChosen = 0;
[[maybe_unused]] const bool kReset = plat::ResetList::Add("3D pane pixel format", [] { gLastChosen = 0; });

int32_t Pass(const std::vector<plat::PIXELFORMATDESCRIPTOR>& offered, const plat::PIXELFORMATDESCRIPTOR& want,
             bool software) {
  int32_t found = 0;
  for (size_t i = 0; i < offered.size(); ++i) {
    const plat::PIXELFORMATDESCRIPTOR& d = offered[i];
    if ((d.dwFlags & want.dwFlags) != want.dwFlags) continue;
    if (!software && (d.dwFlags & plat::PFD_GENERIC_FORMAT)) continue;
    if (d.iPixelType != want.iPixelType || d.cColorBits != want.cColorBits) continue;
    const int32_t number = int32_t(i) + 1;
    if (d.cDepthBits == PixelFormatSelection::kDepthBits) return number;
    if (found == 0) {
      found = number;
    } else if (d.cDepthBits > offered[size_t(found - 1)].cDepthBits) {
      return number;
    }
  }
  return found;
}

}  // namespace

plat::PIXELFORMATDESCRIPTOR PixelFormatSelection::Request(uint8_t colorBits, bool gdi) {
  plat::PIXELFORMATDESCRIPTOR request;
  request.dwFlags = gdi ? plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_GDI | plat::PFD_SUPPORT_OPENGL
                        : plat::PFD_DOUBLEBUFFER | plat::PFD_DRAW_TO_WINDOW | plat::PFD_SUPPORT_OPENGL;
  request.iPixelType = plat::PFD_TYPE_RGBA;
  request.cColorBits = colorBits;
  request.cDepthBits = kDepthBits;
  request.iLayerType = plat::PFD_MAIN_PLANE;
  return request;
}

int32_t PixelFormatSelection::Choose(const std::vector<plat::PIXELFORMATDESCRIPTOR>& offered,
                                     const plat::PIXELFORMATDESCRIPTOR& request, bool gdi, bool accelerated) {
  int32_t chosen = 0;
  if (!gdi && accelerated) chosen = Pass(offered, request, false);
  if (chosen == 0) chosen = Pass(offered, request, true);
  return chosen;
}

bool PixelFormatSelection::SelectAndSet(plat::HDC dc, bool gdi, int32_t* chosen) {
  const int32_t colorBits = plat::GetDeviceCaps(dc, plat::BITSPIXEL) * plat::GetDeviceCaps(dc, plat::PLANES);
  plat::PIXELFORMATDESCRIPTOR request = Request(uint8_t(colorBits), gdi);
  std::vector<plat::PIXELFORMATDESCRIPTOR> offered(
      size_t(std::max(0, plat::DescribePixelFormat(dc, 1, sizeof request, nullptr))));
  for (size_t i = 0; i < offered.size(); ++i)
    plat::DescribePixelFormat(dc, int32_t(i) + 1, sizeof request, &offered[i]);
  gLastChosen = Choose(offered, request, gdi, gPreferHardwarePixelFormats);
  if (gLastChosen != 0) request = offered[size_t(gLastChosen - 1)];
  if (chosen) *chosen = gLastChosen;
  return plat::SetPixelFormat(dc, gLastChosen, &request) != 0;
}

int32_t PixelFormatSelection::LastChosen() { return gLastChosen; }
