#pragma once
// A font behind an HFONT: the logical description as given, resolved on first use to an installed
// face through fontconfig ("MS Sans Serif" to a sans face, "Arial" to Liberation Sans).
// Heights follow the platform's rule: negative = character (em) height, positive = cell height
// (ascent + descent), 0 = a default of 13 pixel cells. Escapement is in tenths of a degree,
// counter-clockwise on the screen.

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GdiObject.h"
#include "platform/GlyphAdvances.h"

typedef struct _cairo_font_face cairo_font_face_t;

namespace plat {

class FontObject : public GdiObject {
 public:
  explicit FontObject(const LOGFONTA& font);
  ~FontObject() override;

  const LOGFONTA& Log() const { return log_; }
  // The cairo face of the installed font chosen for this description (owned by the font).
  cairo_font_face_t* Face();
  // The family name fontconfig chose.
  const std::string& Family();
  // The em size in device pixels at the given logical-to-device scale.
  double EmSize(double scale);
  // Escapement in radians, counter-clockwise on the screen.
  double Angle() const;
  // The advance of `text` in device pixels with `scaled`, this face's scaled font at em size `em`
  // and the given antialiasing (which picks the hinting), as cairo measures it; the characters'
  // advances are kept per em size and antialiasing until the desktop's reset. Any thread.
  double TextAdvance(std::u16string_view text, cairo_scaled_font_t* scaled, double em, bool antialias);

 private:
  void Resolve();

  struct KeptAdvances {
    double em;
    bool antialias;
    std::unique_ptr<GlyphAdvances> table;
  };

  LOGFONTA log_;
  cairo_font_face_t* face_ = nullptr;
  std::string family_;
  double cellPerEm_ = 0;  // (ascent + descent) of the face at an em size of 1
  // Guards the kept advances: stock fonts are measured by every thread that draws text.
  std::mutex advancesLock_;
  std::vector<KeptAdvances> advances_;
  uint32_t advancesGeneration_ = 0;  // the reset count the kept advances were measured after
};

}  // namespace plat
