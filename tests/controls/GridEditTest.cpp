// The editable grid: the in-place editor opened on the selected cell, typed text committed by
// Tab, Return or a click elsewhere, Tab walking the cells past skipped columns and appending rows,
// a refusing validator holding the editor, and the editor outliving the Tab that closes it.
#include <gtest/gtest.h>

#include "GridTestSupport.h"
#include "controls/ppGridEditField.h"
#include "controls/ppGridEditTextField.h"
#include "controls/ppValidator.h"
#include "framework/ppPendingDeletions.h"

namespace {

using gridtest::MemorySource;
using gridtest::Recorder;
using plat::HeadlessDriver;
using Pos = std::pair<int32_t, int32_t>;

constexpr uint32_t kExtras =
    ppGridScroller::kEditable | ppGridScroller::kHeader | ppGridScroller::kRowsFromSource;

// Refuses while `refuse` is set; counts its calls.
struct Gate : ppValidator {
  bool Validate(ppParameter& value, ppEditTextField*) override {
    ++calls;
    seen = value.AsString();
    return !refuse;
  }
  bool refuse = false;
  int32_t calls = 0;
  std::string seen;
};

class GridEditTest : public gridtest::GridWindowTest {
 protected:
  ppGrid* MakeExtras(MemorySource& source, ppValidator* article = nullptr) {
    ppGrid* grid = MakeGrid({10, 10, 470, 300}, &source, kExtras,
                            {{"article", 130, false, article}, {"description", 260, true}, {"qty", 62}});
    return grid;
  }
  void Type(const char* letters) {
    for (const char* c = letters; *c != 0; ++c) Press(*c);
  }
  void WithShift(int32_t key) {
    plat::Desktop::Key(plat::VK_SHIFT, true);
    Press(key);
    plat::Desktop::Key(plat::VK_SHIFT, false);
    HeadlessDriver::RunUntilIdle();
  }
  static std::u16string EditorText(ppGrid* grid) {
    ppGridEditTextField* editor = grid->Body()->Editor();
    return editor != nullptr ? std::u16string(editor->Field()->GetControlText()) : u"<closed>";
  }
};

TEST_F(GridEditTest, BeginEditOnAnEmptySourceAddsTheFirstRow) {
  MemorySource source({"article", "description", "qty"});
  ppGrid* grid = MakeExtras(source);
  EXPECT_EQ(grid->Body()->Editor(), nullptr);
  grid->BeginEdit();
  EXPECT_EQ(source.CountItems(), 1);
  ASSERT_NE(grid->Body()->Editor(), nullptr);
  EXPECT_EQ(plat::GetFocus(), grid->Body()->Editor()->Field()->EditControl());
  // The editor lies over the cell, its text where the grid draws the cell's.
  plat::RECT editor, cell = grid->Body()->CellRect(0, 0, true);
  grid->Body()->Editor()->GetWindowFrame(&editor);
  EXPECT_EQ(editor.left, cell.left - 5);
  EXPECT_EQ(editor.top, cell.top - 4);
}

TEST_F(GridEditTest, TabCommitsAndWalksTheCellsPastSkippedColumnsAppendingAtTheEnd) {
  MemorySource source({"article", "description", "qty"}, 1);
  ppGrid* grid = MakeExtras(source);
  grid->BeginEdit();
  EXPECT_EQ(EditorText(grid), u"article0") << "the cell's value shows in the editor";
  Type("AB");
  Press(plat::VK_TAB);
  EXPECT_EQ(source.Text(0, "article"), "ab");
  EXPECT_EQ(Selection(grid), Pos(2, 0)) << "the description column is skipped";
  Type("7");
  Press(plat::VK_TAB);
  EXPECT_EQ(source.Text(0, "qty"), "7");
  EXPECT_EQ(source.CountItems(), 2) << "Tab on the last cell appends a row";
  EXPECT_EQ(Selection(grid), Pos(0, 1));
  EXPECT_NE(grid->Body()->Editor(), nullptr);
  WithShift(plat::VK_TAB);
  EXPECT_EQ(Selection(grid), Pos(2, 0));
  Press(plat::VK_RETURN);
  EXPECT_EQ(Selection(grid), Pos(0, 1));
  EXPECT_EQ(source.CountItems(), 2);
}

TEST_F(GridEditTest, TheEditorClosedByItsOwnTabOutlivesThatCall) {
  MemorySource source({"article", "description", "qty"}, 2);
  ppGrid* grid = MakeExtras(source);
  grid->BeginEdit();
  ppGridEditTextField* first = grid->Body()->Editor();
  ASSERT_NE(first, nullptr);
  Press(plat::VK_TAB);
  EXPECT_NE(grid->Body()->Editor(), first);
  EXPECT_TRUE(ppPendingDeletions::Holds(first)) << "deleted after the message, not inside it";
  ppPendingDeletions::DeleteAll();
  EXPECT_NE(grid->Body()->Editor(), nullptr);
  Type("5");
  Press(plat::VK_TAB);
  EXPECT_EQ(source.Text(0, "qty"), "5");
}

TEST_F(GridEditTest, DownOnTheLastRowAppendsAnItemAndSelectsIt) {
  MemorySource source({"article", "description", "qty"}, 2);
  ppGrid* grid =
      MakeGrid({10, 10, 470, 300}, &source, ppGridScroller::kEditable | ppGridScroller::kRowsFromSource,
               {{"article", 130}, {"qty", 62}});
  grid->Body()->SetSelection(1, 1);
  grid->Body()->KeyDown(plat::VK_DOWN, 0);
  EXPECT_EQ(source.CountItems(), 3);
  EXPECT_EQ(source.changes, 1) << "the source was told of the change";
  EXPECT_EQ(Selection(grid), Pos(1, 2));
  EXPECT_EQ(grid->Body()->VerticalExtent(), 60 / 10 + 1);
}

TEST_F(GridEditTest, AppendingInRowListModeGivesTheNewRowAHeight) {
  MemorySource source({"a"});
  ppGrid* grid = MakeGrid({10, 10, 470, 300}, &source, ppGridScroller::kEditable, {{"a", 130}});
  grid->BeginEdit();
  ASSERT_EQ(grid->Body()->Rows().size(), 1u);
  EXPECT_EQ(grid->Body()->Rows()[0], 20) << "the line height";
  grid->Body()->KeyDown(plat::VK_DOWN, 0);
  EXPECT_EQ(grid->Body()->Rows(), (std::vector<int32_t>{20, 20}));
  EXPECT_EQ(Selection(grid), Pos(0, 1));
}

TEST_F(GridEditTest, ARefusingValidatorKeepsTheEditorItsTextAndTheSelection) {
  MemorySource source({"article", "description", "qty"}, 2);
  Gate gate;
  ppGrid* grid = MakeExtras(source, &gate);
  Recorder heard(grid);
  grid->BeginEdit();
  ppGridEditTextField* editor = grid->Body()->Editor();
  gate.refuse = true;
  Type("ZZ");
  Press(plat::VK_TAB);
  EXPECT_EQ(gate.calls, 1) << "Tab";
  const plat::RECT other = grid->Body()->CellRect(0, 1, false);
  Click(other.left + 5, other.top + 8);
  EXPECT_EQ(gate.calls, 2) << "a click on another cell";
  grid->Body()->KeyDown(plat::VK_DOWN, 0);
  EXPECT_EQ(gate.calls, 3) << "a key to the grid";
  EXPECT_EQ(gate.seen, "zz");
  EXPECT_EQ(grid->Body()->Editor(), editor);
  EXPECT_EQ(EditorText(grid), u"zz");
  EXPECT_EQ(Selection(grid), Pos(0, 0));
  EXPECT_EQ(source.Text(0, "article"), "article0");
  for (int32_t id : heard.Ids()) EXPECT_NE(id, ppGridScroller::kSelectionMessage);

  gate.refuse = false;
  Press(plat::VK_TAB);
  EXPECT_EQ(source.Text(0, "article"), "zz");
  EXPECT_EQ(Selection(grid), Pos(2, 0));
}

TEST_F(GridEditTest, AClickOnAnotherCellCommitsTheTypedTextWithoutAValidator) {
  MemorySource source({"article", "description", "qty"}, 2);
  ppGrid* grid = MakeExtras(source);
  grid->Body()->SetSelection(2, 0);
  Type("12");
  const plat::RECT other = grid->Body()->CellRect(0, 1, false);
  Click(other.left + 5, other.top + 8);
  EXPECT_EQ(source.Text(0, "qty"), "12");
  EXPECT_EQ(Selection(grid), Pos(0, 1));
  ppPendingDeletions::DeleteAll();
  EXPECT_EQ(EditorText(grid), u"article1");
}

TEST_F(GridEditTest, ArrowKeysStayInTheEditorAndAClickOpensItOnASkippedColumn) {
  MemorySource source({"article", "description", "qty"}, 2);
  ppGrid* grid = MakeExtras(source);
  grid->BeginEdit();
  Press(plat::VK_RIGHT);
  Press(plat::VK_DOWN);
  EXPECT_EQ(Selection(grid), Pos(0, 0)) << "the caret moved, not the selection";
  const plat::RECT skipped = grid->Body()->CellRect(1, 1, false);
  Click(skipped.left + 5, skipped.top + 8);
  EXPECT_EQ(Selection(grid), Pos(1, 1));
  ASSERT_NE(grid->Body()->Editor(), nullptr);
  EXPECT_EQ(EditorText(grid), u"description1");
}

TEST_F(GridEditTest, AnUntouchedCellIsNotWrittenWhenTheEditorCloses) {
  MemorySource source({"article", "description", "qty"}, 2);
  Gate gate;
  ppGrid* grid = MakeExtras(source, &gate);
  grid->BeginEdit();
  Press(plat::VK_TAB);
  Press(plat::VK_TAB);
  EXPECT_EQ(source.writes, 0);
  EXPECT_EQ(Selection(grid), Pos(0, 1));
}

}  // namespace

namespace {

TEST_F(GridEditTest, TheOpenEditorMovesWithItsCellWhenTheGridScrolls) {
  MemorySource source({"article", "description", "qty"}, 30);
  ppGrid* grid = MakeExtras(source);
  grid->Body()->SetSelection(0, 3);
  ASSERT_NE(grid->Body()->Editor(), nullptr);
  grid->DoCommand(ppGridScroller::kScrollVertically, 2);
  ASSERT_EQ(grid->Body()->VerticalPosition(), 2);
  const plat::RECT cell = grid->Body()->CellRect(0, 3, true);
  plat::RECT editor, control;
  grid->Body()->Editor()->GetWindowFrame(&editor);
  EXPECT_EQ(editor.left, cell.left - 5);
  EXPECT_EQ(editor.top, cell.top - 4);
  plat::GetWindowRect(grid->Body()->Editor()->Field()->Container(), &control);
  plat::RECT host;
  plat::GetWindowRect(hwnd_, &host);
  EXPECT_GE(control.top - host.top, editor.top);
  EXPECT_LT(control.top - host.top, editor.bottom) << "the edit control went along";
}

}  // namespace
