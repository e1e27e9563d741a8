// The hand-over record: any bytes as WM_COPYDATA data give a path read within cbData (the bytes sit
// in a block of exactly that size, so the sanitizers see any read beyond), without NUL, that is the
// text up to its first NUL less at most its enclosing double quotes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "app/startup/HandOverText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const auto block = std::make_unique<char[]>(size == 0 ? 1 : size);
  if (size > 0) std::memcpy(block.get(), data, size);
  plat::COPYDATASTRUCT record;
  record.cbData = plat::DWORD(size);
  record.lpData = block.get();
  const std::string path = HandOverText::FromCopyData(record);
  const std::string_view text =
      std::string_view(block.get(), size).substr(0, std::string_view(block.get(), size).find('\0'));
  if (path.find('\0') != std::string::npos || path.size() > text.size() || text.size() - path.size() > 2)
    __builtin_trap();
  if (text.find(path) == std::string_view::npos) __builtin_trap();
  return 0;
}
