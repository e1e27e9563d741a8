#include "tools/mkcatalog/PictureMaker.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <csetjmp>
#include <map>
#include <sstream>
#include <stdexcept>

#include "tools/mkcatalog/PictureDrawings.h"

namespace mkcatalog {
namespace {

using Rgb = std::array<int, 3>;

struct PictureRecipe {
  std::string kind;
  int width = 0, height = 0;
  Rgb colour{};
  std::vector<std::string> texts;  // the quoted texts after the colour, for the drawn kinds that show text
};

int ParseSide(const std::string& text) {
  size_t used = 0;
  int value = 0;
  try {
    value = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || value < 1 || value > 1024)
    throw std::invalid_argument("bad picture size '" + text + "'");
  return value;
}

Rgb ParseColour(const std::string& text) {
  if (text.size() != 7 || text[0] != '#')
    throw std::invalid_argument("bad colour '" + text + "', want #rrggbb");
  Rgb rgb{};
  for (int i = 0; i < 3; ++i) {
    const std::string part = text.substr(1 + 2 * i, 2);
    size_t used = 0;
    try {
      rgb[i] = std::stoi(part, &used, 16);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != 2) throw std::invalid_argument("bad colour '" + text + "', want #rrggbb");
  }
  return rgb;
}

// The quoted texts of `rest`, each in double quotes, separated by blanks.
std::vector<std::string> QuotedTexts(const std::string& rest) {
  std::vector<std::string> texts;
  size_t i = 0;
  while (true) {
    i = rest.find_first_not_of(" \t", i);
    if (i == std::string::npos) return texts;
    if (rest[i] != '"') throw std::invalid_argument("a picture's texts stand in double quotes");
    const size_t end = rest.find('"', i + 1);
    if (end == std::string::npos) throw std::invalid_argument("a picture's text lacks its closing quote");
    texts.push_back(rest.substr(i + 1, end - i - 1));
    i = end + 1;
  }
}

PictureRecipe Parse(const std::string& description) {
  std::istringstream in(description);
  std::string kind, size, colour, extra;
  if (!(in >> kind >> size >> colour))
    throw std::invalid_argument("a picture is \"<kind> <size> <#rrggbb>\"");
  std::string rest;
  std::getline(in, rest);
  const std::vector<std::string> texts = QuotedTexts(rest);
  if (!texts.empty() && TextsWanted(kind) == 0)
    throw std::invalid_argument(
        "a picture is \"<kind> <size> <#rrggbb>\"; only glyph, logo and about take texts");
  PictureRecipe recipe;
  recipe.kind = kind;
  const size_t x = size.find('x');
  recipe.width = ParseSide(size.substr(0, x));
  recipe.height = x == std::string::npos ? recipe.width : ParseSide(size.substr(x + 1));
  recipe.colour = ParseColour(colour);
  recipe.texts = texts;
  static const char* const kKinds[] = {"solid", "grain", "checker", "frame", "swatch", "plus",
                                       "minus", "turn",  "back",    "home",  "lines"};
  if (std::find(std::begin(kKinds), std::end(kKinds), kind) == std::end(kKinds) && !IsDrawnKind(kind))
    throw std::invalid_argument(
        "unknown picture kind '" + kind +
        "' (solid, grain, checker, frame, swatch, plus, minus, turn, back, home, lines, or a drawn "
        "kind of PictureDrawings.h)");
  return recipe;
}

Rgb Scaled(const Rgb& c, double factor) {
  Rgb out{};
  for (int i = 0; i < 3; ++i) out[i] = std::clamp(int(std::lround(c[i] * factor)), 0, 255);
  return out;
}

Rgb Lighter(const Rgb& c) {
  Rgb out{};
  for (int i = 0; i < 3; ++i) out[i] = c[i] + (255 - c[i]) / 2;
  return out;
}

// Whether (x, y) lies on the symbol of a button picture. Offsets from the centre are doubled so that
// pictures of even and odd sizes stay symmetric in integers.
bool OnSymbol(const PictureRecipe& s, int x, int y) {
  const int X = 2 * x - (s.width - 1), Y = 2 * y - (s.height - 1);
  const int side = std::min(s.width, s.height);
  const int reach = 2 * (side * 3 / 10);        // arm length from the centre
  const int half = 2 * std::max(1, side / 12);  // half a stroke's width
  if (s.kind == "plus")
    return (std::abs(X) <= half && std::abs(Y) <= reach) || (std::abs(Y) <= half && std::abs(X) <= reach);
  if (s.kind == "minus") return std::abs(Y) <= half && std::abs(X) <= reach;
  if (s.kind == "back") {
    // The turn seen in a mirror: the arrow head points counterclockwise.
    PictureRecipe turn = s;
    turn.kind = "turn";
    return OnSymbol(turn, s.width - 1 - x, y);
  }
  if (s.kind == "turn") {
    // Three quarters of a ring, open at the top right, with an arrow head pointing clockwise.
    const int r2 = X * X + Y * Y;
    if (r2 <= reach * reach && r2 >= (reach - half) * (reach - half) && !(X > 0 && Y < 0)) return true;
    const int band = -(reach - half / 2), head = half + 2;
    return X >= 0 && X <= 2 * head && std::abs(Y - band) <= 2 * head - X;
  }
  if (s.kind == "home") {
    if (Y >= -reach && Y <= 0) return std::abs(X) <= Y + reach;  // the roof
    if (Y > 0 && Y <= reach)
      return std::abs(X) <= reach * 2 / 3 && !(std::abs(X) <= half / 2 && Y > reach / 3);  // walls, door
    return false;
  }
  if (s.kind == "lines") {
    if (std::abs(X) > reach) return false;
    // An even step keeps the three lines equally thick.
    const int step = (reach * 2 / 3 + 1) & ~1;
    for (int k = -1; k <= 1; ++k)
      if (std::abs(Y - k * step) <= half / 2) return true;
  }
  return false;
}

Rgb PixelAt(const PictureRecipe& s, int x, int y) {
  if (s.kind == "grain") {
    // Integer arithmetic only: the same bytes on every machine.
    const int wave = (x * 7 + (y % 16 < 8 ? y % 8 : 8 - y % 8) * 3) % 11;
    return Scaled(s.colour, 0.8 + 0.04 * wave);
  }
  if (s.kind == "checker") return ((x / 8 + y / 8) % 2 == 0) ? s.colour : Lighter(s.colour);
  if (s.kind == "swatch") {
    const bool border = x == 0 || y == 0 || x == s.width - 1 || y == s.height - 1;
    return border ? Rgb{128, 128, 128} : s.colour;
  }
  if (s.kind != "solid") {
    const bool border = x == 0 || y == 0 || x == s.width - 1 || y == s.height - 1;
    return border || OnSymbol(s, x, y) ? s.colour : Lighter(s.colour);
  }
  return s.colour;
}

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// The picture's pixels row by row, each from `pixelAt(x, y)`.
template <typename PixelOf>
std::vector<Rgb> PixelsOf(const PictureRecipe& s, PixelOf pixelAt) {
  std::vector<Rgb> pixels;
  pixels.reserve(size_t(s.width) * size_t(s.height));
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) pixels.push_back(pixelAt(x, y));
  return pixels;
}

std::vector<Rgb> Pixels(const PictureRecipe& s) {
  if (IsDrawnKind(s.kind)) return DrawPicture(DrawnRecipe{s.kind, s.width, s.height, s.colour, s.texts});
  return PixelsOf(s, [&](int x, int y) { return PixelAt(s, x, y); });
}

std::vector<uint8_t> Encode(const PictureRecipe& s, const std::vector<Rgb>& pixels) {
  // Most pictures have a few dozen colours: the rows hold palette indices, a third of the bytes that
  // red, green and blue would take, so a third of the data to inflate at the program's start. A
  // drawing with more colours (antialiased edges over several fills) is stored as red, green, blue.
  std::vector<Rgb> colours;
  std::map<Rgb, uint8_t> index;
  bool paletted = true;
  for (const Rgb& c : pixels) {
    if (index.count(c) != 0) continue;
    if (colours.size() == 256) {
      paletted = false;
      break;
    }
    index[c] = uint8_t(colours.size());
    colours.push_back(c);
  }
  const size_t rowBytes = size_t(s.width) * (paletted ? 1 : 3);
  std::vector<uint8_t> rows;
  rows.reserve(rowBytes * size_t(s.height));
  for (const Rgb& c : pixels) {
    if (paletted) {
      rows.push_back(index[c]);
    } else {
      for (int k = 0; k < 3; ++k) rows.push_back(uint8_t(c[k]));
    }
  }
  std::vector<png_color> palette;
  for (const Rgb& c : colours) palette.push_back({png_byte(c[0]), png_byte(c[1]), png_byte(c[2])});
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("the PNG encoder failed");
  }
  png_set_write_fn(png, &out, AppendBytes, NoFlush);
  png_set_IHDR(png, info, png_uint_32(s.width), png_uint_32(s.height), 8,
               paletted ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (paletted) png_set_PLTE(png, info, palette.data(), int(palette.size()));
  // Rows stored unfiltered: every picture of the program's start is decoded before its first frame,
  // and undoing a filter costs the decoder more than the few extra bytes cost to read. The pictures
  // are flat or repeat row by row, so deflate still finds the repeats.
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  // Deflated with the greedy matching of level 3 rather than the lazy matching of the default 6: the
  // start's largest picture (the 360 by 220 splash) then inflates in about half the time, for some
  // 13 % more bytes.
  png_set_compression_level(png, 3);
  // With the fixed codes of deflate: the program keeps its inflater's tables for them from picture to
  // picture, where each picture's own codes would have their tables built for it alone, which costs
  // more than inflating one of the small button faces. The pictures grow by a few per cent.
  png_set_compression_strategy(png, Z_FIXED);
  // The image data in one chunk rather than in chunks of 8 kB: the program then inflates it where it
  // lies instead of joining the chunks into a copy first. Room for the whole rows, and what deflate
  // adds to data it cannot shrink.
  const size_t rawBytes = (rowBytes + 1) * size_t(s.height);
  png_set_compression_buffer_size(png, rawBytes + rawBytes / 100 + 64);
  png_write_info(png, info);
  for (int y = 0; y < s.height; ++y) png_write_row(png, &rows[size_t(y) * rowBytes]);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace

std::vector<uint8_t> MakePicture(const std::string& description) {
  const PictureRecipe recipe = Parse(description);
  return Encode(recipe, Pixels(recipe));
}

std::vector<uint8_t> MakePlanPicture(int side, const std::string& colour,
                                     const std::vector<std::array<float, 4>>& lines) {
  if (side < 16 || side > 1024) throw std::invalid_argument("a plan picture is 16 to 1024 pixels a side");
  if (lines.empty()) throw std::invalid_argument("a plan picture needs a line");
  PictureRecipe recipe;
  recipe.kind = "plan";
  recipe.width = recipe.height = side;
  recipe.colour = ParseColour(colour);
  float low[2] = {lines[0][0], lines[0][1]}, high[2] = {low[0], low[1]};
  for (const auto& l : lines) {
    for (int end = 0; end < 2; ++end) {
      for (int axis = 0; axis < 2; ++axis) {
        low[axis] = std::min(low[axis], l[size_t(2 * end + axis)]);
        high[axis] = std::max(high[axis], l[size_t(2 * end + axis)]);
      }
    }
  }
  constexpr float kMargin = 4.0f, kHalfWidth = 1.5f;
  const float span = std::max({high[0] - low[0], high[1] - low[1], 1.0f});
  const float scale = (float(side) - 1.0f - 2.0f * kMargin) / span;
  // Centred: the shorter extent gets the spare pixels on both sides.
  const float offset[2] = {
      kMargin + ((float(side) - 1.0f - 2.0f * kMargin) - (high[0] - low[0]) * scale) / 2.0f,
      kMargin + ((float(side) - 1.0f - 2.0f * kMargin) - (high[1] - low[1]) * scale) / 2.0f};
  std::vector<std::array<float, 4>> pixels;
  for (const auto& l : lines)
    pixels.push_back({offset[0] + (l[0] - low[0]) * scale, offset[1] + (l[1] - low[1]) * scale,
                      offset[0] + (l[2] - low[0]) * scale, offset[1] + (l[3] - low[1]) * scale});
  const Rgb field = Lighter(recipe.colour);
  return Encode(recipe, PixelsOf(recipe, [&](int x, int y) {
                  for (const auto& l : pixels) {
                    const float dx = l[2] - l[0], dy = l[3] - l[1], length2 = dx * dx + dy * dy;
                    float t =
                        length2 > 0.0f ? ((float(x) - l[0]) * dx + (float(y) - l[1]) * dy) / length2 : 0.0f;
                    t = std::clamp(t, 0.0f, 1.0f);
                    const float ex = l[0] + t * dx - float(x), ey = l[1] + t * dy - float(y);
                    if (ex * ex + ey * ey <= kHalfWidth * kHalfWidth) return recipe.colour;
                  }
                  return field;
                }));
}

}  // namespace mkcatalog
