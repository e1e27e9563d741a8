#pragma once
// Message boxes drawn as real dialogs: the icon the style names, the text wrapped to a readable width,
// and the buttons of the style (OK; OK and Cancel; Abort, Retry and Ignore; Yes, No and Cancel; Yes
// and No; Retry and Cancel) with the MB_DEFBUTTONn default. The box is modal to its owner; a task-modal
// box without an owner disables every other top-level window while it is up; MB_TOPMOST and
// MB_SYSTEMMODAL keep it above other windows. Esc and the close box answer IDCANCEL when the box has a
// Cancel button, IDOK for a box with only OK, and do nothing otherwise.
//
// The box log (MessageBox.h) stays the record of what was shown; this file only draws and runs a box.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Dialog.h"

namespace plat {

// Runs the box and answers the button pressed (IDOK ...). With `scripted`, the box comes up, paints,
// and then presses that button itself, as a test's queued answer would; an answer that is not one of
// the box's buttons presses the default button instead. Must run on the user-interface thread.
int32_t RunMessageBoxDialog(HWND owner, const std::u16string& text, const std::u16string& caption,
                            uint32_t style, std::optional<int32_t> scripted = std::nullopt);

// Makes MessageBoxA/W draw their boxes with RunMessageBoxDialog (on the thread that calls this; boxes
// from other threads are still answered at once), or stops it.
void UseDrawnMessageBoxes(bool on);

// The template the box would use (for tests and for a dump of its picture).
DialogTemplate MessageBoxTemplate(const std::u16string& text, const std::u16string& caption, uint32_t style);

}  // namespace plat
