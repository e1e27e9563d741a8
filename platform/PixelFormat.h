#pragma once
// Pixel formats of OpenGL drawing on a device context: the descriptor record the program fills and
// reads (40 bytes, the platform's field order and flag values), the list of formats a context offers,
// and the choice and setting of one.
//
// Every context offers the same few formats, all rendered in software by Mesa (so all carry the
// generic flag): colour bits equal to the device's (32 for windows, the bitmap's for a memory context
// with a DIB section selected), 24 depth bits, 8 stencil bits, RGBA.
//   1: draw to window, GDI support, OpenGL, single-buffered
//   2: draw to window, OpenGL, double-buffered
//   3: draw to bitmap, GDI support, OpenGL, single-buffered
// When GetDeviceCaps reports other colour bits for the context (a memory context answers for the
// screen), formats 4 to 6 repeat these with those bits, so that a choice made from either succeeds.
// All draw the same way: 8 bits per colour into the target's pixels. Double buffering is only a
// label: drawing goes to the one buffer, and SwapBuffers finishes it.
// A format set on a context stays with that context (and with the window of a window context: every
// context of the same window shares one format).

#include <cstdint>

#include "platform/GdiTypes.h"

namespace plat {

struct PIXELFORMATDESCRIPTOR {
  WORD nSize = 40;
  WORD nVersion = 1;
  DWORD dwFlags = 0;
  BYTE iPixelType = 0;
  BYTE cColorBits = 0;
  BYTE cRedBits = 0;
  BYTE cRedShift = 0;
  BYTE cGreenBits = 0;
  BYTE cGreenShift = 0;
  BYTE cBlueBits = 0;
  BYTE cBlueShift = 0;
  BYTE cAlphaBits = 0;
  BYTE cAlphaShift = 0;
  BYTE cAccumBits = 0;
  BYTE cAccumRedBits = 0;
  BYTE cAccumGreenBits = 0;
  BYTE cAccumBlueBits = 0;
  BYTE cAccumAlphaBits = 0;
  BYTE cDepthBits = 0;
  BYTE cStencilBits = 0;
  BYTE cAuxBuffers = 0;
  BYTE iLayerType = 0;
  BYTE bReserved = 0;
  DWORD dwLayerMask = 0;
  DWORD dwVisibleMask = 0;
  DWORD dwDamageMask = 0;
};
static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "the program stores and compares 40-byte descriptors");

constexpr DWORD PFD_DOUBLEBUFFER = 0x00000001;
constexpr DWORD PFD_STEREO = 0x00000002;
constexpr DWORD PFD_DRAW_TO_WINDOW = 0x00000004;
constexpr DWORD PFD_DRAW_TO_BITMAP = 0x00000008;
constexpr DWORD PFD_SUPPORT_GDI = 0x00000010;
constexpr DWORD PFD_SUPPORT_OPENGL = 0x00000020;
constexpr DWORD PFD_GENERIC_FORMAT = 0x00000040;
constexpr DWORD PFD_DOUBLEBUFFER_DONTCARE = 0x40000000;
constexpr BYTE PFD_TYPE_RGBA = 0;
constexpr BYTE PFD_TYPE_COLORINDEX = 1;
constexpr BYTE PFD_MAIN_PLANE = 0;

// Error numbers GetLastError answers after a failed pixel-format or context call.
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_BUSY = 170;
constexpr DWORD ERROR_INVALID_PIXEL_FORMAT = 2000;

// The number of formats the context offers (0 for a context that is not alive). Fills `out` with
// format `index` (1-based) when `out` is given, `size` is at least 40 and the index is valid.
int32_t DescribePixelFormat(HDC dc, int32_t index, UINT size, PIXELFORMATDESCRIPTOR* out);
// The offered format nearest the request: it must have every one of the request's draw-to and support
// flags and its pixel type; among those, matching double buffering comes first, then colour bits,
// then depth bits. 0 when none qualifies.
int32_t ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR* request);
// Sets the format once; setting the same format again succeeds, another one fails.
BOOL SetPixelFormat(HDC dc, int32_t index, const PIXELFORMATDESCRIPTOR* request);
// The format set on the context (or its window), 0 when none.
int32_t GetPixelFormat(HDC dc);

// The last error of a failed call on this thread; the calls here set it.
DWORD GetLastError();
void SetLastError(DWORD error);

}  // namespace plat
