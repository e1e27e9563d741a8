#include "catalogue/records/zelvproDocModuleFil.h"

#include "foundation/ppLong.h"
#include "foundation/ppMoney.h"

zelvproDocModuleFil::zelvproDocModuleFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr), record_(GetRecordBuffer()) {
  RecordField::Bind(
      *this,
      {{legacyQuantity_, "_quantity"}, {quantity_, "quantity"}, {legacyPrice_, "xprice"}, {price_, "price"}});
}

zelvproDocModuleFil::~zelvproDocModuleFil() = default;

void zelvproDocModuleFil::AfterRead(char* buffer) {
  char* record = Buffer(buffer);
  if (quantity_.Quantity(record).IsZero())
    quantity_.SetQuantity(record, DecimalNumber(legacyQuantity_.Long(record)));
  // The legacy price is the raw amount; 0 and the long's no-value marker mean none. An empty money
  // field (0) counts as holding nothing, as does the money no-value marker.
  const int32_t legacy = legacyPrice_.Long(record);
  const int64_t price = price_.Raw64(record);
  if (legacy != 0 && legacy != ppLong::kNoValue && (price == 0 || price == ppMoney::kNoValue))
    price_.SetRaw64(record, int64_t(legacy));
}
