#include "scene3d/context/TriTriIntersect.h"

#include <cmath>

namespace {

constexpr float kPlaneTolerance = 0.01f;

struct Vec {
  float e[3];
  explicit Vec(const ppVector3& p) : e{p.x, p.y, p.z} {}
  Vec() : e{0, 0, 0} {}
  float operator[](int i) const { return e[i]; }
};

Vec Sub(const Vec& a, const Vec& b) {
  Vec out;
  for (int i = 0; i < 3; ++i) out.e[i] = static_cast<float>(double{a[i]} - b[i]);
  return out;
}

Vec Cross(const Vec& a, const Vec& b) {
  Vec out;
  out.e[0] = static_cast<float>(double{a[1]} * b[2] - double{a[2]} * b[1]);
  out.e[1] = static_cast<float>(double{a[2]} * b[0] - double{a[0]} * b[2]);
  out.e[2] = static_cast<float>(double{a[0]} * b[1] - double{a[1]} * b[0]);
  return out;
}

double Dot(const Vec& a, const Vec& b) {
  return double{a[0]} * b[0] + double{a[1]} * b[1] + double{a[2]} * b[2];
}

// Signed raw distance of p from the plane (n, d), snapped to 0 within the tolerance.
float PlaneValue(const Vec& n, float d, const Vec& p) {
  const float value = static_cast<float>(Dot(n, p) + d);
  return std::fabs(value) < kPlaneTolerance ? 0.0f : value;
}

void IntersectInterval(float a, float b, float c, float da, float db, float dc, float out[2]) {
  out[0] = static_cast<float>(a + (double{b} - a) * da / (double{da} - db));
  out[1] = static_cast<float>(a + (double{c} - a) * da / (double{da} - dc));
}

// The interval where the triangle with projections vv and plane values d crosses the other plane;
// false when the triangle lies in that plane.
bool ComputeIntervals(const float vv[3], const float d[3], float d0d1, float d0d2, float out[2]) {
  if (d0d1 > 0) {
    IntersectInterval(vv[2], vv[0], vv[1], d[2], d[0], d[1], out);
  } else if (d0d2 > 0) {
    IntersectInterval(vv[1], vv[0], vv[2], d[1], d[0], d[2], out);
  } else if (static_cast<float>(double{d[1]} * d[2]) > 0 || d[0] != 0) {
    IntersectInterval(vv[0], vv[1], vv[2], d[0], d[1], d[2], out);
  } else if (d[1] != 0) {
    IntersectInterval(vv[1], vv[0], vv[2], d[1], d[0], d[2], out);
  } else if (d[2] != 0) {
    IntersectInterval(vv[2], vv[0], vv[1], d[2], d[0], d[1], out);
  } else {
    return false;
  }
  return true;
}

void SortInterval(float v[2]) {
  if (v[0] > v[1]) {
    const float t = v[0];
    v[0] = v[1];
    v[1] = t;
  }
}

// The projection plane of the coplanar test: the two axes other than n's largest component.
struct Projection {
  int i0;
  int i1;
  float P(const Vec& v, int k) const { return v[k == 0 ? i0 : i1]; }
};

int EdgeEdgeTest(const Projection& pr, float ax, float ay, const Vec& p, const Vec& r, const Vec& s) {
  const float bx = static_cast<float>(double{pr.P(r, 0)} - pr.P(s, 0));
  const float by = static_cast<float>(double{pr.P(r, 1)} - pr.P(s, 1));
  const float cx = static_cast<float>(double{pr.P(p, 0)} - pr.P(r, 0));
  const float cy = static_cast<float>(double{pr.P(p, 1)} - pr.P(r, 1));
  const float f = static_cast<float>(double{ay} * bx - double{ax} * by);
  const float d = static_cast<float>(double{by} * cx - double{bx} * cy);
  if ((f > 0 && d >= 0 && d <= f) || (f < 0 && d <= 0 && d >= f)) {
    const float e = static_cast<float>(double{ax} * cy - double{ay} * cx);
    if (f > 0) return (e >= 0 && e <= f) ? 1 : 0;
    return (e <= 0 && e >= f) ? 1 : 0;
  }
  return 0;
}

int EdgeAgainstTriEdges(const Projection& pr, const Vec& p, const Vec& q, const Vec& u0, const Vec& u1,
                        const Vec& u2) {
  const float ax = static_cast<float>(double{pr.P(q, 0)} - pr.P(p, 0));
  const float ay = static_cast<float>(double{pr.P(q, 1)} - pr.P(p, 1));
  return EdgeEdgeTest(pr, ax, ay, p, u0, u1) || EdgeEdgeTest(pr, ax, ay, p, u1, u2) ||
         EdgeEdgeTest(pr, ax, ay, p, u2, u0);
}

float EdgeValue(const Projection& pr, const Vec& start, const Vec& end, const Vec& p) {
  const float a = static_cast<float>(double{pr.P(end, 1)} - pr.P(start, 1));
  const float b = static_cast<float>(-(double{pr.P(end, 0)} - pr.P(start, 0)));
  const float c = static_cast<float>(-double{a} * pr.P(start, 0) - double{b} * pr.P(start, 1));
  return static_cast<float>(double{a} * pr.P(p, 0) + double{b} * pr.P(p, 1) + c);
}

int PointInTri2D(const Projection& pr, const Vec& p, const Vec& u0, const Vec& u1, const Vec& u2) {
  const float d0 = EdgeValue(pr, u0, u1, p);
  const float d1 = EdgeValue(pr, u1, u2, p);
  const float d2 = EdgeValue(pr, u2, u0, p);
  return (static_cast<float>(double{d0} * d1) > 0 && static_cast<float>(double{d0} * d2) > 0) ? 1 : 0;
}

int Coplanar(const Vec& n, const Vec& v0, const Vec& v1, const Vec& v2, const Vec& u0, const Vec& u1,
             const Vec& u2) {
  const float a0 = std::fabs(n[0]), a1 = std::fabs(n[1]), a2 = std::fabs(n[2]);
  Projection pr;
  if (a0 > a1) {
    pr = a0 > a2 ? Projection{1, 2} : Projection{0, 1};
  } else {
    pr = a2 > a1 ? Projection{0, 1} : Projection{0, 2};
  }
  if (EdgeAgainstTriEdges(pr, v0, v1, u0, u1, u2) || EdgeAgainstTriEdges(pr, v1, v2, u0, u1, u2) ||
      EdgeAgainstTriEdges(pr, v2, v0, u0, u1, u2))
    return 1;
  if (PointInTri2D(pr, v0, u0, u1, u2) || PointInTri2D(pr, u0, v0, v1, v2)) return 1;
  return 0;
}

}  // namespace

int CoplanarTriTri(const ppVector3& n, const ppVector3& v0, const ppVector3& v1, const ppVector3& v2,
                   const ppVector3& u0, const ppVector3& u1, const ppVector3& u2) {
  return Coplanar(Vec(n), Vec(v0), Vec(v1), Vec(v2), Vec(u0), Vec(u1), Vec(u2));
}

int TriTriIntersect(const ppVector3& pv0, const ppVector3& pv1, const ppVector3& pv2, const ppVector3& pu0,
                    const ppVector3& pu1, const ppVector3& pu2) {
  const Vec v[3] = {Vec(pv0), Vec(pv1), Vec(pv2)};
  const Vec u[3] = {Vec(pu0), Vec(pu1), Vec(pu2)};

  const Vec n1 = Cross(Sub(v[1], v[0]), Sub(v[2], v[0]));
  const float d1 = static_cast<float>(-Dot(n1, v[0]));
  const float du[3] = {PlaneValue(n1, d1, u[0]), PlaneValue(n1, d1, u[1]), PlaneValue(n1, d1, u[2])};
  const float du0du1 = static_cast<float>(double{du[0]} * du[1]);
  const float du0du2 = static_cast<float>(double{du[0]} * du[2]);
  if (du0du1 > 0 && du0du2 > 0) return 0;

  const Vec n2 = Cross(Sub(u[1], u[0]), Sub(u[2], u[0]));
  const float d2 = static_cast<float>(-Dot(n2, u[0]));
  const float dv[3] = {PlaneValue(n2, d2, v[0]), PlaneValue(n2, d2, v[1]), PlaneValue(n2, d2, v[2])};
  const float dv0dv1 = static_cast<float>(double{dv[0]} * dv[1]);
  const float dv0dv2 = static_cast<float>(double{dv[0]} * dv[2]);
  if (dv0dv1 > 0 && dv0dv2 > 0) return 0;

  // The axis along which the line where the planes meet varies most.
  const Vec dir = Cross(n1, n2);
  int index = 0;
  float largest = std::fabs(dir[0]);
  if (std::fabs(dir[1]) > largest) {
    largest = std::fabs(dir[1]);
    index = 1;
  }
  if (std::fabs(dir[2]) > largest) index = 2;

  const float vp[3] = {v[0][index], v[1][index], v[2][index]};
  const float up[3] = {u[0][index], u[1][index], u[2][index]};
  float isect1[2], isect2[2];
  if (!ComputeIntervals(vp, dv, dv0dv1, dv0dv2, isect1))
    return Coplanar(n1, v[0], v[1], v[2], u[0], u[1], u[2]);
  if (!ComputeIntervals(up, du, du0du1, du0du2, isect2))
    return Coplanar(n1, v[0], v[1], v[2], u[0], u[1], u[2]);
  SortInterval(isect1);
  SortInterval(isect2);
  if (isect1[1] < isect2[0] || isect2[1] < isect1[0]) return 0;
  return 1;
}

void RoundToHundredths(ppVector3& point) {
  auto round = [](float v) {
    const double scaled = double{v} * 100.0;
    return static_cast<float>(std::trunc(scaled < 0 ? scaled - 0.5 : scaled + 0.5) / 100.0);
  };
  point = ppVector3(round(point.x), round(point.y), round(point.z));
}
