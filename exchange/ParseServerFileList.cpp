#include "exchange/ParseServerFileList.h"

#include "exchange/UrlField.h"
#include "foundation/PosixPath.h"

namespace {

// The quoted value after `from`: answers the position of its closing quote, or npos when either quote
// is missing.
size_t QuotedValue(const std::string& reply, size_t from, std::string& value) {
  const size_t open = reply.find('"', from);
  if (open == std::string::npos) return std::string::npos;
  const size_t close = reply.find('"', open + 1);
  if (close == std::string::npos) return std::string::npos;
  value.assign(reply, open + 1, close - open - 1);
  return close;
}

}  // namespace

std::unique_ptr<ServerFileList> ParseServerFileList(const Vcon::String& reply) {
  auto list = std::make_unique<ServerFileList>();
  std::string name;
  std::string date;
  size_t at = reply.find("<file");
  while (at != std::string::npos) {
    const size_t nameAt = reply.find("name=", at);
    if (nameAt == std::string::npos) break;
    if (QuotedValue(reply, nameAt, name) == std::string::npos) break;
    const size_t dateAt = reply.find("date=", nameAt);
    if (dateAt == std::string::npos) break;
    if (QuotedValue(reply, dateAt, date) == std::string::npos) break;
    if (!name.empty()) {
      list->push_back(
          {UrlDecodeField(Vcon::WString(Vcon::Utf16FromUtf8(name))), WideFromNarrow(date.c_str())});
    }
    at = reply.find("<file", dateAt);
  }
  return list;
}
