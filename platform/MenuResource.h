#pragma once
// Menus compiled into the program (resource kind Menu). The bytes, all little-endian:
//
//   item   := u16 flags, [u16 command id, unless flags has MF_POPUP], text (Windows-1252, NUL-ended)
//   level  := item... where the last item of the level has MF_END (0x80) in its flags
//   A MF_POPUP item is followed directly by the level of its submenu. The whole menu is one level.
//   Flags may also carry MF_GRAYED, MF_DISABLED, MF_CHECKED and MF_SEPARATOR (with an empty text).
//
// A resource script writes it with `resource #4 "NAME"` and u16 / cstr fields.

#include <cstdint>
#include <span>
#include <string_view>

#include "platform/Menu.h"

namespace plat {

// A new menu bar from the bytes; null (and nothing left behind) when they are malformed: cut short,
// a level without its end mark, or nested deeper than 16 levels.
HMENU ParseMenuResource(std::span<const uint8_t> bytes);
HMENU LoadMenuResource(std::string_view name);
HMENU LoadMenuResource(uint16_t id);

}  // namespace plat
