#pragma once
// The state behind an HDC: where it draws (a window's surface at an origin, or a memory context's
// selected bitmap), what it may touch (visible area and clip region, device pixels), the selected
// objects, the drawing modes, the logical-to-device scale, the current position and an open path.
// The free functions of Gdi.h are the interface; this class keeps the state and the clipped pixel
// painting they share.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/BitmapObject.h"
#include "platform/FontObject.h"
#include "platform/GdiObject.h"
#include "platform/Region.h"
#include "platform/Surface.h"

namespace plat {

// Figures recorded between BeginPath and EndPath, in device pixels.
struct PathRecord {
  std::vector<std::vector<PointF>> figures;
  bool ended = false;
  bool figureOpen = false;  // the last figure still grows
};

class DeviceContext {
 public:
  // A context over a window's surface: device (0, 0) is `origin` in the surface; `visible` is in
  // device pixels.
  DeviceContext(Surface& surface, POINT origin, Region visible);
  // A memory context holding the stock 1 by 1 monochrome bitmap.
  DeviceContext();
  ~DeviceContext();
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  bool IsMemory() const { return surface_ == nullptr; }
  // A window context asks `follow` before each use where its window now is (see SetDCFollower).
  void SetFollower(std::function<HRGN(POINT*)> follow) { follower_ = std::move(follow); }
  void Follow();
  // A window context from GetDC tells its window, through `listener`, which of its pixels ScrollDC
  // moved (the area before the move, the context's pixels; a region the listener must not keep) and
  // by how much: the window moves the part of its pending update area lying there with them.
  void SetScrollListener(std::function<void(HRGN, int32_t, int32_t)> listener) {
    scrollListener_ = std::move(listener);
  }
  void Scrolled(const Region& moved, int32_t dx, int32_t dy);
  // The surface drawn on, or null. For a memory context, the selected bitmap's pixels.
  Surface* Target();
  // Records that pixels of the target changed (mirrors of DIB sections need copying).
  void TargetChanged();
  bool IsMonochrome() const { return IsMemory() && bitmap->IsMonochrome(); }
  POINT Origin() const { return IsMemory() ? POINT{} : origin_; }
  // The area drawing may touch, in device pixels: visible area (or the bitmap) and the clip region.
  // Worked out once and kept until the clip region, the selected bitmap or the target's size
  // changes: every drawing call asks for it, a ruler's ticks hundreds of times per paint.
  const Region& ClipArea();
  // The visible area alone, in device pixels, kept like the clip area until the selected bitmap or
  // the target's size changes.
  const Region& VisibleArea();

  // Selects `object` and returns the handle of the object of the same kind it replaced (which may
  // be freed by then, when its deletion was waiting for this); null when refused.
  HGDIOBJ Select(GdiObject* object);

  // ---- Logical to device units.
  double Scale() const;
  PointF ToDeviceF(double x, double y) const { return {x * Scale(), y * Scale()}; }
  // Device pixels are kept within 28 bits, so that sums and differences of them cannot overflow.
  POINT ToDevice(int32_t x, int32_t y) const;
  RECT ToDevice(const RECT& r) const;
  int32_t PenWidthDevice() const;

  // ---- Clipped painting in device pixels. Colours are COLORREF; monochrome targets get the nearer
  // of black and white.
  uint32_t DevicePixel(COLORREF color) const;
  void PaintRegion(const Region& region, COLORREF color, int32_t rop2);
  // The same for one rectangle (device pixels), met band by band with the clip area: no region is
  // made for it, as a small fill would spend more on building one than on its pixels.
  void PaintRect(const RECT& rect, COLORREF color, int32_t rop2);
  // Paints each distinct pixel once (so that exclusive-or figures undo exactly); pixels in the plain pen
  // operation (R2_COPYPEN) may come more than once. Reorders `pixels` for the other operations.
  void PaintPixels(std::vector<POINT>& pixels, COLORREF color, int32_t rop2);
  // Paints the pixels of a one-pixel pen polyline (device points), honouring the dash pattern.
  void StrokeThin(const std::vector<POINT>& points, bool closed);
  // Strokes a polyline with the selected pen at its device width (wide pens through cairo).
  void Stroke(const std::vector<PointF>& points, bool closed);
  // Fills with the selected brush, raster operation applied.
  void FillWithBrush(const Region& region);

  // ---- Selected objects (never null).
  PenObject* pen;
  BrushObject* brush;
  FontObject* font;
  BitmapObject* bitmap;  // memory contexts only; null for window contexts
  PaletteObject* palette;

  // ---- Modes and colours.
  int32_t rop2 = R2_COPYPEN;
  COLORREF textColor = 0;
  COLORREF bkColor = 0xFFFFFF;
  int32_t bkMode = OPAQUE;
  int32_t arcDirection = AD_COUNTERCLOCKWISE;
  int32_t polyFillMode = ALTERNATE;
  int32_t stretchMode = BLACKONWHITE;
  int32_t mapMode = MM_TEXT;
  SIZE windowExt{1, 1};
  SIZE viewportExt{1, 1};
  int32_t bitsPerPixel = 32;  // what BITSPIXEL answers; display contexts take the screen's depth
  int32_t rasterCaps = RC_BITBLT | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_STRETCHBLT | RC_STRETCHDIB;

  POINT position;         // logical units
  int32_t dashPhase = 0;  // pixels into the dash pattern, restarted by MoveToEx

  // The clip region in device pixels; none = no clip region.
  const std::optional<Region>& Clip() const { return clip_; }
  // Setting the clip region it already has keeps the clip area worked out for it: views select the
  // same clip again and again while they paint.
  void SetClip(const Region& clip);
  void SetClip(Region&& clip);
  void ClearClip();

  std::unique_ptr<PathRecord> path;

 private:
  void Release(GdiObject* object);
  // Paints the rows of `area` (device pixels, already within the clip area) of the target.
  void PaintRows(Surface& target, const RECT& area, uint32_t pixel, int32_t rop2) const;

  Surface* surface_ = nullptr;
  std::function<HRGN(POINT*)> follower_;
  std::function<void(HRGN, int32_t, int32_t)> scrollListener_;
  POINT origin_;
  Region visible_;
  std::optional<Region> clip_;
  // ClipArea's answer and what it was worked out for: the surface or selected bitmap (not owned) and
  // its size in pixels.
  Region clipArea_;
  bool clipAreaKept_ = false;
  // VisibleArea's answer, kept for the same target and size as the clip area's.
  Region visibleArea_;
  bool visibleAreaKept_ = false;
  const void* visibleAreaTarget_ = nullptr;
  int32_t visibleAreaWidth_ = 0;
  int32_t visibleAreaHeight_ = 0;
  const void* clipAreaTarget_ = nullptr;
  int32_t clipAreaWidth_ = 0;
  int32_t clipAreaHeight_ = 0;
};

}  // namespace plat
