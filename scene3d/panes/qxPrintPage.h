// The page record of a printed 3D view: 30 32-bit words. The print set-up fills the device fields
// (page size, resolution, text scale); ComputePrintLayout fills the margins and the image placement.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

struct qxPrintPage {
  float pageWidth = 0;  // printable page, device pixels
  float pageHeight = 0;
  float pixelsPerMmX = 0;
  float pixelsPerMmY = 0;
  plat::RECT image{};  // where the 3D image goes, device pixels
  int32_t zero[2]{};
  float imageScale = 0;  // device pixels per pane pixel
  float textScale = 1;   // multiplies the header's font height and spacings
  float leftMargin = 0;  // the margins and bands in millimetres
  float rightMargin = 0;
  float topMargin = 0;
  float bottomMargin = 0;
  float headerGap = 0;  // between the header band and the image
  float headerHeight = 0;
  float footerHeight = 0;
  int32_t reserved[11]{};
};

static_assert(sizeof(qxPrintPage) == 30 * 4, "the page record is 30 words");
