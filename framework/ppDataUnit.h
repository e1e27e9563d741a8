// The data binding of one control: the control reads the value it shows through GetValue and hands
// every edited value to SetValue. The control that holds a data unit owns and deletes it.
#pragma once

#include "foundation/VconString.h"
#include "foundation/ppParameter.h"

class ppDataUnit {
 public:
  ppDataUnit() = default;
  virtual ~ppDataUnit() = default;
  ppDataUnit(const ppDataUnit&) = delete;
  ppDataUnit& operator=(const ppDataUnit&) = delete;

  // `notify` asks for the target's change notification around the write.
  virtual void SetValue(const ppParameter& value, bool notify) = 0;
  // Leaves `out` as it is when there is nothing to read.
  virtual void GetValue(ppParameter& out) = 0;
  // The name of the bound property as the target shows it; nothing by default.
  virtual void GetTargetName(ppParameter& out);
  // "value" by default.
  virtual Vcon::String GetName();
};
