// The start files: any bytes read as start.txt give a non-empty instance name of at most 255 bytes,
// read as config.txt a screen mode of 0, 1 or 2 or the one before; every field the reader gives keeps
// the limit, and the reader comes to an end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/startup/EscapedFieldReader.h"
#include "app/startup/StartFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string name = StartFiles::InstanceNameFromText(bytes);
  if (name.empty() || name.size() > EscapedFieldReader::kMaxFieldChars) __builtin_trap();
  const int32_t mode = StartFiles::ScreenModeFromText(bytes, 7);
  if (mode != 7 && (mode < 0 || mode > 2)) __builtin_trap();

  EscapedFieldReader reader(bytes);
  std::string field;
  bool lineEnded = false;
  size_t fields = 0;
  for (bool more = true; more; ++fields) {
    more = (fields % 2 == 0) ? reader.Next(field, lineEnded) : reader.NextQuoted(field, lineEnded);
    if (field.size() > EscapedFieldReader::kMaxFieldChars) __builtin_trap();
    if (fields > size + 1) __builtin_trap();  // every field but the last takes a byte at least
  }
  return 0;
}
