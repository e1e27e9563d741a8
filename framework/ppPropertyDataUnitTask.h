// The undoable change of one property of one object: it remembers the value the property had when
// the task was made and the value it was set to, and sets one or the other with or without change
// notification, as the edit that made it asked.
#pragma once

#include <cstdint>

#include "database/iProperty.h"
#include "foundation/ppParameter.h"
#include "framework/ppTask.h"

class ppPropertyDataUnitTask : public ppTask {
 public:
  // Reads the old value from `target` at once. `target` is not owned and must outlive the task,
  // which a view holder ensures by counting the task as an open edit until it is deleted.
  ppPropertyDataUnitTask(iProperty* target, int32_t index, const ppParameter& newValue, bool merge,
                         bool notify);
  ~ppPropertyDataUnitTask() override;

  void Do() override;
  void Undo() override;
  void Redo() override;
  // Takes over a following change of the same property: a merging task adopts its new value, and a
  // change to a value equal (same type and equal) to this task's new value is dropped as a repeat.
  bool Absorb(ppTask* next) override;

  iProperty* PropertyTarget() const { return target_; }
  int32_t Index() const { return index_; }
  const ppParameter& NewValue() const { return newValue_; }
  const ppParameter& OldValue() const { return oldValue_; }

 private:
  bool SameProperty(const ppPropertyDataUnitTask& other) const;

  iProperty* target_;
  int32_t index_;
  ppParameter newValue_;
  ppParameter oldValue_;
  bool merge_;
  bool notify_;
  bool bracket_ = false;  // the target is a view holder counting this task as an open edit
};
