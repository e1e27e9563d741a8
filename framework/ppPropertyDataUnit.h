// The data unit that binds a control to one named property of an object. With `undoable` set and
// an object that is a view with an undo history, every set is posted there as an undoable change.
#pragma once

#include "database/iProperty.h"
#include "framework/ppDataUnit.h"
#include "framework/ppPropertyBinding.h"

class ppPropertyDataUnit : public ppDataUnit {
 public:
  // `target` may be null and is not owned; it must outlive the data unit.
  ppPropertyDataUnit(iProperty* target, const Vcon::String& name, bool undoable)
      : binding_(target, name, undoable) {}

  void SetValue(const ppParameter& value, bool notify) override { binding_.SetValue(value, notify); }
  void GetValue(ppParameter& out) override { binding_.GetValue(out); }
  void GetTargetName(ppParameter& out) override { binding_.GetTargetName(out); }
  Vcon::String GetName() override { return binding_.Name(); }

  const ppPropertyBinding& Binding() const { return binding_; }

 private:
  ppPropertyBinding binding_;
};
