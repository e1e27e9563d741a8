// A mouse task's rubber band kept as a recording: the band is drawn into a recorder, then replayed in
// exclusive-or onto the view's window; replaying it once more erases it. Recording first matters: a
// band drawn straight onto the window can differ from its replay by a pixel (arcs, text), and
// exclusive-or would keep that difference on screen.
//
// Ownership: owns the recorded shape; the view and the canvas passed in are not owned.
// User-interface thread only.
#pragma once

#include <functional>

#include "framework/ppShape.h"

class ppDC;
class ppView;

class RecordedBand {
 public:
  // Records what `draw` puts into a device context on `view`'s window, then replays it (the first
  // replay draws), clipped to what `canvas` shows when there is one.
  void Draw(ppView* view, ppView* canvas, const std::function<void(ppDC&)>& draw);
  // Replays the band once more (erasing it) and forgets the recording.
  void Erase(ppView* view, ppView* canvas);
  const ppShape& Shape() const { return shape_; }

 private:
  // Draws the recording in exclusive-or (drawing it twice erases it); nothing before a recording.
  void Replay(ppView* view, ppView* canvas) const;

  ppShape shape_;
};
