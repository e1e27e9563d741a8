// An owned drawing region (device pixels, right and bottom exclusive) for views and drawing contexts:
// frames, clips, invalidation and hit tests. It can also record a polygon point by point; the points
// become the region and stay available (the textured floor fill tessellates them).
//
// Making the underlying region can fail; the constructors then show the memory error box with their
// own number (1040 to 1043) and throw Vcon::MemError.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "platform/Gdi.h"

class ppShape;

class ppRegion {
 public:
  struct Point {
    int32_t x = 0;
    int32_t y = 0;
  };

  ppRegion();                                 // empty
  explicit ppRegion(const plat::RECT& rect);  // the rectangle
  ppRegion(const ppRegion& other);            // a copy
  explicit ppRegion(plat::HRGN region);       // a copy of the handle's area; the handle stays the caller's
  // The area that a recorded shape outlines, drawn offset by (x, y) pixels at `factor`. A shape that
  // cannot be turned into an area gives an empty region.
  ppRegion(const ppShape& shape, int32_t x, int32_t y, float factor);
  ~ppRegion();
  ppRegion& operator=(const ppRegion&) = delete;

  void Union(const ppRegion& other);
  void Intersect(const ppRegion& other);
  void Subtract(const ppRegion& other);
  void SubtractRect(const plat::RECT& rect);
  void SetRect(const plat::RECT& rect);
  void Offset(int32_t dx, int32_t dy);
  void GetBounds(plat::RECT* bounds) const;
  bool Contains(int32_t x, int32_t y) const;
  bool IsEmpty() const;

  // Polygon recording: points are taken only between BeginPolygon and EndPolygon.
  void BeginPolygon();
  void MoveTo(int32_t x, int32_t y);
  void LineTo(int32_t x, int32_t y);
  // Makes the recorded polygon (winding rule) the region; without points the region stays as it was.
  void EndPolygon();
  int32_t PointCount() const { return pointCount_; }
  int32_t PointCapacity() const { return int32_t(points_.size()); }
  const Point* Points() const { return points_.empty() ? nullptr : points_.data(); }

  plat::HRGN Handle() const { return region_; }

  // Number of region objects alive in the process.
  static int32_t LiveCount();
  // Makes the next `count` creations of an underlying region fail, as when the system has no room
  // left; tests use it to reach the failure path.
  static void FailNextCreations(int32_t count);

 private:
  void AppendPoint(int32_t x, int32_t y);
  void Combine(plat::HRGN other, int32_t mode);

  plat::HRGN region_ = nullptr;
  bool recording_ = false;
  int32_t pointCount_ = 0;
  std::vector<Point> points_;  // capacity grows by 16 points; size() is the capacity
};

// A new region holding the polygon through a list of points (a handle of ppVector2, millimetres
// taken as pixels, truncated toward zero), closed back to its first point; empty for an empty list.
std::unique_ptr<ppRegion> PointListToRegion(Handle list);
