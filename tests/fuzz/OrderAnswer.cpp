// An order service's answer: the cut keeps exactly the bytes from the first "<" to the last ">",
// the same through a handle as through a view, and cutting again changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "exchange/OrderRequest.h"
#include "foundation/OwnedHandle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  const std::string_view answer(reinterpret_cast<const char*>(data), size);
  const std::string cut = OrderRequest::CutToMarkup(answer);
  if (!cut.empty()) {
    if (cut.front() != '<' || cut.back() != '>') __builtin_trap();
    if (answer.find(cut) != answer.find('<')) __builtin_trap();
    if (answer.find('<') + cut.size() != answer.rfind('>') + 1) __builtin_trap();
  }
  if (OrderRequest::CutToMarkup(cut) != cut) __builtin_trap();

  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(size));
  OwnedHandle owned(h);
  if (size > 0) std::memcpy(*h, data, size);
  OrderRequest::CutToMarkup(h);
  if (std::string(*h, size_t(MemGetSize(h))) != cut) __builtin_trap();
  return 0;
}
