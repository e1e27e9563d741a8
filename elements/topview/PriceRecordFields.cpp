#include "elements/topview/PriceRecordFields.h"

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/topview/CatalogReads.h"
#include "foundation/ppMoney.h"

PriceRecordFields::PriceRecordFields(zelvproPriceFil& prices, int32_t id) : price(ppMoney::kNoValue) {
  ScopedRecordBuffer<ppDatafile> buffer(prices);
  if (!CatalogReads::Read(prices, id, buffer.Get())) return;
  module = RecordField(prices, "module").Long(buffer.Get());
  price = RecordField(prices, "price").MoneyRaw(buffer.Get());
  optionKey = RecordField(prices, "optionKey").Text(buffer.Get());
}

bool PriceRecordFields::HasPrice() const { return price != 0 && price != ppMoney::kNoValue; }
