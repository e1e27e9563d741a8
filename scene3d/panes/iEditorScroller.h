// What the editor's scrolling view offers the off-screen drawing of its views and the switch between
// view modes: its three views (1 and 2 the plan views, 3 the 3D view), attaching and detaching them,
// the focus, and drawing a view from a view-settings record. The editor scroller implements it.
// User-interface thread.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

class ppDC;
class ppView;

// The parts of a view's settings record (thirty 32-bit words in the editor) that the off-screen
// drawing reads and changes: the frame in window pixels, the zoom, the two drawing scales and the
// origin offsets (drawing units).
struct qxViewSettings {
  plat::RECT frame{};
  float zoom = 1;
  float scale = 1;  // window pixels per drawing unit
  float scaleY = 1;
  float originX = 0;
  float originY = 0;
};

class iEditorScroller {
 public:
  virtual ~iEditorScroller() = default;

  // View 1, 2 or 3; null for any other number.
  virtual ppView* View(int32_t number) = 0;
  virtual void DetachView(ppView* view) = 0;
  // Inserts the view after the scroller's other subviews.
  virtual void InsertView(ppView* view) = 0;
  virtual void SetKeyTarget(ppView* view) = 0;
  virtual void SetCurrentView(ppView* view) = 0;
  // Passes the ruler flag to every subview of `view`.
  virtual void BroadcastRulers(ppView* view, int32_t flag) = 0;
  virtual void Invalidate() = 0;
  // The global plan option that view 2 is told of on entering mode 2004.
  virtual bool PlanOption() = 0;
  virtual int32_t CurrentMode() = 0;
  virtual void SetCurrentMode(int32_t mode) = 0;
  // Draws the view `settings` describe onto `dc` as the settings place it.
  virtual void DrawView(ppDC& dc, const qxViewSettings& settings) = 0;
};
