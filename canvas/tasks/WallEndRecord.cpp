#include "canvas/tasks/WallEndRecord.h"

#include "room/qxRoomSegment.h"

void WallEndRecord::MoveAndKeep(qxRoomSegment* wall, const ppVector3& from, const ppVector3& to) {
  if (wall == nullptr) return;
  entries_.push_back(Entry{from, to, wall, wall->Start() == from && !(wall->End() == from)});
  wall->MoveEndPoint(from, to);
}

void WallEndRecord::Shift(const ppVector3& shift) {
  for (Entry& e : entries_) e.from += shift, e.to += shift;
}

namespace {

// Moves the entry's end from `kept` to `target`; an end found displaced from `kept` (the room was
// shifted since) takes the same displacement to its target.
void MoveKeptEnd(const WallEndRecord::Entry& e, const ppVector3& kept, const ppVector3& target) {
  const ppVector3 now = e.atStart ? e.wall->Start() : e.wall->End();
  if (now == kept) return e.wall->MoveEndPoint(kept, target);
  e.wall->MoveEndPoint(now, target + (now - kept));
}

}  // namespace

void WallEndRecord::Replay(bool forwards) const {
  if (forwards) {
    for (const Entry& e : entries_) MoveKeptEnd(e, e.from, e.to);
  } else {
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) MoveKeptEnd(*e, e->to, e->from);
  }
}

bool WallEndRecord::Holds(const void* wall) const {
  for (const Entry& e : entries_)
    if (static_cast<const void*>(static_cast<const zelvproElement*>(e.wall)) == wall) return true;
  return false;
}

bool WallEndRecord::MovedAnything() const {
  for (const Entry& e : entries_)
    if (!(e.from == e.to)) return true;
  return false;
}
