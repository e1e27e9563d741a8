// The pairs of an option key text, as price records hold it: "A:B" pairs separated by blanks or line
// breaks (CR LF), A an option key (a class "id") and B the "id" of a unit or a colour, both decimal.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/VconString.h"

class OptionKeyPairs {
 public:
  using Pair = std::pair<int32_t, int32_t>;  // option key, unit or colour "id"

  // The pairs in text order. A piece that is not number, colon, number is skipped up to the next
  // blank or line break, so one bad pair does not hide the ones after it.
  static std::vector<Pair> Read(const Vcon::String& text);
};
