// The numbering sweeper: numbers class by class, run by run along the run, 0 for units of classes
// that are not numbered; one sweep per burst of requests, none while numbering is switched off.
#include <gtest/gtest.h>

#include "elements/base/iApplicationSettings.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/topview/TopViewNumberingSupport.h"
#include "framework/ppSweeper.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

class SweeperTest : public tvtest::NumberingTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    NumberingTest::SetUp();
    settings_.numbering = true;
    iApplicationSettings::Install(&settings_);
    host_.documentWindow = eltest::OpenSweeperWindow("NumberingWindow");
    host_.pane = &pane_;
    host_.viewId = iElementHost::k3DView;  // the end-of-pass redraw shows as a pane invalidation
    plat::HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    plat::HeadlessDriver::RunUntilIdle();
    host_.pane = nullptr;
    iApplicationSettings::Install(nullptr);
    NumberingTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  iApplicationSettings settings_;
  eltest::RecordingPane pane_;
};

TEST_F(SweeperTest, UnitsAreNumberedByClassThenRunAlongEachRun) {
  const int32_t seven = UnitRecord(7, true), nine = UnitRecord(9, true), plain = UnitRecord(8, false);
  zelvproTopViewElement* nineUnit = Place(nine, -2000);  // leftmost, but of the later class
  zelvproTopViewElement* plainUnit = Place(plain, -1000);
  zelvproTopViewElement* a = Place(seven, 0);
  zelvproTopViewElement* b = Place(seven, 100);
  zelvproTopViewElement* c = Place(seven, 200);
  zelvproTopViewElement* alone = Place(seven, 1000);

  ScheduleEnumNumbering();
  plat::HeadlessDriver::RunUntilIdle();

  EXPECT_EQ(Read(a, "EnumGroup"), Read(b, "EnumGroup"));
  EXPECT_EQ(Read(b, "EnumGroup"), Read(c, "EnumGroup"));
  EXPECT_NE(Read(alone, "EnumGroup"), Read(a, "EnumGroup"));
  const int32_t numbers[] = {Read(a, "EnumNumber"),        Read(b, "EnumNumber"),
                             Read(c, "EnumNumber"),        Read(alone, "EnumNumber"),
                             Read(nineUnit, "EnumNumber"), Read(plainUnit, "EnumNumber")};
  const int32_t expected[] = {1, 2, 3, 4, 5, 0};
  for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(numbers[i], expected[i]) << i;
  EXPECT_FALSE(zelvproElement::IsMuted());
}

TEST_F(SweeperTest, ABurstOfRequestsGivesOneSweepAndNoneWhileSwitchedOff) {
  zelvproTopViewElement* unit = Place(UnitRecord(7, true), 0);
  settings_.numbering = false;
  ScheduleEnumNumbering();
  EXPECT_EQ(ppSweeper::PendingCount(), 0);

  settings_.numbering = true;
  for (int i = 0; i < 3; ++i) ScheduleEnumNumbering();
  EXPECT_EQ(ppSweeper::PendingCount(), 1);
  EXPECT_TRUE(qxAssignEnumNumbers::Scheduled());
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Read(unit, "EnumNumber"), 1);
  EXPECT_FALSE(qxAssignEnumNumbers::Scheduled());
  EXPECT_EQ(ppSweeper::PendingCount(), 0);
}

TEST_F(SweeperTest, AnEmptyPlanStillClearsBothFlagsAndRedraws) {
  ScheduleEnumNumbering();
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(qxAssignEnumNumbers::Scheduled());
  EXPECT_FALSE(zelvproElement::IsMuted());
  EXPECT_EQ(pane_.invalidated, 1);
}

}  // namespace
