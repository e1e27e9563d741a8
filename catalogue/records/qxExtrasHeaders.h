// The column headers of the extras grid: columns "article", "description" and "qty", each answering
// its title in the user's language. No data of its own.
#pragma once

#include <cstdint>

#include "database/iProperty.h"

class qxExtrasHeaders : public iProperty {
 public:
  static constexpr int32_t kColumnCount = 3;

  // The column of `name`; -1 for any other name.
  int32_t IndexOf(const Vcon::String& name) override;
  int32_t GetPropertyCount() override;
  // The column's title as wide text; an empty text outside 0 to 2.
  ppParameter GetValue(int32_t index) override;
};
