// The fields of one configurator layout: records of layout "qxConfigField" (page, text field,
// button or divider with its margins, text and label) kept in order in the "data" blob of a
// "qxConfigurator" record.
//
// Neither the blob (a handle of the owner's record buffer) nor the owner is owned; the owner
// creates this table over its own buffer and deletes it first.
#pragma once

#include <cstdint>

#include "database/ppEmbeddedData.h"

class zelvproConfigFieldFil : public ppEmbeddedData {
 public:
  static constexpr int32_t kFileId = 5433;
  static constexpr const char* kLayout = "qxConfigField";

  zelvproConfigFieldFil(ppDatabase& database, Handle blob, ppDatafile* owner);

 private:
  char* const record_;
};
