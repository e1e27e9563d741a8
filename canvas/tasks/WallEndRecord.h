// The undo record of the room's wall and corner moves: per moved wall end its old and its new plan
// point (millimetres), the wall that holds it and which of its ends it is. Undo and redo move each end
// between the two points with the wall's own end move, which finds an end only at its exact point.
// The room is shifted whole after later edits too (the margin from the plan's origin), and those
// shifts are no task of their own: a replay that finds the end displaced from its kept point moves it
// by the same displacement, so an older move is still undone after a later shift.
//
// Ownership: the walls are not owned. The tasks that keep a record answer for every wall in it (ppTask's
// Refers), so a wall freed outside the history takes those tasks off it before a replay could reach
// the freed wall. User-interface thread only.
#pragma once

#include <vector>

#include "foundation/ppVector3.h"

class qxRoomSegment;

class WallEndRecord {
 public:
  struct Entry {
    ppVector3 from, to;
    qxRoomSegment* wall;
    bool atStart;  // the wall's start point was moved (else its end point)
  };

  // Moves `wall`'s end at `from` to `to` and keeps the pair.
  void MoveAndKeep(qxRoomSegment* wall, const ppVector3& from, const ppVector3& to);
  // Adds `shift` to both points of every entry (the shift that follows this record's own move).
  void Shift(const ppVector3& shift);
  // Moves every kept end to its new point (forwards) or back to its old one, the latter in reverse
  // order so that ends moved twice come back through the same steps.
  void Replay(bool forwards) const;
  // Whether any kept end lies elsewhere than before.
  bool MovedAnything() const;
  void Clear() { entries_.clear(); }
  // Whether an entry holds `wall`.
  bool Holds(const void* wall) const;
  bool IsEmpty() const { return entries_.empty(); }
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};
