// The XML shopping list: its frame, the sales items of the price list lines, the number formats, the
// escaping and the language codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "calculation/CalculationTestSupport.h"
#include "calculation/PriceListTable.h"
#include "calculation/ShoppingListXml.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "elements/topview/iCalculationUpdate.h"
#include "platform/HeadlessDriver.h"
#include "platform/ResetList.h"

namespace {

using calctest::Amount;

class CountingUpdate : public iCalculationUpdate {
 public:
  void UpdateCalculation(bool now) override { calls += now ? 1 : 100; }
  int calls = 0;
};

plat::SYSTEMTIME NineFiveThree() {
  plat::SYSTEMTIME t{};
  t.wYear = 2024;
  t.wMonth = 3;
  t.wDay = 7;
  t.wHour = 9;
  t.wMinute = 5;
  t.wSecond = 3;
  return t;
}

const std::string kHead =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-16\"?><VoShoppingList><BuCode/><BuType/>"
    "<CreateDateTime>2024-03-07T09:05:03Z</CreateDateTime><CreationMethod/><OrderAlias/><OrderNo/>"
    "<OrderNoSource/><OwnerId/><OwnerType/><UpdateDateTime>2024-03-07T09:05:03Z</UpdateDateTime>"
    "<VoSlContact><BusinessName/><CustomerType/><CustumerId/><FirstName/>";
const std::string kMiddle =
    "<LastName/><VoSlContactMethodList><VoSlContactMethod><ContactMethodData/>"
    "<ContactMethodType>ADDRESS</ContactMethodType><VoSlAddress><AttentionName/><CareOfName/><CityName/>";
const std::string kContactEnd =
    "<FloorNo/><ProvinceCode/><StreetName/><StreetNo/><ZipCode/><ZipCodePrefix/><ZipCodeType/>"
    "</VoSlAddress></VoSlContactMethod></VoSlContactMethodList></VoSlContact>";
const std::string kGroupStart =
    "<VoSlSalesItemGroupList><VoSlSalesItemGroup><GroupText>Zelvo group</GroupText><VoSlSalesItemList>";
const std::string kGroupEnd = "</VoSlSalesItemList></VoSlSalesItemGroup></VoSlSalesItemGroupList>";

// The text as UTF-8, to compare with readable expectations.
std::string Utf8(const Vcon::WString& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

class ShoppingListXmlTest : public calctest::CalculationTest {
 protected:
  void SetUp() override {
    CalculationTest::SetUp();
    iCalculationUpdate::Install(&update_);
  }
  void TearDown() override {
    SetPriceListTable(nullptr);
    iCalculationUpdate::Install(nullptr);
    application_.reset();
    CalculationTest::TearDown();
  }
  std::string Xml() { return Utf8(BuildShoppingListXml(&NineFiveThree)); }
  // An article line: number, quantity, unit price, texts; in the first catalogue unless `noDb`.
  void Article(const char* orderId, const char* text, const char* article, double pcs, double price,
               int32_t number = 0, int32_t priceId = 0, bool noDb = false) {
    const int32_t line = AddLine({{"type", 1},
                                  {"torderID", Vcon::WString(orderId)},
                                  {"ttext", Vcon::WString(text)},
                                  {"tpriceText", Vcon::WString(article)},
                                  {"pcs", DecimalNumber(pcs)},
                                  {"number", number},
                                  {"priceID", priceId}},
                                 {nullptr, noDb ? nullptr : &Db(1)});
    // The amount raw: a money field's text path keeps no cents.
    Calc().ReadRecordAt(line, nullptr);
    RecordField(Calc(), "price").SetMoneyRaw(Calc().GetRecordBuffer(), Amount(price).Raw());
    Calc().WriteRecordAt(line, nullptr);
    Calc().SaveToBlob();
  }
  void OpenApplication() {
    ppFileSpec file = dbtest::SpecFor(Path("zadezodid.cdb"));
    application_ = std::make_unique<qxApplicationdb>(file);
  }
  void Language(int32_t code, const char* shortName, const char* country) {
    cattest::AddRecord(application_->LanguageCodeFile(),
                       {{"langCode", code}, {"langShortName", shortName}, {"langCountryCode", country}});
  }

  CountingUpdate update_;
  std::unique_ptr<qxApplicationdb> application_;
};

TEST(XmlEscapeTest, FiveCharactersBecomeEntitiesAndAmpersandsAreEscapedOnce) {
  const struct {
    const char16_t* in;
    const char16_t* out;
  } cases[] = {{u"A&B <x>", u"A&amp;B &lt;x&gt;"},
               {u"&amp;", u"&amp;amp;"},
               {u"'\"", u"&apos;&quot;"},
               {u"", u""},
               {u"plain \u00E6", u"plain \u00E6"}};
  for (const auto& c : cases) EXPECT_EQ(Utf8(XmlEscape(Vcon::WString(c.in))), Utf8(Vcon::WString(c.out)));
}

TEST_F(ShoppingListXmlTest, WithoutAPriceListTheFrameStandsAloneAndNothingIsRebuilt) {
  EXPECT_EQ(Xml(),
            kHead + "<LanguageCodeIso/>" + kMiddle + "<CountryCodeIso/>" + kContactEnd + "</VoShoppingList>");
  EXPECT_EQ(update_.calls, 0);
}

TEST_F(ShoppingListXmlTest, AListWithoutPricedLinesHasTheEmptyItemListPair) {
  AddLine({{"type", 9}, {"ttext", Vcon::WString("a text")}});
  SetPriceListTable(&Calc());
  EXPECT_EQ(Xml(), kHead + "<LanguageCodeIso/>" + kMiddle + "<CountryCodeIso/>" + kContactEnd + kGroupStart +
                       kGroupEnd + "</VoShoppingList>");
  // The list is rebuilt first, at once.
  EXPECT_EQ(update_.calls, 1);
}

TEST_F(ShoppingListXmlTest, EachArticleLineIsOneSalesItem) {
  const int32_t typed = cattest::AddRecord(Db(1).PriceFile(), {{"module", first_.unit}, {"type", "ART"}});
  Article("A1", "Base unit", "B30", 2.0, 199.95, 7, typed);
  Article("", "no article", "", 1.0, 5.0);
  Article("A2", "A&B <x>", "T&1", 1.5, 200.0);
  Article("A3", "third", "W60", 0.33333, 0.5, 0, typed, true);
  SetPriceListTable(&Calc());
  const std::string items =
      "<VoSlSalesItem><Qty>2</Qty><QtyType>PIECES</QtyType><SalesItemName>7: Base unit</SalesItemName>"
      "<SalesItemNo>B30</SalesItemNo><SalesItemType>ART</SalesItemType><SalesPrice>199.95</SalesPrice>"
      "</VoSlSalesItem>"
      "<VoSlSalesItem><Qty>1.5</Qty><QtyType>PIECES</QtyType><SalesItemName>A&amp;B &lt;x&gt;</SalesItemName>"
      "<SalesItemNo>T&amp;1</SalesItemNo><SalesItemType></SalesItemType><SalesPrice>200.00</SalesPrice>"
      "</VoSlSalesItem>"
      // No catalogue database: no price table to read the item type from.
      "<VoSlSalesItem><Qty>0.3333</Qty><QtyType>PIECES</QtyType><SalesItemName>third</SalesItemName>"
      "<SalesItemNo>W60</SalesItemNo><SalesItemType></SalesItemType><SalesPrice>0.50</SalesPrice>"
      "</VoSlSalesItem>";
  EXPECT_EQ(Xml(), kHead + "<LanguageCodeIso/>" + kMiddle + "<CountryCodeIso/>" + kContactEnd + kGroupStart +
                       items + kGroupEnd + "</VoShoppingList>");
}

TEST_F(ShoppingListXmlTest, TheCurrentLanguagesRecordGivesBothCodes) {
  OpenApplication();
  const int32_t current = int32_t(CurrentLanguageCode());
  // No record for the language: both empty.
  Language(current + 1, "xx", "XX");
  EXPECT_EQ(Xml(),
            kHead + "<LanguageCodeIso/>" + kMiddle + "<CountryCodeIso/>" + kContactEnd + "</VoShoppingList>");

  Language(current, "da", "DK");
  Vcon::WString country, language = u"stale";
  GetLanguageCodes(country, language);
  EXPECT_EQ(country.Narrow(), "DK");
  EXPECT_EQ(language.Narrow(), "da");
  EXPECT_EQ(Xml(), kHead + "<LanguageCodeIso>da</LanguageCodeIso>" + kMiddle +
                       "<CountryCodeIso>DK</CountryCodeIso>" + kContactEnd + "</VoShoppingList>");
}

TEST_F(ShoppingListXmlTest, AnEmptyCountryCodeGivesTheEmptyElementBesideALanguage) {
  OpenApplication();
  Language(int32_t(CurrentLanguageCode()), "en", "");
  EXPECT_EQ(Xml(), kHead + "<LanguageCodeIso>en</LanguageCodeIso>" + kMiddle + "<CountryCodeIso/>" +
                       kContactEnd + "</VoShoppingList>");
  application_.reset();
  Vcon::WString country = u"x", language = u"y";
  GetLanguageCodes(country, language);
  EXPECT_TRUE(country.empty());
  EXPECT_TRUE(language.empty());
}

TEST(PriceListTableTest, TheDesktopResetForgetsTheTable) {
  const auto names = plat::ResetList::Names();
  ASSERT_NE(std::find(names.begin(), names.end(), "calculation: price list table"), names.end());
  int placeholder = 0;
  SetPriceListTable(reinterpret_cast<zelvproCalculatorFil*>(&placeholder));
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(PriceListTable(), nullptr);
}

TEST_F(ShoppingListXmlTest, ThePackedDocumentFieldStartsWithTheByteOrderMark) {
  const Vcon::WString xml = BuildShoppingListXml(&NineFiveThree);
  ASSERT_EQ(xml[0], u'\uFEFF');
  ppDatafile document("qxDocument", Db(1));
  document.ClearRecordBuffer(nullptr);
  document.SetFieldValue(document.IndexOf("xmlExport"), ppParameter(xml), nullptr);
  Handle packed = nullptr;
  Vcon_HandleManager::MemNew(&packed, 0);
  document.PackRecord(nullptr, packed);
  const std::string bytes(*packed, MemGetSize(packed));
  MemDispose(packed);
  const std::string start("\xFF\xFE<\0?\0x\0m\0l\0", 12);
  EXPECT_NE(bytes.find(start), std::string::npos);
}

}  // namespace
