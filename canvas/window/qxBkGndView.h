// The view behind every pane of the document window: it fills what no pane covers with the window's
// background picture. Its frame region is its window frame less the window frames of the views it is
// told to leave out. The excluded views are not owned and must outlive it (they are the window's).
// User-interface thread only.
#pragma once

#include <memory>
#include <vector>

#include "framework/ppView.h"

class qxBkGndView : public ppView {
 public:
  explicit qxBkGndView(ppView* supervisor);

  void Exclude(ppView* view) { excluded_.push_back(view); }
  std::unique_ptr<ppRegion> GetFrameRegion() override;

 private:
  std::vector<ppView*> excluded_;
};
