// A view around the platform's tree control, filled from a tree of ppTreeViewNode (the root itself
// is not shown) and reporting each selection to a data unit as the node's identity. The control
// sits in a container window (class "ppTreeView") that hears its notifications; both windows and the
// image list (pictures 3501 to 3505) belong to the view. The node tree and the data unit do not: the
// view must not outlive them. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppView.h"
#include "platform/ImageList.h"
#include "platform/TreeView.h"

class ppDataUnit;
class ppTreeViewNode;

class ppTreeView : public ppView {
 public:
  static constexpr const char* kClassName = "ppTreeView";
  static constexpr const char* kProperty = "treeView";
  static constexpr plat::DWORD kTreeStyle = 0x40018422;
  static constexpr int32_t kFirstImage = 3501, kImageCount = 5;
  // Image indexes: a top-level node and the same selected; a deeper node and the same selected.
  static constexpr int32_t kTopImage = 2, kTopSelectedImage = 3, kDeepImage = 0, kDeepSelectedImage = 1;

  ppTreeView(ppView* supervisor, const plat::RECT& frame, ppDataUnit* unit);
  ~ppTreeView() override;

  // An image list of the pictures `first` .. `first` + `count` - 1 (16 by 16), missing ones left out;
  // null when the list cannot be made.
  virtual plat::HIMAGELIST MakeImageList(int32_t first, int32_t count);
  // Makes `node` current and writes its identity into the data unit.
  virtual void NodeSelected(ppTreeViewNode* node);

  void SetRoot(ppTreeViewNode* root);
  void Show() override;
  void Hide() override;
  void DrawContent(ppDC& dc) override;
  void SupervisorResized(int32_t, int32_t) override {}

  plat::HWND Control() const { return control_; }
  plat::HWND Container() const { return container_; }
  ppTreeViewNode* CurrentNode() const { return current_; }
  plat::HIMAGELIST ImageList() const { return images_; }

 protected:
  ppDataUnit* Unit() const { return unit_; }

 private:
  static plat::LRESULT ContainerProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                     plat::LPARAM lParam);
  static plat::LRESULT ControlProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                   plat::LPARAM lParam);
  void Insert(ppTreeViewNode* node, plat::HTREEITEM parent);
  plat::LRESULT Notify(const plat::NMHDR* header);

  plat::HWND control_ = nullptr;
  plat::WNDPROC controlProc_ = nullptr;  // the control's own procedure, called for everything else
  ppTreeViewNode* root_ = nullptr;       // not owned
  ppTreeViewNode* current_ = nullptr;    // not owned
  plat::HWND container_ = nullptr;
  plat::HIMAGELIST images_ = nullptr;  // owned
  ppDataUnit* unit_;                   // not owned
};
