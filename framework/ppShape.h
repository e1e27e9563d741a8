// A recorded 2D drawing: the commands of iShape kept as packed records in one handle, replayed later
// onto any other iShape at an offset and a scale.
//
// Record layout (little-endian, back to back, no padding): a 32-bit code, then
//   0 end (nothing follows)                      1 MoveToF x, y          2 LineToF x, y
//   3 CurveTo x, y, c1x, c1y, c2x, c2y, 4 spare  4 ArcAroundTo x, y, cx, cy, 8 spare, clockwise, 3 spare
//   5 ArcInBoxTo x, y, left, top, right, bottom, clockwise, 3 spare
//   6 DrawText: 32-bit length n, n text bytes, a NUL and 3 spare bytes (n + 12 bytes in all)
// Coordinates are 32-bit floats; the end point of a path command always comes first.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/Vcon_HandleManager.h"
#include "framework/iShape.h"

class ppShape : public iShape {
 public:
  // Record codes.
  enum : int32_t { kEnd = 0, kMove = 1, kLine = 2, kCurve = 3, kArcAround = 4, kArcInBox = 5, kText = 6 };

  ppShape() = default;
  ~ppShape() override;
  ppShape(const ppShape&) = delete;
  ppShape& operator=(const ppShape&) = delete;

  void Reset() override;
  void MoveToF(float x, float y) override;
  void LineToF(float x, float y) override;
  void CurveTo(float c1x, float c1y, float c2x, float c2y, float x, float y) override;
  void ArcAroundTo(float cx, float cy, uint8_t clockwise, float x, float y) override;
  void ArcInBoxTo(float left, float top, float right, float bottom, float x, float y,
                  uint8_t clockwise) override;
  void End() override;
  void SetFont(const char* face, int32_t size, int32_t style, float angle) override;
  void DrawText(const char* text) override;

  // Disposes of the records; the shape is as new.
  void FreeRecords();
  // Plays the drawing onto `target`, mapping each point to (x * scale + dx, y * scale + dy).
  void Replay(iShape* target, float dx, float dy, float scale) const;

  // The record handle (owned by the shape; null before the first Reset).
  Handle Records() const { return records_; }

 private:
  void Append(const void* bytes, size_t count);
  void AppendPath(int32_t code, const float* values, size_t count, uint8_t flag, size_t size);
  // Offset of the last complete record, or -1 when there is none.
  int64_t LastRecordOffset() const;

  Handle records_ = nullptr;
};
