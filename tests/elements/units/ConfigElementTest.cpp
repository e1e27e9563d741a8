// Configurable elements: saved outlines read back within their data, colours held to the record's
// "Colors", the own price line and the configuration task in place of a move.
#include <gtest/gtest.h>

#include <cstring>

#include "elements/base/iElementTaskFactory.h"
#include "elements/topview/CalculationLine.h"
#include "elements/units/GroupsTestSupport.h"
#include "elements/units/zelvproConfigElement.h"
#include "framework/ppTask.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Line {
  int32_t type, topViewID, priceID, unitID, colorID;
  DecimalNumber pcs;
  int64_t price;
  zelvproElement* element;
};

// A calculation list over a real "qxCalculator" buffer that keeps every line added.
class LineRecorder : public iCalculationList {
 public:
  explicit LineRecorder(ppDatabase& db) : file_(std::make_unique<ppDatafile>("qxCalculator", db)) {}
  ppDatafile* LineFile() override { return file_.get(); }
  void AddLine(const LineRefs& refs) override {
    const char* b = file_->GetRecordBuffer();
    auto longOf = [&](const char* name) { return RecordField(*file_, name).Long(b); };
    lines.push_back({longOf("type"), longOf("topViewID"), longOf("priceID"), longOf("unitID"),
                     longOf("colorID"), RecordField(*file_, "pcs").Quantity(b),
                     RecordField(*file_, "price").MoneyRaw(b), refs.element});
  }
  void RemoveElementLines(zelvproElement* element) override {
    std::erase_if(lines, [&](const Line& l) { return l.element == element; });
  }
  std::vector<Line> lines;

 private:
  std::unique_ptr<ppDatafile> file_;
};

class ConfigTaskFactory : public iElementTaskFactory {
 public:
  ppTask* NewConfigTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/,
                        zelvproElement* element) override {
    configured = element;
    return new ppTask();
  }
  ppTask* New3DTask(qxViewHolder* /*selection*/, zelvproCanvas* /*canvas*/) override { return nullptr; }
  zelvproElement* configured = nullptr;
};

class ConfigElementTest : public unittest::SweepingUnitsTest {
 protected:
  // A configurable item with two rectangular outlines and the colours offered.
  int32_t ConfigRecord(eltest::Words colours = {}) {
    const int32_t a = AddShape(*db_, {0, 0, 100, 0, 100, 50});
    const int32_t b = AddShape(*db_, {0, 0, 10, 10});
    return AddTopView(
        *db_, {{"Type", 4}, {"ID", nextStoredId_++}},
        {{"Subelements", eltest::Join({eltest::PieceEntry(a, 0, 0), eltest::PieceEntry(b, 0, 0)})},
         {"Colors", colours}});
  }
  zelvproConfigElement* MakeConfig(int32_t record, zelvproElement* parent = nullptr) {
    auto* element = dynamic_cast<zelvproConfigElement*>(Make(*db_, record, parent));
    EXPECT_NE(element, nullptr);
    return element;
  }
  const char* Read(int32_t record) {
    db_->TopViewFile().ReadRecord(record, nullptr);
    return db_->TopViewFile().GetRecordBuffer();
  }
  static Bytes PointsOf(const zelvproShape& shape) {
    const auto* data = reinterpret_cast<const uint8_t*>(*shape.points);
    return Bytes(data, data + MemGetSize(shape.points));
  }
  int32_t nextStoredId_ = 900;  // documents name catalogue records by their stored "ID"
  // A loaded element of `record` whose module record's "points" blob holds `blob`.
  std::unique_ptr<zelvproConfigElement> Load(int32_t record, const Bytes& blob) {
    zelvproDocModuleFil& module = Module(*db_);
    cattest::SetField(module, "recID", RecordField(db_->TopViewFile(), "ID").Long(Read(record)));
    cattest::SetField(module, "type", 4);
    Handle data = RecordField(module, "points").Data(module.GetRecordBuffer());
    MemSetSize(data, uint32_t(blob.size()));
    if (!blob.empty()) std::memcpy(*data, blob.data(), blob.size());
    return std::make_unique<zelvproConfigElement>(nullptr, module, false);
  }
};

TEST_F(ConfigElementTest, SavedOutlinesAreReadBackWithinTheirData) {
  const int32_t record = ConfigRecord();
  std::unique_ptr<zelvproConfigElement> made(MakeConfig(record));
  const Bytes catalogueFirst = PointsOf(*made->outlines), catalogueSecond = PointsOf(*made->outlines->next);
  // Configured: the first outline gains a point.
  Bytes changed = catalogueFirst;
  for (float f : {5.0f, 60.0f}) {
    uint8_t bytes[4];
    std::memcpy(bytes, &f, 4);
    changed.insert(changed.end(), bytes, bytes + 4);
  }
  MemSetSize(made->outlines->points, uint32_t(changed.size()));
  std::memcpy(*made->outlines->points, changed.data(), changed.size());
  made->name = "Corner shelf";
  made->price = ppMoney::FromRaw(99900);
  zelvproDocModuleFil& module = Module(*db_);
  made->WriteRecord(module, false, 0);
  const char* r = module.GetRecordBuffer();
  EXPECT_EQ(RecordField(module, "type").Long(r), 4);
  std::unique_ptr<zelvproConfigElement> reloaded =
      std::make_unique<zelvproConfigElement>(nullptr, module, false);
  EXPECT_EQ(PointsOf(*reloaded->outlines), changed);
  EXPECT_EQ(reloaded->name, Vcon::String("Corner shelf"));
  EXPECT_EQ(reloaded->price.Raw(), 99900);
  const Bytes saved = made->SaveOutlinePoints();

  Bytes beyond = {8, 0, 0, 0, 1, 2, 3};  // the length runs past the data
  struct Case {
    const char* what;
    Bytes blob;
    Bytes first, second;
  } cases[] = {
      {"saved", saved, changed, catalogueSecond},
      {"a lone 0 length", {0, 0, 0, 0}, catalogueFirst, catalogueSecond},
      {"empty", {}, catalogueFirst, catalogueSecond},
      {"cut short", Bytes(saved.begin(), saved.begin() + 6), catalogueFirst, catalogueSecond},
      {"length beyond the rest", beyond, catalogueFirst, catalogueSecond},
  };
  for (const Case& c : cases) {
    std::unique_ptr<zelvproConfigElement> loaded = Load(record, c.blob);
    ASSERT_NE(loaded->outlines, nullptr) << c.what;
    EXPECT_EQ(PointsOf(*loaded->outlines), c.first) << c.what;
    EXPECT_EQ(PointsOf(*loaded->outlines->next), c.second) << c.what;
  }
}

TEST_F(ConfigElementTest, ColoursStayWithinTheOfferedList) {
  const int32_t c1 = AddColour(*db_, 1), c2 = AddColour(*db_, 2), c3 = AddColour(*db_, 3);
  std::unique_ptr<zelvproConfigElement> limited(MakeConfig(ConfigRecord({c2, c3})));
  EXPECT_EQ(limited->AllowedColorRecordId(c1), c2);
  EXPECT_EQ(limited->AllowedColorRecordId(c3), c3);
  limited->ApplyColorRecord(c3, db_, -1);
  EXPECT_EQ(limited->colorRecordId, c3);
  std::unique_ptr<zelvproConfigElement> open(MakeConfig(ConfigRecord()));
  EXPECT_EQ(open->AllowedColorRecordId(c1), c1);
}

TEST_F(ConfigElementTest, ItsOwnLineCarriesItsPriceAndAnUnpricedElementStillPricesItsChildren) {
  LineRecorder recorder(*db_);
  iCalculationList::Install(&recorder);
  const int32_t record = ConfigRecord();
  std::unique_ptr<zelvproConfigElement> element(MakeConfig(record));
  zelvproConfigElement* child = MakeConfig(record);
  element->AddSubview(child);
  element->calculate = child->calculate = 1;
  element->price = ppMoney::FromRaw(1234500);
  child->price = ppMoney::FromRaw(10000);

  element->AddToCalculation();
  ASSERT_EQ(recorder.lines.size(), 2u);
  const Line& own = recorder.lines[0];
  EXPECT_EQ(own.element, element.get());
  EXPECT_EQ(own.type, 2);
  EXPECT_EQ(own.topViewID, record);
  EXPECT_EQ(own.priceID, 0);
  EXPECT_EQ(own.unitID, 0);
  EXPECT_EQ(own.colorID, 0);
  EXPECT_EQ(own.pcs.ToDouble(), 1.0);
  EXPECT_EQ(own.pcs.Places(), 0);
  EXPECT_EQ(own.price, 1234500);

  element->calculate = 0;
  element->AddToCalculation();
  ASSERT_EQ(recorder.lines.size(), 1u);
  EXPECT_EQ(recorder.lines[0].element, child);
  iCalculationList::Install(&lines_);
}

TEST_F(ConfigElementTest, ADragInThe3DViewStartsTheConfigurationTask) {
  ConfigTaskFactory factory;
  iElementTaskFactory::Install(&factory);
  host_.viewId = iElementHost::k3DView;
  std::unique_ptr<zelvproConfigElement> element(MakeConfig(ConfigRecord()));
  std::unique_ptr<ppTask> task(element->CreateMoverTask(nullptr, canvas_.get(), nullptr));
  EXPECT_NE(task, nullptr);
  EXPECT_EQ(factory.configured, element.get());
}

}  // namespace
