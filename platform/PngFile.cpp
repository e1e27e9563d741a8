#include "platform/PngFile.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {

bool WritePng(const Surface& surface, const std::string& path) {
  if (surface.Width() == 0 || surface.Height() == 0) return false;
  std::vector<uint8_t> rgb(size_t(surface.Width()) * surface.Height() * 3);
  for (int32_t y = 0; y < surface.Height(); ++y) {
    const uint32_t* row = surface.Row32(y);
    uint8_t* out = &rgb[size_t(y) * surface.Width() * 3];
    for (int32_t x = 0; x < surface.Width(); ++x) {
      out[3 * x] = uint8_t(row[x] >> 16);
      out[3 * x + 1] = uint8_t(row[x] >> 8);
      out[3 * x + 2] = uint8_t(row[x]);
    }
  }
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = png_uint_32(surface.Width());
  image.height = png_uint_32(surface.Height());
  image.format = PNG_FORMAT_RGB;
  bool ok = png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

std::unique_ptr<Surface> ReadPng(const std::string& path) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return nullptr;
  image.format = PNG_FORMAT_BGRA;
  if (image.width == 0 || image.height == 0 || image.width > 32767 || image.height > 32767) {
    png_image_free(&image);
    return nullptr;
  }
  auto surface = std::make_unique<Surface>(int32_t(image.width), int32_t(image.height));
  png_color black{0, 0, 0};
  if (!png_image_finish_read(&image, &black, surface->Row(0), surface->Stride(), nullptr)) {
    png_image_free(&image);
    return nullptr;
  }
  for (int32_t y = 0; y < surface->Height(); ++y)
    for (int32_t x = 0; x < surface->Width(); ++x) surface->Row32(y)[x] &= 0x00FFFFFF;
  return surface;
}

PixelDifference ComparePixels(const Surface& a, const Surface& b, int32_t tolerance) {
  PixelDifference result;
  if (a.Width() != b.Width() || a.Height() != b.Height()) {
    result.sameSize = false;
    return result;
  }
  for (int32_t y = 0; y < a.Height(); ++y) {
    for (int32_t x = 0; x < a.Width(); ++x) {
      uint32_t pa = a.Pixel(x, y), pb = b.Pixel(x, y);
      int32_t worst = 0;
      for (int shift = 0; shift < 24; shift += 8)
        worst = std::max(worst, std::abs(int32_t((pa >> shift) & 0xFF) - int32_t((pb >> shift) & 0xFF)));
      result.largest = std::max(result.largest, worst);
      if (worst <= tolerance) continue;
      if (result.pixels++ == 0) {
        result.firstX = x;
        result.firstY = y;
      }
    }
  }
  return result;
}

}  // namespace plat
