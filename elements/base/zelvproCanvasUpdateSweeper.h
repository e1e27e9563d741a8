// The deferred update of a plan canvas: posted by zelvproCanvas::ScheduleUpdate, it runs the
// canvas's update once the requests of the current burst have all been made. A canvas that goes
// first tells its pending sweeper to forget it; a sweeper deleted unrun (its window gone) tells its
// canvas that nothing is pending any more. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class zelvproCanvas;

class zelvproCanvasUpdateSweeper : public ppSweeper {
 public:
  // Posts itself to `window` for `canvas` (not owned).
  zelvproCanvasUpdateSweeper(plat::HWND window, zelvproCanvas* canvas);
  ~zelvproCanvasUpdateSweeper() override;

  void Sweep() override;
  void Forget() { canvas_ = nullptr; }

 private:
  zelvproCanvas* canvas_;  // not owned; null once the canvas went
};
