// The price-list rebuild a full refresh of the plan posts to the document window: when it runs, the
// main canvas (iElementHost::TopCanvas) rebuilds the whole price list. It holds nothing, so it is
// safe whatever went before it runs. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class qxWorktopSweeper : public ppSweeper {
 public:
  explicit qxWorktopSweeper(plat::HWND window) : ppSweeper(window) {}

  void Sweep() override;
};
