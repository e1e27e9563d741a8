// What the demo offers a user is in reach in both of its languages: every unit of the palette's
// strips can be placed (an accessory on a unit of the strips that takes it) and stands in the group
// of the units it stands with, and every name, colour code caption and colour of the main catalogue
// has its Danish text (a price record's item text is the record's own, in one language).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproColorCodeFil.h"
#include "catalogue/records/zelvproColorGroupFil.h"
#include "catalogue/records/zelvproOptionValueFil.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/base/zelvproElement.h"
#include "elements/units/WallTopViewRecord.h"
#include "platform/HeadlessDriver.h"
#include "support/DemoSettings.h"

namespace {

namespace fs = std::filesystem;

constexpr int32_t kDanish = 1030;
constexpr int32_t kAccessoryType = 10;

class Host : public iElementHost {
 public:
  zelvDatabase* FindDatabase(int32_t identifier) override {
    return identifier == WallTopViewRecord::kCatalogue ? db : nullptr;
  }
  zelvDatabase* db = nullptr;
};

struct StripItem {
  std::string id, group;
};

// The items of the trees whose groups the palette's strips show: ROOM (Room design) and ZELVO (the
// plan views and 3D).
std::vector<StripItem> StripItems(const fs::path& catalogs) {
  std::map<std::string, std::string> parentOf;
  std::vector<std::pair<std::string, std::string>> items;  // ID, group
  for (const fs::directory_entry& entry : fs::directory_iterator(catalogs)) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> fields;
      std::stringstream cells(line);
      for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
      if (fields.size() != 5) continue;
      if (fields[0] == "GROUP") parentOf[fields[1]] = fields[4];
      if (fields[0] == "ITEM") items.emplace_back(fields[1], fields[4]);
    }
  }
  std::vector<StripItem> shown;
  for (const auto& [id, group] : items) {
    std::string top = group;
    while (parentOf.count(top) != 0) top = parentOf[top];
    if (top == "ROOM" || top == "ZELVO") shown.push_back({id, group});
  }
  return shown;
}

class DemoReach : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppFileSpec file{Vcon::WString(demo_.File("catalogs/kitchen.cdb").string().c_str())};
    db_ = std::make_unique<zelvDatabase>(file);
    host_.db = db_.get();
    iElementHost::Install(&host_);
    TopViewElementFactory::Install();
  }
  void TearDown() override {
    WallTopViewRecord::Reset();
    iElementHost::Install(nullptr);
    db_.reset();
    plat::HeadlessDriver::Reset();
  }

  // "<layout> <name>" of every record of `file` without a Danish text of number record id x 10.
  std::vector<std::string> WithoutDanish(ppDatafile& file, const char* nameField) {
    std::vector<std::string> missing;
    Vcon::String name;
    file.GetLayoutName(name);
    const std::string layout = name.c_str();
    file.SelectAll();
    for (int32_t i = 0; i < file.GetSelectedCount(); ++i) {
      const int32_t id = file.RecordIdAt(i);
      file.ReadRecord(id, nullptr);
      Vcon::WString text;
      if (!db_->GetString(id * 10, text, kDanish) || text.empty())
        missing.push_back(layout + " " + RecordField(file, nameField).Text(file.GetRecordBuffer()).c_str());
    }
    return missing;
  }

  // The name of top-view record `topView`.
  std::string Name(int32_t topView) {
    zelvproTopViewFil& views = db_->TopViewFile();
    views.ReadRecord(topView, nullptr);
    return RecordField(views, "Name").Text(views.GetRecordBuffer()).c_str();
  }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> db_;
  Host host_;
};

TEST_F(DemoReach, EveryNameCaptionAndColourHasItsDanishText) {
  std::vector<std::string> missing;
  const auto add = [&](std::vector<std::string> more) {
    missing.insert(missing.end(), more.begin(), more.end());
  };
  add(WithoutDanish(db_->CatalogItemFile(), "Name"));  // the palette's names
  add(WithoutDanish(db_->UnitFile(), "name"));         // the plan's, the panels' and the list's
  add(WithoutDanish(db_->ColorCatalogFile(), "name"));
  add(WithoutDanish(db_->ColorCodeFile(), "name"));  // the colour choices' captions
  add(WithoutDanish(db_->ColorGroupFile(), "name"));
  add(WithoutDanish(db_->OptionValueFile(), "name"));
  add(WithoutDanish(db_->ClassFile(), "name"));
  EXPECT_EQ(missing, std::vector<std::string>{});
}

TEST_F(DemoReach, EveryUnitOfTheStripsCanBePlacedAndStandsInItsGroup) {
  zelvproCatalogItemFil& items = db_->CatalogItemFile();
  std::vector<int32_t> units, accessories;
  for (const auto& [id, group] : StripItems(demo_.File("catalogs"))) {
    items.SelectAll();
    int32_t topView = 0;
    bool colour = false;
    for (int32_t i = 0; i < items.GetSelectedCount() && topView == 0; ++i) {
      items.ReadRecordAt(i, nullptr);
      const char* b = items.GetRecordBuffer();
      if (RecordField(items, "ID").Text(b) != id.c_str()) continue;
      topView = RecordField(items, "TopView").Long(b);
      colour = RecordField(items, "isColor").Long(b) != 0;
    }
    if (colour) continue;  // a finish paints a unit; it is no unit itself
    ASSERT_NE(topView, 0) << id << " has no top view";
    zelvproTopViewFil& views = db_->TopViewFile();
    views.ReadRecord(topView, nullptr);
    const int32_t type = RecordField(views, "Type").Long(views.GetRecordBuffer());
    (type == kAccessoryType ? accessories : units).push_back(topView);
    // A unit stands in the group of the units it stands with: on the plinth among the base units,
    // at wall-unit height among the wall units.
    const int32_t above = RecordField(views, "Zpos").Long(views.GetRecordBuffer());  // mm over the floor
    if (group == "Base") EXPECT_LT(above, 200) << id << " hangs among the base units";
    if (group == "Wall") EXPECT_GE(above, 1000) << id << " stands among the wall units";
  }
  ASSERT_GE(units.size(), 40u);
  ASSERT_GE(accessories.size(), 1u) << "the hob is offered";

  // Each as the palette makes it when a user pulls it from its strip.
  std::vector<std::unique_ptr<zelvproElement>> made;
  for (int32_t topView : units) {
    made.emplace_back(db_->TopViewFile().CreateElement(topView, plat::RECT{0, 0, 100, 100}, nullptr));
    EXPECT_NE(made.back(), nullptr) << Name(topView) << " makes no unit";
  }
  for (int32_t accessory : accessories) {
    std::unique_ptr<zelvproElement> own(
        db_->TopViewFile().CreateElement(accessory, plat::RECT{0, 0, 100, 100}, nullptr));
    EXPECT_NE(own, nullptr) << Name(accessory) << " makes no accessory";
    int32_t hosts = 0;
    for (const auto& unit : made) hosts += unit != nullptr && unit->AcceptsAccessory(accessory) ? 1 : 0;
    EXPECT_GE(hosts, 1) << Name(accessory) << " can be dropped on no unit of the strips";
  }
}

}  // namespace
