// The mouse task that drags one end of a plan wall piece while the other end stays: on release the
// piece is stretched and turned so that the dragged end lies under the pointer. While dragging, an
// exclusive-or line runs from the fixed end to the pointer; Shift turns it to the nearest multiple of
// 45 degrees, and pointer moves under 10 pixels on both axes are ignored unless Ctrl is held (the
// release point always counts). A drag that changed the piece is posted on the piece's canvas as
// one undo entry; undo and redo give back the piece's outline, snap entries, position and angle
// exactly as before and after the drag.
//
// Ownership: the piece (view and target) is not owned; the history the task is posted on owns it.
// User-interface thread only.
#pragma once

#include "canvas/tasks/zelvproPointerTask.h"
#include "room/zelvproWall.h"

class zelvproWallSideDragger : public zelvproPointerTask {
 public:
  static constexpr int32_t kStep = 10;  // pixels

  // `side` 0 drags the start (snap entry 0), 1 the far end (snap entry 1).
  zelvproWallSideDragger(zelvproWall* wall, int32_t side);

  void Do() override;
  void Undo() override;
  void Redo() override;
  // True until a Do that changed the piece: the mouse-up then drops the task.
  bool IsEmpty() override { return !kept_; }
  void PreTrack(plat::POINT* point) override;
  // The press point becomes the dragged end's pixel.
  void Constrain(plat::POINT& point) override;
  void Track() override {}
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override { DrawFeedback(x, y); }
  ppMouseTask* MouseUp(plat::POINT* point) override;

  const plat::POINT& FixedEnd() const { return fixed_; }

 private:
  // Snap entry `index`'s point in window pixels.
  plat::POINT EndPixel(int32_t index) const;

  zelvproWall* wall_;
  int32_t side_;
  plat::POINT fixed_{};
  zelvproWall::Snapshot before_, after_;
  bool kept_ = false;
  bool releasing_ = false;
};
