#pragma once
// The drawing interface of the platform layer: device contexts, drawing objects, primitives, regions,
// blits and text, with the names, argument orders and constant values the program's code uses.
// Every call is for the user-interface thread. Coordinates are logical units of the context (pixels
// unless MM_ISOTROPIC scales them); clip regions and the device origin are in device pixels.
//
// Ownership: objects made by Create* belong to the caller until DeleteObject; DeleteObject of an object
// still selected into a context is deferred until it is replaced there. Stock objects are never freed.
// Contexts made by CreateCompatibleDC / CreateSurfaceDC are freed by DeleteDC (ReleaseSurfaceDC).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/BitmapObject.h"
#include "platform/FontObject.h"
#include "platform/GdiObject.h"
#include "platform/GdiTypes.h"
#include "platform/Surface.h"

namespace plat {

// ---- Contexts over surfaces (the windowing code makes these for windows).
// A context drawing into `surface` with its logical (0, 0) at `origin` (surface pixels): the child
// window's offset. `visible` is the area the context may touch, in the context's own pixels (relative
// to the origin): the window's visible area or its update region. The surface must outlive the context.
HDC CreateSurfaceDC(Surface& surface, POINT origin, const RECT& visible);
HDC CreateSurfaceDC(Surface& surface, POINT origin, HRGN visible);  // the region is copied
// Ends a context made by CreateSurfaceDC (the same as DeleteDC).
BOOL ReleaseSurfaceDC(HDC dc);

// The surface a context draws into (the selected bitmap's for a memory context), or null. Code that
// writes pixels itself (OpenGL) calls this first and `SurfaceChanged` afterwards.
Surface* GetDCSurface(HDC dc);
void SurfaceChanged(HDC dc);
// The device origin of a context within its surface.
POINT GetDCOrigin(HDC dc);
// Makes a window context follow its window, as a kept window context does on the platform: before
// each use the context asks `follow`, which answers null while the window stands as before, or, once
// it moved, resized, showed or hid, its new client origin (surface pixels) and a new region of what
// it shows (the context's pixels; the context takes and frees it).
using ContextFollower = std::function<HRGN(POINT* origin)>;
void SetDCFollower(HDC dc, ContextFollower follow);
// Raster capabilities that GetDeviceCaps(RASTERCAPS) reports; printer contexts report their own.
void SetDCRasterCaps(HDC dc, int32_t caps);
// Makes a context answer as a display of `bits` bits a pixel (BITSPIXEL); at 8 or fewer it reports a
// palette device (RC_PALETTE), as a display of 256 colours or fewer does.
void SetDCDisplayDepth(HDC dc, int32_t bits);

// ---- Memory contexts. A new memory context holds a 1 by 1 monochrome bitmap until another is selected.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
int32_t GetDeviceCaps(HDC dc, int32_t index);  // printer contexts answer as printers
// The answer for a context as a raster surface (96 dots per inch), whatever device it stands for.
int32_t GetRasterDeviceCaps(HDC dc, int32_t index);
BOOL GdiFlush();

// ---- Drawing objects.
HPEN CreatePen(int32_t style, int32_t width, COLORREF color);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* brush);
HGDIOBJ GetStockObject(int32_t index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
HGDIOBJ GetCurrentObject(HDC dc, UINT type);
BOOL DeleteObject(HGDIOBJ object);
// Fills `buffer` with the object's description (LOGPEN, LOGBRUSH, LOGFONTA, BITMAP or DIBSECTION);
// with a null buffer answers the size needed. Returns the bytes written, 0 on failure.
int32_t GetObject(HGDIOBJ object, int32_t size, void* buffer);
inline int32_t GetObjectA(HGDIOBJ object, int32_t size, void* buffer) {
  return GetObject(object, size, buffer);
}
DWORD GetObjectType(HGDIOBJ object);
HPALETTE CreatePalette(const LOGPALETTE* palette);  // accepted; true colour ignores it
HPALETTE SelectPalette(HDC dc, HPALETTE palette, BOOL background);
UINT RealizePalette(HDC dc);

// ---- Bitmaps.
// A bitmap of 1 (monochrome) or 32 bits per pixel; `bits` (rows padded to 2 bytes) may be null.
HBITMAP CreateBitmap(int32_t width, int32_t height, UINT planes, UINT bitsPerPixel, const void* bits);
// A bitmap in the format of the context's current bitmap (monochrome for a fresh memory context).
HBITMAP CreateCompatibleBitmap(HDC dc, int32_t width, int32_t height);
// A bitmap whose pixels the caller reaches through `*bits` (1, 2, 4, 8, 24 or 32 bits per pixel,
// rows padded to 4 bytes, bottom-up for a positive height). After drawing, call GdiFlush before
// reading the pixels; drawing after writing them sees the writes.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, void* section,
                         DWORD offset);
// A device bitmap (32 bits) made from a packed DIB's header and bits.
HBITMAP CreateDIBitmap(HDC dc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage);

// ---- State.
int32_t SetROP2(HDC dc, int32_t mode);
int32_t GetROP2(HDC dc);
COLORREF SetTextColor(HDC dc, COLORREF color);
COLORREF GetTextColor(HDC dc);
COLORREF SetBkColor(HDC dc, COLORREF color);
COLORREF GetBkColor(HDC dc);
int32_t SetBkMode(HDC dc, int32_t mode);
int32_t GetBkMode(HDC dc);
int32_t SetArcDirection(HDC dc, int32_t direction);
int32_t GetArcDirection(HDC dc);
int32_t SetPolyFillMode(HDC dc, int32_t mode);
int32_t SetStretchBltMode(HDC dc, int32_t mode);
int32_t GetStretchBltMode(HDC dc);
// MM_TEXT (1:1) or MM_ISOTROPIC, where one logical unit is the smaller of viewport extent / window
// extent in x and y (a uniform scale).
int32_t SetMapMode(HDC dc, int32_t mode);
int32_t GetMapMode(HDC dc);
BOOL SetWindowExtEx(HDC dc, int32_t x, int32_t y, SIZE* old);
BOOL SetViewportExtEx(HDC dc, int32_t x, int32_t y, SIZE* old);

// ---- Primitives. The current raster operation applies to pen lines and brush fills.
BOOL MoveToEx(HDC dc, int32_t x, int32_t y, POINT* old);
BOOL GetCurrentPositionEx(HDC dc, POINT* position);
// A line from the current position to (x, y), without its last pixel; (x, y) becomes current.
BOOL LineTo(HDC dc, int32_t x, int32_t y);
BOOL Polyline(HDC dc, const POINT* points, int32_t count);
BOOL Polygon(HDC dc, const POINT* points, int32_t count);
// Cubic Bezier segments from the current position; `count` is a multiple of 3.
BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count);
// A line to the arc's start, then the arc of the ellipse in the box from the radial through
// (xr1, yr1) to the radial through (xr2, yr2), in the context's arc direction.
BOOL ArcTo(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xr1, int32_t yr1,
           int32_t xr2, int32_t yr2);
// Outline with the pen, inside filled with the brush; the figure covers left..right-1, top..bottom-1.
// Without a pen the filled area is one pixel smaller to the right and bottom.
BOOL Rectangle(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
BOOL Ellipse(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
COLORREF SetPixel(HDC dc, int32_t x, int32_t y, COLORREF color);
COLORREF GetPixel(HDC dc, int32_t x, int32_t y);
// Fills with the brush (no raster operation; right and bottom exclusive).
int32_t FillRect(HDC dc, const RECT* rect, HBRUSH brush);
BOOL PaintRgn(HDC dc, HRGN region);
BOOL FillRgn(HDC dc, HRGN region, HBRUSH brush);
BOOL FrameRgn(HDC dc, HRGN region, HBRUSH brush, int32_t width, int32_t height);

// ---- Paths: between BeginPath and EndPath the line and figure calls record instead of drawing.
BOOL BeginPath(HDC dc);
BOOL EndPath(HDC dc);
BOOL CloseFigure(HDC dc);
BOOL AbortPath(HDC dc);
// The closed path as a region (by the polygon fill mode); the path is consumed.
HRGN PathToRegion(HDC dc);

// ---- Regions (device pixels; right and bottom exclusive).
HRGN CreateRectRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
HRGN CreateRectRgnIndirect(const RECT* rect);
HRGN CreatePolygonRgn(const POINT* points, int32_t count, int32_t fillMode);
HRGN CreateEllipticRgn(int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t CombineRgn(HRGN destination, HRGN source1, HRGN source2, int32_t mode);
int32_t OffsetRgn(HRGN region, int32_t dx, int32_t dy);
int32_t GetRgnBox(HRGN region, RECT* box);
BOOL PtInRegion(HRGN region, int32_t x, int32_t y);
BOOL RectInRegion(HRGN region, const RECT* rect);
BOOL EqualRgn(HRGN a, HRGN b);
BOOL SetRectRgn(HRGN region, int32_t left, int32_t top, int32_t right, int32_t bottom);

// ---- Clipping (device pixels of the context).
// Copies the region as the context's clip; null removes the clip.
int32_t SelectClipRgn(HDC dc, HRGN region);
// 1 and a copy of the clip in `region` when there is one, 0 when there is none, -1 on error.
int32_t GetClipRgn(HDC dc, HRGN region);
int32_t IntersectClipRect(HDC dc, int32_t left, int32_t top, int32_t right, int32_t bottom);
int32_t GetClipBox(HDC dc, RECT* box);
// Moves the pixels of `scroll` (all of the visible area when null), limited to `clip`, by (dx, dy);
// the area left uncovered goes to `update` and its box to `updateRect` (either may be null).
BOOL ScrollDC(HDC dc, int32_t dx, int32_t dy, const RECT* scroll, const RECT* clip, HRGN update,
              RECT* updateRect);

// ---- Blits. Colour to monochrome: source pixels equal to the source's background colour become 1
// (white), the rest 0. Monochrome to colour: 0 becomes the destination's text colour, 1 its
// background colour.
BOOL BitBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC source, int32_t sx, int32_t sy,
            DWORD rop);
// Nearest-neighbour scaling; a negative width or height on one side mirrors.
BOOL StretchBlt(HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, HDC source, int32_t sx,
                int32_t sy, int32_t sourceWidth, int32_t sourceHeight, DWORD rop);
BOOL PatBlt(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, DWORD rop);
// From a packed DIB: `ySrc` counts from the bottom row for bottom-up bits. Returns the rows drawn,
// 0 on failure (a malformed header draws nothing).
int32_t StretchDIBits(HDC dc, int32_t x, int32_t y, int32_t width, int32_t height, int32_t xSrc, int32_t ySrc,
                      int32_t sourceWidth, int32_t sourceHeight, const void* bits, const BITMAPINFO* info,
                      UINT usage, DWORD rop);

// ---- Fonts and text. Text calls take UTF-16 (W) or Windows-1252 (A) text; count -1 means up to
// the terminating zero.
HFONT CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation, int32_t weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face);
HFONT CreateFontIndirectA(const LOGFONTA* font);
int32_t DrawTextW(HDC dc, const char16_t* text, int32_t count, RECT* rect, UINT format);
int32_t DrawTextA(HDC dc, const char* text, int32_t count, RECT* rect, UINT format);
// Draws the text with the top-left of its rectangle at (x, y) and clipped to that rectangle: what
// DrawTextW with DT_CALCRECT from (x, y) and then DrawTextW into the rectangle found show, with the
// text laid out once (twice with DT_WORDBREAK, whose lines depend on the width).
BOOL DrawTextAtW(HDC dc, int32_t x, int32_t y, const char16_t* text, int32_t count, UINT format);
// Draws at (x, y), the top-left of the text cell, turned about that point by the font's escapement.
BOOL TextOutW(HDC dc, int32_t x, int32_t y, const char16_t* text, int32_t count);
BOOL TextOutA(HDC dc, int32_t x, int32_t y, const char* text, int32_t count);
BOOL GetTextExtentPoint32W(HDC dc, const char16_t* text, int32_t count, SIZE* size);
// The selected font's cell in logical units: height = ascent (above the base line) + descent.
struct TEXTMETRICW {
  int32_t tmHeight = 0;
  int32_t tmAscent = 0;
  int32_t tmDescent = 0;
};
BOOL GetTextMetricsW(HDC dc, TEXTMETRICW* metrics);
BOOL GetTextExtentPoint32A(HDC dc, const char* text, int32_t count, SIZE* size);

// Text antialiasing (on by default); tests switch it off so that pixels are stable.
void SetTextAntialias(bool on);
bool TextAntialias();

// ---- RAII owners: unique_ptr types that DeleteObject / DeleteDC on destruction.
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Tag>
using OwnedGdi = std::unique_ptr<Tag, GdiObjectDeleter>;
using OwnedPen = OwnedGdi<PenHandleTag>;
using OwnedBrush = OwnedGdi<BrushHandleTag>;
using OwnedFont = OwnedGdi<FontHandleTag>;
using OwnedBitmap = OwnedGdi<BitmapHandleTag>;
using OwnedRegion = OwnedGdi<RegionHandleTag>;
using OwnedPalette = OwnedGdi<PaletteHandleTag>;

struct DcDeleter {
  void operator()(DeviceContext* dc) const { DeleteDC(dc); }
};
using OwnedDc = std::unique_ptr<DeviceContext, DcDeleter>;

// Selects an object for the scope and puts the previous one back.
class ScopedSelection {
 public:
  ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~ScopedSelection() {
    if (previous_) SelectObject(dc_, previous_);
  }
  ScopedSelection(const ScopedSelection&) = delete;
  ScopedSelection& operator=(const ScopedSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace plat
