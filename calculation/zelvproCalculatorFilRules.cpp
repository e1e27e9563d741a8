// Writing a property of a line and the follow-up rules that pull the dependent fields along.
#include <algorithm>
#include <cmath>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/dbRecordLayout.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproElement.h"
#include "foundation/LocaleNumbers.h"

namespace {

// amount x percent / 100, in floating point, truncated toward zero to an amount.
ppMoney PercentOf(ppMoney amount, ppFloat percent) {
  if (amount.IsNull() || percent.IsNull()) return ppMoney();
  const double raw = double(amount.Raw()) * double(percent.Value()) / 100.0;
  if (!std::isfinite(raw) || std::fabs(raw) >= 9.2e18) return ppMoney();
  return ppMoney::FromRaw(int64_t(raw));
}

// The quantity as an amount: its value times 10000, truncated.
ppMoney AsAmount(const DecimalNumber& pieces) { return ppMoney::FromDecimalNumber(pieces); }

// A percentage typed as no number (an emptied field, letters, an infinity) is 0 percent: stored as it
// reads, the Float field would keep its no-value mark, 2^31, and multiply every sum by it.
// A typed percentage reads the decimal character the lists show it with ("10,50" with "," is 10.5, not
// 10), as well as a point.
ppParameter ReadablePercent(const ppParameter& typed) {
  ppParameter value = typed;
  const char decimal = LocaleDecimalChar();
  if ((typed.Type() == ppParameter::kString || typed.Type() == ppParameter::kWideText) && decimal != '.') {
    Vcon::String text = typed.AsString();
    std::replace(text.begin(), text.end(), decimal, '.');
    value = ppParameter(text);
  }
  const ppFloat percent = value.ToPPFloat();
  if (percent.IsNull() || !std::isfinite(percent.Value())) return ppParameter(0.0f);
  return value;
}

}  // namespace

zelvDatabase* zelvproCalculatorFil::FindDatabase(int32_t id) {
  return iElementHost::Current().FindDatabase(id);
}

zelvproTagFil* zelvproCalculatorFil::TagTable() { return iElementHost::Current().TagTable(); }

void zelvproCalculatorFil::SetValue(int32_t index, const ppParameter& value) {
  BeginAccess();
  if (GetRecordCount() == 0) return;
  SetCurrentRecordId(GetCurrentItem());
  ReloadCurrent();
  const std::vector<uint8_t> before = StoredForm(record_);
  // What a rule may have to put back when the written value names nothing.
  const int32_t tagBefore = Long(record_, kTag);
  const Vcon::WString articleBefore = Wide(record_, kOrderNumber);
  ppEmbeddedData::SetValue(index, index == kDiscountPercent ? ReadablePercent(value) : value);
  FollowUp(index, value, tagBefore, articleBefore);
  Commit();
  // The user's lines are saved with the document: a write that changed the line is unsaved work. A
  // field left without a change writes its value again, which changes nothing.
  if (StoredForm(record_) != before) iElementHost::Current().MarkDocumentModified();
  if (lineChanged_) lineChanged_(GetCurrentItem());
}

std::vector<uint8_t> zelvproCalculatorFil::StoredForm(char* b) {
  SetLong(b, kDb, 0);
  SetLong(b, kElement, 0);
  const dbRecordLayout& layout = File().Layout();
  std::vector<uint8_t> bytes(layout.PackedSize(b));
  layout.Pack(bytes.data(), b);
  return bytes;
}

void zelvproCalculatorFil::Commit() {
  WriteRecordAt(GetCurrentItem(), nullptr);
  SaveToBlob();
}

void zelvproCalculatorFil::BaseWrite(int32_t field, const ppParameter& value) {
  Commit();
  ppEmbeddedData::SetValue(field, value);
}

void zelvproCalculatorFil::FollowUp(int32_t index, const ppParameter& value, int32_t tagBefore,
                                    const Vcon::WString& articleBefore) {
  char* b = record_;
  switch (index) {
    case kUnitId:
      UnitChanged();
      break;
    case kDatabaseId:
      DatabaseChanged();
      break;
    case kOldPieces: {
      const DecimalNumber pieces = Quantity(b, kPieces);
      BaseWrite(kTotal, ppParameter((Money(b, kPrice) + Money(b, kDiscount)) * AsAmount(pieces)));
      zelvproElement* element = BufferRefs(nullptr).element;
      if (element != nullptr && element->QuantityEditable()) element->SetElementQuantity(pieces);
      break;
    }
    case kTag:
      TagChanged(value, tagBefore);
      break;
    case kPrice: {
      // This rule divides the floating-point product by 100 as a whole amount.
      const ppMoney price = Money(b, kPrice);
      BaseWrite(kDiscount,
                ppParameter(price.MultipliedByFloatValue(Float(b, kDiscountPercent)).DividedByInt(100)));
      BaseWrite(kTotal,
                ppParameter((Money(b, kPrice) + Money(b, kDiscount)) * AsAmount(Quantity(b, kPieces))));
      break;
    }
    case kDiscount: {
      // Without a price there is no percentage: the line keeps 0.0 rather than a value the Float
      // field cannot tell from a real one.
      const ppMoney percent = Money(b, kDiscount).MultipliedByDouble(ppDouble(100.0)) / Money(b, kPrice);
      BaseWrite(kDiscountPercent, ppParameter(percent.IsNull() ? 0.0f : float(percent.ToDouble())));
      BaseWrite(kTotal,
                ppParameter((Money(b, kPrice) + Money(b, kDiscount)) * AsAmount(Quantity(b, kPieces))));
      break;
    }
    case kDiscountPercent:
      BaseWrite(kDiscount, ppParameter(PercentOf(Money(b, kPrice), Float(b, kDiscountPercent))));
      BaseWrite(kTotal,
                ppParameter((Money(b, kPrice) + Money(b, kDiscount)) * AsAmount(Quantity(b, kPieces))));
      break;
    case kOrderNumber:
      OrderNumberChanged(value, articleBefore);
      break;
    default:
      break;
  }
}

void zelvproCalculatorFil::UnitChanged() {
  ReloadCurrent();
  char* b = record_;
  zelvDatabase* db = BufferRefs(nullptr).db;
  const int32_t unit = Long(b, kUnitId);
  if (db == nullptr || unit == 0) return;
  CalculationCatalogViews::Views& views = views_.For(*db);
  const bool haveUnit = CalculationCatalogViews::Read(*views.units, unit);
  const int32_t priceId = views.prices->LookupPrice(unit, 0, 0, 0, nullptr);
  SetLong(b, kPriceId, priceId);
  if (priceId == 0 || !CalculationCatalogViews::Read(*views.prices, priceId)) return;
  const char* price = views.prices->GetRecordBuffer();
  SetMoney(b, kPrice, ppMoney::FromRaw(views.price.MoneyRaw(price)));
  SetMoney(b, kPrice2, ppMoney::FromRaw(views.price2.MoneyRaw(price)));
  if (haveUnit) {
    const Vcon::WString description = CalculationCatalogViews::NumberAndName(views);
    SetWide(b, kWideUnitText, views.unitName.WideText(views.units->GetRecordBuffer()));
    SetWide(b, kWideUnitDescription, description);
    SetWide(b, kOtherText, description);
  }
  SetWide(b, kOrderNumber, Vcon::WString(views.orderNumber.Text(price)));
  if (Quantity(b, kPieces).IsZero()) SetQuantity(b, kPieces, DecimalNumber(int32_t{1}));
  const ppFloat percent = Float(b, kDiscountPercent);
  if (!percent.IsNull() && percent.Value() != 0.0f)
    BaseWrite(kDiscount, ppParameter(PercentOf(Money(b, kPrice), percent)));
  // Here the discount is added once, not per piece.
  BaseWrite(kTotal, ppParameter(Money(b, kPrice) * AsAmount(Quantity(b, kPieces)) + Money(b, kDiscount)));
}

void zelvproCalculatorFil::DatabaseChanged() {
  ReloadCurrent();
  BufferRefs(nullptr).db = FindDatabase(Long(record_, kDatabaseId));
}

void zelvproCalculatorFil::TagChanged(const ppParameter& value, int32_t tagBefore) {
  ReloadCurrent();
  zelvproTagFil* tags = TagTable();
  const int32_t position = value.ToLong() / kIdScale;
  // A position outside the tag table keeps the line's tag, never the written number as an id.
  int32_t id = tagBefore;
  if (tags != nullptr && position >= 0 && position < tags->GetRecordCount()) {
    char* scratch = tags->NewRecordBuffer();
    tags->ReadRecordAt(position, scratch);
    id = RecordField(*tags, "id").Long(scratch);
    tags->DisposeRecordBuffer(scratch);
  }
  SetLong(record_, kTag, id);
}

void zelvproCalculatorFil::OrderNumberChanged(const ppParameter& value, const Vcon::WString& articleBefore) {
  char* b = record_;
  // An article number no catalogue holds leaves the line's own.
  SetWide(b, kOrderNumber, articleBefore);
  const Vcon::WString article = value.AsWString();
  const Vcon::String key = article.Narrow();
  const int32_t count = CatalogDatabases != nullptr ? CatalogDatabases->Count() : 0;
  for (int32_t i = 0; i < count; ++i) {
    zelvDatabase* db = CatalogDatabases->DatabaseAt(i);
    if (db == nullptr) continue;
    CalculationCatalogViews::Views& views = views_.For(*db);
    zelvproPriceFil& prices = *views.prices;
    const int32_t field = views.orderNumber.Index();
    if (field < 0) continue;
    if (Handle selection = prices.GetSelection()) HandleList::Reset(selection);
    prices.Select(field, '+', dbDatafile::kInside, key.c_str(), key.c_str());
    if (prices.GetSelectedCount() == 0) continue;
    const int32_t priceId = prices.RecordIdAt(0);
    if (!CalculationCatalogViews::Read(prices, priceId)) continue;
    const char* price = prices.GetRecordBuffer();
    SetLong(b, kPriceId, priceId);
    // The price now comes from this database: the line names it, so that the next read prices it
    // from the same catalogue.
    SetLong(b, kDatabaseId, db->Identifier());
    BufferRefs(nullptr).db = db;
    SetWide(b, kOrderNumber, article);
    SetMoney(b, kPrice, ppMoney::FromRaw(views.price.MoneyRaw(price)));
    const int32_t unit = views.priceUnit.Long(price);
    if (unit != 0 && CalculationCatalogViews::Read(*views.units, unit))
      SetWide(b, kOtherText, CalculationCatalogViews::NumberAndName(views));
    if (Quantity(b, kPieces).IsZero()) SetQuantity(b, kPieces, DecimalNumber(int32_t{1}));
    break;
  }
  BaseWrite(kDiscount, ppParameter(PercentOf(Money(b, kPrice), Float(b, kDiscountPercent))));
  BaseWrite(kTotal, ppParameter((Money(b, kPrice) + Money(b, kDiscount)) * AsAmount(Quantity(b, kPieces))));
}
