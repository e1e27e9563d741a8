#pragma once
// The cairo scaled font a text renderer makes for a font at a scale, for tests that hold the
// renderer's measuring and drawing to cairo's own. The caller destroys it.

#include <cairo.h>

#include "platform/FontObject.h"

namespace plat::testing {

inline cairo_scaled_font_t* RendererScaledFont(FontObject& font, double scale, bool antialias) {
  const double em = font.EmSize(scale);
  cairo_matrix_t size, identity;
  cairo_matrix_init_scale(&size, em, em);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_font_options_set_antialias(options, antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
  if (!antialias) cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
  cairo_scaled_font_t* scaled = cairo_scaled_font_create(font.Face(), &size, &identity, options);
  cairo_font_options_destroy(options);
  return scaled;
}

}  // namespace plat::testing
