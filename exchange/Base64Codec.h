#pragma once
// Base64 with the standard alphabet, as the document server expects it: CR LF after every 76
// characters of the encoded text (also at its very end when its length is a multiple of 76), the
// padding straight after the last group; and a lenient decoder over text without line breaks.

#include <cstdint>

#include "foundation/VconString.h"

class Base64Codec {
 public:
  Base64Codec();

  // The text of `count` bytes from `bytes` (count <= 0 gives empty text). Linear in the count.
  Vcon::String Encode(const char* bytes, int32_t count) const;

  // Decodes `text` four characters at a time into `out`, which must hold text.size() bytes (at most
  // three are written per four characters); answers the count written, or -1 when the first or second
  // character of a group lies outside the alphabet. A short last group is ignored; a third character
  // "=" ends decoding after the group's first byte, a fourth "=" leaves out the group's third byte.
  // The third and fourth characters are not checked: one outside the alphabet counts as 64 in eight
  // bits. "=" in first or second place counts as 61.
  int32_t Decode(const Vcon::String& text, char* out) const;

  // The six-bit value of a character, 61 for "=", 64 for anything outside the alphabet.
  static int32_t ValueOf(char c);

 private:
  char alphabet_[65];
};
