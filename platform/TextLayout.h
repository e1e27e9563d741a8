#pragma once
// Splits text into the lines DrawText shows: paragraphs at line ends (unless single-line) and, with
// DT_WORDBREAK, greedy breaks between words so that each line fits the width; a word wider than the
// width keeps a line of its own. Spaces at a break are dropped. Without DT_NOPREFIX, "&x" shows "x"
// and "&&" shows "&".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GdiTypes.h"

namespace plat {

struct TextLine {
  std::u16string text;
  int32_t width = 0;  // device pixels
};

using MeasureText = std::function<int32_t(std::u16string_view)>;

std::vector<TextLine> LayoutText(std::u16string_view text, UINT format, int32_t maxWidth,
                                 const MeasureText& measure);
std::u16string StripPrefixes(std::u16string_view text);

}  // namespace plat
