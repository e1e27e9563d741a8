// The print resolution (dots per inch of the 3D view's print rendering) that the application's
// settings choose. The settings live above the canvases: the application installs a reader of them
// at start-up; until then, and after the desktop's reset, the answer is 180.
//
// Process-wide; installed and read on the user-interface thread only; on the reset list.
#pragma once

#include <cstdint>

class PrintResolutionHook {
 public:
  static constexpr int32_t kNeutral = 180;
  using Reader = int32_t (*)();

  // Null puts the neutral answer back.
  static void Install(Reader reader);
  // What the installed reader answers; a reader answering no positive resolution counts as none.
  static int32_t Resolution();
};
