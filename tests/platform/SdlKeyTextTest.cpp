// Keys and text from SDL reach the focused window as one character per key press, however many of
// the desktop's events wait when the backend looks: the events go through SDL's own queue (only its
// event subsystem, no display) and the backend's batching and translation, and the window's
// WM_CHAR messages are collected after each batch as the message loop would see them (or, for a
// program busy in a wait that reads the input, after every batch is queued).

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/HeadlessDriver.h"
#include "platform/SdlInput.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

std::u16string gTyped;  // the sink window's characters, in order

LRESULT SinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) {
    gTyped.push_back(char16_t(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

SDL_Event KeyEvent(SDL_Keycode sym, bool down) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = SDL_GetScancodeFromKey(sym);
  return e;
}

// A key the desktop repeats while it is held: another press with SDL's repeat mark.
SDL_Event RepeatEvent(SDL_Keycode sym) {
  SDL_Event e = KeyEvent(sym, true);
  e.key.repeat = 1;
  return e;
}

SDL_Event TextEvent(const char* utf8) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  std::strncpy(e.text.text, utf8, sizeof e.text.text - 1);
  return e;
}

// One step of what the desktop sends: a key down, repeated or up, or text.
struct Step {
  enum Kind { kDown, kRepeat, kUp, kText } kind;
  SDL_Keycode key = 0;
  const char* text = nullptr;
};
Step Down(SDL_Keycode key) { return {Step::kDown, key}; }
Step Repeat(SDL_Keycode key) { return {Step::kRepeat, key}; }
Step Up(SDL_Keycode key) { return {Step::kUp, key}; }
Step Text(const char* text) { return {Step::kText, 0, text}; }

SDL_Event EventOf(const Step& s) {
  switch (s.kind) {
    case Step::kText:
      return TextEvent(s.text);
    case Step::kRepeat:
      return RepeatEvent(s.key);
    default:
      return KeyEvent(s.key, s.kind == Step::kDown);
  }
}

class SdlKeyText : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    SDL_EventState(SDL_TEXTINPUT, SDL_ENABLE);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    WNDCLASSA sinkClass{};
    sinkClass.lpfnWndProc = SinkProc;
    sinkClass.lpszClassName = "SdlKeyTextSink";
    RegisterClassA(&sinkClass);
    window_ = CreateWindowExA(0, "SdlKeyTextSink", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                              nullptr, nullptr, nullptr, nullptr);
    SetFocus(window_);
    HeadlessDriver::RunUntilIdle();
    gTyped.clear();
  }
  void TearDown() override {
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    HeadlessDriver::Reset();
  }

  // Queues every step at once (the user typed faster than the program looked), then lets the
  // backend take batch after batch, the message loop running between them.
  static std::u16string Typed(const std::vector<Step>& steps) {
    Push(steps);
    SDL_Event first;
    int32_t batches = 0;
    while (SDL_PollEvent(&first) && ++batches < 100) {
      HandleEventBatch(first, [](const SDL_Event& e) { return DeliverKeyboardEvent(e) || true; });
      HeadlessDriver::RunUntilIdle();
    }
    HeadlessDriver::RunUntilIdle();
    return gTyped;
  }

  // As Typed, but the program is busy in a wait that reads the display's input (a held button, a
  // double click's wait): the backend takes batch after batch into the window's queue, and only then
  // does the message loop take the keys.
  static std::u16string TypedWhileBusy(const std::vector<Step>& steps) {
    Push(steps);
    SDL_Event first;
    int32_t batches = 0;
    while (SDL_PollEvent(&first) && ++batches < 100)
      HandleEventBatch(first, [](const SDL_Event& e) { return DeliverKeyboardEvent(e) || true; });
    HeadlessDriver::RunUntilIdle();
    return gTyped;
  }

  static void Push(const std::vector<Step>& steps) {
    for (const Step& s : steps) {
      SDL_Event e = EventOf(s);
      EXPECT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    }
  }

  HWND window_ = nullptr;
};

TEST_F(SdlKeyText, EveryKeyPressGivesOneCharacterWhateverTheModifiersDidAfterwards) {
  struct Case {
    const char* what;
    std::vector<Step> steps;
    std::u16string typed;
  } cases[] = {
      {"Shift+1, Shift let go before the program looked",
       {Down(SDLK_LSHIFT), Down(SDLK_1), Text("!"), Up(SDLK_1), Up(SDLK_LSHIFT)},
       u"!"},
      {"two shifted digits",
       {Down(SDLK_RSHIFT), Down(SDLK_1), Text("!"), Up(SDLK_1), Down(SDLK_2), Text("@"), Up(SDLK_2),
        Up(SDLK_RSHIFT)},
       u"!@"},
      {"Shift+letter", {Down(SDLK_LSHIFT), Down(SDLK_a), Text("A"), Up(SDLK_a), Up(SDLK_LSHIFT)}, u"A"},
      {"Shift pressed just after a letter", {Down(SDLK_a), Text("a"), Down(SDLK_LSHIFT), Up(SDLK_a)}, u"a"},
      {"plain digit, letter and space",
       {Down(SDLK_7), Text("7"), Up(SDLK_7), Down(SDLK_q), Text("q"), Up(SDLK_q), Down(SDLK_SPACE), Text(" "),
        Up(SDLK_SPACE)},
       u"7q "},
      {"punctuation key without Shift", {Down(SDLK_COMMA), Text(","), Up(SDLK_COMMA)}, u","},
      {"keys without text",
       {Down(SDLK_RETURN), Up(SDLK_RETURN), Down(SDLK_BACKSPACE), Up(SDLK_BACKSPACE)},
       u"\r\b"},
      {"text without a key (an input method)", {Text("\xC3\xA6\xE2\x82\xAC")}, u"\u00E6\u20AC"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    gTyped.clear();
    EXPECT_EQ(Typed(c.steps), c.typed);
    Typed({Up(SDLK_LSHIFT)});  // a case may leave Shift down
  }
}

// Caps Lock held until the desktop repeats it, with every press still queued when the loop takes the
// letters: the held key toggles once however often it repeated, the letter typed before it keeps the
// case it was typed in, and the letter after it takes the new one.
TEST_F(SdlKeyText, AHeldCapsLockTogglesOnceAndEachLetterKeepsTheCaseItWasTypedIn) {
  bool capsOn = false;
  for (int32_t repeats : {1, 2, 3}) {
    SCOPED_TRACE(repeats);
    std::vector<Step> steps = {Down(SDLK_a), Text(capsOn ? "A" : "a"), Up(SDLK_a), Down(SDLK_CAPSLOCK)};
    for (int32_t i = 0; i < repeats; ++i) steps.push_back(Repeat(SDLK_CAPSLOCK));
    steps.insert(steps.end(), {Up(SDLK_CAPSLOCK), Down(SDLK_b), Text(capsOn ? "b" : "B"), Up(SDLK_b)});
    gTyped.clear();
    EXPECT_EQ(TypedWhileBusy(steps), capsOn ? u"Ab" : u"aB");
    capsOn = !capsOn;
    EXPECT_EQ((GetKeyState(VK_CAPITAL) & 1) != 0, capsOn);
  }
}

TEST_F(SdlKeyText, ABatchEndsAfterAKeyPressAndItsText) {
  for (const Step& s : {Down(SDLK_LSHIFT), Down(SDLK_1), Text("!"), Up(SDLK_1), Up(SDLK_LSHIFT)}) {
    SDL_Event e = EventOf(s);
    SDL_PushEvent(&e);
  }
  std::vector<uint32_t> handed;
  auto record = [&](const SDL_Event& e) {
    handed.push_back(e.type);
    return true;
  };
  SDL_Event first;
  ASSERT_TRUE(SDL_PollEvent(&first));
  // Shift is a key without text: the batch ends after it, before the digit goes down.
  HandleEventBatch(first, record);
  EXPECT_EQ(handed, (std::vector<uint32_t>{SDL_KEYDOWN}));
  handed.clear();
  ASSERT_TRUE(SDL_PollEvent(&first));
  HandleEventBatch(first, record);
  EXPECT_EQ(handed, (std::vector<uint32_t>{SDL_KEYDOWN, SDL_TEXTINPUT}));
  // Releases do not end a batch; a handler that answers false does.
  handed.clear();
  ASSERT_TRUE(SDL_PollEvent(&first));
  HandleEventBatch(first, [&](const SDL_Event& e) {
    handed.push_back(e.type);
    return false;
  });
  EXPECT_EQ(handed, (std::vector<uint32_t>{SDL_KEYUP}));
  handed.clear();
  ASSERT_TRUE(SDL_PollEvent(&first));
  HandleEventBatch(first, record);
  EXPECT_EQ(handed, (std::vector<uint32_t>{SDL_KEYUP}));
}

}  // namespace
}  // namespace plat
