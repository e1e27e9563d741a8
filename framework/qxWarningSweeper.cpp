#include "framework/qxWarningSweeper.h"

#include "framework/iElementServices.h"
#include "framework/ppView.h"

namespace {

plat::HWND HostWindow() { return ConfiguratorHost() ? ConfiguratorHost()->GetHWND() : nullptr; }

constexpr int32_t kCorner = 24;  // pixels of the square the warning is placed against

}  // namespace

qxWarningSweeper::qxWarningSweeper(int32_t warning) : ppSweeper(HostWindow()), warning_(warning) {}

void qxWarningSweeper::Sweep() {
  ppView* host = ConfiguratorHost();
  if (!host) return;
  plat::RECT frame;
  host->GetWindowFrame(&frame);
  const plat::RECT corner{frame.right - kCorner, frame.top, frame.right, frame.top + kCorner};
  ShowPlacementWarning(host, PlacementWarningRect(corner), warning_, 1);
}
