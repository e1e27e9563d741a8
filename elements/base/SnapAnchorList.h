// An element's snap anchors, a vector of SnapAnchor that tells its owner whenever it may be changed:
// every non-const access (indexing, iteration, assignment, insertion, a mutable reference to the
// vector) counts as a change and reaches zelvproElement::NoteSnapChange, so that a canvas's snap
// index files the owner's anchors again before its next search. Reading through a const reference
// tells nothing. The owner is not owned; the list lives inside it.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <utility>
#include <vector>

#include "elements/base/SnapAnchor.h"

class SnapAnchorList {
 public:
  using Vector = std::vector<SnapAnchor>;
  using iterator = Vector::iterator;
  using const_iterator = Vector::const_iterator;

  explicit SnapAnchorList(zelvproElement* owner) : owner_(owner) {}
  SnapAnchorList(const SnapAnchorList&) = delete;
  SnapAnchorList& operator=(const SnapAnchorList& other) { return *this = other.anchors_; }
  SnapAnchorList& operator=(const Vector& anchors) {
    Changed();
    anchors_ = anchors;
    return *this;
  }
  SnapAnchorList& operator=(Vector&& anchors) {
    Changed();
    anchors_ = std::move(anchors);
    return *this;
  }
  SnapAnchorList& operator=(std::initializer_list<SnapAnchor> anchors) { return *this = Vector(anchors); }

  // ---- Reading.
  size_t size() const { return anchors_.size(); }
  bool empty() const { return anchors_.empty(); }
  const SnapAnchor& operator[](size_t i) const { return anchors_[i]; }
  const SnapAnchor& at(size_t i) const { return anchors_.at(i); }
  const SnapAnchor& back() const { return anchors_.back(); }
  const_iterator begin() const { return anchors_.begin(); }
  const_iterator end() const { return anchors_.end(); }
  const Vector& Anchors() const { return anchors_; }
  operator const Vector&() const { return anchors_; }

  // ---- Changing (each tells the owner).
  SnapAnchor& operator[](size_t i) { return Changed(), anchors_[i]; }
  SnapAnchor& at(size_t i) { return Changed(), anchors_.at(i); }
  SnapAnchor& back() { return Changed(), anchors_.back(); }
  iterator begin() { return Changed(), anchors_.begin(); }
  iterator end() { return Changed(), anchors_.end(); }
  void push_back(const SnapAnchor& anchor) { Changed(), anchors_.push_back(anchor); }
  void clear() { Changed(), anchors_.clear(); }
  Vector& Edit() { return Changed(), anchors_; }
  operator Vector&() { return Edit(); }

 private:
  void Changed();

  zelvproElement* owner_;  // not owned
  Vector anchors_;
};
