// Making and ending contexts, device capabilities and the drawing modes.
#include <mutex>
#include <unordered_set>

#include "platform/GdiInternal.h"
#include "platform/GdiLock.h"
#include "platform/PrinterContextHook.h"

namespace plat {

namespace {

GdiLock gDcLock;
std::unordered_set<const DeviceContext*>& LiveDcs() {
  static auto* dcs = new std::unordered_set<const DeviceContext*>;
  return *dcs;
}

HDC Register(DeviceContext* dc) {
  std::lock_guard lock(gDcLock);
  LiveDcs().insert(dc);
  return dc;
}

PrinterContextHook gPrinters;  // installed by the printing code; user-interface thread

bool IsPrinter(HDC hdc) { return gPrinters.isPrinter && gPrinters.isPrinter(hdc); }

template <class T>
T Swap(T& field, T value) {
  T old = field;
  field = value;
  return old;
}

}  // namespace

void SetPrinterContextHook(const PrinterContextHook& hook) { gPrinters = hook; }

DeviceContext* LiveDc(HDC dc) {
  if (!dc) return nullptr;
  {
    std::lock_guard lock(gDcLock);
    if (!LiveDcs().count(dc)) return nullptr;
  }
  dc->Follow();
  return dc;
}

HDC CreateSurfaceDC(Surface& surface, POINT origin, const RECT& visible) {
  return Register(new DeviceContext(surface, origin, Region(visible)));
}

HDC CreateSurfaceDC(Surface& surface, POINT origin, HRGN visible) {
  RegionObject* region = LiveObject<RegionObject>(visible, OBJ_REGION);
  return Register(new DeviceContext(surface, origin, region ? region->region : Region()));
}

BOOL ReleaseSurfaceDC(HDC dc) { return DeleteDC(dc); }

Surface* GetDCSurface(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->Target() : nullptr;
}

void SurfaceChanged(HDC hdc) {
  if (DeviceContext* dc = LiveDc(hdc)) dc->TargetChanged();
}

void SetDCFollower(HDC hdc, ContextFollower follow) {
  if (DeviceContext* dc = LiveDc(hdc)) dc->SetFollower(std::move(follow));
}

POINT GetDCOrigin(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->Origin() : POINT{};
}

void SetDCRasterCaps(HDC hdc, int32_t caps) {
  if (DeviceContext* dc = LiveDc(hdc)) dc->rasterCaps = caps;
}

void SetDCDisplayDepth(HDC hdc, int32_t bits) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return;
  dc->bitsPerPixel = bits;
  dc->rasterCaps = bits <= 8 ? dc->rasterCaps | RC_PALETTE : dc->rasterCaps & ~RC_PALETTE;
}

HDC CreateCompatibleDC(HDC) { return Register(new DeviceContext()); }

BOOL DeleteDC(HDC hdc) {
  // A printer context goes with its device; the device deletes the context itself (by then it is no
  // longer a printer context, so this runs once).
  if (IsPrinter(hdc)) return gPrinters.deleteDc(hdc);
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  {
    std::lock_guard lock(gDcLock);
    LiveDcs().erase(dc);
  }
  delete dc;
  return 1;
}

int32_t GetDeviceCaps(HDC hdc, int32_t index) {
  if (IsPrinter(hdc)) return gPrinters.deviceCaps(hdc, index);
  return GetRasterDeviceCaps(hdc, index);
}

int32_t GetRasterDeviceCaps(HDC hdc, int32_t index) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  switch (index) {
    case RASTERCAPS:
      return dc->rasterCaps;
    case BITSPIXEL:
      return dc->bitsPerPixel;
    case PLANES:
      return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case HORZRES: {
      Surface* s = dc->Target();
      return s ? s->Width() : 0;
    }
    case VERTRES: {
      Surface* s = dc->Target();
      return s ? s->Height() : 0;
    }
    default:
      return 0;
  }
}

BOOL GdiFlush() {
  BitmapObject::FlushAll();
  return 1;
}

int32_t SetROP2(HDC hdc, int32_t mode) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || mode < R2_BLACK || mode > R2_WHITE) return 0;
  return Swap(dc->rop2, mode);
}

int32_t GetROP2(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->rop2 : 0;
}

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? Swap(dc->textColor, color & 0xFFFFFF) : CLR_INVALID;
}

COLORREF GetTextColor(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? Swap(dc->bkColor, color & 0xFFFFFF) : CLR_INVALID;
}

COLORREF GetBkColor(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->bkColor : CLR_INVALID;
}

int32_t SetBkMode(HDC hdc, int32_t mode) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return Swap(dc->bkMode, mode);
}

int32_t GetBkMode(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->bkMode : 0;
}

int32_t SetArcDirection(HDC hdc, int32_t direction) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || (direction != AD_COUNTERCLOCKWISE && direction != AD_CLOCKWISE)) return 0;
  return Swap(dc->arcDirection, direction);
}

int32_t GetArcDirection(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->arcDirection : 0;
}

int32_t SetPolyFillMode(HDC hdc, int32_t mode) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || (mode != ALTERNATE && mode != WINDING)) return 0;
  return Swap(dc->polyFillMode, mode);
}

int32_t SetStretchBltMode(HDC hdc, int32_t mode) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || mode < BLACKONWHITE || mode > HALFTONE) return 0;
  return Swap(dc->stretchMode, mode);
}

int32_t GetStretchBltMode(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->stretchMode : 0;
}

int32_t SetMapMode(HDC hdc, int32_t mode) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || (mode != MM_TEXT && mode != MM_ISOTROPIC)) return 0;
  return Swap(dc->mapMode, mode);
}

int32_t GetMapMode(HDC hdc) {
  DeviceContext* dc = LiveDc(hdc);
  return dc ? dc->mapMode : 0;
}

BOOL SetWindowExtEx(HDC hdc, int32_t x, int32_t y, SIZE* old) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || x == 0 || y == 0) return 0;
  if (old) *old = dc->windowExt;
  if (dc->mapMode == MM_ISOTROPIC) dc->windowExt = {x, y};
  return 1;
}

BOOL SetViewportExtEx(HDC hdc, int32_t x, int32_t y, SIZE* old) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || x == 0 || y == 0) return 0;
  if (old) *old = dc->viewportExt;
  if (dc->mapMode == MM_ISOTROPIC) dc->viewportExt = {x, y};
  return 1;
}

}  // namespace plat
