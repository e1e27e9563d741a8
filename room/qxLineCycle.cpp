#include "room/qxLineCycle.h"

qxLineCycle::qxLineCycle(qxLineCycle* nextCycle, int32_t cycleId) : next(nextCycle), id(cycleId) {}

qxLineCycle::~qxLineCycle() {
  MemDispose(edges);
  // Unlink the chain first so each node's destructor frees only itself: a long chain must not
  // recurse once per cycle.
  qxLineCycle* rest = next;
  next = nullptr;
  while (rest != nullptr) {
    qxLineCycle* following = rest->next;
    rest->next = nullptr;
    delete rest;
    rest = following;
  }
}

void qxLineCycle::AppendEdge(const WallEdge& edge) {
  if (edges == nullptr) Vcon_HandleManager::MemNew(&edges, 0);
  MemInsertBytes(&edge, sizeof(WallEdge), edges, kMemAppend);
}
