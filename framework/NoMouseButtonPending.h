#pragma once
// True while no mouse-button message waits in the queue; the tracking loops of buttons and drags run
// while it holds. The queue is only looked at, never changed.
bool NoMouseButtonPending();
