// The small square where the plan's two rulers meet. A press in it starts a ruler task, which draws a
// cross-hair over the plan while the mouse moves and on release moves both rulers' zero point there.
// Other commands pass on to the vertical ruler, then to the horizontal one.
//
// The pane keeps no pointer to the task it started: the task finishes itself at the release (it
// leaves nothing to undo), and the mouse tracking owns it until then. The rulers are the editor's.
// User-interface thread only.
#pragma once

#include "framework/ppView.h"

class zelvproRuler;

class zelvproRulerPane : public ppView {
 public:
  static constexpr int32_t kPicture = 1202;

  // The frame grows by one pixel to the right and down. Neither ruler is owned.
  zelvproRulerPane(ppView* supervisor, const plat::RECT& frame, zelvproRuler* horizontal,
                   zelvproRuler* vertical);

  // 3057 (a plat::POINT* in window pixels): both rulers take one zero point, its x from the
  // horizontal ruler and its y from the vertical one.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void DrawContent(ppDC& dc) override;
  bool MouseDown(int32_t x, int32_t y) override;

 private:
  zelvproRuler* horizontal_;  // not owned
  zelvproRuler* vertical_;    // not owned
};
