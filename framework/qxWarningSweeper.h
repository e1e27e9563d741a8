#pragma once
// Deferred showing of a placement warning beside the configurator panels: posted to the configurator
// host's window, it shows the warning at the host's top right corner once the queue reaches it.

#include <cstdint>

#include "framework/ppSweeper.h"

class qxWarningSweeper : public ppSweeper {
 public:
  explicit qxWarningSweeper(int32_t warning);
  void Sweep() override;
  int32_t Warning() const { return warning_; }

 private:
  int32_t warning_;
};
