// One chain of wall side faces of the room outline: the faces that follow each other around a room
// (or around the outside of the walls), in order. The new-room canvas rebuilds its cycles from the
// segments whenever the outline changes and stores them with the document; the inner cycle of a
// room carries the room's floor.
//
// Ownership: a cycle owns the rest of its chain (`next`) and its handle of faces; the floor is a
// child element of the canvas and not owned here. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/Vcon_HandleManager.h"
#include "room/WallEdge.h"

class qxFloorElement;

class qxLineCycle {
 public:
  static constexpr uint32_t kClosed = 0x1;  // in `flags`: the last face ends where the first begins
  static constexpr uint32_t kInside = 0x1;  // in `depth`: the inner face of a room

  // An empty cycle ahead of `next` (may be null) with the given id.
  qxLineCycle(qxLineCycle* next, int32_t id);
  // Deletes the rest of the chain too (without recursing) and frees the faces.
  ~qxLineCycle();
  qxLineCycle(const qxLineCycle&) = delete;
  qxLineCycle& operator=(const qxLineCycle&) = delete;

  bool IsClosed() const { return (flags & kClosed) != 0; }
  bool IsInside() const { return (depth & kInside) != 0; }
  int32_t EdgeCount() const { return WallEdge::CountIn(edges); }
  // The face at `index`; the address holds only until the handle next moves.
  WallEdge* EdgeAt(int32_t index) const { return WallEdge::At(edges, index); }
  void AppendEdge(const WallEdge& edge);

  qxLineCycle* next = nullptr;  // owned
  Handle edges = nullptr;       // owned; WallEdge entries back to back
  qxFloorElement* floor = nullptr;
  uint32_t flags = 0;
  uint32_t depth = 0;  // stored as "cycleDepth"
  int32_t id = 0;
};
