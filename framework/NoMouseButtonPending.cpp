#include "framework/NoMouseButtonPending.h"

#include "platform/WindowApi.h"

bool NoMouseButtonPending() { return plat::GetQueueStatus(plat::QS_MOUSEBUTTON) == 0; }
