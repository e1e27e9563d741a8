// The deferred selection check of a canvas with a rotation panel (the editor and 3D canvases): posted
// once when the selection changes, however many changes (command 3083) arrive before the message loop
// turns, it brings the rotation panel's state up to date from the selection as it then stands. One is
// pending at most per canvas.
//
// Ownership: the queue deletes the sweeper after it ran (or when its window is gone). The canvas is
// not owned; a canvas that goes first calls Forget. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class zelvproSelectionSweeper : public ppSweeper {
 public:
  // What the sweeper brings up to date.
  class Canvas {
   public:
    virtual void UpdateRotatePanel() = 0;
    virtual void SweeperGone(zelvproSelectionSweeper* sweeper) = 0;

   protected:
    ~Canvas() = default;
  };

  zelvproSelectionSweeper(plat::HWND window, Canvas* canvas);
  ~zelvproSelectionSweeper() override;

  void Sweep() override;
  // The canvas is going: the sweeper then does nothing.
  void Forget() { canvas_ = nullptr; }

 private:
  Canvas* canvas_;
};
