// The application's list of elements awaiting deletion: an element that must outlive the call that
// retires it (a dissolved group whose own operation is still running) is handed over here and
// deleted later, when the application empties the list between messages. The newest element stands
// first. The list owns what it holds. A front for the framework's pending deletions
// (framework/ppPendingDeletions.h): one list holds the elements and the other views.
// User-interface thread only.
#pragma once

#include <cstddef>

class zelvproElement;

class DeletionList {
 public:
  // Takes `element` over and puts it at the front of the list; null is ignored.
  static void Add(zelvproElement* element);
  // Deletes every view of the list (elements and others), the newest first.
  static void DeleteAll();
  static bool Holds(const zelvproElement* element);
  // Takes `element` back out of the list without deleting it (the caller owns it again); answers
  // whether it was held.
  static bool Take(zelvproElement* element);
  // The views of the list, elements and others.
  static size_t Count();
};
