#include "platform/Region.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace plat {

namespace {

using Span = Region::Span;

bool Keep(Region::Op op, bool inA, bool inB) {
  switch (op) {
    case Region::Op::And:
      return inA && inB;
    case Region::Op::Or:
      return inA || inB;
    case Region::Op::Xor:
      return inA != inB;
    case Region::Op::Diff:
      return inA && !inB;
  }
  return false;
}

// Appends to `out` the combination of two sorted lists of disjoint spans, in one pass over both; the
// spans of this band start at `start` in `out`.
template <class Out>
void CombineSpans(std::span<const Span> sa, std::span<const Span> sb, Region::Op op, Out& out, size_t start) {
  constexpr int64_t kPast = std::numeric_limits<int64_t>::max();
  size_t ia = 0, ib = 0;
  int64_t x = std::numeric_limits<int64_t>::min();
  for (;;) {
    while (ia < sa.size() && sa[ia].second <= x) ++ia;
    while (ib < sb.size() && sb[ib].second <= x) ++ib;
    const bool moreA = ia < sa.size(), moreB = ib < sb.size();
    if (!moreA && !moreB) break;
    const bool inA = moreA && sa[ia].first <= x, inB = moreB && sb[ib].first <= x;
    const int64_t nextA = !moreA ? kPast : inA ? sa[ia].second : sa[ia].first;
    const int64_t nextB = !moreB ? kPast : inB ? sb[ib].second : sb[ib].first;
    const int64_t next = std::min(nextA, nextB);
    if ((inA || inB) && Keep(op, inA, inB)) {
      if (out.size() > start && out.back().second == x)
        out.back().second = int32_t(next);
      else
        out.push_back(Span{int32_t(x), int32_t(next)});
    }
    x = next;
  }
}

// Pixel coordinates stay within 30 bits, so that offsets and widths of regions cannot overflow.
constexpr int64_t kReach = int64_t(1) << 30;

int32_t ToPixel(double v) { return int32_t(std::clamp<double>(v, -double(kReach), double(kReach))); }

int32_t Moved(int32_t v, int32_t d) { return int32_t(std::clamp<int64_t>(int64_t(v) + d, -kReach, kReach)); }

struct Edge {
  double x0, y0, x1, y1;
  int dir;  // +1 downwards, -1 upwards
};

constexpr double kFigureLimit = Region::kFigureReach;

// Spans of the row sampled along the line sampleY, by the fill rule, from the edges that cross it; held
// within the figure reach. `spans` is overwritten.
void RowSpans(const std::vector<Edge>& active, double sampleY, int32_t fillMode,
              std::vector<std::pair<double, int>>& crossings, std::vector<Span>& spans) {
  crossings.clear();
  for (const Edge& e : active) {
    double t = (sampleY - e.y0) / (e.y1 - e.y0);
    crossings.emplace_back(e.x0 + t * (e.x1 - e.x0), e.dir);
  }
  std::sort(crossings.begin(), crossings.end());
  spans.clear();
  int winding = 0;
  for (size_t i = 0; i + 1 < crossings.size(); ++i) {
    winding += crossings[i].second;
    bool inside = fillMode == WINDING ? winding != 0 : (i % 2) == 0;
    if (!inside) continue;
    // Pixel x is inside when x lies in [left, right).
    int32_t x0 = ToPixel(std::clamp(std::ceil(crossings[i].first), -kFigureLimit, kFigureLimit));
    int32_t x1 = ToPixel(std::clamp(std::ceil(crossings[i + 1].first), -kFigureLimit, kFigureLimit));
    if (x1 <= x0) continue;
    if (!spans.empty() && spans.back().second >= x0)
      spans.back().second = std::max(spans.back().second, x1);
    else
      spans.push_back(Span{x0, x1});
  }
}

// The row at or just below y, held a row beyond the figure reach.
int64_t RowAtOrBelow(double y) {
  return int64_t(std::ceil(std::clamp(y, -kFigureLimit - 1, kFigureLimit + 1)));
}

void AddEdge(std::vector<Edge>& edges, PointF a, PointF b) {
  // A corner that is not a number holds no area (and its rows could not be counted).
  if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y)) return;
  if (a.y == b.y) return;
  if (a.y < b.y)
    edges.push_back({a.x, a.y, b.x, b.y, 1});
  else
    edges.push_back({b.x, b.y, a.x, a.y, -1});
}

}  // namespace

Region::Region(const RECT& rect) {
  if (rect.left < rect.right && rect.top < rect.bottom) {
    rows_.push_back(Row{rect.top, rect.bottom, 1});
    spans_.push_back(Span{rect.left, rect.right});
  }
}

Region Region::FromPolygon(const POINT* points, size_t count, int32_t fillMode) {
  std::vector<std::vector<PointF>> figure(1);
  for (size_t i = 0; i < count; ++i) figure[0].push_back({double(points[i].x), double(points[i].y)});
  return FromFigures(figure, fillMode);
}

Region Region::FromFigures(const std::vector<std::vector<PointF>>& figures, int32_t fillMode,
                           const RECT* rows) {
  std::vector<Edge> edges;
  for (const auto& figure : figures) {
    if (figure.size() < 3) continue;
    for (size_t i = 0; i < figure.size(); ++i) AddEdge(edges, figure[i], figure[(i + 1) % figure.size()]);
  }
  Region result;
  if (edges.empty()) return result;
  // Taken in from the top as the rows pass them.
  std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
  double maxY = std::numeric_limits<double>::lowest();
  for (const Edge& e : edges) maxY = std::max(maxY, e.y1);
  // Rows where the sampled spans may change: the rows at or just below each corner.
  std::vector<int64_t> events;
  for (const Edge& e : edges) events.insert(events.end(), {RowAtOrBelow(e.y0), RowAtOrBelow(e.y1)});
  std::sort(events.begin(), events.end());
  events.erase(std::unique(events.begin(), events.end()), events.end());
  int64_t top = std::max<int64_t>(RowAtOrBelow(edges.front().y0), -kFigureReach);
  int64_t bottom = std::min<int64_t>(RowAtOrBelow(maxY), kFigureReach);
  if (rows) {
    top = std::max<int64_t>(top, rows->top);
    bottom = std::min<int64_t>(bottom, rows->bottom);
  }
  // Row y samples the figure along the line y; edges hold their top end and not their bottom end.
  std::vector<Edge> active;
  std::vector<std::pair<double, int>> crossings;
  std::vector<Span> spans;
  size_t taken = 0;
  for (int64_t y = top; y < bottom;) {
    const double sampleY = double(y);
    while (taken < edges.size() && edges[taken].y0 <= sampleY) active.push_back(edges[taken++]);
    std::erase_if(active, [&](const Edge& e) { return e.y1 <= sampleY; });
    // Between corners, rows crossed only by vertical edges all look alike.
    int64_t end = y + 1;
    if (std::all_of(active.begin(), active.end(), [](const Edge& e) { return e.x0 == e.x1; })) {
      auto event = std::upper_bound(events.begin(), events.end(), y);
      end = event != events.end() ? std::min(*event, bottom) : bottom;
    }
    RowSpans(active, sampleY, fillMode, crossings, spans);
    result.AppendBand(int32_t(y), int32_t(end), spans);
    y = end;
  }
  return result;
}

Region Region::FromEllipse(const RECT& box, const RECT* rows) {
  Region result;
  double w = box.right - box.left, h = box.bottom - box.top;
  if (w <= 0 || h <= 0) return result;
  double cx = box.left + w / 2, cy = box.top + h / 2, a = w / 2, b = h / 2;
  int32_t top = std::max(rows ? std::max(box.top, rows->top) : box.top, -kFigureReach);
  int32_t bottom = std::min(rows ? std::min(box.bottom, rows->bottom) : box.bottom, kFigureReach);
  for (int32_t y = top; y < bottom; ++y) {
    double dy = (y + 0.5 - cy) / b;
    double q = 1.0 - dy * dy;
    if (q < 0) continue;
    double half = a * std::sqrt(q);
    // Pixel x is inside when its centre x + 0.5 lies within [cx - half, cx + half].
    int32_t x0 = int32_t(std::ceil(cx - half - 0.5));
    int32_t x1 = int32_t(std::floor(cx + half - 0.5)) + 1;
    x0 = std::max({x0, box.left, -kFigureReach});
    x1 = std::min({x1, box.right, kFigureReach});
    const Span span{x0, x1};
    if (x1 > x0) result.AppendBand(y, y + 1, std::span<const Span>(&span, 1));
  }
  return result;
}

void Region::CloseBand(int32_t top, int32_t bottom, size_t start) {
  const size_t count = spans_.size() - start;
  if (count == 0 || bottom <= top) {
    spans_.truncate(start);
    return;
  }
  if (!rows_.empty() && rows_.back().bottom == top) {
    const size_t above = SpanStart(rows_.size() - 1);
    if (start - above == count &&
        std::equal(spans_.begin() + above, spans_.begin() + start, spans_.begin() + start)) {
      rows_.back().bottom = bottom;
      spans_.truncate(start);
      return;
    }
  }
  rows_.push_back(Row{top, bottom, uint32_t(spans_.size())});
}

void Region::AppendBand(int32_t top, int32_t bottom, std::span<const Span> spans) {
  const size_t start = spans_.size();
  spans_.append(spans.data(), spans.size());
  CloseBand(top, bottom, start);
}

void Region::MergeSeam(size_t seam) {
  if (seam == 0 || seam >= rows_.size()) return;
  if (rows_[seam - 1].bottom != rows_[seam].top) return;
  const std::span<const Span> above = SpansOf(seam - 1), below = SpansOf(seam);
  if (!std::equal(above.begin(), above.end(), below.begin(), below.end())) return;
  const size_t from = SpanStart(seam), count = below.size();
  rows_[seam - 1].bottom = rows_[seam].bottom;
  rows_[seam - 1].end = rows_[seam].end;
  rows_.erase(seam, seam + 1);
  spans_.erase(from, from + count);
  for (size_t i = seam - 1; i < rows_.size(); ++i) rows_[i].end -= uint32_t(count);
}

void Region::Merge(const Region& a, size_t aFirst, size_t aLast, const Region& b, Op op, Region& out) {
  constexpr int64_t kPast = std::numeric_limits<int64_t>::max();
  const bool keepA = Keep(op, true, false), keepB = Keep(op, false, true);
  const size_t na = aLast, nb = b.rows_.size();
  size_t ia = aFirst, ib = 0;
  int64_t y = std::numeric_limits<int64_t>::min();
  for (;;) {
    while (ia < na && a.rows_[ia].bottom <= y) ++ia;
    while (ib < nb && b.rows_[ib].bottom <= y) ++ib;
    const bool moreA = ia < na, moreB = ib < nb;
    // Past the end of one side only what the other keeps alone is left.
    if (!(moreA && moreB) && !(moreA && keepA) && !(moreB && keepB)) break;
    const bool inA = moreA && a.rows_[ia].top <= y, inB = moreB && b.rows_[ib].top <= y;
    const int64_t nextA = !moreA ? kPast : inA ? a.rows_[ia].bottom : a.rows_[ia].top;
    const int64_t nextB = !moreB ? kPast : inB ? b.rows_[ib].bottom : b.rows_[ib].top;
    const int64_t next = std::min(nextA, nextB);
    if (inA && inB) {
      const size_t start = out.spans_.size();
      CombineSpans(a.SpansOf(ia), b.SpansOf(ib), op, out.spans_, start);
      out.CloseBand(int32_t(y), int32_t(next), start);
    } else if (inA && keepA) {
      out.AppendBand(int32_t(y), int32_t(next), a.SpansOf(ia));
    } else if (inB && keepB) {
      out.AppendBand(int32_t(y), int32_t(next), b.SpansOf(ib));
    }
    y = next;
  }
}

Region Region::CombineByBands(const Region& a, const Region& b, Op op) {
  Region out;
  Merge(a, 0, a.rows_.size(), b, op, out);
  return out;
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  // Against nothing, each side is kept whole or not at all.
  if (a.IsEmpty() || b.IsEmpty()) {
    if (!a.IsEmpty() && Keep(op, true, false)) return a;
    if (!b.IsEmpty() && Keep(op, false, true)) return b;
    return Region();
  }
  // The usual clip against a window's or view's area: a rectangle only cuts the other's bands.
  if (op == Op::And) {
    if (a.Kind() == SIMPLEREGION && b.Kind() == SIMPLEREGION) {
      const Span p = a.spans_[0], q = b.spans_[0];
      return Region(RECT{std::max(p.first, q.first), std::max(a.rows_[0].top, b.rows_[0].top),
                         std::min(p.second, q.second), std::min(a.rows_[0].bottom, b.rows_[0].bottom)});
    }
    if (b.Kind() == SIMPLEREGION) return a.ClippedTo(b.Box());
    if (a.Kind() == SIMPLEREGION) return b.ClippedTo(a.Box());
  }
  return CombineByBands(a, b, op);
}

Region Region::ClippedTo(const RECT& rect) const {
  Region out;
  if (rect.left >= rect.right || rect.top >= rect.bottom) return out;
  const size_t count = rows_.size();
  size_t i = size_t(std::partition_point(rows_.begin(), rows_.end(),
                                         [&](const Row& row) { return row.bottom <= rect.top; }) -
                    rows_.begin());
  for (; i < count && rows_[i].top < rect.bottom; ++i) {
    const size_t start = out.spans_.size();
    for (const Span& span : SpansOf(i)) {
      if (span.second <= rect.left) continue;
      if (span.first >= rect.right) break;
      out.spans_.push_back(Span{std::max(span.first, rect.left), std::min(span.second, rect.right)});
    }
    out.CloseBand(std::max(rows_[i].top, rect.top), std::min(rows_[i].bottom, rect.bottom), start);
  }
  return out;
}

void Region::CombineWith(const Region& other, Op op) {
  if (&other == this) {
    *this = Combine(*this, other, op);
    return;
  }
  if (other.IsEmpty()) {
    if (!Keep(op, true, false)) *this = Region();
    return;
  }
  if (IsEmpty()) {
    if (Keep(op, false, true)) *this = other;
    return;
  }
  // A rectangle that already holds what is added stays as it is (an area invalidated again).
  if (op == Op::Or && Kind() == SIMPLEREGION) {
    const RECT have = Box(), more = other.Box();
    if (have.left <= more.left && have.top <= more.top && have.right >= more.right &&
        have.bottom >= more.bottom)
      return;
  }
  if (op == Op::And && (Kind() == SIMPLEREGION || other.Kind() == SIMPLEREGION)) {
    *this = Combine(*this, other, op);
    return;
  }
  // Only the bands of *this across the rows of `other` meet it; those above and below stay as they are
  // (or go, for an intersection).
  const int32_t top = other.rows_.front().top, bottom = other.rows_.back().bottom;
  const Region& self = *this;
  const Row* begin = self.rows_.begin();
  const Row* firstRow =
      std::partition_point(begin, self.rows_.end(), [&](const Row& r) { return r.bottom <= top; });
  const Row* lastRow =
      std::partition_point(firstRow, self.rows_.end(), [&](const Row& r) { return r.top < bottom; });
  const size_t first = size_t(firstRow - begin), last = size_t(lastRow - begin);
  Region middle;
  Merge(*this, first, last, other, op, middle);
  if (!Keep(op, true, false)) {
    *this = std::move(middle);
    return;
  }
  // The new middle bands and their spans take the place of the old ones; those below shift once at most.
  const size_t rowsWas = last - first, rowsNow = middle.rows_.size();
  const size_t spanFrom = SpanStart(first), spanTo = SpanStart(last);
  const size_t spansWas = spanTo - spanFrom, spansNow = middle.spans_.size();
  if (rowsNow > rowsWas)
    rows_.open(first + rowsWas, rowsNow - rowsWas);
  else
    rows_.erase(first + rowsNow, first + rowsWas);
  for (size_t k = 0; k < rowsNow; ++k) {
    const Row& made = middle.rows_[k];
    rows_[first + k] = Row{made.top, made.bottom, uint32_t(spanFrom + made.end)};
  }
  for (size_t k = first + rowsNow; k < rows_.size(); ++k)
    rows_[k].end = uint32_t(int64_t(rows_[k].end) + int64_t(spansNow) - int64_t(spansWas));
  if (spansNow > spansWas)
    spans_.open(spanTo, spansNow - spansWas);
  else
    spans_.erase(spanFrom + spansNow, spanTo);
  std::copy(middle.spans_.begin(), middle.spans_.end(), spans_.begin() + spanFrom);
  // Where the middle meets the bands above and below, equal touching bands become one.
  MergeSeam(first + rowsNow);
  MergeSeam(first);
}

RECT Region::Box() const {
  if (rows_.empty()) return RECT{};
  RECT box{std::numeric_limits<int32_t>::max(), rows_.front().top, std::numeric_limits<int32_t>::min(),
           rows_.back().bottom};
  size_t start = 0;
  for (const Row& row : rows_) {
    box.left = std::min(box.left, spans_[start].first);
    box.right = std::max(box.right, spans_[row.end - 1].second);
    start = row.end;
  }
  return box;
}

bool Region::Contains(int32_t x, int32_t y) const {
  const Row* row =
      std::upper_bound(rows_.begin(), rows_.end(), y, [](int32_t v, const Row& r) { return v < r.bottom; });
  if (row == rows_.end() || y < row->top) return false;
  for (const Span& s : SpansOf(size_t(row - rows_.begin())))
    if (x >= s.first && x < s.second) return true;
  return false;
}

bool Region::Intersects(const RECT& rect) const {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return false;
  const Row* row =
      std::partition_point(rows_.begin(), rows_.end(), [&](const Row& r) { return r.bottom <= rect.top; });
  for (; row != rows_.end() && row->top < rect.bottom; ++row)
    for (const Span& span : SpansOf(size_t(row - rows_.begin()))) {
      if (span.second <= rect.left) continue;
      if (span.first >= rect.right) break;
      return true;
    }
  return false;
}

void Region::Offset(int32_t dx, int32_t dy) {
  bool squeezed = false;
  auto move = [&](int32_t& v, int32_t d) {
    const int32_t moved = Moved(v, d);
    squeezed |= int64_t(moved) != int64_t(v) + d;
    v = moved;
  };
  for (Row& row : rows_) {
    move(row.top, dy);
    move(row.bottom, dy);
  }
  for (Span& s : spans_) {
    move(s.first, dx);
    move(s.second, dx);
  }
  if (!squeezed) return;
  // Saturation may have squeezed bands or spans to nothing or made them touch: rebuild.
  const Region moved = std::move(*this);
  *this = Region();
  for (size_t i = 0; i < moved.rows_.size(); ++i) {
    const size_t start = spans_.size();
    for (const Span& s : moved.SpansOf(i)) {
      if (s.second <= s.first) continue;
      if (spans_.size() > start && spans_.back().second >= s.first)
        spans_.back().second = std::max(spans_.back().second, s.second);
      else
        spans_.push_back(s);
    }
    CloseBand(moved.rows_[i].top, moved.rows_[i].bottom, start);
  }
}

Region Region::Eroded(int32_t w, int32_t h) const {
  Region out = *this;
  for (auto [dx, dy] : {std::pair{w, 0}, std::pair{-w, 0}, std::pair{0, h}, std::pair{0, -h}}) {
    if (dx == 0 && dy == 0) continue;
    Region moved = *this;
    moved.Offset(dx, dy);
    out = Combine(out, moved, Op::And);
  }
  return out;
}

}  // namespace plat
