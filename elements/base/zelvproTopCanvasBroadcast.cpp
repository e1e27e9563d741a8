// The top canvas's calls handed on to its children: the tag to the selected ones, the drawing
// export's call to all.
#include "elements/base/zelvproTopCanvas.h"

void zelvproTopCanvas::SetTagTree(int32_t value) {
  const ppViewList& children = Subviews();
  for (int32_t i = children.Count() - 1; i >= 0; --i) {
    auto* child = dynamic_cast<zelvproElement*>(children.At(i));
    if (child != nullptr && child->IsSelected()) child->SetTagTree(value);
  }
}

void zelvproTopCanvas::ExportHook(intptr_t value) {
  const ppViewList& children = Subviews();
  for (int32_t i = 0; i < children.Count(); ++i)
    if (auto* child = dynamic_cast<zelvproElement*>(children.At(i))) child->ExportHook(value);
}
