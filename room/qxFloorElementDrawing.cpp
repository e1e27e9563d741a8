// The floor on the plan (region, dimension labels), its 3D slab and the nearest-wall search.
#include "room/qxFloorElement.h"

namespace {
float gLowestWallHeight = -1.0f;
}

float LowestWallHeight() { return gLowestWallHeight; }
void SetLowestWallHeight(float height) { gLowestWallHeight = height; }

void qxFloorElement::DrawMeasurementLabels(ppDC&) {}
void qxFloorElement::DrawMeasurementLabel(ppDC&, const WallEdge&, const WallEdge&, const WallEdge&, int32_t) {
}
qx3DObject* qxFloorElement::BuildFloorObject(qx3DObject* next, zelvproCanvas*) { return next; }
qxWallElement* qxFloorElement::NearestWallEdge(ppVector3&, float& angle, const ppVector3&, float) {
  angle = 0.0f;
  return nullptr;
}
void qxFloorElement::UpdateLowestWallHeight() {}
void qxFloorElement::DrawContent(ppDC&) {}
std::unique_ptr<ppRegion> qxFloorElement::GetFrameRegion() { return zelvproTopViewElement::GetFrameRegion(); }
void qxFloorElement::GetColorByCode(ppFloat4& out, int32_t code) {
  zelvproTopViewElement::GetColorByCode(out, code);
}
const ppPicture* qxFloorElement::GetTextureByCode(int32_t code) {
  return zelvproTopViewElement::GetTextureByCode(code);
}
void qxFloorElement::RebuildGeometry() { zelvproTopViewElement::RebuildGeometry(); }
