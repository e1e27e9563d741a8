// The tables kept in blobs of the document and its elements: the tags with their default tag in the
// user's language, the plan module records with their older fields, and the extras rows linked to
// the extras catalogue's prices (on a copy of the demo settings, where the document record file also
// binds to the main catalogue without adding a table).
#include <gtest/gtest.h>

#include <filesystem>

#include "CatalogueTestSupport.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/qxExtrasFil.h"
#include "catalogue/records/qxExtrasHeaders.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "database/dbDatabase.h"
#include "foundation/ppMoney.h"
#include "support/DemoSettings.h"

namespace {

using cattest::SetField;

// Program texts that answer only in the tests' current language.
class LanguageTexts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override {
    if (language != cattest::kLanguage) return false;
    if (number == zelvproTagFil::kDefaultNameText)
      text = u"Etiket";
    else if (number == zelvproTagFil::kDefaultTextText)
      text = u"Standardetiket";
    else
      return false;
    return true;
  }
};

class DocumentTablesTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    SetTextSource(&texts_);
    db_ = Open();
    doc_ = std::make_unique<zelvproDocFil>(*db_);
  }
  void TearDown() override {
    doc_.reset();
    db_.reset();
    CatalogueTest::TearDown();
  }

  struct Tag {
    int32_t id;
    std::string tname, ttext;
    bool operator==(const Tag&) const = default;
  };
  static std::vector<Tag> Tags(zelvproTagFil& tags) {
    std::vector<Tag> all;
    for (int32_t i = 0; i < tags.GetRecordCount(); ++i) {
      tags.ReadRecordAt(i, nullptr);
      all.push_back({cattest::LongField(tags, "id"), cattest::WideField(tags, "tname"),
                     cattest::WideField(tags, "ttext")});
    }
    return all;
  }
  static void AddTag(zelvproTagFil& tags, int32_t id, const char* name, const char* text) {
    tags.ClearRecordBuffer(nullptr);
    SetField(tags, "id", id);
    SetField(tags, "name", name);
    SetField(tags, "text", text);
    tags.InsertRecordAt(-1, nullptr);
  }

  LanguageTexts texts_;
  std::unique_ptr<zelvDatabase> db_;
  std::unique_ptr<zelvproDocFil> doc_;
};

TEST_F(DocumentTablesTest, LoadingAlwaysGivesTheDefaultTagInTheCurrentLanguageFirst) {
  const Tag kDefault{0, "Etiket", "Standardetiket"};
  zelvproTagFil& tags = doc_->TagTable();
  EXPECT_EQ(Tags(tags), std::vector<Tag>{kDefault});

  // An empty blob, even while the buffer holds another tag.
  AddTag(tags, 7, "Seven", "Tag seven");
  tags.BeginAccess();
  EXPECT_EQ(Tags(tags), std::vector<Tag>{kDefault});

  // A stored record 0 with texts of another language gets them replaced; narrow-only tags read wide.
  tags.DisposeRecords();
  AddTag(tags, 0, "Old", "Old text");
  AddTag(tags, 5, "Alpha", "Beta");
  tags.SaveToBlob();
  tags.BeginAccess();
  EXPECT_EQ(Tags(tags), (std::vector<Tag>{kDefault, {5, "Alpha", "Beta"}}));
  EXPECT_EQ(tags.IndexOfId(5), 1);
  EXPECT_EQ(tags.IndexOfId(99), 0);
  Vcon::String display;
  tags.GetDisplayText(display, nullptr);  // the last record read
  EXPECT_EQ(display, "Alpha");

  // A first record that is not the default tag keeps its name; a default tag goes in front of it.
  tags.DeleteRecordAt(0);
  tags.SaveToBlob();
  tags.BeginAccess();
  EXPECT_EQ(Tags(tags), (std::vector<Tag>{kDefault, {5, "Alpha", "Beta"}}));
}

TEST_F(DocumentTablesTest, WithoutAProgramTextTheDefaultTagTakesTheResourceTexts) {
  SetTextSource(nullptr);
  zelvproTagFil& tags = doc_->TagTable();
  tags.InitDefaultTag();
  EXPECT_EQ(Tags(tags), std::vector<Tag>{(Tag{0, "Tag", "Standard"})});
}

TEST_F(DocumentTablesTest, ReopeningTheTagTableWritesItAndLoadsANewOne) {
  AddTag(doc_->TagTable(), 7, "Island", "Kitchen island");
  std::unique_ptr<zelvproTagFil> fresh = doc_->ReopenTagTable();
  EXPECT_EQ(Tags(*fresh),
            (std::vector<Tag>{{0, "Etiket", "Standardetiket"}, {7, "Island", "Kitchen island"}}));
  EXPECT_GT(MemGetSize(RecordField(*doc_, "tags").Data(doc_->Record())), 4u);
}

// Binding fields in one pass finds, for every name, what a lookup of that name alone finds: on the
// document's layout and the plan modules', whose names run long and include near misses.
TEST_F(DocumentTablesTest, BindingFieldsFindsWhatEachNameAloneFinds) {
  zelvproDocModuleFil plan(*db_, RecordField(*doc_, "room").Data(doc_->Record()));
  for (ppDatafile* file : {static_cast<ppDatafile*>(doc_.get()), static_cast<ppDatafile*>(&plan)}) {
    ASSERT_GT(file->FieldCount(), 10);
    for (int32_t i = 0; i < file->FieldCount(); ++i) {
      Vcon::String name;
      file->FieldNameAt(i, name);
      RecordField bound;
      RecordField::Bind(*file, {{bound, name.c_str()}});
      EXPECT_EQ(bound.Index(), RecordField(*file, name.c_str()).Index()) << name.c_str();
    }
  }

  // Many at once, in any order: a name asked twice takes its first field both times; a prefix of a
  // name, a name one letter longer, an empty name and a missing one find nothing and read as empty.
  RecordField quantity, price, again, legacy, prefix, longer, empty;
  RecordField missing(plan, "price");  // a field it held before is forgotten
  RecordField::Bind(plan, {{price, "price"},
                           {quantity, "quantity"},
                           {again, "quantity"},
                           {legacy, "_quantity"},
                           {prefix, "quantit"},
                           {longer, "quantityx"},
                           {empty, ""},
                           {missing, "noSuchField"}});
  EXPECT_EQ(price.Index(), RecordField(plan, "price").Index());
  EXPECT_EQ(quantity.Index(), RecordField(plan, "quantity").Index());
  EXPECT_EQ(again.Index(), quantity.Index());
  EXPECT_EQ(legacy.Index(), RecordField(plan, "_quantity").Index());
  EXPECT_NE(legacy.Index(), quantity.Index());
  for (const RecordField* none : {&prefix, &longer, &empty, &missing}) EXPECT_FALSE(none->Exists());
  ASSERT_TRUE(price.Exists() && legacy.Exists());

  // The bound fields read and write the record as the named ones do; the missing ones ignore writes.
  char* record = plan.GetRecordBuffer();
  legacy.SetLong(record, 41);
  missing.SetLong(record, 99);
  EXPECT_EQ(RecordField(plan, "_quantity").Long(record), 41);
  EXPECT_EQ(missing.Long(record), 0);
}

TEST_F(DocumentTablesTest, ModuleRecordsReadTheirOlderFields) {
  const struct {
    const char* what;
    int32_t legacyQuantity;
    DecimalNumber quantity;
    int32_t legacyPrice;
    int64_t priceRaw;
    DecimalNumber readQuantity;
    int64_t readPriceRaw;
  } kCases[] = {
      {"legacy quantity", 3, DecimalNumber(0), 0, 0, DecimalNumber(3), 0},
      {"quantity set", 3, DecimalNumber(2), 0, 0, DecimalNumber(2), 0},
      {"legacy price", 0, DecimalNumber(1), 12345, 0, DecimalNumber(1), 12345},
      {"price kept", 0, DecimalNumber(1), 12345, 990000, DecimalNumber(1), 990000},
      {"price of no value", 0, DecimalNumber(1), 12345, ppMoney::kNoValue, DecimalNumber(1), 12345},
  };
  zelvproDocModuleFil& plan = doc_->FurnitureTable();
  for (const auto& c : kCases) {
    char* record = plan.GetRecordBuffer();
    plan.ClearRecordBuffer(nullptr);
    RecordField(plan, "_quantity").SetLong(record, c.legacyQuantity);
    RecordField(plan, "quantity").SetQuantity(record, c.quantity);
    RecordField(plan, "xprice").SetLong(record, c.legacyPrice);
    RecordField(plan, "xcostumPrice").SetLong(record, 1);  // a wall's flag
    RecordField(plan, "price").SetRaw64(record, c.priceRaw);
    plan.DisposeRecords();
    plan.InsertRecordAt(-1, nullptr);
    plan.SaveToBlob();
    plan.ClearRecordBuffer(nullptr);
    plan.LoadFromBlob();
    plan.ReadRecordAt(0, nullptr);
    EXPECT_EQ(RecordField(plan, "quantity").Quantity(record), c.readQuantity) << c.what;
    EXPECT_EQ(RecordField(plan, "price").Raw64(record), c.readPriceRaw) << c.what;
    EXPECT_EQ(RecordField(plan, "customPrice").Raw64(record), 0) << c.what;
  }
  plan.DisposeRecords();
}

TEST(ExtrasHeaders, NameTheThreeColumnsAndTheirTitles) {
  SetTextSource(nullptr);
  qxExtrasHeaders headers;
  EXPECT_EQ(headers.GetPropertyCount(), 3);
  const std::pair<const char*, int32_t> kNames[] = {{"article", 0},  {"description", 1}, {"qty", 2},
                                                    {"orderno", -1}, {"priceID", -1},    {"text", -1}};
  for (const auto& [name, index] : kNames) EXPECT_EQ(headers.IndexOf(name), index) << name;
  const char16_t* kTitles[] = {u"Article number", u"Description", u"Qty", u"", u""};
  const int32_t kColumns[] = {0, 1, 2, 3, -1};
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(headers.GetValue(kColumns[i]).AsWString(), Vcon::WString(kTitles[i])) << i;
}

// ---- on a copy of the demo settings -----------------------------------------------------------------

class DemoDocumentTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    saved_ = std::filesystem::current_path();
    std::filesystem::current_path(demo_.Root());  // the function records name ".\settings\..."
    ppFileSpec file(Vcon::WString(demo_.File("zadezodid.cdb").string().c_str()));
    application_ = std::make_unique<qxApplicationdb>(file);
    catalogues_ = std::make_unique<CatalogDatabaseList>();
  }
  void TearDown() override {
    catalogues_.reset();
    application_.reset();
    std::filesystem::current_path(saved_);
    CatalogueTest::TearDown();
  }

  DemoSettings demo_;
  std::filesystem::path saved_;
  std::unique_ptr<qxApplicationdb> application_;
  std::unique_ptr<CatalogDatabaseList> catalogues_;
};

TEST_F(DemoDocumentTest, TheDocumentRecordFileBindsToTheMainCatalogueAndAddsNoTable) {
  ASSERT_NE(MainCatalogDatabase, nullptr);
  const int32_t tables = MainCatalogDatabase->FileCount();
  {
    zelvproDocFil doc(zelvproDocFil::DatabaseToBind());
    EXPECT_EQ(&doc.Database(), MainCatalogDatabase);
    EXPECT_EQ(doc.TagTable().GetRecordCount(), 1);
  }
  EXPECT_EQ(MainCatalogDatabase->FileCount(), tables);
}

TEST_F(DemoDocumentTest, WithoutACatalogueTheDocumentRecordFileBindsToTheApplicationDatabase) {
  catalogues_.reset();
  ASSERT_EQ(MainCatalogDatabase, nullptr);
  EXPECT_EQ(&zelvproDocFil::DatabaseToBind(), application_.get());
}

TEST_F(DemoDocumentTest, AnArticleNumberLinksItsExtrasPrice) {
  ASSERT_NE(ExtrasCatalogDatabase, nullptr);
  ppDatafile& prices = ExtrasCatalogDatabase->PriceFile();
  const int32_t led = prices.FindRecordByKey(prices.IndexOf("orderno"), "VX-2003");
  ASSERT_GT(led, 0);
  Handle blob = nullptr;
  Vcon_HandleManager::MemNew(&blob, 0);
  {
    qxExtrasFil extras(*ExtrasCatalogDatabase, blob);
    extras.ClearRecordBuffer(nullptr);
    extras.InsertRecordAt(0, nullptr);
    extras.SaveToBlob();
    const int32_t article = extras.IndexOf("article");
    extras.GoToItem(0);
    extras.SetValue(article, ppParameter("VX-2003"));
    extras.LoadFromBlob();
    extras.ReadRecordAt(0, nullptr);
    EXPECT_EQ(cattest::LongField(extras, "priceID"), led);
    EXPECT_EQ(cattest::WideField(extras, "description"), "LED strip 100 cm");

    extras.SetValue(article, ppParameter("VX-9999"));  // no such article: the link stays
    extras.LoadFromBlob();
    extras.ReadRecordAt(0, nullptr);
    EXPECT_EQ(RecordField(extras, "article").Text(extras.GetRecordBuffer()), "VX-9999");
    EXPECT_EQ(cattest::LongField(extras, "priceID"), led);
    EXPECT_EQ(cattest::WideField(extras, "description"), "LED strip 100 cm");
  }
  MemDispose(blob);
}

}  // namespace
