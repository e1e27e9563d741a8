// Function records of the application record: "cmd", "type", "path" and "name", kept in the
// record's "menuItems" blob. A record of type 4 names a catalogue database file by its "path".
//
// The blob is the application record buffer's handle, not owned; the table has no owner file, so
// changes through it reach the blob but are not written to the application record.
#pragma once

#include <cstdint>

#include "database/ppEmbeddedData.h"

class qxFunctionFil : public ppEmbeddedData {
 public:
  static constexpr int32_t kFileId = 5440;
  static constexpr const char* kLayout = "qxFunction";
  // The "type" of a function record that names a catalogue database.
  static constexpr int32_t kCatalogueType = 4;

  qxFunctionFil(ppDatabase& database, Handle blob);
};
