#pragma once
// SDL's keys and texts in the platform's terms: virtual-key codes with the extended-block flag, and
// UTF-8 text as UTF-16.

#include <SDL2/SDL_keyboard.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace plat {

struct VirtualKey {
  int32_t code = 0;       // 0: a key the program has no code for
  bool extended = false;  // the navigation block, the right-hand Ctrl and Alt, keypad Enter and divide
};

VirtualKey VirtualKeyFromSdl(const SDL_Keysym& key);

// UTF-8 to UTF-16; malformed bytes become U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

// Whether TranslateMessage makes this character from the key itself (letters, digits, space), so
// that text input must not deliver it a second time.
bool CharacterComesFromKey(char16_t character);

}  // namespace plat
