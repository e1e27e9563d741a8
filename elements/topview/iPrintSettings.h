// What the element drawing reads of the print settings and of the page being printed: whether plans
// are drawn as outlines only, and how the page maps plan millimetres to device pixels. The document
// window installs its settings here; until it does, plans are drawn filled and a page maps the plan
// as the top view does.
#pragma once

#include <cstdint>

#include "foundation/ppVector2.h"
#include "platform/GdiTypes.h"

class ppDC;

// One printed page as the element drawing sees it. A plan point p (millimetres, x across and z down
// the plan) lands on the device pixel offset + (p - origin) * pixelsPerMillimetre.
struct PrintPageFields {
  plat::RECT clip{-1000000, -1000000, 1000000, 1000000};  // device pixels
  bool outlinePage = false;                               // the page shows outlines, not fills
  float fontSizeFactor = 1.0f;                            // device pixels per typographic point
  ppVector2 origin;                                       // millimetres
  float pixelsPerMillimetre = 1.0f;
  plat::POINT offset{0, 0};  // device pixels; also where textures of the page are anchored
  bool done = false;         // the page is printed already: nothing more goes on it
  bool header = false;       // the page still wants its header
};

class iPrintSettings {
 public:
  virtual ~iPrintSettings() = default;
  // The outline-only option: elements draw their outlines and unit pieces without fills.
  virtual bool OutlineOnly() { return false; }
  // The fields of page `page` (from 1). The neutral page maps the plan as the top view does.
  virtual PrintPageFields PageFields(int32_t page);
  // Prints the header of page `page` onto `dc`; the neutral settings print none.
  virtual void PrintHeader(ppDC& /*dc*/, int32_t /*page*/) {}
  // Marks page `page` done, so that later PageFields answer `done`.
  virtual void MarkPageDone(int32_t /*page*/) {}

  // The installed settings, or neutral ones; never null.
  static iPrintSettings& Current();
  // Installs `settings` (null: the neutral ones again). Not owned.
  static void Install(iPrintSettings* settings);
};
