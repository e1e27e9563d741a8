// The catalogue browser in a headless window: tree switching by switchboard message, selection by
// click with its images, item list and picture list calls, the image list, the path bar's drawing,
// the records as text source, the rebuild on a language change, and the demo catalogue.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "BrowserTestSupport.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/qxCatalogFil.h"
#include "framework/ppCollaborator.h"
#include "platform/Gdi.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"
#include "support/DemoSettings.h"

namespace {

using browsertest::ChildNames;
using browsertest::FindNode;
using Names = std::vector<std::string>;
using Calls = std::vector<std::string>;

constexpr const char* kText =
    "GROUP\tB\t0\tBase\tROOM\n"
    "GROUP\tW\t0\tWall\tB\n"
    "GROUP\tE\t0\tExtras\tROOM\n"
    "ITEM\tB30\t1\tBase 30\tW\n"
    "ITEM\tNONE\t1\tMissing\tW\n"
    "ITEM\tB40\t1\tBase 40\tW\n"
    "GROUP\tC1\t0\tFirst\tCOMPONENTS\n"
    "GROUP\tC2\t0\tSecond\tCOMPONENTS\n";

class qxCatalogTest : public browsertest::BrowserTest {
 protected:
  void SetUp() override {
    BrowserTest::SetUp();
    WriteText("catalog.txt", kText);
  }
  void ShowTree(int32_t index) {
    ppCollaborator sender;
    sender.Broadcast(qxCatalog::kChannel, qxCatalog::kFirstTreeMessage + index, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  std::vector<bool> VisibleTrees() const {
    std::vector<bool> visible;
    for (int32_t i = 0; i < qxCatalog::kTreeCount; ++i)
      visible.push_back(plat::IsWindowVisible(browser_->TreeWindow(i)));
    return visible;
  }
  qxNode& Node(const std::string& name) const {
    for (int32_t i = 0; i < qxCatalog::kTreeCount; ++i) {
      if (qxNode* node = FindNode(browser_->Top(i), name)) return *node;
    }
    throw std::runtime_error("no node " + name);
  }
  std::string ItemIdOf(char* buffer) const {
    return buffer != nullptr ? RecordField(list_->FindById(1)->CatalogItemFile(), "ID").Text(buffer).c_str()
                             : "(null)";
  }
};

TEST_F(qxCatalogTest, TreeMessagesShowOneTreeAndKeepEachTreesSelection) {
  MakeBrowser();
  EXPECT_EQ(pictures_.catalog, browser_);
  EXPECT_EQ(VisibleTrees(), (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(browser_->CurrentNode(), &Node("B"));
  ClickNode(Node("W"));
  ASSERT_EQ(browser_->CurrentNode(), &Node("W"));

  ShowTree(2);
  EXPECT_EQ(VisibleTrees(), (std::vector<bool>{false, false, true, false, false}));
  EXPECT_EQ(browser_->CurrentNode(), &Node("C1"));
  EXPECT_EQ(Selected(browser_->TreeWindow(2)), Node("C1").TreeItem());
  const Calls before = pictures_.calls;
  ShowTree(2);
  EXPECT_EQ(pictures_.calls, before);
  EXPECT_EQ(VisibleTrees(), (std::vector<bool>{false, false, true, false, false}));

  ClickNode(Node("C2"));
  ShowTree(0);
  EXPECT_EQ(VisibleTrees(), (std::vector<bool>{true, false, false, false, false}));
  EXPECT_EQ(browser_->CurrentNode(), &Node("W"));
  EXPECT_EQ(Selected(browser_->TreeWindow(0)), Node("W").TreeItem());
  EXPECT_EQ(browser_->Items().Count(), 3);
  ShowTree(2);
  EXPECT_EQ(browser_->CurrentNode(), &Node("C2"));

  // An empty tree selects nothing and lists nothing.
  ShowTree(4);
  EXPECT_EQ(browser_->CurrentNode(), nullptr);
  EXPECT_EQ(Selected(browser_->TreeWindow(4)), nullptr);
  EXPECT_EQ(browser_->Items().Count(), 0);
}

TEST_F(qxCatalogTest, SelectingAGroupOpensItAndTheGroupsAboveAndListsItsItems) {
  MakeBrowser();
  EXPECT_EQ(Images(Node("B")), std::pair(3, 3));  // selected at loading
  pictures_.calls.clear();
  ClickNode(Node("W"));
  EXPECT_EQ(Images(Node("W")), std::pair(1, 1));
  EXPECT_EQ(Images(Node("B")), std::pair(3, 3));
  EXPECT_EQ(Images(Node("E")), std::pair(2, 2));
  EXPECT_EQ(pictures_.calls, (Calls{"Reload"}));
  zelvDatabase* db = list_->FindById(1);
  const std::vector<std::pair<zelvDatabase*, int32_t>> expected = {
      {db, itemIds_["B30"]}, {db, 0}, {db, itemIds_["B40"]}};
  ASSERT_EQ(browser_->Items().Count(), 3);
  for (int32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(browser_->Items().At(i).database, expected[size_t(i)].first) << i;
    EXPECT_EQ(browser_->Items().At(i).recordId, expected[size_t(i)].second) << i;
  }
  // The unmatched entry reads as an empty record, never as the item read before it.
  EXPECT_EQ(ItemIdOf(browser_->ReadItemAt(2)), "B40");
  EXPECT_EQ(ItemIdOf(browser_->ReadItemAt(1)), "");
  EXPECT_EQ(ItemIdOf(browser_->ReadItemAt(0)), "B30");
  EXPECT_EQ(ItemIdOf(browser_->ReadItemAt(3)), "(null)");

  ClickNode(Node("E"));
  EXPECT_EQ(Images(Node("W")), std::pair(0, 0));
  EXPECT_EQ(Images(Node("B")), std::pair(2, 2));
  EXPECT_EQ(Images(Node("E")), std::pair(3, 3));
  EXPECT_EQ(browser_->Items().Count(), 0);
}

// The trees draw lines and no buttons: a group opens because selecting it opens it and closes the
// group that was open, so one click on its row is all a user needs.
TEST_F(qxCatalogTest, OneClickOnAGroupsRowOpensItAndClosesTheGroupOpenBefore) {
  MakeBrowser();
  constexpr plat::DWORD kStyle = plat::WS_CHILD | plat::WS_TABSTOP | plat::TVS_NOHSCROLL |
                                 plat::TVS_SINGLEEXPAND | plat::TVS_SHOWSELALWAYS | plat::TVS_HASLINES;
  for (int32_t i = 0; i < qxCatalog::kTreeCount; ++i) {
    const auto style = plat::DWORD(plat::GetWindowLongPtrA(browser_->TreeWindow(i), plat::GWL_STYLE));
    EXPECT_EQ(style & ~plat::WS_VISIBLE, kStyle) << "tree " << i;
  }

  // Selected when the tree was filled, which opens nothing: its subgroup is not shown yet.
  ASSERT_EQ(browser_->CurrentNode(), &Node("B"));
  EXPECT_FALSE(Expanded(Node("B")));
  EXPECT_FALSE(RowShown(Node("W")));
  ClickRow(Node("B"));
  EXPECT_TRUE(Expanded(Node("B")));
  ASSERT_TRUE(RowShown(Node("W")));

  ClickRow(Node("W"));
  EXPECT_EQ(browser_->CurrentNode(), &Node("W"));
  EXPECT_EQ(browser_->Items().Count(), 3);
  EXPECT_TRUE(Expanded(Node("B")));

  // Another group at the top: the branch open before closes.
  ClickRow(Node("E"));
  EXPECT_EQ(browser_->CurrentNode(), &Node("E"));
  EXPECT_FALSE(Expanded(Node("B")));
  EXPECT_FALSE(RowShown(Node("W")));
  EXPECT_EQ(Images(Node("B")), std::pair(2, 2));

  ClickRow(Node("B"));
  EXPECT_EQ(browser_->CurrentNode(), &Node("B"));
  EXPECT_TRUE(Expanded(Node("B")));
  EXPECT_TRUE(RowShown(Node("W")));
}

TEST_F(qxCatalogTest, AMissingPictureMovesTheLaterOnesDown) {
  application_.frames.erase(3502);
  MakeBrowser();
  plat::HIMAGELIST list = browser_->ImageList();
  ASSERT_EQ(plat::ImageList_GetImageCount(list), 4);
  plat::HDC dc = plat::CreateCompatibleDC(nullptr);
  plat::HBITMAP bitmap = plat::CreateBitmap(16, 16, 1, 32, nullptr);
  plat::HGDIOBJ old = plat::SelectObject(dc, bitmap);
  ASSERT_TRUE(plat::ImageList_Draw(list, qxNode::kGroupOpenImage, dc, 0, 0, plat::ILD_NORMAL));
  EXPECT_EQ(plat::GetPixel(dc, 8, 8), plat::RGB(0, 0, 255));  // picture 3503
  plat::SelectObject(dc, old);
  plat::DeleteObject(bitmap);
  plat::DeleteDC(dc);
}

TEST_F(qxCatalogTest, ThePathBarDrawsTheGroupTextsWithSeparatorsOverALine) {
  MakeBrowser(true);
  ClickNode(Node("W"));
  EXPECT_EQ(overview_->Path().size(), 3u);  // the top node, B, W
  EXPECT_NE(std::find(pictures_.calls.begin(), pictures_.calls.end(), "InvalidateElement"),
            pictures_.calls.end());
  const std::string png = Path("path_bar.png");
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(host_, png));
  std::unique_ptr<plat::Surface> image = plat::ReadPng(png);
  ASSERT_NE(image, nullptr);
  const auto rgb = [&](int32_t x, int32_t y) { return image->Pixel(x, y) & 0xFFFFFF; };
  const int32_t top = 0, bottom = 30, line = bottom - 2;
  for (int32_t x = 0; x < 298; ++x) ASSERT_EQ(rgb(x, line), browsertest::kPathColour) << x;
  // One separator, 16 pixels wide, from top + 3 to the line.
  std::vector<int32_t> separatorColumns;
  for (int32_t x = 0; x < 300; ++x) {
    if (rgb(x, 15) == browsertest::PictureColour(3500)) separatorColumns.push_back(x);
  }
  ASSERT_EQ(separatorColumns.size(), 16u);
  const int32_t sx = separatorColumns.front();
  EXPECT_EQ(separatorColumns.back(), sx + 15);
  EXPECT_EQ(rgb(sx, top + 3), browsertest::PictureColour(3500));
  EXPECT_EQ(rgb(sx, line - 1), browsertest::PictureColour(3500));
  EXPECT_NE(rgb(sx, top + 2), browsertest::PictureColour(3500));
  // Text ink: "Base" from left + 5 up to the separator, "Wall" after it; nothing left of left + 5.
  const auto inkIn = [&](int32_t from, int32_t to) {
    std::vector<int32_t> columns;
    for (int32_t x = from; x < to; ++x) {
      for (int32_t y = top; y < line; ++y) {
        if (rgb(x, y) == browsertest::kPathColour) {
          columns.push_back(x);
          break;
        }
      }
    }
    return columns;
  };
  EXPECT_TRUE(inkIn(0, 5).empty());
  const std::vector<int32_t> base = inkIn(5, sx);
  ASSERT_FALSE(base.empty());
  EXPECT_LE(base.front(), 7);
  EXPECT_FALSE(inkIn(sx + 16, 300).empty());

  // The browser may go first: the path bar forgets its nodes and draws an empty path.
  delete browser_;
  browser_ = nullptr;
  EXPECT_TRUE(overview_->Path().empty());
  overview_->Invalidate();
  plat::HeadlessDriver::RunUntilIdle();
}

TEST_F(qxCatalogTest, TheFlagTakesTheTextsFromTheCatalogueRecords) {
  {
    qxCatalogFil records(*list_->FindById(1));
    cattest::AddRecord(records, {{"id", 1}, {"name", "browser"}});
    const std::string text = "GROUP\tFromRecord\t0\tR\tZELVO\n";
    Handle blob = records.CatalogText();
    ASSERT_NE(blob, nullptr);
    MemSetSize(blob, uint32_t(text.size()));
    std::memcpy(*blob, text.data(), text.size());
    records.WriteRecord(records.CurrentRecordId(), nullptr);
  }
  for (bool fromRecords : {false, true}) {
    CatalogTextsFromRecords = fromRecords;
    if (browser_ != nullptr) delete browser_;
    MakeBrowser();
    EXPECT_EQ(ChildNames(browser_->Top(0)), (fromRecords ? Names{} : Names{"B", "E"})) << fromRecords;
    EXPECT_EQ(ChildNames(browser_->Top(1)), (fromRecords ? Names{"FromRecord"} : Names{})) << fromRecords;
  }
}

TEST_F(qxCatalogTest, ALanguageChangeRebuildsTheTreesAndKeepsTheVisibleTree) {
  MakeBrowser(true);
  ShowTree(2);
  ClickNode(Node("C2"));
  texts_.texts[1] = "renamed";  // nothing refers to it: the rebuild must not depend on a change
  browser_->UpdateTexts();
  plat::HeadlessDriver::RunUntilIdle();  // paints the path bar over the new nodes
  EXPECT_EQ(VisibleTrees(), (std::vector<bool>{false, false, true, false, false}));
  EXPECT_EQ(browser_->CurrentTreeIndex(), 2);
  EXPECT_EQ(browser_->CurrentNode(), &Node("C1"));
  EXPECT_EQ(Selected(browser_->TreeWindow(2)), Node("C1").TreeItem());
  EXPECT_EQ(overview_->Path().back(), &Node("C1"));
  ShowTree(0);
  EXPECT_EQ(browser_->CurrentNode(), &Node("B"));
  EXPECT_EQ(Selected(browser_->TreeWindow(0)), Node("B").TreeItem());
}

// Start-up updates the texts moments after the palette loaded the trees: they are already in the
// current language, so they are kept, while the element pane is still reset and refilled. A
// language change, or a second update, still rebuilds them.
TEST_F(qxCatalogTest, TextsUpdatedRightAfterTheLoadKeepTheTreesUnlessTheLanguageChanged) {
  MakeBrowser(true);
  qxNode* first = &Node("B");
  pictures_.calls.clear();
  browser_->UpdateTexts();
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(&Node("B"), first);  // kept: `first` may be read below
  EXPECT_EQ(browser_->CurrentNode(), first);
  EXPECT_EQ(Selected(browser_->TreeWindow(0)), first->TreeItem());
  EXPECT_EQ(overview_->Path().back(), first);
  // The pane scrolls back and refills; the path bar is drawn again.
  EXPECT_EQ(pictures_.calls, (Calls{"ResetView", "Reload", "InvalidateElement"}));

  browser_->UpdateTexts();  // no longer right after the load
  EXPECT_NE(&Node("B"), first);
  EXPECT_EQ(browser_->CurrentNode(), &Node("B"));

  const uint32_t language = Preferences().languageCode;
  for (bool languageChanged : {false, true}) {
    delete browser_;
    delete overview_;
    overview_ = nullptr;
    MakeBrowser();
    first = &Node("B");
    if (languageChanged) {
      Preferences().languageCode = language + 1;
      ApplyDerivedSettings();
    }
    browser_->UpdateTexts();
    EXPECT_EQ(&Node("B") == first, !languageChanged) << languageChanged;
  }
  Preferences().languageCode = language;
  ApplyDerivedSettings();
}

TEST_F(qxCatalogTest, HidingShowingAndFollowingTheSupervisor) {
  MakeBrowser();
  const auto where = [&] {
    plat::RECT r;
    plat::GetWindowRect(browser_->BrowserWindow(), &r);
    return r;
  };
  EXPECT_EQ(where(), (plat::RECT{0, 30, 300, 400}));
  browser_->Hide();
  EXPECT_FALSE(plat::IsWindowVisible(browser_->BrowserWindow()));
  // The frame stays left and moves down with the supervisor's bottom; the window sits 1 pixel inside it.
  browser_->SupervisorResized(40, 50);
  EXPECT_EQ(browser_->GetFrame(), (plat::RECT{0, 80, 300, 450}));
  EXPECT_EQ(where(), (plat::RECT{1, 81, 299, 449}));
  EXPECT_FALSE(plat::IsWindowVisible(browser_->BrowserWindow()));  // a hidden browser stays hidden
  browser_->Show();
  EXPECT_TRUE(plat::IsWindowVisible(browser_->BrowserWindow()));
  EXPECT_EQ(VisibleTrees(), (std::vector<bool>{true, false, false, false, false}));
}

// Every node of a tree, depth first.
void ForEachNode(const qxNode& node, const std::function<void(const qxNode&)>& visit) {
  for (const qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    visit(*child);
    ForEachNode(*child, visit);
  }
}

TEST_F(qxCatalogTest, TheDemoSettingsFillFiveTreesWhoseItemsAllResolve) {
  list_.reset();
  DemoSettings demo;
  std::filesystem::current_path(demo.Root());
  ppFileSpec fileRecord(Vcon::WString(demo.File("zadezodid.cdb").string().c_str()));
  qxApplicationdb application(fileRecord);
  CatalogDatabaseList catalogues;
  ASSERT_GT(catalogues.Count(), 0);
  for (bool fromRecords : {false, true}) {
    CatalogTextsFromRecords = fromRecords;
    MakeBrowser();
    for (int32_t i = 0; i < qxCatalog::kTreeCount; ++i) {
      int32_t items = 0, unresolved = 0;
      ForEachNode(browser_->Top(i), [&](const qxNode& node) {
        if (!node.IsItem()) return;
        ++items;
        if (node.ItemRecordId() == 0) ++unresolved;
      });
      EXPECT_NE(browser_->Top(i).FirstChild(), nullptr)
          << "tree " << i << (fromRecords ? " from records" : "");
      EXPECT_EQ(unresolved, 0) << "tree " << i << " of " << items << " items";
    }
    delete browser_;
    browser_ = nullptr;
  }
}

}  // namespace
