// A round tube of radius `depth` swept along the open path `outline`, in `segments` steps around the
// tube. Joints are mitred so the rings of two segments meet in the bisecting plane; joints turning by
// 30 degrees or less get blended normals. Both ends are closed by flat discs. A path of fewer than two
// distinct points makes no faces; repeated points make no segment. No edge lines.
#pragma once

#include <cstdint>

#include "scene3d/objects/qx3DObject.h"

class qx3DPipeObject : public qx3DObject {
 public:
  using qx3DObject::qx3DObject;

  void Build() override;

  int32_t segments = 16;

 private:
  struct Segment;
  void BuildSegment(const Segment& s, std::vector<ppVector3>* startRing, std::vector<ppVector3>* endRing);
  void BuildCap(const std::vector<ppVector3>& ring, bool reversed, const ppVector2& normal);
};
