#include "controls/ppButtonField.h"

#include "framework/ppButton.h"
#include "framework/ppDataUnit.h"
#include "framework/ppEventHandler.h"

ppButtonField::ppButtonField(ppView* parent, int32_t pictureId, ppDataUnit* unit, const std::string& names)
    : ppField(parent, unit, names),
      pictureId_(pictureId),
      button_(new ppButton(this, nullptr, pictureId, 0, 0, ppButton::kPushKeepingState)) {}

int32_t ppButtonField::LayoutAt(int32_t top) {
  const plat::RECT& b = button_->GetFrame();
  const int32_t width = b.right - b.left, height = b.bottom - b.top;
  const int32_t y = top + margins_[1];
  SetFrame({margins_[0], y, margins_[0] + width, y + height});
  return y + height + margins_[3];
}

void ppButtonField::DoCommand(int32_t command, intptr_t parameter) {
  if (command != ppButton::kPressedCommand) return;
  BusyScope busy(this);
  if (auto* handler = dynamic_cast<ppEventHandler*>(DataUnit())) handler->DoCommand(command, parameter);
  BroadcastChange(-1);
}
