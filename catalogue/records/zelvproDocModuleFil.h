// One plan's elements in the open document (layout "qxDocModule"): one record per element, kept as
// a table in a blob of the document record ("room", "furniture", "annotation", "calcElements") or in
// a canvas's own handle. Records are loaded on request (the base's load), not by the constructor.
//
// No owner table: saving writes only the blob's bytes. The blob is not owned. User-interface thread
// only.
#pragma once

#include <cstdint>

#include "catalogue/records/RecordField.h"
#include "database/ppEmbeddedData.h"

class zelvproDocModuleFil : public ppEmbeddedData {
 public:
  static constexpr const char* kLayout = "qxDocModule";

  zelvproDocModuleFil(ppDatabase& database, Handle blob);
  ~zelvproDocModuleFil() override;

  // Older records: a zero "quantity" takes the whole number in "_quantity"; a legacy 32-bit "xprice"
  // fills a "price" that holds nothing. "xcostumPrice" is left alone: walls keep a flag there, and the
  // elements read their custom-price mark from "customPrice" only.
  void AfterRead(char* buffer) override;

 private:
  char* const record_;
  RecordField legacyQuantity_, quantity_, legacyPrice_, price_;
};
