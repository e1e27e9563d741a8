// The deferred update of a plan canvas: posted by zelvproCanvas::RequestUpdate, it runs the canvas's
// update once the requests of the current burst have all been made, and clears the program-wide
// update flag. A canvas that goes first tells its pending sweeper to forget it; a sweeper deleted
// unrun (its window gone) tells its canvas and clears the flag. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class zelvproCanvas;

class zelvproCanvasUpdateSweeper : public ppSweeper {
 public:
  // Posts itself to `window` for `canvas` (not owned); with `configuratorFocus` the configurator takes
  // the keyboard focus after the update, else the canvas (or the 3D pane in the 3D view).
  zelvproCanvasUpdateSweeper(plat::HWND window, zelvproCanvas* canvas, bool configuratorFocus);
  ~zelvproCanvasUpdateSweeper() override;

  void Sweep() override;
  void Forget() { canvas_ = nullptr; }

 private:
  zelvproCanvas* canvas_;  // not owned; null once the canvas went
  bool configuratorFocus_;
  bool ran_ = false;
};
