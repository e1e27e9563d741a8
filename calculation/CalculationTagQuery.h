// The data unit of a calculation line panel's tag selector: the line's "tag" property (tag position x
// 10000 + 1) chosen among the records of a fresh tag table, shown by "tname". Column 1 of item i is
// i x 10000 + 1, the form the line's "tag" reads and takes, whatever the identifier of the database
// the tag table lies in (its "dbId" gives the same only in a database of identifier 1). It owns the
// tag table. After every write it broadcasts "UpdateCalculation" on the named channel of the global
// switchboard, so the price list is built again. User-interface thread only.
#pragma once

#include <memory>

#include "framework/ppPropertySelectorQuery.h"

class zelvproTagFil;

class CalculationTagQuery : public ppPropertySelectorQuery {
 public:
  // `lines` is not owned and must outlive the query; `tags` may be null (an empty list).
  CalculationTagQuery(iProperty* lines, std::unique_ptr<zelvproTagFil> tags);

  void SetValue(const ppParameter& value, bool notify) override;
  void GetColumn1(int32_t item, ppParameter& out) override;
};
