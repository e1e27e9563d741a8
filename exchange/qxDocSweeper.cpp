#include "exchange/qxDocSweeper.h"

#include "canvas/window/zelvproWindow.h"
#include "framework/ppCollaborator.h"

qxDocSweeper::qxDocSweeper(zelvproWindow& window) : ppSweeper(window.GetHWND()), window_(window) {}

void qxDocSweeper::Sweep() {
  window_.RefreshRulers();
  window_.ShowDefaultConfigurator();
  ppCollaborator sender;
  sender.Broadcast(kDocumentChannel, kDocumentLoaded, 0);
}
