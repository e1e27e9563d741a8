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

// Combines two sorted span lists by sweeping over their edges.
std::vector<Span> CombineSpans(const std::vector<Span>* a, const std::vector<Span>* b, Region::Op op) {
  static const std::vector<Span> kNone;
  const std::vector<Span>& sa = a ? *a : kNone;
  const std::vector<Span>& sb = b ? *b : kNone;
  std::vector<int32_t> edges;
  edges.reserve((sa.size() + sb.size()) * 2);
  for (const Span& s : sa) edges.insert(edges.end(), {s.first, s.second});
  for (const Span& s : sb) edges.insert(edges.end(), {s.first, s.second});
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::vector<Span> out;
  size_t ia = 0, ib = 0;
  for (size_t i = 0; i + 1 < edges.size(); ++i) {
    int32_t x0 = edges[i], x1 = edges[i + 1];
    while (ia < sa.size() && sa[ia].second <= x0) ++ia;
    while (ib < sb.size() && sb[ib].second <= x0) ++ib;
    bool inA = ia < sa.size() && sa[ia].first <= x0;
    bool inB = ib < sb.size() && sb[ib].first <= x0;
    if (!Keep(op, inA, inB)) continue;
    if (!out.empty() && out.back().second == x0)
      out.back().second = x1;
    else
      out.emplace_back(x0, x1);
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

// Spans of the row sampled along the line sampleY, by the fill rule.
std::vector<Span> RowSpans(const std::vector<Edge>& edges, double sampleY, double xOffset, int32_t fillMode) {
  std::vector<std::pair<double, int>> crossings;
  for (const Edge& e : edges) {
    if (sampleY < e.y0 || sampleY >= e.y1) continue;
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
    // Pixel x is inside when x + xOffset lies in [left, right).
    int32_t x0 = ToPixel(std::ceil(crossings[i].first - xOffset));
    int32_t x1 = ToPixel(std::ceil(crossings[i + 1].first - xOffset));
    if (x1 <= x0) continue;
    if (!spans.empty() && spans.back().second >= x0)
      spans.back().second = std::max(spans.back().second, x1);
    else
      spans.emplace_back(x0, x1);
  }
  return spans;
}

void AddEdge(std::vector<Edge>& edges, PointF a, PointF b) {
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
  double minY = std::numeric_limits<double>::max(), maxY = std::numeric_limits<double>::lowest();
  for (const Edge& e : edges) {
    minY = std::min(minY, e.y0);
    maxY = std::max(maxY, e.y1);
  }
  // Rows where the sampled spans may change: the rows at or just below each corner.
  std::vector<int64_t> events;
  for (const Edge& e : edges)
    events.insert(events.end(), {int64_t(std::ceil(e.y0)), int64_t(std::ceil(e.y1))});
  std::sort(events.begin(), events.end());
  events.erase(std::unique(events.begin(), events.end()), events.end());
  int64_t top = int64_t(std::ceil(minY)), bottom = int64_t(std::ceil(maxY));
  if (rows) {
    top = std::max<int64_t>(top, rows->top);
    bottom = std::min<int64_t>(bottom, rows->bottom);
  }
  // Row y samples the figure along the line y; edges hold their top end and not their bottom end.
  for (int64_t y = top; y < bottom;) {
    int64_t next = *std::upper_bound(events.begin(), events.end(), y);
    bool vertical = true;
    for (const Edge& e : edges)
      if (y >= e.y0 && y < e.y1 && e.x0 != e.x1) vertical = false;
    // Between corners, rows crossed only by vertical edges all look alike.
    int64_t end = vertical ? std::min(next, bottom) : y + 1;
    result.AppendBand(int32_t(y), int32_t(end), RowSpans(edges, double(y), 0.0, fillMode));
    y = end;
  }
  return result;
}

Region Region::FromEllipse(const RECT& box, const RECT* rows) {
  Region result;
  double w = box.right - box.left, h = box.bottom - box.top;
  if (w <= 0 || h <= 0) return result;
  double cx = box.left + w / 2, cy = box.top + h / 2, a = w / 2, b = h / 2;
  int32_t top = rows ? std::max(box.top, rows->top) : box.top;
  int32_t bottom = rows ? std::min(box.bottom, rows->bottom) : box.bottom;
  for (int32_t y = top; y < bottom; ++y) {
    double dy = (y + 0.5 - cy) / b;
    double q = 1.0 - dy * dy;
    if (q < 0) continue;
    double half = a * std::sqrt(q);
    // Pixel x is inside when its centre x + 0.5 lies within [cx - half, cx + half].
    int32_t x0 = int32_t(std::ceil(cx - half - 0.5));
    int32_t x1 = int32_t(std::floor(cx + half - 0.5)) + 1;
    x0 = std::max(x0, box.left);
    x1 = std::min(x1, box.right);
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

Region Region::Combine(const Region& a, const Region& b, Op op) {
  std::vector<int32_t> ys;
  for (const Band& band : a.bands_) ys.insert(ys.end(), {band.top, band.bottom});
  for (const Band& band : b.bands_) ys.insert(ys.end(), {band.top, band.bottom});
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  Region out;
  for (size_t i = 0; i + 1 < ys.size(); ++i) {
    int32_t y0 = ys[i], y1 = ys[i + 1];
    out.AppendBand(y0, y1, CombineSpans(a.SpansAt(y0), b.SpansAt(y0), op));
  }
  return out;
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
  // Saturation may have squeezed bands or spans to nothing; rebuild through a neutral combine.
  *this = Combine(*this, Region(), Op::Or);
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
