#include "platform/Printer.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

#include "platform/PngFile.h"

namespace plat {
namespace {

constexpr double kPointsPerInch = 72.0;
constexpr double kTenthsPerInch = 254.0;

int32_t ToPixels(int32_t tenthsOfMillimetre) {
  return static_cast<int32_t>(std::lround(tenthsOfMillimetre * kPrinterDotsPerInch / kTenthsPerInch));
}

int32_t Across(const PrinterSetup& s) { return s.orientation == 2 ? s.paperHeight : s.paperWidth; }
int32_t Down(const PrinterSetup& s) { return s.orientation == 2 ? s.paperWidth : s.paperHeight; }

void RemoveQuietly(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}

}  // namespace

PrinterDevice::PrinterDevice(const PrinterSetup& setup)
    : setup_(setup),
      width_(std::max(1, ToPixels(Across(setup)))),
      height_(std::max(1, ToPixels(Down(setup)))),
      page_(width_, height_),
      dc_(CreateSurfaceDC(page_, POINT{0, 0}, RECT{0, 0, width_, height_})) {
  page_.Fill(0xFFFFFF);
}

PrinterDevice::~PrinterDevice() {
  AbortDocument();
  DeleteDC(dc_);
}

bool PrinterDevice::StartDocument(const std::string& path) {
  if (pdf_ || path.empty()) return false;
  std::string part = path + ".part";
  // The page in points is the paper itself; the pixels are the nearest whole number of dots.
  double across = Across(setup_) * kPointsPerInch / kTenthsPerInch;
  double down = Down(setup_) * kPointsPerInch / kTenthsPerInch;
  cairo_surface_t* pdf = cairo_pdf_surface_create(part.c_str(), across, down);
  if (cairo_surface_status(pdf) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(pdf);
    RemoveQuietly(part);
    return false;
  }
  pdf_ = pdf;
  path_ = path;
  partPath_ = part;
  pages_ = 0;
  return true;
}

bool PrinterDevice::StartPage() {
  if (!pdf_ || inPage_) return false;
  page_.Fill(0xFFFFFF);
  SurfaceChanged(dc_);
  inPage_ = true;
  return true;
}

bool PrinterDevice::EndPage() {
  if (!pdf_ || !inPage_) return false;
  inPage_ = false;
  GdiFlush();
  // The PDF keeps a snapshot of what it was given, so it gets a copy of the page, not the page.
  cairo_surface_t* pixels = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  uint8_t* data = cairo_image_surface_get_data(pixels);
  int32_t stride = cairo_image_surface_get_stride(pixels);
  for (int32_t y = 0; y < height_; ++y)
    std::memcpy(data + std::ptrdiff_t(y) * stride, std::as_const(page_).Row(y), size_t(width_) * 4);
  cairo_surface_mark_dirty(pixels);
  cairo_t* cr = cairo_create(pdf_);
  cairo_scale(cr, Across(setup_) * kPointsPerInch / kTenthsPerInch / width_,
              Down(setup_) * kPointsPerInch / kTenthsPerInch / height_);
  cairo_set_source_surface(cr, pixels, 0, 0);
  cairo_paint(cr);
  cairo_show_page(cr);
  bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_destroy(pixels);
  ++pages_;
  if (ok && !setup_.pngFolder.empty()) {
    ok = WritePng(page_, setup_.pngFolder + "/page-" + std::to_string(pages_) + ".png");
  }
  return ok;
}

bool PrinterDevice::EndDocument() {
  if (!pdf_) return false;
  if (inPage_) EndPage();
  cairo_surface_finish(pdf_);
  bool ok = cairo_surface_status(pdf_) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(pdf_);
  pdf_ = nullptr;
  std::error_code error;
  if (ok) std::filesystem::rename(partPath_, path_, error);
  if (!ok || error) {
    RemoveQuietly(partPath_);
    return false;
  }
  return true;
}

void PrinterDevice::AbortDocument() {
  if (!pdf_) return;
  cairo_surface_destroy(pdf_);  // finishes the part file; it is removed at once
  pdf_ = nullptr;
  inPage_ = false;
  RemoveQuietly(partPath_);
}

}  // namespace plat
