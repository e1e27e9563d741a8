#include "foundation/ServerReplyIdText.h"

namespace {

template <typename Char>
std::optional<std::basic_string_view<Char>> IdText(std::basic_string_view<Char> reply) {
  static constexpr Char kKey[] = {Char('i'), Char('d'), Char('='), Char(0)};
  const size_t id = reply.find(kKey);
  if (id == reply.npos) return std::nullopt;
  const size_t open = reply.find(Char('"'), id + 3);
  if (open == reply.npos) return std::nullopt;
  const size_t close = reply.find(Char('"'), open + 1);
  if (close == reply.npos) return std::nullopt;
  return reply.substr(open + 1, close - open - 1);
}

}  // namespace

std::optional<std::string_view> ServerReplyIdText(std::string_view reply) { return IdText(reply); }

std::optional<std::u16string_view> ServerReplyIdText(std::u16string_view reply) { return IdText(reply); }
