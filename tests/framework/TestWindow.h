// A visible top-level test window on the headless driver, its surface filled with one colour.
#pragma once

#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace picture_tests {

inline plat::HWND MakeTestWindow(int32_t width, int32_t height, uint32_t background,
                                 plat::Surface** surface) {
  plat::WNDCLASSA wc;
  wc.lpfnWndProc = plat::DefWindowProcA;
  wc.lpszClassName = "PictureTestWindow";
  plat::RegisterClassA(&wc);
  plat::HWND window = plat::CreateWindowExA(0, "PictureTestWindow", "", plat::WS_POPUP | plat::WS_VISIBLE, 0,
                                            0, width, height, nullptr, nullptr, nullptr, nullptr);
  plat::HeadlessDriver::RunUntilIdle();
  *surface = plat::GetWindowSurface(window);
  if (*surface) {
    (*surface)->Fill(background);
    (*surface)->Touch();
  }
  return window;
}

}  // namespace picture_tests
