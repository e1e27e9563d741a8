#include "platform/BitmapObject.h"

#include <algorithm>
#include <mutex>
#include <set>

#include "platform/Dib.h"

namespace plat {

namespace {

// DIB sections that keep a mirror, for GdiFlush.
std::mutex gMirroredLock;
std::set<BitmapObject*>& Mirrored() {
  static std::set<BitmapObject*> bitmaps;
  return bitmaps;
}

}  // namespace

BitmapObject::BitmapObject(int32_t width, int32_t height, int32_t bitsPixel, PixelMemory::Start start)
    : GdiObject(OBJ_BITMAP),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bitsPixel_(bitsPixel == 1 ? 1 : 32),
      surface_(std::make_unique<Surface>(width_, height_, start)) {}

BitmapObject::BitmapObject(const BITMAPINFOHEADER& header, std::vector<RGBQUAD> colors)
    : GdiObject(OBJ_BITMAP),
      width_(header.biWidth),
      height_(header.biHeight < 0 ? -header.biHeight : header.biHeight),
      bitsPixel_(header.biBitCount),
      isDib_(true),
      header_(header),
      colors_(std::move(colors)) {
  rowBytes_ = DibRowBytes(width_, bitsPixel_);
  header_.biSizeImage = uint32_t(rowBytes_) * uint32_t(height_);
  dibBits_.assign(size_t(rowBytes_) * size_t(height_), 0);
  if (bitsPixel_ == 32) {
    // The surface lies over the caller's bits; bottom-up rows get a negative stride.
    bool bottomUp = header.biHeight > 0;
    uint8_t* top = dibBits_.data() + (bottomUp ? size_t(height_ - 1) * rowBytes_ : 0);
    surface_ = std::make_unique<Surface>(top, width_, height_, bottomUp ? -rowBytes_ : rowBytes_);
  } else {
    surface_ = std::make_unique<Surface>(width_, height_);
    pullPending_ = true;
    std::lock_guard lock(gMirroredLock);
    Mirrored().insert(this);
  }
}

BitmapObject::~BitmapObject() {
  if (isDib_ && bitsPixel_ != 32) {
    std::lock_guard lock(gMirroredLock);
    Mirrored().erase(this);
  }
}

bool BitmapObject::IsMonochrome() const {
  if (bitsPixel_ != 1) return false;
  if (!isDib_) return true;
  auto rgb = [](const RGBQUAD& q) {
    return (uint32_t(q.rgbRed) << 16) | (uint32_t(q.rgbGreen) << 8) | q.rgbBlue;
  };
  return colors_.size() == 2 && rgb(colors_[0]) == 0 && rgb(colors_[1]) == 0xFFFFFF;
}

Surface& BitmapObject::Pixels() {
  if (pullPending_) Pull();
  return *surface_;
}

void BitmapObject::Changed() {
  if (!isDib_ || bitsPixel_ == 32) return;
  dirty_ = true;
  // Pixels written straight into the surface (OpenGL) after a flush are newer than the bits.
  pullPending_ = false;
}

void BitmapObject::Pull() {
  pullPending_ = false;
  DibToSurface(DibLayout(header_, colors_), dibBits_.data(), *surface_);
}

void BitmapObject::Flush() {
  if (!isDib_ || bitsPixel_ == 32) return;
  if (dirty_) SurfaceToDib(*surface_, DibLayout(header_, colors_), dibBits_.data());
  dirty_ = false;
  // From here the caller may write the bits; the next drawing reads them first.
  pullPending_ = true;
}

void BitmapObject::FlushAll() {
  std::set<BitmapObject*> bitmaps;
  {
    std::lock_guard lock(gMirroredLock);
    bitmaps = Mirrored();
  }
  for (BitmapObject* bitmap : bitmaps) bitmap->Flush();
}

}  // namespace plat
