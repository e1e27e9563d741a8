#include "room/qxJunctionRec.h"

qxJunctionRec::~qxJunctionRec() {
  // Iteratively, so that a long chain does not recurse once per node.
  qxJunctionRec* rest = next_;
  while (rest != nullptr) {
    qxJunctionRec* after = rest->next_;
    rest->next_ = nullptr;
    delete rest;
    rest = after;
  }
}
