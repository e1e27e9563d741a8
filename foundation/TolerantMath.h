// Tolerant float comparisons and angle helpers shared by the vector, matrix and box types.
// Angles are radians; lengths are millimetres.
#pragma once

#include <cstdint>

namespace geom {

// The tolerance of every nearly-equal or nearly-zero test of the 3D value types (the float 9e-9).
inline constexpr float kTolerance = 9e-9f;
// Answers of the plane and heading functions when there is no result.
inline constexpr float kNoResult = 8999999488.0f;
inline constexpr float kNoResultNegative = -8999999488.0f;
// The angle constants of the 3D value types, as doubles.
inline constexpr double kPi = 3.14159265359;
inline constexpr double kTwoPi = 6.28318530718;
inline constexpr double kHalfPi = 1.570796326795;
// The same angles as 32-bit floats, used by the plan's 2D and floor-plane geometry.
inline constexpr float kPiF = 3.1415927f;
inline constexpr float kHalfPiF = 1.5707964f;
inline constexpr float kTwoPiF = 6.2831855f;

}  // namespace geom

// -t < a < t, both bounds strict.
bool NearlyZero(double a, double t = geom::kTolerance);
bool NearlyEqual(double a, double b, double t = geom::kTolerance);

// The direction of the vector (x, y) in [-pi/2, 3pi/2); components within the tolerance of zero count
// as zero, so the zero vector gives -pi/2.
double AngleOfTol(double x, double y);

// Brings an angle into [0, 2pi] by whole turns.
void NormalizeAngle(double& angle);
void NormalizeAngle(float& angle);
double NormalizedAngle(double angle);
