// One segment meeting at a corner: a node of a junction's segment list. The segment is not owned.
// Deleting a node deletes the nodes behind it, so whoever unlinks a single node clears its next
// pointer first.
#pragma once

class qxRoomSegment;

class qxJunctionLink {
 public:
  qxJunctionLink(qxRoomSegment* segment, qxJunctionLink* next) : segment_(segment), next_(next) {}
  virtual ~qxJunctionLink();
  qxJunctionLink(const qxJunctionLink&) = delete;
  qxJunctionLink& operator=(const qxJunctionLink&) = delete;

  qxRoomSegment* GetSegment() const { return segment_; }
  qxJunctionLink* GetNext() const { return next_; }
  void SetNext(qxJunctionLink* next) { next_ = next; }

 private:
  qxRoomSegment* segment_;
  qxJunctionLink* next_;
};
