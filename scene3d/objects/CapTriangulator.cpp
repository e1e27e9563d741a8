#include "scene3d/objects/CapTriangulator.h"

#include <GL/glu.h>

#include <array>
#include <cmath>
#include <memory>
#include <numeric>

namespace {

struct Collector {
  const std::vector<ppVector2>* points = nullptr;
  std::vector<qx3DObject::CapTriangle>* out = nullptr;
  GLenum type = 0;
  // Indices of the current primitive; grows as the tessellator hands out vertices.
  std::vector<int32_t> indices;

  void Add(int32_t a, int32_t b, int32_t c) {
    const auto& p = *points;
    out->push_back({p[size_t(a)], p[size_t(b)], p[size_t(c)]});
  }

  void Split() {
    const size_t k = indices.size();
    const auto& i = indices;
    if (k < 3) return;
    if (type == GL_TRIANGLE_FAN) {
      for (size_t j = 0; j + 2 < k; ++j) Add(i[0], i[j + 1], i[j + 2]);
    } else if (type == GL_TRIANGLE_STRIP) {
      const size_t pairs = (k - 2) / 2;
      for (size_t j = 0; j < pairs; ++j) {
        Add(i[2 * j], i[2 * j + 1], i[2 * j + 2]);
        Add(i[2 * j + 1], i[2 * j + 3], i[2 * j + 2]);
      }
      if ((k - 2) % 2 == 1) Add(i[2 * pairs], i[2 * pairs + 1], i[2 * pairs + 2]);
    } else {
      for (size_t j = 0; j + 2 < k; j += 3) Add(i[j], i[j + 1], i[j + 2]);
    }
  }
};

void GLAPIENTRY OnBegin(GLenum type, void* data) {
  auto* c = static_cast<Collector*>(data);
  c->type = type;
  c->indices.clear();
}

void GLAPIENTRY OnVertex(void* vertex, void* data) {
  // Vertex data are addresses of our own index array; a null one (left by the empty combine) is
  // skipped.
  if (vertex == nullptr) return;
  static_cast<Collector*>(data)->indices.push_back(*static_cast<const int32_t*>(vertex));
}

void GLAPIENTRY OnEnd(void* data) { static_cast<Collector*>(data)->Split(); }

void GLAPIENTRY OnError(GLenum error, void*) { (void)gluErrorString(error); }

void GLAPIENTRY OnCombine(GLdouble[3], void* [4], GLfloat[4], void** out, void*) { *out = nullptr; }

struct TessDeleter {
  void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};

}  // namespace

std::vector<qx3DObject::CapTriangle> CapTriangulator::Triangulate(const std::vector<ppVector2>& points) {
  std::vector<qx3DObject::CapTriangle> triangles;
  if (points.size() < 3) return triangles;
  // Catalogue outlines come from files: a coordinate that is not a number has no cap.
  for (const ppVector2& p : points)
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return triangles;
  std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
  if (tess == nullptr) return triangles;
  Collector collector;
  collector.points = &points;
  collector.out = &triangles;
  std::vector<int32_t> ids(points.size());
  std::iota(ids.begin(), ids.end(), 0);
  std::vector<std::array<GLdouble, 3>> coords(points.size());
  gluTessCallback(tess.get(), GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(&OnBegin));
  gluTessCallback(tess.get(), GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(&OnVertex));
  gluTessCallback(tess.get(), GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(&OnEnd));
  gluTessCallback(tess.get(), GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(&OnError));
  gluTessCallback(tess.get(), GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(&OnCombine));
  gluTessProperty(tess.get(), GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_ODD);
  gluTessBeginPolygon(tess.get(), &collector);
  gluTessBeginContour(tess.get());
  for (size_t i = 0; i < points.size(); ++i) {
    coords[i] = {points[i].x, points[i].y, 0.0};
    gluTessVertex(tess.get(), coords[i].data(), &ids[i]);
  }
  gluTessEndContour(tess.get());
  gluTessEndPolygon(tess.get());
  return triangles;
}
