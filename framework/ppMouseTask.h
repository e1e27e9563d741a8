#pragma once
// A task that tracks the left mouse button inside one view: it captures the mouse at the press, draws
// exclusive-or feedback while the pointer moves, and at the release tells a click from a drag. Points
// are window pixels of the view's window; time is in ticks of 1/60 second.

#include <cstdint>

#include "framework/ppTask.h"
#include "platform/GdiTypes.h"

class ppView;

class ppMouseTask : public ppTask {
 public:
  // A press and release closer together than this many ticks (200 ms) is a click.
  static constexpr uint32_t kClickTicks = 12;

  ppMouseTask(ppView* view, void* target);

  virtual bool Start(int32_t x, int32_t y);
  virtual void Press(int32_t x, int32_t y);
  virtual void Move(plat::POINT* point);
  virtual void Release(plat::POINT* point);
  virtual void PreTrack(plat::POINT* point);
  virtual void Constrain(plat::POINT& point);
  virtual void Track();
  virtual void DrawFeedback(int32_t x, int32_t y);
  virtual void EraseFeedback(int32_t x, int32_t y);
  virtual void SetTrackCursor();
  // The mouse task that holds the mouse next; null ends the tracking.
  virtual ppMouseTask* MouseUp(plat::POINT* point);
  virtual ppMouseTask* MouseDown(plat::POINT* point);
  virtual void ContextMenu(plat::POINT* point);
  virtual void Hook();
  virtual void Click();

  // The layer's tick count in 1/60 second (wraps with the 32-bit product).
  static uint32_t GetTicks();

  ppView* View() const { return view_; }
  const plat::POINT& StartPoint() const { return start_; }
  const plat::POINT& Previous() const { return previous_; }
  const plat::POINT& Current() const { return current_; }
  void SetFeedbackOffset(int32_t dx, int32_t dy) { offsetX_ = dx, offsetY_ = dy; }
  // 0 after the press: the release is never taken for a click (tasks driven by the program).
  void SetClickDeadline(uint32_t ticks) { clickDeadline_ = ticks; }

 private:
  ppView* view_;
  plat::POINT start_;
  plat::POINT previous_;
  plat::POINT current_;
  uint32_t clickDeadline_;
  int32_t offsetX_ = 0;
  int32_t offsetY_ = 0;
};
