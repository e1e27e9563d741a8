#include "platform/PaperSizes.h"

#include <algorithm>
#include <array>

namespace plat {

namespace {
// 1 inch = 2540 hundredths of a millimetre, so the inch papers are exact.
constexpr std::array<PaperSize, 6> kPapers{{
    {DMPAPER_A4, u"A4 (210 x 297 mm)", 21000, 29700},
    {DMPAPER_A3, u"A3 (297 x 420 mm)", 29700, 42000},
    {DMPAPER_A5, u"A5 (148 x 210 mm)", 14800, 21000},
    {DMPAPER_LETTER, u"Letter (8.5 x 11 in)", 21590, 27940},
    {DMPAPER_LEGAL, u"Legal (8.5 x 14 in)", 21590, 35560},
    {DMPAPER_TABLOID, u"Tabloid (11 x 17 in)", 27940, 43180},
}};
}  // namespace

std::span<const PaperSize> PaperSizes::All() { return kPapers; }

const PaperSize& PaperSizes::Of(int16_t code) {
  auto found =
      std::find_if(kPapers.begin(), kPapers.end(), [code](const PaperSize& p) { return p.code == code; });
  return found != kPapers.end() ? *found : kPapers.front();
}

}  // namespace plat
