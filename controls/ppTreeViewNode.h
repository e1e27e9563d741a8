// One node of a choice tree (the calculation units' groups and units): its children (owned), the
// text shown, and what the tree control keeps for it: the item handle it returned (null before
// insertion) and the insertion record, whose parameter leads back to the node.
//
// A query hands a node out as a 32-bit integer value: the node's identity, unique in the run, which
// FromIdentity turns back into the node while it lives (no address is cut to 32 bits).
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "database/iProperty.h"
#include "foundation/VconString.h"
#include "platform/TreeView.h"

class ppTreeViewNode : public iProperty {
 public:
  explicit ppTreeViewNode(const Vcon::WString& name = {});
  ~ppTreeViewNode() override;
  ppTreeViewNode(const ppTreeViewNode&) = delete;
  ppTreeViewNode& operator=(const ppTreeViewNode&) = delete;

  // Takes `child` over, appended after the others.
  ppTreeViewNode* AddChild(std::unique_ptr<ppTreeViewNode> child);
  const std::vector<std::unique_ptr<ppTreeViewNode>>& Children() const { return children_; }
  const Vcon::WString& Name() const { return name_; }
  void SetName(const Vcon::WString& name) { name_ = name; }

  int32_t Identity() const { return identity_; }
  // The living node of `identity`, or null.
  static ppTreeViewNode* FromIdentity(int32_t identity);

  plat::HTREEITEM Item() const { return item_; }
  void SetItem(plat::HTREEITEM item) { item_ = item; }
  plat::TVINSERTSTRUCTW& InsertRecord() { return insert_; }

 private:
  std::vector<std::unique_ptr<ppTreeViewNode>> children_;
  Vcon::WString name_;
  plat::HTREEITEM item_ = nullptr;
  plat::TVINSERTSTRUCTW insert_;
  int32_t identity_;
};
