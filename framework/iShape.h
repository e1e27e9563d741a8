// The drawing-command interface shared by the drawing context and the shape recorder, so that one
// drawing routine can draw to a device or record for later. Coordinates are 32-bit floats in the
// receiver's units (device pixels for a drawing context).
#pragma once

#include <cstdint>

class iShape {
 public:
  virtual ~iShape() = default;

  // Begins a drawing, or continues the one recorded so far.
  virtual void Reset() = 0;
  virtual void MoveToF(float x, float y) = 0;
  virtual void LineToF(float x, float y) = 0;
  // Cubic Bezier curve from the current point to (x, y) with control points (c1x, c1y), (c2x, c2y).
  virtual void CurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) = 0;
  // Circular arc about (cx, cy) from the current point to (x, y).
  virtual void ArcAroundTo(float cx, float cy, uint8_t clockwise, float x, float y) = 0;
  // Elliptic arc of the ellipse inscribed in the box, from the current point to (x, y).
  virtual void ArcInBoxTo(float left, float top, float right, float bottom, float x, float y,
                          uint8_t clockwise) = 0;
  virtual void End() = 0;
  // Font for following text: `size` in points as the caller gives it, `style` bits 1 bold, 2 italic,
  // 4 underline, `angle` in degrees counter-clockwise.
  virtual void SetFont(const char* face, int32_t size, int32_t style, float angle) = 0;
  // 8-bit text (Windows-1252) at the current point.
  virtual void DrawText(const char* text) = 0;
};
