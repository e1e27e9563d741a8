// The catalogue browser's path bar: the display texts of the current node and the groups above it,
// from the outermost group down, separated by picture 3500, over a line at the bottom, in the
// application's colour 1017 and on the fill picture 1016. The tree's top keyword is not shown.
//
// The path bar attaches itself to its browser; it keeps node pointers that the browser clears
// before it deletes nodes. Either may be deleted first. User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/ppView.h"

class qxCatalog;
class qxNode;

class qxCatalogOverview : public ppView {
 public:
  static constexpr int32_t kFillPicture = 1016;
  static constexpr int32_t kSeparatorPicture = 3500;
  static constexpr int32_t kColor = 1017;
  static constexpr int32_t kTextLeft = 5;         // pixels from the left edge to the first text
  static constexpr int32_t kSeparatorWidth = 16;  // pixels
  static constexpr int32_t kFontHeight = 18;      // pixels

  // `frame` in the supervisor's coordinates; `browser` may be null.
  qxCatalogOverview(ppView* supervisor, const plat::RECT& frame, qxCatalog* browser);
  ~qxCatalogOverview() override;

  void DrawContent(ppDC& dc) override;
  // The path of `node` (null: none), redrawn.
  void SetPath(const qxNode* node);
  // The browser is going; the path bar no longer reaches it.
  void ForgetBrowser() { browser_ = nullptr; }
  // From the top node down to the node.
  const std::vector<const qxNode*>& Path() const { return path_; }

 private:
  qxCatalog* browser_;
  std::vector<const qxNode*> path_;
};
