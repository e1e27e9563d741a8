// What the catalogue browser needs of the item picture list of the document window, which is built
// above the catalogue and implements this: the list shows the pictures of the browser's item list
// (qxCatalog::Items, qxCatalog::ReadItemAt), and the main document redraws views on request.
// User-interface thread only.
#pragma once

class ppView;
class qxCatalog;

class iItemPictureList {
 public:
  virtual ~iItemPictureList() = default;

  // The browser whose item list the pictures come from (not owned; it outlives the call).
  virtual void SetCatalog(qxCatalog* browser) = 0;
  // Shows no items: scrolled to the origin, laid out again, redrawn.
  virtual void ResetView() = 0;
  // The browser's item list changed: shows the current group's items from the start.
  virtual void Reload() = 0;
  // Asks the main document to redraw `view` (`redraw` true: at once rather than with its next pass).
  virtual void InvalidateElement(ppView* view, bool redraw) = 0;
};
