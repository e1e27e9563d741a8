#pragma once
// Where a command is passed on along the chain: a view to its supervisor, a handler to its key
// target. The chain is not a tree: the document window passes commands down to its key target (a
// canvas inside it), the canvas passes what it does not know up to the window again, and a pane may
// hand a command to the application, whose key target is that window. A command that no one takes
// would go round such a circle for ever; the relay ends it the moment it comes back to a handler
// that is still passing it on, and then it does nothing, like any command that no one handles.
//
// User-interface thread only: the relay keeps the passes under way on that thread's stack of calls.

#include <cstdint>

class ppEventHandler;

class ppCommandRelay {
 public:
  // Passes (command, parameter) from `from` to `to`, unless `from` is already passing the same
  // command with the same parameter further up the call stack (it came round the chain), or the
  // passes under way are nested deeper than any real chain is long. False when the command was
  // dropped for either reason.
  static bool Pass(ppEventHandler* from, ppEventHandler& to, int32_t command, intptr_t parameter);

  // How many commands were dropped since the process started (or the desktop was reset).
  static int32_t DroppedCount();

  // More passes under way than this at once is a circle the parameter hides (a fresh parameter at
  // every round); no chain of views, windows and the application is nearly this long.
  static constexpr int32_t kMaxDepth = 64;
};
