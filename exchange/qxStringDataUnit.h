#pragma once
// Binds an edit field of the server dialogs to a wide string the dialog owns: the field shows the
// string and writes what was typed back into it. The unit never owns or frees the string; the field
// that holds the unit owns the unit.

#include "foundation/VconString.h"
#include "framework/ppDataUnit.h"

class qxStringDataUnit : public ppDataUnit {
 public:
  // `target` may be null: the unit then reads nothing and writes nowhere.
  explicit qxStringDataUnit(Vcon::WString* target) : target_(target) {}

  // The target becomes the value's text with the default formatting.
  void SetValue(const ppParameter& value, bool notify) override;
  // A wide-text value holding the target.
  void GetValue(ppParameter& out) override;

 private:
  Vcon::WString* target_;  // not owned
};
