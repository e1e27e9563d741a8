#include "framework/zelvproTopViewElementCollaborator.h"

#include "database/iProperty.h"
#include "framework/iElementServices.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppView.h"

zelvproTopViewElementCollaborator::zelvproTopViewElementCollaborator(iProperty* element)
    : ppCollaborator(nullptr), element_(element) {
  SubscribeByNames("ShowTagDialog");
  SubscribeByNames("ShowExtrasDialog");
  SubscribeByNames(kWarningButtonMessage);
}

void zelvproTopViewElementCollaborator::ReceiveMessage(ppCollaborator*, int32_t, int32_t id,
                                                       intptr_t parameter) {
  if (id == ppSwitchBoard::MessageIdByName("ShowExtrasDialog", true)) {
    ShowExtras();
    return;
  }
  if (id != ppSwitchBoard::MessageIdByName(kWarningButtonMessage, true)) return;
  auto* button = reinterpret_cast<ppView*>(parameter);
  if (!button) return;
  plat::RECT frame;
  button->GetWindowFrame(&frame);
  int32_t warning = 0;
  if (element_) {
    const int32_t index = element_->IndexOf(Vcon::String("Warning"));
    if (index >= 0) warning = element_->GetValue(index).ToInt();
  }
  ShowPlacementWarning(button, PlacementWarningRect(frame), warning, 1);
}

void zelvproTopViewElementCollaborator::ShowExtras() {
  // The element opens its extras dialog when its "ShowExtras" is written (any value).
  if (element_ == nullptr) return;
  const int32_t index = element_->IndexOf(Vcon::String("ShowExtras"));
  if (index >= 0) element_->SetValue(index, ppParameter(1));
}

std::string zelvproTopViewElementCollaborator::GetName() { return "TopViewElementModulePanel"; }
