// The recalculation of a line after every read, and its display texts from the catalogue.
#include <cmath>
#include <limits>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/zelvproElement.h"
#include "foundation/MoneyText.h"

namespace {

bool IsElementLine(int32_t type) {
  return type == zelvproCalculatorFil::kCalculationItem || type == zelvproCalculatorFil::kElementLine2 ||
         type == zelvproCalculatorFil::kElementLine3;
}

// A per-piece long (weight, volume) times the quantity, truncated toward zero, kept in 32 bits.
int32_t Scaled(int32_t perPiece, const DecimalNumber& pieces) {
  const double value = std::trunc(double(perPiece) * pieces.ToDouble());
  if (!(value > double(std::numeric_limits<int32_t>::min()))) return std::numeric_limits<int32_t>::min();
  if (value >= double(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
  return int32_t(value);
}

Vcon::String PriceListMoney(ppMoney amount) {
  Vcon::WString text;
  FormatMoneyText(text, amount.Raw());
  return text.Narrow();
}

}  // namespace

void zelvproCalculatorFil::ComputeTotals(char* b) {
  const DecimalNumber pieces = Quantity(b, kPieces);
  const ppMoney quantity = ppMoney::FromDecimalNumber(pieces);
  const ppMoney discount = Money(b, kDiscount);
  SetMoney(b, kTotal, quantity * (Money(b, kPrice) + discount));
  SetMoney(b, kTotal2, quantity * (Money(b, kPrice2) + discount));
  SetLong(b, kWeightTotal, Scaled(Long(b, kWeight), pieces));
  SetLong(b, kVolumeTotal, Scaled(Long(b, kVolume), pieces));
}

int32_t zelvproCalculatorFil::PreviewOf(zelvDatabase& db, int32_t unitId) {
  CalculationCatalogViews::Views& views = views_.For(db);
  if (!CalculationCatalogViews::Read(*views.units, unitId)) return 0;
  const int32_t preview = views.unitPreview.Long(views.units->GetRecordBuffer());
  // The line holds the preview record's id: a picture's address cannot live in a stored word.
  return CalculationCatalogViews::Read(views.units->PreviewFile(), preview) ? preview : 0;
}

void zelvproCalculatorFil::AfterRead(char* buffer) {
  char* b = Buffer(buffer);
  LineRefs& refs = BufferRefs(buffer);
  if (Quantity(b, kPieces).IsZero()) SetQuantity(b, kPieces, DecimalNumber(Long(b, kOldPieces)));
  const int32_t oldPercent = Long(b, kOldDiscountPercent);
  if (oldPercent != 0 && Float(b, kDiscountPercent).Value() == 0.0f) {
    ppDatafile::SetFieldValue(kDiscountPercent, ppParameter(float(oldPercent)), b);
    SetLong(b, kOldDiscountPercent, 0);
  }
  const int32_t type = Long(b, kType);
  const int32_t unit = Long(b, kUnitId);
  if (IsElementLine(type)) {
    ComputeTotals(b);
    SetLong(b, kPict, 0);
    Vcon::WString unitAndDimensions = Wide(b, kWideUnitText);
    const Vcon::WString dimensions = Wide(b, kDimensions);
    if (!dimensions.empty()) unitAndDimensions += u" (" + dimensions + u")";
    SetWide(b, kUnitAndDimensions, unitAndDimensions);
    if (unit != 0) {
      refs.db = FindDatabase(Long(b, kDatabaseId));
      if (refs.db != nullptr) SetLong(b, kPict, PreviewOf(*refs.db, unit));
    }
  } else if (type == kItemService && unit != 0 && Long(b, kPriceId) != 0) {
    zelvDatabase* db = FindDatabase(Long(b, kDatabaseId));
    if (db != nullptr) {
      // The catalogue's price replaces the stored one on every read.
      CalculationCatalogViews::Views& views = views_.For(*db);
      if (CalculationCatalogViews::Read(*views.prices, Long(b, kPriceId))) {
        const char* price = views.prices->GetRecordBuffer();
        SetMoney(b, kPrice, ppMoney::FromRaw(views.price.MoneyRaw(price)));
        SetMoney(b, kPrice2, ppMoney::FromRaw(views.price2.MoneyRaw(price)));
      }
    }
    ComputeTotals(b);
    SetLong(b, kPict, 0);
    refs.db = db;
    if (db != nullptr) SetLong(b, kPict, PreviewOf(*db, unit));
  }
  if (type >= kEmptyLine && type <= kNoteLine && type != kCalculationItem && type != kUnusedLine)
    SetText(b, kUnitDescription, Wide(b, kOtherText).Narrow());
  SetLong(b, kPiecesAndMissing, int32_t(Quantity(b, kPieces).ToInt64()));
  SetText(b, kPriceText2, PriceListMoney(Money(b, kPrice2)));
  SetText(b, kTotalText2, PriceListMoney(Money(b, kTotal2)));
}

void zelvproCalculatorFil::BuildLineTexts(char* buffer) {
  if (textsFrozen_) return;
  char* b = Buffer(buffer);
  const int32_t type = Long(b, kType);
  if (type < kEmptyLine || type == kUnusedLine || type >= kNoteLine) return;
  const bool priced = IsElementLine(type) || type == kItemService;
  const bool bare = type == kItemService && Long(b, kDatabaseId) == 0 && Long(b, kUnitId) == 0;
  if (priced && !bare) {
    const LineRefs refs = BufferRefs(buffer);
    // A line whose catalogue is not open keeps its stored texts.
    if (refs.db == nullptr) return;
    CalculationCatalogViews::Views& views = views_.For(*refs.db);
    ColourText(b, refs, views);
    const int32_t unitFlags = UnitTexts(b, views);
    if (IsElementLine(type)) {
      const Vcon::WString dbText = Wide(b, kWideDbText), unitText = Wide(b, kWideUnitText);
      const Vcon::WString colourText = Wide(b, kWideColorText), options = Wide(b, kOptions);
      Vcon::WString description = dbText + u" " + unitText;
      if (Long(b, kColorId) != 0 && !colourText.empty()) description += u" (" + colourText + u")";
      SetWide(b, kWideUnitDescription, description);
      Vcon::WString complete = dbText;
      if (!unitText.empty()) complete += u" " + unitText;
      if (!options.empty()) complete += u" " + options;
      complete.ReplaceAll(u"\r\n", u" / ");
      SetWide(b, kCompleteUnit, complete);
    }
    if (type == kElementLine3) SetWide(b, kWideUnitText, Wide(b, kText));
    NoteMarkers(b);
    if (IsElementLine(type)) ComputeTotals(b);
    PriceTexts(b, views, IsElementLine(type) ? unitFlags : 0);
  }
  TagText(b);
}

void zelvproCalculatorFil::ColourText(char* b, const LineRefs& refs, CalculationCatalogViews::Views& views) {
  Vcon::WString text;
  const int32_t colour = Long(b, kColorId);
  if (refs.element != nullptr && Long(b, kTopViewId) != 0) {
    refs.element->GetColorValue(text);
  } else if (colour != 0 && CalculationCatalogViews::Read(*views.colours, colour)) {
    text = views.colourName.WideText(views.colours->GetRecordBuffer());
  }
  SetWide(b, kWideColorText, text);
}

int32_t zelvproCalculatorFil::UnitTexts(char* b, CalculationCatalogViews::Views& views) {
  const int32_t unit = Long(b, kUnitId);
  if (unit == 0) {
    SetWide(b, kWideUnitText, Vcon::WString());
    return 0;
  }
  if (!CalculationCatalogViews::Read(*views.units, unit)) return 0;
  const char* record = views.units->GetRecordBuffer();
  Vcon::WString unitText = CalculationCatalogViews::NumberAndName(views);
  if (Long(b, kSort5) != 0) unitText += u"    ";
  SetWide(b, kWideUnitText, unitText);
  SetWide(b, kWideUnitName, views.unitName.WideText(record));
  SetWide(b, kWideCorpusColor, views.unitNumber.WideText(record));
  SetLong(b, kWeight, views.unitWeight.Long(record));
  SetLong(b, kVolume, views.unitVolume.Long(record));
  return views.unitFlags.Long(record);
}

void zelvproCalculatorFil::NoteMarkers(char* b) {
  const int32_t note = Long(b, kNoteIndex);
  if (note == 0) return;
  const Vcon::String marker = Vcon::String("  ") + std::to_string(note) + ")";
  // Both columns get the marker once, however often the texts are built.
  for (int32_t field : {kUnitDescription, kUnitText}) {
    ppParameter shown;
    GetFieldValue(field, shown, b);
    Vcon::String text = shown.AsString();
    if (text.find(marker) != std::string::npos) continue;
    text += marker;
    SetText(b, field, text);
  }
}

void zelvproCalculatorFil::PriceTexts(char* b, CalculationCatalogViews::Views& views, int32_t unitFlags) {
  const int32_t priceId = Long(b, kPriceId);
  if (priceId == 0 || !CalculationCatalogViews::Read(*views.prices, priceId)) return;
  const char* price = views.prices->GetRecordBuffer();
  // The price link of a unit priced through its parts is one of its parts: the article shown is
  // the unit's own (the element names the line by it), not the part's.
  const Vcon::WString named = (unitFlags & kPricedByParts) != 0 ? Wide(b, kWidePriceText) : Vcon::WString();
  SetWide(b, kOrderNumber, !named.empty() ? named : Vcon::WString(views.orderNumber.Text(price)));
  const Vcon::WString text = views.priceText.WideText(price);
  SetWide(b, kWideSku, !text.empty() ? text : Vcon::WString(views.sku.Text(price)));
}

void zelvproCalculatorFil::TagText(char* b) {
  zelvproTagFil* tags = TagTable();
  if (tags == nullptr || tags->GetRecordCount() == 0) return;
  tags->GoToItem(tags->IndexOfId(Long(b, kTag)));
  SetWide(b, kWideTagText, RecordField(*tags, "ttext").WideText(tags->GetRecordBuffer()));
}
