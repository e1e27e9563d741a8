#include "exchange/ServerAddress.h"

#include <string>

#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"
#include "foundation/OwnedHandle.h"
#include "foundation/TabField.h"
#include "foundation/TextsById.h"

namespace {

Vcon::String OrStar(Vcon::String value) { return value.empty() ? Vcon::String("*") : value; }

}  // namespace

ServerAddress ServerAddress::FromFileBytes(std::string_view bytes) {
  // ParseTabField reads a NUL-terminated text; a NUL inside the file ends it there, as it ends a field.
  const std::string text(bytes.substr(0, bytes.find('\0')));
  ServerAddress address;
  Vcon::String* const fields[] = {&address.host, &address.path};
  ParseTabFields(text.c_str(), fields, kMaxFieldBytes);
  for (Vcon::String* field : fields) *field = OrStar(*field);
  return address;
}

ServerAddress ServerAddress::FromSettings() {
  Handle file = nullptr;
  bool read = false;
  try {
    file = ReadFileToHandle(ppFileSpec(Vcon::WString(kFilePath)));
    read = true;
  } catch (int32_t) {
    // No readable address file: the installation's texts say where the server is.
  }
  if (read) {
    OwnedHandle owned(file);
    return FromFileBytes(file == nullptr ? std::string_view()
                                         : std::string_view(*file, size_t(MemGetSize(file))));
  }
  ServerAddress address;
  Vcon::WString host, path;
  if (GetTextById(kHostText, host)) address.host = OrStar(host.Narrow());
  if (GetTextById(kPathText, path)) address.path = OrStar(path.Narrow());
  return address;
}
