#include "platform/SdlInput.h"

#include "platform/Desktop.h"
#include "platform/WindowTypes.h"

namespace plat {
namespace {

// Virtual keys the window layer does not name.
constexpr int32_t kVkPause = 0x13;
constexpr int32_t kVkCapital = 0x14;
constexpr int32_t kVkSnapshot = 0x2C;
constexpr int32_t kVkNumpad0 = 0x60;
constexpr int32_t kVkMultiply = 0x6A;
constexpr int32_t kVkDecimal = 0x6E;
constexpr int32_t kVkDivide = 0x6F;
constexpr int32_t kVkNumLock = 0x90;
constexpr int32_t kVkScroll = 0x91;
constexpr int32_t kVkApps = 0x5D;

struct Mapping {
  SDL_Keycode sdl;
  int32_t code;
  bool extended;
};

constexpr Mapping kKeys[] = {
    {SDLK_BACKSPACE, VK_BACK, false},
    {SDLK_TAB, VK_TAB, false},
    {SDLK_RETURN, VK_RETURN, false},
    {SDLK_ESCAPE, VK_ESCAPE, false},
    {SDLK_SPACE, VK_SPACE, false},
    {SDLK_PAUSE, kVkPause, false},
    {SDLK_CAPSLOCK, kVkCapital, false},
    {SDLK_PRINTSCREEN, kVkSnapshot, true},
    {SDLK_PAGEUP, VK_PRIOR, true},
    {SDLK_PAGEDOWN, VK_NEXT, true},
    {SDLK_END, VK_END, true},
    {SDLK_HOME, VK_HOME, true},
    {SDLK_LEFT, VK_LEFT, true},
    {SDLK_UP, VK_UP, true},
    {SDLK_RIGHT, VK_RIGHT, true},
    {SDLK_DOWN, VK_DOWN, true},
    {SDLK_INSERT, VK_INSERT, true},
    {SDLK_DELETE, VK_DELETE, true},
    {SDLK_LSHIFT, VK_SHIFT, false},
    {SDLK_RSHIFT, VK_SHIFT, false},
    {SDLK_LCTRL, VK_CONTROL, false},
    {SDLK_RCTRL, VK_CONTROL, true},
    {SDLK_LALT, VK_MENU, false},
    {SDLK_RALT, VK_MENU, true},
    {SDLK_APPLICATION, kVkApps, true},
    {SDLK_NUMLOCKCLEAR, kVkNumLock, true},
    {SDLK_SCROLLLOCK, kVkScroll, false},
    {SDLK_KP_ENTER, VK_RETURN, true},
    {SDLK_KP_DIVIDE, kVkDivide, true},
    {SDLK_KP_MULTIPLY, kVkMultiply, false},
    {SDLK_KP_MINUS, VK_SUBTRACT, false},
    {SDLK_KP_PLUS, VK_ADD, false},
    {SDLK_KP_PERIOD, kVkDecimal, false},
    {SDLK_SEMICOLON, 0xBA, false},
    {SDLK_EQUALS, 0xBB, false},
    {SDLK_COMMA, 0xBC, false},
    {SDLK_MINUS, 0xBD, false},
    {SDLK_PERIOD, 0xBE, false},
    {SDLK_SLASH, 0xBF, false},
    {SDLK_BACKQUOTE, 0xC0, false},
    {SDLK_LEFTBRACKET, 0xDB, false},
    {SDLK_BACKSLASH, 0xDC, false},
    {SDLK_RIGHTBRACKET, 0xDD, false},
    {SDLK_QUOTE, 0xDE, false},
};

// Whether the event queues a key press: a key going down that has a virtual-key code.
bool QueuesKeyPress(const SDL_Event& event) {
  return event.type == SDL_KEYDOWN && VirtualKeyFromSdl(event.key.keysym).code != 0;
}

bool NextIsText() {
  SDL_Event next;
  return SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1 &&
         next.type == SDL_TEXTINPUT;
}

}  // namespace

VirtualKey VirtualKeyFromSdl(const SDL_Keysym& key) {
  SDL_Keycode k = key.sym;
  if (k >= SDLK_a && k <= SDLK_z) return {int32_t('A' + (k - SDLK_a)), false};
  if (k >= SDLK_0 && k <= SDLK_9) return {int32_t('0' + (k - SDLK_0)), false};
  if (k >= SDLK_F1 && k <= SDLK_F12) return {VK_F1 + (k - SDLK_F1), false};
  if (k == SDLK_KP_0) return {kVkNumpad0, false};
  if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return {kVkNumpad0 + 1 + (k - SDLK_KP_1), false};
  for (const Mapping& m : kKeys) {
    if (m.sdl == k) return {m.code, m.extended};
  }
  return {};
}

std::u16string Utf16FromUtf8(std::string_view text) {
  std::u16string out;
  size_t i = 0;
  while (i < text.size()) {
    auto byte = [&](size_t at) { return static_cast<uint8_t>(text[at]); };
    uint8_t lead = byte(i);
    int32_t length = lead < 0x80         ? 1
                     : (lead >> 5) == 6  ? 2
                     : (lead >> 4) == 14 ? 3
                     : (lead >> 3) == 30 ? 4
                                         : 0;
    uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool ok = length > 0 && i + size_t(length) <= text.size();
    for (int32_t k = 1; ok && k < length; ++k) {
      ok = (byte(i + size_t(k)) & 0xC0) == 0x80;
      code = (code << 6) | (byte(i + size_t(k)) & 0x3F);
    }
    // Overlong forms, surrogates and values past the last plane are malformed too.
    static constexpr uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (ok && (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)) ok = false;
    if (!ok) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      out.push_back(char16_t(0xD800 + (code >> 10)));
      out.push_back(char16_t(0xDC00 + (code & 0x3FF)));
    } else {
      out.push_back(char16_t(code));
    }
    i += size_t(length);
  }
  return out;
}

bool CharacterComesFromKey(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ';
}

bool DeliverKeyboardEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      VirtualKey key = VirtualKeyFromSdl(event.key.keysym);
      if (key.code) Desktop::Key(key.code, event.type == SDL_KEYDOWN, key.extended);
      return true;
    }
    case SDL_TEXTINPUT:
      for (char16_t c : Utf16FromUtf8(event.text.text)) {
        if (!CharacterComesFromKey(c)) Desktop::Char(c);
      }
      return true;
    default:
      return false;
  }
}

void HandleEventBatch(const SDL_Event& first, const std::function<bool(const SDL_Event&)>& handle) {
  bool pressed = QueuesKeyPress(first);
  if (!handle(first)) return;
  SDL_Event event;
  while (!(pressed && !NextIsText()) && SDL_PollEvent(&event)) {
    pressed = pressed || QueuesKeyPress(event);
    if (!handle(event)) return;
  }
}

}  // namespace plat
