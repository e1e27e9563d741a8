#include "platform/FontObject.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <atomic>
#include <mutex>
#include <string_view>

#include "platform/ResetList.h"

namespace plat {

namespace {

constexpr double kPi = 3.14159265358979323846;
// A cell height for a height of 0, in pixels.
constexpr double kDefaultCell = 13.0;

// Face names of the original platform mapped to installed faces; anything else goes to fontconfig
// as it is, which falls back to a default sans face.
std::string InstalledFamily(std::string_view face) {
  auto is = [&](std::string_view name) {
    if (name.size() != face.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
      if (std::tolower(uint8_t(name[i])) != std::tolower(uint8_t(face[i]))) return false;
    return true;
  };
  if (face.empty() || is("MS Sans Serif") || is("MS Shell Dlg") || is("System") || is("Microsoft Sans Serif"))
    return "DejaVu Sans";
  if (is("Arial")) return "Liberation Sans";
  if (is("Times New Roman")) return "Liberation Serif";
  if (is("Courier New")) return "Liberation Mono";
  return std::string(face);
}

std::mutex gFontconfigLock;

// Counts the desktop's resets (written on the user-interface thread, read by any thread that measures
// text): fonts that outlive a reset, the stock fonts, then measure afresh as a new process would.
std::atomic<uint32_t> gResets{0};
[[maybe_unused]] const bool kReset = ResetList::Add("font advance tables", [] { ++gResets; });

}  // namespace

FontObject::FontObject(const LOGFONTA& font) : GdiObject(OBJ_FONT), log_(font) {
  log_.lfFaceName[LF_FACESIZE - 1] = 0;
}

FontObject::~FontObject() {
  if (face_) cairo_font_face_destroy(face_);
}

void FontObject::Resolve() {
  if (face_) return;
  std::string family =
      InstalledFamily(std::string_view(log_.lfFaceName, strnlen(log_.lfFaceName, LF_FACESIZE)));
  FcPattern* match = nullptr;
  {
    std::lock_guard lock(gFontconfigLock);
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, log_.lfWeight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, log_.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    FcChar8* name = nullptr;
    if (match && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch)
      family_ = reinterpret_cast<const char*>(name);
  }
  face_ = match ? cairo_ft_font_face_create_for_pattern(match)
                : cairo_toy_font_face_create("sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  if (match) FcPatternDestroy(match);
  // The cell height per em, measured unhinted at a large size for precision.
  cairo_matrix_t size, identity;
  cairo_matrix_init_scale(&size, 1000, 1000);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(face_, &size, &identity, options);
  cairo_font_extents_t extents;
  cairo_scaled_font_extents(scaled, &extents);
  cellPerEm_ = (extents.ascent + extents.descent) / 1000.0;
  if (!(cellPerEm_ > 0.1)) cellPerEm_ = 1.2;
  cairo_scaled_font_destroy(scaled);
  cairo_font_options_destroy(options);
}

cairo_font_face_t* FontObject::Face() {
  Resolve();
  return face_;
}

const std::string& FontObject::Family() {
  Resolve();
  return family_;
}

double FontObject::EmSize(double scale) {
  Resolve();
  double h = log_.lfHeight;
  double em = h < 0 ? -h : (h > 0 ? h / cellPerEm_ : kDefaultCell / cellPerEm_);
  return std::max(1.0, em * scale);
}

double FontObject::TextAdvance(std::u16string_view text, cairo_scaled_font_t* scaled, double em,
                               bool antialias) {
  std::lock_guard lock(advancesLock_);
  const uint32_t resets = gResets;
  if (resets != advancesGeneration_) {
    advances_.clear();
    advancesGeneration_ = resets;
  }
  for (KeptAdvances& kept : advances_)
    if (kept.em == em && kept.antialias == antialias) return kept.table->Of(text, scaled);
  advances_.push_back({em, antialias, std::make_unique<GlyphAdvances>()});
  return advances_.back().table->Of(text, scaled);
}

double FontObject::Angle() const { return log_.lfEscapement / 10.0 * kPi / 180.0; }

}  // namespace plat
