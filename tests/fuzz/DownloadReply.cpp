// The document server's download reply: cleaned as every reply is, then read into a handle. A reply
// is either returned as it is (it holds "<error>", the handle untouched), refused with code 9 or 11
// (the handle untouched), or accepted with the fixed text and at most three bytes per four characters
// of data in the handle.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "exchange/Save2ServerFailure.h"
#include "exchange/Save2ServerSession.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::erase(bytes, '\0');
  const Vcon::String reply = Save2ServerSession::CleanReply(Vcon::String(std::move(bytes)));
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 3);
  fuzz::OwnedHandle owned(h);
  std::memcpy(*h, "old", 3);
  try {
    const Vcon::String answer = Save2ServerSession::ReadDownloadReply(reply, h);
    if (answer == reply && reply.find("<error>") != std::string::npos) {
      if (MemGetSize(h) != 3 || std::memcmp(*h, "old", 3) != 0) __builtin_trap();
    } else if (answer.find("<accept type=\"download\"/>") == std::string::npos) {
      __builtin_trap();
    } else if (size_t(MemGetSize(h)) * 4 > reply.size() * 3) {
      __builtin_trap();
    }
  } catch (const Save2ServerFailure& failure) {
    if (failure.GetCode() != 9 && failure.GetCode() != 11) __builtin_trap();
    if (MemGetSize(h) != 3 || std::memcmp(*h, "old", 3) != 0) __builtin_trap();
  }
  return 0;
}
