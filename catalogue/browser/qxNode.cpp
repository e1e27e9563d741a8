#include "catalogue/browser/qxNode.h"

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

#include "platform/WindowApi.h"

qxNode::qxNode(int32_t closedImage, int32_t openImage) : closedImage_(closedImage), openImage_(openImage) {}

qxNode::~qxNode() {
  // Children are deleted from a work list rather than by recursion, so neither a long sibling chain
  // nor a deep nesting can exhaust the stack.
  std::vector<qxNode*> pending;
  for (qxNode* child = firstChild_; child != nullptr; child = child->next_) pending.push_back(child);
  firstChild_ = lastChild_ = nullptr;
  while (!pending.empty()) {
    qxNode* node = pending.back();
    pending.pop_back();
    for (qxNode* child = node->firstChild_; child != nullptr; child = child->next_) pending.push_back(child);
    node->firstChild_ = node->lastChild_ = nullptr;
    delete node;
  }
}

void qxNode::AppendToItemList(CatalogItemList&) const {}

bool qxNode::InsertSelf(plat::HWND, plat::HTREEITEM, plat::HTREEITEM&) { return false; }

void qxNode::InsertIntoTree(plat::HWND tree) {
  std::vector<std::pair<qxNode*, plat::HTREEITEM>> pending{{this, nullptr}};
  while (!pending.empty()) {
    auto [node, parent] = pending.back();
    pending.pop_back();
    plat::HTREEITEM childParent = nullptr;
    if (!node->InsertSelf(tree, parent, childParent)) continue;
    // The children are pushed in their order and that stretch turned round, so they come off the
    // stack, and are inserted, in their own order.
    const size_t first = pending.size();
    for (qxNode* child = node->firstChild_; child != nullptr; child = child->next_)
      pending.emplace_back(child, childParent);
    std::reverse(pending.begin() + ptrdiff_t(first), pending.end());
  }
}

void qxNode::MakeItem(plat::TVITEMA& item, int32_t image) const {
  item = plat::TVITEMA();
  item.mask = plat::TVIF_HANDLE | plat::TVIF_IMAGE | plat::TVIF_SELECTEDIMAGE;
  item.hItem = treeItem_;
  item.iImage = image;
  item.iSelectedImage = image;
}

void qxNode::MakeOpenItem(plat::TVITEMA& item) const { MakeItem(item, openImage_); }

void qxNode::MakeClosedItem(plat::TVITEMA& item) const { MakeItem(item, closedImage_); }

void qxNode::SelectInTree() const {
  if (tree_ == nullptr || treeItem_ == nullptr) return;
  plat::SendMessageA(tree_, plat::TVM_SELECTITEM, plat::TVGN_CARET,
                     reinterpret_cast<plat::LPARAM>(treeItem_));
}

void qxNode::AddChild(qxNode* child) {
  child->parent_ = this;
  child->next_ = nullptr;
  child->depth_ = depth_ + 1;
  child->order_ = childCount_++;
  child->treeIndex_ = treeIndex_;
  if (lastChild_ != nullptr) {
    lastChild_->next_ = child;
  } else {
    firstChild_ = child;
  }
  lastChild_ = child;
}

void qxNode::SetImages(int32_t closedImage, int32_t openImage) {
  closedImage_ = closedImage;
  openImage_ = openImage;
}

bool qxNode::ComesBefore(const qxNode& other) const {
  if (treeIndex_ != other.treeIndex_) return treeIndex_ < other.treeIndex_;
  const qxNode* a = this;
  const qxNode* b = &other;
  if (a == b) return false;
  while (a->depth_ > b->depth_) a = a->parent_;
  if (a == b) return false;  // `other` is an ancestor of this node
  while (b->depth_ > a->depth_) b = b->parent_;
  if (a == b) return true;  // this node is an ancestor of `other`
  while (a->parent_ != b->parent_) {
    a = a->parent_;
    b = b->parent_;
  }
  return a->order_ < b->order_;
}

bool qxNode::IsWithin(const qxNode& ancestor) const {
  if (treeIndex_ != ancestor.treeIndex_) return false;
  const qxNode* node = this;
  while (node != nullptr && node->depth_ > ancestor.depth_) node = node->parent_;
  return node == &ancestor;
}
