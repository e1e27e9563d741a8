#pragma once
// What the user is told when the desktop could not open what the program handed it (ShellExecute):
// a box over the owner window that says what could not be opened and why, as the system's own shell
// shows one unless asked not to. The opener (xdg-open) ends on a worker thread that reaps it, so its
// failure is posted to the user-interface queue as a thread message and the box comes from there.

#include <string>

#include "platform/WindowTypes.h"

namespace plat {

class ShellLaunchFailure {
 public:
  // The thread message that carries a failure: wParam its number, lParam 0, no window.
  static constexpr UINT kMessage = 0xC0DF;

  // Why the opener did not open its target: `spawnError` is the errno of a start that failed (0 when
  // it started), `waitStatus` the status waitpid gave for one that ran.
  static std::u16string Reason(int spawnError, int waitStatus);
  // True when a waitpid status is the opener's success.
  static bool Succeeded(int waitStatus);

  // Any thread: keeps the failure and posts it for the user-interface thread.
  static void Post(HWND owner, const std::u16string& target, const std::u16string& reason);
  // Called by DispatchMessage for kMessage on the user-interface thread: shows failure number
  // `number` in an error box (over its owner while that window exists). An unknown number, one
  // dropped by a desktop reset, shows nothing.
  static LRESULT ShowPosted(WPARAM number);

  // The box's caption.
  static constexpr const char16_t* kCaption = u"Could not open";
};

}  // namespace plat
