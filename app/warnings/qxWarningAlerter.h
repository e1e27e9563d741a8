// Hides the warning window when a key is pressed or the left button goes down in the window it
// listens to (the document window or the 3D pane). User-interface thread.
#pragma once

#include "framework/ppAlerter.h"

class qxWarningWindow;

class qxWarningAlerter : public ppAlerter {
 public:
  qxWarningAlerter(ppWindow* listened, qxWarningWindow* warning) : ppAlerter(listened), warning_(warning) {}

  void KeyDown() override;
  void MouseDown() override;

 private:
  qxWarningWindow* warning_;  // not owned
};
