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
  chords_.reserve(faces.size());
  for (const WallEdge& f : faces) chords_.push_back({f.start.x, f.start.z, f.end.x, f.end.z});
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
  cellChords_.resize(cellFaces_.size());
  // A query visits each cell once at most.
  picked_.resize(cellFaces_.size());
  std::vector<int32_t> fill(cellStart_.begin(), cellStart_.end() - 1);
  for (int32_t i : kept) {
    const Box& b = boxes[size_t(i)];
    for (int32_t x = CellX(b.x0); x <= CellX(b.x1); ++x)
      for (int32_t z = CellZ(b.z0); z <= CellZ(b.z1); ++z) {
        const size_t k = size_t(fill[size_t(x) * size_t(nz_) + size_t(z)]++);
        cellFaces_[k] = i;
        cellChords_[k] = chords_[size_t(i)];
      }
  }
}

void OutlineFaceGrid::NextQuery() {
  if (++query_ == 0) {
    std::fill(seen_.begin(), seen_.end(), 0u);
    query_ = 1;
  }
}

void OutlineFaceGrid::FacesNear(const ppVector3& a, const ppVector3& b, std::vector<int32_t>& out) {
  out.clear();
  ForFacesNear(
      a, b, [](const Chord&) { return true; }, [&](int32_t face, const Chord&) { out.push_back(face); });
}

bool OutlineFaceGrid::Clip(const ppVector3& a, const ppVector3& b, double& sx, double& sz, double& fx,
                           double& fz) const {
  const double dx = double{b.x} - a.x, dz = double{b.z} - a.z;
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
    return false;
  sx = px + t0 * ex, sz = pz + t0 * ez, fx = px + t1 * ex, fz = pz + t1 * ez;
  return true;
}
