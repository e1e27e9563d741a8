// The price list's columns from a column text file: every five tab-separated fields make one column
// (layout id, field index, width in pixels, text format, option bits), appended to the column-less
// display list "qxCalculatorDummyDlst". A column whose option bits hold kDescriptionOption makes its
// field the description field (CalculatorFieldVisibility). User-interface thread only.
#pragma once

#include <cstddef>

#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"

namespace calculator_columns {

// The option bit that makes a column's field the description field.
constexpr uint32_t kDescriptionOption = 0x20;
// The settings-path list and its entries: the screen columns and the printed columns.
constexpr uint16_t kSettingsPaths = 134;
constexpr int32_t kScreenColumns = 1, kPrintColumns = 2;

// A new display list (the caller's) of the columns in `text` (`size` bytes, need not end in a NUL).
// A text that ends inside a column drops that column; a column whose five fields are all there counts
// even without a line end after it. Null when the dummy display list cannot be loaded.
Handle ParseColumnText(const char* text, size_t size);

// The display list of the file `path`, opened read-only; null when the file cannot be opened or read
// (the caller then uses the built-in columns). An empty file gives the header without columns.
Handle ReadColumnFile(const Vcon::WString& path);

// The path of entry `n` of the settings-path list.
Vcon::WString ColumnFilePath(int32_t n);

}  // namespace calculator_columns
