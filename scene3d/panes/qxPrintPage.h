// The page record of every printed page: 30 32-bit words. Made afresh for each physical page from the
// printer's context (paper, resolution, starting margins); the page layouts then fill the margins, the
// drawing rectangle, its origin and scale. A plain value: copies copy every field.
#pragma once

#include <cstdint>

#include "foundation/ppVector2.h"
#include "platform/GdiTypes.h"

class ppDC;

struct qxPrintPage {
  qxPrintPage() = default;
  // The device fields of `dc`'s printer (or screen) with the starting margins and options.
  explicit qxPrintPage(ppDC& dc);
  // A page exactly the size of the model area `min`-`max` (millimetres) drawn at 1:50 and 144 dpi,
  // no margins: the view bitmap's page. Pixel sizes truncate.
  qxPrintPage(const ppVector2& min, const ppVector2& max);
  // The view bitmap's resolution (144 dpi, dots per millimetre) and drawing scale (1:50).
  static constexpr float kBitmapDotsPerMm = 5.6692915f;
  static constexpr float kBitmapScale = 50.0f;

  float pageWidth = 0;  // printable page, device pixels
  float pageHeight = 0;
  float pixelsPerMmX = 0;  // page pixels over paper millimetres
  float pixelsPerMmY = 0;
  plat::RECT image{};    // the drawing rectangle, device pixels
  float zero[2]{};       // the drawing's minimum corner, model units
  float imageScale = 0;  // device pixels per model unit (per bitmap pixel while annotations draw)
  float textScale = 1;   // device pixels per typographic point
  float leftMargin = 0;  // the margins and bands in millimetres
  float rightMargin = 0;
  float topMargin = 0;     // the header band below the top of the printable area
  float bottomMargin = 0;  // added to the bottom margin
  float headerGap = 0;     // between the header band and the drawing
  float headerHeight = 0;
  float footerHeight = 0;  // the bottom margin (the title block's height)
  float paperWidthMm = 0;  // the paper as the device reports it, whole millimetres
  float paperHeightMm = 0;
  float dotsPerMmX = 0;  // the device resolution, dots per millimetre
  float dotsPerMmY = 0;
  // Switches read by the print code: 0 the header is printed on this page, 1 print the canvas's own
  // content, 2 print its elements, 5 also prints the content.
  uint8_t options[6]{};
  uint8_t padding[2]{};
  int32_t spare[2]{};
  uint8_t morePages = 0;  // set by the page printers: another page follows
  uint8_t padding2[3]{};
  int32_t spare2[2]{1, 0};
};

static_assert(sizeof(qxPrintPage) == 30 * 4, "the page record is 30 words");
