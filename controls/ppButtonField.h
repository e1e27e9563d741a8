// One picture button in a configurator panel. Pressing it tells the field's data unit, when that can
// take commands, and broadcasts the field's message names, so that the panes listening to them react.
// It holds no value. The button is a subview owned by the field. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "controls/ppField.h"

class ppButton;

class ppButtonField : public ppField {
 public:
  // `pictureId`: the button's pictures in the application's table (state pictures follow it);
  // `unit` (may be null) passes to the field; `names` as for ppField.
  ppButtonField(ppView* parent, int32_t pictureId, ppDataUnit* unit, const std::string& names);

  ppButton* Button() const { return button_; }
  int32_t PictureId() const { return pictureId_; }

  // Takes the button's press (5000); every other command stops here.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // Takes the button's height even while hidden.
  int32_t LayoutAt(int32_t top) override;
  // The button's tool tip is not registered.
  void AddToolTips(uint32_t) override {}
  void RemoveToolTips() override {}

 private:
  int32_t pictureId_;
  ppButton* button_;  // a subview
};
