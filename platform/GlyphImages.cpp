#include "platform/GlyphImages.h"

#include <cairo.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

#include "platform/TextRenderer.h"

namespace plat {

namespace {

// Blank pixels around each glyph's ink box in the drawing that makes the images: antialiasing may
// ink a pixel the box only touches, and a glyph that inks the outermost of them may reach further,
// so it is not kept (see Make).
constexpr int32_t kPad = 3;
// A glyph larger than this (pixels, either way) is left to cairo.
constexpr double kLargest = 2048;
// An advance this close to a whole pixel is that pixel: cairo's hinted advances carry rounding
// errors of a few units in the last place, far too small to move a glyph's rounded origin.
constexpr double kWhole = 1e-6;

// cairo's conversion of a device coordinate to 24.8 fixed point (to nearest, ties to even).
int32_t Fixed(double v) { return int32_t(std::nearbyint(v * 256)); }

// pixman's a * b / 255 for 8-bit values, rounded as its compositing rounds.
inline uint32_t Multiply(uint32_t a, uint32_t b) {
  const uint32_t t = a * b + 0x80;
  return (t + (t >> 8)) >> 8;
}

// The top bit of every byte of `v` that is not 0 (no carry crosses a byte: 0x7F + 0x7F < 0x100).
inline uint64_t NonZeroBytes(uint64_t v) {
  constexpr uint64_t kLow = 0x7F7F7F7F7F7F7F7Full;
  return (((v & kLow) + kLow) | v) & ~kLow;
}

// One image byte `s` laid over mask byte `d`: added (saturating), or the OVER operator.
inline uint8_t Laid(uint32_t s, uint32_t d, bool add) {
  return uint8_t(add ? std::min<uint32_t>(255, s + d) : s + Multiply(d, 255 - s));
}

// One row of `n` image bytes laid over `n` mask bytes as GlyphImages::Copy lays them; `room`: bytes
// the mask row and the image row both hold from there on (at least n), so that eight may be read and
// written at once where n ends sooner (an image's padding is 0, which leaves a mask byte as it was).
inline void CopyRow(const uint8_t* from, uint8_t* to, int64_t n, int64_t room, bool add) {
  // Glyphs touch only at their edges: where the image or the mask is 0, laying one over the other
  // gives the other, so eight bytes are merged at once and only the bytes where both hold coverage
  // are worked out one by one. (Byte k of a word read from memory is its bits 8k to 8k + 7 on this
  // little-endian machine.)
  static_assert(std::endian::native == std::endian::little);
  int64_t i = 0;
  for (; i < n && i + 8 <= room; i += 8) {
    uint64_t s, d;
    std::memcpy(&s, from + i, sizeof s);
    if (s == 0) continue;
    std::memcpy(&d, to + i, sizeof d);
    uint64_t merged = s | d;
    for (uint64_t both = NonZeroBytes(s) & NonZeroBytes(d); both != 0; both &= both - 1) {
      const int shift = std::countr_zero(both) - 7;  // the byte's lowest bit
      const uint64_t laid = Laid(uint32_t(s >> shift) & 0xFF, uint32_t(d >> shift) & 0xFF, add);
      merged = (merged & ~(uint64_t(0xFF) << shift)) | (laid << shift);
    }
    std::memcpy(to + i, &merged, sizeof merged);
  }
  for (; i < n; ++i)
    if (from[i] != 0) to[i] = Laid(from[i], to[i], add);
}

// Guards every table: text is drawn from any thread. It holds no state, so a reset has nothing to
// clear; the tables live with their fonts.
std::mutex gTablesLock;
const cairo_user_data_key_t kTableKey{};

void DestroyTable(void* table) { delete static_cast<GlyphImages*>(table); }

}  // namespace

GlyphImages::GlyphImages() = default;
GlyphImages::~GlyphImages() = default;

void GlyphImages::Inked::Add(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
  if (x0 >= x1 || y0 >= y1) return;
  if (left >= right) {
    *this = {x0, y0, x1, y1};
    return;
  }
  left = std::min(left, x0);
  top = std::min(top, y0);
  right = std::max(right, x1);
  bottom = std::max(bottom, y1);
}

bool GlyphImages::DrawWith(cairo_scaled_font_t* scaled, std::u16string_view text, double em, const Mask& mask,
                           int32_t penX, int32_t penY, Inked* inked) {
  if (scaled == nullptr || cairo_scaled_font_status(scaled) != CAIRO_STATUS_SUCCESS) return false;
  std::lock_guard lock(gTablesLock);
  auto* table = static_cast<GlyphImages*>(cairo_scaled_font_get_user_data(scaled, &kTableKey));
  if (table == nullptr) {
    table = new GlyphImages();
    if (cairo_scaled_font_set_user_data(scaled, &kTableKey, table, &DestroyTable) != CAIRO_STATUS_SUCCESS) {
      delete table;
      return false;
    }
  }
  return table->Draw(text, scaled, em, mask, penX, penY, inked);
}

void GlyphImages::Characters(std::u16string_view text, std::vector<char32_t>& out) {
  out.clear();
  for (size_t i = 0; i < text.size() && text[i] != 0;) out.push_back(NextCodePoint(text, i));
}

const GlyphImages::Glyph* GlyphImages::Find(char32_t c) const {
  if (c < low_.size()) return low_[c].get();
  auto found = other_.find(c);
  return found != other_.end() ? found->second.get() : nullptr;
}

void GlyphImages::Make(const std::vector<char32_t>& missing, cairo_scaled_font_t* scaled) {
  // Each glyph gets a slot of its own, side by side on one baseline, its ink box plus the pad on
  // every side; the slots span the drawing's whole height. A drawing holds at most kBatchWidth
  // pixels of slots (cairo's surfaces are at most 32767 wide); more glyphs take more drawings.
  struct Slot {
    Glyph* glyph;
    cairo_glyph_t at;
    int32_t left;  // the slot's first column
    int32_t width;
  };
  constexpr int32_t kBatchWidth = 4096;
  std::vector<Slot> slots;
  int32_t right = 0;
  double above = 0, below = 0;  // the tallest ink over and under the baseline, whole pixels
  auto draw = [&] {
    if (!slots.empty()) DrawSlots(slots, right, above, below, scaled);
    slots.clear();
    right = 0;
    above = below = 0;
  };
  for (char32_t c : missing) {
    auto made = std::make_unique<Glyph>();
    std::string utf8;
    AppendUtf8(utf8, c);
    cairo_glyph_t* glyphs = nullptr;
    int count = 0;
    if (cairo_scaled_font_text_to_glyphs(scaled, 0, 0, utf8.data(), int(utf8.size()), &glyphs, &count,
                                         nullptr, nullptr, nullptr) == CAIRO_STATUS_SUCCESS &&
        count == 1) {
      cairo_text_extents_t e;
      cairo_scaled_font_glyph_extents(scaled, glyphs, 1, &e);
      const bool sane = std::isfinite(e.x_bearing) && std::isfinite(e.y_bearing) && e.width >= 0 &&
                        e.width < kLargest && e.height >= 0 && e.height < kLargest &&
                        std::fabs(e.x_bearing) < kLargest && std::fabs(e.y_bearing) < kLargest &&
                        std::fabs(e.x_advance) < kLargest;
      const double whole = std::round(e.x_advance);
      if (sane && whole >= 0 && std::fabs(e.x_advance - whole) < kWhole && e.y_advance == 0) {
        made->advance = int32_t(whole);
        made->boxLeft = Fixed(e.x_bearing);
        made->boxTop = Fixed(e.y_bearing);
        made->boxRight = Fixed(e.x_bearing + e.width);
        made->boxBottom = Fixed(e.y_bearing + e.height);
        const int32_t inkLeft = int32_t(std::floor(e.x_bearing));
        const int32_t inkRight = int32_t(std::ceil(e.x_bearing + e.width));
        const int32_t width = inkRight - inkLeft + 2 * kPad;
        if (right + width > kBatchWidth) draw();
        above = std::max(above, -std::floor(e.y_bearing));
        below = std::max(below, std::ceil(e.y_bearing + e.height));
        slots.push_back({made.get(), {glyphs[0].index, double(right + kPad - inkLeft), 0}, right, width});
        right += width;
      }
    }
    cairo_glyph_free(glyphs);
    if (c < low_.size())
      low_[c] = std::move(made);
    else
      other_[c] = std::move(made);
  }
  draw();
}

template <class Slots>
void GlyphImages::DrawSlots(Slots& slots, int32_t right, double above, double below,
                            cairo_scaled_font_t* scaled) {
  const int32_t baseline = int32_t(above) + kPad;
  const int32_t height = baseline + int32_t(below) + kPad;
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8, right, height);
  if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
    cairo_surface_destroy(surface);
    return;  // the glyphs stay undrawable: cairo draws them
  }
  std::vector<cairo_glyph_t> placed;
  for (auto& slot : slots) {
    slot.at.y = baseline;
    placed.push_back(slot.at);
  }
  cairo_t* cr = cairo_create(surface);
  cairo_set_scaled_font(cr, scaled);
  cairo_show_glyphs(cr, placed.data(), int(placed.size()));
  cairo_destroy(cr);
  cairo_surface_flush(surface);

  const uint8_t* data = cairo_image_surface_get_data(surface);
  const int32_t stride = cairo_image_surface_get_stride(surface);
  for (const auto& slot : slots) {
    int32_t x0 = slot.left + slot.width, x1 = slot.left, y0 = height, y1 = 0;
    for (int32_t y = 0; y < height; ++y) {
      const uint8_t* row = data + size_t(y) * size_t(stride);
      for (int32_t x = slot.left; x < slot.left + slot.width; ++x) {
        if (row[x] == 0) continue;
        x0 = std::min(x0, x);
        x1 = std::max(x1, x + 1);
        y0 = std::min(y0, y);
        y1 = std::max(y1, y + 1);
      }
    }
    Glyph& glyph = *slot.glyph;
    const bool measuredInk = glyph.boxLeft != glyph.boxRight && glyph.boxTop != glyph.boxBottom;
    if (x0 >= x1) {
      glyph.drawable = !measuredInk;  // no ink (a space)
      continue;
    }
    // Ink where cairo measures none: its box would not be the one cairo compares.
    if (!measuredInk) continue;
    // Ink on the slot's edge may have run on past it: such a glyph is left to cairo.
    if (x0 == slot.left || x1 == slot.left + slot.width || y0 == 0 || y1 == height) continue;
    const int32_t originX = int32_t(slot.at.x);
    glyph.left = x0 - originX;
    glyph.top = y0 - baseline;
    glyph.width = x1 - x0;
    glyph.height = y1 - y0;
    glyph.stride = (glyph.width + 7) & ~7;
    glyph.coverage.assign(size_t(glyph.stride) * size_t(glyph.height), 0);
    for (int32_t y = y0; y < y1; ++y)
      std::copy_n(data + size_t(y) * size_t(stride) + size_t(x0), glyph.width,
                  glyph.coverage.data() + size_t(y - y0) * size_t(glyph.stride));
    glyph.drawable = true;
  }
  cairo_surface_destroy(surface);
}

void GlyphImages::Copy(const Glyph& glyph, const Mask& mask, int32_t x, int32_t y, bool add, Inked& inked) {
  const int64_t left = int64_t(x) + glyph.left, top = int64_t(y) + glyph.top;
  const int64_t x0 = std::max<int64_t>(0, left), x1 = std::min<int64_t>(mask.width, left + glyph.width);
  const int64_t y0 = std::max<int64_t>(0, top), y1 = std::min<int64_t>(mask.height, top + glyph.height);
  if (x0 >= x1 || y0 >= y1) return;
  inked.Add(int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1));
  const int64_t room = std::min<int64_t>(glyph.stride - (x0 - left), mask.width - x0);
  for (int64_t py = y0; py < y1; ++py) {
    const uint8_t* from = glyph.coverage.data() + size_t(py - top) * size_t(glyph.stride) + size_t(x0 - left);
    uint8_t* to = mask.bits + size_t(py) * size_t(mask.stride) + size_t(x0);
    CopyRow(from, to, x1 - x0, room, add);
  }
}

bool GlyphImages::Draw(std::u16string_view text, cairo_scaled_font_t* scaled, double em, const Mask& mask,
                       int32_t penX, int32_t penY, Inked* inked) {
  Characters(text, characters_);
  std::vector<char32_t> missing;
  for (char32_t c : characters_)
    if (Find(c) == nullptr) missing.push_back(c);
  if (!missing.empty()) {
    std::sort(missing.begin(), missing.end());
    missing.erase(std::unique(missing.begin(), missing.end()), missing.end());
    Make(missing, scaled);
  }
  glyphs_.clear();
  for (char32_t c : characters_) {
    const Glyph* glyph = Find(c);
    if (glyph == nullptr || !glyph->drawable) return false;
    glyphs_.push_back(glyph);
  }
  // cairo leaves out glyphs whose origin lies more than ten ems off the mask, then adds the
  // coverages when a glyph's ink box reaches into the box of those before it (boxes in 1/256
  // pixels; a glyph without ink has an empty box that reaches nowhere but still widens the box).
  const double reach = 10 * em;
  const bool rowShown = penY >= -reach && penY <= mask.height + reach;
  int64_t x = penX;
  int32_t kept = 0;
  bool overlap = false;
  int64_t boxLeft = std::numeric_limits<int64_t>::max(), boxTop = std::numeric_limits<int64_t>::max(),
          boxRight = std::numeric_limits<int64_t>::min(), boxBottom = std::numeric_limits<int64_t>::min();
  for (const Glyph* glyph : glyphs_) {
    if (rowShown && x >= -reach && x <= mask.width + reach) {
      const int64_t ox = x * 256, oy = int64_t(penY) * 256;
      const int64_t l = ox + glyph->boxLeft, r = ox + glyph->boxRight;
      const int64_t t = oy + glyph->boxTop, b = oy + glyph->boxBottom;
      if (!overlap && l != r && t != b) overlap = r > boxLeft && l < boxRight && b > boxTop && t < boxBottom;
      boxLeft = std::min(boxLeft, l);
      boxRight = std::max(boxRight, r);
      boxTop = std::min(boxTop, t);
      boxBottom = std::max(boxBottom, b);
      ++kept;
    }
    x += glyph->advance;
  }
  const bool add = overlap && kept > 1;
  Inked written;
  x = penX;
  for (const Glyph* glyph : glyphs_) {
    if (rowShown && x >= -reach && x <= mask.width + reach)
      Copy(*glyph, mask, int32_t(x), penY, add, written);
    x += glyph->advance;
  }
  if (inked) *inked = written;
  return true;
}

}  // namespace plat
