// The 3D pane's choice of a pixel format among those a device context offers. The request asks for
// a double-buffered window format (or, for drawing beside GDI, a single-buffered one GDI can draw
// on), RGBA, the device's colour bits and 32 depth bits. Formats of the system's software renderer
// (the generic flag) take part only when no other qualifies, or at once when accelerated formats
// are not preferred or GDI drawing is asked for.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/PixelFormat.h"

class PixelFormatSelection {
 public:
  static constexpr uint8_t kDepthBits = 32;

  // The request for a context of `colorBits`.
  static plat::PIXELFORMATDESCRIPTOR Request(uint8_t colorBits, bool gdi);
  // The 1-based number of the chosen format in `offered`, 0 when none qualifies. A candidate has
  // every requested flag, the pixel type and exactly the colour bits; one of exactly 32 depth bits
  // wins at once, otherwise the first candidate stands until a later, deeper one replaces it.
  static int32_t Choose(const std::vector<plat::PIXELFORMATDESCRIPTOR>& offered,
                        const plat::PIXELFORMATDESCRIPTOR& request, bool gdi, bool accelerated);
  // Chooses among the context's formats and sets the one chosen (the request as it stands when none
  // is found). Answers SetPixelFormat's result; `chosen` receives the number.
  static bool SelectAndSet(plat::HDC dc, bool gdi, int32_t* chosen);
  // The number the last SelectAndSet chose (0 at start). User-interface thread.
  static int32_t LastChosen();
};
