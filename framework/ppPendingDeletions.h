// The application's list of views awaiting deletion: a view that must outlive the call it is retired
// in (a configurator panel whose button is still inside its press, a dissolved group whose own
// operation is still running) is handed over here and deleted when the application's message loop
// has finished the current message. The newest view stands first and is deleted first. The list
// owns what it holds; a view handed over should already be detached from its supervisor.
// User-interface thread only.
#pragma once

#include <cstddef>

class ppView;

class ppPendingDeletions {
 public:
  // Takes `view` over and puts it at the front of the list; null and a view already held are ignored.
  static void Add(ppView* view);
  // Deletes every view of the list, the newest first; views handed over meanwhile go too.
  static void DeleteAll();
  // Takes `view` back out of the list without deleting it; answers whether it was held.
  static bool Take(ppView* view);
  static bool Holds(const ppView* view);
  static size_t Count();
};
