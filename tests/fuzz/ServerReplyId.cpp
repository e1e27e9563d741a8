// A refusing reply of the document server: its error id read narrow and wide. Either both readings
// find nothing, or both find the same text, which lies inside the reply between two double quotes
// after an "id=".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/ServerReplyIdText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  // Each byte one unit, as a Latin-1 text: bytes from 0x80 are widened unsigned.
  std::u16string wide(size, u'\0');
  for (size_t i = 0; i < size; ++i) wide[i] = char16_t(data[i]);
  const auto narrowId = ServerReplyIdText(reply);
  const auto wideId = ServerReplyIdText(std::u16string_view(wide));
  if (narrowId.has_value() != wideId.has_value()) __builtin_trap();
  if (!narrowId) return 0;
  if (narrowId->size() != wideId->size()) __builtin_trap();
  for (size_t i = 0; i < narrowId->size(); ++i)
    if (char16_t(static_cast<unsigned char>((*narrowId)[i])) != (*wideId)[i]) __builtin_trap();
  const char* begin = reply.data();
  const char* at = narrowId->data();
  if (at <= begin || at + narrowId->size() >= begin + reply.size()) __builtin_trap();
  if (at[-1] != '"' || at[narrowId->size()] != '"') __builtin_trap();
  if (std::string_view(begin, size_t(at - begin)).find("id=") == std::string_view::npos) __builtin_trap();
  return 0;
}
