// The base of the plan canvas's mouse tasks: the framework's mouse task plus an optional feedback
// region (window pixels, normally the outline of the selection being worked on) that follows the
// mouse while the button is down. The region is drawn in exclusive-or, so a second drawing at the
// same place erases it: between the press and the release it is on screen exactly once.
//
// Ownership: the task owns its feedback region; the release and the destructor delete it.
// User-interface thread only.
#pragma once

#include <memory>

#include "framework/ppMouseTask.h"
#include "framework/ppRegion.h"

class zelvproMouseTask : public ppMouseTask {
 public:
  zelvproMouseTask(ppView* view, void* target);
  ~zelvproMouseTask() override;

  // Runs without a feedback region (a region still held is deleted), then starts as the framework
  // does: click deadline, tracking cursor, press.
  bool Start(int32_t x, int32_t y) override;
  // Takes `region` over as the feedback region and starts the same way at (x, y).
  virtual bool StartWithElement(int32_t x, int32_t y, std::unique_ptr<ppRegion> region);

  // The last erase, then the region goes.
  void Release(plat::POINT* point) override;
  // Moves the region by the mouse's step.
  void Track() override;
  // Frames the region in grey 25 % exclusive-or, clipped to the supervisor's visible part; the point
  // is not used (Track already put the region there).
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;
  // The default cursor of the application's table.
  void SetTrackCursor() override;
  // Reserved for the subclasses; does nothing here.
  virtual void ElementHook() {}

  const ppRegion* FeedbackRegion() const { return feedback_.get(); }

 private:
  std::unique_ptr<ppRegion> feedback_;
};
