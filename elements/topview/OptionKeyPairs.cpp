#include "elements/topview/OptionKeyPairs.h"

#include <charconv>
#include <string>

#include "foundation/ppStringStream.h"
#include "foundation/ppTokenizer.h"

namespace {

// A whole decimal token; false for anything else (an empty token, a sign alone, letters, overflow).
bool WholeNumber(const std::u16string& token, int32_t& out) {
  std::string digits;
  for (char16_t c : token) {
    if (c > 0x7F) return false;
    digits += char(c);
  }
  const char* end = digits.data() + digits.size();
  const auto [at, error] = std::from_chars(digits.data(), end, out);
  return error == std::errc() && at == end && !digits.empty();
}

bool IsPairBreak(const std::u16string& token) { return token == u" " || token == u"\r"; }

}  // namespace

std::vector<OptionKeyPairs::Pair> OptionKeyPairs::Read(const Vcon::String& text) {
  std::vector<Pair> pairs;
  ppStringStream stream(text);
  // ":" and " " come back as tokens of their own; a run of CR and LF comes back as one "\r" token.
  ppTokenizer tokens(stream, u": ", u"", u"\r\n", ppTokenizer::kNarrow, false);
  Vcon::WString token;
  // Every pass reads at least one token, and a text of n bytes holds at most n tokens.
  for (size_t pass = 0; pass <= text.size() && !tokens.AtEnd(); ++pass) {
    tokens.GetToken(token);
    int32_t key = 0, id = 0;
    if (IsPairBreak(token) || !WholeNumber(token, key) || !tokens.Accept(u":")) continue;
    tokens.GetToken(token);
    if (IsPairBreak(token)) continue;
    if (WholeNumber(token, id)) pairs.emplace_back(key, id);
  }
  return pairs;
}
