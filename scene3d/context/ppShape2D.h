// A recorded 2D shape: the plane figures emitted through iShape2D, kept as contours. Elements keep
// their plan outlines in one, and replace a recorded outline by the boundary of the union of its
// closed contours (MergeOutlines), which the GLU polygon tessellator computes.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/DoubleVector.h"
#include "foundation/ppVector2.h"
#include "scene3d/context/iShape2D.h"
#include "scene3d/context/ppShapeContour.h"

class ppShape2D : public iShape2D {
 public:
  // GLU winding rules BuildOutline takes, and the value that asks for the filled triangulation.
  static constexpr uint32_t kWindingNonzero = 100131;
  static constexpr uint32_t kWindingPositive = 100132;
  static constexpr uint32_t kTriangulate = 100;

  // Begin(9) starts a closed contour, any other mode an open one. A Vertex before the first Begin is
  // ignored; End drops a contour that got no point.
  void Begin(uint32_t mode) override;
  void Vertex(float x, float y) override;
  void End() override;

  // The points of every contour together.
  uint32_t GetPointCount() const;
  const std::vector<ppShapeContour>& Contours() const { return contours_; }
  DoubleVector& Values() { return values_; }

  // Tessellates the closed contours of `first` (and of `second`, reversed in order and direction when
  // `reverse`, so that the positive rule subtracts it) and emits the outcome into `result` as closed
  // figures. With a winding rule each boundary contour of the region is one figure; with kTriangulate
  // each triangle of the positive region is one. Open contours take no part.
  static void BuildOutline(iShape2D& result, const ppShape2D& first, const ppShape2D* second, uint32_t rule,
                           bool reverse);
  // Replaces the contours by the boundary of the union of the closed ones (nonzero rule).
  void MergeOutlines();

 private:
  std::vector<ppShapeContour> contours_;
  ppVector2 current_;
  DoubleVector values_;
};
