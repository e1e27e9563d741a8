// Whether the top canvas is offering a mouse press to its elements a first time. The canvas sets it
// before the first offer and clears it before it offers the same press a second time, so that an
// element that yields to others (the room's floor) takes a press only when no other element has.
// Off until a canvas sets it.
#pragma once

bool FirstPressPass();
void SetFirstPressPass(bool on);
