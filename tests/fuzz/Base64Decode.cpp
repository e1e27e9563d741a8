// Base64 text as a download carries it: decoded into a buffer exactly as long as the text (the
// decoder's promise is at most three bytes per four characters). Then the bytes themselves are
// encoded and decoded again, which must give them back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "exchange/Base64Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Base64Codec codec;
  const Vcon::String text(reinterpret_cast<const char*>(data), size);
  // Its own allocation of exactly the text's length, so that AddressSanitizer sees any byte beyond.
  std::unique_ptr<char[]> out(new char[size == 0 ? 1 : size]);
  const int32_t count = codec.Decode(text, out.get());
  if (count < -1 || (count > 0 && size_t(count) * 4 > size * 3)) __builtin_trap();

  std::string encoded = codec.Encode(reinterpret_cast<const char*>(data), int32_t(size));
  std::erase(encoded, '\r');
  std::erase(encoded, '\n');
  std::unique_ptr<char[]> back(new char[encoded.size() + 1]);
  const int32_t again = codec.Decode(encoded, back.get());
  if (again != int32_t(size) || (size > 0 && std::memcmp(back.get(), data, size) != 0)) __builtin_trap();
  return 0;
}
