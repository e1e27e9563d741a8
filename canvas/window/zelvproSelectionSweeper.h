// The deferred selection check of the editor canvas: posted once when the selection changes, however
// many changes (command 3083) arrive before the message loop turns, it brings the rotation panel's
// state up to date from the selection as it then stands. One is pending at most per canvas.
//
// Ownership: the queue deletes the sweeper after it ran (or when its window is gone). The canvas is
// not owned; a canvas that goes first calls Forget. User-interface thread only.
#pragma once

#include "framework/ppSweeper.h"

class zelvproEditorCanvas;

class zelvproSelectionSweeper : public ppSweeper {
 public:
  zelvproSelectionSweeper(plat::HWND window, zelvproEditorCanvas* canvas);
  ~zelvproSelectionSweeper() override;

  void Sweep() override;
  // The canvas is going: the sweeper then does nothing.
  void Forget() { canvas_ = nullptr; }

 private:
  zelvproEditorCanvas* canvas_;
};
