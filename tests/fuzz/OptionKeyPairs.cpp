// An option key text of a price record: "A:B" pairs between blanks and line breaks. A text holds no
// more pairs than colons, and the pairs read, written back as "A:B" pairs between blanks, read back
// as the same pairs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "elements/topview/OptionKeyPairs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<OptionKeyPairs::Pair> pairs = OptionKeyPairs::Read(Vcon::String(text));
  size_t colons = 0;
  for (char c : text) colons += c == ':';
  if (pairs.size() > colons) __builtin_trap();
  std::string written;
  for (const auto& [key, id] : pairs) written += std::to_string(key) + ":" + std::to_string(id) + " ";
  if (OptionKeyPairs::Read(Vcon::String(written)) != pairs) __builtin_trap();
  return 0;
}
