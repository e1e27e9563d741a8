#pragma once
// Pixel arithmetic shared by the drawing calls: raster operations on 24-bit colours and the
// rasterisation of thin lines and curves. Pixels are 0x00RRGGBB; the top byte of a destination
// pixel is kept as it was.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/GdiTypes.h"
#include "platform/Region.h"

namespace plat {

// The result of a pen raster operation (R2_*) with pen colour `pen` on destination `dest`.
uint32_t ApplyRop2(int32_t rop2, uint32_t pen, uint32_t dest);
// The result of a blit raster operation (its truth-table byte) on pattern, source and destination.
uint32_t ApplyRop3(DWORD rop, uint32_t pattern, uint32_t source, uint32_t dest);
// True when the blit operation reads the source, or the pattern.
bool Rop3UsesSource(DWORD rop);
bool Rop3UsesPattern(DWORD rop);

// Row operations on surface pixels that change the colour bits (0x00FFFFFF) of each pixel and keep
// the byte above them, the whole row at a time (eight or four pixels a step where the processor can).
// Sets `count` pixels from `row` on to the colour 0x00RRGGBB.
void FillColorBits(uint32_t* row, int32_t count, uint32_t color);
// The same over `rows` rows of `count` pixels, the first at `first`, each `stride` pixels after the
// one above: the processor check and the constants are made once for the whole rectangle.
void FillColorBitsRows(uint32_t* first, std::ptrdiff_t stride, int32_t count, int32_t rows, uint32_t color);
// The same rectangle written with whole pixels (`pixel` as it is, its top byte too): no pixel is read
// first. Where every top byte of the rectangle is 0 and `pixel` is 0x00RRGGBB, the pixels come out as
// FillColorBitsRows makes them (Surface::UnusedBytesZero says where that holds).
void FillPixelsRows(uint32_t* first, std::ptrdiff_t stride, int32_t count, int32_t rows, uint32_t pixel);
// Copies the colour bits of `count` pixels from `in` to `out`; the rows must not overlap.
void CopyColorBits(uint32_t* out, const uint32_t* in, int32_t count);
// The same over `rows` rows, each `outStride` / `inStride` pixels after the one above (an `inStride`
// of 0 copies one source row into every row).
void CopyColorBitsRows(uint32_t* out, std::ptrdiff_t outStride, const uint32_t* in, std::ptrdiff_t inStride,
                       int32_t count, int32_t rows);
// The same from `count` packed 3-byte pixels (blue, green, red), as 24-bit DIB rows hold them; reads
// no byte past the last pixel's.
void CopyColorBitsFrom24(uint32_t* out, const uint8_t* in, int32_t count);

// Visits the pixels of a one-pixel line from a to b without the pixel at b, with their step numbers
// from a, skipping the steps whose position along the longer axis lies outside `limit` (so a line far
// longer than the limit costs no more than the limit). Returns the line's number of steps.
int64_t LinePixels(POINT a, POINT b, const RECT& limit, const std::function<void(int64_t, POINT)>& visit);

// Flattening into polylines (the first point is not repeated in `out`).
void FlattenBezier(PointF p0, PointF p1, PointF p2, PointF p3, std::vector<PointF>& out);
// The arc of the ellipse inscribed in the box [left, right] x [top, bottom] (coordinates of the
// outline itself), from angle `start` turning by `sweep` radians (counter-clockwise on the screen
// for a positive sweep; angles measured with y upwards). Appends the points after the start point.
void FlattenArc(double left, double top, double right, double bottom, double start, double sweep,
                std::vector<PointF>& out);
PointF EllipsePoint(double left, double top, double right, double bottom, double angle);
// The angle of the radial from the box's centre through (x, y), y upwards.
double RadialAngle(double left, double top, double right, double bottom, double x, double y);

}  // namespace plat
