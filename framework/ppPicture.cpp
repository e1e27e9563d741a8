#include "framework/ppPicture.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "foundation/FileOperations.h"
#include "framework/PixelFormatChoice.h"
#include "framework/PngLoader.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "platform/DibBlit.h"
#include "platform/ResourceRegistry.h"

namespace {

constexpr uint32_t kV4HeaderBytes = 108;
constexpr size_t kAlphaMaskOffset = 52;  // of the alpha mask inside a 108-byte header
constexpr int32_t kOffscreenDepthBits = 32;

uint64_t g_nextIdentity = 0;
ppPicture::ReleaseObserver g_releaseObserver = nullptr;

bool ValidHeaderSize(uint32_t size) { return size == 40 || size == kV4HeaderBytes || size == 124; }

// Colours a palette picture's table holds: its colours-used value, or all that its bit count allows.
int32_t TableColors(const plat::BITMAPINFOHEADER& h) {
  if (h.biBitCount > 8) return int32_t(h.biClrUsed);
  return h.biClrUsed ? int32_t(h.biClrUsed) : 1 << h.biBitCount;
}

// A 32-bit DIB section of the given size whose pixels the caller fills; top-down unless told.
plat::HBITMAP MakeSection32(int32_t width, int32_t height, bool bottomUp, uint8_t** bits) {
  plat::BITMAPINFO info{};
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = bottomUp ? height : -height;
  info.bmiHeader.biBitCount = 32;
  void* pixels = nullptr;
  plat::HBITMAP section = plat::CreateDIBSection(nullptr, &info, plat::DIB_RGB_COLORS, &pixels, nullptr, 0);
  *bits = static_cast<uint8_t*>(pixels);
  return section;
}

// A memory context over a new 32-bit DIB section, for BlendInto's three buffers.
struct Buffer32 {
  uint8_t* bits = nullptr;  // set while `bitmap` is made, so declared before it
  plat::OwnedDc dc;
  plat::OwnedBitmap bitmap;
  plat::HGDIOBJ replaced = nullptr;
  Buffer32(plat::HDC like, int32_t width, int32_t height)
      : dc(plat::CreateCompatibleDC(like)), bitmap(MakeSection32(width, height, false, &bits)) {
    if (dc && bitmap) replaced = plat::SelectObject(dc.get(), bitmap.get());
  }
  ~Buffer32() {
    if (replaced) plat::SelectObject(dc.get(), replaced);
  }
  bool Ok() const { return dc && bitmap && bits; }
};

}  // namespace

// ---- Construction.

ppPicture::ppPicture() : identity_(++g_nextIdentity) {}

ppPicture::ppPicture(int32_t width, int32_t height, int32_t bitsPerPixel) : identity_(++g_nextIdentity) {
  MakeOffscreen(width, height, bitsPerPixel);
}

ppPicture::ppPicture(const ppFileSpec& file) : identity_(++g_nextIdentity) { LoadFile(file); }

ppPicture::ppPicture(int32_t resourceId) : resourceId_(resourceId), identity_(++g_nextIdentity) {
  auto bytes = plat::ResourceRegistry::Instance().Find(plat::ResourceKind::Bitmap, uint16_t(resourceId));
  if (bytes) AdoptPackedDib(bytes->data(), bytes->size());
}

ppPicture::ppPicture(const plat::BITMAPINFOHEADER* header) : identity_(++g_nextIdentity) {
  if (!header || header->biWidth <= 0) return;
  const int32_t height = header->biHeight < 0 ? -header->biHeight : header->biHeight;
  const uint64_t image =
      header->biSizeImage
          ? header->biSizeImage
          : uint64_t(plat::DibRowBytes(header->biWidth, header->biBitCount)) * uint64_t(height);
  SetFromMemory(header, size_t(40 + image));
}

ppPicture::ppPicture(const ppPicture& other) : identity_(++g_nextIdentity) {
  AdoptPackedDib(other.PackedData());  // the copy's own bytes, taken over rather than copied again
  frame_ = other.frame_;
  values_ = other.values_;
  repeat_ = other.repeat_;
  modulate_ = other.modulate_;
  flag2_ = other.flag2_;
}

ppPicture::~ppPicture() {
  if (g_releaseObserver) g_releaseObserver(identity_);
  Clear();
}

void ppPicture::SetReleaseObserver(ReleaseObserver observer) { g_releaseObserver = observer; }

void ppPicture::Clear() {
  if (memDC_ && sectionReplaced_) plat::SelectObject(memDC_, sectionReplaced_);
  sectionReplaced_ = nullptr;
  if (section_) plat::DeleteObject(section_);
  section_ = nullptr;
  sectionBits_ = nullptr;
  if (memDC_) plat::DeleteDC(memDC_);
  memDC_ = nullptr;
  if (mask_) plat::DeleteObject(mask_);
  mask_ = nullptr;
  if (palette_) plat::DeleteObject(palette_);
  palette_ = nullptr;
  dib_.clear();
  header_ = nullptr;
  format_ = plat::DibFormat{};
  colorCount_ = 0;
  frame_ = plat::RECT{};
  hasTransparent_ = false;
}

void ppPicture::MakeOffscreen(int32_t width, int32_t height, int32_t bitsPerPixel) {
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return;
  plat::BITMAPINFOHEADER h;
  h.biWidth = width;
  h.biHeight = height;
  h.biBitCount = plat::WORD(bitsPerPixel);
  h.biSizeImage = uint32_t(plat::DibRowBytes(width, bitsPerPixel)) * uint32_t(height);
  const int32_t colors = bitsPerPixel <= 8 ? 1 << bitsPerPixel : 0;
  dib_.assign(40 + size_t(colors) * 4, 0);
  std::memcpy(dib_.data(), &h, 40);
  memDC_ = plat::CreateCompatibleDC(nullptr);
  void* bits = nullptr;
  section_ = plat::CreateDIBSection(memDC_, reinterpret_cast<const plat::BITMAPINFO*>(dib_.data()),
                                    plat::DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!memDC_ || !section_ || !bits) {
    Clear();
    return;
  }
  sectionBits_ = static_cast<uint8_t*>(bits);
  sectionReplaced_ = plat::SelectObject(memDC_, section_);
  ChoosePixelFormat(memDC_, bitsPerPixel, kOffscreenDepthBits, true);
  header_ = reinterpret_cast<const plat::BITMAPINFOHEADER*>(dib_.data());
  format_ = plat::DibLayout(h, std::vector<plat::RGBQUAD>(size_t(colors)));
  colorCount_ = colors;
  frame_ = plat::RECT{0, 0, width, height};
}

void ppPicture::LoadFile(const ppFileSpec& file) {
  Clear();
  resourceId_ = 0;
  Handle h = nullptr;
  try {
    h = ReadFileToHandle(file);
  } catch (int32_t) {
    return;  // a file that cannot be read leaves the picture empty
  }
  if (!h) return;
  const size_t size = size_t(MemGetSize(h));
  const std::vector<uint8_t> bytes(reinterpret_cast<uint8_t*>(*h), reinterpret_cast<uint8_t*>(*h) + size);
  MemDispose(h);
  constexpr size_t kFileHeaderBytes = 14;
  if (HasPngSignature(bytes.data(), bytes.size()))
    SetFromMemory(bytes.data(), bytes.size());
  else if (bytes.size() > kFileHeaderBytes)
    SetFromMemory(bytes.data() + kFileHeaderBytes, bytes.size() - kFileHeaderBytes);
}

void ppPicture::SetFromMemory(const void* data, size_t size) {
  Clear();
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (!bytes || size == 0) return;
  if (!HasPngSignature(bytes, size)) {
    AdoptPackedDib(bytes, size);
    return;
  }
  PngMemorySource source{bytes, size, 0};
  PictureBlock decoded;
  if (loadPngInto(&source, decoded) != kPngOk) return;
  AdoptPackedDib(std::move(decoded));
}

bool ppPicture::HoldsPicture(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (!bytes || size == 0) return false;
  if (!HasPngSignature(bytes, size)) {
    ppPicture probe;  // a packed bitmap is only checked and copied, never decoded
    probe.AdoptPackedDib(bytes, size);
    return !probe.IsEmpty();
  }
  PngMemorySource source{bytes, size, 0};
  return checkPngHeader(&source) == kPngOk;
}

void ppPicture::AdoptPackedDib(const uint8_t* data, size_t size) {
  if (size < 40) return;
  AdoptPackedDib(CopyToBlock(data, size));
}

void ppPicture::AdoptPackedDib(PictureBlock&& copy) {
  const size_t size = copy.size();
  if (size < 40) return;
  plat::BITMAPINFOHEADER h;
  std::memcpy(&h, copy.data(), 40);
  if (!ValidHeaderSize(h.biSize) || h.biSize > size) return;
  if (h.biBitCount <= 8 && h.biClrUsed > (1u << h.biBitCount)) return;  // more colours than indexes
  if (h.biSizeImage == 0 && h.biWidth > 0) {
    // A size of 0 is allowed for uncompressed pictures: work it out, so later readers see the truth.
    const int64_t rows = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    h.biSizeImage =
        uint32_t(std::min<int64_t>(int64_t(plat::DibRowBytes(h.biWidth, h.biBitCount)) * rows, UINT32_MAX));
    std::memcpy(copy.data() + 20, &h.biSizeImage, 4);
  }
  std::optional<plat::DibFormat> format = plat::ParsePackedDib(copy);
  if (!format) return;  // the pixels do not fit the data: stay empty rather than draw past it
  dib_ = std::move(copy);
  header_ = reinterpret_cast<const plat::BITMAPINFOHEADER*>(dib_.data());
  format_ = std::move(*format);
  colorCount_ = TableColors(*header_);
  frame_ = plat::RECT{0, 0, format_.width, format_.height};
  if (header_->biBitCount <= 8) MakePalette();
  if (HasAlphaHeader()) MakeMask();
}

void ppPicture::MakePalette() {
  const int32_t n = std::max(1, int32_t(format_.colors.size()));
  std::vector<uint8_t> storage(sizeof(plat::LOGPALETTE) + sizeof(plat::PALETTEENTRY) * size_t(n));
  auto* log = reinterpret_cast<plat::LOGPALETTE*>(storage.data());
  log->palVersion = 0x300;
  log->palNumEntries = plat::WORD(format_.colors.size());
  for (size_t i = 0; i < format_.colors.size(); ++i) {
    const plat::RGBQUAD& q = format_.colors[i];
    log->palPalEntry[i] = plat::PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0};
  }
  if (palette_) plat::DeleteObject(palette_);
  palette_ = plat::CreatePalette(log);
}

bool ppPicture::HasAlphaHeader() const {
  if (!header_ || header_->biSize != kV4HeaderBytes) return false;
  uint32_t alphaMask = 0;
  std::memcpy(&alphaMask, dib_.data() + kAlphaMaskOffset, 4);
  return alphaMask != 0;
}

void ppPicture::MakeMask() {
  if (format_.bitCount != 32) return;
  uint8_t* maskBits = nullptr;
  mask_ = MakeSection32(format_.width, format_.height, format_.bottomUp, &maskBits);
  if (!mask_ || !maskBits) return;
  const uint8_t* bits = Bits();
  const size_t pixels = size_t(format_.width) * size_t(format_.height);
  for (size_t i = 0; i < pixels; ++i) std::memset(maskBits + 4 * i, bits[4 * i + 3], 4);
}

void ppPicture::SetTransparentColor(plat::COLORREF color) {
  hasTransparent_ = true;
  transparent_ = color;
}

// ---- Queries and data.

int32_t ppPicture::GetWidth() const { return header_ ? format_.width : 0; }
int32_t ppPicture::GetHeight() const { return header_ ? format_.height : 0; }

const uint8_t* ppPicture::Bits() const {
  if (section_) {
    plat::GdiFlush();
    return sectionBits_;
  }
  return dib_.data() + format_.headerBytes;
}

PictureBlock ppPicture::PackedData() const {
  if (!header_) return {};
  if (!section_) return CopyToBlock(dib_.data(), dib_.size());
  PictureBlock data;
  data.resize(dib_.size() + format_.ImageBytes());  // every byte copied below
  std::memcpy(data.data(), dib_.data(), dib_.size());
  std::memcpy(data.data() + dib_.size(), Bits(), format_.ImageBytes());
  return data;
}

uint32_t ppPicture::GetDataSize() const {
  if (!header_) return 0;
  return uint32_t(section_ ? dib_.size() + format_.ImageBytes() : dib_.size());
}

uint32_t ppPicture::CopyBits(void* destination, uint32_t maximum) const {
  const PictureBlock data = PackedData();
  const uint32_t n = std::min<uint32_t>(maximum, uint32_t(data.size()));
  if (n && destination) std::memcpy(destination, data.data(), n);
  return n;
}

std::vector<uint8_t> ppPicture::GetPixelsBGR() const {
  if (!header_) return {};
  const size_t stride = size_t(plat::DibRowBytes(format_.width, 24));
  std::vector<uint8_t> out(stride * size_t(format_.height), 0);
  const uint8_t* bits = Bits();
  for (int32_t row = 0; row < format_.height; ++row) {
    uint8_t* to = out.data() + size_t(row) * stride;
    const int32_t y = format_.bottomUp ? format_.height - 1 - row : row;
    if (format_.bitCount == 24) {
      std::memcpy(to, bits + size_t(row) * size_t(format_.rowBytes), size_t(format_.width) * 3);
      continue;
    }
    for (int32_t x = 0; x < format_.width; ++x) {
      const uint32_t p = plat::DibPixel(format_, bits, x, y);
      to[3 * x] = uint8_t(p);
      to[3 * x + 1] = uint8_t(p >> 8);
      to[3 * x + 2] = uint8_t(p >> 16);
    }
  }
  return out;
}

std::vector<uint8_t> ppPicture::GetPixelsRGBA(bool premultiply) const {
  if (!header_) return {};
  std::vector<uint8_t> out(size_t(format_.width) * size_t(format_.height) * 4);
  const uint8_t* bits = Bits();
  uint8_t* to = out.data();
  for (int32_t row = 0; row < format_.height; ++row) {
    const int32_t y = format_.bottomUp ? format_.height - 1 - row : row;
    const uint8_t* from = bits + size_t(row) * size_t(format_.rowBytes);
    for (int32_t x = 0; x < format_.width; ++x, to += 4) {
      const uint32_t p = plat::DibPixel(format_, bits, x, y);
      const uint32_t alpha = mask_ ? 255u - from[4 * x + 3] : 255u;
      uint32_t c[3] = {p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF};
      for (int i = 0; i < 3; ++i) to[i] = uint8_t(premultiply ? c[i] * alpha / 255 : c[i]);
      to[3] = uint8_t(alpha);
    }
  }
  return out;
}

// ---- Drawing.

void ppPicture::Draw(ppDC& dc, const plat::RECT& rect) const {
  plat::HDC hdc = dc.GetHDC();
  if (!hdc || !header_) return;
  if (!(plat::GetDeviceCaps(hdc, plat::RASTERCAPS) & plat::RC_STRETCHDIB)) return;
  if (rect.right - rect.left == format_.width && rect.bottom - rect.top == format_.height &&
      plat::CopyDibUnscaled(hdc, rect.left, rect.top, Bits(), Info()))
    return;  // at its own size: converted straight onto the context
  plat::StretchDIBits(hdc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                      format_.width, format_.height, Bits(), Info(), plat::DIB_RGB_COLORS, plat::SRCCOPY);
}

void ppPicture::BlitScaled(plat::HDC hdc, int32_t x, int32_t y, int32_t width, int32_t height) const {
  // A plain picture at its own size goes straight onto the context: no device bitmap to fill first.
  const int32_t pw = format_.width, ph = format_.height;
  if (!HasAlphaHeader() && width == pw && height == ph && plat::CopyDibUnscaled(hdc, x, y, Bits(), Info()))
    return;
  plat::OwnedBitmap device(
      plat::CreateDIBitmap(hdc, header_, plat::CBM_INIT, Bits(), Info(), plat::DIB_RGB_COLORS));
  plat::OwnedDc mem(plat::CreateCompatibleDC(hdc));
  if (!device || !mem) return;
  plat::ScopedSelection picture(mem.get(), device.get());
  if (HasAlphaHeader() && hasTransparent_) {
    DrawTransparent(hdc, x, y, width, height, mem.get(), 0, 0, pw, ph, transparent_);
    return;
  }
  if (HasAlphaHeader() && mask_) {
    plat::OwnedDc maskDc(plat::CreateCompatibleDC(hdc));
    plat::ScopedSelection maskSelection(maskDc.get(), mask_);
    BlendInto(hdc, x, y, width, height, mem.get(), 0, 0, pw, ph, maskDc.get());
    return;
  }
  if (width == pw && height == ph) {
    plat::BitBlt(hdc, x, y, width, height, mem.get(), 0, 0, plat::SRCCOPY);
    return;
  }
  plat::SetStretchBltMode(hdc, colorCount_ < 3 ? plat::COLORONCOLOR : plat::BLACKONWHITE);
  plat::StretchBlt(hdc, x, y, width, height, mem.get(), 0, 0, pw, ph, plat::SRCCOPY);
  plat::SetStretchBltMode(hdc, plat::BLACKONWHITE);
}

void ppPicture::DrawClipped(ppDC& dc, const plat::RECT& rect) const {
  if (!dc.GetHDC() || !header_) return;
  ppClipSaver saver(dc);
  std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
  clip->Intersect(ppRegion(rect));
  dc.SetClipRegion(clip.get());
  BlitScaled(dc.GetHDC(), rect.left, rect.top, format_.width, format_.height);
}

void ppPicture::DrawStretched(ppDC& dc, const plat::RECT& rect) const {
  if (!dc.GetHDC() || !header_) return;
  const int32_t factor =
      std::min((rect.right - rect.left) / format_.width, (rect.bottom - rect.top) / format_.height);
  if (factor < 1) return;  // smaller than the picture: nothing would show
  ppClipSaver saver(dc);
  std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
  clip->Intersect(ppRegion(rect));
  dc.SetClipRegion(clip.get());
  BlitScaled(dc.GetHDC(), rect.left, rect.top, format_.width * factor, format_.height * factor);
}

namespace {

// The first tile position at or before `low` on the grid through `origin` with step `step`.
int32_t FirstTile(int32_t origin, int32_t low, int32_t step) {
  if (origin <= low) return origin + ((low - origin) / step) * step;
  return origin - ((origin - low + step - 1) / step) * step;
}

}  // namespace

void ppPicture::DrawTiled(ppDC& dc, plat::POINT origin, const plat::RECT& rect) const {
  plat::HDC hdc = dc.GetHDC();
  if (!hdc || !header_) return;
  ppClipSaver saver(dc);
  std::unique_ptr<ppRegion> clip = dc.GetClipRegion();
  clip->Intersect(ppRegion(rect));
  dc.SetClipRegion(clip.get());
  plat::OwnedBitmap device(
      plat::CreateDIBitmap(hdc, header_, plat::CBM_INIT, Bits(), Info(), plat::DIB_RGB_COLORS));
  plat::OwnedDc mem(plat::CreateCompatibleDC(hdc));
  if (!device || !mem) return;
  plat::ScopedSelection picture(mem.get(), device.get());
  const int32_t pw = format_.width, ph = format_.height;
  for (int32_t y = FirstTile(origin.y, rect.top, ph); y < rect.bottom; y += ph)
    for (int32_t x = FirstTile(origin.x, rect.left, pw); x < rect.right; x += pw)
      plat::BitBlt(hdc, x, y, pw, ph, mem.get(), 0, 0, plat::SRCCOPY);
}

bool ppPicture::DrawTransparent(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                                plat::HDC source, int32_t sx, int32_t sy, int32_t sourceWidth,
                                int32_t sourceHeight, plat::COLORREF transparent) {
  if (width < 1 || height < 1 || sourceWidth < 1 || sourceHeight < 1) return false;
  plat::OwnedDc maskDc(plat::CreateCompatibleDC(dest));
  plat::OwnedBitmap mask(plat::CreateBitmap(sourceWidth, sourceHeight, 1, 1, nullptr));
  plat::OwnedDc copyDc(plat::CreateCompatibleDC(dest));
  plat::OwnedBitmap copy(plat::CreateBitmap(sourceWidth, sourceHeight, 1, 32, nullptr));
  if (!maskDc || !mask || !copyDc || !copy) return false;
  plat::ScopedSelection maskSelection(maskDc.get(), mask.get());
  plat::ScopedSelection copySelection(copyDc.get(), copy.get());
  // The mask: white where the source has the transparent colour.
  const plat::COLORREF sourceBack = plat::SetBkColor(source, transparent);
  plat::BitBlt(maskDc.get(), 0, 0, sourceWidth, sourceHeight, source, sx, sy, plat::SRCCOPY);
  plat::SetBkColor(source, sourceBack);
  // The source with its transparent pixels blacked out.
  plat::BitBlt(copyDc.get(), 0, 0, sourceWidth, sourceHeight, source, sx, sy, plat::SRCCOPY);
  plat::SetTextColor(copyDc.get(), plat::RGB(255, 255, 255));
  plat::SetBkColor(copyDc.get(), plat::RGB(0, 0, 0));
  plat::BitBlt(copyDc.get(), 0, 0, sourceWidth, sourceHeight, maskDc.get(), 0, 0, plat::SRCAND);
  // Clear the opaque part of the destination, then paint the source into it.
  const plat::COLORREF destText = plat::SetTextColor(dest, plat::RGB(0, 0, 0));
  const plat::COLORREF destBack = plat::SetBkColor(dest, plat::RGB(255, 255, 255));
  const int32_t mode = plat::SetStretchBltMode(dest, plat::COLORONCOLOR);
  plat::StretchBlt(dest, x, y, width, height, maskDc.get(), 0, 0, sourceWidth, sourceHeight, plat::SRCAND);
  plat::StretchBlt(dest, x, y, width, height, copyDc.get(), 0, 0, sourceWidth, sourceHeight, plat::SRCPAINT);
  plat::SetStretchBltMode(dest, mode);
  plat::SetTextColor(dest, destText);
  plat::SetBkColor(dest, destBack);
  return true;
}

bool ppPicture::BlendInto(plat::HDC dest, int32_t x, int32_t y, int32_t width, int32_t height,
                          plat::HDC source, int32_t sx, int32_t sy, int32_t sourceWidth, int32_t sourceHeight,
                          plat::HDC mask) {
  if (width < 1 || height < 1) return false;
  Buffer32 src(dest, width, height), msk(dest, width, height), dst(dest, width, height);
  if (!src.Ok() || !msk.Ok() || !dst.Ok()) return false;
  if (!plat::StretchBlt(src.dc.get(), 0, 0, width, height, source, sx, sy, sourceWidth, sourceHeight,
                        plat::SRCCOPY) ||
      !plat::StretchBlt(msk.dc.get(), 0, 0, width, height, mask, sx, sy, sourceWidth, sourceHeight,
                        plat::SRCCOPY) ||
      !plat::BitBlt(dst.dc.get(), 0, 0, width, height, dest, x, y, plat::SRCCOPY))
    return false;
  plat::GdiFlush();
  const size_t pixels = size_t(width) * size_t(height);
  for (size_t i = 0; i < pixels; ++i) {
    const uint32_t m = msk.bits[4 * i];
    for (size_t c = 0; c < 3; ++c) {
      uint8_t& s = src.bits[4 * i + c];
      s = uint8_t(((255 - m) * s + m * dst.bits[4 * i + c]) >> 8);
    }
  }
  return plat::BitBlt(dest, x, y, width, height, src.dc.get(), 0, 0, plat::SRCCOPY) != 0;
}
