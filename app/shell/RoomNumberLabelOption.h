// The number-label switch of the plan: the room canvas's "ShowNumbers" property, the one switch
// the user has for showing unit numbers. Off while there is no room canvas.
#pragma once

#include "elements/topview/iNumberLabelOption.h"

class RoomNumberLabelOption : public iNumberLabelOption {
 public:
  bool IsOn() override;
};
