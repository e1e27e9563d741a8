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

// Combines two sorted lists of disjoint spans in one pass over both.
std::vector<Span> CombineSpans(const std::vector<Span>& sa, const std::vector<Span>& sb, Region::Op op) {
  constexpr int64_t kPast = std::numeric_limits<int64_t>::max();
  std::vector<Span> out;
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
      if (!out.empty() && out.back().second == x)
        out.back().second = int32_t(next);
      else
        out.emplace_back(int32_t(x), int32_t(next));
    }
    x = next;
  }
  return out;
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
// within the figure reach.
std::vector<Span> RowSpans(const std::vector<Edge>& active, double sampleY, int32_t fillMode,
                           std::vector<std::pair<double, int>>& crossings) {
  crossings.clear();
  for (const Edge& e : active) {
    double t = (sampleY - e.y0) / (e.y1 - e.y0);
    crossings.emplace_back(e.x0 + t * (e.x1 - e.x0), e.dir);
  }
  std::sort(crossings.begin(), crossings.end());
  std::vector<Span> spans;
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
      spans.emplace_back(x0, x1);
  }
  return spans;
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
  if (rect.left < rect.right && rect.top < rect.bottom)
    bands_.push_back({rect.top, rect.bottom, {{rect.left, rect.right}}});
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
    result.AppendBand(int32_t(y), int32_t(end), RowSpans(active, sampleY, fillMode, crossings));
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
    if (x1 > x0) result.AppendBand(y, y + 1, {{x0, x1}});
  }
  return result;
}

void Region::AppendBand(int32_t top, int32_t bottom, std::vector<Span> spans) {
  if (spans.empty() || bottom <= top) return;
  if (!bands_.empty() && bands_.back().bottom == top && bands_.back().spans == spans) {
    bands_.back().bottom = bottom;
    return;
  }
  bands_.push_back({top, bottom, std::move(spans)});
}

const std::vector<Span>* Region::SpansAt(int32_t y) const {
  auto it = std::upper_bound(bands_.begin(), bands_.end(), y,
                             [](int32_t v, const Band& b) { return v < b.bottom; });
  if (it == bands_.end() || y < it->top) return nullptr;
  return &it->spans;
}

void Region::Merge(std::span<const Band> a, std::span<const Band> b, Op op, Region& out) {
  constexpr int64_t kPast = std::numeric_limits<int64_t>::max();
  static const std::vector<Span> kNone;
  const bool keepA = Keep(op, true, false), keepB = Keep(op, false, true);
  size_t ia = 0, ib = 0;
  int64_t y = std::numeric_limits<int64_t>::min();
  for (;;) {
    while (ia < a.size() && a[ia].bottom <= y) ++ia;
    while (ib < b.size() && b[ib].bottom <= y) ++ib;
    const bool moreA = ia < a.size(), moreB = ib < b.size();
    // Past the end of one side only what the other keeps alone is left.
    if (!(moreA && moreB) && !(moreA && keepA) && !(moreB && keepB)) break;
    const bool inA = moreA && a[ia].top <= y, inB = moreB && b[ib].top <= y;
    const int64_t nextA = !moreA ? kPast : inA ? a[ia].bottom : a[ia].top;
    const int64_t nextB = !moreB ? kPast : inB ? b[ib].bottom : b[ib].top;
    const int64_t next = std::min(nextA, nextB);
    if (inA && inB)
      out.AppendBand(int32_t(y), int32_t(next), CombineSpans(a[ia].spans, b[ib].spans, op));
    else if (inA && keepA)
      out.AppendBand(int32_t(y), int32_t(next), a[ia].spans);
    else if (inB && keepB)
      out.AppendBand(int32_t(y), int32_t(next), b[ib].spans);
    y = next;
  }
}

Region Region::Combine(const Region& a, const Region& b, Op op) {
  // Two rectangles meet in a rectangle: the usual clip against a window's or view's area.
  if (op == Op::And && a.Kind() == SIMPLEREGION && b.Kind() == SIMPLEREGION) {
    const RECT p = a.Box(), q = b.Box();
    return Region(RECT{std::max(p.left, q.left), std::max(p.top, q.top), std::min(p.right, q.right),
                       std::min(p.bottom, q.bottom)});
  }
  Region out;
  Merge(a.bands_, b.bands_, op, out);
  return out;
}

void Region::CombineWith(const Region& other, Op op) {
  if (&other == this) {
    *this = Combine(*this, other, op);
    return;
  }
  if (other.bands_.empty()) {
    if (!Keep(op, true, false)) bands_.clear();
    return;
  }
  // A rectangle that already holds what is added stays as it is (an area invalidated again).
  if (op == Op::Or && Kind() == SIMPLEREGION) {
    const RECT have = Box(), more = other.Box();
    if (have.left <= more.left && have.top <= more.top && have.right >= more.right &&
        have.bottom >= more.bottom)
      return;
  }
  // Only the bands of *this across the rows of `other` meet it; those above and below stay as they are
  // (or go, for an intersection).
  const int32_t top = other.bands_.front().top, bottom = other.bands_.back().bottom;
  auto first =
      std::partition_point(bands_.begin(), bands_.end(), [&](const Band& b) { return b.bottom <= top; });
  auto last = std::partition_point(first, bands_.end(), [&](const Band& b) { return b.top < bottom; });
  Region middle;
  Merge(std::span<const Band>(first, last), other.bands_, op, middle);
  if (!Keep(op, true, false)) {
    *this = std::move(middle);
    return;
  }
  // The new middle bands take the place of the old ones; the bands below shift once at most.
  const size_t at = size_t(first - bands_.begin()), was = size_t(last - first), now = middle.bands_.size();
  if (now > was)
    bands_.insert(bands_.begin() + ptrdiff_t(at + was), now - was, Band{});
  else
    bands_.erase(bands_.begin() + ptrdiff_t(at + now), bands_.begin() + ptrdiff_t(at + was));
  std::move(middle.bands_.begin(), middle.bands_.end(), bands_.begin() + ptrdiff_t(at));
  // Where the middle meets the bands above and below, equal touching bands become one.
  for (size_t seam : {at + now, at}) {
    if (seam == 0 || seam >= bands_.size()) continue;
    Band& above = bands_[seam - 1];
    if (above.bottom != bands_[seam].top || above.spans != bands_[seam].spans) continue;
    above.bottom = bands_[seam].bottom;
    bands_.erase(bands_.begin() + ptrdiff_t(seam));
  }
}

int32_t Region::Kind() const {
  if (bands_.empty()) return NULLREGION;
  return bands_.size() == 1 && bands_[0].spans.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT Region::Box() const {
  if (bands_.empty()) return RECT{};
  RECT box{std::numeric_limits<int32_t>::max(), bands_.front().top, std::numeric_limits<int32_t>::min(),
           bands_.back().bottom};
  for (const Band& band : bands_) {
    box.left = std::min(box.left, band.spans.front().first);
    box.right = std::max(box.right, band.spans.back().second);
  }
  return box;
}

bool Region::Contains(int32_t x, int32_t y) const {
  const std::vector<Span>* spans = SpansAt(y);
  if (!spans) return false;
  for (const Span& s : *spans)
    if (x >= s.first && x < s.second) return true;
  return false;
}

bool Region::Intersects(const RECT& rect) const { return !Combine(*this, Region(rect), Op::And).IsEmpty(); }

void Region::Offset(int32_t dx, int32_t dy) {
  for (Band& band : bands_) {
    band.top = Moved(band.top, dy);
    band.bottom = Moved(band.bottom, dy);
    for (Span& s : band.spans) {
      s.first = Moved(s.first, dx);
      s.second = Moved(s.second, dx);
    }
  }
  // Saturation may have squeezed bands or spans to nothing or made them touch: rebuild.
  std::vector<Band> moved = std::move(bands_);
  bands_.clear();
  for (Band& band : moved) {
    std::vector<Span> spans;
    for (const Span& s : band.spans) {
      if (s.second <= s.first) continue;
      if (!spans.empty() && spans.back().second >= s.first)
        spans.back().second = std::max(spans.back().second, s.second);
      else
        spans.push_back(s);
    }
    AppendBand(band.top, band.bottom, std::move(spans));
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
