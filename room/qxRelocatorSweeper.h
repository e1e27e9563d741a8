// The deferred shift of a plan after the room was moved back inside the margin: it moves the
// children of its canvas (the room canvas or the top-view plan) by the offset, rebuilds and redraws,
// and posts the door pass that seats the openings on their moved walls.
// User-interface thread only.
#pragma once

#include "foundation/ppVector3.h"
#include "framework/ppSweeper.h"

class zelvproElement;

class qxRelocatorSweeper : public ppSweeper {
 public:
  // Posts itself to `window`. `target` is not owned: when it runs, the sweeper shifts it only while
  // it is still one of the run's plan canvases (a canvas closed meanwhile is left alone).
  qxRelocatorSweeper(plat::HWND window, zelvproElement* target, const ppVector3& offset);

  void Sweep() override;

 private:
  plat::HWND window_;
  zelvproElement* target_;  // not owned
  ppVector3 offset_;        // millimetres
};
