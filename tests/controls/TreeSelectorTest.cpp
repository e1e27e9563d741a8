// The tree drop-down of the popup selector: node identities, the tree control's images and style,
// the write-back on opening, selections applied at once, the keys that close it, and no capture.
#include <gtest/gtest.h>

#include <memory>

#include "SelectorTestSupport.h"
#include "controls/ppSelectorTreeView.h"
#include "controls/ppTreeViewNode.h"
#include "controls/ppTreeViewSelectorDialog.h"
#include "platform/TreeView.h"

namespace {

using ctltest::ListQuery;

// A list query whose items form a tree: the value is a node's identity.
class TreeQuery : public ListQuery {
 public:
  TreeQuery(ppTreeViewNode* root, ppParameter value) : ListQuery(0, std::move(value)), root_(root) {}
  ppTreeViewNode* GetTreeRoot() override { return root_; }

 private:
  ppTreeViewNode* root_;
};

TEST(TreeViewNode, IdentitiesAreUniqueAndLeadBackWhileTheNodeLives) {
  auto root = std::make_unique<ppTreeViewNode>(u"root");
  ppTreeViewNode* a = root->AddChild(std::make_unique<ppTreeViewNode>(u"a"));
  ppTreeViewNode* b = a->AddChild(std::make_unique<ppTreeViewNode>(u"b"));
  EXPECT_NE(root->Identity(), a->Identity());
  EXPECT_NE(a->Identity(), b->Identity());
  EXPECT_GT(root->Identity(), 0);
  EXPECT_EQ(ppTreeViewNode::FromIdentity(b->Identity()), b);
  const int32_t gone = b->Identity();
  root.reset();  // the children go with it
  EXPECT_EQ(ppTreeViewNode::FromIdentity(gone), nullptr);
  EXPECT_EQ(ppTreeViewNode::FromIdentity(0), nullptr);
}

class TreeSelectorTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    root_ = std::make_unique<ppTreeViewNode>();
    a_ = root_->AddChild(std::make_unique<ppTreeViewNode>(u"Group A"));
    a1_ = a_->AddChild(std::make_unique<ppTreeViewNode>(u"Unit A1"));
    a2_ = a_->AddChild(std::make_unique<ppTreeViewNode>(u"Unit A2"));
    b_ = root_->AddChild(std::make_unique<ppTreeViewNode>(u"Group B"));
    configurator_ = new ppConfigurator(window_, {0, 0, 250, 400}, nullptr, true);
    window_->SetTarget(configurator_);
  }
  void TearDown() override {
    configurator_->RemoveAll();
    WindowTest::TearDown();
  }
  void Build(ppParameter value) {
    panel_ = new ppConfigPanel(configurator_);
    query_ = new TreeQuery(root_.get(), std::move(value));
    selector_ = new ppPopupSelector(panel_, query_, u"Unit", 1, true, false, false, false);
    selector_->SetTree(true);
    panel_->AddField(selector_);
    configurator_->AddPanel(panel_);
    configurator_->PlaceTabs();
    plat::HeadlessDriver::RunUntilIdle();
  }
  void Open() {
    selector_->BecomeCurrent();
    plat::Desktop::Key(plat::VK_MENU, true);
    plat::Desktop::Key(plat::VK_DOWN, true);
    plat::Desktop::Key(plat::VK_DOWN, false);
    plat::HeadlessDriver::RunUntilIdle();
    plat::Desktop::Key(plat::VK_MENU, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  ppTreeViewSelectorDialog* Popup() {
    return dynamic_cast<ppTreeViewSelectorDialog*>(selector_->OpenPopupDialog());
  }
  plat::TVITEMW Item(ppTreeViewNode* node) {
    plat::TVITEMW item;
    item.mask = plat::TVIF_IMAGE | plat::TVIF_SELECTEDIMAGE | plat::TVIF_PARAM | plat::TVIF_HANDLE;
    item.hItem = node->Item();
    plat::SendMessageW(Popup()->Tree()->Control(), plat::TVM_GETITEMW, 0,
                       reinterpret_cast<plat::LPARAM>(&item));
    return item;
  }

  std::unique_ptr<ppTreeViewNode> root_;
  ppTreeViewNode *a_ = nullptr, *a1_ = nullptr, *a2_ = nullptr, *b_ = nullptr;
  ppConfigurator* configurator_ = nullptr;
  ppConfigPanel* panel_ = nullptr;
  TreeQuery* query_ = nullptr;
  ppPopupSelector* selector_ = nullptr;
};

TEST_F(TreeSelectorTest, OpeningWritesTheValueBackOnceAndShowsTheImagesByLevel) {
  Build(ppParameter(a1_->Identity()));
  Open();
  ASSERT_NE(Popup(), nullptr);
  ASSERT_EQ(query_->done.size(), 1u) << "the current value written back once";
  EXPECT_FALSE(query_->notifies[0]) << "with flag 0";
  EXPECT_EQ(query_->Value(), a1_->Identity());
  const plat::HWND control = Popup()->Tree()->Control();
  EXPECT_EQ(static_cast<plat::DWORD>(plat::GetWindowLongPtrA(control, plat::GWL_STYLE)) & ~plat::WS_VISIBLE,
            0x40018422u & ~plat::WS_VISIBLE);
  struct Case {
    ppTreeViewNode* node;
    int32_t image, selected;
  } cases[] = {{a_, 2, 3}, {b_, 2, 3}, {a1_, 0, 1}, {a2_, 0, 1}};
  for (const Case& c : cases) {
    const plat::TVITEMW item = Item(c.node);
    EXPECT_EQ(item.iImage, c.image);
    EXPECT_EQ(item.iSelectedImage, c.selected);
    EXPECT_EQ(item.lParam, reinterpret_cast<plat::LPARAM>(c.node)) << "the item leads back to its node";
  }
  EXPECT_EQ(reinterpret_cast<ppTreeViewNode*>(
                plat::SendMessageW(control, plat::TVM_GETNEXTITEM, plat::TVGN_CARET, 0)),
            reinterpret_cast<ppTreeViewNode*>(a1_->Item()));
  EXPECT_NE(plat::GetCapture(), Popup()->GetHWND()) << "the tree takes no capture";
  EXPECT_EQ(plat::GetFocus(), control);
}

TEST_F(TreeSelectorTest, WithoutAValueNothingIsSelectedOrWritten) {
  Build(ppParameter());
  Open();
  ASSERT_NE(Popup(), nullptr);
  EXPECT_TRUE(query_->done.empty());
  EXPECT_EQ(plat::SendMessageW(Popup()->Tree()->Control(), plat::TVM_GETNEXTITEM, plat::TVGN_CARET, 0), 0);
}

TEST_F(TreeSelectorTest, EachSelectionIsWrittenAtOnceAndEscapeKeepsTheLast) {
  Build(ppParameter(a_->Identity()));
  Open();
  ASSERT_NE(Popup(), nullptr);
  Press(plat::VK_DOWN);  // the control's own navigation: to the next visible item
  const int32_t moved = query_->Value();
  EXPECT_NE(moved, a_->Identity());
  EXPECT_TRUE(query_->notifies.back()) << "through the field's value path";
  Press(plat::VK_ESCAPE);
  EXPECT_EQ(query_->Value(), moved) << "no cancel";
  EXPECT_FALSE(plat::IsWindowVisible(Popup()->GetHWND()));
  EXPECT_TRUE(selector_->IsFocused()) << "the focus returns to the field";
}

TEST_F(TreeSelectorTest, ReturnTabAltDownAndADoubleClickCloseIt) {
  Build(ppParameter(b_->Identity()));
  const char* what[] = {"Return", "Tab", "Alt+Down", "double click"};
  for (int32_t i = 0; i < 4; ++i) {
    Open();
    ASSERT_NE(Popup(), nullptr) << what[i];
    ASSERT_TRUE(plat::IsWindowVisible(Popup()->GetHWND())) << what[i];
    switch (i) {
      case 0:
        Press(plat::VK_RETURN);
        break;
      case 1:
        Press(plat::VK_TAB);
        break;
      case 2:
        plat::Desktop::Key(plat::VK_MENU, true);
        Press(plat::VK_DOWN);
        plat::Desktop::Key(plat::VK_MENU, false);
        plat::HeadlessDriver::RunUntilIdle();
        break;
      default: {
        plat::NMHDR header;
        header.hwndFrom = Popup()->Tree()->Control();
        header.code = plat::NM_DBLCLK;
        plat::SendMessageW(Popup()->Tree()->Container(), plat::WM_NOTIFY, 1,
                           reinterpret_cast<plat::LPARAM>(&header));
      }
    }
    EXPECT_FALSE(plat::IsWindowVisible(Popup()->GetHWND())) << what[i];
    EXPECT_EQ(query_->Value(), b_->Identity()) << what[i];
  }
}

TEST_F(TreeSelectorTest, AClickOutsideTheTreeOnThePopupClosesAndRetiresIt) {
  Build(ppParameter(b_->Identity()));
  Open();
  ppTreeViewSelectorDialog* popup = Popup();
  ASSERT_NE(popup, nullptr);
  popup->IsDoubleClick(0, 0);
  EXPECT_EQ(selector_->OpenPopupDialog(), nullptr);
  EXPECT_TRUE(ppPendingDeletions::Holds(popup)) << "not left behind undeleted";
  ppPendingDeletions::DeleteAll();
}

}  // namespace
