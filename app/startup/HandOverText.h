#pragma once
// The path a second start hands over, read from the WM_COPYDATA record it arrives in. The record's
// bytes come from another process: nothing beyond cbData is read, the text ends at the first NUL
// within them. A text that begins with a double quote loses it, and then its last character when
// that is a double quote too (so "\"a b.qxf\"" and "\"a b.qxf" both give a b.qxf; a lone "\"" gives
// nothing). Stateless; any thread.

#include <string>
#include <string_view>

#include "platform/WindowTypes.h"

class HandOverText {
 public:
  static std::string FromCopyData(const plat::COPYDATASTRUCT& data);
  static std::string FromBytes(std::string_view bytes);
};
