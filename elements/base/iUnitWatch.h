// What a canvas keeping indexes of its children's trees hears of them: a child whose tree changed
// (a position, angle, anchor, size or child list of an element in it). zelvproElement::NoteSnapChange
// delivers it to the nearest containing canvas that watches. A watcher only notes the change; the
// tree may be half built or half destroyed when it is told.
#pragma once

class zelvproElement;

class iUnitWatch {
 public:
  // `unit` is the watching canvas's child whose tree changed.
  virtual void UnitChanged(zelvproElement* unit) = 0;

 protected:
  ~iUnitWatch() = default;
};
