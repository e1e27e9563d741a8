// The invisible root of one catalogue tree: no name, no display text and no tree item of its own;
// its children are the tree's top-level entries.
#pragma once

#include "catalogue/browser/qxGroupNode.h"

class qxTopNode : public qxGroupNode {
 public:
  // The root of tree `treeIndex` (0 to 4).
  explicit qxTopNode(int32_t treeIndex);

  Vcon::WString DisplayText() const override { return {}; }
  bool HasDisplayText() const override { return false; }

 protected:
  bool InsertSelf(plat::HWND tree, plat::HTREEITEM parent, plat::HTREEITEM& childParent) override;
};
