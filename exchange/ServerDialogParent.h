#pragma once
// The window a server dialog belongs to: the window of the view its caller passes, or null (the
// window active when the dialog runs) without one.

#include "platform/WindowTypes.h"

class ppView;

plat::HWND ServerDialogParent(ppView* view);
