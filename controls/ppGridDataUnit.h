// The binding of a grid's in-place editor to its cell: reads and writes the property of one column
// name on one row item of the grid's data source. Writes always notify the source; they record no
// undo step, so cell edits are not undoable. The source is not owned.
#pragma once

#include <cstdint>

#include "framework/ppDataUnit.h"

class iProperty;

class ppGridDataUnit : public ppDataUnit {
 public:
  // The property index is looked up once, here (-1 when the source does not know the name).
  ppGridDataUnit(iProperty* source, const Vcon::String& columnName, int32_t row);

  void SetValue(const ppParameter& value, bool notify) override;
  void GetValue(ppParameter& out) override;

  int32_t PropertyIndex() const { return index_; }
  int32_t Row() const { return row_; }

 private:
  iProperty* source_;  // not owned; may be null
  int32_t index_;
  int32_t row_;
};
