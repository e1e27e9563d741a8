// The mouse task that bends a round wall: pressed on the wall's arc handle, it refits the arc through
// the mouse point between the wall's two ends while the mouse moves, the arc's height over the chord
// held between a fortieth of the chord and just under half of it. Its commit rebuilds the room around
// the new arc; undo and redo swap the old and the new arc and rebuild the room again.
//
// Ownership: neither the wall nor the canvas is owned; the history the task is posted on owns it. The
// wall is the task's target, so a wall that goes takes the task off the history.
// User-interface thread only.
#pragma once

#include "foundation/ppVector3.h"
#include "framework/ppMouseTask.h"

class ppDC;
class qxRoomSegment;

class qxRoundWallTask : public ppMouseTask {
 public:
  // The arc's height limits as fractions of the chord: 1.99 keeps the largest arc just under a half
  // circle.
  static constexpr float kLowestDivisor = 40.0f, kHighestDivisor = 1.99f;

  // `canvas` is the wall's supervisor (the plan canvas that holds it).
  qxRoundWallTask(qxRoomSegment* segment, ppView* canvas);

  void Do() override;
  void Undo() override;
  void Redo() override;
  void PreTrack(plat::POINT* /*point*/) override {}
  // One tracking step at the window pixel: the wall takes the arc through the mouse point (within
  // the height limits) and is drawn in exclusive-or mode. Drawing the same step again erases it.
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override { DrawFeedback(x, y); }
  // A press released in place bends nothing: the wall gets its arc back.
  void Click() override;

 private:
  struct Arc {
    float radius = 0.0f;
    ppVector3 centre;
    bool clockwise = false;
  };
  // Refits the wall's arc through the plan point `mouse`; a step that finds no circle keeps the arc.
  void Refit(const ppVector3& mouse);
  void Apply(const Arc& arc);
  // Sets `arc` on the wall and rebuilds the room (corners, faces, floors, walls, 3D view).
  void Rebuild(const Arc& arc);

  qxRoomSegment* segment_;
  ppView* canvas_;
  // The arc the drag ends on (the wall's own until the first tracking step) and the one it had.
  Arc new_, old_;
};
