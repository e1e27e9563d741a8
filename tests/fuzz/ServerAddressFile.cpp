// The document server's address file: any bytes give a host and a path of 1 to 1023 bytes (escapes
// may have put TAB, CR or LF inside, never NUL); reading the same bytes again gives the same address.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "exchange/ServerAddress.h"

namespace {

bool Sound(const Vcon::String& value) {
  return !value.empty() && value.size() <= ServerAddress::kMaxFieldBytes &&
         value.find('\0') == Vcon::String::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ServerAddress address = ServerAddress::FromFileBytes(bytes);
  if (!Sound(address.host) || !Sound(address.path)) __builtin_trap();
  const ServerAddress again = ServerAddress::FromFileBytes(bytes);
  if (again.host != address.host || again.path != address.path) __builtin_trap();
  return 0;
}
