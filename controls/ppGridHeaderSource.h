// The header texts of a grid over a record file: the property of each name is the field's own name,
// so a column "tnumber" is headed "tnumber". The record file is not owned and must outlive the
// source.
#pragma once

#include "database/iProperty.h"

class ppDatafile;

class ppGridHeaderSource : public iProperty {
 public:
  explicit ppGridHeaderSource(ppDatafile* file);

  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  // The field name at `index` as a text value; empty outside the fields.
  ppParameter GetValue(int32_t index) override;

 private:
  ppDatafile* file_;  // not owned; may be null
};
