// One named property of one object, as the property data units bind it: reads it, sets it (posting
// an undoable change to the object's undo history when asked), and undoes the last change there.
// A name the object does not define binds index -1: reads give empty values, sets change nothing.
#pragma once

#include <cstdint>

#include "database/iProperty.h"
#include "foundation/VconString.h"
#include "foundation/ppParameter.h"

class ppUndoer;

class ppPropertyBinding {
 public:
  // `target` may be null and is not owned.
  ppPropertyBinding(iProperty* target, const Vcon::String& name, bool undoable);

  // With an undo history on the target and `undoable`, first posts the change there (the task
  // reads the old value); then sets the property once, with notification when `notify`.
  void SetValue(const ppParameter& value, bool notify);
  // `out` is left as it is without a target.
  void GetValue(ppParameter& out);
  // The target's name of the bound property, as text.
  void GetTargetName(ppParameter& out);
  // Undoes the top change of the target's undo history, when it has one.
  void UndoLast();

  iProperty* Target() const { return target_; }
  int32_t Index() const { return index_; }
  const Vcon::String& Name() const { return name_; }
  bool Undoable() const { return undoable_; }

 private:
  // The target's undo history when the target is a view that has one, else null.
  ppUndoer* TargetUndoer() const;

  iProperty* target_;
  int32_t index_ = iProperty::kNoProperty;
  Vcon::String name_;
  bool undoable_;
};
