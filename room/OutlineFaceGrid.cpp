#include "room/OutlineFaceGrid.h"

#include <algorithm>
#include <cmath>

namespace {

// A face covering more cells than this is offered to every query rather than stored in each cell.
constexpr int64_t kMostCellsPerFace = 64;
// Both the faces' boxes and the query line are widened by a thousandth of their length (ten times
// the crossing test's tolerance) and the boxes by a further millimetre against rounding.
constexpr double kReach = 0.001, kMargin = 1.0;

}  // namespace

OutlineFaceGrid::OutlineFaceGrid(const std::vector<WallEdge>& faces)
    : faceCount_(int32_t(faces.size())), seen_(faces.size(), 0) {
  std::vector<Box> boxes(faces.size());
  std::vector<int32_t> gridded;
  minX_ = minZ_ = HUGE_VAL;
  maxX_ = maxZ_ = -HUGE_VAL;
  for (int32_t i = 0; i < faceCount_; ++i) {
    if (!BoxOf(faces[size_t(i)], boxes[size_t(i)])) {
      always_.push_back(i);
      continue;
    }
    const Box& b = boxes[size_t(i)];
    minX_ = std::min(minX_, b.x0), minZ_ = std::min(minZ_, b.z0);
    maxX_ = std::max(maxX_, b.x1), maxZ_ = std::max(maxZ_, b.z1);
    gridded.push_back(i);
  }
  if (gridded.empty()) return;
  // About one cell per face, square unless the plan is a thin strip.
  const double w = maxX_ - minX_, h = maxZ_ - minZ_, count = double(gridded.size());
  cell_ = std::max({std::sqrt(w * h / count), std::max(w, h) / count, 1.0});
  nx_ = int32_t(w / cell_) + 1;
  nz_ = int32_t(h / cell_) + 1;
  Register(boxes, gridded);
}

bool OutlineFaceGrid::BoxOf(const WallEdge& face, Box& box) {
  const double x0 = face.start.x, z0 = face.start.z, x1 = face.end.x, z1 = face.end.z;
  if (!std::isfinite(x0) || !std::isfinite(z0) || !std::isfinite(x1) || !std::isfinite(z1)) return false;
  const double grow = kMargin + kReach * std::hypot(x1 - x0, z1 - z0);
  box =
      Box{std::min(x0, x1) - grow, std::min(z0, z1) - grow, std::max(x0, x1) + grow, std::max(z0, z1) + grow};
  return std::isfinite(box.x0) && std::isfinite(box.z0) && std::isfinite(box.x1) && std::isfinite(box.z1);
}

int32_t OutlineFaceGrid::CellX(double x) const {
  return int32_t(std::clamp(std::floor((x - minX_) / cell_), 0.0, double(nx_ - 1)));
}

int32_t OutlineFaceGrid::CellZ(double z) const {
  return int32_t(std::clamp(std::floor((z - minZ_) / cell_), 0.0, double(nz_ - 1)));
}

void OutlineFaceGrid::Register(const std::vector<Box>& boxes, const std::vector<int32_t>& gridded) {
  // Two passes: count the faces of each cell, then fill the cells back to back.
  cellStart_.assign(size_t(nx_) * size_t(nz_) + 1, 0);
  std::vector<int32_t> kept;
  for (int32_t i : gridded) {
    const Box& b = boxes[size_t(i)];
    const int32_t x0 = CellX(b.x0), x1 = CellX(b.x1), z0 = CellZ(b.z0), z1 = CellZ(b.z1);
    if (int64_t(x1 - x0 + 1) * int64_t(z1 - z0 + 1) > kMostCellsPerFace) {
      always_.push_back(i);
      continue;
    }
    kept.push_back(i);
    for (int32_t x = x0; x <= x1; ++x)
      for (int32_t z = z0; z <= z1; ++z) ++cellStart_[size_t(x) * size_t(nz_) + size_t(z) + 1];
  }
  for (size_t c = 1; c < cellStart_.size(); ++c) cellStart_[c] += cellStart_[c - 1];
  cellFaces_.resize(size_t(cellStart_.back()));
  std::vector<int32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (int32_t i : kept) {
    const Box& b = boxes[size_t(i)];
    for (int32_t x = CellX(b.x0); x <= CellX(b.x1); ++x)
      for (int32_t z = CellZ(b.z0); z <= CellZ(b.z1); ++z)
        cellFaces_[size_t(fill[size_t(x) * size_t(nz_) + size_t(z)]++)] = i;
  }
}

void OutlineFaceGrid::FacesNear(const ppVector3& a, const ppVector3& b, std::vector<int32_t>& out) {
  out = always_;
  if (nx_ == 0) return;
  if (++query_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0u);
    query_ = 1;
  }
  const double dx = double{b.x} - a.x, dz = double{b.z} - a.z;
  if (!std::isfinite(dx) || !std::isfinite(dz)) {
    out.resize(size_t(faceCount_));
    for (int32_t i = 0; i < faceCount_; ++i) out[size_t(i)] = i;
    return;
  }
  // The lengthened line, clipped to the grid (Liang-Barsky on its parameter t in [0, 1]).
  const double px = a.x - kReach * dx, pz = a.z - kReach * dz;
  const double ex = dx * (1 + 2 * kReach), ez = dz * (1 + 2 * kReach);
  double t0 = 0.0, t1 = 1.0;
  const auto clip = [&](double p, double q) {
    if (p == 0.0) return q >= 0.0;
    const double r = q / p;
    if (p < 0.0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  if (!clip(-ex, px - minX_) || !clip(ex, maxX_ - px) || !clip(-ez, pz - minZ_) || !clip(ez, maxZ_ - pz))
    return;
  Walk(px + t0 * ex, pz + t0 * ez, px + t1 * ex, pz + t1 * ez, out);
}

void OutlineFaceGrid::Walk(double sx, double sz, double fx, double fz, std::vector<int32_t>& out) {
  // Cell by cell along the line (Amanatides and Woo); t runs from 0 at s to 1 at f.
  int32_t ix = CellX(sx), iz = CellZ(sz);
  const int32_t endX = CellX(fx), endZ = CellZ(fz);
  const double dx = fx - sx, dz = fz - sz;
  const int32_t stepX = dx > 0 ? 1 : (dx < 0 ? -1 : 0), stepZ = dz > 0 ? 1 : (dz < 0 ? -1 : 0);
  double tMaxX = HUGE_VAL, tMaxZ = HUGE_VAL, tDeltaX = HUGE_VAL, tDeltaZ = HUGE_VAL;
  if (stepX != 0) {
    tMaxX = (minX_ + (ix + (stepX > 0 ? 1 : 0)) * cell_ - sx) / dx;
    tDeltaX = cell_ / std::fabs(dx);
  }
  if (stepZ != 0) {
    tMaxZ = (minZ_ + (iz + (stepZ > 0 ? 1 : 0)) * cell_ - sz) / dz;
    tDeltaZ = cell_ / std::fabs(dz);
  }
  for (int32_t steps = nx_ + nz_ + 2; steps > 0; --steps) {
    Visit(ix, iz, out);
    if (ix == endX && iz == endZ) return;
    if (tMaxX < tMaxZ) {
      ix += stepX, tMaxX += tDeltaX;
    } else {
      iz += stepZ, tMaxZ += tDeltaZ;
    }
    if (ix < 0 || ix >= nx_ || iz < 0 || iz >= nz_) return;
  }
}

void OutlineFaceGrid::Visit(int32_t ix, int32_t iz, std::vector<int32_t>& out) {
  const size_t c = size_t(ix) * size_t(nz_) + size_t(iz);
  for (int32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
    const int32_t face = cellFaces_[size_t(k)];
    if (seen_[size_t(face)] == query_) continue;
    seen_[size_t(face)] = query_;
    out.push_back(face);
  }
}
