#include "scene3d/context/ppShape2D.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <deque>
#include <memory>

namespace {

constexpr uint32_t kPolygon = 9;

using Point3 = std::array<double, 3>;

// What the tessellator's callbacks share: the receiver of the figures and the points the tessellator
// made where edges cross, freed with the record.
struct OutlineRecord {
  iShape2D* result;
  std::deque<Point3> combined;
};

void OutlineBeginCallback(GLenum /*type*/, void* data) {
  static_cast<OutlineRecord*>(data)->result->Begin(kPolygon);
}

void OutlineVertexCallback(void* vertex, void* data) {
  const double* p = static_cast<const double*>(vertex);
  static_cast<OutlineRecord*>(data)->result->Vertex(static_cast<float>(p[0]), static_cast<float>(p[1]));
}

void OutlineEndCallback(void* data) { static_cast<OutlineRecord*>(data)->result->End(); }

void OutlineCombineCallback(GLdouble coords[3], void* /*neighbours*/[4], GLfloat /*weights*/[4], void** out,
                            void* data) {
  OutlineRecord* record = static_cast<OutlineRecord*>(data);
  record->combined.push_back(Point3{coords[0], coords[1], coords[2]});
  *out = record->combined.back().data();
}

struct TessDeleter {
  void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};

// The tessellator cannot take non-numbers or infinities (it crashes on them); a contour holding one is
// malformed and takes no part.
bool IsFinite(const ppShapeContour& contour) {
  for (const ppVector2& p : contour.points)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return false;
  return true;
}

// Feeds one contour, its points forwards or backwards, with each point stored in `buffer`.
void FeedContour(GLUtesselator* tess, const ppShapeContour& contour, bool backwards,
                 std::vector<Point3>& buffer) {
  gluTessBeginContour(tess);
  const size_t n = contour.points.size();
  for (size_t k = 0; k < n; ++k) {
    const ppVector2& p = contour.points[backwards ? n - 1 - k : k];
    buffer.push_back(Point3{p.x, p.y, 0.0});
    gluTessVertex(tess, buffer.back().data(), buffer.back().data());
  }
  gluTessEndContour(tess);
}

}  // namespace

void ppShape2D::Begin(uint32_t mode) {
  contours_.emplace_back();
  contours_.back().closed = (mode == kPolygon);
  current_ = ppVector2();
}

void ppShape2D::Vertex(float x, float y) {
  if (contours_.empty()) return;
  current_.x = x;
  current_.y = y;
  contours_.back().points.push_back(current_);
}

void ppShape2D::End() {
  if (!contours_.empty() && contours_.back().points.empty()) contours_.pop_back();
}

uint32_t ppShape2D::GetPointCount() const {
  uint32_t count = 0;
  for (const ppShapeContour& contour : contours_) count += static_cast<uint32_t>(contour.points.size());
  return count;
}

void ppShape2D::BuildOutline(iShape2D& result, const ppShape2D& first, const ppShape2D* second, uint32_t rule,
                             bool reverse) {
  std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
  if (!tess) return;
  OutlineRecord record{&result, {}};
  gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&OutlineBeginCallback));
  gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&OutlineVertexCallback));
  gluTessCallback(tess.get(), GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(&OutlineEndCallback));
  gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&OutlineCombineCallback));
  if (rule == kTriangulate) {
    gluTessProperty(tess.get(), GLU_TESS_BOUNDARY_ONLY, GL_FALSE);
    gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_POSITIVE);
  } else {
    gluTessProperty(tess.get(), GLU_TESS_BOUNDARY_ONLY, GL_TRUE);
    gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, rule);
  }
  // The tessellator keeps pointers into the buffer until the polygon ends, so it never reallocates.
  std::vector<Point3> buffer;
  buffer.reserve(first.GetPointCount() + (second ? second->GetPointCount() : 0));
  gluTessNormal(tess.get(), 0, 0, 1);
  gluTessBeginPolygon(tess.get(), &record);
  for (const ppShapeContour& contour : first.contours_)
    if (contour.closed && IsFinite(contour)) FeedContour(tess.get(), contour, false, buffer);
  if (second != nullptr) {
    const size_t n = second->contours_.size();
    for (size_t k = 0; k < n; ++k) {
      const ppShapeContour& contour = second->contours_[reverse ? n - 1 - k : k];
      if (contour.closed && IsFinite(contour)) FeedContour(tess.get(), contour, reverse, buffer);
    }
  }
  gluTessEndPolygon(tess.get());
}

void ppShape2D::MergeOutlines() {
  ppShape2D merged;
  BuildOutline(merged, *this, nullptr, kWindingNonzero, false);
  contours_ = std::move(merged.contours_);
}
