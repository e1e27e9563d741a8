#include "platform/InputState.h"

#include <array>
#include <atomic>

#include "platform/ResetList.h"

namespace plat {
namespace {

// The cursor position is written on the user-interface thread and read from any; the key states
// belong to the user-interface thread.
std::atomic<uint64_t> gCursor{0};
std::array<bool, 256> gDown{};
std::array<bool, 256> gToggled{};

[[maybe_unused]] const bool kReset = ResetList::Add("input state", [] { InputState::Reset(); });

uint64_t Pack(POINT p) { return (uint64_t(uint32_t(p.x)) << 32) | uint32_t(p.y); }

}  // namespace

POINT InputState::CursorPos() {
  uint64_t v = gCursor;
  return {static_cast<int32_t>(uint32_t(v >> 32)), static_cast<int32_t>(uint32_t(v))};
}

void InputState::SetCursorPos(POINT screen) { gCursor = Pack(screen); }

bool InputState::IsDown(int32_t key) { return key >= 0 && key < 256 && gDown[key]; }

void InputState::SetDown(int32_t key, bool down) {
  if (key < 0 || key >= 256) return;
  if (down && !gDown[key]) gToggled[key] = !gToggled[key];
  gDown[key] = down;
}

bool InputState::IsToggled(int32_t key) { return key >= 0 && key < 256 && gToggled[key]; }

WPARAM InputState::MouseKeyFlags() {
  WPARAM flags = 0;
  if (gDown[VK_LBUTTON]) flags |= MK_LBUTTON;
  if (gDown[VK_RBUTTON]) flags |= MK_RBUTTON;
  if (gDown[VK_MBUTTON]) flags |= MK_MBUTTON;
  if (gDown[VK_SHIFT]) flags |= MK_SHIFT;
  if (gDown[VK_CONTROL]) flags |= MK_CONTROL;
  return flags;
}

void InputState::Reset() {
  gDown.fill(false);
  gToggled.fill(false);
  gCursor = 0;
}

}  // namespace plat
