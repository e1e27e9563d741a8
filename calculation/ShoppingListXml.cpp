#include "calculation/ShoppingListXml.h"

#include <cstdint>
#include <cstdio>

#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/DecimalFormat.h"
#include "foundation/UserPreferences.h"
#include "foundation/ppMoney.h"

namespace {

Vcon::WString Ascii(const char* text) { return Vcon::WString(text); }

// "<name>" + escaped text + "</name>", or "<name/>" for an empty text when `emptyForm` is set.
void Element(Vcon::WString& out, const char* name, const Vcon::WString& text, bool emptyForm) {
  const Vcon::WString tag = Ascii(name);
  if (emptyForm && text.empty()) {
    out += u"<" + tag + u"/>";
    return;
  }
  out += u"<" + tag + u">" + XmlEscape(text) + u"</" + tag + u">";
}

Vcon::WString DateText(const plat::SYSTEMTIME& t) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%d-%02d-%02dT%02d:%02d:%02dZ", int(t.wYear), int(t.wMonth),
                int(t.wDay), int(t.wHour), int(t.wMinute), int(t.wSecond));
  return Ascii(buffer);
}

// Up to four places, cut (not rounded) beyond them, trailing zeros and a bare point dropped.
Vcon::WString QuantityText(const DecimalNumber& pieces) {
  DecimalFormat format;
  format.affixOn = false;
  format.decimalsOn = true;
  format.decimals = 4;
  format.trimZeros = true;
  format.decimalPoint = ".";
  format.minusAfter = false;
  format.grouping = false;
  return Vcon::WString(pieces.Format(format));
}

// The unit price: the raw amount over 10000 as a double, two decimals to the nearest.
Vcon::WString PriceText(ppMoney price) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.2f", double(price.Raw()) / 10000.0);
  return Ascii(buffer);
}

void SalesItems(Vcon::WString& out, zelvproCalculatorFil& lines) {
  out += u"<VoSlSalesItemGroupList><VoSlSalesItemGroup><GroupText>Zelvo group</GroupText><VoSlSalesItemList>";
  lines.BeginAccess();
  const RecordField orderNumber(lines, "torderID"), text(lines, "ttext"), articleText(lines, "tpriceText");
  const RecordField number(lines, "number"), pieces(lines, "pcs"), price(lines, "price");
  for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
    lines.ReadRecordAt(i, nullptr);
    const char* b = lines.GetRecordBuffer();
    if (orderNumber.WideText(b).empty()) continue;
    Vcon::WString name = text.WideText(b);
    const int32_t n = number.Long(b);
    if (n > 0) {
      char prefix[32];
      std::snprintf(prefix, sizeof prefix, "%ld: ", long(n));
      name = Ascii(prefix) + name;
    }
    out += u"<VoSlSalesItem>";
    Element(out, "Qty", QuantityText(pieces.Quantity(b)), false);
    out += u"<QtyType>PIECES</QtyType>";
    Element(out, "SalesItemName", name, false);
    Element(out, "SalesItemNo", articleText.WideText(b), false);
    // No database or price link: an empty item type.
    Element(out, "SalesItemType", Vcon::WString(lines.PriceTypeOf(nullptr)), false);
    Element(out, "SalesPrice", PriceText(ppMoney::FromRaw(price.MoneyRaw(b))), false);
    out += u"</VoSlSalesItem>";
  }
  out += u"</VoSlSalesItemList></VoSlSalesItemGroup></VoSlSalesItemGroupList>";
}

}  // namespace

Vcon::WString XmlEscape(const Vcon::WString& text) {
  Vcon::WString out = text;
  out.ReplaceAll(u"&", u"&amp;");
  out.ReplaceAll(u"'", u"&apos;");
  out.ReplaceAll(u"\"", u"&quot;");
  out.ReplaceAll(u"<", u"&lt;");
  out.ReplaceAll(u">", u"&gt;");
  return out;
}

void GetLanguageCodes(Vcon::WString& country, Vcon::WString& language) {
  country.clear();
  language.clear();
  if (ApplicationRecordFile == nullptr) return;
  auto* application = dynamic_cast<qxApplicationdb*>(&ApplicationRecordFile->Database());
  if (application == nullptr) return;
  ppDatafile& codes = application->LanguageCodeFile();
  const int32_t field = codes.IndexOf("langCode");
  if (field < 0) return;
  const ppParameter code{int32_t(CurrentLanguageCode())};
  // '#' starts from an empty selection: the result is the records of the current language.
  codes.Select(field, 1, code, code, '#');
  if (codes.GetSelectedCount() == 0) return;
  codes.ReadRecordAt(0, nullptr);
  const char* record = codes.GetRecordBuffer();
  country = Vcon::WString(RecordField(codes, "langCountryCode").Text(record));
  language = Vcon::WString(RecordField(codes, "langShortName").Text(record));
}

Vcon::WString BuildShoppingListXml(const ShoppingListClock& clock) {
  plat::SYSTEMTIME now{};
  if (clock)
    now = clock();
  else
    plat::GetLocalTime(&now);
  // Local time, although the text ends in "Z": the receivers read it so.
  const Vcon::WString date = DateText(now);
  Vcon::WString country, language;
  GetLanguageCodes(country, language);

  Vcon::WString out;
  out.reserve(4096);
  out += u"\uFEFF";
  out += u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>";
  out += u"<VoShoppingList><BuCode/><BuType/>";
  Element(out, "CreateDateTime", date, false);
  out += u"<CreationMethod/><OrderAlias/><OrderNo/><OrderNoSource/><OwnerId/><OwnerType/>";
  Element(out, "UpdateDateTime", date, false);
  out += u"<VoSlContact><BusinessName/><CustomerType/><CustumerId/><FirstName/>";
  Element(out, "LanguageCodeIso", language, true);
  out +=
      u"<LastName/><VoSlContactMethodList><VoSlContactMethod><ContactMethodData/>"
      u"<ContactMethodType>ADDRESS</ContactMethodType><VoSlAddress><AttentionName/><CareOfName/><CityName/>";
  Element(out, "CountryCodeIso", country, true);
  out +=
      u"<FloorNo/><ProvinceCode/><StreetName/><StreetNo/><ZipCode/><ZipCodePrefix/><ZipCodeType/>"
      u"</VoSlAddress></VoSlContactMethod></VoSlContactMethodList></VoSlContact>";
  if (PriceListTable() != nullptr) {
    iCalculationUpdate::Current().UpdateCalculation(true);
    // Asked again: the rebuild may have closed the price list.
    if (zelvproCalculatorFil* lines = PriceListTable()) SalesItems(out, *lines);
  }
  out += u"</VoShoppingList>";
  return out;
}
