// A 3D point or direction: x, y, z in millimetres, 32-bit floats. On the plan, x and z span the floor
// and y is the height. A plain value: copied freely, owns nothing. 3D point lists in handles store
// these back to back, 12 bytes each.
#pragma once

class ppMatrix4;

struct ppVector3 {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;

  constexpr ppVector3() = default;
  constexpr ppVector3(float px, float py, float pz) : x(px), y(py), z(pz) {}

  ppVector3& operator+=(const ppVector3& b);
  ppVector3& operator-=(const ppVector3& b);
  ppVector3& operator*=(float s);
  ppVector3& operator/=(float s);
  // Applies m to this point taken as a column vector (m x p); see ppMatrix4::TransformColumn.
  ppVector3& operator*=(const ppMatrix4& m);

  ppVector3 operator+(const ppVector3& b) const { return ppVector3(x + b.x, y + b.y, z + b.z); }
  ppVector3 operator-(const ppVector3& b) const { return ppVector3(x - b.x, y - b.y, z - b.z); }
  ppVector3 operator*(float s) const { return ppVector3(x * s, y * s, z * s); }
  ppVector3 operator/(float s) const { return ppVector3(x / s, y / s, z / s); }
  // Component-wise quotient.
  ppVector3 operator/(const ppVector3& b) const { return ppVector3(x / b.x, y / b.y, z / b.z); }
  ppVector3 Negated() const { return ppVector3(-x, -y, -z); }

  float Length() const;
  float Distance(const ppVector3& b) const;
  double Dot(const ppVector3& b) const;
  ppVector3 Cross(const ppVector3& b) const;

  // Divides by the length; the zero vector gives non-numbers, so callers avoid it.
  void Normalize();
  ppVector3 Normalized() const;

  // Equal when every component differs by less than the float 9e-9.
  bool operator==(const ppVector3& b) const;
  bool operator!=(const ppVector3& b) const { return !(*this == b); }
  // Exact lexicographic order: x, then y, then z.
  bool operator<(const ppVector3& b) const;

  // Turn about `centre` by `angle` radians in the x/y plane or the floor (x/z) plane; 0 changes nothing.
  void RotateXY(const ppVector3& centre, double angle);
  void RotateXZ(const ppVector3& centre, double angle);

  // Direction of this vector in the floor plane, radians in [-pi/2, 3pi/2).
  float AngleXZ() const;
  // Direction of (x, z) turned back by a quarter turn; the marker 8999999488 when (x, z) is near zero.
  float Heading() const;
  // True for a direction straight up or down.
  bool IsAlongY() const;
};

bool NearlyEqualVec3(const ppVector3& a, const ppVector3& b, double t);

static_assert(sizeof(ppVector3) == 12, "3D point lists store 12-byte points");
