// A device-independent bitmap: loaded from the program's bitmap resources, a BMP or PNG file or a
// packed DIB in memory, or made as an empty off-screen DIB section that OpenGL can render into.
// Pictures are drawn by views at their own size, stretched by whole factors, tiled, with a
// transparent colour or blended through their alpha, and handed to OpenGL as texture pixels.
//
// Bitmap data is checked when it arrives: a header that does not fit its bytes, a colour count
// beyond what the bit count allows, or pixels beyond the data leave the picture empty; an image size
// of 0 is computed. Every drawing call does nothing for an empty picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/FileRecord.h"
#include "framework/PictureBlock.h"
#include "platform/Dib.h"
#include "platform/Gdi.h"

class ppDC;

class ppPicture {
 public:
  ppPicture();
  // An off-screen picture: a DIB section of the size and bit count on its own memory context, with
  // an OpenGL pixel format (32 depth bits, software rendering) set on that context.
  ppPicture(int32_t width, int32_t height, int32_t bitsPerPixel);
  explicit ppPicture(const ppFileSpec& file);
  // The bitmap resource `resourceId` of the program; empty when there is none.
  explicit ppPicture(int32_t resourceId);
  // A 40-byte header directly followed by its pixels (no colour table).
  explicit ppPicture(const plat::BITMAPINFOHEADER* header);
  ppPicture(const ppPicture& other);
  virtual ~ppPicture();
  ppPicture& operator=(const ppPicture&) = delete;

  // Replaces the picture by a BMP or PNG file (PNG when the file starts with the PNG signature).
  void LoadFile(const ppFileSpec& file);
  // Replaces the picture by PNG data or a packed DIB (header, colour table, pixels).
  void SetFromMemory(const void* data, size_t size);
  // Whether SetFromMemory would make a picture of these bytes, told without decoding a PNG's pixels:
  // a PNG whose image data alone is damaged counts as one (it would come out empty).
  static bool HoldsPicture(const void* data, size_t size);
  void Clear();

  int32_t GetWidth() const;
  int32_t GetHeight() const;  // as a positive number
  const plat::RECT* GetFrame() const { return &frame_; }
  bool IsEmpty() const { return header_ == nullptr; }
  const plat::BITMAPINFOHEADER* GetHeader() const { return header_; }
  int32_t GetColorCount() const { return colorCount_; }
  plat::HPALETTE GetPalette() const { return palette_; }
  plat::HBITMAP GetDIBSection() const { return section_; }  // off-screen pictures only
  plat::HDC GetMemoryDC() const { return memDC_; }          // off-screen pictures only
  bool HasMask() const { return mask_ != nullptr; }
  std::vector<double> GetValues() const { return values_; }
  // The key a shared picture map keeps the picture under (ppObjectMap).
  void SetValues(std::vector<double> values) { values_ = std::move(values); }
  int32_t GetResourceId() const { return resourceId_; }
  // Whether a texture made from the picture repeats instead of being clamped at its edges.
  bool GetRepeat() const { return repeat_; }
  void SetRepeat(bool repeat) { repeat_ = repeat; }
  // Whether a texture made from the picture is multiplied with the surface colour (else it shows in
  // its own colours on white).
  bool GetModulate() const { return modulate_; }
  void SetModulate(bool modulate) { modulate_ = modulate; }
  // A transparent colour for drawing 108-byte-header pictures; replacing the data clears it.
  void SetTransparentColor(plat::COLORREF color);
  bool HasTransparentColor() const { return hasTransparent_; }
  // An identity no other picture of this process ever has; keys caches of derived data (textures).
  uint64_t Identity() const { return identity_; }
  // Called with the identity of every picture as it is destroyed (one observer, for the texture cache).
  using ReleaseObserver = void (*)(uint64_t identity);
  static void SetReleaseObserver(ReleaseObserver observer);
  // Where a picture kept by a catalogue's texture table came from: the catalogue database's number
  // and the texture record id; both 0 for any other picture (copies start at 0 too).
  void SetSource(int32_t databaseNumber, int32_t recordId) {
    databaseNumber_ = databaseNumber;
    recordId_ = recordId;
  }
  int32_t GetDatabaseNumber() const { return databaseNumber_; }
  int32_t GetRecordId() const { return recordId_; }

  // ---- Drawing (device pixels of the context).
  void Draw(ppDC& dc, const plat::RECT& rect) const;
  void DrawClipped(ppDC& dc, const plat::RECT& rect) const;
  void DrawStretched(ppDC& dc, const plat::RECT& rect) const;
  void DrawTiled(ppDC& dc, plat::POINT origin, const plat::RECT& rect) const;
  // Copies the source onto the destination, stretched, leaving the pixels of `transparent` out.
  static bool DrawTransparent(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                              plat::HDC source, int32_t sx, int32_t sy, int32_t sourceWidth,
                              int32_t sourceHeight, plat::COLORREF transparent);
  // Mixes the source into the destination by the mask's first byte (0 shows the source, 255 keeps
  // the destination).
  static bool BlendInto(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height, plat::HDC source,
                        int32_t sx, int32_t sy, int32_t sourceWidth, int32_t sourceHeight, plat::HDC mask);

  // ---- Pixels for OpenGL, rows in stored order (bottom-up for a positive height).
  // Blue, green, red per pixel, rows padded to 4 bytes.
  std::vector<uint8_t> GetPixelsBGR() const;
  // Blue, green, red, alpha per pixel, no padding; alpha 255 - the stored fourth byte when the
  // picture has a mask, else 255; with `premultiply` each colour is scaled by alpha / 255.
  std::vector<uint8_t> GetPixelsRGBA(bool premultiply) const;

  // ---- The packed DIB (header, colour table, pixels).
  uint32_t GetDataSize() const;
  // Copies at most `maximum` bytes of the packed DIB; answers how many.
  uint32_t CopyBits(void* destination, uint32_t maximum) const;

 private:
  void MakeOffscreen(int32_t width, int32_t height, int32_t bitsPerPixel);
  void AdoptPackedDib(const uint8_t* data, size_t size);
  // The same, taking the bytes over.
  void AdoptPackedDib(PictureBlock&& copy);
  void MakePalette();
  void MakeMask();
  bool HasAlphaHeader() const;
  const uint8_t* Bits() const;
  const plat::BITMAPINFO* Info() const { return reinterpret_cast<const plat::BITMAPINFO*>(header_); }
  PictureBlock PackedData() const;
  // Copies the picture to (x, y) at width by height through a device bitmap: blended or with the
  // transparent colour when it has alpha, else a plain or stretched copy.
  void BlitScaled(plat::HDC dc, int32_t x, int32_t y, int32_t width, int32_t height) const;

  plat::HDC memDC_ = nullptr;
  int32_t resourceId_ = 0;
  plat::HPALETTE palette_ = nullptr;
  PictureBlock dib_;  // the packed DIB, or the header and colour table of an off-screen picture
  plat::HBITMAP section_ = nullptr;
  plat::HGDIOBJ sectionReplaced_ = nullptr;
  uint8_t* sectionBits_ = nullptr;
  const plat::BITMAPINFOHEADER* header_ = nullptr;  // inside dib_
  plat::DibFormat format_;
  int32_t colorCount_ = 0;
  plat::RECT frame_;
  bool hasTransparent_ = false;
  plat::COLORREF transparent_ = 0;
  plat::HBITMAP mask_ = nullptr;
  bool repeat_ = false;
  bool modulate_ = false;
  bool flag2_ = false;
  bool flag3_ = false;
  std::vector<double> values_{-1.0};
  uint64_t identity_ = 0;
  int32_t databaseNumber_ = 0;
  int32_t recordId_ = 0;
};
