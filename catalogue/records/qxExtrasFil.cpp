#include "catalogue/records/qxExtrasFil.h"

#include "catalogue/records/zelvproPriceFil.h"
#include "database/dbDatafile.h"
#include "database/dbErrors.h"

namespace {

constexpr const char* kOrderNumber = "orderno";
constexpr const char* kPriceText = "text";

}  // namespace

qxExtrasFil::qxExtrasFil(ppDatabase& database, Handle blob)
    : ppEmbeddedData(kLayout, database, blob, nullptr),
      record_(GetRecordBuffer()),
      priceId_(*this, "priceID"),
      description_(*this, "description"),
      article_(*this, "article") {}

qxExtrasFil::~qxExtrasFil() = default;

ppDatafile& qxExtrasFil::Prices() {
  if (!prices_) prices_ = std::make_unique<zelvproPriceFil>(Database());
  return *prices_;
}

void qxExtrasFil::SetValue(int32_t index, const ppParameter& value) {
  ppEmbeddedData::SetValue(index, value);
  if (index != article_.Index() || !article_.Exists()) return;
  ppDatafile& prices = Prices();
  const int32_t orderNumber = prices.IndexOf(kOrderNumber);
  if (orderNumber < 0) return;
  const Vcon::String article = article_.Text(record_);
  prices.Select(orderNumber, dbDatafile::kInside, ppParameter(article), ppParameter(article), '#');
  if (prices.GetSelectedCount() == 0) return;
  ppEmbeddedData::SetValue(priceId_.Index(), ppParameter(prices.RecordIdAt(0)));
}

void qxExtrasFil::AfterRead(char* buffer) {
  char* record = Buffer(buffer);
  const int32_t id = priceId_.Long(record);
  Vcon::WString text;
  if (id > 0) {
    ppDatafile& prices = Prices();
    const RecordField priceText(prices, kPriceText);
    try {
      prices.ReadRecord(id, nullptr);
      text = priceText.WideText(prices.GetRecordBuffer());
    } catch (int32_t error) {
      // A link to a record that is gone shows no text; the row keeps its link.
      if (error != db::kNotFound && error != db::kOutOfRange) throw;
    }
  }
  description_.SetWideText(record, text);
}
