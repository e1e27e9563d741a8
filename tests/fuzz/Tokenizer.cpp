// The tokenizer over a text read from a settings file: the first byte chooses the width mode, escapes
// and which reader's character sets apply; the rest is the stream. Every fourth token is given back
// and read again, as readers do when they look ahead.
#include <cstddef>
#include <cstdint>

#include "foundation/VconString.h"
#include "foundation/ppStringStream.h"
#include "foundation/ppTokenizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const uint8_t control = data[0];
  static const uint8_t kModes[] = {ppTokenizer::kAskStream, ppTokenizer::kNarrow, ppTokenizer::kWide};
  ppStringStream stream(Vcon::String(reinterpret_cast<const char*>(data + 1), size - 1));
  const bool priceReader = (control & 8) != 0;
  ppTokenizer tokens(stream, priceReader ? u": " : u":,", priceReader ? u"" : u" \t", u"\n\r",
                     kModes[(control & 3) % 3], (control & 4) != 0);
  Vcon::WString token;
  // Each token consumes at least one character, so the input bounds the reads; the limit only
  // turns a tokenizer that stops advancing into a finding instead of a hang.
  const size_t limit = 4 * size + 16;
  for (size_t i = 0; i < limit && !tokens.AtEnd(); ++i) {
    tokens.GetToken(token);
    if (i % 4 == 3) {
      tokens.Unget(1);
      tokens.GetToken(token);
      tokens.Accept(u":");
    }
  }
  if (!tokens.AtEnd()) __builtin_trap();
  return 0;
}
