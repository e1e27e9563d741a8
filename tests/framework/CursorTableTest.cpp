#include <gtest/gtest.h>

#include "framework/ppCursorTable.h"
#include "framework/ppView.h"
#include "platform/Cursors.h"
#include "platform/HeadlessDriver.h"

namespace {

using namespace plat;

class CursorTable : public ::testing::Test {
 protected:
  void SetUp() override { HeadlessDriver::Reset(); }
  void TearDown() override {
    ppCursorTable::SetGlobal(nullptr);
    HeadlessDriver::Reset();
  }
};

TEST_F(CursorTable, CursorsGetIndexesInOrderAndTheListGrowsByEight) {
  ppCursorTable table(IDC_ARROW);
  EXPECT_EQ(table.Capacity(), 0);
  const uint16_t ids[] = {IDC_WAIT, IDC_CROSS, IDC_ARROW,  IDC_SIZEWE, IDC_IBEAM,
                          IDC_NO,   IDC_HAND,  IDC_SIZENS, IDC_UPARROW};
  for (int32_t i = 0; i < 9; ++i) {
    EXPECT_EQ(table.Add(nullptr, ids[i]), i);
    EXPECT_EQ(table.Capacity(), i < 8 ? 8 : 16) << "after cursor " << i;
  }
  EXPECT_EQ(table.Count(), 9);
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(table.At(i)->Handle()->systemId, ids[i]);
}

TEST_F(CursorTable, DefaultAndIndexedCursorsBecomeCurrentAndUnknownOnesHideThePointer) {
  ppCursorTable table(IDC_CROSS);
  int32_t wait = table.Add(nullptr, IDC_WAIT);
  table.SetDefault();
  EXPECT_EQ(GetCursor()->systemId, IDC_CROSS);
  table.SetByIndex(wait);
  EXPECT_EQ(GetCursor()->systemId, IDC_WAIT);
  // An index the table does not have leaves the cursor alone.
  table.SetByIndex(7);
  table.SetByIndex(-1);
  EXPECT_EQ(GetCursor()->systemId, IDC_WAIT);
  // A cursor the system does not know hides the pointer.
  table.SetByIndex(table.Add(nullptr, 0));
  EXPECT_EQ(GetCursor(), nullptr);
  table.SetDefault();
  table.SetByIndex(table.Add(nullptr, 12345));
  EXPECT_EQ(GetCursor(), nullptr);
}

// A cursor that cannot be loaded gives way to the fallback in its own place; one that can is kept.
TEST_F(CursorTable, CursorsThatCannotBeLoadedGiveWayToTheirFallback) {
  ppCursorTable table(IDC_ARROW);
  EXPECT_EQ(table.Add(nullptr, IDC_WAIT), 0);
  EXPECT_EQ(table.AddWithFallback(nullptr, IDC_CROSS, IDC_ARROW), 1);
  EXPECT_EQ(table.AddWithFallback(nullptr, 12345, IDC_SIZEWE), 2);
  EXPECT_EQ(table.AddWithFallback(nullptr, 0, IDC_ARROW), 3);
  EXPECT_EQ(table.Count(), 4);
  EXPECT_EQ(table.At(1)->Handle()->systemId, IDC_CROSS);
  EXPECT_EQ(table.At(2)->Handle()->systemId, IDC_SIZEWE);
  EXPECT_EQ(table.At(3)->Handle()->systemId, IDC_ARROW);
  EXPECT_EQ(table.At(2)->ResourceId(), 0);
  // A fallback that cannot be loaded either hides the pointer, as an unknown cursor does.
  table.SetByIndex(table.AddWithFallback(nullptr, 12345, 54321));
  EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(CursorTable, ViewsShowTheGlobalDefaultOrTheArrowWithoutATable) {
  ppView view;
  view.SetFrame({0, 0, 50, 50});
  view.AdjustCursor(5, 5);
  EXPECT_EQ(GetCursor()->systemId, IDC_ARROW);

  auto* table = new ppCursorTable(IDC_SIZEWE);
  ppCursorTable::SetGlobal(table);
  view.AdjustCursor(5, 5);
  EXPECT_EQ(GetCursor()->systemId, IDC_SIZEWE);
  // A table going away is no longer the global one.
  delete table;
  EXPECT_EQ(ppCursorTable::Global(), nullptr);
  view.AdjustCursor(5, 5);
  EXPECT_EQ(GetCursor()->systemId, IDC_ARROW);
}

}  // namespace
