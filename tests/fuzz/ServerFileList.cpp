// The document server's file list reply: cleaned as every reply is, then parsed. Every entry must have
// a name (empty ones are skipped), and the parse must not depend on anything after the last entry.
#include <cstddef>
#include <cstdint>
#include <string>

#include "exchange/ParseServerFileList.h"
#include "exchange/Save2ServerSession.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::erase(bytes, '\0');  // the client drops NUL bytes as it receives a reply
  const Vcon::String reply = Save2ServerSession::CleanReply(Vcon::String(std::move(bytes)));
  const auto list = ParseServerFileList(reply);
  for (const ServerFileEntry& entry : *list) {
    if (entry.name.empty()) __builtin_trap();
  }
  // Each entry has a "date=" of its own, after the one before it.
  if (list->size() * 5 > reply.size()) __builtin_trap();
  return 0;
}
