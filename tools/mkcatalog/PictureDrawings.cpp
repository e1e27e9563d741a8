#include "tools/mkcatalog/PictureDrawings.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <stdexcept>

namespace mkcatalog {
namespace {

constexpr double kPi = 3.14159265358979323846;
const char* const kFace = "DejaVu Sans";

// One drawing in progress: the cairo context over an RGB image of the picture's size.
struct Pen {
  cairo_t* cr;
  double w, h;
  PictureRgb colour;
};

void Use(cairo_t* cr, const PictureRgb& c) {
  cairo_set_source_rgb(cr, c[0] / 255.0, c[1] / 255.0, c[2] / 255.0);
}

PictureRgb Mix(const PictureRgb& c, const PictureRgb& with, double share) {
  PictureRgb out{};
  for (int i = 0; i < 3; ++i)
    out[i] = std::clamp(int(std::lround(c[i] * (1 - share) + with[i] * share)), 0, 255);
  return out;
}
const PictureRgb kWhite{255, 255, 255}, kBlack{0, 0, 0};
const PictureRgb kHandle{90, 90, 92}, kPlinth{60, 60, 62};
// The demo catalogue's colours where a front shows them in 3D: graphite (the plinths, a hob's and an
// oven's dark glass, a dishwasher's control strip), oak (a carcase) and slate (a worktop).
const PictureRgb kGraphite{65, 67, 71}, kOak{194, 154, 102}, kSlate{90, 96, 102};
// The panes of windows and the glazed door, and a hob's rings: the demo catalogue's "Glass" colour
// (percent 72, 84, 88), so that the palette shows the tone the 3D view gives them.
const PictureRgb kGlass{184, 214, 224};

void Rect(cairo_t* cr, double x0, double y0, double x1, double y1) {
  cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
}

// ---- Button faces: drawn in a unit square scaled to the face, the stroke a twelfth of the side.

void Poly(cairo_t* cr, std::initializer_list<std::pair<double, double>> points, bool close) {
  bool first = true;
  for (const auto& [x, y] : points) {
    if (first)
      cairo_move_to(cr, x, y);
    else
      cairo_line_to(cr, x, y);
    first = false;
  }
  if (close) cairo_close_path(cr);
}

void Arrow(cairo_t* cr, double turn) {
  cairo_save(cr);
  cairo_translate(cr, 0.5, 0.5);
  cairo_rotate(cr, turn);
  cairo_translate(cr, -0.5, -0.5);
  Poly(cr, {{0.5, 0.16}, {0.8, 0.5}, {0.6, 0.5}, {0.6, 0.84}, {0.4, 0.84}, {0.4, 0.5}, {0.2, 0.5}}, true);
  cairo_fill(cr);
  cairo_restore(cr);
}

void Doors(cairo_t* cr, double stroke, bool dashed) {
  // Thinner than the other symbols: two doors side by side leave little room between the lines.
  stroke *= 0.7;
  cairo_set_line_width(cr, stroke);
  if (dashed) {
    const double dash[] = {2 * stroke, 1.5 * stroke};
    cairo_set_dash(cr, dash, 2, 0);
  }
  Rect(cr, 0.18, 0.2, 0.48, 0.8);
  Rect(cr, 0.52, 0.2, 0.82, 0.8);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
  if (!dashed) {
    Poly(cr, {{0.43, 0.44}, {0.43, 0.58}}, false);
    Poly(cr, {{0.57, 0.44}, {0.57, 0.58}}, false);
    cairo_stroke(cr);
  }
}

using Symbol = std::function<void(cairo_t*, double stroke)>;

const std::map<std::string, Symbol>& Symbols() {
  static const std::map<std::string, Symbol> symbols = {
      {"room",
       [](cairo_t* cr, double) {
         Poly(cr, {{0.52, 0.8}, {0.18, 0.8}, {0.18, 0.2}, {0.82, 0.2}, {0.82, 0.8}, {0.76, 0.8}}, false);
         cairo_stroke(cr);
         cairo_save(cr);
         cairo_set_line_width(cr, cairo_get_line_width(cr) / 2);
         Poly(cr, {{0.76, 0.8}, {0.76, 0.56}}, false);
         cairo_stroke(cr);
         cairo_arc(cr, 0.76, 0.8, 0.24, kPi, 1.5 * kPi);
         cairo_stroke(cr);
         cairo_restore(cr);
       }},
      {"cube",
       [](cairo_t* cr, double) {
         Poly(cr, {{0.5, 0.14}, {0.84, 0.32}, {0.5, 0.5}, {0.16, 0.32}}, true);
         cairo_stroke_preserve(cr);
         cairo_save(cr);
         cairo_pattern_t* source = cairo_get_source(cr);
         double r, g, b, a;
         cairo_pattern_get_rgba(source, &r, &g, &b, &a);
         cairo_set_source_rgba(cr, r, g, b, 0.4);
         cairo_fill(cr);
         cairo_restore(cr);
         Poly(cr, {{0.16, 0.32}, {0.16, 0.68}, {0.5, 0.86}, {0.84, 0.68}, {0.84, 0.32}}, false);
         Poly(cr, {{0.5, 0.5}, {0.5, 0.86}}, false);
         cairo_stroke(cr);
       }},
      {"pricelist",
       [](cairo_t* cr, double) {
         for (double y : {0.24, 0.4, 0.56}) {
           Poly(cr, {{0.16, y}, {0.52, y}}, false);
           Poly(cr, {{0.64, y}, {0.84, y}}, false);
         }
         Poly(cr, {{0.6, 0.68}, {0.86, 0.68}}, false);
         cairo_stroke(cr);
         cairo_save(cr);
         cairo_set_line_width(cr, cairo_get_line_width(cr) * 1.6);
         Poly(cr, {{0.64, 0.8}, {0.84, 0.8}}, false);
         cairo_stroke(cr);
         cairo_restore(cr);
       }},
      {"mail",
       [](cairo_t* cr, double) {
         Rect(cr, 0.14, 0.26, 0.86, 0.74);
         Poly(cr, {{0.14, 0.26}, {0.5, 0.54}, {0.86, 0.26}}, false);
         cairo_stroke(cr);
       }},
      {"globe",
       [](cairo_t* cr, double) {
         cairo_arc(cr, 0.5, 0.5, 0.34, 0, 2 * kPi);
         cairo_stroke(cr);
         cairo_save(cr);
         cairo_translate(cr, 0.5, 0.5);
         cairo_scale(cr, 0.42, 1.0);
         cairo_arc(cr, 0, 0, 0.34, 0, 2 * kPi);
         cairo_restore(cr);
         cairo_stroke(cr);
         Poly(cr, {{0.5, 0.16}, {0.5, 0.84}}, false);
         Poly(cr, {{0.16, 0.5}, {0.84, 0.5}}, false);
         Poly(cr, {{0.22, 0.33}, {0.78, 0.33}}, false);
         Poly(cr, {{0.22, 0.67}, {0.78, 0.67}}, false);
         cairo_stroke(cr);
       }},
      {"printer",
       [](cairo_t* cr, double) {
         Rect(cr, 0.3, 0.16, 0.7, 0.4);
         Rect(cr, 0.14, 0.4, 0.86, 0.68);
         cairo_stroke(cr);
         Rect(cr, 0.3, 0.58, 0.7, 0.86);
         cairo_stroke(cr);
         Poly(cr, {{0.38, 0.7}, {0.62, 0.7}}, false);
         Poly(cr, {{0.38, 0.78}, {0.62, 0.78}}, false);
         cairo_stroke(cr);
       }},
      {"tag",
       [](cairo_t* cr, double) {
         Poly(cr, {{0.16, 0.3}, {0.62, 0.3}, {0.84, 0.5}, {0.62, 0.7}, {0.16, 0.7}}, true);
         cairo_stroke(cr);
         cairo_arc(cr, 0.64, 0.5, 0.06, 0, 2 * kPi);
         cairo_fill(cr);
       }},
      {"select",
       [](cairo_t* cr, double) {
         Poly(cr,
              {{0.3, 0.14}, {0.3, 0.78}, {0.45, 0.64}, {0.56, 0.87}, {0.65, 0.83}, {0.54, 0.6}, {0.74, 0.6}},
              true);
         cairo_fill(cr);
       }},
      {"wall",
       [](cairo_t* cr, double) {
         cairo_save(cr);
         cairo_set_line_width(cr, 0.16);
         cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
         Poly(cr, {{0.24, 0.86}, {0.24, 0.24}, {0.86, 0.24}}, false);
         cairo_stroke(cr);
         cairo_restore(cr);
       }},
      {"fronts", [](cairo_t* cr, double stroke) { Doors(cr, stroke, false); }},
      {"nofronts", [](cairo_t* cr, double stroke) { Doors(cr, stroke, true); }},
      {"up", [](cairo_t* cr, double) { Arrow(cr, 0); }},
      {"right", [](cairo_t* cr, double) { Arrow(cr, kPi / 2); }},
      {"down", [](cairo_t* cr, double) { Arrow(cr, kPi); }},
      {"left", [](cairo_t* cr, double) { Arrow(cr, -kPi / 2); }},
      {"brush",
       [](cairo_t* cr, double) {
         // A plan's corner being painted: the wall lines, and a brush over them, its tip at the lower left.
         Poly(cr, {{0.14, 0.5}, {0.14, 0.86}, {0.5, 0.86}}, false);
         cairo_stroke(cr);
         cairo_save(cr);
         cairo_set_line_width(cr, 0.09);
         Poly(cr, {{0.84, 0.16}, {0.56, 0.44}}, false);
         cairo_stroke(cr);
         cairo_restore(cr);
         Poly(cr, {{0.5, 0.38}, {0.62, 0.5}, {0.46, 0.66}, {0.3, 0.74}, {0.34, 0.58}}, true);
         cairo_fill(cr);
       }},
      {"tiltup",
       [](cairo_t* cr, double) {
         Poly(cr, {{0.14, 0.84}, {0.86, 0.84}}, false);
         cairo_stroke(cr);
         cairo_save(cr);
         cairo_translate(cr, 0.5, 0.42);
         cairo_scale(cr, 0.8, 0.8);
         cairo_translate(cr, -0.5, -0.5);
         Arrow(cr, 0);
         cairo_restore(cr);
       }},
      {"tiltdown",
       [](cairo_t* cr, double) {
         Poly(cr, {{0.14, 0.16}, {0.86, 0.16}}, false);
         cairo_stroke(cr);
         cairo_save(cr);
         cairo_translate(cr, 0.5, 0.58);
         cairo_scale(cr, 0.8, 0.8);
         cairo_translate(cr, -0.5, -0.5);
         Arrow(cr, kPi);
         cairo_restore(cr);
       }},
      {"target",
       [](cairo_t* cr, double) {
         for (double sx : {0.16, 0.84})
           for (double sy : {0.16, 0.84}) {
             const double dx = sx < 0.5 ? 0.18 : -0.18, dy = sy < 0.5 ? 0.18 : -0.18;
             Poly(cr, {{sx, sy + dy}, {sx, sy}, {sx + dx, sy}}, false);
           }
         cairo_stroke(cr);
         cairo_arc(cr, 0.5, 0.5, 0.14, 0, 2 * kPi);
         Poly(cr, {{0.5, 0.3}, {0.5, 0.7}}, false);
         Poly(cr, {{0.3, 0.5}, {0.7, 0.5}}, false);
         cairo_stroke(cr);
       }},
      {"parcel",
       [](cairo_t* cr, double) {
         Rect(cr, 0.16, 0.34, 0.84, 0.82);
         Poly(cr, {{0.16, 0.46}, {0.84, 0.46}}, false);
         Poly(cr, {{0.5, 0.34}, {0.5, 0.82}}, false);
         cairo_stroke(cr);
         cairo_arc(cr, 0.41, 0.26, 0.08, 0, 2 * kPi);
         cairo_stroke(cr);
         cairo_arc(cr, 0.59, 0.26, 0.08, 0, 2 * kPi);
         cairo_stroke(cr);
       }},
  };
  return symbols;
}

// The text centred on (cx, cy), its size made smaller when it would be wider than `widest`.
void CentredText(cairo_t* cr, const std::string& text, double cx, double cy, double size, bool bold,
                 double widest = 1e9) {
  cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  if (e.width > widest) {
    cairo_set_font_size(cr, size * widest / e.width);
    cairo_text_extents(cr, text.c_str(), &e);
  }
  cairo_move_to(cr, std::round(cx - e.width / 2 - e.x_bearing), std::round(cy - e.height / 2 - e.y_bearing));
  cairo_show_text(cr, text.c_str());
}

void LeftText(cairo_t* cr, const std::string& text, double x, double baseline, double size, bool bold) {
  cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL,
                         bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, size);
  cairo_move_to(cr, x, baseline);
  cairo_show_text(cr, text.c_str());
}

void DrawButton(const Pen& p, const DrawnRecipe& r) {
  cairo_t* cr = p.cr;
  Use(cr, Mix(p.colour, kWhite, 0.5));
  cairo_paint(cr);
  Use(cr, p.colour);
  cairo_set_line_width(cr, 1);
  Rect(cr, 0.5, 0.5, p.w - 0.5, p.h - 0.5);
  cairo_stroke(cr);
  if (r.kind == "glyph") {
    CentredText(cr, r.texts[0], p.w / 2, p.h / 2, std::min(p.w, p.h) * 0.62, true, p.w * 0.8);
    return;
  }
  const double side = std::min(p.w, p.h);
  cairo_save(cr);
  cairo_translate(cr, (p.w - side) / 2, (p.h - side) / 2);
  cairo_scale(cr, side, side);
  const double stroke = std::max(1.5, side / 14) / side;
  cairo_set_line_width(cr, stroke);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  Symbols().at(r.kind)(cr, stroke);
  cairo_restore(cr);
}

// ---- Unit fronts, drawn at the picture's own size: the finish, outlined in a darker shade. The
// cabinets are drawn from the millimetres of their 3D bodies (kitchen/qxUnit.tsv), the picture's height
// being the unit's carcase and the plinth under it: fronts 4 mm apart, each handle a bar 160 mm long
// whose legs stand 30 mm below or above it, the plinth 100 mm high.

// A cabinet's front: its carcase's height and the plinth under it, millimetres.
struct CabinetSize {
  double height, plinth;
};
const std::map<std::string, CabinetSize>& Cabinets() {
  static const std::map<std::string, CabinetSize> cabinets = {
      {"base1", {720, 100}},      {"base2", {720, 100}},        {"basetop", {760, 100}},
      {"hinged", {720, 100}},     {"drawers", {720, 100}},      {"sink", {720, 100}},
      {"cornerbase", {720, 100}}, {"dishwasher", {720, 100}},   {"island", {720, 100}},
      {"tall", {2000, 100}},      {"ovenhousing", {2000, 100}}, {"fridgehousing", {2000, 100}},
      {"wall1", {700, 0}},        {"wall2", {700, 0}},          {"cornerwall", {700, 0}},
      {"filler", {720, 100}},
  };
  return cabinets;
}

constexpr double kFrontGap = 4, kBarHalf = 80, kLegs = 30;

struct Front {
  cairo_t* cr;
  double w, h;
  PictureRgb finish, line;
  double mm = 1;      // pixels per millimetre
  double plinth = 0;  // millimetres under the carcase

  // The pixel column of x and the pixel row of y, millimetres across the front from its left and up
  // from the carcase's foot.
  double X(double x) const { return std::round(x * mm); }
  double Y(double y) const { return std::round(h - (y + plinth) * mm); }
  // The front's width, millimetres.
  double Width() const { return w / mm; }

  void Panel(double x0, double y0, double x1, double y1, const PictureRgb& fill) const {
    Use(cr, fill);
    Rect(cr, x0, y0, x1, y1);
    cairo_fill_preserve(cr);
    Use(cr, line);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  void Door(double x0, double y0, double x1, double y1) const {
    Panel(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, finish);
  }
  void Handle(double x0, double y0, double x1, double y1) const {
    Use(cr, kHandle);
    cairo_set_line_width(cr, std::max(1.5, std::min(w, h) / 30));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    Poly(cr, {{x0, y0}, {x1, y1}}, false);
    cairo_stroke(cr);
  }
  // Millimetre forms: a front from (x0, y0) to (x1, y1), a panel of another colour, a handle's bar
  // centred on x at height y (on the middle of its pixel row, so that even a thin bar shows in the
  // handles' colour).
  void DoorAt(double x0, double y0, double x1, double y1) const { Door(X(x0), Y(y1), X(x1), Y(y0)); }
  void PanelAt(double x0, double y0, double x1, double y1, const PictureRgb& fill) const {
    Panel(X(x0) + 0.5, Y(y1) + 0.5, X(x1) - 0.5, Y(y0) - 0.5, fill);
  }
  void BarAt(double x, double y) const { Handle(X(x - kBarHalf), Y(y) + 0.5, X(x + kBarHalf), Y(y) + 0.5); }
  // The plinth seen from ahead: across the whole front under the carcase (its face is set back).
  void PlinthBand() const {
    Use(cr, kGraphite);
    Rect(cr, 0, Y(0), w, h);
    cairo_fill(cr);
  }
  // `count` doors side by side from y0 to y1, each with its bar centred on it at barY.
  void DoorsAcross(int count, double y0, double y1, double barY) const {
    const double door = (Width() - kFrontGap * (count - 1)) / count;
    for (int i = 0; i < count; ++i) {
      const double x = i * (door + kFrontGap);
      DoorAt(x, y0, x + door, y1);
      BarAt(x + door / 2, barY);
    }
  }
};

void DrawFront(const Pen& p, const std::string& kind) {
  cairo_t* cr = p.cr;
  Use(cr, kWhite);
  cairo_paint(cr);
  Front f{cr, p.w, p.h, p.colour, Mix(p.colour, kBlack, 0.45)};
  const double w = p.w, h = p.h;
  if (auto cabinet = Cabinets().find(kind); cabinet != Cabinets().end()) {
    f.plinth = cabinet->second.plinth;
    f.mm = h / (cabinet->second.height + cabinet->second.plinth);
    if (f.plinth > 0) f.PlinthBand();
    // The carcase behind the fronts, showing in the gaps between them as it does in 3D.
    Use(cr, kOak);
    Rect(cr, 0, f.Y(cabinet->second.height), w, f.Y(0));
    cairo_fill(cr);
  }
  const double wide = f.Width();
  if (kind == "base1" || kind == "base2" || kind == "basetop" || kind == "hinged") {
    f.DoorsAcross(kind == "base2" || kind == "basetop" ? 2 : 1, 0, 720, 720 - kLegs);
    if (kind == "basetop") f.PanelAt(0, 720, wide, 760, kSlate);
    if (kind == "hinged") {
      Use(cr, kHandle);
      for (double x : {1.5, w - 2.5})
        for (double y : {h * 0.15, h * 0.65}) Rect(cr, x, y, x + 1, y + h * 0.08);
      cairo_fill(cr);
    }
  } else if (kind == "filler") {
    // One plain board across the gap it fills, no handle.
    f.DoorAt(0, 0, wide, 720);
  } else if (kind == "drawers") {
    // 20, 35 and 45 % of the front from the top, with their gaps.
    for (const auto& [y, high] : {std::pair{576.0, 144.0}, {324.0, 248.0}, {0.0, 320.0}}) {
      f.DoorAt(0, y, wide, y + high);
      f.BarAt(wide / 2, y + high - kLegs);
    }
  } else if (kind == "sink") {
    // A fixed front before the bowl, two doors under it.
    f.DoorAt(0, 576, wide, 720);
    f.DoorsAcross(2, 0, 572, 572 - kLegs);
  } else if (kind == "wall1" || kind == "wall2") {
    f.DoorsAcross(kind == "wall2" ? 2 : 1, 0, 700, 40 + kLegs);
  } else if (kind == "tall" || kind == "fridgehousing") {
    // Two doors, their handles beside the split.
    const double upper = kind == "tall" ? 720 : 1160, lower = 2000 - upper - kFrontGap;
    f.DoorAt(0, lower + kFrontGap, wide, 2000);
    f.BarAt(wide / 2, lower + kFrontGap + 40 + kLegs);
    f.DoorAt(0, 0, wide, lower);
    f.BarAt(wide / 2, lower - kLegs);
  } else if (kind == "ovenhousing") {
    // A door over the oven's dark glass front, a drawer under it.
    f.DoorAt(0, 1360, wide, 2000);
    f.BarAt(wide / 2, 1400 + kLegs);
    f.PanelAt(0, 680, wide, 1356, kGraphite);
    f.DoorAt(0, 0, wide, 676);
    f.BarAt(wide / 2, 676 - kLegs);
  } else if (kind == "dishwasher") {
    // Built in under the worktop: its control strip over a door in the fronts' finish.
    f.PanelAt(0, 660, wide, 720, kGraphite);
    f.DoorAt(0, 0, wide, 656);
    f.BarAt(wide / 2, 656 - kLegs);
  } else if (kind == "cornerbase") {
    // The wing's door on the left; on the right the leg's end, the carcase (its door faces the wing).
    f.DoorAt(0, 0, 340, 720);
    f.BarAt(170, 720 - kLegs);
    f.PanelAt(340, 0, wide, 720, kOak);
  } else if (kind == "cornerwall") {
    // A door and a blind panel beside it.
    f.DoorAt(0, 0, 416, 700);
    f.BarAt(208, 40 + kLegs);
    f.DoorAt(420, 0, wide, 700);
  } else if (kind == "oven") {
    // Steel (the colour given) with its control strip and its window in dark glass, and a handle bar
    // 160 mm long (of 595) under the strip.
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, p.colour);
    f.Panel(0.5, 0.5, w - 0.5, h * 0.16, kGraphite);
    f.Panel(w * 0.12, h * 0.32, w * 0.88, h * 0.88, kGraphite);
    f.Handle(w * 0.365, h * 0.24, w * 0.635, h * 0.24);
  } else if (kind == "hob") {
    // Dark glass with its four rings in the pale glass tone.
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, kGraphite);
    Use(cr, kGlass);
    cairo_set_line_width(cr, 1.2);
    const double ring = std::min(w, h) * 0.17;
    for (double cx : {0.3, 0.7})
      for (double cy : {0.3, 0.7}) {
        cairo_arc(cr, w * cx, h * cy, ring * (cx == cy ? 1.0 : 0.78), 0, 2 * kPi);
        cairo_stroke(cr);
      }
  } else if (kind == "fridge") {
    f.Panel(0.5, 0.5, w - 0.5, h * 0.62, p.colour);
    f.Panel(0.5, h * 0.62, w - 0.5, h - 0.5, p.colour);
    f.Handle(w * 0.86, h * 0.42, w * 0.86, h * 0.56);
    f.Handle(w * 0.86, h * 0.68, w * 0.86, h * 0.8);
  } else if (kind == "hood") {
    f.Panel(w * 0.36, 0.5, w * 0.64, h * 0.6, p.colour);
    Use(cr, p.colour);
    Poly(cr, {{w * 0.3, h * 0.6}, {w * 0.7, h * 0.6}, {w - 0.5, h - 0.5}, {0.5, h - 0.5}}, true);
    cairo_fill_preserve(cr);
    Use(cr, f.line);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  } else if (kind == "worktop") {
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, p.colour);
    Use(cr, Mix(p.colour, kBlack, 0.2));
    cairo_set_line_width(cr, 1);
    for (int i = 1; i < 6; ++i) {
      const double y = h * i / 6;
      cairo_move_to(cr, 1, y);
      cairo_curve_to(cr, w * 0.3, y - h * 0.05, w * 0.6, y + h * 0.05, w - 1, y);
    }
    cairo_stroke(cr);
  } else if (kind == "plinth") {
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, kPlinth);
  } else if (kind == "bar") {
    f.Handle(h * 0.3, h * 0.5, w - h * 0.3, h * 0.5);
    Use(cr, kHandle);
    Rect(cr, w * 0.12, h * 0.5, w * 0.2, h);
    Rect(cr, w * 0.8, h * 0.5, w * 0.88, h);
    cairo_fill(cr);
  } else if (kind == "knob") {
    Use(cr, kHandle);
    cairo_arc(cr, w / 2, h / 2, std::min(w, h) / 2 - 1, 0, 2 * kPi);
    cairo_fill(cr);
    Use(cr, Mix(kHandle, kWhite, 0.4));
    cairo_arc(cr, w * 0.42, h * 0.42, std::min(w, h) / 6, 0, 2 * kPi);
    cairo_fill(cr);
  } else if (kind == "door" || kind == "glazeddoor") {
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, p.colour);
    const double mx = w * 0.2, top = h * 0.08;
    if (kind == "door") {
      f.Panel(mx, top, w - mx, h * 0.46, Mix(p.colour, kBlack, 0.08));
      f.Panel(mx, h * 0.52, w - mx, h * 0.92, Mix(p.colour, kBlack, 0.08));
    } else {
      // Three panes where the catalogue's glazed door has them in 3D (stiles 160 of 800 mm, top rail
      // 168, panes 462 and rails 84 of 2100 mm).
      for (int row = 0; row < 3; ++row)
        f.Panel(mx, top + row * h * 0.26, w - mx, top + row * h * 0.26 + h * 0.22, kGlass);
    }
    f.Handle(w * 0.84, h * 0.5, w * 0.94, h * 0.5);
  } else if (kind == "window") {
    // The frame in the colour around one pane, as the catalogue's windows are built: a frame a
    // twentieth of the height wide (60 mm of 1200), at least two pixels.
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, p.colour);
    const double m = std::max(2.0, std::round(h * 0.05));
    f.Panel(m, m, w - m, h - m, kGlass);
  } else if (kind == "island") {
    // Its two base units side by side, each with its two doors.
    for (int half = 0; half < 2; ++half) {
      const double x = half * wide / 2, door = (wide / 2 - kFrontGap) / 2;
      for (int i = 0; i < 2; ++i) {
        f.DoorAt(x + i * (door + kFrontGap), 0, x + i * (door + kFrontGap) + door, 720);
        f.BarAt(x + i * (door + kFrontGap) + door / 2, 720 - kLegs);
      }
    }
  } else if (kind == "pillar") {
    f.Panel(0.5, 0.5, w - 0.5, h - 0.5, p.colour);
    Use(cr, Mix(p.colour, kBlack, 0.18));
    Rect(cr, w * 0.62, 1, w - 1, h - 1);
    cairo_fill(cr);
  } else {
    throw std::invalid_argument("unknown front '" + kind + "'");
  }
}

// ---- Texts.

void DrawLogo(const Pen& p, const DrawnRecipe& r) {
  cairo_t* cr = p.cr;
  Use(cr, kWhite);
  cairo_paint(cr);
  // A house as the mark, as high as the picture, on the left.
  const double m = p.h * 0.12, side = p.h - 2 * m;
  Use(cr, p.colour);
  Poly(cr, {{m, m + side * 0.45}, {m + side / 2, m}, {m + side, m + side * 0.45}}, true);
  cairo_fill(cr);
  Rect(cr, m + side * 0.14, m + side * 0.45, m + side * 0.86, m + side);
  cairo_fill(cr);
  Use(cr, kWhite);
  Rect(cr, m + side * 0.42, m + side * 0.64, m + side * 0.58, m + side);
  cairo_fill(cr);
  Use(cr, p.colour);
  const double x = m + side + m;
  LeftText(cr, r.texts[0], x, p.h * (r.texts.size() > 1 ? 0.5 : 0.68), p.h * 0.4, true);
  if (r.texts.size() > 1) {
    Use(cr, Mix(p.colour, kWhite, 0.3));
    LeftText(cr, r.texts[1], x, p.h * 0.86, p.h * 0.28, false);
  }
}

// Levels of coverage a text's antialiased edge is drawn with where the picture is to fit a palette.
constexpr int kCoverageLevels = 64;

// Draws what `draw` draws (text) in `colour`, its antialiased coverage rounded to kCoverageLevels
// levels: one colour over one ground then gives at most that many colours, and an edge pixel is at
// most a 126th of the way between the two colours from its exact value (2 of 255 in a channel).
template <typename Draw>
void WithSteppedCoverage(cairo_t* cr, const PictureRgb& colour, Draw draw) {
  cairo_push_group_with_content(cr, CAIRO_CONTENT_ALPHA);
  draw();
  cairo_pattern_t* coverage = cairo_pop_group(cr);
  cairo_surface_t* mask = nullptr;
  if (cairo_pattern_get_surface(coverage, &mask) == CAIRO_STATUS_SUCCESS &&
      cairo_surface_get_type(mask) == CAIRO_SURFACE_TYPE_IMAGE &&
      cairo_image_surface_get_format(mask) == CAIRO_FORMAT_A8) {
    cairo_surface_flush(mask);
    unsigned char* data = cairo_image_surface_get_data(mask);
    const int stride = cairo_image_surface_get_stride(mask), width = cairo_image_surface_get_width(mask);
    constexpr int kSteps = kCoverageLevels - 1;
    for (int y = 0; y < cairo_image_surface_get_height(mask); ++y)
      for (unsigned char* a = data + size_t(y) * size_t(stride);
           a < data + size_t(y) * size_t(stride) + width; ++a)
        *a = static_cast<unsigned char>(((*a * kSteps + 127) / 255 * 255 + kSteps / 2) / kSteps);
    cairo_surface_mark_dirty(mask);
  }
  Use(cr, colour);
  cairo_mask(cr, coverage);
  cairo_pattern_destroy(coverage);
}

// The about box: a title band, the lines below it. Its text edges are stepped (WithSteppedCoverage)
// so that the whole box fits a palette of 256 colours: the program shows it as it starts, and palette
// indices are a third of the bytes of red, green and blue to inflate.
void DrawAbout(const Pen& p, const DrawnRecipe& r) {
  cairo_t* cr = p.cr;
  Use(cr, Mix(p.colour, kWhite, 0.92));
  cairo_paint(cr);
  const double band = p.h * 0.3;
  Use(cr, p.colour);
  Rect(cr, 0, 0, p.w, band);
  cairo_fill(cr);
  WithSteppedCoverage(cr, kWhite, [&] { CentredText(cr, r.texts[0], p.w / 2, band / 2, band * 0.34, true); });
  const double line = (p.h - band) / (r.texts.size() + 1);
  for (size_t i = 1; i < r.texts.size(); ++i) {
    const bool last = i + 1 == r.texts.size() && r.texts.size() > 2;
    const PictureRgb ink = last ? Mix(p.colour, kWhite, 0.2) : Mix(p.colour, kBlack, 0.55);
    WithSteppedCoverage(cr, ink, [&] {
      CentredText(cr, r.texts[i], p.w / 2, band + line * double(i) + line * 0.4, last ? 11 : 13, i == 1);
    });
  }
  Use(cr, p.colour);
  cairo_set_line_width(cr, 1);
  Rect(cr, 0.5, 0.5, p.w - 0.5, p.h - 0.5);
  cairo_stroke(cr);
}

const char* const kFronts[] = {"base1",      "base2",      "basetop",     "drawers",       "sink",   "wall1",
                               "wall2",      "tall",       "ovenhousing", "fridgehousing", "oven",   "hob",
                               "dishwasher", "fridge",     "hood",        "worktop",       "plinth", "bar",
                               "knob",       "door",       "glazeddoor",  "window",        "island", "pillar",
                               "cornerbase", "cornerwall", "hinged",      "filler"};

bool IsFront(const std::string& kind) {
  return std::find(std::begin(kFronts), std::end(kFronts), kind) != std::end(kFronts);
}

}  // namespace

bool IsDrawnKind(const std::string& kind) {
  return Symbols().count(kind) != 0 || IsFront(kind) || TextsWanted(kind) > 0;
}

int TextsWanted(const std::string& kind) {
  if (kind == "glyph" || kind == "logo") return 1;
  if (kind == "about") return 2;
  return 0;
}

std::vector<PictureRgb> DrawPicture(const DrawnRecipe& recipe) {
  if (!IsDrawnKind(recipe.kind)) throw std::invalid_argument("unknown picture kind '" + recipe.kind + "'");
  if (int(recipe.texts.size()) < TextsWanted(recipe.kind))
    throw std::invalid_argument("a " + recipe.kind + " picture wants " +
                                std::to_string(TextsWanted(recipe.kind)) +
                                " quoted text(s) after its colour");
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, recipe.width, recipe.height);
  cairo_t* cr = cairo_create(surface);
  // Grey antialiasing only: subpixel colours would depend on the machine's font settings.
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
  const Pen pen{cr, double(recipe.width), double(recipe.height), recipe.colour};
  if (recipe.kind == "logo")
    DrawLogo(pen, recipe);
  else if (recipe.kind == "about")
    DrawAbout(pen, recipe);
  else if (IsFront(recipe.kind))
    DrawFront(pen, recipe.kind);
  else
    DrawButton(pen, recipe);
  const bool failed = cairo_status(cr) != CAIRO_STATUS_SUCCESS;
  cairo_destroy(cr);
  cairo_surface_flush(surface);
  std::vector<PictureRgb> pixels;
  if (!failed) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    pixels.reserve(size_t(recipe.width) * size_t(recipe.height));
    for (int y = 0; y < recipe.height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
      for (int x = 0; x < recipe.width; ++x)
        pixels.push_back({int((row[x] >> 16) & 0xFF), int((row[x] >> 8) & 0xFF), int(row[x] & 0xFF)});
    }
  }
  cairo_surface_destroy(surface);
  // A text that is not UTF-8 is the one fault of a description that reaches cairo.
  if (failed) throw std::invalid_argument("cannot draw the " + recipe.kind + " picture: is its text UTF-8?");
  return pixels;
}

}  // namespace mkcatalog
