// One side face of a wall: the line (or arc) a wall body stands on and the floor outline runs along.
// Faces are made by BuildSideEdges (room/WallSideEdges.h) and kept by the new-room canvas in handles
// of entries standing back to back (count = handle size / sizeof(WallEdge)); the handles are copied,
// grown and cut bytewise, so the record must stay trivially copyable. Plan coordinates in
// millimetres: x and z lie in the floor plane, y is 0.
#pragma once

#include <cstdint>
#include <type_traits>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector3.h"

class qxJunction;
class qxRoomSegment;
class qxWallElement;

struct WallEdge {
  ppVector3 start;
  ppVector3 end;
  // The corners at the face's ends (equal for an end face); null where the face ends at no corner.
  // Not owned: the canvas's junction chain owns them.
  qxJunction* startJunction = nullptr;
  qxJunction* endJunction = nullptr;
  // Arched faces only: the arc about `centre` of this radius (millimetres) in the sense `clockwise`.
  float radius = 0.0f;
  ppVector3 centre;
  // The wall the face belongs to; not owned. Null on an edge read from a document until that
  // segment is loaded and binds itself; until then `savedSegmentId` names it.
  qxRoomSegment* segment = nullptr;
  int32_t savedSegmentId = 0;
  // The wall body standing on this face, set by the floor that builds it; not owned.
  qxWallElement* wall = nullptr;
  bool clockwise = false;
  bool arched = false;
  bool extra = false;  // kept as read and written; the faces made here never set it
  int32_t reserved = 0;
  // Fresh from the element id counter when made; wall bodies and the saved outline refer to it.
  int32_t id = 0;

  // Whether `other` continues this face: they share their start points or their end points (each
  // coordinate within 9e-9; a start against an end does not count) and, when `strict`, their slopes
  // x/z agree within 0.001 in magnitude (two faces along x agree).
  bool SharesEndAndSlope(const WallEdge& other, bool strict) const;

  // The number of entries in a handle of faces (0 for null) and the entry at `index`; the address
  // holds only until the handle next moves.
  static int32_t CountIn(Handle edges);
  static WallEdge* At(Handle edges, int32_t index);
};

static_assert(std::is_trivially_copyable_v<WallEdge>, "wall edges are moved bytewise in handles");
