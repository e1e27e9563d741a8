#pragma once
// A log of the messages delivered to window procedures, kept only while a test switches it on.

#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

class MessageTrace {
 public:
  static void Start();  // clears the log and starts recording
  static void Stop();
  static const std::vector<MSG>& Messages();
  static void Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace plat
