#include <gtest/gtest.h>

#include <bit>
#include <set>
#include <string>

#include "CatalogueTestSupport.h"
#include "catalogue/records/iElementFactory.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "support/DemoSettings.h"

namespace {

using cattest::AddRecord;
using cattest::SetWords;
using Words = std::vector<int32_t>;

int32_t F(float value) { return std::bit_cast<int32_t>(value); }

// One call of the recording factory.
struct Made {
  std::string kind;
  int32_t recordId = 0;
  zelvproElement* parent = nullptr;
  plat::RECT frame{};
  char* record = nullptr;
  const void* last = nullptr;  // the shape table or the database
  std::string name;            // the record's "Name" while the element was made
};

// Notes every element it is asked for and answers a distinct address that is never dereferenced.
class RecordingFactory : public iElementFactory {
 public:
  explicit RecordingFactory(zelvproTopViewFil*& topViews) : topViews_(topViews) {}

  zelvproElement* CreateTopViewElement(int32_t id, zelvproElement* parent, const plat::RECT& frame,
                                       char* record, zelvproShapeFil& shapes) override {
    return Note("top view", id, parent, frame, record, &shapes);
  }
  zelvproElement* CreateTopGroupElement(int32_t id, zelvproElement* parent, const plat::RECT& frame,
                                        char* record, zelvDatabase& db) override {
    return Note("group", id, parent, frame, record, &db);
  }
  zelvproElement* CreateStructureElement(int32_t id, zelvproElement* parent, const plat::RECT& frame,
                                         char* record, zelvDatabase& db) override {
    return Note("structure", id, parent, frame, record, &db);
  }
  zelvproElement* CreateConfigElement(int32_t id, zelvproElement* parent, const plat::RECT& frame,
                                      char* record, zelvDatabase& db) override {
    return Note("config", id, parent, frame, record, &db);
  }
  zelvproElement* CreateDoor(int32_t id, zelvproElement* parent, const plat::RECT& frame, char* record,
                             zelvDatabase& db) override {
    return Note("door", id, parent, frame, record, &db);
  }
  zelvproElement* CreateRoomWindow(int32_t id, zelvproElement* parent, const plat::RECT& frame, char* record,
                                   zelvDatabase& db) override {
    return Note("window", id, parent, frame, record, &db);
  }
  zelvproElement* CreateAccessory(int32_t id, zelvproElement* parent, const plat::RECT& frame, char* record,
                                  zelvDatabase& db) override {
    return Note("accessory", id, parent, frame, record, &db);
  }
  zelvproElement* CreateParametricElement(int32_t id, zelvproElement* parent, const plat::RECT& frame,
                                          char* record, zelvDatabase& db) override {
    return Note("parametric", id, parent, frame, record, &db);
  }

  std::vector<Made> made;

 private:
  zelvproElement* Note(const char* kind, int32_t id, zelvproElement* parent, const plat::RECT& frame,
                       char* record, const void* last) {
    const std::string name = RecordField(*topViews_, "Name").Text(record).c_str();
    made.push_back({kind, id, parent, frame, record, last, name});
    return reinterpret_cast<zelvproElement*>(&addresses_[made.size() % 64]);
  }

  zelvproTopViewFil*& topViews_;
  char addresses_[64] = {};
};

class TopViewTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    SetElementFactory(&factory_);
  }
  void TearDown() override {
    SetElementFactory(nullptr);
    CatalogueTest::TearDown();
  }

  zelvproTopViewFil* topViews_ = nullptr;
  RecordingFactory factory_{topViews_};
};

TEST_F(TopViewTest, EachElementTypeIsMadeByItsFactoryOperation) {
  auto db = Open();
  zelvproTopViewFil& topViews = db->TopViewFile();
  topViews_ = &topViews;
  zelvproElement* const parent = reinterpret_cast<zelvproElement*>(&topViews);
  const plat::RECT frame{10, 20, 110, 120};
  const struct {
    int32_t type;
    const char* kind;  // "" = no element
  } cases[] = {{0, "top view"},    {1, "group"}, {2, ""}, {3, "structure"}, {4, "config"},     {5, "door"},
               {6, "window"},      {7, ""},      {8, ""}, {9, ""},          {10, "accessory"}, {11, ""},
               {12, "parametric"}, {13, ""},     {-1, ""}};
  for (const auto& c : cases) {
    const std::string name = "type " + std::to_string(c.type);
    const int32_t id = AddRecord(topViews, {{"Name", name.c_str()}, {"Type", c.type}});
    topViews.ClearRecordBuffer(nullptr);
    factory_.made.clear();
    zelvproElement* element = topViews.CreateElement(id, frame, parent);
    EXPECT_EQ(topViews.CurrentRecordId(), id) << name;
    if (*c.kind == '\0') {
      EXPECT_EQ(element, nullptr) << name;
      EXPECT_TRUE(factory_.made.empty()) << name;
      continue;
    }
    ASSERT_EQ(factory_.made.size(), 1u) << name;
    const Made& made = factory_.made[0];
    EXPECT_NE(element, nullptr) << name;
    EXPECT_EQ(made.kind, c.kind);
    EXPECT_EQ(made.recordId, id) << name;
    EXPECT_EQ(made.parent, c.type == 10 ? nullptr : parent) << name;
    EXPECT_EQ(made.frame, frame) << name;
    EXPECT_EQ(made.record, topViews.GetRecordBuffer()) << name;
    EXPECT_EQ(made.name, name);
    EXPECT_EQ(made.last, c.type == 0 ? static_cast<const void*>(&topViews.ShapeFile()) : db.get()) << name;
  }

  // Record 0 makes nothing and reads nothing; without a factory nothing is made.
  const int32_t current = topViews.CurrentRecordId();
  factory_.made.clear();
  EXPECT_EQ(topViews.CreateElement(0, frame, parent), nullptr);
  EXPECT_EQ(topViews.CurrentRecordId(), current);
  SetElementFactory(nullptr);
  EXPECT_EQ(topViews.CreateElement(current, frame, parent), nullptr);
  EXPECT_TRUE(factory_.made.empty());
}

TEST_F(TopViewTest, SnapPointsAreConvertedFromTheirCatalogueVersion) {
  const int64_t z = std::bit_cast<int64_t>(1.5);
  const Words old0 = {7, 10, 20, 0x5555, int32_t(z), int32_t(z >> 32), 9, 0x6666};
  const Words new0 = {7, F(10), 0, F(20), F(1.5f), 9, 0, 0, 0};
  const Words old1 = {1, 2, 3, 4, 5, 6, 7};
  const Words new1 = {1, 2, 0, 3, 4, 5, 6, 0, 0};
  const auto join = [](Words a, const Words& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const struct {
    int32_t from;
    Words before, after;
  } cases[] = {
      {0, old0, new0},
      {0, join(join(old0, old0), {1, 2, 3}), join(new0, new0)},  // a partial entry is dropped
      {1, old1, new1},
      {1, join(old1, {8}), new1},
      {0, {}, {}},
      {2, old1, old1},
      {3, old0, old0},
  };
  auto db = Open();
  zelvproTopViewFil& topViews = db->TopViewFile();
  for (const auto& c : cases) {
    topViews.ClearRecordBuffer(nullptr);
    SetWords(topViews, "Snappoints", c.before);
    int32_t id = 0;
    topViews.AddRecord(&id, nullptr);
    topViews.ConvertSnappoints(c.from, 4);
    topViews.ReadRecord(id, nullptr);
    EXPECT_EQ(RecordField(topViews, "Snappoints").Words(topViews.GetRecordBuffer()), c.after) << c.from;
    topViews.DeleteRecord(id);
  }
}

TEST_F(TopViewTest, RecordsThatATopViewNamesCannotBeDeleted) {
  auto db = Open();
  zelvproTopViewFil& topViews = db->TopViewFile();
  const auto add = [&](int32_t flags, const std::vector<std::pair<const char*, Words>>& blobs,
                       cattest::Fields fields) {
    AddRecord(topViews, fields);
    cattest::SetField(topViews, "flags", flags);
    for (const auto& [name, words] : blobs) SetWords(topViews, name, words);
    topViews.WriteRecord(0, nullptr);
  };
  add(0,
      {{"Colors", {5}},
       {"Subelements", {31, 1, 1, 1, 1, 1}},
       {"Units", {41, 1}},
       {"DropItems", {51, 1}},
       {"subItems", {61, 1, 1, 1, 1, 1, 1, 1}},
       {"depths", {71}},
       {"options", {0, 42}},
       {"available", {102, 43, 44, 45, 0}},
       {"excludes", {46, 47, 0}}},
      {{"posSheet", 81}, {"colorCode", 91}});
  add(zelvproTopViewFil::kColorGroupFlag,
      {{"Colors", {8}}, {"options", {49}}, {"available", {103, 0, 48}}, {"excludes", {0, 50}}}, {});
  // A blob with a partial entry or word at the end, and the class link (the second "Type" field).
  AddRecord(topViews, {});
  SetWords(topViews, "Units", {52});
  topViews.SetFieldValue(38, ppParameter(101), nullptr);
  topViews.WriteRecord(0, nullptr);

  const struct {
    int32_t fileId;
    int32_t id;
    bool allowed;
  } cases[] = {
      {5408, 5, false},   {5425, 5, true},    {5425, 8, false},   {5408, 8, true},  // colours or groups
      {5406, 31, false},  {5406, 1, true},    {5405, 51, false},  {5405, 61, false}, {5405, 1, true},
      {5413, 41, false},  {5413, 52, true},   {5420, 71, false},  {5422, 81, false}, {5424, 91, false},
      {5413, 42, true},   {5413, 43, true},   {5413, 44, false},  {5413, 45, false},  // options, available
      {5413, 46, false},  {5413, 47, true},   {5413, 48, false},  {5413, 49, false}, {5413, 50, true},
      {5429, 101, false}, {5429, 102, false}, {5429, 103, false}, {5429, 43, true},  {5403, 5, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(topViews.AllowsDeleteOf(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
  EXPECT_FALSE(db->CanDeleteRecord(5408, 5));
  EXPECT_TRUE(db->CanDeleteRecord(5408, 8));
  EXPECT_FALSE(db->CanDeleteRecord(5425, 8));
  // An allowed walk leaves every top view selected and the last one read current.
  EXPECT_TRUE(topViews.AllowsDeleteOf(5413, 99));
  EXPECT_EQ(topViews.GetSelectedCount(), 3);
  EXPECT_EQ(topViews.CurrentRecordId(), topViews.RecordIdAt(2));
}

TEST_F(TopViewTest, EveryDemoItemMakesTheElementItsTopViewTypeNames) {
  DemoSettings demo;
  ppFileSpec file = dbtest::SpecFor(demo.File("catalogs/kitchen.cdb").string());
  zelvDatabase db(file);
  zelvproCatalogItemFil& items = db.CatalogItemFile();
  zelvproTopViewFil& topViews = db.TopViewFile();
  topViews_ = &topViews;
  // No demo item is configurable (type 4): such an element prices only from a saved document.
  const std::map<int32_t, std::string> kinds = {{0, "top view"},   {1, "group"},  {3, "structure"},
                                                {5, "door"},       {6, "window"}, {10, "accessory"},
                                                {12, "parametric"}};
  std::set<std::string> seen;
  items.SelectAll();
  ASSERT_GT(items.GetSelectedCount(), 0);
  for (int32_t i = 0; i < items.GetSelectedCount(); ++i) {
    items.ReadRecordAt(i, nullptr);
    if (cattest::LongField(items, "isColor") != 0) continue;  // a finish, no unit
    const int32_t topView = cattest::LongField(items, "TopView");
    factory_.made.clear();
    ASSERT_NE(topViews.CreateElement(topView, plat::RECT{0, 0, 100, 100}, nullptr), nullptr) << i;
    ASSERT_EQ(factory_.made.size(), 1u);
    EXPECT_EQ(factory_.made[0].kind, kinds.at(cattest::LongField(topViews, "Type"))) << i;
    seen.insert(factory_.made[0].kind);
  }
  EXPECT_EQ(seen.size(), kinds.size());
}

}  // namespace
