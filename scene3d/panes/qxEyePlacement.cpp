#include "scene3d/panes/qxEyePlacement.h"

#include <cmath>

namespace {

constexpr int32_t kFirstCorner[8] = {1, 1, 2, 2, 3, 3, 0, 0};
constexpr int32_t kSecondCorner[8] = {2, 3, 3, 0, 0, 1, 1, 2};
constexpr float kEyeHeight = -1600.0f;
constexpr float kNearestPerspectiveEye = 5000.0f;

double Degrees(double radians) { return radians * 180.0 / M_PI; }

float Heading(const qxEyePlacement::Corner& a, const qxEyePlacement::Corner& b) {
  if (b.x - a.x == 0) return a.y - b.y <= 0 ? 90.0f : -90.0f;
  if (b.y - a.y == 0) return a.x - b.x <= 0 ? 0.0f : 180.0f;
  const float d = float(Degrees(std::atan((a.y - b.y) / (b.x - a.x))));
  return a.x - b.x <= 0 ? -d : 180.0f - d;
}

}  // namespace

bool qxEyePlacement::PlaceFromSide(qx3DEyeRecord& eye, int32_t side, int32_t viewIndex,
                                   const Corners& corners) {
  if (side < 1 || side > 8) return false;
  const Corner& a = corners[size_t(kFirstCorner[side - 1])];
  const Corner& b = corners[size_t(kSecondCorner[side - 1])];
  const double tanHalf = std::tan((viewIndex == 0 ? 44.0 : 35.0) / 180.0 * M_PI);
  const float dz = (a.y - b.y) / 2.0f;
  const float dx = (b.x - a.x) / 2.0f;
  eye.eyeX = float(-(a.x + b.x) / 2.0 - dz / tanHalf);
  eye.eyeZ = float(-(a.y + b.y) / 2.0 - dx / tanHalf);
  eye.eyeY = kEyeHeight;
  if (viewIndex == 0 && -eye.eyeZ - a.y < kNearestPerspectiveEye) eye.eyeZ = -(a.y + kNearestPerspectiveEye);
  eye.heading = Heading(a, b);
  return true;
}
