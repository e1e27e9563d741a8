// Saving a top-view element into its document record and loading it back, the re-snap of a part in
// a grid cell, the compartment test, the display name and the command filter.
#include <gtest/gtest.h>

#include <tuple>

#include "catalogue/records/zelvproDepthFil.h"
#include "elements/topview/TopViewTestSupport.h"
#include "framework/ppButton.h"

namespace {

using cattest::AddRecord;
using cattest::LongField;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

Words BlobWords(ppDatafile& table, const char* name) {
  return RecordField(table, name).Words(table.GetRecordBuffer());
}

// A top-view element whose grid operations are recorded (registering) or scripted (cell owners).
class GridProbe : public zelvproTopViewElement {
 public:
  GridProbe(zelvDatabase& db, int32_t topView, ppView* parent)
      : zelvproTopViewElement(topView, parent, eltest::Rect(0, 0, 10, 10), Buffer(db, topView),
                              db.ShapeFile()) {}
  void RegisterInGrid(zelvproTopViewElement* container) override { registeredIn.push_back(container); }
  zelvproTopViewElement* FindCellOwner(int32_t /*column*/, int32_t /*row*/, int32_t /*layer*/,
                                       int32_t mode) override {
    return mode == ownerMode ? owner : nullptr;
  }
  std::vector<zelvproTopViewElement*> registeredIn;
  zelvproTopViewElement* owner = nullptr;
  int32_t ownerMode = 0;

 private:
  static const char* Buffer(zelvDatabase& db, int32_t topView) {
    db.TopViewFile().ReadRecord(topView, nullptr);
    return db.TopViewFile().GetRecordBuffer();
  }
};

class TopViewSavingTest : public TopViewTest {
 protected:
  // A catalogue item with three options of classes 31, 32, 33 (two units each) and two colour groups.
  struct Item {
    int32_t topView;
    Words classes, firstUnits, secondUnits;
    int32_t white, oak;
  };
  Item MakeItem(zelvDatabase& db) {
    Item item;
    item.white = AddColour(db, 1), item.oak = AddColour(db, 2);
    AddColourCode(db, 1, item.white), AddColourCode(db, 2, item.white);
    Words options;
    for (int32_t k = 0; k < 3; ++k) {
      item.classes.push_back(AddClass(db, 31 + k, 0));
      item.firstUnits.push_back(AddUnit(db, {{"id", 500 + 10 * k}}));
      item.secondUnits.push_back(AddUnit(db, {{"id", 501 + 10 * k}}));
      options.insert(options.end(), {item.classes[k], 0, item.firstUnits[k], item.secondUnits[k], 0});
    }
    item.topView = AddTopView(db, {{"ID", 70}}, {{"options", options}});
    return item;
  }
};

TEST_F(TopViewSavingTest, WritesOptionChoicesColoursAndEmptiesExtras) {
  zelvDatabase& db = MakeDatabase();
  const Item item = MakeItem(db);
  auto element = MakeOwned(db, item.topView);
  ASSERT_EQ(element->options.size(), 3u);
  element->ChooseOptionUnit(item.classes[1], item.secondUnits[1]);
  element->options[2].chosenUnit = 0;  // no unit chosen: saved as 0, which loading skips
  zelvproDocModuleFil& module = Module(db);
  cattest::SetWords(module, "extras", {7, 7});
  element->WriteRecord(module, false, 0);

  EXPECT_EQ(BlobWords(module, "privateData1"), (Words{0, 3, 500, 31, 511, 32, 0, 33}));
  EXPECT_EQ(MemGetSize(RecordField(module, "privateData1").Data(module.GetRecordBuffer())), 32);
  EXPECT_EQ(MemGetSize(RecordField(module, "extras").Data(module.GetRecordBuffer())), 0);
  const Words colours = element->colours;
  Words block = {int32_t(colours.size()), int32_t(colours.size())};
  block.insert(block.end(), colours.begin(), colours.end());
  EXPECT_EQ(BlobWords(module, "colors"), block);
}

TEST_F(TopViewSavingTest, InteriorLockBitIsLeftOutOnlyWhenRenumberingUnderTheSupervisor) {
  zelvDatabase& db = MakeDatabase();
  const int32_t topView = AddTopView(db, {{"ID", 3}});
  auto container = MakeOwned(db, topView);
  container->saveId = 40;
  zelvproTopViewElement* part = Make(db, topView, container.get());
  part->interiorLocked = true;
  part->hiddenNumber = 1;
  struct Case {
    bool renumber;
    int32_t parentNumber;
    int32_t bits;
  } cases[] = {{true, 40, 0x8}, {false, 40, 0xA}, {true, 41, 0xA}};
  for (const Case& c : cases) {
    zelvproDocModuleFil& module = Module(db);
    part->WriteRecord(module, c.renumber, c.parentNumber);
    EXPECT_EQ(LongField(module, "lockedChild"), c.bits) << c.renumber << " " << c.parentNumber;
  }
}

TEST_F(TopViewSavingTest, SavedAndLoadedElementKeepsItsChoicesCellExtrasAndDepth) {
  zelvDatabase& db = MakeDatabase();
  const Item item = MakeItem(db);
  // The depth's stored id differs from its record id: the document names it by the stored id.
  AddRecord(db.DepthFile(), {{"id", 5}, {"depth", 300.0}});
  const int32_t depth = AddRecord(db.DepthFile(), {{"id", 9}, {"depth", 450.0}});
  auto element = MakeOwned(db, item.topView);
  element->ChooseOptionUnit(item.classes[0], item.secondUnits[0]);
  element->ChooseOptionUnit(item.classes[2], item.secondUnits[2]);
  element->colours = {item.oak, item.white};
  element->cellX = 2, element->cellY = 3, element->cellZ = 1;
  element->extras = {1, 2, 3, 4, 5};
  element->extraInfo[1] = ppParameter(WideFromNarrow("left door"));
  element->SetLinkedRecord(depth);
  element->price = ppMoney::FromRaw(123456);
  element->customPriceSet = 1;
  zelvproDocModuleFil& module = Module(db);
  element->WriteRecord(module, false, 0);
  EXPECT_EQ(LongField(module, "depthID"), 9);

  zelvproTopViewElement loaded(nullptr, module, false);
  ASSERT_EQ(loaded.options.size(), 3u);
  for (size_t k = 0; k < 3; ++k) EXPECT_EQ(loaded.options[k].chosenUnit, element->options[k].chosenUnit) << k;
  EXPECT_EQ(loaded.colours, element->colours);
  EXPECT_EQ(std::tie(loaded.cellX, loaded.cellY, loaded.cellZ),
            std::tie(element->cellX, element->cellY, element->cellZ));
  EXPECT_EQ(loaded.extras, element->extras);
  for (int32_t i = 0; i < 3; ++i)
    EXPECT_EQ(loaded.extraInfo[i].AsWString(), element->extraInfo[i].AsWString()) << i;
  EXPECT_EQ(loaded.linkedRecord, depth);
  EXPECT_EQ(loaded.dimensions.z, 450.0f);
  EXPECT_EQ(loaded.price.Raw(), 123456);
  EXPECT_EQ(loaded.customPriceSet, 1);
}

TEST_F(TopViewSavingTest, GridPartRegistersOnlyInAContainerWithAGrid) {
  zelvDatabase& db = MakeDatabase();
  const int32_t plain = AddTopView(db, {{"ID", 1}});
  const int32_t gridded = AddTopView(db, {{"ID", 2}, {"flags", 0x80}});
  const int32_t inset = AddTopView(db, {{"ID", 3}, {"flags", 0x200 | 0x2000}});
  for (int32_t containerRecord : {plain, gridded}) {
    auto container = MakeOwned(db, containerRecord);
    auto* part = new GridProbe(db, inset, container.get());
    zelvproTopViewElement* child = Make(db, plain, part);
    part->registeredIn.clear();
    part->linkedRecord = 77;
    child->linkedRecord = 0;
    part->Resnap();
    const bool hasGrid = containerRecord == gridded;
    EXPECT_EQ(part->registeredIn.size(), hasGrid ? 1u : 0u);
    // An inset part hands its depth on to its own parts after registering.
    EXPECT_EQ(child->linkedRecord, hasGrid ? 77 : 0);
  }
}

TEST_F(TopViewSavingTest, PartIsInsideACompartmentOnlyStrictlyWithinItsColumns) {
  zelvDatabase& db = MakeDatabase();
  const int32_t containerRecord = AddTopView(db, {{"ID", 1}, {"flags", 0x80}});
  const int32_t partRecord = AddTopView(db, {{"ID", 2}, {"flags", 0x200}});
  GridProbe container(db, containerRecord, nullptr);
  zelvproTopViewElement* compartment = Make(db, partRecord, &container);
  compartment->cellX = 1, compartment->gridWidth = 3, compartment->gridHeight = 4;
  zelvproTopViewElement* part = Make(db, partRecord, &container);
  part->gridWidth = 1, part->gridHeight = 3;
  struct Case {
    int32_t ownerMode, column;
    bool inside;
  } cases[] = {{3, 2, true}, {3, 3, false}, {7, 2, true}, {5, 2, false}};
  for (const Case& c : cases) {
    container.owner = compartment;
    container.ownerMode = c.ownerMode;
    part->cellX = c.column;
    EXPECT_EQ(part->IsInsideCompartmentPart(), c.inside) << c.ownerMode << " " << c.column;
  }
}

TEST_F(TopViewSavingTest, DisplayNameComesFromTheOptionValueTheUnitOrTheElement) {
  zelvDatabase& db = MakeDatabase();
  const int32_t value = AddRecord(db.OptionValueFile(), {{"id", 1}, {"name", "Glass door"}});
  const int32_t plainUnit = AddUnit(db, {{"id", 10}, {"name1", "Base unit"}});
  const int32_t valueUnit = AddUnit(db, {{"id", 11}, {"name1", "Door unit"}, {"optionValue", value}});
  auto element = MakeOwned(db, AddTopView(db, {{"ID", 1}}));
  element->textA = Vcon::String("My cabinet");
  struct Case {
    int32_t unit;
    const char* name;
  } cases[] = {{0, "My cabinet"}, {plainUnit, "Base unit"}, {valueUnit, "Glass door"}};
  for (const Case& c : cases) {
    element->unitRecordId = c.unit;
    Vcon::WString name;
    EXPECT_STREQ(NarrowFromWide(element->GetDisplayName(name, false)).c_str(), c.name);
  }
}

TEST_F(TopViewSavingTest, ButtonPressesOfTheConfiguratorButtonsAreDropped) {
  zelvDatabase& db = MakeDatabase();
  eltest::RecordingCanvas canvas(eltest::Rect(0, 0, 500, 500));
  zelvproTopViewElement* element = Make(db, AddTopView(db, {{"ID", 1}}), &canvas);
  for (int32_t id : {4001, 4005, 6001, 4002}) {
    ppView button;
    button.SetCommandId(id);
    canvas.commands.clear();
    element->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(&button));
    EXPECT_EQ(canvas.commands, id == 4002 ? Words{ppButton::kPressedCommand} : Words{}) << id;
  }
}

}  // namespace
