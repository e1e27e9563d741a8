// The extra articles of one plan element (layout "qxExtras"): priced catalogue articles ordered with
// the element but not drawn, kept as a table in the element's "extras" blob. Each row links a price
// record ("priceID") of the table's database, found by the article number the user types.
//
// No owner table: saving writes only the blob's bytes. The blob is not owned. User-interface thread
// only.
#pragma once

#include <cstdint>
#include <memory>

#include "catalogue/records/RecordField.h"
#include "database/ppEmbeddedData.h"

class qxExtrasFil : public ppEmbeddedData {
 public:
  static constexpr const char* kLayout = "qxExtras";

  qxExtrasFil(ppDatabase& database, Handle blob);
  ~qxExtrasFil() override;

  // The base write; a new "article" then links the first price record whose "orderno" is that
  // text. A number no price record has keeps the earlier link.
  void SetValue(int32_t index, const ppParameter& value) override;
  // "description" becomes the linked price record's "text" (empty without a link or a record).
  void AfterRead(char* buffer) override;

 private:
  ppDatafile& Prices();

  char* const record_;
  RecordField priceId_, description_, article_;
  // The database's price records, opened at the first use; a view of its own, so that linking
  // moves no other view's selection.
  std::unique_ptr<ppDatafile> prices_;
};
