#pragma once
// SDL's keys and texts in the platform's terms: virtual-key codes with the extended-block flag, and
// UTF-8 text as UTF-16; and the order in which the desktop's key and text events reach the layer.
// User-interface thread only.

#include <SDL2/SDL_events.h>
#include <SDL2/SDL_keyboard.h>

#include <cstdint>
#include <functional>
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

// Queues a key press, a key release or typed text for the window with the keyboard focus; false
// (nothing done) for any other event.
bool DeliverKeyboardEvent(const SDL_Event& event);

// Hands `first`, then the events waiting in SDL's queue, to `handle` until it answers false or the
// queue is empty. A key press ends the batch once the text typed with it has been handed on: the
// message loop then translates that key before a later event (Shift let go, say) changes the key
// state the translation reads, so a key and its text never both make the character.
void HandleEventBatch(const SDL_Event& first, const std::function<bool(const SDL_Event&)>& handle);

}  // namespace plat
