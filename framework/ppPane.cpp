#include "framework/ppPane.h"

ppPane::ppPane(ppView* supervisor, const plat::RECT& frame, int8_t horizontal, int8_t vertical)
    : ppView(supervisor, horizontal, vertical) {
  SetFrame(frame);
}
