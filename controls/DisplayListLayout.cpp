#include "controls/DisplayListLayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr uint32_t kFlags = 32, kLayoutId = 36, kFace = 40, kFontSize = 72, kFrame = 76, kCount = 92;

// Writes `text` into a 32-byte text field: at most 31 bytes, a NUL, zeros after it.
void PutText(char* field, const std::string& text) {
  std::memset(field, 0, DisplayListLayout::kTextSize);
  std::memcpy(field, text.data(), std::min<size_t>(text.size(), DisplayListLayout::kTextSize - 1));
}

// The text before the first NUL of a 32-byte field (the whole field when it holds none).
std::string GetText(const char* field) {
  const void* end = std::memchr(field, 0, DisplayListLayout::kTextSize);
  const size_t n =
      end != nullptr ? size_t(static_cast<const char*>(end) - field) : DisplayListLayout::kTextSize;
  return std::string(field, n);
}

bool HoldsHeader(Handle layout) {
  return layout != nullptr && uint32_t(MemGetSize(layout)) >= DisplayListLayout::kHeaderSize;
}

}  // namespace

uint32_t DisplayListLayout::GetU32(const char* bytes) {
  uint8_t b[4];
  std::memcpy(b, bytes, 4);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

void DisplayListLayout::PutU32(char* bytes, uint32_t value) {
  const uint8_t b[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
  std::memcpy(bytes, b, 4);
}

Handle DisplayListLayout::Make(const Header& header, const std::vector<Column>& columns) {
  const uint32_t size = kHeaderSize + kColumnSize * uint32_t(columns.size());
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, size);
  MemClear(h);
  char* p = *h;
  PutText(p, header.title);
  PutU32(p + kFlags, header.flags);
  PutU32(p + kLayoutId, header.layoutId);
  PutText(p + kFace, header.fontFace);
  PutU32(p + kFontSize, header.fontSize);
  WriteFrame(h, header.frame);
  PutU32(*h + kCount, uint32_t(columns.size()));
  for (uint32_t i = 0; i < columns.size(); ++i) WriteColumn(h, i, columns[i]);
  return h;
}

bool DisplayListLayout::ReadHeader(Handle layout, Header* out) {
  if (!HoldsHeader(layout)) return false;
  const char* p = *layout;
  out->title = GetText(p);
  out->flags = GetU32(p + kFlags);
  out->layoutId = GetU32(p + kLayoutId);
  out->fontFace = GetText(p + kFace);
  out->fontSize = GetU32(p + kFontSize);
  for (int i = 0; i < 4; ++i) out->frame[i] = int32_t(GetU32(p + kFrame + 4 * i));
  out->columnCount = GetU32(p + kCount);
  return true;
}

uint32_t DisplayListLayout::ColumnCount(Handle layout) {
  if (!HoldsHeader(layout)) return 0;
  const uint32_t present = (uint32_t(MemGetSize(layout)) - kHeaderSize) / kColumnSize;
  return std::min(GetU32(*layout + kCount), present);
}

DisplayListLayout::Column DisplayListLayout::ReadColumn(Handle layout, uint32_t i) {
  Column c;
  if (i >= ColumnCount(layout)) return c;
  const char* p = *layout + kHeaderSize + kColumnSize * i;
  c.layoutId = GetU32(p);
  c.table = GetU32(p + 4);
  c.fieldIndex = int32_t(GetU32(p + 8));
  c.x = int32_t(GetU32(p + 12));
  c.width = int32_t(GetU32(p + 16));
  c.textFormat = int32_t(GetU32(p + 20));
  c.flags = GetU32(p + 24);
  c.extra = GetU32(p + 28);
  return c;
}

void DisplayListLayout::WriteColumn(Handle layout, uint32_t i, const Column& c) {
  if (layout == nullptr || uint32_t(MemGetSize(layout)) < kHeaderSize + kColumnSize * (i + 1)) return;
  char* p = *layout + kHeaderSize + kColumnSize * i;
  PutU32(p, c.layoutId);
  PutU32(p + 4, c.table);
  PutU32(p + 8, uint32_t(c.fieldIndex));
  PutU32(p + 12, uint32_t(c.x));
  PutU32(p + 16, uint32_t(c.width));
  PutU32(p + 20, uint32_t(c.textFormat));
  PutU32(p + 24, c.flags);
  PutU32(p + 28, c.extra);
}

void DisplayListLayout::WriteTitle(Handle layout, const std::string& title) {
  if (HoldsHeader(layout)) PutText(*layout, title);
}

void DisplayListLayout::WriteFrame(Handle layout, const int32_t frame[4]) {
  if (!HoldsHeader(layout)) return;
  for (int i = 0; i < 4; ++i) PutU32(*layout + kFrame + 4 * i, uint32_t(frame[i]));
}

int32_t DisplayListLayout::SaneWidth(double width) {
  if (!(width > 0)) return 0;  // not-a-number too
  return width >= double(kMaxColumnWidth) ? kMaxColumnWidth : int32_t(width);
}

void DisplayListLayout::ScaleWidths(Handle layout, int32_t total) {
  const uint32_t count = ColumnCount(layout);
  int64_t sum = 0;
  for (uint32_t i = 0; i < count; ++i) sum += SaneWidth(ReadColumn(layout, i).width);
  if (sum == 0) return;
  const float factor = float(std::max(total, 0)) / float(sum);
  for (uint32_t i = 0; i < count; ++i) {
    Column column = ReadColumn(layout, i);
    column.width = SaneWidth(double(float(SaneWidth(column.width)) * factor));
    WriteColumn(layout, i, column);
  }
}

int32_t DisplayListLayout::PlaceColumns(Handle layout) {
  constexpr int32_t kMostX = std::numeric_limits<int32_t>::max() - kMaxColumnWidth;
  const uint32_t count = ColumnCount(layout);
  int32_t x = 0;
  for (uint32_t i = 0; i < count; ++i) {
    Column column = ReadColumn(layout, i);
    column.x = x;
    column.width = SaneWidth(column.width);
    WriteColumn(layout, i, column);
    x = int32_t(std::min<int64_t>(int64_t(x) + column.width, kMostX));
  }
  return x;
}
