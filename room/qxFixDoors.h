// The deferred door pass after the room moved: the room canvas seats every door and window on its
// wall again. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class qxFixDoors : public ppSweeper {
 public:
  // Posts itself to `window`.
  explicit qxFixDoors(plat::HWND window);

  // The room canvas of the moment (none: nothing) runs its door pass.
  void Sweep() override;
};
