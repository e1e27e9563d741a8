#include "room/JunctionChainIndex.h"

#include <algorithm>
#include <cmath>

#include "room/qxJunction.h"
#include "room/qxJunctionLink.h"
#include "room/qxRoomSegment.h"

namespace {

// Corner cells are 64 mm square, wall cells 1024 mm: both powers of
// two, so that dividing a coordinate is exact and a cell number never rounds across a boundary.
constexpr double kPointCell = 64.0, kWallCell = 1024.0;
// Cell numbers are clamped to this, which only makes the offered sets larger.
constexpr double kCellLimit = 1.0e9;
// A wall spanning more cells than this is offered to every query; a query box spanning more than
// kQueryCells gets every wall.
constexpr int64_t kWallCells = 256, kQueryCells = 4096;

int32_t CellOf(double v, double size) {
  return int32_t(std::clamp(std::floor(v / size), -kCellLimit, kCellLimit));
}

}  // namespace

JunctionChainIndex::JunctionChainIndex(qxJunction* chain) {
  int64_t rank = 0;
  for (qxJunction* j = chain; j != nullptr; j = j->GetNext()) {
    ranks_.Emplace(Address(j), rank);
    AddPoint(Corner{rank, j});
    ++rank;
  }
  for (qxJunction* j = chain; j != nullptr; j = j->GetNext())
    for (qxJunctionLink* link = j->GetFirstLink(); link != nullptr; link = link->GetNext())
      Linked(j, link->GetSegment());
}

void JunctionChainIndex::AddAtHead(qxJunction* junction) {
  const Corner corner{--headRank_, junction};
  ranks_.Emplace(Address(junction), corner.rank);
  AddPoint(corner);
}

void JunctionChainIndex::Linked(qxJunction* junction, qxRoomSegment* segment) {
  if (segment == nullptr) return;
  const auto [at, added] = wallOf_.Emplace(Address(segment), int32_t(walls_.size()));
  const int32_t index = *at;
  if (added) {
    walls_.emplace_back();
    Register(segment, index);
  }
  Wall& wall = walls_[size_t(index)];
  for (int32_t c = wall.firstCorner; c >= 0; c = corners_[size_t(c)].next)
    if (corners_[size_t(c)].corner.junction == junction) return;
  corners_.push_back(CornerEntry{Corner{RankOf(junction), junction}, wall.firstCorner});
  wall.firstCorner = int32_t(corners_.size()) - 1;
}

void JunctionChainIndex::Offer(int32_t wall, std::vector<Corner>& out) {
  Wall& w = walls_[size_t(wall)];
  if (w.seen == query_) return;
  w.seen = query_;
  for (int32_t c = w.firstCorner; c >= 0; c = corners_[size_t(c)].next)
    out.push_back(corners_[size_t(c)].corner);
}

void JunctionChainIndex::CornersNear(const Box& box, std::vector<Corner>& out) {
  out.clear();
  ++query_;
  const int32_t x0 = CellOf(double{box.x0}, kWallCell), x1 = CellOf(double{box.x1}, kWallCell);
  const int32_t z0 = CellOf(double{box.z0}, kWallCell), z1 = CellOf(double{box.z1}, kWallCell);
  const bool finite =
      std::isfinite(box.x0) && std::isfinite(box.z0) && std::isfinite(box.x1) && std::isfinite(box.z1);
  if (!finite || (int64_t{x1} - x0 + 1) * (int64_t{z1} - z0 + 1) > kQueryCells) {
    for (int32_t w = 0; w < int32_t(walls_.size()); ++w) Offer(w, out);
  } else {
    for (int32_t w : everywhere_) Offer(w, out);
    for (int32_t x = x0; x <= x1; ++x)
      for (int32_t z = z0; z <= z1; ++z) {
        const int32_t* cell = boxHeads_.Find(Key(x, z));
        if (cell == nullptr) continue;
        for (int32_t e = *cell; e >= 0; e = boxes_[size_t(e)].next) Offer(boxes_[size_t(e)].wall, out);
      }
  }
  std::sort(out.begin(), out.end(), [](const Corner& a, const Corner& b) { return a.rank < b.rank; });
  out.erase(
      std::unique(out.begin(), out.end(), [](const Corner& a, const Corner& b) { return a.rank == b.rank; }),
      out.end());
}

uint64_t JunctionChainIndex::Key(int32_t x, int32_t z) { return (uint64_t(uint32_t(x)) << 32) | uint32_t(z); }

bool JunctionChainIndex::PointCells(const ppVector3& point, int32_t& x0, int32_t& z0, int32_t& x1,
                                    int32_t& z1) {
  if (!std::isfinite(point.x) || !std::isfinite(point.z)) return false;
  // Every position within 1 mm lies in the cells of the points 1 mm to either side.
  x0 = CellOf(double{point.x} - 1.0, kPointCell), x1 = CellOf(double{point.x} + 1.0, kPointCell);
  z0 = CellOf(double{point.z} - 1.0, kPointCell), z1 = CellOf(double{point.z} + 1.0, kPointCell);
  return true;
}

void JunctionChainIndex::AddPoint(const Corner& corner) {
  const ppVector3& at = corner.junction->Position();
  if (!std::isfinite(at.x) || !std::isfinite(at.z)) return;
  int32_t* head =
      pointHeads_.Emplace(Key(CellOf(double{at.x}, kPointCell), CellOf(double{at.z}, kPointCell)), -1).first;
  points_.push_back(CornerEntry{corner, *head});
  *head = int32_t(points_.size()) - 1;
}

void JunctionChainIndex::Register(qxRoomSegment* segment, int32_t wall) {
  const ppVector3& a = segment->Start();
  const ppVector3& b = segment->End();
  // The widening of the crossing test's reach, and a millimetre and a millionth of the coordinates
  // more for the rounding of that test's single-precision sums.
  const double grow = 2.0 + 0.001 * (std::fabs(double{b.x} - a.x) + std::fabs(double{b.z} - a.z)) +
                      1e-6 * (std::fabs(double{a.x}) + std::fabs(double{a.z}) + std::fabs(double{b.x}) +
                              std::fabs(double{b.z}));
  const double lowX = std::fmin(a.x, b.x) - grow, highX = std::fmax(a.x, b.x) + grow;
  const double lowZ = std::fmin(a.z, b.z) - grow, highZ = std::fmax(a.z, b.z) + grow;
  if (!std::isfinite(lowX) || !std::isfinite(highX) || !std::isfinite(lowZ) || !std::isfinite(highZ)) {
    everywhere_.push_back(wall);
    return;
  }
  const int32_t x0 = CellOf(lowX, kWallCell), x1 = CellOf(highX, kWallCell);
  const int32_t z0 = CellOf(lowZ, kWallCell), z1 = CellOf(highZ, kWallCell);
  if ((int64_t{x1} - x0 + 1) * (int64_t{z1} - z0 + 1) > kWallCells) {
    everywhere_.push_back(wall);
    return;
  }
  for (int32_t x = x0; x <= x1; ++x)
    for (int32_t z = z0; z <= z1; ++z) {
      int32_t* head = boxHeads_.Emplace(Key(x, z), -1).first;
      boxes_.push_back(WallEntry{wall, *head});
      *head = int32_t(boxes_.size()) - 1;
    }
}
