// Posted to the document window after a document whose last view was stored loaded: switches the
// window to that view (2012 item list, 2024 3D, ...) unless it is shown already. The queue owns it
// once posted. User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppSweeper.h"

class zelvproWindow;

class qxLayerSweeper : public ppSweeper {
 public:
  qxLayerSweeper(zelvproWindow& window, int32_t viewId);
  void Sweep() override;

 private:
  zelvproWindow& window_;
  int32_t viewId_;
};
