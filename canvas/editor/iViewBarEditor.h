// What the view bar asks of the plan editor: to apply the bar's plan scale, to refresh its rulers, to
// follow a view switch, and the handler that becomes the document window's key target in the plan
// views and hears the item list being shown (command 2012). The editor implements it and sets itself
// on the bar (zelvproViewBar::SetEditor), clearing it before it goes. User-interface thread only.
#pragma once

#include <cstdint>

class ppEventHandler;

class iViewBarEditor {
 public:
  virtual ~iViewBarEditor() = default;
  // Reads the plan scale (millimetres per pixel) from the host's layer palette and applies it to the
  // scroll range, the scroll position and the rulers.
  virtual void ApplyZoom() = 0;
  virtual void RefreshRulers() = 0;
  // Called on every view switch with the view ids before and after it.
  virtual void ChangeViewMode(int32_t previous, int32_t current) = 0;
  // Not owned; never null.
  virtual ppEventHandler* CommandTarget() = 0;
};
