// The process-wide context flags the element drawing reads while a 3D pane renders: bit 1 (value 2)
// draws element outlines (set from the pane's outline flag by picks, off-screen renders and the
// document pane's drawing), bit 2 (value 4) marks a render of the document's 3D view. Written by the
// user-interface thread; renders on the off-screen worker read it while that thread waits.
#pragma once

#include <cstdint>

extern uint32_t gContextFlags;

constexpr uint32_t kContextOutlines = 0x2;
constexpr uint32_t kContextDocumentView = 0x4;

// Sets or clears the outline bit.
void SetContextOutlines(bool on);
