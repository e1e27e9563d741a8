// The tree view of the tree drop-down: reports each selection to the popup selector that opened the
// drop-down holding it (through the field's value path) instead of to a data unit.
// User-interface thread only.
#pragma once

#include "controls/ppTreeView.h"

class ppSelectorTreeView : public ppTreeView {
 public:
  ppSelectorTreeView(ppView* dialog, const plat::RECT& frame, ppDataUnit* unit)
      : ppTreeView(dialog, frame, unit) {}
  void NodeSelected(ppTreeViewNode* node) override;
};
