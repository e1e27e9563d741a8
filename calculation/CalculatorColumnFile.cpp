#include "calculation/CalculatorColumnFile.h"

#include <string>
#include <vector>

#include "calculation/CalculatorFieldVisibility.h"
#include "controls/DisplayListLayout.h"
#include "foundation/FileOperations.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/OwnedHandle.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TabField.h"
#include "foundation/ppFile.h"

namespace calculator_columns {

namespace {

// Longest field kept; the numbers the fields hold are far shorter.
constexpr size_t kFieldSize = 256;

}  // namespace

Handle ParseColumnText(const char* text, size_t size) {
  Handle dummy = LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorDummyDlst");
  if (dummy == nullptr) return nullptr;
  DisplayListLayout::Header header;
  const bool read = DisplayListLayout::ReadHeader(dummy, &header);
  ReleaseResourceHandle(dummy);
  if (!read) return nullptr;

  // The field reader stops at a NUL: work on a terminated copy.
  const std::string terminated(text, size);
  std::vector<DisplayListLayout::Column> columns;
  const char* p = terminated.c_str();
  while (p != nullptr && *p != '\0') {
    int32_t values[5] = {0, 0, 0, 0, 0};
    int32_t got = 0;
    for (; got < 5 && p != nullptr; ++got) {
      char field[kFieldSize];
      bool lineEnded = false;
      p = ParseTabField(field, sizeof field, p, lineEnded);
      TextToInt(values[got], Vcon::String(field));
    }
    if (got < 5) break;  // the text ended inside this column
    DisplayListLayout::Column column;
    column.layoutId = uint32_t(values[0]);
    column.fieldIndex = values[1];
    column.width = values[2];
    column.textFormat = values[3];
    column.flags = uint32_t(values[4]);
    if ((column.flags & kDescriptionOption) != 0)
      SetCalculatorDescriptionField(DisplayListLayout::FieldOf(column));
    columns.push_back(column);
  }
  header.columnCount = uint32_t(columns.size());
  return DisplayListLayout::Make(header, columns);
}

Handle ReadColumnFile(const Vcon::WString& path) {
  Handle bytes = nullptr;
  try {
    // Read-only: a column file the user may not write (or one open elsewhere) is still read.
    bytes = ReadFileToHandle(ppFileSpec(path));
  } catch (int32_t) {
    return nullptr;
  }
  if (bytes == nullptr) return ParseColumnText("", 0);
  OwnedHandle owned(bytes);
  return ParseColumnText(*bytes, size_t(MemGetSize(bytes)));
}

Vcon::WString ColumnFilePath(int32_t n) {
  Vcon::WString path;
  GetStringArrayText(path, kSettingsPaths, n);
  return path;
}

}  // namespace calculator_columns
