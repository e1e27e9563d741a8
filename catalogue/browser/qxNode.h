// A node of the catalogue browser's trees: a group (qxGroupNode), the invisible root of one tree
// (qxTopNode) or a catalogue item (qxItemNode). Groups are shown in a tree view; items never are:
// they are what the item picture list shows while their group is current.
//
// A node owns its children, kept in the order they were added; deleting a node deletes its whole
// subtree. Besides the links, each node keeps its depth, its place among its siblings and the index
// of its tree, so the browser can compare positions in tree order without searching the trees.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <string_view>

#include "foundation/VconString.h"
#include "platform/TreeView.h"

class CatalogItemList;

class qxNode {
 public:
  // Indexes into the browser's image list (pictures 3501 to 3505).
  static constexpr int32_t kGroupClosedImage = 0;
  static constexpr int32_t kGroupOpenImage = 1;
  static constexpr int32_t kTopLevelClosedImage = 2;  // a node directly under a top keyword
  static constexpr int32_t kTopLevelOpenImage = 3;
  static constexpr int32_t kItemImage = 4;

  qxNode(int32_t closedImage, int32_t openImage);
  virtual ~qxNode();
  qxNode(const qxNode&) = delete;
  qxNode& operator=(const qxNode&) = delete;

  // Takes fields 2 to 4 of the node's entry: its name, the second field and the display text.
  virtual void ParseFields(std::string_view name, std::string_view second, std::string_view text) = 0;
  // Appends this node's entry to the item list (items only).
  virtual void AppendToItemList(CatalogItemList& list) const;
  // The text shown in the tree and in the path bar; empty when the node has none.
  virtual Vcon::WString DisplayText() const = 0;
  virtual bool HasDisplayText() const = 0;
  virtual bool IsItem() const { return false; }

  // Inserts the node's subtree into `tree` (groups only, in tree order), storing each group's item
  // handle. Iterative, so any depth of nesting is safe.
  void InsertIntoTree(plat::HWND tree);
  // The item description that shows the node with its open or its closed image.
  void MakeOpenItem(plat::TVITEMA& item) const;
  void MakeClosedItem(plat::TVITEMA& item) const;
  // Makes the node the selected item of the tree it was inserted into; nothing when it is in none.
  void SelectInTree() const;

  // Appends `child` as the last child; the node owns it from then on.
  void AddChild(qxNode* child);
  void SetImages(int32_t closedImage, int32_t openImage);

  const Vcon::String& Name() const { return name_; }
  int32_t ItemRecordId() const { return itemRecordId_; }
  qxNode* Parent() const { return parent_; }
  qxNode* FirstChild() const { return firstChild_; }
  qxNode* NextSibling() const { return next_; }
  plat::HTREEITEM TreeItem() const { return treeItem_; }
  plat::HWND Tree() const { return tree_; }
  int32_t ClosedImage() const { return closedImage_; }
  int32_t OpenImage() const { return openImage_; }
  // 0 for a top node.
  int32_t Depth() const { return depth_; }
  // The number of earlier siblings.
  int32_t Order() const { return order_; }
  // The tree (0 to 4) the node belongs to.
  int32_t TreeIndex() const { return treeIndex_; }
  // True when this node comes before `other` in tree order (trees in their order, each depth first).
  bool ComesBefore(const qxNode& other) const;
  // True when this node is `ancestor` or lies in its subtree.
  bool IsWithin(const qxNode& ancestor) const;

 protected:
  // Inserts this node alone under `parent` and answers where its children go; false keeps them out.
  virtual bool InsertSelf(plat::HWND tree, plat::HTREEITEM parent, plat::HTREEITEM& childParent);
  void SetTreeIndex(int32_t index) { treeIndex_ = index; }

  Vcon::String name_;
  int32_t itemRecordId_ = 0;
  plat::HTREEITEM treeItem_ = nullptr;
  plat::HWND tree_ = nullptr;

 private:
  void MakeItem(plat::TVITEMA& item, int32_t image) const;

  qxNode* next_ = nullptr;
  qxNode* parent_ = nullptr;
  qxNode* firstChild_ = nullptr;
  qxNode* lastChild_ = nullptr;
  int32_t childCount_ = 0;
  int32_t closedImage_;
  int32_t openImage_;
  int32_t depth_ = 0;
  int32_t order_ = 0;
  int32_t treeIndex_ = 0;
};
