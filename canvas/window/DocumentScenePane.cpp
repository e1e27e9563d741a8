#include "canvas/window/DocumentScenePane.h"

#include "canvas/view3d/zelvpro3DCanvas.h"
#include "scene3d/panes/zelvpro3DPane.h"

zelvpro3DPane* DocumentScenePane::Pane() const {
  auto* canvas = dynamic_cast<zelvpro3DCanvas*>(madeCanvas_ ? madeCanvas_() : nullptr);
  return canvas != nullptr ? canvas->Pane() : nullptr;
}

void DocumentScenePane::SetSceneOutOfDate() {
  if (zelvpro3DPane* pane = Pane()) pane->SetPendingUpdate(true);
}

void DocumentScenePane::Invalidate() {
  if (zelvpro3DPane* pane = Pane()) pane->Invalidate();
}

plat::HWND DocumentScenePane::Window() const {
  zelvpro3DPane* pane = Pane();
  return pane != nullptr ? pane->GetHWND() : nullptr;
}
