// The display-list layout block: which record fields a record-bound list shows as columns, in which
// order, how wide and with which text format. A flat little-endian block: a 96-byte header, then one
// 32-byte entry per column. Fields are read and written byte by byte, never through a cast structure,
// so a block keeps its exact bytes whatever the host's alignment and word size.
//
// Header: title (32 bytes, NUL-terminated, filler after the NUL), flags, layout id (the record
// layout's file id), font face (32 bytes), font size, frame (four i32: left, top, right, bottom in the
// list's supervisor's pixels), column count. Column: layout id (0 = the list's own table), table (a
// run-time word nothing reads; kept 0), field index (the low 16 bits signed), x and width (pixels),
// text format (the platform's DT_ flags; -1 sets them all, the measure-only flag among them, so such
// a column draws no text), column flags, extra.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Vcon_HandleManager.h"

class DisplayListLayout {
 public:
  static constexpr uint32_t kHeaderSize = 96;
  static constexpr uint32_t kColumnSize = 32;
  static constexpr uint32_t kTextSize = 32;  // title and font face, NUL included

  struct Header {
    std::string title;   // at most 31 bytes are stored
    uint32_t flags = 0;  // 1 screen, 2 print, 0 generated; not interpreted
    uint32_t layoutId = 0;
    std::string fontFace;  // at most 31 bytes are stored
    uint32_t fontSize = 0;
    int32_t frame[4] = {0, 0, 0, 0};
    uint32_t columnCount = 0;
  };

  struct Column {
    uint32_t layoutId = 0;
    uint32_t table = 0;
    int32_t fieldIndex = 0;  // the stored word; FieldOf gives the index the list uses
    int32_t x = 0;
    int32_t width = 0;
    int32_t textFormat = 0;
    uint32_t flags = 0;
    uint32_t extra = 0;
  };

  // A new handle (the caller's) holding the header and the columns; the header's column count is
  // written as columns.size(). Texts are cut to 31 bytes and a NUL, the rest of each text zeroed.
  static Handle Make(const Header& header, const std::vector<Column>& columns);

  // The header of `layout`; false (and `out` untouched) when the block is shorter than a header.
  static bool ReadHeader(Handle layout, Header* out);
  // The columns the block really holds: the stored count, limited to the entries present.
  static uint32_t ColumnCount(Handle layout);
  // Column `i` (below ColumnCount); a zeroed column otherwise.
  static Column ReadColumn(Handle layout, uint32_t i);
  // Writes column `i` in place; nothing when the block does not hold it.
  static void WriteColumn(Handle layout, uint32_t i, const Column& column);

  // Column widths come from files: a width any column may take is 0 to kMaxColumnWidth pixels.
  static constexpr int32_t kMaxColumnWidth = 1 << 16;
  // `width` (pixels) as such a width: negative and not-a-number give 0, larger ones the most.
  static int32_t SaneWidth(double width);
  // Spreads the columns over `total` pixels in proportion to their sane widths; nothing when those
  // sum to 0.
  static void ScaleWidths(Handle layout, int32_t total);
  // Each column gets its sane width and the x where the ones before it end; answers the total
  // width. Never beyond what 32 bits hold, whatever the block says.
  static int32_t PlaceColumns(Handle layout);

  // Single header words written in place (nothing on a block shorter than a header).
  static void WriteTitle(Handle layout, const std::string& title);
  static void WriteFrame(Handle layout, const int32_t frame[4]);

  // The field index a list reads from a column: the stored word's low 16 bits as a signed number.
  static int32_t FieldOf(const Column& column) {
    return int16_t(uint16_t(uint32_t(column.fieldIndex) & 0xFFFF));
  }

  // Little-endian words of a byte block.
  static uint32_t GetU32(const char* bytes);
  static void PutU32(char* bytes, uint32_t value);
};
