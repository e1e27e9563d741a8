// The data unit of a popup selector: besides the chosen value it lists the items to choose from,
// each shown in up to four columns. Column 1 is the value written into the bound property when an
// item is chosen, columns 2 and 3 its texts and column 4 its picture.
#pragma once

#include <cstdint>

#include "framework/ppListQuery.h"

// The tree node type of the tree selectors; only tree queries hand one out.
class ppTreeViewNode;

class ppSelectorQuery : public ppListQuery {
 public:
  virtual int32_t GetItemCount() = 0;
  virtual void GetColumn1(int32_t item, ppParameter& out) = 0;
  virtual void GetColumn2(int32_t item, ppParameter& out) = 0;
  virtual void GetColumn3(int32_t item, ppParameter& out) = 0;
  virtual void GetColumn4(int32_t item, ppParameter& out) = 0;
  // The root of the items when they form a tree; null for a flat list.
  virtual ppTreeViewNode* GetTreeRoot() { return nullptr; }
  // Takes back the last change made to the bound object (a previewed choice); nothing by default.
  virtual void UndoLast() {}
};
