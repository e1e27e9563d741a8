// The mouse task that moves one wall of the room outline sideways, parallel to itself. While the
// mouse moves the wall slides along its normal: the walls joined at its corners are lengthened or
// shortened to stay joined, walls ending against its middle slide their end along their own line,
// units standing beside an axis-parallel wall stop its face, and the move is refused when it would
// bring a corner within 50 mm of another, turn a neighbouring wall round or leave the wall 50 mm long
// or less. The release applies the move with the wall-length grid; undo and redo replay what moved.
// The rubber band is drawn in exclusive-or, recorded into a shape and replayed to erase it.
//
// The segment's press makes it, starts it at the press point and posts it on the canvas's history;
// the segment's programmatic move and the floor's dimension editing call ApplyMove directly.
// A move that moved no wall end leaves nothing to undo: IsEmpty answers true after its Do.
//
// Ownership: the segment (the task's view and target) and the canvas are not owned.
// User-interface thread only.
#pragma once

#include "canvas/tasks/RecordedBand.h"
#include "canvas/tasks/WallEndRecord.h"
#include "elements/base/iMoveObjectTask.h"
#include "foundation/ppVector3.h"
#include "framework/ppMouseTask.h"

class ppDC;
class qxNewRoomCanvas;
class qxRoomSegment;

class qxMoveObjectTask : public ppMouseTask, public iMoveObjectTask {
 public:
  // Pixels around the press within which the wall does not move.
  static constexpr float kDeadZone = 5.0f;
  // The least wall length and corner distance a move may leave (millimetres).
  static constexpr float kLeast = 50.0f;

  qxMoveObjectTask(qxRoomSegment* segment, qxNewRoomCanvas* canvas);

  void Do() override;
  void Undo() override;
  void Redo() override;
  // True once Do has run without moving any wall end; false before (the task is posted at the press).
  bool IsEmpty() override { return done_ && record_.IsEmpty(); }
  // Every wall whose end the move record holds, the neighbours included.
  bool Refers(const void* object) const override { return record_.Holds(object); }
  // The element stop in pixels, the dead zone, the projection on the normal (not with Ctrl) and the
  // corner checks; a refused point goes back to the press point.
  void PreTrack(plat::POINT* point) override;
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;

  // Moves the wall by (dx, dz) millimetres in the plan's own frame (x and z as the plan stores them)
  // with the ends joined to it, then keeps the room inside the plan's margin; a move that is not
  // acceptable (see DrawFeedback's rules) moves nothing. `replay` replays the record instead:
  // forwards when (dx, dz) is the applied move, else backwards.
  void ApplyMove(float dx, float dz, bool replay) override;
  ppTask* Task() override { return this; }

  bool Refused() const { return refused_; }
  bool Invalid() const { return invalid_; }
  const ppShape& Feedback() const { return band_.Shape(); }
  const WallEndRecord& Record() const { return record_; }

 private:
  // The moved wall's new ends for a plan move, as the drawing and the move find them.
  struct Ends {
    ppVector3 movedStart, movedEnd;  // the wall's ends plus the move
    ppVector3 start, end;            // where they land on the neighbours' lines
    int32_t startLinks = 0, endLinks = 0;
    bool acceptable = false;
  };
  Ends FindEnds(const ppVector3& delta) const;
  // The corner-distance and neighbour-direction rules for a plan move.
  bool CornersAllow(const ppVector3& delta) const;
  void DrawWalls(const Ends& ends, const ppVector3& delta, ppDC& dc);
  // The band for the window point (x, y) into `dc`, whose recorder keeps it.
  void RecordBand(ppDC& dc, int32_t x, int32_t y);
  // Sends the rebuild commands and marks the document changed.
  void Announce();

  qxRoomSegment* segment_;
  qxNewRoomCanvas* canvas_;
  ppVector3 wallStart_, wallEnd_;
  float normalAngle_;
  float appliedDx_ = 0.0f, appliedDz_ = 0.0f;
  bool refused_ = false;
  bool invalid_ = false;
  bool done_ = false;
  RecordedBand band_;
  WallEndRecord record_;
};
