// The one entry to the placement-warning window: shows the picture of warning `warningNumber` beside
// `anchor` (window coordinates of `view`'s window). The first call makes the window (hidden) over the
// view's window and the two alerters that hide it on a key or left click: one on the document window
// (the element host's, else the view's own window), one on the current document 3D pane. Later calls
// move, refill and show the same window; alerters whose window has gone are made again on the current
// ones. `blink` 1 blinks and starts the 5-second close. User-interface thread.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

class ppView;
class ppWindow;
class qxWarningWindow;

void ShowWarning(ppView* view, const plat::RECT& anchor, int32_t warningNumber, int32_t blink);

// The run's warning window; null before the first warning.
qxWarningWindow* WarningWindow();
// The windows the two alerters listen to; null when an alerter has none.
ppWindow* WarningDocumentWindow();
ppWindow* WarningScenePaneWindow();
// Destroys the warning window, its alerters and its wait thread (program end; the desktop's reset).
void DestroyWarningWindow();

// Start-up, once the program folder is the current folder: reads the placement-warning rules and
// makes ShowWarning the element panels' warning presenter.
void StartPlacementWarnings();
