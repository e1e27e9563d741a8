#pragma once
// The plain view whose frame is given when it is made; scroll panes, scrollers, list views and scroll
// bars derive from it.

#include "framework/ppView.h"

class ppPane : public ppView {
 public:
  ppPane(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical);
};
