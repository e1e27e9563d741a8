#include "framework/ppPendingDeletions.h"

#include <algorithm>
#include <deque>

#include "framework/ppView.h"
#include "platform/ResetList.h"

namespace {

// The views awaiting deletion, newest first; owned. User-interface thread only.
std::deque<ppView*> gPending;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("pending deletions", [] { ppPendingDeletions::DeleteAll(); });

}  // namespace

void ppPendingDeletions::Add(ppView* view) {
  if (view != nullptr && !Holds(view)) gPending.push_front(view);
}

void ppPendingDeletions::DeleteAll() {
  // A destructor may hand further views over: take the list before deleting.
  while (!gPending.empty()) {
    std::deque<ppView*> doomed;
    doomed.swap(gPending);
    for (ppView* view : doomed) delete view;
  }
}

bool ppPendingDeletions::Take(ppView* view) {
  auto found = std::find(gPending.begin(), gPending.end(), view);
  if (found == gPending.end()) return false;
  gPending.erase(found);
  return true;
}

bool ppPendingDeletions::Holds(const ppView* view) {
  return std::find(gPending.begin(), gPending.end(), view) != gPending.end();
}

size_t ppPendingDeletions::Count() { return gPending.size(); }
