#include "exchange/qxLayerSweeper.h"

#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"

qxLayerSweeper::qxLayerSweeper(zelvproWindow& window, int32_t viewId)
    : ppSweeper(window.GetHWND()), window_(window), viewId_(viewId) {}

void qxLayerSweeper::Sweep() {
  if (window_.CurrentViewId() == viewId_ || window_.ViewBar() == nullptr) return;
  window_.ViewBar()->SelectViewById(viewId_);
}
