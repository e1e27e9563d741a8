#include "scene3d/panes/qxPrintPage.h"

#include "framework/ppDC.h"
#include "platform/Gdi.h"
#include "platform/Printing.h"

namespace {

// A device that reports no paper size (a screen) gets no pixels per millimetre rather than infinity.
float PerMillimetre(float pixels, float millimetres) { return millimetres > 0 ? pixels / millimetres : 0.0f; }

}  // namespace

qxPrintPage::qxPrintPage(ppDC& dc) {
  plat::HDC hdc = dc.GetHDC();
  paperWidthMm = float(plat::GetDeviceCaps(hdc, plat::HORZSIZE));
  paperHeightMm = float(plat::GetDeviceCaps(hdc, plat::VERTSIZE));
  pageWidth = float(plat::GetDeviceCaps(hdc, plat::HORZRES));
  pageHeight = float(plat::GetDeviceCaps(hdc, plat::VERTRES));
  pixelsPerMmX = PerMillimetre(pageWidth, paperWidthMm);
  pixelsPerMmY = PerMillimetre(pageHeight, paperHeightMm);
  const float dotsX = float(plat::GetDeviceCaps(hdc, plat::LOGPIXELSX));
  const float dotsY = float(plat::GetDeviceCaps(hdc, plat::LOGPIXELSY));
  dotsPerMmX = dotsX / 25.4f;
  dotsPerMmY = dotsY / 25.4f;
  image = plat::RECT{0, 0, int32_t(pixelsPerMmX), int32_t(pixelsPerMmY)};
  imageScale = 1.0f;
  textScale = dotsX / 72.0f;
  leftMargin = 20;
  rightMargin = 10;
  topMargin = 10;
  bottomMargin = 0;
  headerGap = 5;
  headerHeight = 20;
  footerHeight = 20;
  options[1] = options[2] = 1;
}

qxPrintPage::qxPrintPage(const ppVector2& min, const ppVector2& max) {
  const float width = max.x - min.x;
  const float height = max.y - min.y;
  dotsPerMmX = dotsPerMmY = kBitmapDotsPerMm;
  textScale = 2.0f;
  pageWidth = width / kBitmapScale * kBitmapDotsPerMm;
  pageHeight = height / kBitmapScale * kBitmapDotsPerMm;
  pixelsPerMmX = width > 0 ? pageWidth / width : 0.0f;
  pixelsPerMmY = height > 0 ? pageHeight / height : 0.0f;
  image = plat::RECT{0, 0, int32_t(pageWidth), int32_t(pageHeight)};
  zero[0] = min.x;
  zero[1] = min.y;
  imageScale = kBitmapDotsPerMm / kBitmapScale;
  // Margins stay 0; the canvas's own content is not drawn, its elements are.
  options[0] = options[1] = 0;
  options[2] = 1;
  options[3] = options[4] = 0;
}
