#include "exchange/ServerDialogParent.h"

#include "framework/ppView.h"

plat::HWND ServerDialogParent(ppView* view) { return view != nullptr ? view->GetHWND() : nullptr; }
