#include "platform/TextLayout.h"

namespace plat {

namespace {

struct TextRun {
  std::u16string_view text;
  size_t start;  // offset in the whole shown text
};

std::vector<TextRun> Paragraphs(std::u16string_view text) {
  std::vector<TextRun> out;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'\r' && text[i] != u'\n') continue;
    out.push_back({text.substr(start, i - start), start});
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  out.push_back({text.substr(start), start});
  return out;
}

void BreakParagraph(TextRun paragraph, int32_t maxWidth, const MeasureText& measure,
                    std::vector<TextLine>& lines) {
  std::u16string_view text = paragraph.text;
  // The line grows word by word in place; `width` is its measure when known (-1 when not yet).
  std::u16string line;
  int32_t width = -1;
  size_t lineStart = 0, i = 0;
  while (i < text.size()) {
    size_t spaceEnd = i;
    while (spaceEnd < text.size() && text[spaceEnd] == u' ') ++spaceEnd;
    size_t wordEnd = spaceEnd;
    while (wordEnd < text.size() && text[wordEnd] != u' ') ++wordEnd;
    const size_t before = line.size();
    line.append(text.substr(i, wordEnd - i));
    if (before > 0 && wordEnd > spaceEnd) {
      const int32_t grown = measure(line);
      if (grown > maxWidth) {
        line.resize(before);
        lines.push_back({line, width >= 0 ? width : measure(line), paragraph.start + lineStart});
        line.assign(text.substr(spaceEnd, wordEnd - spaceEnd));
        lineStart = spaceEnd;  // the spaces at the break are dropped
        width = -1;
      } else {
        width = grown;
      }
    } else {
      width = -1;
    }
    i = wordEnd;
  }
  lines.push_back({line, width >= 0 ? width : measure(line), paragraph.start + lineStart});
}

}  // namespace

std::u16string StripPrefixes(std::u16string_view text, size_t* marked) {
  std::u16string out;
  if (marked) *marked = std::u16string_view::npos;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'&') {
      if (i + 1 >= text.size()) continue;
      ++i;
      if (text[i] != u'&' && marked && *marked == std::u16string_view::npos) *marked = out.size();
    }
    out += text[i];
  }
  return out;
}

std::vector<TextLine> LayoutText(std::u16string_view text, UINT format, int32_t maxWidth,
                                 const MeasureText& measure) {
  size_t marked = std::u16string_view::npos;
  std::u16string shown = (format & DT_NOPREFIX) ? std::u16string(text) : StripPrefixes(text, &marked);
  std::vector<TextLine> lines;
  if (format & DT_SINGLELINE) {
    std::u16string flat;
    size_t flatMarked = std::u16string_view::npos;
    if (shown.find_first_of(u"\r\n") == std::u16string::npos) {
      flat = std::move(shown);  // nothing to join: the usual case
      flatMarked = marked;
    } else {
      for (size_t i = 0; i < shown.size(); ++i) {
        if (i == marked) flatMarked = flat.size();
        if (shown[i] != u'\r' && shown[i] != u'\n') flat += shown[i];
      }
    }
    const int32_t width = measure(flat);
    lines.push_back({std::move(flat), width, 0});
    marked = flatMarked;
  } else {
    for (const TextRun& paragraph : Paragraphs(shown)) {
      if (format & DT_WORDBREAK)
        BreakParagraph(paragraph, maxWidth, measure, lines);
      else
        lines.push_back({std::u16string(paragraph.text), measure(paragraph.text), paragraph.start});
    }
  }
  for (TextLine& line : lines)
    if (marked != std::u16string_view::npos && marked >= line.start && marked < line.start + line.text.size())
      line.marked = int32_t(marked - line.start);
  return lines;
}

}  // namespace plat
