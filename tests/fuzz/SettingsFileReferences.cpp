// The settings builder's plain text files: the bytes are one ".txt" file of the demo's "files" folder,
// whose "{{identifier:layout:name}}" references become record ids. A refusal is a SourceError with
// file and line; an accepted text keeps every byte outside the references and holds no "{{" that
// opened a reference.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "tools/mkcatalog/SettingsFiles.h"
#include "tools/mkcatalog/SourceError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  // Catalogue 1 knows every name of up to 20 characters; the others know none.
  const mkcatalog::RecordResolver resolve = [](int32_t identifier, const std::string& layout,
                                               const std::string& name) -> int32_t {
    if (identifier != 1 || name.empty() || name.size() > 20)
      throw std::invalid_argument("no " + layout + " record named '" + name + "'");
    return int32_t(name.size());
  };
  try {
    const std::string out = mkcatalog::ResolveRecordReferences(text, "fuzz.txt", resolve);
    // Each reference of at least seven bytes becomes at most two digits.
    if (out.size() > text.size()) __builtin_trap();
  } catch (const mkcatalog::SourceError&) {
    // A refusal names the file and line.
  }
  return 0;
}
