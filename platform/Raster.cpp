#include "platform/Raster.h"

#ifdef __x86_64__
#include <immintrin.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace plat {

namespace {

constexpr uint32_t kColorBits = 0x00FFFFFF;
constexpr double kPi = 3.14159265358979323846;

// Evaluates a truth table bitwise: `table` bit i is the result for input combination i, where the
// inputs' bits form i most significant first.
uint32_t TruthTable(uint32_t table, const uint32_t* inputs, int count) {
  uint32_t result = 0;
  for (uint32_t combo = 0; combo < (1u << count); ++combo) {
    if (!((table >> combo) & 1)) continue;
    uint32_t bits = kColorBits;
    for (int k = 0; k < count; ++k) {
      bool set = (combo >> (count - 1 - k)) & 1;
      bits &= set ? inputs[k] : ~inputs[k];
    }
    result |= bits;
  }
  return result & kColorBits;
}

#ifdef __x86_64__
bool HasWideIntegerSteps() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

// The eight-pixel steps of the row operations, with 256-bit registers; each answers how far it got.
// Only called where the processor has them (HasWideIntegerSteps).
__attribute__((target("avx2"))) int32_t FillColorBitsWide(uint32_t* row, int32_t count, uint32_t color) {
  const __m256i keep = _mm256_set1_epi32(int32_t(~kColorBits));
  const __m256i bits = _mm256_set1_epi32(int32_t(color));
  int32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(row + x);
    _mm256_storeu_si256(at, _mm256_or_si256(_mm256_and_si256(_mm256_loadu_si256(at), keep), bits));
  }
  return x;
}

// Eight pixels' colour bits set to `bits` (a broadcast colour), their unused bytes (`keep`) kept.
__attribute__((target("avx2"), always_inline)) inline void FillEightWide(uint32_t* at, __m256i bits,
                                                                         __m256i keep) {
  __m256i* p = reinterpret_cast<__m256i*>(at);
  _mm256_storeu_si256(p, _mm256_blendv_epi8(bits, _mm256_loadu_si256(p), keep));
}

// Start-up paints a few screens of solid rectangles, so this loop is the hottest of the fills: one
// byte blend per eight pixels (the unused byte taken from the pixel, the rest from the colour), four
// blends a step, and a row's last pixels done by one more step ending at its end, which may go over
// pixels already filled (filling a pixel twice gives the same pixel). Rows of at least eight pixels.
__attribute__((target("avx2"))) void FillColorBitsWideRows(uint32_t* first, std::ptrdiff_t stride,
                                                           int32_t count, int32_t rows, uint32_t color) {
  const __m256i keep = _mm256_set1_epi32(int32_t(~kColorBits));
  const __m256i bits = _mm256_set1_epi32(int32_t(color));
  const int32_t quads = count & ~31, wide = count & ~7;
  for (int32_t y = 0; y < rows; ++y) {
    uint32_t* row = first + std::ptrdiff_t(y) * stride;
    int32_t x = 0;
    for (; x < quads; x += 32) {
      FillEightWide(row + x, bits, keep);
      FillEightWide(row + x + 8, bits, keep);
      FillEightWide(row + x + 16, bits, keep);
      FillEightWide(row + x + 24, bits, keep);
    }
    for (; x < wide; x += 8) FillEightWide(row + x, bits, keep);
    if (x < count) FillEightWide(row + count - 8, bits, keep);
  }
}

// Whole pixels, eight a step, four steps at a time; a row's last pixels by one more step ending at
// its end (which may write pixels already written). Rows of at least eight pixels.
__attribute__((target("avx2"))) void FillPixelsWideRows(uint32_t* first, std::ptrdiff_t stride, int32_t count,
                                                        int32_t rows, uint32_t pixel) {
  const __m256i bits = _mm256_set1_epi32(int32_t(pixel));
  const int32_t quads = count & ~31, wide = count & ~7;
  for (int32_t y = 0; y < rows; ++y) {
    uint32_t* row = first + std::ptrdiff_t(y) * stride;
    int32_t x = 0;
    for (; x < quads; x += 32) {
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x), bits);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x + 8), bits);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x + 16), bits);
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x + 24), bits);
    }
    for (; x < wide; x += 8) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + x), bits);
    if (x < count) _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + count - 8), bits);
  }
}

__attribute__((target("avx2"))) int32_t CopyColorBitsWide(uint32_t* out, const uint32_t* in, int32_t count) {
  const __m256i keep = _mm256_set1_epi32(int32_t(~kColorBits));
  const __m256i color = _mm256_set1_epi32(int32_t(kColorBits));
  int32_t x = 0;
  for (; x + 8 <= count; x += 8) {
    __m256i* at = reinterpret_cast<__m256i*>(out + x);
    const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + x));
    _mm256_storeu_si256(
        at, _mm256_or_si256(_mm256_and_si256(_mm256_loadu_si256(at), keep), _mm256_and_si256(source, color)));
  }
  return x;
}

// Eight pixels' colour bits from `in` to `out`, their unused bytes (`keep`) kept.
__attribute__((target("avx2"), always_inline)) inline void CopyEightWide(uint32_t* out, const uint32_t* in,
                                                                         __m256i keep) {
  __m256i* at = reinterpret_cast<__m256i*>(out);
  const __m256i source = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
  _mm256_storeu_si256(at, _mm256_blendv_epi8(source, _mm256_loadu_si256(at), keep));
}

// Rows of at least eight pixels, eight a step; a row's last pixels by one more step ending at its end
// (copying a pixel's colour twice gives the same pixel).
__attribute__((target("avx2"))) void CopyColorBitsWideRows(uint32_t* out, std::ptrdiff_t outStride,
                                                           const uint32_t* in, std::ptrdiff_t inStride,
                                                           int32_t count, int32_t rows) {
  const __m256i keep = _mm256_set1_epi32(int32_t(~kColorBits));
  const int32_t wide = count & ~7;
  for (int32_t y = 0; y < rows; ++y, out += outStride, in += inStride) {
    int32_t x = 0;
    for (; x < wide; x += 8) CopyEightWide(out + x, in + x, keep);
    if (x < count) CopyEightWide(out + count - 8, in + count - 8, keep);
  }
}

// Eight packed 3-byte pixels from 32 bytes read at `in`, the pixels' 24 bytes starting `skip` bytes
// in (0 or 8): the words spread so that each 128-bit half holds its four pixels' 12 bytes first,
// then each pixel's three bytes moved into the low bytes of its own word; written into the colour
// bits of out[0..7].
__attribute__((target("avx2"), always_inline)) inline void CopyEightFrom24(uint32_t* out, const uint8_t* in,
                                                                           __m256i spread) {
  const __m256i pick = _mm256_setr_epi8(0, 1, 2, -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128, 0, 1, 2,
                                        -128, 3, 4, 5, -128, 6, 7, 8, -128, 9, 10, 11, -128);
  const __m256i keep = _mm256_set1_epi32(int32_t(~kColorBits));
  const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
  const __m256i colors = _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(bytes, spread), pick);
  __m256i* at = reinterpret_cast<__m256i*>(out);
  _mm256_storeu_si256(at, _mm256_blendv_epi8(colors, _mm256_loadu_si256(at), keep));
}

// Rows of at least 11 pixels (33 bytes, more than one 32-byte read), eight pixels a step. A step
// reads the 32 bytes from its first pixel on where the row has them, else the 32 bytes ending with
// its last pixel (its first pixel is then at least the ninth, so the read starts inside the row). The
// last step writes the row's last eight pixels, which may go over pixels already written (writing a
// pixel twice gives the same pixel).
__attribute__((target("avx2"))) void CopyColorBitsFrom24Wide(uint32_t* out, const uint8_t* in,
                                                             int32_t count) {
  const __m256i fromStart = _mm256_setr_epi32(0, 1, 2, 3, 3, 4, 5, 6);
  const __m256i fromEnd = _mm256_setr_epi32(2, 3, 4, 5, 5, 6, 7, 7);
  int32_t x = 0;
  for (; count - x > 8; x += 8) {
    if (count - x >= 11)
      CopyEightFrom24(out + x, in + 3 * x, fromStart);
    else
      CopyEightFrom24(out + x, in + 3 * x - 8, fromEnd);
  }
  CopyEightFrom24(out + count - 8, in + 3 * count - 32, fromEnd);
}
#endif

}  // namespace

void FillColorBits(uint32_t* row, int32_t count, uint32_t color) {
  int32_t x = 0;
#ifdef __x86_64__
  if (count >= 8 && HasWideIntegerSteps()) x = FillColorBitsWide(row, count, color);
  const __m128i keep = _mm_set1_epi32(int32_t(~kColorBits));
  const __m128i bits = _mm_set1_epi32(int32_t(color));
  for (; x + 4 <= count; x += 4) {
    __m128i* at = reinterpret_cast<__m128i*>(row + x);
    _mm_storeu_si128(at, _mm_or_si128(_mm_and_si128(_mm_loadu_si128(at), keep), bits));
  }
#endif
  for (; x < count; ++x) row[x] = (row[x] & ~kColorBits) | color;
}

void FillColorBitsRows(uint32_t* first, std::ptrdiff_t stride, int32_t count, int32_t rows, uint32_t color) {
  if (count <= 0 || rows <= 0) return;
#ifdef __x86_64__
  if (count >= 8 && HasWideIntegerSteps()) {
    FillColorBitsWideRows(first, stride, count, rows, color);
    return;
  }
#endif
  // Narrow columns (the sides of frames, one-pixel lines) a pixel at a time, no call for each row.
  if (count < 8) {
    for (int32_t y = 0; y < rows; ++y) {
      uint32_t* row = first + std::ptrdiff_t(y) * stride;
      for (int32_t x = 0; x < count; ++x) row[x] = (row[x] & ~kColorBits) | color;
    }
    return;
  }
  for (int32_t y = 0; y < rows; ++y) FillColorBits(first + std::ptrdiff_t(y) * stride, count, color);
}

void FillPixelsRows(uint32_t* first, std::ptrdiff_t stride, int32_t count, int32_t rows, uint32_t pixel) {
  if (count <= 0 || rows <= 0) return;
#ifdef __x86_64__
  if (count >= 8 && HasWideIntegerSteps()) {
    FillPixelsWideRows(first, stride, count, rows, pixel);
    return;
  }
#endif
  // Narrow columns (the sides of frames, one-pixel lines) a pixel at a time, no call for each row.
  for (int32_t y = 0; y < rows; ++y) {
    uint32_t* row = first + std::ptrdiff_t(y) * stride;
    for (int32_t x = 0; x < count; ++x) row[x] = pixel;
  }
}

void CopyColorBits(uint32_t* out, const uint32_t* in, int32_t count) {
  int32_t x = 0;
#ifdef __x86_64__
  if (count >= 8 && HasWideIntegerSteps()) x = CopyColorBitsWide(out, in, count);
#endif
  for (; x < count; ++x) out[x] = (out[x] & ~kColorBits) | (in[x] & kColorBits);
}

void CopyColorBitsRows(uint32_t* out, std::ptrdiff_t outStride, const uint32_t* in, std::ptrdiff_t inStride,
                       int32_t count, int32_t rows) {
  if (count <= 0 || rows <= 0) return;
#ifdef __x86_64__
  if (count >= 8 && HasWideIntegerSteps()) {
    CopyColorBitsWideRows(out, outStride, in, inStride, count, rows);
    return;
  }
#endif
  for (int32_t y = 0; y < rows; ++y, out += outStride, in += inStride)
    for (int32_t x = 0; x < count; ++x) out[x] = (out[x] & ~kColorBits) | (in[x] & kColorBits);
}

void CopyColorBitsFrom24(uint32_t* out, const uint8_t* in, int32_t count) {
#ifdef __x86_64__
  if (count >= 11 && HasWideIntegerSteps()) {
    CopyColorBitsFrom24Wide(out, in, count);
    return;
  }
#endif
  for (int32_t x = 0; x < count; ++x, in += 3)
    out[x] = (out[x] & ~kColorBits) | in[0] | (uint32_t(in[1]) << 8) | (uint32_t(in[2]) << 16);
}

uint32_t ApplyRop2(int32_t rop2, uint32_t pen, uint32_t dest) {
  if (rop2 == R2_COPYPEN) return (dest & ~kColorBits) | (pen & kColorBits);
  if (rop2 < R2_BLACK || rop2 > R2_WHITE) rop2 = R2_COPYPEN;
  const uint32_t inputs[2] = {pen, dest};
  return (dest & ~kColorBits) | TruthTable(uint32_t(rop2 - 1), inputs, 2);
}

uint32_t ApplyRop3(DWORD rop, uint32_t pattern, uint32_t source, uint32_t dest) {
  uint32_t table = (rop >> 16) & 0xFF;
  if (table == 0xCC) return (dest & ~kColorBits) | (source & kColorBits);
  const uint32_t inputs[3] = {pattern, source, dest};
  return (dest & ~kColorBits) | TruthTable(table, inputs, 3);
}

bool Rop3UsesSource(DWORD rop) {
  uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 2) & 0x33) != (t & 0x33);
}

bool Rop3UsesPattern(DWORD rop) {
  uint32_t t = (rop >> 16) & 0xFF;
  return ((t >> 4) & 0x0F) != (t & 0x0F);
}

int64_t LinePixels(POINT a, POINT b, const RECT& limit, const std::function<void(int64_t, POINT)>& visit) {
  int64_t dx = std::abs(int64_t(b.x) - a.x), dy = std::abs(int64_t(b.y) - a.y);
  int64_t sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  bool xMajor = dx >= dy;
  int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
  int64_t dir = xMajor ? sx : sy, start = xMajor ? a.x : a.y;
  int64_t low = xMajor ? limit.left : limit.top, high = xMajor ? limit.right : limit.bottom;
  // Steps whose major coordinate start + dir * i lies in [low, high).
  int64_t first = dir > 0 ? low - start : start - high + 1;
  int64_t last = dir > 0 ? high - start : start - low + 1;
  first = std::max<int64_t>(first, 0);
  last = std::min(last, major);
  // Minor steps taken before step i, as the incremental error term would take them: halves round
  // towards the positive major direction.
  const int64_t tie = dir > 0 ? 0 : 1;
  for (int64_t i = first; i < last; ++i) {
    // Level and upright lines (most of what is drawn) take no minor step: no division.
    const int64_t k = minor == 0 ? 0 : (2 * minor * i + major - tie) / (2 * major);
    int64_t x = xMajor ? a.x + sx * i : a.x + sx * k;
    int64_t y = xMajor ? a.y + sy * k : a.y + sy * i;
    visit(i, POINT{int32_t(x), int32_t(y)});
  }
  return major;
}

void FlattenBezier(PointF p0, PointF p1, PointF p2, PointF p3, std::vector<PointF>& out) {
  double length = std::hypot(p1.x - p0.x, p1.y - p0.y) + std::hypot(p2.x - p1.x, p2.y - p1.y) +
                  std::hypot(p3.x - p2.x, p3.y - p2.y);
  int steps = std::clamp(int(length / 3.0), 1, 200);
  for (int i = 1; i <= steps; ++i) {
    double t = double(i) / steps, u = 1 - t;
    double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
    out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
  }
}

PointF EllipsePoint(double left, double top, double right, double bottom, double angle) {
  double cx = (left + right) / 2, cy = (top + bottom) / 2;
  double rx = (right - left) / 2, ry = (bottom - top) / 2;
  return {cx + rx * std::cos(angle), cy - ry * std::sin(angle)};
}

double RadialAngle(double left, double top, double right, double bottom, double x, double y) {
  double cx = (left + right) / 2, cy = (top + bottom) / 2;
  double rx = std::max((right - left) / 2, 1e-9), ry = std::max((bottom - top) / 2, 1e-9);
  // The angle on the ellipse whose radial passes through (x, y).
  return std::atan2(-(y - cy) / ry, (x - cx) / rx);
}

void FlattenArc(double left, double top, double right, double bottom, double start, double sweep,
                std::vector<PointF>& out) {
  double radius = std::max(std::abs(right - left), std::abs(bottom - top)) / 2;
  // Steps small enough that a chord strays less than a quarter pixel from the curve.
  double step = radius > 0.5 ? 2 * std::acos(std::max(0.0, 1 - 0.25 / radius)) : kPi / 4;
  int steps = std::clamp(int(std::ceil(std::abs(sweep) / std::max(step, 1e-3))), 1, 2000);
  for (int i = 1; i <= steps; ++i)
    out.push_back(EllipsePoint(left, top, right, bottom, start + sweep * i / steps));
}

}  // namespace plat
