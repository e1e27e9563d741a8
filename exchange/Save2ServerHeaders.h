#pragma once
// The column titles of the server dialogs' file grid: "FileName" titled by text 7452 ("File name" in
// English) and every other column by text 7453 ("Date"), in the current language. No items.

#include <cstdint>

#include "database/iProperty.h"

class Save2ServerHeaders : public iProperty {
 public:
  static constexpr int32_t kFileNameTitle = 7452;
  static constexpr int32_t kDateTitle = 7453;

  // "FileName" gives 0, every other name 1.
  int32_t IndexOf(const Vcon::String& name) override;
  int32_t GetPropertyCount() override { return 2; }
  // The title of column 0 for 0, of the date column for any other index, as wide text.
  ppParameter GetValue(int32_t index) override;
};
