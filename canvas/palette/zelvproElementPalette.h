// The band at the bottom of the document window from which the user takes catalogue items into the
// plan: the catalogue browser at the left (with the catalogue path bar above the strip when the
// application asks for it) and the element pane with the item strip to its right. It also keeps, per
// view, the strip's scroll position, which the view bar saves and restores when the user switches
// views.
//
// Ownership: the palette owns its children (the pane, the browser, the path bar) as subviews.
// User-interface thread only.
#pragma once

#include <array>
#include <cstdint>

#include "framework/ppView.h"

class qxCatalog;
class qxCatalogOverview;
class zelvproElementPane;

class zelvproElementPalette : public ppView {
 public:
  // flags1 of the application record: the browser shows the catalogue path bar (the document window
  // then makes the palette 155 pixels high instead of 135).
  static constexpr uint32_t kCatalogueOverview = 0x2000000;
  static constexpr int32_t kFillPicture = 1015;
  static constexpr int32_t kMaxViewMemories = 6;

  // The strip's scroll position kept for one view.
  struct ViewMemory {
    int32_t viewId = 0;
    int32_t position = 0;  // cells from the first
  };

  // `frame` in the supervisor's coordinates. `withOverview` chooses the layout with the path bar
  // (the application record's kCatalogueOverview).
  zelvproElementPalette(ppView* supervisor, const plat::RECT& frame, bool withOverview);
  // As above, the layout chosen by the installed application settings.
  zelvproElementPalette(ppView* supervisor, const plat::RECT& frame);

  // 5000 (a child button was pressed) takes every subview's highlight away and remembers the
  // button; every other command goes up as a view's does.
  void DoCommand(int32_t command, intptr_t parameter) override;

  // Appends a record for `viewId`; beyond kMaxViewMemories records nothing is added.
  void AddViewMemory(int32_t viewId);
  // Keeps the strip's current position in the view's record, when it has one.
  void SaveScrollFor(int32_t viewId);
  // Scrolls the strip to the view's kept position, when it has a record; redraws the 3D pane in
  // every case.
  void RestoreScrollFor(int32_t viewId);
  // The view's record (the first added for it); null when none.
  ViewMemory* FindViewMemory(int32_t viewId);

  zelvproElementPane* Pane() const { return pane_; }
  qxCatalog* Browser() const { return browser_; }
  qxCatalogOverview* Overview() const { return overview_; }
  // The view whose press reached the palette last (command 5000); null when none. Not owned.
  ppView* PressedView() const { return pressed_; }
  int32_t ViewMemoryCount() const { return memoryCount_; }

 private:
  ppView* pressed_ = nullptr;
  zelvproElementPane* pane_ = nullptr;     // owned as a subview
  qxCatalog* browser_ = nullptr;           // owned as a subview
  qxCatalogOverview* overview_ = nullptr;  // owned as a subview; null without the path bar
  std::array<ViewMemory, kMaxViewMemories> memories_{};
  int32_t memoryCount_ = 0;
};
