// Screen metrics of the virtual screen the layer draws on.
//
// The screen is 1280 x 1024 pixels unless a test or the display backend sets another size. The
// full-screen client area (what a maximised window's client can use) equals the screen until a task bar
// or caption height is set with SetFullScreenClientSize. Index values are the platform's own.
#pragma once

#include <cstdint>

namespace plat {

inline constexpr int32_t SM_CXSCREEN = 0;
inline constexpr int32_t SM_CYSCREEN = 1;
inline constexpr int32_t SM_CXFULLSCREEN = 16;
inline constexpr int32_t SM_CYFULLSCREEN = 17;

// The metric in pixels; 0 for an index the layer does not know.
int32_t GetSystemMetrics(int32_t index);

// Sets the screen size in pixels; the full-screen client area becomes the same size.
void SetVirtualScreenSize(int32_t width, int32_t height);
// Sets the full-screen client area in pixels (at most the screen size).
void SetFullScreenClientSize(int32_t width, int32_t height);

// The screen's colour depth in bits a pixel: 32 unless a test or the display backend sets another.
// Contexts of the screen and of windows answer it (GetDeviceCaps BITSPIXEL) and, at 8 or fewer bits,
// report a palette display (RASTERCAPS with RC_PALETTE). Values below 1 count as 1.
int32_t ScreenColorDepth();
void SetScreenColorDepth(int32_t bits);

}  // namespace plat
