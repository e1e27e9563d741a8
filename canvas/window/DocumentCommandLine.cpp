#include "canvas/window/DocumentCommandLine.h"

#include "foundation/PosixPath.h"

Vcon::WString DocumentPathFromCommandLine(std::string_view line) {
  if (!line.empty() && line.front() == '"') {
    line.remove_prefix(1);
    if (!line.empty() && line.back() == '"') line.remove_suffix(1);
  }
  return Vcon::WString(Vcon::Utf16FromUtf8(line));
}
