#pragma once
// An area of whole pixels: the value type under region handles, clipping and filled figures.
// Stored as horizontal bands, each a run of rows [top, bottom) sharing the same sorted, disjoint,
// non-touching spans [x0, x1); bands are sorted, disjoint, and a band never repeats the spans of the
// band directly above it. Right and bottom edges are exclusive, as everywhere in the drawing layer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/GdiTypes.h"

namespace plat {

struct PointF {
  double x = 0;
  double y = 0;
};

class Region {
 public:
  using Span = std::pair<int32_t, int32_t>;
  struct Band {
    int32_t top = 0;
    int32_t bottom = 0;
    std::vector<Span> spans;
    friend bool operator==(const Band&, const Band&) = default;
  };
  enum class Op { And, Or, Xor, Diff };

  // Figures and ellipses are made only within this many pixels of the origin, in x and in y: twice the
  // largest surface side (32767), so all that a window, memory bitmap or printed page can show or hit is
  // exact, while a wall a kilometre long at a millimetre a pixel stays some ten thousand bands rather
  // than a million. Rectangles and combinations keep their whole extent.
  static constexpr int32_t kFigureReach = 1 << 16;

  Region() = default;
  explicit Region(const RECT& rect);

  // A polygon sampled at whole-pixel positions: pixel (x, y) is inside when the point (x, y) is, with
  // left and top edges inside and right and bottom edges outside. `fillMode` is ALTERNATE or WINDING.
  static Region FromPolygon(const POINT* points, size_t count, int32_t fillMode);
  // The same for several closed figures with fractional corners (flattened paths). With `rows`, only
  // the rows from rows->top to rows->bottom are made (what a drawing call can show).
  static Region FromFigures(const std::vector<std::vector<PointF>>& figures, int32_t fillMode,
                            const RECT* rows = nullptr);
  // The ellipse inscribed in the box, sampled at pixel centres; `rows` as above.
  static Region FromEllipse(const RECT& box, const RECT* rows = nullptr);

  // Linear in the bands and spans of both.
  static Region Combine(const Region& a, const Region& b, Op op);
  // *this = Combine(*this, other, op), touching only the bands of *this beside and below the rows of
  // `other`: joining many small regions onto a growing one stays linear in what is joined.
  void CombineWith(const Region& other, Op op);

  bool IsEmpty() const { return bands_.empty(); }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int32_t Kind() const;
  // The smallest rectangle holding the region; (0, 0, 0, 0) when empty.
  RECT Box() const;
  bool Contains(int32_t x, int32_t y) const;
  bool Intersects(const RECT& rect) const;
  void Offset(int32_t dx, int32_t dy);
  // The region shrunk by w pixels at its left and right edges and h at its top and bottom edges.
  Region Eroded(int32_t w, int32_t h) const;

  const std::vector<Band>& Bands() const { return bands_; }
  // Calls f(top, bottom, x0, x1) for every rectangle of the region.
  template <class F>
  void ForEachRect(F&& f) const {
    for (const Band& band : bands_)
      for (const Span& span : band.spans) f(band.top, band.bottom, span.first, span.second);
  }

  friend bool operator==(const Region&, const Region&) = default;

 private:
  // Appends a band below the existing ones, merging it into the last band when they touch and match.
  void AppendBand(int32_t top, int32_t bottom, std::vector<Span> spans);
  const std::vector<Span>* SpansAt(int32_t y) const;
  // Appends to `out` the combination of the sorted bands `a` and `b`.
  static void Merge(std::span<const Band> a, std::span<const Band> b, Op op, Region& out);

  std::vector<Band> bands_;
};

}  // namespace plat
