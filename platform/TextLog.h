// The test log of drawn texts: while it is on, every DrawText and TextOut call records its text, where
// it was drawn (the caller's coordinates: the rectangle's top-left, or the TextOut point), the selected
// font's height and escapement (tenths of a degree). Tests read what a page printed without reading
// pixels. Off by default; on the reset list. Drawing thread only (the user-interface thread).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace plat {

struct TextLogRecord {
  std::u16string text;
  int32_t x = 0;
  int32_t y = 0;
  int32_t height = 0;      // the font's height as it was asked for
  int32_t escapement = 0;  // tenths of a degree, counterclockwise
  uint32_t format = 0;     // DrawText's format; 0 for TextOut
};

// Turns recording on or off; turning it on does not clear what was recorded.
void RecordDrawnTexts(bool on);
std::vector<TextLogRecord> DrawnTextLog();
void ClearDrawnTextLog();

// Called by the text calls.
void NoteDrawnText(std::u16string_view text, int32_t x, int32_t y, int32_t height, int32_t escapement,
                   uint32_t format);

}  // namespace plat
