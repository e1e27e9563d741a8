// Doors, room windows and structure elements: their own properties, the conversion of older
// documents, the keyboard nudge through the door task, the heights above the floor and the width
// dimension.
#include <gtest/gtest.h>

#include <cmath>

#include "catalogue/records/RecordField.h"
#include "elements/base/iElementTaskFactory.h"
#include "elements/base/qxViewHolder.h"
#include "elements/units/UnitsTestSupport.h"
#include "elements/units/iRoomModuleMakers.h"
#include "elements/units/zelvproDoor.h"
#include "elements/units/zelvproRoomWindow.h"
#include "elements/units/zelvproStructureElement.h"
#include "framework/ppMouseTask.h"
#include "platform/HeadlessDriver.h"

namespace {

using cattest::SetField;
using unittest::UnitsTest;

int32_t LongOf(ppDatafile& module, const char* name) {
  return RecordField(module, name).Long(module.GetRecordBuffer());
}

TEST_F(UnitsTest, OwnPropertiesFollowTheTopViewOnes) {
  zelvDatabase& db = MakeDatabase();
  auto door = MakeAs<zelvproDoor>(db, AddItem(db, zelvproDoor::kType, 0));
  auto window = MakeAs<zelvproRoomWindow>(db, AddItem(db, zelvproRoomWindow::kType, 0));
  ASSERT_TRUE(door && window);
  const int32_t base = door->zelvproTopViewElement::GetPropertyCount();
  EXPECT_EQ(door->GetPropertyCount(), base + 2);
  EXPECT_EQ(window->GetPropertyCount(), base + 3);
  EXPECT_EQ(door->IndexOf("Height"), base);
  EXPECT_EQ(door->IndexOf("Width"), base + 1);
  EXPECT_EQ(window->IndexOf("AboveFloor"), base + 2);
  EXPECT_EQ(door->IndexOf("AboveFloor"), door->zelvproTopViewElement::IndexOf("AboveFloor"));

  door->SetValue(door->IndexOf("Width"), ppParameter(u"812.7 mm"));
  door->SetValue(door->IndexOf("Height"), ppParameter(u"2010.9 mm"));
  EXPECT_EQ(door->dimensions.x, 812.0f);
  EXPECT_EQ(door->dimensions.y, 2010.0f);
  EXPECT_EQ(door->GetValue(door->IndexOf("Width")).AsWString(), Vcon::WString(u"812 mm"));
  door->SetValue(door->IndexOf("Width"), ppParameter(u"wide"));
  EXPECT_EQ(door->dimensions.x, 812.0f);

  // A new door takes the first colour its catalogue item lists.
  const int32_t oak = AddColour(db, 5);
  const int32_t coloured = AddTopView(db, {{"Type", zelvproDoor::kType}}, {{"Colors", {oak, 0}}});
  EXPECT_EQ(MakeAs<zelvproDoor>(db, coloured)->colorRecordId, oak);
}

TEST_F(UnitsTest, OlderDoorDocumentsAreConverted) {
  zelvDatabase& db = MakeDatabase();
  const int32_t fallback =
      AddItem(db, zelvproDoor::kType, 0x20000000, {}, 100.0f, zelvproDoor::kFallbackStoredId);
  auto floatWords = [](std::initializer_list<float> values) {
    eltest::Words words;
    for (float v : values) words.push_back(eltest::FloatWord(v));
    return words;
  };
  struct Case {
    const char* what;
    double width;
    eltest::Words points;
    int32_t recId;
    float expectWidth;
    ppVector3 expectPosition;
    int32_t expectRecord;
  } cases[] = {
      {"stored width", 500, {}, 77, 500, {10, 0, 20}, 0},
      {"no points", 0, {}, 77, 0, {35, 0, 120}, 0},
      {"one block 0..700",
       0,
       eltest::Join({{32}, floatWords({0, 0, 700, 0, 700, 50, 0, 50}), {0}}),
       77,
       700,
       {110, 0, 120},
       0},
      {"bad block", 0, {40, 0, 0}, 77, 0, {35, 0, 120}, 0},
      {"no record", 0, {}, 0, 0, {35, 0, 120}, fallback},
  };
  AddItem(db, zelvproDoor::kType, 0);  // stored "ID" 77
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    zelvproDocModuleFil& module = Module(db);
    SetField(module, "type", zelvproDoor::kType);
    if (c.recId != 0) SetField(module, "recID", c.recId);
    SetField(module, "dimensionsx", c.width);
    SetField(module, "xposition", 10.0);
    SetField(module, "zposition", 20.0);
    SetField(module, "height", 2000.0);
    SetField(module, "wallThickness", 100.0);
    SetField(module, "colorCode", 1);
    cattest::SetWords(module, "points", c.points);
    zelvproDoor door(nullptr, module, false);
    EXPECT_EQ(door.kind, 5);
    EXPECT_EQ(door.carried, 1);
    EXPECT_EQ(door.dimensions.x, c.expectWidth);
    EXPECT_EQ(door.GetPosition(), c.expectPosition);
    if (c.width == 0.0) {
      EXPECT_EQ(door.dimensions.z, 100.0f);
    }
    if (c.expectRecord != 0) {
      EXPECT_EQ(door.recordId, c.expectRecord);
      EXPECT_EQ(door.referenceSize, ppVector3(600, 720, 100));
      EXPECT_EQ(door.flags, 0x20000000u);
    }
  }
}

// A door task that moves its element by the drag in pixels (one pixel one millimetre); the factory
// keeps the made tasks, as a history would.
class PixelDoorTask : public ppMouseTask {
 public:
  PixelDoorTask(zelvproElement* element, qxViewHolder* selection, int32_t& clicks)
      : ppMouseTask(element, element), element_(element), selection_(selection), clicks_(clicks) {}
  ~PixelDoorTask() override { delete selection_; }
  void DrawFeedback(int32_t, int32_t) override {}
  void EraseFeedback(int32_t, int32_t) override {}
  void Click() override { ++clicks_; }
  void Do() override {
    ppVector3 p = element_->GetPosition();
    p.x += float(Current().x - StartPoint().x), p.z += float(Current().y - StartPoint().y);
    element_->SetPosition(p);
  }

 private:
  zelvproElement* element_;
  qxViewHolder* selection_;
  int32_t& clicks_;
};

class PixelTaskFactory : public iElementTaskFactory {
 public:
  ppMouseTask* NewDoorTask(qxViewHolder* selection, zelvproElement* element) override {
    made.push_back(std::make_unique<PixelDoorTask>(element, selection, clicks));
    return made.back().get();
  }
  int32_t clicks = 0;
  std::vector<std::unique_ptr<PixelDoorTask>> made;
};

TEST_F(UnitsTest, NudgeSlidesTheDoorAlongItsWallAndNeverClicks) {
  zelvDatabase& db = MakeDatabase();
  PixelTaskFactory tasks;
  iElementTaskFactory::Install(&tasks);
  auto door = MakeAs<zelvproDoor>(db, AddItem(db, zelvproDoor::kType, 0));
  // The wall runs along +x at angle 0 and along -x at angle pi: the plan move is the same, so along
  // the wall it is +d and -d.
  for (float angle : {0.0f, 3.1415927f}) {
    door->StoreAngle(angle);
    door->SetPosition(ppVector3(100, 0, 100));
    door->MoveBy(3, 2);
    const ppVector3 moved = door->GetPosition();
    EXPECT_EQ(moved.x, 105.0f) << angle;
    EXPECT_EQ(moved.z, 100.0f) << angle;
    EXPECT_NEAR((moved.x - 100.0f) * std::cos(angle), angle == 0.0f ? 5.0f : -5.0f, 1e-3f);
  }
  // An angle a damaged document left undefined slides the door as at angle 0.
  for (float angle : {NAN, INFINITY, -INFINITY}) {
    door->StoreAngle(angle);
    door->SetPosition(ppVector3(100, 0, 100));
    door->MoveBy(3, 2);
    EXPECT_EQ(door->GetPosition().x, 105.0f) << angle;
    EXPECT_EQ(door->GetPosition().z, 100.0f) << angle;
  }
  EXPECT_EQ(tasks.clicks, 0);
}

TEST_F(UnitsTest, WindowsAndStructureElementsKeepTheirHeightsAboveTheFloor) {
  zelvDatabase& db = MakeDatabase();
  const int32_t windowItem = AddItem(db, zelvproRoomWindow::kType, 0);
  const int32_t structureItem = AddItem(db, zelvproStructureElement::kType, 0);
  auto first = MakeAs<zelvproRoomWindow>(db, windowItem);
  EXPECT_EQ(first->GetPosition().y, 1000.0f);
  first->SetValue(first->IndexOf("AboveFloor"), ppParameter(u"850 mm"));
  auto second = MakeAs<zelvproRoomWindow>(db, windowItem);
  EXPECT_EQ(second->heightAboveFloor, 850.0f);
  second->SetValue(second->IndexOf("AboveFloor"), ppParameter(u"900.6 mm"));
  EXPECT_FLOAT_EQ(second->GetPosition().y, 900.6f);
  second->SetPosition(ppVector3(0, 40, 0));  // a task moved it up
  second->InvalidateGeometry();
  EXPECT_FLOAT_EQ(second->GetPosition().y, 900.6f);
  zelvproDocModuleFil& windowRecord = Module(db);
  second->WriteRecord(windowRecord, false, 0);
  EXPECT_EQ(LongOf(windowRecord, "heightAboveFloor"), 900);
  EXPECT_EQ(LongOf(windowRecord, "type"), 6);

  auto structure = MakeAs<zelvproStructureElement>(db, structureItem);
  ASSERT_NE(structure, nullptr);
  structure->InvalidateGeometry();
  EXPECT_EQ(structure->GetPosition().y, 100.0f);
  EXPECT_FLOAT_EQ(MakeAs<zelvproRoomWindow>(db, windowItem)->GetPosition().y, 900.6f);
  zelvproDocModuleFil& structureRecord = Module(db);
  structure->WriteRecord(structureRecord, false, 0);
  EXPECT_EQ(LongOf(structureRecord, "type"), 3);
  zelvproStructureElement loaded(nullptr, structureRecord, false);
  EXPECT_EQ(loaded.kind, 3);
  EXPECT_EQ(loaded.heightAboveFloor, 100.0f);

  // Only doors and windows measure their width on the plan.
  std::vector<PlanAnnotation> lines;
  loaded.CollectDimensionLines(lines);
  EXPECT_TRUE(lines.empty());
  auto door = MakeAs<zelvproDoor>(db, AddItem(db, zelvproDoor::kType, 0));
  door->CollectDimensionLines(lines);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].kind, 2);
  EXPECT_EQ(lines[0].flags, 0x400u);
  EXPECT_EQ(lines[0].x, 600.0);
  EXPECT_EQ(lines[0].owner, door.get());
  // The wall measures the gaps beside the door from its position along its width.
  EXPECT_EQ(lines[0].second, door->GetPosition());
  EXPECT_EQ(lines[0].third.x, 600.0f);
}

TEST_F(UnitsTest, RoomMakersChooseTheClassByModuleType) {
  zelvDatabase& db = MakeDatabase();
  AddItem(db, zelvproDoor::kType, 0);
  iRoomModuleMakers makers;
  for (int32_t type : {3, 4, 5, 6, 12}) {
    zelvproDocModuleFil& module = Module(db);
    SetField(module, "type", type);
    SetField(module, "recID", 77);
    SetField(module, "dimensionsx", 600.0);
    std::unique_ptr<zelvproElement> made(makers.MakeForType(nullptr, module));
    EXPECT_EQ(made != nullptr ? made->kind : 0, type == 4 || type == 12 ? 0 : type) << type;
  }
}

}  // namespace
