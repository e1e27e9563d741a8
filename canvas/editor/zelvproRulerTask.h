// The mouse task of the rulers' corner square: a black exclusive-or cross-hair across the plan's
// scroller follows the pointer; a drag's release sends the corner square the zero-point command with
// the pointer's place. It leaves nothing to undo, so the tracking finishes (deletes) it at the release.
// User-interface thread only.
#pragma once

#include "framework/ppMouseTask.h"

class zelvproRulerTask : public ppMouseTask {
 public:
  // `target` takes the command; the cross-hair is drawn on `plan`'s window frame. Neither is owned.
  zelvproRulerTask(ppView* view, ppView* target, ppView* plan);

  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;
  void Do() override;
  bool IsEmpty() override { return true; }

 private:
  ppView* target_;  // not owned
  ppView* plan_;    // not owned
};
