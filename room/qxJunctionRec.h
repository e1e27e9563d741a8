// One corner lying on a room segment: a node of the segment's junction list. The junction is not
// owned. Deleting a node deletes the nodes behind it, so whoever unlinks a single node clears its
// next pointer first.
#pragma once

class qxJunction;

class qxJunctionRec {
 public:
  qxJunctionRec(qxJunction* junction, qxJunctionRec* next) : junction_(junction), next_(next) {}
  virtual ~qxJunctionRec();
  qxJunctionRec(const qxJunctionRec&) = delete;
  qxJunctionRec& operator=(const qxJunctionRec&) = delete;

  qxJunction* GetJunction() const { return junction_; }
  qxJunctionRec* GetNext() const { return next_; }
  void SetNext(qxJunctionRec* next) { next_ = next; }

 private:
  qxJunction* junction_;
  qxJunctionRec* next_;
};
