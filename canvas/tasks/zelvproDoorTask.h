// Moving doors, room windows and structure elements: an opening lives in a wall, so while the pointer
// is over the room's floor the opening's outline is pulled onto the nearest straight wall face within
// reach (turned to the face, pushed back from the face's end so that its whole width stays on it) and
// two dimension lines give its distance to the face's ends. The release seats it there as a child of
// the wall's segment; a release where no wall was found puts it back. Undo and Redo swap each opening
// between its old and new segment, place and angle.
//
// The door's keyboard nudge presses and releases this task too; the room's repair pass (which seats
// every opening again after a relocation) nudges with it as well, and those nudges leave no undo
// entry.
//
// Units: plan millimetres (x right, y up, z down the screen), window pixels, radians.
// Ownership: as the mover (the task owns the holder chain, not the elements). User-interface thread.
#pragma once

#include "canvas/tasks/AnchorMarker.h"
#include "canvas/tasks/RecordedBand.h"
#include "canvas/tasks/zelvproMoverTask.h"
#include "foundation/VconString.h"
#include "foundation/ppVector3.h"

class qxWallElement;

class zelvproDoorTask : public zelvproMoverTask {
 public:
  // The cursors while dragging (program cursor resources): over a wall that takes the opening, and
  // where a release would be refused.
  static constexpr int32_t kTrackCursor = 145, kBlockedCursor = 140;
  // The reach of the anchor search over units that are not the floor, millimetres.
  static constexpr float kMarkerReach = 500.0f;
  // The anchor marker: its half size in pixels and its exclusive-or colour (percent).
  static constexpr int32_t kMarkerHalf = AnchorMarker::kHalf;
  static constexpr int32_t kMarkerRed = AnchorMarker::kRed;

  // Takes the chain over; `canvas` is the plan canvas the task runs in and posts itself to.
  zelvproDoorTask(qxViewHolder* holders, zelvproCanvas* canvas);
  ~zelvproDoorTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;
  // Rejected, or a repair nudge that keeps nothing.
  bool IsEmpty() override;
  // The pointer stands for the lead opening's first anchor from the press on.
  void Constrain(plat::POINT& point) override;
  void Track() override;
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;
  void SetTrackCursor() override;

  // ---- What the tests read.
  qxWallElement* CurrentWall() const { return currentWall_; }
  float WallAngle() const { return wallAngle_; }
  const ppVector3& WallPosition() const { return wallPosition_; }
  // The unit whose anchor the marker shows (only shown; the commit uses the wall alone).
  zelvproElement* MarkerTarget() const { return markerTarget_; }
  plat::POINT MarkerPoint() const { return marker_; }
  plat::POINT DoorDrawingOffset() const { return offset_; }
  // The two dimension texts drawn last: wall start to opening start, opening end to wall end.
  const Vcon::String& LeftText() const { return leftText_; }
  const Vcon::String& RightText() const { return rightText_; }
  int32_t CursorShown() const { return cursor_; }

 protected:
  zelvproElement* Lead() const;
  // The closing steps of Undo and Redo.
  void CloseSwap(bool undo);
  // True when a release has no wall to seat the openings on.
  bool NoWall() const { return currentWall_ == nullptr; }

 private:
  // True while the room's repair pass seats its openings again.
  bool RunByRepair() const;
  void DrawBand(ppDC& dc);

  zelvproCanvas* canvas_;
  plat::POINT offset_{};
  // The pixel the lead opening's first anchor is drawn at (the pointer, or its foot on the wall).
  plat::POINT drawn_{};
  float wallAngle_ = 0.0f;
  ppVector3 wallPosition_;
  qxWallElement* currentWall_ = nullptr;
  qxWallElement* previousWall_ = nullptr;
  zelvproElement* markerTarget_ = nullptr;
  plat::POINT marker_{};
  ppVector3 dimension_[4];
  Vcon::String leftText_, rightText_;
  RecordedBand band_;
  // Where the marker stands on screen, while it does.
  AnchorMarker anchorMarker_;
  bool transient_ = false;
  int32_t cursor_ = 0;
};
