#include "platform/TextLayout.h"

namespace plat {

namespace {

std::vector<std::u16string_view> Paragraphs(std::u16string_view text) {
  std::vector<std::u16string_view> out;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    out.push_back(text.substr(start, i - start));
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  out.push_back(text.substr(start));
  return out;
}

void BreakParagraph(std::u16string_view paragraph, int32_t maxWidth, const MeasureText& measure,
                    std::vector<TextLine>& lines) {
  std::u16string line;
  size_t i = 0;
  while (i < paragraph.size()) {
    size_t spaceEnd = i;
    while (spaceEnd < paragraph.size() && paragraph[spaceEnd] == u' ') ++spaceEnd;
    size_t wordEnd = spaceEnd;
    while (wordEnd < paragraph.size() && paragraph[wordEnd] != u' ') ++wordEnd;
    std::u16string_view spaces = paragraph.substr(i, spaceEnd - i);
    std::u16string_view word = paragraph.substr(spaceEnd, wordEnd - spaceEnd);
    std::u16string candidate = line + std::u16string(spaces) + std::u16string(word);
    if (!line.empty() && !word.empty() && measure(candidate) > maxWidth) {
      lines.push_back({line, measure(line)});
      line = std::u16string(word);
    } else {
      line = candidate;
    }
    i = wordEnd;
  }
  lines.push_back({line, measure(line)});
}

}  // namespace

std::u16string StripPrefixes(std::u16string_view text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    else if (text[i] == u'&') continue;
    out += text[i];
  }
  return out;
}

std::vector<TextLine> LayoutText(std::u16string_view text, UINT format, int32_t maxWidth,
                                 const MeasureText& measure) {
  std::u16string shown = (format & DT_NOPREFIX) ? std::u16string(text) : StripPrefixes(text);
  std::vector<TextLine> lines;
  if (format & DT_SINGLELINE) {
    std::u16string flat;
    for (char16_t c : shown)
      if (c != u'\r' && c != u'\n') flat += c;
    lines.push_back({flat, measure(flat)});
    return lines;
  }
  for (std::u16string_view paragraph : Paragraphs(shown)) {
    if (format & DT_WORDBREAK)
      BreakParagraph(paragraph, maxWidth, measure, lines);
    else
      lines.push_back({std::u16string(paragraph), measure(paragraph)});
  }
  return lines;
}

}  // namespace plat
