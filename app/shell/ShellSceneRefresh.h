// The selector pop-ups' way to the 3D pane: the document window's rulers and its 3D canvas.
// Start-up installs one for the run (ppSelectorDialog::InstallSceneRefresh).
// User-interface thread only.
#pragma once

#include "controls/iSelectorSceneRefresh.h"

class zelvproWindow;

class ShellSceneRefresh : public iSelectorSceneRefresh {
 public:
  // `window`: the document window, not owned; null makes both operations do nothing.
  explicit ShellSceneRefresh(zelvproWindow* window) : window_(window) {}

  void RefreshRulersAndRepaint() override;
  void ProcessPendingRedraw() override;

 private:
  zelvproWindow* window_;
};
