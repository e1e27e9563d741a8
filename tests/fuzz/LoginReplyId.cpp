// A refusing reply of the document server's login, upload or download: the error id it carries, read
// as the refusal box shows it. Either the reply has an id text (between the double quotes after its
// first "id=") and the number is that text read as a whole number, or it has none and the number is 0.
#include <cstddef>
#include <cstdint>
#include <string>

#include "exchange/ParseLoginReply.h"
#include "foundation/ServerReplyIdText.h"
#include "foundation/ppParameter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Vcon::String reply(std::string(reinterpret_cast<const char*>(data), size));
  const int32_t id = ServerReplyErrorId(reply);
  const auto text = ServerReplyIdText(std::string_view(reply));
  if (!text) {
    if (id != 0) __builtin_trap();
    return 0;
  }
  if (id != ppParameter(Vcon::String(std::string(*text))).ToLong()) __builtin_trap();
  return 0;
}
