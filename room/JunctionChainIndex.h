// An index of a room canvas's corner chain for the corner steps of a rebuild, so that finding the
// corner at a point, or the corners whose walls may cross a wall, does not walk the whole chain.
// It knows each corner's place in the chain (its rank: the chain runs in rising rank), the corners
// by plan cell of their position (x and z; the height is left to the caller's exact test), and the
// walls linked at corners by plan cell of their boxes, each with the corners it is linked at.
//
// While an index lives the chain changes only as it is told: corners are put at the head of the
// chain (AddAtHead) and walls linked at corners (Linked); no corner is deleted or moved and no wall
// moves. The corners and walls belong to the canvas. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/ppVector3.h"
#include "room/FlatKeyTable.h"

class qxJunction;
class qxRoomSegment;

class JunctionChainIndex {
 public:
  // A plan box in x and z (millimetres).
  struct Box {
    float x0, z0, x1, z1;
  };
  // A corner with its rank.
  struct Corner {
    int64_t rank;
    qxJunction* junction;
  };

  // Indexes `chain` (may be null) as it stands, with the walls linked at its corners.
  explicit JunctionChainIndex(qxJunction* chain);

  // `junction` was just put at the head of the chain, ahead of every corner indexed so far.
  void AddAtHead(qxJunction* junction);
  // `segment` was linked at `junction` (a corner of the index).
  void Linked(qxJunction* junction, qxRoomSegment* segment);
  // The corner's rank; it must be in the index.
  int64_t RankOf(const qxJunction* junction) const { return ranks_.At(Address(junction)); }

  // Calls fn(corner) for every corner whose position lies less than 1 mm from `point` in x and z,
  // and for some further ones (the caller tests exactly), in no particular order. Nothing for a
  // point that is not finite, and corners whose position is not finite are never offered.
  template <typename Fn>
  void ForNear(const ppVector3& point, Fn&& fn) const {
    int32_t x0 = 0, z0 = 0, x1 = 0, z1 = 0;
    if (!PointCells(point, x0, z0, x1, z1)) return;
    for (int32_t x = x0; x <= x1; ++x)
      for (int32_t z = z0; z <= z1; ++z) {
        const int32_t* cell = pointHeads_.Find(Key(x, z));
        if (cell == nullptr) continue;
        for (int32_t at = *cell; at >= 0; at = points_[size_t(at)].next) fn(points_[size_t(at)].corner);
      }
  }

  // Every corner at which some wall is linked whose plan box, widened by 1 mm and a thousandth of
  // its length along x plus that along z, may overlap `box`; more may come. By rising rank, each
  // once. `out` is replaced.
  void CornersNear(const Box& box, std::vector<Corner>& out);

 private:
  // The lists below are chained through `next` (-1 ends), so that a new cell or wall costs no
  // allocation of its own.
  struct CornerEntry {
    Corner corner;
    int32_t next;
  };
  struct WallEntry {
    int32_t wall;
    int32_t next;
  };
  struct Wall {
    int32_t firstCorner = -1;  // into corners_: where the wall is linked, each once
    uint32_t seen = 0;         // the last query that offered it
  };
  static uint64_t Key(int32_t x, int32_t z);
  static uint64_t Address(const void* p) { return uint64_t(reinterpret_cast<uintptr_t>(p)); }
  static bool PointCells(const ppVector3& point, int32_t& x0, int32_t& z0, int32_t& x1, int32_t& z1);
  void Register(qxRoomSegment* segment, int32_t wall);
  void AddPoint(const Corner& corner);
  void Offer(int32_t wall, std::vector<Corner>& out);

  int64_t headRank_ = 0;
  FlatKeyTable<int64_t> ranks_;       // by the corner's address
  FlatKeyTable<int32_t> pointHeads_;  // corners by 64 mm cell: into points_
  std::vector<CornerEntry> points_;
  FlatKeyTable<int32_t> wallOf_;  // by the wall's address: index into walls_
  std::vector<Wall> walls_;
  std::vector<CornerEntry> corners_;  // the walls' corner lists
  FlatKeyTable<int32_t> boxHeads_;    // walls by 1024 mm cell: into boxes_
  std::vector<WallEntry> boxes_;
  std::vector<int32_t> everywhere_;  // walls offered to every query
  uint32_t query_ = 0;
};
