#include "app/shell/ShellSceneRefresh.h"

#include "canvas/window/zelvproWindow.h"

void ShellSceneRefresh::RefreshRulersAndRepaint() {
  if (window_ == nullptr) return;
  window_->RefreshRulers();
  if (window_->Canvas3DView() != nullptr) window_->Canvas3DView()->Invalidate();
}

void ShellSceneRefresh::ProcessPendingRedraw() {
  if (window_ == nullptr) return;
  window_->EditorRefresh();
  if (window_->Canvas3DView() != nullptr) window_->Canvas3DView()->Invalidate();
}
