// The mouse task of the room editor's Draw Walls mode: a press on the room plan starts a new wall at
// the press point, the drag sets its far end and the release adds the wall to the room as one
// undoable step, after which the canvas rebuilds the corners, side faces and floors and the 3D view.
// Each end joins a corner of the outline within reach of the mouse, else the centre line of the wall
// whose body (faces included) lies within reach; a free far end lies at the dragged length cut down
// to the wall-length grid (kept as it is with Ctrl held). While the mouse moves the new wall is drawn
// in exclusive-or with its length. Undo takes the wall off the plan and rebuilds the room; redo puts
// it back.
//
// Ownership: the canvas is not owned (it is the task's target). The new wall is made at the press
// and belongs to the task until the release puts it on the plan, and again while the step is undone.
// The task keeps the wall (ppTask::Keep): a wall destroyed on the plan (the room replaced by another
// shape) takes the task off the history, and the task lets go of it without deleting it.
// User-interface thread only.
#pragma once

#include "foundation/ppVector3.h"
#include "framework/ppMouseTask.h"

class qxNewRoomCanvas;
class qxRoomSegment;

class qxDrawWallTask : public ppMouseTask {
 public:
  // A drag shorter than this (millimetres) draws no wall.
  static constexpr float kShortest = 50.0f;
  // An end joins a corner, or a wall whose body is, this near the mouse (pixels).
  static constexpr float kCornerReach = 8.0f;

  explicit qxDrawWallTask(qxNewRoomCanvas* canvas);
  ~qxDrawWallTask() override;

  // The press: the wall's start is the joined point under (x, y).
  void Press(int32_t x, int32_t y) override;
  void PreTrack(plat::POINT* /*point*/) override {}
  // The new wall from its start to the end for the window point (x, y), in exclusive-or; drawing the
  // same step again erases it.
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override { DrawFeedback(x, y); }
  // The release: the wall goes on the plan unless it is shorter than kShortest.
  void Do() override;
  void Undo() override;
  void Redo() override;
  // After Do, true when no wall was drawn.
  bool IsEmpty() override { return done_ && !placed_; }

  // The new wall (null once the task let it go with a click or a too short drag).
  qxRoomSegment* Wall() const { return wall_; }
  const ppVector3& WallStart() const { return start_; }
  // The far end for the window point (x, y).
  ppVector3 EndFor(int32_t x, int32_t y) const;

 private:
  // The plan point of window point (x, y), moved onto a corner or a wall centre line within reach;
  // `joined` tells whether it was.
  ppVector3 JoinedPoint(int32_t x, int32_t y, bool& joined) const;
  // Puts the wall on the plan (or takes it off) and rebuilds the room.
  void Place(bool on);

  qxNewRoomCanvas* canvas_;
  qxRoomSegment* wall_ = nullptr;  // owned while not on the plan
  ppVector3 start_;
  bool done_ = false;
  bool placed_ = false;
};
