// Input and read-back for the canvas tests' headless windows: the left button and keys injected
// through the desktop as a user's would arrive, each followed by running the queue until idle, and
// a window's pixels read back. Points are window pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"

namespace canvastest {

// Mixed into a fixture so its tests press, move, release and type by short names.
struct DesktopInput {
  static void Down(plat::POINT p) {
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, p);
    plat::HeadlessDriver::RunUntilIdle();
  }
  static void MoveTo(plat::POINT p) {
    plat::Desktop::MouseMove(p);
    plat::HeadlessDriver::RunUntilIdle();
  }
  // Released now: a click when the press came within the click time.
  static void Up(plat::POINT p) {
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, p);
    plat::HeadlessDriver::RunUntilIdle();
  }
  // Released after the click time has passed, so never a click.
  static void UpAfterClickTime(plat::POINT p) {
    plat::LayerClock::Advance(1000);
    Up(p);
  }
  static void Key(int32_t key, bool down) {
    plat::Desktop::Key(key, down);
    plat::HeadlessDriver::RunUntilIdle();
  }
};

// Every pixel of the window's surface, row by row from the top.
inline std::vector<uint32_t> WindowPixels(plat::HWND window) {
  plat::Surface* s = plat::GetWindowSurface(window);
  std::vector<uint32_t> out;
  for (int32_t y = 0; y < s->Height(); ++y)
    for (int32_t x = 0; x < s->Width(); ++x) out.push_back(s->Pixel(x, y));
  return out;
}

}  // namespace canvastest
