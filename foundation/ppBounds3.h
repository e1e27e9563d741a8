// An axis-aligned box: `centre` and `half` size, millimetres; the box spans centre - half to
// centre + half. The box is empty while half.x < 0, as the default box is.
#pragma once

#include "foundation/ppVector3.h"

class ppMatrix4;

class ppBounds3 {
 public:
  ppVector3 centre;
  ppVector3 half;

  // The empty box: centre 0, half -8999999488 on every axis.
  ppBounds3();

  bool IsEmpty() const { return half.x < 0; }

  // Grows the box to hold p; an empty box becomes the point itself with half 0.
  void AddPoint(const ppVector3& p);
  // Grows the box by the eight corners of `box`; an empty box adds nothing.
  void AddBox(const ppBounds3& box);
  ppBounds3 operator+(const ppBounds3& box) const;

  // The box holding the eight corners of `box` passed through m.TransformPoint; empty stays empty.
  static ppBounds3 Transformed(const ppMatrix4& m, const ppBounds3& box);

  // Overlap or touch on every axis; never with an empty box.
  bool Intersects(const ppBounds3& box) const;

 private:
  // Corner i (0..7): bit 0 picks the x side, bit 1 the y side, bit 2 the z side.
  ppVector3 Corner(int i) const;
};
