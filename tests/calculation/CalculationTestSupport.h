// The fixture of the calculation tests: two catalogue databases (identifiers 1 and 2, listed in that
// order) with units, prices, colours, previews and notes, the document's tag table behind a host that
// hands it out, a line table over a handle of its own with a recording change observer, and helpers
// that add lines and read them back as the table shows them and as they are stored.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "calculation/zelvproCalculatorFil.h"
#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/DbTestSupport.h"
#include "elements/base/iElementHost.h"
#include "foundation/LocaleNumbers.h"

namespace calctest {

using cattest::Fields;

inline ppMoney Amount(double units) {
  return ppMoney::FromRaw(int64_t(units * 10000.0 + (units < 0 ? -0.5 : 0.5)));
}

class TagHost : public iElementHost {
 public:
  zelvproTagFil* TagTable() override { return tags; }
  zelvproTagFil* tags = nullptr;
};

// What the catalogues hold, by record id.
struct Catalogue {
  int32_t unit = 0;           // "B30 Base 30", priced, with a preview and a note
  int32_t unpricedUnit = 0;   // "W60 Wall 60", no price record
  int32_t price = 0;          // of `unit`: 200.00 / 150.00, article "A-100"
  int32_t articleUnit = 0;    // "T10 Tall 10", priced only by the shared article
  int32_t sharedArticle = 0;  // article "BOTH", 12.00 (13.00 in the second), naming `articleUnit`
  int32_t colour = 0;         // "Oak"
  int32_t preview = 0;
  int32_t note = 0;
};

class CalculationTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    SetLocaleNumberChars('.', ',', '-');
    list_ = std::make_unique<CatalogDatabaseList>();
    for (int32_t identifier : {1, 2}) {
      const std::string name = "catalog" + std::to_string(identifier) + ".cdb";
      {
        ppFileSpec file = dbtest::SpecFor(Path(name));
        file.word2 = 0x56484B54;
        file.word4 = CatalogDatabaseList::kCatalogueCode;
        zelvDatabase db(file);
        cattest::ChangeSettings(db, {{"name", name.c_str()}, {"identifier", identifier}});
      }
      list_->OpenDatabaseFile(dbtest::SpecFor(Path(name)));
    }
    ASSERT_EQ(list_->Count(), 2);
    first_ = Fill(Db(1), "Oak", 12.0);
    second_ = Fill(Db(2), "Walnut", 13.0);
    cattest::AddRecord(Db(2).PriceFile(),
                       {{"module", second_.unit}, {"price", Amount(9.0)}, {"orderno", "ONLY2"}});

    tagBlob_ = NewHandle();
    tags_ = std::make_unique<zelvproTagFil>(Db(1), tagBlob_);
    tags_->BeginAccess();
    for (auto [id, text] : {std::pair{5, "Kitchen"}, std::pair{9, "Utility"}}) {
      tags_->ClearRecordBuffer(nullptr);
      cattest::SetField(*tags_, "id", id);
      cattest::SetField(*tags_, "ttext", Vcon::WString(text));
      tags_->InsertRecordAt(-1, nullptr);
    }
    tags_->SaveToBlob();
    host_.tags = tags_.get();
    iElementHost::Install(&host_);

    lineBlob_ = NewHandle();
    calc_ = std::make_unique<zelvproCalculatorFil>(Db(1), lineBlob_);
    calc_->SetLineChanged([this](int32_t line) { changed_.push_back(line); });
  }
  void TearDown() override {
    calc_.reset();
    tags_.reset();
    iElementHost::Install(nullptr);
    MemDispose(lineBlob_);
    MemDispose(tagBlob_);
    list_.reset();
    SetLocaleNumberChars('.', ',', '-');
    CatalogueTest::TearDown();
  }

  static Handle NewHandle() {
    Handle h = nullptr;
    Vcon_HandleManager::MemNew(&h, 0);
    return h;
  }

  zelvDatabase& Db(int32_t identifier) { return *list_->FindById(identifier); }

  // Units, prices, a colour, a preview and a note; the shared article costs `sharedPrice`.
  static Catalogue Fill(zelvDatabase& db, const char* colourName, double sharedPrice) {
    Catalogue c;
    c.preview = cattest::AddRecord(db.UnitFile().PreviewFile(), {{"name", "front"}});
    c.note = cattest::AddRecord(db.NoteFile(), {{"name", "note"}, {"xnote", "600,720,560"}});
    c.unit = cattest::AddRecord(db.UnitFile(), {{"number1", "B30"},
                                                {"name1", "Base 30"},
                                                {"volume", 2000},
                                                {"weight", 3000},
                                                {"preview", c.preview},
                                                {"note", c.note}});
    c.unpricedUnit = cattest::AddRecord(db.UnitFile(), {{"number1", "W60"}, {"name1", "Wall 60"}});
    c.price = cattest::AddRecord(db.PriceFile(), {{"module", c.unit},
                                                  {"price", Amount(200.0)},
                                                  {"price2", Amount(150.0)},
                                                  {"orderno", "A-100"},
                                                  {"SKU", "SKU-1"}});
    c.articleUnit = cattest::AddRecord(db.UnitFile(), {{"number1", "T10"}, {"name1", "Tall 10"}});
    c.sharedArticle = cattest::AddRecord(
        db.PriceFile(), {{"module", c.articleUnit}, {"price", Amount(sharedPrice)}, {"orderno", "BOTH"}});
    c.colour = cattest::AddRecord(db.ColorCatalogFile(), {{"name", colourName}});
    return c;
  }

  zelvproCalculatorFil& Calc() { return *calc_; }

  // Appends a line of these fields with these references; answers its index.
  int32_t AddLine(Fields fields, iCalculationList::LineRefs refs = {}) {
    zelvproCalculatorFil& calc = Calc();
    calc.BeginAccess();
    calc.ClearRecordBuffer(nullptr);
    for (const auto& [name, value] : fields) cattest::SetField(calc, name, value);
    calc.BufferRefs(nullptr) = refs;
    calc.InsertRecordAt(-1, nullptr);
    calc.SaveToBlob();
    return calc.GetRecordCount() - 1;
  }

  // Writes property `name` of line `line` as the price list does.
  void Write(int32_t line, const char* name, const ppParameter& value) {
    Calc().BeginAccess();
    Calc().GoToItem(line);
    Calc().SetValue(Calc().IndexOf(name), value);
  }

  // Field `name` of line `line` as the table reads it (after the recalculation), stored form.
  ppParameter Read(int32_t line, const char* name) {
    Calc().BeginAccess();
    Calc().ReadRecordAt(line, nullptr);
    ppParameter value;
    Calc().ppDatafile::GetFieldValue(Calc().IndexOf(name), value, nullptr);
    return value;
  }
  int64_t RawMoney(int32_t line, const char* name) { return Read(line, name).ToMoney().Raw(); }
  std::string Text(int32_t line, const char* name) { return Read(line, name).AsWString().Narrow(); }

  // Field `name` of line `line` exactly as the handle stores it, read without the recalculation.
  ppParameter Stored(int32_t line, const char* name) {
    ppEmbeddedData stored(zelvproCalculatorFil::kLayout, Db(1), lineBlob_, nullptr);
    stored.LoadFromBlob();
    stored.ReadRecordAt(line, nullptr);
    ppParameter value;
    stored.GetFieldValue(stored.IndexOf(name), value, nullptr);
    return value;
  }

  std::unique_ptr<CatalogDatabaseList> list_;
  Catalogue first_, second_;
  TagHost host_;
  Handle tagBlob_ = nullptr, lineBlob_ = nullptr;
  std::unique_ptr<zelvproTagFil> tags_;
  std::unique_ptr<zelvproCalculatorFil> calc_;
  std::vector<int32_t> changed_;  // the lines the observer was told of, in order
};

}  // namespace calctest
