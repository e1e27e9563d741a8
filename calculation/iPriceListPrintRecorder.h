// Hears every drawing of the price list's print as the pane hands it to the drawing context: fonts,
// texts in their rectangles, rules, frames, filled dots and squares (colours in percent), pictures and
// page breaks. Device pixels throughout. The pane does not own it; tests use it to read pages exactly.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ColorConversion.h"
#include "platform/GdiTypes.h"

class iPriceListPrintRecorder {
 public:
  virtual ~iPriceListPrintRecorder() = default;
  // The face, the height in device pixels and whether it is bold.
  virtual void Font(const char* face, int32_t height, bool bold) = 0;
  virtual void Text(const Vcon::WString& text, const plat::RECT& r, uint32_t flags) = 0;
  virtual void Rule(int32_t x1, int32_t y1, int32_t x2, int32_t y2) = 0;
  virtual void Frame(const plat::RECT& r) = 0;
  virtual void Ellipse(const plat::RECT& r, const ppRGBColor& percent) = 0;
  virtual void Square(const plat::RECT& r, const ppRGBColor& percent) = 0;
  virtual void Picture(const plat::RECT& r) = 0;
  // One printer page ended and the next one started.
  virtual void PageBreak() = 0;
};
