// What the selector pop-ups ask of the 3D pane, which lies above the controls: start-up installs the
// program's one (ppSelectorDialog::InstallSceneRefresh); without it the commands do nothing.
// User-interface thread only.
#pragma once

class iSelectorSceneRefresh {
 public:
  virtual ~iSelectorSceneRefresh() = default;
  // Brings the 3D pane's rulers up to date and repaints the pane.
  virtual void RefreshRulersAndRepaint() = 0;
  // Has the 3D pane process its pending element redraw, then repaints it.
  virtual void ProcessPendingRedraw() = 0;
};
