#pragma once
// The paper sizes of the layer's printer, by the numbers a device mode keeps in dmPaperSize (the
// platform's DMPAPER values, so kept print settings mean the same paper everywhere). Sizes are of the
// sheet held portrait, in hundredths of a millimetre.

#include <cstdint>
#include <span>

namespace plat {

constexpr int16_t DMPAPER_LETTER = 1;   // 8.5 x 11 in
constexpr int16_t DMPAPER_TABLOID = 3;  // 11 x 17 in
constexpr int16_t DMPAPER_LEGAL = 5;    // 8.5 x 14 in
constexpr int16_t DMPAPER_A3 = 8;
constexpr int16_t DMPAPER_A4 = 9;
constexpr int16_t DMPAPER_A5 = 11;

struct PaperSize {
  int16_t code;           // DMPAPER_*
  const char16_t* name;   // as the page set-up box lists it
  int32_t width, height;  // portrait, hundredths of a millimetre
};

class PaperSizes {
 public:
  // In the order the page set-up box lists them.
  static std::span<const PaperSize> All();
  // The paper numbered `code`; A4 for a number the printer does not know (a damaged or foreign
  // settings file), so a print never goes to a sheet of no size.
  static const PaperSize& Of(int16_t code);
};

}  // namespace plat
