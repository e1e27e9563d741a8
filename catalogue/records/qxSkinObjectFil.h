// A table of the skin database: buttons ("qxButton"), colours ("qxColor") or bitmaps ("qxBitmap"),
// each record found by its "id" (field 0), which no two records share.
#pragma once

#include <cstdint>

#include "database/ppDatafile.h"

class qxSkinObjectFil : public ppDatafile {
 public:
  qxSkinObjectFil(const char* layoutName, ppDatabase& database);

  // Adds the record only when no record has its "id" yet; otherwise adds nothing and leaves
  // *outId as it was.
  void AddRecord(int32_t* outId, char* buffer) override;
};
