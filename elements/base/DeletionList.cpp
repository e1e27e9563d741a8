#include "elements/base/DeletionList.h"

#include <algorithm>
#include <deque>

#include "elements/base/zelvproElement.h"
#include "platform/ResetList.h"

namespace {

// The elements awaiting deletion, newest first; owned. User-interface thread only.
std::deque<zelvproElement*> gDeletionList;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("deletion list", [] { DeletionList::DeleteAll(); });

}  // namespace

void DeletionList::Add(zelvproElement* element) {
  if (element != nullptr && !Holds(element)) gDeletionList.push_front(element);
}

void DeletionList::DeleteAll() {
  // An element's destructor may hand further elements over: take the list before deleting.
  while (!gDeletionList.empty()) {
    std::deque<zelvproElement*> doomed;
    doomed.swap(gDeletionList);
    for (zelvproElement* element : doomed) delete element;
  }
}

bool DeletionList::Holds(const zelvproElement* element) {
  return std::find(gDeletionList.begin(), gDeletionList.end(), element) != gDeletionList.end();
}

size_t DeletionList::Count() { return gDeletionList.size(); }
