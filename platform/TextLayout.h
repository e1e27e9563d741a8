#pragma once
// Splits text into the lines DrawText shows: paragraphs at line ends (unless single-line) and, with
// DT_WORDBREAK, greedy breaks between words so that each line fits the width; a word wider than the
// width keeps a line of its own. Spaces at a break are dropped. Without DT_NOPREFIX, "&x" shows "x"
// underlined (the first such character only) and "&&" shows "&".

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GdiTypes.h"

namespace plat {

struct TextLine {
  std::u16string text;
  int32_t width = 0;    // device pixels
  size_t start = 0;     // offset of the line in the text as shown (prefix marks removed)
  int32_t marked = -1;  // index in `text` of the character to underline, or -1
};

using MeasureText = std::function<int32_t(std::u16string_view)>;

std::vector<TextLine> LayoutText(std::u16string_view text, UINT format, int32_t maxWidth,
                                 const MeasureText& measure);
// The text without prefix marks; `marked` (when given) receives the index of the first marked
// character in the result, or npos.
std::u16string StripPrefixes(std::u16string_view text, size_t* marked = nullptr);

}  // namespace plat
