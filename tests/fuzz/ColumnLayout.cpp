// The columns of the price list's display and print lists as the lists lay them out: the first two
// bytes give the list's width in pixels (little-endian), the rest is a column file. The widths are
// spread over the list and each column placed after the ones before it, as the record-bound list
// does: every width stays within 0 and the most a column may take, every column starts where the one
// before it ends, and the total is that sum.
#include <cstddef>
#include <cstdint>

#include "FuzzSupport.h"
#include "calculation/CalculatorColumnFile.h"
#include "calculation/CalculatorFieldVisibility.h"
#include "controls/DisplayListLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  if (size < 2) return 0;
  const int32_t width = int32_t(int16_t(uint16_t(data[0] | data[1] << 8)));
  fuzz::OwnedHandle layout(
      calculator_columns::ParseColumnText(reinterpret_cast<const char*>(data + 2), size - 2));
  if (layout == nullptr) __builtin_trap();
  for (int32_t round = 0; round < 2; ++round) {  // a second round lays out what the first made
    DisplayListLayout::ScaleWidths(layout.get(), width);
    const int32_t total = DisplayListLayout::PlaceColumns(layout.get());
    int64_t x = 0;
    const uint32_t count = DisplayListLayout::ColumnCount(layout.get());
    for (uint32_t i = 0; i < count; ++i) {
      const DisplayListLayout::Column c = DisplayListLayout::ReadColumn(layout.get(), i);
      if (c.width < 0 || c.width > DisplayListLayout::kMaxColumnWidth) __builtin_trap();
      if (c.x != x) __builtin_trap();
      x += c.width;
    }
    if (total != x) __builtin_trap();
  }
  SetCalculatorDescriptionField(kDefaultDescriptionField);
  return 0;
}
