// The side faces of an outline sorted into a coarse grid of plan cells (x and z) by their bounding
// boxes, so that the faces a test line may cross are found by walking the cells along the line
// instead of testing every face. Faces are taken as their straight chords from start to end, as the
// crossing test takes them. The grid has about one cell per face; a face spanning more than a few
// dozen cells, or with a coordinate that is not finite, is offered to every query instead.
#pragma once

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

 private:
  struct Box {
    double x0 = 0, z0 = 0, x1 = 0, z1 = 0;
  };
  static bool BoxOf(const WallEdge& face, Box& box);
  int32_t CellX(double x) const;
  int32_t CellZ(double z) const;
  void Register(const std::vector<Box>& boxes, const std::vector<int32_t>& gridded);
  void Walk(double sx, double sz, double fx, double fz, std::vector<int32_t>& out);
  void Visit(int32_t ix, int32_t iz, std::vector<int32_t>& out);

  int32_t faceCount_ = 0;
  double minX_ = 0, minZ_ = 0, maxX_ = 0, maxZ_ = 0, cell_ = 1;
  int32_t nx_ = 0, nz_ = 0;         // no cells: no face in the grid
  std::vector<int32_t> cellStart_;  // per cell, where its faces begin in cellFaces_; one more
  std::vector<int32_t> cellFaces_;
  std::vector<int32_t> always_;  // offered to every query
  std::vector<uint32_t> seen_;   // per face, the last query that offered it
  uint32_t query_ = 0;
};
