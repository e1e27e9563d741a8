#pragma once
// Types, handles and constant values of the drawing interface the program was written against.
// The values are the platform's own numbers (the program stores and compares them), written out here
// by us. Coordinates are pixels of the device unless a mapping mode scales them; colours are COLORREF
// values 0x00BBGGRR (one byte per channel, 0..255).

#include <cstdint>

namespace plat {

class DeviceContext;
class GdiObject;
class PenObject;
class BrushObject;
class FontObject;
class BitmapObject;
class RegionObject;
class PaletteObject;

// A context handle is a pointer to our own object. A null handle is "no object".
using HDC = DeviceContext*;

// Drawing-object handles are ids that are never reused, dressed as pointers: a handle outlives its
// object, and a stale one is refused even when a new object takes the freed memory. The tags are
// never made; their common base lets a typed handle pass where HGDIOBJ is asked for, as on the
// platform, and a static_cast turns an HGDIOBJ back into a typed one.
struct GdiHandleTag {};
struct PenHandleTag : GdiHandleTag {};
struct BrushHandleTag : GdiHandleTag {};
struct FontHandleTag : GdiHandleTag {};
struct BitmapHandleTag : GdiHandleTag {};
struct RegionHandleTag : GdiHandleTag {};
struct PaletteHandleTag : GdiHandleTag {};
using HGDIOBJ = GdiHandleTag*;
using HPEN = PenHandleTag*;
using HBRUSH = BrushHandleTag*;
using HFONT = FontHandleTag*;
using HBITMAP = BitmapHandleTag*;
using HRGN = RegionHandleTag*;
using HPALETTE = PaletteHandleTag*;

using COLORREF = uint32_t;
using BOOL = int32_t;
using UINT = uint32_t;
using BYTE = uint8_t;
using WORD = uint16_t;
using DWORD = uint32_t;

constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) {
  return uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}
constexpr uint8_t GetRValue(COLORREF c) { return uint8_t(c); }
constexpr uint8_t GetGValue(COLORREF c) { return uint8_t(c >> 8); }
constexpr uint8_t GetBValue(COLORREF c) { return uint8_t(c >> 16); }
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct POINT {
  int32_t x = 0;
  int32_t y = 0;
  friend bool operator==(const POINT&, const POINT&) = default;
};

struct SIZE {
  int32_t cx = 0;
  int32_t cy = 0;
  friend bool operator==(const SIZE&, const SIZE&) = default;
};

// Right and bottom are exclusive: (0, 0, 10, 10) covers pixels 0..9 in each direction.
struct RECT {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  friend bool operator==(const RECT&, const RECT&) = default;
};

// ---- Raster operations of pens and brush fills (SetROP2): the value minus one is a truth table
// indexed by pen bit * 2 + destination bit.
constexpr int32_t R2_BLACK = 1;
constexpr int32_t R2_NOTMERGEPEN = 2;
constexpr int32_t R2_MASKNOTPEN = 3;
constexpr int32_t R2_NOTCOPYPEN = 4;
constexpr int32_t R2_MASKPENNOT = 5;
constexpr int32_t R2_NOT = 6;
constexpr int32_t R2_XORPEN = 7;
constexpr int32_t R2_NOTMASKPEN = 8;
constexpr int32_t R2_MASKPEN = 9;
constexpr int32_t R2_NOTXORPEN = 10;
constexpr int32_t R2_NOP = 11;
constexpr int32_t R2_MERGENOTPEN = 12;
constexpr int32_t R2_COPYPEN = 13;
constexpr int32_t R2_MERGEPENNOT = 14;
constexpr int32_t R2_MERGEPEN = 15;
constexpr int32_t R2_WHITE = 16;

// ---- Raster operations of blits: bits 16..23 are a truth table indexed by
// pattern bit * 4 + source bit * 2 + destination bit.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;

// ---- Background mode, arc direction, polygon fill mode, stretch mode, mapping mode.
constexpr int32_t TRANSPARENT = 1;
constexpr int32_t OPAQUE = 2;
constexpr int32_t AD_COUNTERCLOCKWISE = 1;
constexpr int32_t AD_CLOCKWISE = 2;
constexpr int32_t ALTERNATE = 1;
constexpr int32_t WINDING = 2;
constexpr int32_t BLACKONWHITE = 1;
constexpr int32_t WHITEONBLACK = 2;
constexpr int32_t COLORONCOLOR = 3;
constexpr int32_t HALFTONE = 4;
constexpr int32_t MM_TEXT = 1;
constexpr int32_t MM_ISOTROPIC = 7;

// ---- Pen styles.
constexpr int32_t PS_SOLID = 0;
constexpr int32_t PS_DASH = 1;
constexpr int32_t PS_DOT = 2;
constexpr int32_t PS_DASHDOT = 3;
constexpr int32_t PS_DASHDOTDOT = 4;
constexpr int32_t PS_NULL = 5;
constexpr int32_t PS_INSIDEFRAME = 6;

// ---- Brush styles.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;

// ---- Stock objects.
constexpr int32_t WHITE_BRUSH = 0;
constexpr int32_t LTGRAY_BRUSH = 1;
constexpr int32_t GRAY_BRUSH = 2;
constexpr int32_t DKGRAY_BRUSH = 3;
constexpr int32_t BLACK_BRUSH = 4;
constexpr int32_t NULL_BRUSH = 5;
constexpr int32_t HOLLOW_BRUSH = NULL_BRUSH;
constexpr int32_t WHITE_PEN = 6;
constexpr int32_t BLACK_PEN = 7;
constexpr int32_t NULL_PEN = 8;
constexpr int32_t SYSTEM_FONT = 13;
constexpr int32_t DEFAULT_GUI_FONT = 17;

// ---- Object types (GetObjectType).
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_MEMDC = 10;

// ---- Region combine modes and region kinds.
constexpr int32_t RGN_AND = 1;
constexpr int32_t RGN_OR = 2;
constexpr int32_t RGN_XOR = 3;
constexpr int32_t RGN_DIFF = 4;
constexpr int32_t RGN_COPY = 5;
constexpr int32_t RGN_ERROR = 0;
constexpr int32_t NULLREGION = 1;
constexpr int32_t SIMPLEREGION = 2;
constexpr int32_t COMPLEXREGION = 3;
constexpr int32_t ERROR = 0;

// ---- Device capabilities.
constexpr int32_t HORZRES = 8;
constexpr int32_t VERTRES = 10;
constexpr int32_t BITSPIXEL = 12;
constexpr int32_t PLANES = 14;
constexpr int32_t RASTERCAPS = 38;
constexpr int32_t LOGPIXELSX = 88;
constexpr int32_t LOGPIXELSY = 90;
constexpr int32_t RC_BITBLT = 0x0001;
constexpr int32_t RC_BITMAP64 = 0x0008;
constexpr int32_t RC_PALETTE = 0x0100;  // a display of at most 256 colours
constexpr int32_t RC_DI_BITMAP = 0x0080;
constexpr int32_t RC_DIBTODEV = 0x0200;
constexpr int32_t RC_STRETCHBLT = 0x0800;
constexpr int32_t RC_STRETCHDIB = 0x2000;

// ---- Fonts.
constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;
constexpr int32_t LF_FACESIZE = 32;
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;

// ---- DrawText flags.
constexpr UINT DT_TOP = 0x0000;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_BOTTOM = 0x0008;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOCLIP = 0x0100;
constexpr UINT DT_CALCRECT = 0x0400;
constexpr UINT DT_NOPREFIX = 0x0800;

// ---- DIBs.
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr DWORD CBM_INIT = 4;

// The 40-byte header of a device-independent bitmap, byte for byte as stored.
struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  int32_t biWidth = 0;
  int32_t biHeight = 0;  // positive: rows bottom-up; negative: top-down
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = BI_RGB;
  DWORD biSizeImage = 0;
  int32_t biXPelsPerMeter = 0;
  int32_t biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

// The 108-byte header (colour masks, alpha mask, colour space), byte for byte as stored.
struct BITMAPV4HEADER {
  DWORD bV4Size = 108;
  int32_t bV4Width = 0;
  int32_t bV4Height = 0;
  WORD bV4Planes = 1;
  WORD bV4BitCount = 0;
  DWORD bV4V4Compression = BI_RGB;
  DWORD bV4SizeImage = 0;
  int32_t bV4XPelsPerMeter = 0;
  int32_t bV4YPelsPerMeter = 0;
  DWORD bV4ClrUsed = 0;
  DWORD bV4ClrImportant = 0;
  DWORD bV4RedMask = 0;
  DWORD bV4GreenMask = 0;
  DWORD bV4BlueMask = 0;
  DWORD bV4AlphaMask = 0;
  DWORD bV4CSType = 0;
  int32_t bV4Endpoints[9] = {};
  DWORD bV4GammaRed = 0;
  DWORD bV4GammaGreen = 0;
  DWORD bV4GammaBlue = 0;
};
static_assert(sizeof(BITMAPV4HEADER) == 108);

// A colour-table entry: blue, green, red, reserved.
struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

// A header followed by its colour table (as many entries as the header says; declared with one).
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};

// ---- What GetObject fills in (our in-memory layouts).
struct LOGPEN {
  UINT lopnStyle = PS_SOLID;
  POINT lopnWidth;  // x is the width; y unused
  COLORREF lopnColor = 0;
};

struct LOGBRUSH {
  UINT lbStyle = BS_SOLID;
  COLORREF lbColor = 0;
  uintptr_t lbHatch = 0;
};

struct LOGFONTA {
  int32_t lfHeight = 0;  // < 0: character height; > 0: cell height; 0: default
  int32_t lfWidth = 0;
  int32_t lfEscapement = 0;   // tenths of a degree, counter-clockwise
  int32_t lfOrientation = 0;  // tenths of a degree
  int32_t lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  char lfFaceName[LF_FACESIZE] = {};
};
static_assert(sizeof(LOGFONTA) == 60);

struct BITMAP {
  int32_t bmType = 0;
  int32_t bmWidth = 0;
  int32_t bmHeight = 0;
  int32_t bmWidthBytes = 0;  // bytes per row, padded to an even count
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  void* bmBits = nullptr;  // the pixels of a DIB section, null otherwise
};

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {};
  void* dshSection = nullptr;
  DWORD dsOffset = 0;
};

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

}  // namespace plat
