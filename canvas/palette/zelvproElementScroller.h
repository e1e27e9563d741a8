// The item picture strip of the element palette: one 90 x 90 pixel cell per item of the group the
// catalogue browser has selected, in one row, with one blank column after the last item. A cell shows
// the item's preview picture and its name; a press on a cell makes the plan element of the item and
// starts the task that places it (for a colour item, the task that paints with it).
//
// There is one strip per run, reachable through Current() so that canvases and tasks can find it.
// The strip belongs to its element pane (a subview); the browser is not its own.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppPicture.h"
#include "framework/ppScroller.h"

class qxCatalog;
class zelvDatabase;

class zelvproElementScroller : public ppListScroller {
 public:
  // Cell width and height in pixels, also the scroll step along both axes.
  static constexpr int32_t kCellSize = 90;

  // `frame` in the supervisor's coordinates. Becomes the strip Current() answers.
  zelvproElementScroller(ppView* supervisor, const plat::RECT& frame);
  ~zelvproElementScroller() override;

  // The strip of the run; null when none is alive.
  static zelvproElementScroller* Current();

  // The browser whose item list the strip shows; null shows nothing. Not owned.
  void SetCatalog(qxCatalog* catalog) { catalog_ = catalog; }
  qxCatalog* Catalog() const { return catalog_; }
  // The number of items of the browser's list; 0 without a browser.
  int32_t ItemCount() const;
  // The picture cell `column` shows (its item's preview); empty outside the list.
  ppPicture ItemPictureAt(int32_t column) const;

  // Shows the browser's current items from the first: extent items + 1 by 1, scrolled to the start.
  void Reload();
  // Shows no items: extent 0 by 1, scrolled to the start.
  void Clear();
  // The cell framed as selected; a negative column or row frames none.
  void SetSelection(int32_t column, int32_t row);
  int32_t SelectedColumn() const { return selectedColumn_; }
  int32_t SelectedRow() const { return selectedRow_; }

  // One cell: background, separator lines, the picture centred and the name below it; the blank
  // column after the last item draws nothing.
  void DrawCell(ppDC& dc, int32_t column, int32_t row, const plat::RECT& rect) override;
  bool CellClicked(int32_t column, int32_t row, int32_t x, int32_t y) override;
  // The press on the cell of `column` at window pixel (x, y): a unit item makes its element in the
  // current plan canvas and starts its drag, a colour item starts the colour task. Answers true in
  // every case (the press is the strip's).
  bool StartItemDrag(int32_t x, int32_t y, int32_t column);

  // 401 and 402 (its bar) scroll; every other command goes to the handler the strip targets, never
  // up to its pane, which hands every command down to the strip.
  void DoCommand(int32_t command, intptr_t parameter) override;

  // The strip converts as a plain view does: its cells are laid out by the scroll position already.
  void LocalToWindow(plat::POINT* point) override;
  void LocalToWindowRect(plat::RECT* rect) override;
  void WindowToLocal(plat::POINT* point) override;
  void WindowToLocalRect(plat::RECT* rect) override;

 private:
  void StartUnitDrag(int32_t x, int32_t y, zelvDatabase* db, int32_t topView);
  void StartColourDrag(int32_t x, int32_t y, zelvDatabase* db, int32_t colourId);
  void LayoutAgain();

  qxCatalog* catalog_ = nullptr;
  int32_t selectedColumn_ = -1;
  int32_t selectedRow_ = 0;
};
