// The unit tree read from the calculation folder's text files, and the unit selector's query over it:
// file order and names, records and their parents, group and unit texts, damaged and oversized
// records, and a chosen unit written into a service line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CalculationTestSupport.h"
#include "calculation/UnitTrees.h"
#include "calculation/qxUnitTreeNode.h"
#include "calculation/qxUnitTreeQuery.h"
#include "foundation/TextsById.h"
#include "framework/ppSwitchBoard.h"
#include "platform/HeadlessDriver.h"

namespace {

using calctest::Amount;

class UnitTreeTest : public calctest::CalculationTest {
 protected:
  void SetUp() override {
    CalculationTest::SetUp();
    FreeUnitTrees();
  }
  void TearDown() override {
    FreeUnitTrees();
    CalculationTest::TearDown();
  }

  // A folder of this test for tree files, as a program path ending in a separator.
  Vcon::WString Folder() {
    std::filesystem::create_directories(folder_);
    return Vcon::WString(Vcon::String((folder_.string() + "/").c_str()));
  }
  void WriteFile(const std::string& name, const std::string& bytes) {
    Folder();
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  static void ReadTree(const std::string& text) { ReadUnitTreeText(text.data(), text.size()); }

  // The tree in pre-order below the root, one "depth id text" entry a node.
  static std::vector<std::string> Dump() {
    std::vector<std::string> out;
    qxUnitTreeNode* root = UnitTreeRoot();
    if (root == nullptr) return out;
    std::vector<qxUnitTreeNode*> pending;
    for (size_t i = root->ChildCount(); i-- > 0;) pending.push_back(root->ChildAt(i));
    while (!pending.empty()) {
      qxUnitTreeNode* node = pending.back();
      pending.pop_back();
      out.push_back(std::to_string(node->Depth()) + " " + std::to_string(node->Id()) + " " +
                    node->Name().Narrow().c_str());
      for (size_t i = node->ChildCount(); i-- > 0;) pending.push_back(node->ChildAt(i));
    }
    return out;
  }

  std::filesystem::path folder_ = std::filesystem::path(Path("calculation"));
};

TEST_F(UnitTreeTest, FilesAreReadInAscendingNameOrderAndOnlyLowerCaseTxt) {
  // Written out of order, so a file system listing in creation order (or its reverse, or by hash)
  // would not give the names sorted.
  std::vector<std::string> expected;
  for (int32_t n : {3, 7, 0, 9, 2, 5, 8, 1, 6, 4}) {
    const std::string id = std::to_string(n + 1);
    WriteFile("f" + std::to_string(n) + ".txt", "\t" + id + "\t\tGroup " + id + "\tROOT\n");
  }
  for (int32_t n = 1; n <= 10; ++n)
    expected.push_back("1 " + std::to_string(n) + " Group " + std::to_string(n));
  WriteFile("U.TXT", "\t30\t\tUpper\tROOT\n");
  WriteFile("c.txt.bak", "\t40\t\tBackup\tROOT\n");
  LoadUnitTrees(Folder());
  EXPECT_EQ(Dump(), expected);
}

TEST_F(UnitTreeTest, WithoutAFolderOrATextFileThereIsNoTree) {
  LoadUnitTrees(Vcon::WString(u"/no/such/calculation/folder/"));
  EXPECT_EQ(UnitTreeRoot(), nullptr);
  WriteFile("empty.txt", "");
  WriteFile("notes.doc", "\t1\t\tGroup\tROOT\n");
  LoadUnitTrees(Folder());
  EXPECT_EQ(UnitTreeRoot(), nullptr);
}

TEST_F(UnitTreeTest, RecordsFindTheirParentsOrAreDropped) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> tree;
  };
  const std::vector<Case> cases = {
      {"ROOT makes the root, 0 names it",
       "\t1\t\tDoors\tROOT\n\t2\t\tHandles\t0\n\t3\t\tKnobs\t2\n",
       {"1 1 Doors", "1 2 Handles", "2 3 Knobs"}},
      {"a parent by number before any ROOT", "\t1\t\tEarly\t0\n\t2\t\tLate\tROOT\n", {"1 2 Late"}},
      {"a parent never read", "\t1\t\tDoors\tROOT\n\t2\t\tOrphan\t77\n", {"1 1 Doors"}},
      {"root spelt otherwise is no parent", "\t1\t\tDoors\tRoot\n\t2\t\tLate\tROOT\n", {"1 2 Late"}},
      {"a parent without a digit is read as 0, the root",
       "\t1\t\tDoors\tROOT\n\t2\t\tNone\t \n\t3\t\tWord\tabc\n",
       {"1 1 Doors", "1 2 None", "1 3 Word"}},
      {"a record whose fields run over two lines",
       "\t1\t\tDoors\nROOT\n\t2\t\tHandles\n1\n",
       {"1 1 Doors", "2 2 Handles"}},
      {"the first node of a shared id in pre-order",
       "\t1\t\tA\tROOT\n\t5\t\tA5\t1\n\t2\t\tB\tROOT\n\t5\t\tB5\t2\n\t9\t\tChild\t5\n",
       {"1 1 A", "2 5 A5", "3 9 Child", "1 2 B", "2 5 B5"}},
      {"the last record without a line break",
       "\t1\t\tDoors\tROOT\n\t2\t\tLast\t1",
       {"1 1 Doors", "2 2 Last"}},
      {"a short last record", "\t1\t\tDoors\tROOT\n\t2\t\tShort", {"1 1 Doors"}},
      {"blank lines between records",
       "\t1\t\tDoors\tROOT\r\n\r\n\n\t3\t\tKept\t1\n\n\t4\t\tAlso\t1\n",
       {"1 1 Doors", "2 3 Kept", "2 4 Also"}},
      {"a NUL ends the text",
       std::string("\t1\t\tDoors\tROOT\n") + '\0' + "\t2\t\tHidden\t1\n",
       {"1 1 Doors"}},
      {"quoted and escaped fields",
       "\t1\t\t\"Big \"\"A\"\"\"\tROOT\n\t2\t\tTab\\there\t1\n",
       {"1 1 Big \"A\"", "2 2 Tab\there"}},
  };
  for (const Case& c : cases) {
    FreeUnitTrees();
    ReadTree(c.text);
    EXPECT_EQ(Dump(), c.tree) << c.name;
  }
}

TEST_F(UnitTreeTest, GroupTextsFollowTheLanguageAndUnitNodesShowTheUnitsName) {
  cattest::ProgramTexts texts;
  texts.texts[123] = "Turen";
  SetTextSource(&texts);
  const std::string unit = std::to_string(first_.unit);
  ReadTree("\t1\t\tDoors;123\tROOT\n\t2\t\tWindows;124\tROOT\n\t" + unit +
           "\t1\tignored\t1\n\t999\t1\tMissing\t1\n" + "\t3\t7\tNo such catalogue\t1\n");
  EXPECT_EQ(Dump(), (std::vector<std::string>{"1 1 Turen", "2 " + unit + " Base 30", "2 999 ",
                                              "2 3 No such catalogue", "1 2 Windows"}));
  qxUnitTreeNode* root = UnitTreeRoot();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Id(), 0);
  EXPECT_TRUE(root->Name().empty());
  qxUnitTreeNode* found = root->FindById(first_.unit);
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->Database(), &Db(1));
  EXPECT_EQ(found->UnitRecordId(), first_.unit);
  qxUnitTreeNode* missing = root->FindById(999);
  EXPECT_EQ(missing->Database(), &Db(1)) << "a unit id missing from its catalogue keeps the catalogue";
  EXPECT_EQ(missing->UnitRecordId(), 0);
  EXPECT_EQ(root->FindById(3)->Database(), nullptr) << "an identifier of no open catalogue makes a group";
  SetTextSource(nullptr);
}

TEST_F(UnitTreeTest, ReadingUnitsLeavesTheCataloguesUnitTableAlone) {
  zelvproUnitFil& units = Db(1).UnitFile();
  units.ReadRecord(first_.articleUnit, nullptr);
  const int32_t selected = units.GetSelectedCount();
  ReadTree("\t1\t\tUnits\tROOT\n\t" + std::to_string(first_.unit) + "\t1\t\t1\n");
  ASSERT_EQ(UnitTreeRoot()->FindById(first_.unit)->UnitRecordId(), first_.unit);
  EXPECT_EQ(units.CurrentRecordId(), first_.articleUnit);
  EXPECT_EQ(cattest::WideField(units, "tname"), "Tall 10");
  EXPECT_EQ(units.GetSelectedCount(), selected);
}

TEST_F(UnitTreeTest, OversizedFieldsAreCutAndDeepChainsStopAtTheDepthLimit) {
  ReadTree("\t1\t\t" + std::string(300, 'x') + "\tROOT\n");
  ASSERT_EQ(Dump().size(), 1u);
  EXPECT_EQ(UnitTreeRoot()->FindById(1)->Name().size(), qxUnitTreeNode::kFieldLimit);

  FreeUnitTrees();
  std::string chain = "\t1\t\tLevel\tROOT\n";
  for (int32_t id = 2; id <= 200; ++id)
    chain += "\t" + std::to_string(id) + "\t\tLevel\t" + std::to_string(id - 1) + "\n";
  ReadTree(chain);
  EXPECT_EQ(Dump().size(), size_t(unit_trees::kDepthLimit));
  EXPECT_EQ(Dump().back(), std::to_string(unit_trees::kDepthLimit) + " " +
                               std::to_string(unit_trees::kDepthLimit) + " Level");
}

TEST_F(UnitTreeTest, TheDesktopResetFreesTheTree) {
  ReadTree("\t1\t\tDoors\tROOT\n");
  ASSERT_NE(UnitTreeRoot(), nullptr);
  plat::HeadlessDriver::Reset();
  EXPECT_EQ(UnitTreeRoot(), nullptr);
}

class UnitTreeQueryTest : public UnitTreeTest {
 protected:
  void SetUp() override {
    UnitTreeTest::SetUp();
    ReadTree("\t1\t\tBase units\tROOT\n\t" + std::to_string(first_.unit) +
             "\t1\t\t1\n\t2\t\tEmpty group\tROOT\n");
    root_ = UnitTreeRoot();
    unit_ = root_->FindById(first_.unit);
  }
  qxUnitTreeNode* root_ = nullptr;
  qxUnitTreeNode* unit_ = nullptr;
};

TEST_F(UnitTreeQueryTest, ChoosingAUnitPricesTheServiceLine) {
  const int32_t line = AddLine({{"type", int32_t(zelvproCalculatorFil::kItemService)}});
  Calc().GoToItem(line);
  qxUnitTreeQuery query(&Calc(), root_, "databaseID", "unitID");
  ppParameter before(-5);
  query.GetValue(before);
  EXPECT_EQ(before.ToLong(), -5) << "no unit yet: the value stays";

  query.SetValue(ppParameter(unit_->Identity()), true);
  EXPECT_EQ(CalculationTest::Read(line, "databaseID").ToLong(), 1);
  EXPECT_EQ(CalculationTest::Read(line, "unitID").ToLong(), first_.unit);
  EXPECT_EQ(RawMoney(line, "price"), Amount(200.0).Raw());
  EXPECT_EQ(CalculationTest::Read(line, "pcs").ToDouble(), 1.0);
  EXPECT_EQ(Text(line, "tunitDescription"), "B30 Base 30");

  Calc().GoToItem(line);
  ppParameter value;
  query.GetValue(value);
  EXPECT_EQ(value.ToLong(), unit_->Identity());

  // A group writes catalogue 0 and unit 0.
  query.SetValue(ppParameter(root_->FindById(2)->Identity()), true);
  EXPECT_EQ(CalculationTest::Read(line, "databaseID").ToLong(), 0);
  EXPECT_EQ(CalculationTest::Read(line, "unitID").ToLong(), 0);
  // A value naming no node writes nothing.
  query.SetValue(ppParameter(unit_->Identity()), true);
  query.SetValue(ppParameter(0), true);
  EXPECT_EQ(CalculationTest::Read(line, "unitID").ToLong(), first_.unit);
}

TEST_F(UnitTreeQueryTest, ItemsAreTheNodesInPreOrderWithTheUnitsNumberAndName) {
  qxUnitTreeQuery query(&Calc(), root_, "databaseID", "unitID");
  ASSERT_EQ(query.GetItemCount(), 4);
  EXPECT_EQ(query.Nodes()[0], root_);
  EXPECT_EQ(query.Nodes()[1]->Id(), 1);
  EXPECT_EQ(query.Nodes()[2], unit_);
  EXPECT_EQ(query.Nodes()[3]->Id(), 2);
  EXPECT_EQ(query.GetTreeRoot(), root_);

  ppParameter c1, c2, c3, c4;
  query.GetColumn1(2, c1);
  query.GetColumn2(2, c2);
  query.GetColumn3(2, c3);
  query.GetColumn4(2, c4);
  EXPECT_EQ(c1.ToLong(), unit_->Identity());
  EXPECT_EQ(std::string(c2.AsWString().Narrow().c_str()), "B30");
  EXPECT_EQ(std::string(c3.AsWString().Narrow().c_str()), "Base 30");
  EXPECT_EQ(c4.Type(), ppParameter::kNone);

  for (int32_t item : {-1, 4}) {
    ppParameter none;
    query.GetColumn1(item, none);
    query.GetColumn2(item, none);
    EXPECT_EQ(none.Type(), ppParameter::kNone) << item;
  }
  ppParameter groupNumber;
  query.GetColumn2(1, groupNumber);
  EXPECT_EQ(groupNumber.Type(), ppParameter::kNone) << "a group has no unit texts";

  qxUnitTreeQuery empty(&Calc(), nullptr, "databaseID", "unitID");
  EXPECT_EQ(empty.GetItemCount(), 0);
  EXPECT_EQ(empty.GetTreeRoot(), nullptr);
}

}  // namespace
