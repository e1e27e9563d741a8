#include "tests/framework/TestPng.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace {

void Append(png_structp png, png_bytep data, size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

void Flush(png_structp) {}

}  // namespace

std::vector<uint8_t> EncodeTestPng(const TestPngImage& image) {
  auto* out = new std::vector<uint8_t>;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    delete out;
    throw std::runtime_error("test PNG could not be written");
  }
  png_set_write_fn(png, out, Append, Flush);
  if (image.filters >= 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, image.filters);
  if (image.idatBytes != 0) png_set_compression_buffer_size(png, image.idatBytes);
  png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
               image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  std::vector<png_color> palette;
  for (size_t i = 0; i + 2 < image.paletteRGB.size(); i += 3)
    palette.push_back(png_color{image.paletteRGB[i], image.paletteRGB[i + 1], image.paletteRGB[i + 2]});
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  if (!image.paletteAlpha.empty())
    png_set_tRNS(png, info, image.paletteAlpha.data(), int(image.paletteAlpha.size()), nullptr);
  if (image.transparentGrey >= 0) {
    png_color_16 grey{};
    grey.gray = png_uint_16(image.transparentGrey);
    png_set_tRNS(png, info, nullptr, 0, &grey);
  }
  if (image.pixelsPerMeter)
    png_set_pHYs(png, info, image.pixelsPerMeter, image.pixelsPerMeter, PNG_RESOLUTION_METER);
  std::vector<png_bytep> rows;
  for (const auto& row : image.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  std::vector<uint8_t> result = std::move(*out);
  delete out;
  return result;
}
