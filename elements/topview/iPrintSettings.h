// What the element drawing reads of the print settings and of the page being printed: whether plans
// are drawn as outlines only, and how the page maps plan millimetres to device pixels. The document
// window installs its settings here; until it does, plans are drawn filled and a page maps the plan
// as the top view does.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/ppVector2.h"
#include "platform/GdiTypes.h"

class ppDC;
class i3DPaneHost;

// The document's fields a title block shows (narrow texts as the document record keeps them).
struct PrintTitleFields {
  std::string number, revision, description;
  std::string customerName, customerRef, customerAddress, customerCity;
};

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
  // The chosen drawing scale: 0 fits the plan to the page, else the scale's denominator (20, 48, 50).
  virtual int32_t DrawingScale() { return 0; }
  // Whom the page header asks for the document's name, path and floor extent: the current 3D pane's
  // host; null without a pane (the header then shows an unsaved, empty room).
  virtual i3DPaneHost* DocumentHost();
  // The current document's title block fields; empty ones by default.
  virtual PrintTitleFields TitleFields() { return {}; }

  // The installed settings, or neutral ones; never null.
  static iPrintSettings& Current();
  // Installs `settings` (null: the neutral ones again). Not owned.
  static void Install(iPrintSettings* settings);
  // The installed settings; null when the neutral ones answer.
  static iPrintSettings* Installed();
};
