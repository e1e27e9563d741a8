#include "app/startup/StartFiles.h"

#include <fstream>

#include "app/startup/EscapedFieldReader.h"
#include "foundation/PosixPath.h"

std::string StartFiles::InstanceNameFromText(std::string_view bytes) {
  EscapedFieldReader reader(bytes);
  std::string field;
  bool lineEnded = false;
  if (!reader.Next(field, lineEnded)) return kDefaultInstanceName;  // no field 2
  reader.Next(field, lineEnded);
  // An empty name (an escaped NUL first, or nothing after the separator) would title no frame.
  return field.empty() ? std::string(kDefaultInstanceName) : field;
}

int32_t StartFiles::ScreenModeFromText(std::string_view bytes, int32_t mode) {
  EscapedFieldReader reader(bytes);
  std::string field;
  bool lineEnded = false;
  bool more = true;
  while (more) {
    more = reader.Next(field, lineEnded);
    if (!more || field != "MULTISCREEN") continue;
    more = reader.NextQuoted(field, lineEnded);
    if (field == "NO")
      mode = 0;
    else if (field == "LEFT")
      mode = 1;
    else if (field == "RIGHT")
      mode = 2;
  }
  return mode;
}

std::string StartFiles::ReadWholeFile(std::u16string_view path) {
  std::ifstream file(Vcon::ResolvePosixPath(path), std::ios::binary);
  if (!file) return {};
  std::string bytes(kMaxFileBytes, '\0');
  file.read(bytes.data(), std::streamsize(bytes.size()));
  bytes.resize(size_t(file.gcount()));
  return bytes;
}

std::string StartFiles::ReadInstanceName(std::u16string_view path) {
  return InstanceNameFromText(ReadWholeFile(path));
}

int32_t StartFiles::ReadScreenMode(int32_t mode, std::u16string_view path) {
  return ScreenModeFromText(ReadWholeFile(path), mode);
}
