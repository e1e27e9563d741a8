#include "canvas/tasks/WallEndRecord.h"

#include "room/qxRoomSegment.h"

void WallEndRecord::MoveAndKeep(qxRoomSegment* wall, const ppVector3& from, const ppVector3& to) {
  if (wall == nullptr) return;
  entries_.push_back(Entry{from, to, wall});
  wall->MoveEndPoint(from, to);
}

void WallEndRecord::Shift(const ppVector3& shift) {
  for (Entry& e : entries_) e.from += shift, e.to += shift;
}

void WallEndRecord::Replay(bool forwards) const {
  if (forwards) {
    for (const Entry& e : entries_) e.wall->MoveEndPoint(e.from, e.to);
  } else {
    for (auto e = entries_.rbegin(); e != entries_.rend(); ++e) e->wall->MoveEndPoint(e->to, e->from);
  }
}

bool WallEndRecord::MovedAnything() const {
  for (const Entry& e : entries_)
    if (!(e.from == e.to)) return true;
  return false;
}
