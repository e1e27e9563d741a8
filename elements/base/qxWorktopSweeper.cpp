#include "elements/base/qxWorktopSweeper.h"

#include "elements/base/iElementHost.h"
#include "elements/base/zelvproTopCanvas.h"

void qxWorktopSweeper::Sweep() {
  if (auto* canvas = dynamic_cast<zelvproTopCanvas*>(iElementHost::Current().TopCanvas()))
    canvas->RecalculatePriceList();
}
