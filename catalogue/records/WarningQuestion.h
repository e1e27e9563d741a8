// The question asked before unsaved changes would be lost (saving, opening, a new document, the
// document server): Yes saves, No discards, Cancel (or Escape) keeps the document as it is.
// User-interface thread only.
#pragma once

#include <cstdint>

// Runs the Yes/No/Cancel question modally over the application's frame window (the active window
// when the application has none) with texts 5050 (caption), 5049 (message), 1002 (Yes), 1003 (No)
// and 1001 (Cancel) of the current language. Answers 6 for Yes, 7 for No, 2 for Cancel.
int32_t ShowWarningQuestion();
