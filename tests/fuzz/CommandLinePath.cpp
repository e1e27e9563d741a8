// The program's argument bytes as the document window reads them: a path, possibly quoted, in UTF-8.
// The path never holds more UTF-16 units than the line has bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "canvas/window/DocumentCommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const Vcon::WString path = DocumentPathFromCommandLine(line);
  if (path.size() > size) __builtin_trap();
  return 0;
}
