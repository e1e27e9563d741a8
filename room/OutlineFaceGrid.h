// The side faces of an outline sorted into a coarse grid of plan cells (x and z) by their bounding
// boxes, so that the faces a test line may cross are found by walking the cells along the line
// instead of testing every face. Faces are taken as their straight chords from start to end, as the
// crossing test takes them. The grid has about one cell per face; a face spanning more than a few
// dozen cells, or with a coordinate that is not finite, is offered to every query instead.
//
// Each cell keeps its faces' plan ends beside their indices, so that a caller's cheap test (which
// side of the line a face lies on) turns most faces away without reading the face or its mark.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "foundation/ppVector3.h"
#include "room/WallEdge.h"

class OutlineFaceGrid {
 public:
  explicit OutlineFaceGrid(const std::vector<WallEdge>& faces);

  // The faces (indices into the list given at construction, each once, in no particular order) that
  // the line a-b may cross within the tolerance of IntersectXZ mode 1: every face whose box, widened
  // by 1 mm and a thousandth of its length, meets the line lengthened by a thousandth at both ends.
  // A line that is not finite gets every face.
  void FacesNear(const ppVector3& a, const ppVector3& b, std::vector<int32_t>& out);

  // The plan ends of a face (x and z of start, then of end; millimetres).
  struct Chord {
    float sx, sz, ex, ez;
  };
  const Chord& ChordOf(int32_t face) const { return chords_[size_t(face)]; }

  // Calls take(face, chord) once for each face FacesNear would give for which keep(chord) holds, in
  // no particular order. keep is asked before the face is marked as offered, so it must answer the
  // same for every cell the face lies in.
  template <class Keep, class Take>
  void ForFacesNear(const ppVector3& a, const ppVector3& b, Keep&& keep, Take&& take);

 private:
  struct Box {
    double x0 = 0, z0 = 0, x1 = 0, z1 = 0;
  };
  static bool BoxOf(const WallEdge& face, Box& box);
  int32_t CellX(double x) const;
  int32_t CellZ(double z) const;
  void Register(const std::vector<Box>& boxes, const std::vector<int32_t>& gridded);
  // The lengthened line a-b clipped to the grid; false when it misses the grid or there is none.
  bool Clip(const ppVector3& a, const ppVector3& b, double& sx, double& sz, double& fx, double& fz) const;
  // Calls visit(cell) for each cell along s-f, in order.
  template <class VisitCell>
  void Walk(double sx, double sz, double fx, double fz, VisitCell&& visit) const;
  // Starts a query: a new mark for the faces it offers.
  void NextQuery();

  int32_t faceCount_ = 0;
  double minX_ = 0, minZ_ = 0, maxX_ = 0, maxZ_ = 0, cell_ = 1;
  int32_t nx_ = 0, nz_ = 0;         // no cells: no face in the grid
  std::vector<int32_t> cellStart_;  // per cell, where its faces begin in cellFaces_; one more
  std::vector<int32_t> cellFaces_;
  std::vector<Chord> cellChords_;  // beside cellFaces_
  std::vector<Chord> chords_;      // per face
  std::vector<int32_t> picked_;    // a query's kept entries of cellFaces_; room for every entry
  std::vector<int32_t> always_;    // offered to every query
  std::vector<uint32_t> seen_;     // per face, the last query that offered it
  uint32_t query_ = 0;
};

template <class Keep, class Take>
void OutlineFaceGrid::ForFacesNear(const ppVector3& a, const ppVector3& b, Keep&& keep, Take&& take) {
  NextQuery();
  const auto offer = [&](int32_t face, const Chord& chord) {
    if (!keep(chord) || seen_[size_t(face)] == query_) return;
    seen_[size_t(face)] = query_;
    take(face, chord);
  };
  for (int32_t face : always_) offer(face, chords_[size_t(face)]);
  if (nx_ == 0) return;
  const double dx = double{b.x} - a.x, dz = double{b.z} - a.z;
  if (!std::isfinite(dx) || !std::isfinite(dz)) {
    for (int32_t face = 0; face < faceCount_; ++face) offer(face, chords_[size_t(face)]);
    return;
  }
  double sx, sz, fx, fz;
  if (!Clip(a, b, sx, sz, fx, fz)) return;
  // keep runs on every entry of the cells along the line without a branch on its answer (which
  // side a face lies on is a coin toss to the processor); the entries kept are offered after.
  int32_t* const picked = picked_.data();
  size_t count = 0;
  Walk(sx, sz, fx, fz, [&](size_t c) {
    for (int32_t k = cellStart_[c], end = cellStart_[c + 1]; k < end; ++k) {
      picked[count] = k;
      count += keep(cellChords_[size_t(k)]) ? 1 : 0;
    }
  });
  for (size_t i = 0; i < count; ++i) {
    const int32_t k = picked[i], face = cellFaces_[size_t(k)];
    if (seen_[size_t(face)] == query_) continue;
    seen_[size_t(face)] = query_;
    take(face, cellChords_[size_t(k)]);
  }
}

template <class VisitCell>
void OutlineFaceGrid::Walk(double sx, double sz, double fx, double fz, VisitCell&& visit) const {
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
    visit(size_t(ix) * size_t(nz_) + size_t(iz));
    if (ix == endX && iz == endZ) return;
    if (tMaxX < tMaxZ) {
      ix += stepX, tMaxX += tDeltaX;
    } else {
      iz += stepZ, tMaxZ += tDeltaZ;
    }
    if (ix < 0 || ix >= nx_ || iz < 0 || iz >= nz_) return;
  }
}
