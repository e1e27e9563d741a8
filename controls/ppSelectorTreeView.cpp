#include "controls/ppSelectorTreeView.h"

#include "controls/ppPopupSelector.h"
#include "controls/ppSelectorDialog.h"
#include "controls/ppTreeViewNode.h"

void ppSelectorTreeView::NodeSelected(ppTreeViewNode* node) {
  auto* dialog = dynamic_cast<ppSelectorDialog*>(GetSupervisor());
  ppPopupSelector* owner = dialog != nullptr ? dialog->Owner() : nullptr;
  if (owner == nullptr || node == nullptr) return;
  owner->SetValue(ppParameter(node->Identity()));
}
