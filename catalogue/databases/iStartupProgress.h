// The start-up window's progress line: the application's about and splash windows implement it (the
// splash window shows the text, the plain about window ignores it). Catalogue databases report what
// they do while they open through the global start-up window below.
#pragma once

#include "foundation/VconString.h"

class iStartupProgress {
 public:
  virtual ~iStartupProgress() = default;
  virtual void SetProgressText(const Vcon::WString& text) = 0;
};

// The start-up window while the program starts, else null (nothing is shown). Not owned; set and read
// on the user-interface thread only.
extern iStartupProgress* gStartupWindow;

// Hands `text` to the start-up window when there is one.
void ShowStartupProgress(const Vcon::WString& text);
