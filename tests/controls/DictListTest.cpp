// The record-bound list over real tables of a temporary database: the default layout, column
// binding and scaling, restricting the table to the selected lines, the frame written into the
// layout, drawing (compared with a kept image; to renew it after a deliberate change run with
// PLANNER_WRITE_FIXTURES=1, look at tests/fixtures/controls/dict_list.png and commit it) and the
// "DictList" window class.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "ListTestSupport.h"
#include "controls/DisplayListLayout.h"
#include "controls/ppDictList.h"
#include "database/DbTestSupport.h"
#include "database/HandleList.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "foundation/ResourceAccess.h"
#include "framework/ppDC.h"
#include "framework/ppScrollBar.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"

using namespace listtest;

namespace {

// Fields of the calculation line layout.
constexpr int32_t kText = 6, kPieces = 7, kUnitDescription = 20;

class DictListTest : public ListWindowTest {
 protected:
  void SetUp() override {
    ListWindowTest::SetUp();
    ppFileSpec file = dbtest::SpecFor(folder_.Path("lists.db"));
    db_ = std::make_unique<ppDatabase>(file);
    table_ = std::make_unique<ppDatafile>("qxCalculator", *db_);
  }
  void TearDown() override {
    ListWindowTest::TearDown();  // the lists go with the window, before their table
    table_.reset();
    db_.reset();
  }
  // Adds `n` lines and selects them in the order added; answers their record ids.
  std::vector<int32_t> AddLines(int32_t n) {
    std::vector<int32_t> ids;
    for (int32_t i = 0; i < n; ++i) {
      table_->ClearRecordBuffer(nullptr);
      table_->SetFieldValue(kUnitDescription, ppParameter(("Base unit " + std::to_string(i)).c_str()),
                            nullptr);
      table_->SetFieldValue(kText, ppParameter(i % 2 == 0 ? "Oak" : "Walnut"), nullptr);
      table_->SetFieldValue(kPieces, ppParameter(i + 1), nullptr);
      int32_t id = 0;
      table_->AddRecord(&id, nullptr);
      ids.push_back(id);
    }
    HandleList::Reset(table_->GetSelection());
    HandleList::Append(table_->GetSelection(), ids.data(), uint32_t(ids.size()));
    return ids;
  }
  static Handle ScreenLayout() { return LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorDlst"); }
  ppDictList* Make(const plat::RECT& frame, Handle layout, ppDatafile* table = nullptr) {
    return new ppDictList(window_, frame, 16, table != nullptr ? table : table_.get(), layout,
                          ppDataList::kVerticalBar, ppView::kStay, ppView::kStay);
  }
  static std::vector<int32_t> Widths(ppDictList& list) {
    std::vector<int32_t> widths;
    for (int32_t i = 0; i < list.ColumnCount(); ++i)
      widths.push_back(DisplayListLayout::ReadColumn(list.Layout(), uint32_t(i)).width);
    return widths;
  }

  dbtest::TempFolder folder_;
  std::unique_ptr<ppDatabase> db_;
  std::unique_ptr<ppDatafile> table_;
};

TEST_F(DictListTest, ATableWithoutALayoutGetsTheDefaultOne) {
  AddLines(3);
  Handle made = nullptr;
  {
    ppDictList* list = Make({10, 10, 410, 210}, nullptr);
    made = list->MakeDefaultLayout(table_.get());
    ASSERT_EQ(MemGetSize(list->Layout()), 128);
    EXPECT_EQ(list->Font().size, 14);
    EXPECT_EQ(list->ColumnCount(), 1);
    EXPECT_EQ(list->GetLineCount(), 3);
    const DisplayListLayout::Column column = DisplayListLayout::ReadColumn(list->Layout(), 0);
    EXPECT_EQ(column.fieldIndex, 0);
    EXPECT_EQ(column.layoutId, uint32_t(table_->File().FileId()));
    EXPECT_EQ(column.width, 382) << "200 pixels scaled to the list area";
    DisplayListLayout::Header header;
    ASSERT_TRUE(DisplayListLayout::ReadHeader(list->Layout(), &header));
    EXPECT_EQ(header.title, "") << "the list's name, empty";
    EXPECT_EQ(header.frame[2], 410) << "the frame is written when the columns are bound";
  }
  DisplayListLayout::Header header;
  ASSERT_TRUE(DisplayListLayout::ReadHeader(made, &header));
  EXPECT_EQ(header.title, "qxCalculator");
  EXPECT_EQ(header.flags, 0u);
  EXPECT_EQ(header.fontSize, 14u);
  EXPECT_EQ(DisplayListLayout::ReadColumn(made, 0).width, 200);
  MemDispose(made);
}

TEST_F(DictListTest, ALongNameIsCutToTheTitleField) {
  AddLines(1);
  // Without a table the list has no layout until one is set.
  auto* list = new ppDictList(window_, {10, 10, 410, 210}, 16, nullptr, nullptr, ppDataList::kVerticalBar,
                              ppView::kStay, ppView::kStay);
  ASSERT_EQ(list->Layout(), nullptr);
  list->SetDatafile(std::string(40, 'n'), table_.get());
  ASSERT_EQ(MemGetSize(list->Layout()), 128);
  DisplayListLayout::Header header;
  ASSERT_TRUE(DisplayListLayout::ReadHeader(list->Layout(), &header));
  EXPECT_EQ(header.title, std::string(31, 'n'));
  EXPECT_EQ(list->Name(), std::string(31, 'n'));
  EXPECT_EQ(header.flags, 0u) << "the words after the title are intact";
  EXPECT_EQ(header.layoutId, uint32_t(table_->File().FileId()));
  EXPECT_EQ(list->GetLineCount(), 1);
}

TEST_F(DictListTest, AListWithoutATableDrawsItsHeaderBandOnly) {
  auto* list = new ppDictList(window_, {10, 10, 410, 210}, 16, nullptr, nullptr, ppDataList::kVerticalBar,
                              ppView::kStay, ppView::kStay);
  Handle screen = ScreenLayout();
  list->LoadLayout(screen);
  ReleaseResourceHandle(screen);
  EXPECT_EQ(list->ColumnCount(), 9);
  plat::HeadlessDriver::RunUntilIdle();
  ppDC dc(hwnd_);
  list->DrawCell(0, 0, nullptr, dc);
  list->RedrawLine(0, dc);
  EXPECT_EQ(list->GetLineCount(), 0);
}

TEST_F(DictListTest, ColumnsAreServedByTheirTables) {
  AddLines(2);
  DisplayListLayout::Header header;
  header.fontSize = 10;
  DisplayListLayout::Column own, unknown, negative;
  own.fieldIndex = kUnitDescription;
  own.width = 100;
  unknown.layoutId = 9999;  // no layout of the program has this id
  unknown.fieldIndex = kText;
  unknown.width = 100;
  negative.fieldIndex = 0x8001;
  negative.width = 100;
  ppDictList* list = Make({10, 10, 410, 210}, DisplayListLayout::Make(header, {own, unknown, negative}));
  EXPECT_EQ(list->ColumnTable(0), table_.get());
  EXPECT_EQ(list->ColumnTable(1), table_.get());
  EXPECT_EQ(DisplayListLayout::ReadColumn(list->Layout(), 1).table, 0u) << "the word stays 0";
  plat::HeadlessDriver::RunUntilIdle();  // draws a field -32767 as no text
  SUCCEED();
}

TEST_F(DictListTest, ScalesTheCalculationColumnsToTheListWidth) {
  AddLines(1);
  // 350 pixels of list area beside an 18-pixel bar.
  ppDictList* list = Make({0, 0, 368, 200}, nullptr);
  Handle screen = ScreenLayout();
  list->LoadLayout(screen);
  ReleaseResourceHandle(screen);
  EXPECT_EQ(Widths(*list), (std::vector<int32_t>{100, 75, 25, 25, 25, 25, 25, 25, 25}));
  EXPECT_EQ(DisplayListLayout::ReadColumn(list->Layout(), 2).x, 175);
  EXPECT_EQ(list->GetTotalWidth(), 350);
  EXPECT_EQ(list->ColumnStepCount(), 350 / 32 + 5);
  // The column tables follow the loaded layout, which has more columns than the default.
  for (int32_t i = 0; i < 9; ++i) EXPECT_EQ(list->ColumnTable(i), table_.get()) << i;
  plat::HeadlessDriver::RunUntilIdle();

  DisplayListLayout::Header header;
  DisplayListLayout::Column zero;
  Handle zeros = DisplayListLayout::Make(header, {zero, zero});
  list->LoadLayout(zeros);
  MemDispose(zeros);
  EXPECT_EQ(Widths(*list), (std::vector<int32_t>{0, 0})) << "a sum of 0 changes nothing";

  // Horizontally the list stops when the last column step shows.
  list->LoadLayout(ScreenLayout());
  list->ScrollBy(100000, 0);
  EXPECT_EQ(list->FirstColumnStep() + list->VisibleColumnSteps(), list->ColumnStepCount());
}

TEST_F(DictListTest, RestrictToSelectionKeepsTheSelectedRecordsHighestFirst) {
  const std::vector<int32_t> ids = AddLines(8);
  ppDictList* list = Make({10, 10, 410, 210}, ScreenLayout());
  ASSERT_EQ(list->GetLineCount(), 8);
  list->SelectLine(2, true);
  list->SelectLine(5, true);
  // A header click changes nothing.
  plat::HeadlessDriver::RunUntilIdle();
  const std::string before(*list->Layout(), size_t(MemGetSize(list->Layout())));
  Click(100, 15);
  Click(10 + 200 / 2 * 382 / 350, 15);  // near a column edge
  EXPECT_EQ(std::string(*list->Layout(), size_t(MemGetSize(list->Layout()))), before);
  EXPECT_EQ(list->SelectedLineCount(), 2);

  list->RestrictToSelection();
  Handle selection = table_->GetSelection();
  ASSERT_EQ(HandleList::Count(selection), 2u);
  EXPECT_EQ(HandleList::At(selection, 0), ids[5]);
  EXPECT_EQ(HandleList::At(selection, 1), ids[2]);
  EXPECT_EQ(list->GetLineCount(), 2);
  EXPECT_EQ(list->SelectedLineCount(), 0);
}

TEST_F(DictListTest, AnEmptySelectionIsAnEmptyListWithADisabledBar) {
  ppDictList* list = Make({10, 10, 410, 210}, ScreenLayout());
  EXPECT_EQ(list->GetLineCount(), 0);
  ASSERT_NE(list->VerticalBar(), nullptr);
  EXPECT_FALSE(list->VerticalBar()->IsEnabled());
  plat::HeadlessDriver::RunUntilIdle();
}

TEST_F(DictListTest, TheFrameGoesIntoTheLayout) {
  AddLines(1);
  ppDictList* list = Make({10, 10, 410, 210}, ScreenLayout());
  list->ChangeFrame({20, 30, 300, 200});
  list->StoreLayoutFrame();
  DisplayListLayout::Header header;
  ASSERT_TRUE(DisplayListLayout::ReadHeader(list->Layout(), &header));
  EXPECT_EQ((std::vector<int32_t>(header.frame, header.frame + 4)), (std::vector<int32_t>{20, 30, 300, 200}));
}

class DictListPictureTest : public DictListTest {
 protected:
  std::unique_ptr<plat::Surface> Dump(const std::string& name) {
    const std::string path = std::string(PLANNER_BINARY_DIR) + "/" + name;
    EXPECT_TRUE(plat::HeadlessDriver::DumpPng(hwnd_, path));
    return plat::ReadPng(path);
  }
};

TEST_F(DictListPictureTest, NineColumnsWithASelectedLineDrawAsKept) {
  AddLines(12);
  ppDictList* list = Make({10, 10, 290, 230}, ScreenLayout());
  list->SelectLine(1, true);
  list->Invalidate();
  plat::HeadlessDriver::RunUntilIdle();

  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/controls/dict_list.png";
  std::unique_ptr<plat::Surface> drawn = Dump("dict_list-actual.png");
  if (std::getenv("PLANNER_WRITE_FIXTURES")) plat::HeadlessDriver::DumpPng(hwnd_, kept);
  std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  ASSERT_TRUE(expected && drawn) << "missing " << kept;
  // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
  const plat::PixelDifference diff = plat::ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY;

  // The highlight: light grey in line 1's cells while active, gone when deactivated.
  plat::RECT cell;
  list->GetCellRect(0, 1, &cell);
  const int32_t x = cell.right - 4, y = cell.bottom - 2;
  EXPECT_EQ(drawn->Pixel(x, y) & 0xFFFFFF, 0xCCCCCCu);
  list->Deactivate();
  plat::HeadlessDriver::RunUntilIdle();
  std::unique_ptr<plat::Surface> inactive = Dump("dict_list-inactive.png");
  EXPECT_EQ(inactive->Pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);

  // Redrawing one line leaves the others as they are.
  list->Activate();
  plat::HeadlessDriver::RunUntilIdle();
  std::unique_ptr<plat::Surface> before = Dump("dict_list-before.png");
  {
    ppDC dc(hwnd_);
    list->RedrawLine(3, dc);
  }
  std::unique_ptr<plat::Surface> after = Dump("dict_list-after.png");
  EXPECT_EQ(plat::ComparePixels(*before, *after, 0).pixels, 0);

  // A field redrawn alone (without the inset of the line drawing) changes only its cell.
  {
    ppDC dc(hwnd_);
    list->RedrawField(kUnitDescription, 4, dc);
  }
  std::unique_ptr<plat::Surface> field = Dump("dict_list-field.png");
  list->GetCellRect(0, 4, &cell);
  int32_t outside = 0, inside = 0;
  for (int32_t py = 0; py < field->Height(); ++py) {
    for (int32_t px = 0; px < field->Width(); ++px) {
      if (field->Pixel(px, py) == after->Pixel(px, py)) continue;
      const bool in = px >= cell.left && px < cell.right && py >= cell.top && py < cell.bottom;
      ++(in ? inside : outside);
    }
  }
  EXPECT_GT(inside, 0);
  EXPECT_EQ(outside, 0);
}

TEST_F(DictListPictureTest, AColumnlessLayoutDrawsDecorationAndFilledRows) {
  AddLines(3);
  Handle dummy = LoadResourceHandle(ResourceTypeCode("DLST"), "qxCalculatorDummyDlst");
  ppDictList* list = Make({10, 10, 290, 230}, dummy);
  EXPECT_EQ(list->ColumnCount(), 0);
  list->Invalidate();
  plat::HeadlessDriver::RunUntilIdle();
  std::unique_ptr<plat::Surface> drawn = Dump("dict_list-columnless.png");
  plat::RECT line;
  list->GetLineRect(0, &line);
  EXPECT_EQ(drawn->Pixel(line.left + 20, line.top + 5) & 0xFFFFFF, 0u)
      << "a row filled in the current colour";
  EXPECT_EQ(drawn->Pixel(line.left + 20, 15) & 0xFFFFFF, 0xCCCCCCu) << "the header band";
}

// A window object that counts the messages it is handed and notes its deletion.
class HostedObject : public ppWindow {
 public:
  explicit HostedObject(bool* deleted) : deleted_(deleted) {}
  ~HostedObject() override { *deleted_ = true; }
  int32_t HandleMessage(plat::UINT message, plat::WPARAM, plat::LPARAM) override {
    if (message == plat::WM_USER + 1) ++handled;
    return message == plat::WM_USER + 1 ? 7 : 0;
  }
  int32_t handled = 0;

 private:
  bool* deleted_;
};

TEST_F(DictListTest, TheWindowClassCarriesAndDeletesItsObject) {
  ppDictList::RegisterWindowClass();
  ppDictList::RegisterWindowClass();  // once only
  plat::WNDCLASSA info;
  ASSERT_TRUE(plat::GetClassInfoA(nullptr, ppDictList::kWindowClass, &info));
  EXPECT_EQ(info.style, plat::CS_DBLCLKS | 0x0080u);
  plat::HWND window = plat::CreateWindowExA(0, ppDictList::kWindowClass, "", plat::WS_CHILD, 0, 0, 50, 50,
                                            hwnd_, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(plat::SendMessageA(window, plat::WM_USER + 1, 0, 0), 0) << "no object yet";
  bool deleted = false;
  auto* object = new HostedObject(&deleted);
  plat::SendMessageA(window, ppDictList::kAttachMessage, 0, reinterpret_cast<plat::LPARAM>(object));
  EXPECT_EQ(plat::SendMessageA(window, plat::WM_USER + 1, 0, 0), 7);
  EXPECT_EQ(object->handled, 1);
  plat::DestroyWindow(window);
  EXPECT_TRUE(deleted);
}

}  // namespace
