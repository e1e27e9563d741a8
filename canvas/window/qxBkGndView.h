// The view behind every pane of the document window: it fills what no pane covers with the window's
// background picture. Its frame region is its window frame less the window frames of the shown views
// it is told to leave out, plus those of the views inside them that paint nothing and let the
// background show through (the editor's ruler corner). A view counts as shown while it and every
// supervisor of it are. The views are not owned and must outlive it (they are the window's).
// User-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "framework/ppView.h"

class qxBkGndView : public ppView {
 public:
  explicit qxBkGndView(ppView* supervisor);

  void Exclude(ppView* view) { excluded_.push_back(view); }
  void ShowThrough(ppView* view) { showThrough_.push_back(view); }
  std::unique_ptr<ppRegion> GetFrameRegion() override;

 private:
  std::vector<ppView*> excluded_;
  std::vector<ppView*> showThrough_;
};
