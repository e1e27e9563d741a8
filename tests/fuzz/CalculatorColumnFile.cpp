// The price list's column file as a user or another program may leave it: any bytes. The columns are
// read from the file (opened read-only) and from the bytes themselves; both readings must give the
// same display list, every column a whole five-field entry and the header the built-in one.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "calculation/CalculatorColumnFile.h"
#include "calculation/CalculatorFieldVisibility.h"
#include "controls/DisplayListLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  const char* text = reinterpret_cast<const char*>(data);
  Handle parsed = calculator_columns::ParseColumnText(text, size);
  if (parsed == nullptr) __builtin_trap();  // the dummy display list is built in
  DisplayListLayout::Header header;
  if (!DisplayListLayout::ReadHeader(parsed, &header)) __builtin_trap();
  const int32_t expectedSize =
      int32_t(DisplayListLayout::kHeaderSize + header.columnCount * DisplayListLayout::kColumnSize);
  if (MemGetSize(parsed) != expectedSize) __builtin_trap();
  // A column takes at least five fields: four separators each.
  if (header.columnCount > size / 4 + 1) __builtin_trap();
  Handle read = nullptr;
  try {
    read = calculator_columns::ReadColumnFile(
        Vcon::WString(Vcon::String(fuzz::WriteScratchFile("calcDisplayList.txt", data, size))));
  } catch (int32_t) {
    __builtin_trap();  // every failure is an answer of null, never an error number
  }
  // The file layer reads the bytes up to a NUL as the text reader does: both readings agree.
  const bool hasNul = std::memchr(data, 0, size) != nullptr;
  if (read != nullptr && !hasNul &&
      (MemGetSize(read) != MemGetSize(parsed) || std::memcmp(*read, *parsed, size_t(MemGetSize(read))) != 0))
    __builtin_trap();
  MemDispose(read);
  MemDispose(parsed);
  SetCalculatorDescriptionField(kDefaultDescriptionField);
  return 0;
}
