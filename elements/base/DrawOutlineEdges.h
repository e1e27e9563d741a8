// Draws an element's outline as the edges of a closed polygon into a drawing context: in XOR mode
// for feedback that a second drawing erases, otherwise as smooth lines when the context draws
// through OpenGL. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/Vcon_HandleManager.h"

class ppDC;
struct ppRGBColor;

// Mode 3 selects XOR drawing with a 1 by 1 pen.
constexpr uint8_t kOutlineXorMode = 3;

// `points`: 8-byte (x, y) points in device pixels (truncated toward zero); edge i runs from point i
// to point i + 1, the last edge back to the first point. An edge whose entry in `edgeFlags` has bit
// 0x1 is left out (edges past the end of the list are drawn). `colour` is in percent. The context is
// left with its normal pen.
void DrawOutlineEdges(Handle points, ppDC& dc, const ppRGBColor& colour, uint8_t mode,
                      const std::vector<int32_t>* edgeFlags);
