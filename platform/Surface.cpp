#include "platform/Surface.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/Raster.h"

namespace plat {

Surface::Surface(int32_t width, int32_t height, PixelMemory::Start start)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), owns_(true) {
  owned_ = PixelMemory(size_t(width_) * size_t(height_), start);
  top_ = reinterpret_cast<uint8_t*>(owned_.Data());
  stride_ = width_ * 4;
  // Heap memory left for the caller to write holds whatever it held until then; a mapped block comes
  // zeroed either way.
  unusedZero_ = start == PixelMemory::Start::kZeroed || owned_.Mapped();
}

Surface::Surface(uint8_t* top, int32_t width, int32_t height, int32_t stride)
    : top_(top), width_(std::max(width, 0)), height_(std::max(height, 0)), stride_(stride) {}

Surface::~Surface() { DropCairo(); }

uint32_t Surface::Pixel(int32_t x, int32_t y) const {
  if (!Contains(x, y)) return 0;
  return Row32(y)[x] & 0x00FFFFFF;
}

void Surface::SetPixel(int32_t x, int32_t y, uint32_t rgb) {
  if (!Contains(x, y)) return;
  ColorRow32(y)[x] = rgb & 0x00FFFFFF;
  Touch();
}

void Surface::Fill(uint32_t rgb) {
  if (height_ > 0) FillPixelsRows(ColorRow32(0), stride_ / 4, width_, height_, rgb & 0x00FFFFFF);
  // Every pixel written whole: no unused byte is left as it was.
  unusedZero_ = true;
  Touch();
}

void Surface::Resize(int32_t width, int32_t height) {
  if (!owns_) throw int32_t(-50);
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  DropCairo();
  // Only the pixels outside the kept ones are cleared, and not at all in a mapped block, which the
  // kernel hands over zeroed: clearing the kept ones first would write them twice.
  PixelMemory pixels(size_t(width) * size_t(height), PixelMemory::Start::kWrittenByCaller);
  const bool zeroed = pixels.Mapped();
  const int32_t keepW = std::min(width, width_);
  const int32_t keepH = std::min(height, height_);
  for (int32_t y = 0; y < keepH; ++y) {
    uint32_t* row = pixels.Data() + size_t(y) * size_t(width);
    std::memcpy(row, std::as_const(*this).Row32(y), size_t(keepW) * 4);
    if (!zeroed) std::fill(row + keepW, row + width, 0u);
  }
  if (!zeroed && height > keepH)
    std::fill(pixels.Data() + size_t(keepH) * size_t(width), pixels.Data() + size_t(height) * size_t(width),
              0u);
  owned_ = std::move(pixels);
  width_ = width;
  height_ = height;
  top_ = reinterpret_cast<uint8_t*>(owned_.Data());
  stride_ = width_ * 4;
  Touch();
}

cairo_surface_t* Surface::Cairo() {
  if (stride_ <= 0 || width_ == 0 || height_ == 0) return nullptr;
  if (!cairo_)
    cairo_ = cairo_image_surface_create_for_data(top_, CAIRO_FORMAT_RGB24, width_, height_, stride_);
  // Cairo may write the byte above a pixel's colour.
  unusedZero_ = false;
  cairo_surface_mark_dirty(cairo_);
  Touch();
  return cairo_;
}

void Surface::DropCairo() {
  if (cairo_) cairo_surface_destroy(cairo_);
  cairo_ = nullptr;
}

}  // namespace plat
