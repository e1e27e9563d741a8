#pragma once
// An area of whole pixels: the value type under region handles, clipping and filled figures.
// Stored as horizontal bands, each a run of rows [top, bottom) sharing the same sorted, disjoint,
// non-touching spans [x0, x1); bands are sorted, disjoint, and a band never repeats the spans of the
// band directly above it. Right and bottom edges are exclusive, as everywhere in the drawing layer.
// The bands and their spans sit in two arrays whose first few elements live inside the region, so a
// rectangle or a region of a few bands never touches the heap.

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "platform/GdiTypes.h"
#include "platform/RegionStorage.h"

namespace plat {

struct PointF {
  double x = 0;
  double y = 0;
};

class Region {
 public:
  struct Span {
    int32_t first = 0;   // x0, inside
    int32_t second = 0;  // x1, outside
    friend bool operator==(const Span&, const Span&) = default;
  };
  // A band as the region shows it; `spans` points into the region and lives as long as it is unchanged.
  struct Band {
    int32_t top = 0;
    int32_t bottom = 0;
    std::span<const Span> spans;
  };
  class BandList;
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

  // Linear in the bands and spans of both; an intersection with a rectangle only walks the rows the
  // rectangle spans.
  static Region Combine(const Region& a, const Region& b, Op op);
  // The same result as Combine, always by the general merge of both band lists: the reference that
  // the shortcuts of Combine and CombineWith must agree with, band for band.
  static Region CombineByBands(const Region& a, const Region& b, Op op);
  // *this = Combine(*this, other, op), touching only the bands of *this beside and below the rows of
  // `other`: joining many small regions onto a growing one stays linear in what is joined.
  void CombineWith(const Region& other, Op op);
  // The part of the region inside the rectangle.
  Region ClippedTo(const RECT& rect) const;

  bool IsEmpty() const { return rows_.empty(); }
  // NULLREGION, SIMPLEREGION (one rectangle) or COMPLEXREGION.
  int32_t Kind() const {
    if (rows_.empty()) return NULLREGION;
    return rows_.size() == 1 && spans_.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
  }
  // The smallest rectangle holding the region; (0, 0, 0, 0) when empty.
  RECT Box() const;
  bool Contains(int32_t x, int32_t y) const;
  bool Intersects(const RECT& rect) const;
  void Offset(int32_t dx, int32_t dy);
  // The region shrunk by w pixels at its left and right edges and h at its top and bottom edges.
  Region Eroded(int32_t w, int32_t h) const;

  BandList Bands() const;
  // Calls f(top, bottom, x0, x1) for every rectangle of the region.
  template <class F>
  void ForEachRect(F&& f) const {
    const Span* span = spans_.begin();
    for (const Row& row : rows_)
      for (const Span* end = spans_.begin() + row.end; span != end; ++span)
        f(row.top, row.bottom, span->first, span->second);
  }

  friend bool operator==(const Region& a, const Region& b) {
    return a.rows_ == b.rows_ && a.spans_ == b.spans_;
  }

 private:
  // A band's rows and the end of its spans in spans_ (they start where the band above ends).
  struct Row {
    int32_t top = 0;
    int32_t bottom = 0;
    uint32_t end = 0;
    friend bool operator==(const Row&, const Row&) = default;
  };

  size_t SpanStart(size_t band) const { return band ? rows_[band - 1].end : 0; }
  std::span<const Span> SpansOf(size_t band) const {
    return {spans_.begin() + SpanStart(band), spans_.begin() + rows_[band].end};
  }
  Band BandAt(size_t band) const { return {rows_[band].top, rows_[band].bottom, SpansOf(band)}; }
  // Ends a band below the existing ones whose spans were appended to spans_ from `start`: it joins the
  // band above when the two touch and match, and is dropped when it has no rows or no spans.
  void CloseBand(int32_t top, int32_t bottom, size_t start);
  // Appends a band below the existing ones (spans from outside this region), as CloseBand.
  void AppendBand(int32_t top, int32_t bottom, std::span<const Span> spans);
  // Joins band `seam` into the band above when they touch and match.
  void MergeSeam(size_t seam);
  // Appends to `out` the combination of the bands [aFirst, aLast) of `a` with all bands of `b`.
  static void Merge(const Region& a, size_t aFirst, size_t aLast, const Region& b, Op op, Region& out);

  RegionStorage<Row, 2> rows_;
  RegionStorage<Span, 4> spans_;
};

// The bands of a region, top to bottom, for reading.
class Region::BandList {
 public:
  class iterator {
   public:
    iterator(const Region* region, size_t band) : region_(region), band_(band) {}
    Band operator*() const { return region_->BandAt(band_); }
    iterator& operator++() {
      ++band_;
      return *this;
    }
    friend bool operator==(const iterator&, const iterator&) = default;

   private:
    const Region* region_;
    size_t band_;
  };

  explicit BandList(const Region& region) : region_(&region) {}
  size_t size() const { return region_->rows_.size(); }
  bool empty() const { return region_->rows_.empty(); }
  Band operator[](size_t band) const { return region_->BandAt(band); }
  Band front() const { return region_->BandAt(0); }
  Band back() const { return region_->BandAt(size() - 1); }
  iterator begin() const { return {region_, 0}; }
  iterator end() const { return {region_, size()}; }

 private:
  const Region* region_;
};

inline Region::BandList Region::Bands() const { return BandList(*this); }

}  // namespace plat
