// Making, selecting, describing and deleting drawing objects.
#include <algorithm>
#include <cstring>

#include "platform/Dib.h"
#include "platform/GdiInternal.h"
#include "platform/StockObjects.h"

namespace plat {

namespace {

template <class T>
int32_t CopyOut(const T& value, int32_t size, void* buffer) {
  if (!buffer) return int32_t(sizeof(T));
  int32_t n = std::min<int32_t>(size, int32_t(sizeof(T)));
  if (n <= 0) return 0;
  std::memcpy(buffer, &value, size_t(n));
  return n;
}

BITMAP Describe(BitmapObject& bitmap) {
  BITMAP info;
  info.bmWidth = bitmap.Width();
  info.bmHeight = bitmap.Height();
  info.bmBitsPixel = WORD(bitmap.BitsPixel());
  info.bmPlanes = 1;
  if (bitmap.IsDibSection()) {
    info.bmWidthBytes = bitmap.RowBytes();
    info.bmBits = bitmap.Bits();
  } else {
    info.bmWidthBytes = ((bitmap.Width() * bitmap.BitsPixel() + 15) / 16) * 2;
  }
  return info;
}

// Loads `bits` (rows of `rowBytes`, top-down) of a 1- or 32-bit device bitmap.
void LoadDeviceBits(BitmapObject& bitmap, const uint8_t* bits) {
  Surface& s = bitmap.Pixels();
  int32_t rowBytes = ((bitmap.Width() * bitmap.BitsPixel() + 15) / 16) * 2;
  for (int32_t y = 0; y < bitmap.Height(); ++y) {
    const uint8_t* row = bits + size_t(y) * rowBytes;
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      if (bitmap.IsMonochrome()) {
        s.ColorRow32(y)[x] = (row[x >> 3] >> (7 - (x & 7))) & 1 ? 0xFFFFFF : 0;
      } else {
        uint32_t v;
        std::memcpy(&v, row + 4 * x, 4);
        s.ColorRow32(y)[x] = v & 0xFFFFFF;
      }
    }
  }
}

}  // namespace

HPEN CreatePen(int32_t style, int32_t width, COLORREF color) {
  if (style < PS_SOLID || style > PS_INSIDEFRAME) style = PS_SOLID;
  return HandleOf<HPEN>(new PenObject(style, std::max(width, 0), color & 0xFFFFFF));
}

HBRUSH CreateSolidBrush(COLORREF color) {
  return HandleOf<HBRUSH>(new BrushObject(BS_SOLID, color & 0xFFFFFF));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* brush) {
  if (!brush || (brush->lbStyle != BS_SOLID && brush->lbStyle != BS_NULL)) return nullptr;
  return HandleOf<HBRUSH>(new BrushObject(brush->lbStyle, brush->lbColor & 0xFFFFFF));
}

HGDIOBJ GetStockObject(int32_t index) { return HandleOf<HGDIOBJ>(StockObject(index)); }

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ handle) {
  DeviceContext* dc = LiveDc(hdc);
  GdiObject* object = GdiObject::FromHandle(handle);
  if (!dc || !object) return nullptr;
  if (object->Type() == OBJ_REGION) {
    // Selecting a region sets the clip, as the platform does; the answer is the region kind.
    SelectClipRgn(hdc, static_cast<HRGN>(handle));
    return nullptr;
  }
  return dc->Select(object);
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return nullptr;
  switch (type) {
    case OBJ_PEN:
      return HandleOf<HGDIOBJ>(dc->pen);
    case OBJ_BRUSH:
      return HandleOf<HGDIOBJ>(dc->brush);
    case OBJ_FONT:
      return HandleOf<HGDIOBJ>(dc->font);
    case OBJ_BITMAP:
      return HandleOf<HGDIOBJ>(dc->bitmap);
    case OBJ_PAL:
      return HandleOf<HGDIOBJ>(dc->palette);
    default:
      return nullptr;
  }
}

BOOL DeleteObject(HGDIOBJ handle) {
  GdiObject* object = GdiObject::FromHandle(handle);
  if (!object) return 0;
  if (object->IsStock()) return 1;
  if (object->IsSelected()) {
    object->MarkDeletePending();
    return 1;
  }
  delete object;
  return 1;
}

DWORD GetObjectType(HGDIOBJ handle) {
  GdiObject* object = GdiObject::FromHandle(handle);
  return object ? object->Type() : 0;
}

int32_t GetObject(HGDIOBJ handle, int32_t size, void* buffer) {
  GdiObject* object = GdiObject::FromHandle(handle);
  if (!object) return 0;
  switch (object->Type()) {
    case OBJ_PEN: {
      auto* pen = static_cast<PenObject*>(object);
      LOGPEN info;
      info.lopnStyle = UINT(pen->style);
      info.lopnWidth = {pen->width, 0};
      info.lopnColor = pen->color;
      return CopyOut(info, size, buffer);
    }
    case OBJ_BRUSH: {
      auto* brush = static_cast<BrushObject*>(object);
      LOGBRUSH info;
      info.lbStyle = brush->style;
      info.lbColor = brush->color;
      return CopyOut(info, size, buffer);
    }
    case OBJ_FONT:
      return CopyOut(static_cast<FontObject*>(object)->Log(), size, buffer);
    case OBJ_PAL: {
      WORD count = WORD(static_cast<PaletteObject*>(object)->entries.size());
      return CopyOut(count, size, buffer);
    }
    case OBJ_BITMAP: {
      auto* bitmap = static_cast<BitmapObject*>(object);
      if (bitmap->IsDibSection()) bitmap->Flush();
      BITMAP info = Describe(*bitmap);
      if (bitmap->IsDibSection() && (size >= int32_t(sizeof(DIBSECTION)) || !buffer)) {
        DIBSECTION section;
        section.dsBm = info;
        section.dsBmih = bitmap->Header();
        return CopyOut(section, size, buffer);
      }
      return CopyOut(info, size, buffer);
    }
    default:
      return 0;
  }
}

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300) return nullptr;
  std::vector<PALETTEENTRY> entries(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  return HandleOf<HPALETTE>(new PaletteObject(std::move(entries)));
}

HPALETTE SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  DeviceContext* dc = LiveDc(hdc);
  PaletteObject* object = LiveObject<PaletteObject>(palette, OBJ_PAL);
  if (!dc || !object) return nullptr;
  return static_cast<HPALETTE>(dc->Select(object));
}

UINT RealizePalette(HDC hdc) { return LiveDc(hdc) ? 0 : UINT(-1); }

HBITMAP CreateBitmap(int32_t width, int32_t height, UINT planes, UINT bitsPerPixel, const void* bits) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767 || planes != 1) return nullptr;
  if (bitsPerPixel != 1 && bitsPerPixel != 32) return nullptr;
  auto* bitmap = new BitmapObject(width, height, int32_t(bitsPerPixel));
  if (bits) LoadDeviceBits(*bitmap, static_cast<const uint8_t*>(bits));
  return HandleOf<HBITMAP>(bitmap);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int32_t width, int32_t height) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  return HandleOf<HBITMAP>(new BitmapObject(width, height, dc->IsMonochrome() ? 1 : 32));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT usage, void** bits, void*, DWORD) {
  if (bits) *bits = nullptr;
  if (!info || usage != DIB_RGB_COLORS) return nullptr;
  std::optional<DibFormat> format = ParseDibHeader(&info->bmiHeader);
  if (!format || format->bitCount == 16 ||
      (format->bitCount == 32 && info->bmiHeader.biCompression != BI_RGB &&
       (format->masks[0] != 0xFF0000 || format->masks[1] != 0xFF00 || format->masks[2] != 0xFF)))
    return nullptr;
  auto* bitmap = new BitmapObject(info->bmiHeader, format->colors);
  if (bits) *bits = bitmap->Bits();
  return HandleOf<HBITMAP>(bitmap);
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* header, DWORD init, const void* bits,
                       const BITMAPINFO* info, UINT usage) {
  if (!LiveDc(hdc) || !header || usage != DIB_RGB_COLORS) return nullptr;
  int32_t width = header->biWidth, height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  std::optional<DibFormat> format;
  if ((init & CBM_INIT) && bits && info) {
    format = ParseDibHeader(&info->bmiHeader);
    if (!format) return nullptr;
  }
  // Bits that cover the whole bitmap write every pixel: its memory need not be cleared first.
  const bool covered = format && format->width >= width && format->height >= height;
  auto* bitmap = new BitmapObject(
      width, height, 32, covered ? PixelMemory::Start::kWrittenByCaller : PixelMemory::Start::kZeroed);
  if (format) DibToSurface(*format, static_cast<const uint8_t*>(bits), bitmap->Pixels());
  return HandleOf<HBITMAP>(bitmap);
}

HFONT CreateFontA(int32_t height, int32_t width, int32_t escapement, int32_t orientation, int32_t weight,
                  DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, const char* face) {
  LOGFONTA font;
  font.lfHeight = height;
  font.lfWidth = width;
  font.lfEscapement = escapement;
  font.lfOrientation = orientation;
  font.lfWeight = weight;
  font.lfItalic = BYTE(italic ? 1 : 0);
  font.lfUnderline = BYTE(underline ? 1 : 0);
  font.lfStrikeOut = BYTE(strikeOut ? 1 : 0);
  font.lfCharSet = BYTE(charSet);
  font.lfOutPrecision = BYTE(outPrecision);
  font.lfClipPrecision = BYTE(clipPrecision);
  font.lfQuality = BYTE(quality);
  font.lfPitchAndFamily = BYTE(pitchAndFamily);
  if (face) std::strncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return HandleOf<HFONT>(new FontObject(font));
}

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  return font ? HandleOf<HFONT>(new FontObject(*font)) : nullptr;
}

}  // namespace plat
