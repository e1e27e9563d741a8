#include "catalogue/browser/qxTopNode.h"

qxTopNode::qxTopNode(int32_t treeIndex) {
  SetImages(kTopLevelClosedImage, kTopLevelOpenImage);
  SetTreeIndex(treeIndex);
}

bool qxTopNode::InsertSelf(plat::HWND, plat::HTREEITEM, plat::HTREEITEM& childParent) {
  childParent = nullptr;  // the children stand at the tree's root level
  return true;
}
