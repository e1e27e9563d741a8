#include "elements/base/DeletionList.h"

#include "elements/base/zelvproElement.h"
#include "framework/ppPendingDeletions.h"

// The elements share the framework's one list, which the application empties after every message.
void DeletionList::Add(zelvproElement* element) { ppPendingDeletions::Add(element); }

void DeletionList::DeleteAll() { ppPendingDeletions::DeleteAll(); }

bool DeletionList::Take(zelvproElement* element) { return ppPendingDeletions::Take(element); }

bool DeletionList::Holds(const zelvproElement* element) { return ppPendingDeletions::Holds(element); }

size_t DeletionList::Count() { return ppPendingDeletions::Count(); }
