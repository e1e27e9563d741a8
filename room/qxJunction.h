// A corner of the room outline: a plan point at which room segments meet, with the list of those
// segments and the queries over it that the outline drawing and the side faces use. The new-room
// canvas keeps every junction of a room in one chain and makes them again from the segment ends
// whenever it rebuilds the corners; junctions are never saved.
//
// Ownership: a junction owns the rest of its chain (the junctions behind it) and its link nodes; the
// segments are not its own. Destroying a junction first makes every segment forget it.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "database/iProperty.h"
#include "foundation/ppVector3.h"
#include "platform/GdiTypes.h"
#include "room/qxJunctionLink.h"

class ppDC;
class ppView;
class qxRoomSegment;

class qxJunction : public iProperty {
 public:
  // A junction ahead of `next` (may be null), at (0, 0, 0), with the next running element id.
  explicit qxJunction(qxJunction* next);
  ~qxJunction() override;
  qxJunction(const qxJunction&) = delete;
  qxJunction& operator=(const qxJunction&) = delete;

  uint32_t GetId() const { return id_; }
  void GetPosition(ppVector3& out) const { out = position_; }
  const ppVector3& Position() const { return position_; }
  void SetPosition(const ppVector3& point) { position_ = point; }
  qxJunction* GetNext() const { return next_; }
  void SetNext(qxJunction* next) { next_ = next; }
  qxJunctionLink* GetFirstLink() const { return links_; }
  int32_t GetLinkCount() const { return linkCount_; }
  bool IsIntersection() const { return intersection_; }
  void SetIntersection(bool on) { intersection_ = on; }
  int32_t GetState() const { return state_; }
  void SetState(int32_t state) { state_ = state; }

  // Links `segment` at the head of the list (the newest first) unless it is linked already; with
  // `notify` the segment adds this junction to its own list.
  void AddSegment(qxRoomSegment* segment, bool notify);
  // Unlinks the first node of `segment` and makes the segment forget this junction; nothing when
  // the segment is not linked.
  void RemoveSegment(qxRoomSegment* segment);
  // The first linked segment, behind `after` (null: from the head), that meets `segment`: crossing
  // it, or, when parallel, sharing an end with it. `point` receives where they meet; null when none.
  qxJunctionLink* FindCrossing(qxRoomSegment* segment, ppVector3& point, qxJunctionLink* after);
  // The other segment at this corner whose direction turns furthest (largest) or least (smallest)
  // from the direction to `farPoint`, the far end of the asking segment `exclude`; null when none.
  qxRoomSegment* NeighbourWithLargestAngle(qxRoomSegment* exclude, const ppVector3& farPoint);
  qxRoomSegment* NeighbourWithSmallestAngle(qxRoomSegment* exclude, const ppVector3& farPoint);
  // Junctions are never picked by a click.
  bool HitTest(int32_t /*x*/, int32_t /*y*/, ppView* /*view*/) const { return false; }

  // ---- Angle feedback, screen rectangle and panel (qxJunctionDrawing.cpp).
  // The corner's angles drawn into `dc` around the window pixel (x, y) where the corner is shown: a
  // circle of 40 pixels, a 40-pixel ray towards each wall from the plan point under (x, y), and the
  // angle of each gap between neighbouring walls in whole degrees, 40 pixels out on its bisector.
  // Everything goes through the context's shape commands, so an attached recorder sees all of it
  // and a second call in XOR mode erases the first. Nothing without segments.
  void DrawAngles(ppDC& dc, int32_t x, int32_t y) const;
  // The window rectangle of the plan square of half size `half` (plan units) around the corner. The
  // plan-to-pixel mapping is program-wide; `view` is the caller's and not needed for it.
  void GetScreenRect(plat::RECT& rect, ppView* view, int32_t half) const;
  // Replaces the information configurator's tabs with the junction's panel: its name, nothing to
  // edit. `holder` is the caller's selection; neither read nor owned.
  void ShowInfoPanel(iProperty* holder);

 private:
  qxRoomSegment* Neighbour(qxRoomSegment* exclude, const ppVector3& farPoint, bool largest);

  qxJunction* next_;  // owned: the rest of the canvas's chain
  uint32_t id_ = 0;
  ppVector3 position_;
  qxJunctionLink* links_ = nullptr;  // owned chain
  bool intersection_ = false;
  int32_t linkCount_ = 0;
  int32_t state_ = 0;  // 2: picked by a press on a segment
  int32_t spare_ = 0;
};
