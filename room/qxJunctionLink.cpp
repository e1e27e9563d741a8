#include "room/qxJunctionLink.h"

qxJunctionLink::~qxJunctionLink() {
  // Iteratively, so that a long chain does not recurse once per node.
  qxJunctionLink* rest = next_;
  while (rest != nullptr) {
    qxJunctionLink* after = rest->next_;
    rest->next_ = nullptr;
    delete rest;
    rest = after;
  }
}
