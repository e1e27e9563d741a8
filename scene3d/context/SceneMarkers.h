// Fixed figures drawn into contexts through the interfaces only: the depth enclosure that the
// standard renderer lays behind a room, and the drop-point marker of the 3D dragger.
#pragma once

#include <cstdint>

class iContext;
class iShape;

// Fills the depth buffer only (colour writes off) with a floor at y = -100 and a ceiling and four
// walls far outside any room, so that lines behind nothing still get a depth to test against.
void DrawDepthEnclosure(iContext& context);

// The drop-point marker at window pixel (x, y): a 6-pixel square with a downward arrow above it,
// outlined with inverting pixels so that drawing it twice erases it. The context's state is set up
// for it and restored to the usual afterwards.
void DrawDropMarker(iContext& context, int32_t x, int32_t y);
// The same marker as plan outlines (each figure closed back to its first corner).
void DrawDropMarker(iShape& shape, int32_t x, int32_t y);
