// The mouse task that drags one corner of the room outline with the ends of every wall that meets
// there. The corner slides along a guiding wall: one that another wall ends against or that holds
// doors or windows; without one, along the wall whose direction is closest to the drag (not with
// Ctrl). A corner between two guiding walls does not move; a free wall end slides along its own wall
// (freely with Ctrl). A point that would leave a wall at the corner 50 mm long or less, or bring the
// corner within 50 mm of another corner, is refused. The rubber band (the corner's walls and its
// angle mark) is drawn in exclusive-or, recorded into a shape and replayed to erase it; undo and redo
// replay what moved. A drag that moved no wall end leaves nothing to undo.
//
// The room canvas rebuilds its corners after every change, so the corner is only read before Do.
// Ownership: the segment (the task's view and target), the corner and the canvas are not owned.
// User-interface thread only.
#pragma once

#include "canvas/tasks/RecordedBand.h"
#include "canvas/tasks/WallEndRecord.h"
#include "foundation/ppVector3.h"
#include "framework/ppMouseTask.h"

class ppDC;
class qxJunction;
class qxNewRoomCanvas;
class qxRoomSegment;

class qxMoveStretchObjectTask : public ppMouseTask {
 public:
  static constexpr float kDeadZone = 5.0f;  // pixels
  static constexpr float kLeast = 50.0f;    // millimetres

  // `segment` is the pressed wall, `junction` the corner at one of its ends.
  qxMoveStretchObjectTask(qxRoomSegment* segment, qxJunction* junction, qxNewRoomCanvas* canvas);

  void Do() override;
  void Undo() override;
  void Redo() override;
  bool IsEmpty() override { return done_ && record_.IsEmpty(); }
  // Every wall whose end the move record holds, the neighbours included.
  bool Refers(const void* object) const override { return record_.Holds(object); }
  void PreTrack(plat::POINT* point) override;
  void DrawFeedback(int32_t x, int32_t y) override;
  void EraseFeedback(int32_t x, int32_t y) override;

  // Moves every wall end at the corner by (dx, dz) millimetres of the plan, or replays the record:
  // forwards when (dx, dz) is the applied move, else backwards.
  void ApplyStretch(float dx, float dz, bool replay);

  bool Refused() const { return refused_; }
  const ppShape& Feedback() const { return band_.Shape(); }
  const WallEndRecord& Record() const { return record_; }

 private:
  // The plan move of the point (window pixels) from the press, whole millimetres.
  ppVector3 PlanMove(int32_t x, int32_t y) const;
  // No wall at the corner 50 mm long or less, no other corner within 50 mm.
  bool StretchAllowed(const ppVector3& delta) const;
  void Announce();

  qxNewRoomCanvas* canvas_;
  qxJunction* junction_;
  qxRoomSegment* segment_;
  bool refused_ = false;
  bool done_ = false;
  RecordedBand band_;
  WallEndRecord record_;
  float appliedDx_ = 0.0f, appliedDz_ = 0.0f;
};
