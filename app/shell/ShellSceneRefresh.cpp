#include "app/shell/ShellSceneRefresh.h"

#include "canvas/window/zelvproWindow.h"

void ShellSceneRefresh::RefreshRulersAndRepaint() {
  if (window_ == nullptr) return;
  window_->RefreshRulers();
  if (ppView* scene = window_->Made3DCanvas()) scene->Invalidate();
}

void ShellSceneRefresh::ProcessPendingRedraw() {
  if (window_ == nullptr) return;
  window_->EditorRefresh();
  if (ppView* scene = window_->Made3DCanvas()) scene->Invalidate();
}
