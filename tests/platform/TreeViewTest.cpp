#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Gdi.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/ImageList.h"
#include "platform/PngFile.h"
#include "platform/TreeView.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

struct Heard {
  UINT code;
  UINT action;
  LPARAM newParam;
  LPARAM oldParam;
};
std::vector<Heard> gHeard;
bool gRefuseChange = false;
bool gTakeDoubleClicks = false;
UINT gDestroyOn = 0;  // a notification on which the host destroys the tree
LRESULT gNotifyFormat = 0;

LRESULT HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFYFORMAT) return gNotifyFormat;
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code == TVN_KEYDOWN || header->code == NM_CLICK) return 0;
    if (header->code == NM_DBLCLK || header->code == NM_RETURN) {
      gHeard.push_back({header->code, 0, 0, 0});
      return gTakeDoubleClicks;
    }
    auto* tree = reinterpret_cast<const NMTREEVIEWA*>(lParam);
    gHeard.push_back({header->code, tree->action, tree->itemNew.lParam, tree->itemOld.lParam});
    if (header->code == gDestroyOn) DestroyWindow(header->hwndFrom);
    return (header->code == TVN_SELCHANGINGA || header->code == TVN_SELCHANGINGW) && gRefuseChange;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// 16 by 16 pictures: a frame in one colour around a fill in another, different for each index.
HBITMAP Picture(COLORREF frame, COLORREF fill) {
  HBITMAP bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 16, 16}, inner{3, 3, 13, 13};
  HBRUSH a = CreateSolidBrush(frame), b = CreateSolidBrush(fill);
  FillRect(dc, &all, a);
  FillRect(dc, &inner, b);
  DeleteObject(a);
  DeleteObject(b);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

class TreeViews : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    InitCommonControls();
    gHeard.clear();
    gRefuseChange = false;
    gTakeDoubleClicks = false;
    gNotifyFormat = 0;
    gDestroyOn = 0;
    WNDCLASSA wc;
    wc.lpfnWndProc = HostProc;
    wc.lpszClassName = "TreeHost";
    RegisterClassA(&wc);
    host_ = CreateWindowExA(0, "TreeHost", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 160, nullptr, nullptr,
                            nullptr, nullptr);
    // The catalogue browser's style: lines, one open branch, the selection shown without the focus.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_NOHSCROLL | TVS_SINGLEEXPAND | TVS_SHOWSELALWAYS |
                  TVS_HASLINES;
    tree_ = CreateWindowExA(0, kTreeViewClass, nullptr, style, 0, 0, 200, 160, host_,
                            reinterpret_cast<HMENU>(1), nullptr, nullptr);
    ASSERT_NE(tree_, nullptr);
    images_ = ImageList_Create(16, 16, ILC_COLOR, 5, 0);
    const COLORREF colours[5][2] = {{RGB(160, 120, 0), RGB(255, 220, 120)},
                                    {RGB(160, 120, 0), RGB(255, 255, 255)},
                                    {RGB(0, 90, 0), RGB(120, 220, 120)},
                                    {RGB(0, 90, 0), RGB(255, 255, 255)},
                                    {RGB(0, 0, 160), RGB(150, 150, 255)}};
    for (const auto& c : colours) {
      HBITMAP picture = Picture(c[0], c[1]);
      ImageList_Add(images_, picture, nullptr);
      DeleteObject(picture);
    }
    SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    SendMessageA(tree_, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images_));
    kitchen_ = Insert(nullptr, u"Kitchen", 2, 3, 1);
    base_ = Insert(kitchen_, u"Base units", 0, 1, 2);
    drawers_ = Insert(base_, u"Drawers", 0, 1, 3);
    doors_ = Insert(base_, u"Doors", 0, 1, 4);
    wall_ = Insert(kitchen_, u"Wall units", 0, 1, 5);
    bath_ = Insert(nullptr, u"Bathroom", 2, 3, 6);
    Insert(bath_, u"Basins", 0, 1, 7);
    HeadlessDriver::RunUntilIdle();
  }
  void TearDown() override {
    HeadlessDriver::Reset();
    ImageList_Destroy(images_);
  }

  HTREEITEM Insert(HTREEITEM parent, const char16_t* text, int32_t image, int32_t selected, LPARAM param) {
    std::u16string copy = text;
    TVINSERTSTRUCTW insert;
    insert.hParent = parent;
    insert.hInsertAfter = parent ? TVI_LAST : TVI_ROOT;  // the root as "after" means last
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = copy.data();
    insert.item.cchTextMax = static_cast<int32_t>(copy.size());
    insert.item.iImage = image;
    insert.item.iSelectedImage = selected;
    insert.item.lParam = param;
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  }

  void ClickOn(HTREEITEM item) {
    RECT r;
    *reinterpret_cast<HTREEITEM*>(&r) = item;
    ASSERT_TRUE(SendMessageA(tree_, TVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r)));
    Desktop::Click({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    HeadlessDriver::RunUntilIdle();
  }

  HTREEITEM Get(WPARAM relation, HTREEITEM from = nullptr) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree_, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(from)));
  }
  bool Expanded(HTREEITEM item) {
    TVITEMA info;
    info.mask = TVIF_STATE | TVIF_HANDLE;
    info.hItem = item;
    SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&info));
    return (info.state & TVIS_EXPANDED) != 0;
  }
  std::vector<LPARAM> SelectionsHeard() {
    std::vector<LPARAM> out;
    for (const Heard& h : gHeard) {
      if (h.code == TVN_SELCHANGEDA) out.push_back(h.newParam);
    }
    return out;
  }

  HWND host_ = nullptr, tree_ = nullptr;
  HIMAGELIST images_ = nullptr;
  HTREEITEM kitchen_, base_, drawers_, doors_, wall_, bath_;
};

TEST_F(TreeViews, ThreeLevelsOpenedAndSelectedByClicksDrawAsKept) {
  SetTextAntialias(false);
  ClickOn(kitchen_);
  ClickOn(base_);
  ClickOn(drawers_);
  EXPECT_EQ(SelectionsHeard(), (std::vector<LPARAM>{1, 2, 3}));
  EXPECT_TRUE(Expanded(kitchen_));
  EXPECT_TRUE(Expanded(base_));
  EXPECT_EQ(Get(TVGN_CARET), drawers_);
  SetFocus(nullptr);  // drawn as the browser shows it while the item pictures have the focus
  HeadlessDriver::RunUntilIdle();
  const std::string kept =
      std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/platform/treeview_three_levels.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/treeview_three_levels-actual.png";
  ASSERT_TRUE(HeadlessDriver::DumpPng(host_, actual));
  SetTextAntialias(true);
  if (std::getenv("PLANNER_WRITE_FIXTURES")) {
    ASSERT_TRUE(HeadlessDriver::DumpPng(host_, kept));
  }
  std::unique_ptr<Surface> expected = ReadPng(kept);
  std::unique_ptr<Surface> drawn = ReadPng(actual);
  ASSERT_TRUE(expected) << "missing " << kept << "; the tree is in " << actual;
  ASSERT_TRUE(drawn);
  PixelDifference diff = ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
}

TEST_F(TreeViews, SingleExpandClosesTheOtherBranchAndTheParentMayRefuse) {
  ClickOn(kitchen_);
  ClickOn(base_);
  gHeard.clear();
  ClickOn(bath_);
  EXPECT_TRUE(Expanded(bath_));
  EXPECT_FALSE(Expanded(base_));
  EXPECT_FALSE(Expanded(kitchen_));
  ASSERT_FALSE(gHeard.empty());
  EXPECT_EQ(gHeard.front().code, TVN_SELCHANGINGA);  // the host is a narrow window
  EXPECT_EQ(gHeard.front().action, TVC_BYMOUSE);
  EXPECT_EQ(gHeard.front().oldParam, 2);
  EXPECT_EQ(SelectionsHeard(), std::vector<LPARAM>{6});

  gRefuseChange = true;
  ClickOn(kitchen_);
  EXPECT_EQ(Get(TVGN_CARET), bath_);
  EXPECT_FALSE(Expanded(kitchen_));
}

TEST_F(TreeViews, ProgramSelectionShowsTheItemAndIsReported) {
  ASSERT_TRUE(SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(doors_)));
  EXPECT_TRUE(Expanded(kitchen_));  // its ancestors open so that it can be seen
  EXPECT_TRUE(Expanded(base_));
  ASSERT_EQ(SelectionsHeard(), std::vector<LPARAM>{4});
  EXPECT_EQ(gHeard.back().action, TVC_UNKNOWN);
  // Collapsing a branch that holds the selection moves it to the collapsed item.
  SendMessageA(tree_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(kitchen_));
  EXPECT_EQ(Get(TVGN_CARET), kitchen_);
  EXPECT_FALSE(SendMessageA(tree_, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(kitchen_)));
  EXPECT_FALSE(SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(doors_)));  // no children
}

TEST_F(TreeViews, ItemsAreReadChangedWalkedAndDeleted) {
  EXPECT_EQ(SendMessageA(tree_, TVM_GETCOUNT, 0, 0), 7);
  EXPECT_EQ(Get(TVGN_ROOT), kitchen_);
  EXPECT_EQ(Get(TVGN_NEXT, kitchen_), bath_);
  EXPECT_EQ(Get(TVGN_CHILD, base_), drawers_);
  EXPECT_EQ(Get(TVGN_PARENT, drawers_), base_);
  EXPECT_EQ(Get(TVGN_PREVIOUS, wall_), base_);
  EXPECT_EQ(Get(TVGN_NEXTVISIBLE, kitchen_), bath_);  // nothing is open yet

  TVITEMA open;  // what the browser sends to show an open group
  open.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  open.hItem = base_;
  open.iImage = open.iSelectedImage = 1;
  EXPECT_TRUE(SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&open)));
  char text[6];
  TVITEMA read;
  read.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
  read.hItem = base_;
  read.pszText = text;
  read.cchTextMax = 6;
  ASSERT_TRUE(SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&read)));
  EXPECT_STREQ(text, "Base ");
  EXPECT_EQ(read.iImage, 1);
  EXPECT_EQ(read.lParam, 2);

  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(drawers_));
  EXPECT_TRUE(SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(base_)));
  EXPECT_EQ(SendMessageA(tree_, TVM_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(Get(TVGN_CARET), nullptr);
  EXPECT_FALSE(SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&read)));  // stale handle
  EXPECT_FALSE(SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(drawers_)));
  EXPECT_FALSE(SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(drawers_)));
  EXPECT_TRUE(SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)));
  EXPECT_EQ(SendMessageA(tree_, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(Get(TVGN_ROOT), nullptr);
}

TEST_F(TreeViews, ArrowKeysWalkTheShownRowsAndOpenAndCloseBranches) {
  SetFocus(tree_);
  auto press = [&](int32_t key) {
    Desktop::Key(key, true, true);
    HeadlessDriver::RunUntilIdle();
  };
  press(VK_DOWN);  // nothing selected: the first row
  EXPECT_EQ(Get(TVGN_CARET), kitchen_);
  EXPECT_TRUE(Expanded(kitchen_));  // single expand opens what the keys select, too
  press(VK_DOWN);
  EXPECT_EQ(Get(TVGN_CARET), base_);
  press(VK_LEFT);  // open: closes
  EXPECT_FALSE(Expanded(base_));
  press(VK_LEFT);  // closed: to the parent
  EXPECT_EQ(Get(TVGN_CARET), kitchen_);
  press(VK_END);
  EXPECT_EQ(Get(TVGN_CARET), bath_);
  press(VK_RIGHT);
  EXPECT_EQ(Get(TVGN_CARET), Get(TVGN_CHILD, bath_));
  press(VK_UP);
  EXPECT_EQ(Get(TVGN_CARET), bath_);
}

TEST_F(TreeViews, DoubleClicksToggleUnlessTheParentTakesThemAndWideParentsGetWideCodes) {
  RECT r;
  *reinterpret_cast<HTREEITEM*>(&r) = bath_;
  SendMessageA(tree_, TVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
  LPARAM at = MAKELPARAM(r.left + 3, r.top + 3);
  SendMessageA(tree_, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_TRUE(Expanded(bath_));
  EXPECT_EQ(gHeard.front().code, NM_DBLCLK);
  // In a single-expand tree the click before a double click has opened the item: the double click
  // leaves it open; a click on the selected item closes it.
  SendMessageA(tree_, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_TRUE(Expanded(bath_));
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(bath_));
  SendMessageA(tree_, WM_LBUTTONDOWN, 0, at);
  EXPECT_FALSE(Expanded(bath_));
  SendMessageA(tree_, WM_LBUTTONDOWN, 0, at);
  EXPECT_TRUE(Expanded(bath_));
  SendMessageA(tree_, WM_LBUTTONDOWN, 0, at);
  gTakeDoubleClicks = true;  // the tree pop-up closes on a double click and takes it
  SendMessageA(tree_, WM_LBUTTONDBLCLK, 0, at);
  EXPECT_FALSE(Expanded(bath_));
  SetFocus(tree_);
  Desktop::Key(VK_RETURN, true);
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(gHeard.back().code, NM_RETURN);

  gNotifyFormat = NFR_UNICODE;
  HWND wide = CreateWindowExA(0, kTreeViewClass, nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, host_,
                              nullptr, nullptr, nullptr);
  TVINSERTSTRUCTA insert;
  insert.hParent = TVI_ROOT;
  insert.item.mask = TVIF_PARAM;
  insert.item.lParam = 9;
  LRESULT item = SendMessageA(wide, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  gHeard.clear();
  SendMessageA(wide, TVM_SELECTITEM, TVGN_CARET, item);
  ASSERT_EQ(gHeard.size(), 2u);
  EXPECT_EQ(gHeard[1].code, TVN_SELCHANGEDW);
  EXPECT_EQ(gHeard[1].newParam, 9);
  EXPECT_EQ(SendMessageA(wide, CCM_SETUNICODEFORMAT, 0, 0), 1);
  SendMessageA(wide, TVM_SELECTITEM, TVGN_CARET, 0);
  EXPECT_EQ(gHeard.back().code, TVN_SELCHANGEDA);
}

TEST_F(TreeViews, RowsThatDoNotFitScrollWithTheSelectionAndTheWheel) {
  for (int32_t i = 0; i < 12; ++i) Insert(nullptr, u"Extra", 2, 3, 100 + i);  // 14 rows, 8 fit in 160 pixels
  std::vector<HTREEITEM> rows;
  for (HTREEITEM item = Get(TVGN_ROOT); item; item = Get(TVGN_NEXT, item)) rows.push_back(item);
  ASSERT_EQ(rows.size(), 14u);
  SendMessageA(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(rows[13]));
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[6]);  // the selection shows on the bottom row
  RECT r;
  *reinterpret_cast<HTREEITEM*>(&r) = rows[13];
  ASSERT_TRUE(SendMessageA(tree_, TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
  EXPECT_EQ(r.bottom, 8 * kTreeItemHeight);
  SendMessageA(tree_, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);  // one notch up: three rows
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[3]);
  SendMessageA(tree_, WM_MOUSEWHEEL, MAKEWPARAM(0, 5 * 120), 0);
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[0]);
  SendMessageA(tree_, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<uint16_t>(-10 * 120)), 0);
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[6]);  // not past the last page
}

// A bar along the right edge while the rows overflow: its thumb dragged to the end shows the last row,
// its arrow moves a row back; rows that fit again hide it. TVS_NOSCROLL makes none.
TEST_F(TreeViews, OverflowingRowsShowABarWhoseThumbReachesTheLastRow) {
  const HWND bar = GetWindow(tree_, GW_CHILD);
  ASSERT_NE(bar, nullptr);
  EXPECT_FALSE(IsWindowVisible(bar));  // two rows in eight
  for (int32_t i = 0; i < 12; ++i) Insert(nullptr, u"Extra", 2, 3, 100 + i);
  HeadlessDriver::RunUntilIdle();
  ASSERT_TRUE(IsWindowVisible(bar));
  RECT place;
  GetWindowRect(bar, &place);
  EXPECT_EQ(place, (RECT{200 - kTreeBarWidth, 0, 200, 160}));
  std::vector<HTREEITEM> rows;
  for (HTREEITEM item = Get(TVGN_ROOT); item; item = Get(TVGN_NEXT, item)) rows.push_back(item);
  ASSERT_EQ(rows.size(), 14u);

  // The thumb (just below the top arrow) dragged to the bottom end.
  const int32_t x = place.left + kTreeBarWidth / 2;
  Desktop::MouseButton(VK_LBUTTON, true, {x, kTreeBarWidth + 4});
  Desktop::MouseMove({x, 100});
  Desktop::MouseMove({x, 159});
  Desktop::MouseButton(VK_LBUTTON, false, {x, 159});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[6]);
  RECT last;
  *reinterpret_cast<HTREEITEM*>(&last) = rows[13];
  ASSERT_TRUE(SendMessageA(tree_, TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&last)));
  EXPECT_EQ(last.bottom, 8 * kTreeItemHeight);
  EXPECT_EQ(last.right, 200 - kTreeBarWidth);  // the row ends at the bar
  ClickOn(rows[13]);
  EXPECT_EQ(Get(TVGN_CARET), rows[13]);
  // The top arrow: one row back.
  Desktop::Click({x, 4});
  HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[5]);

  // Rows that fit again: the bar goes, the rows start at the top.
  for (size_t i = 2; i < rows.size(); ++i)
    SendMessageA(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(rows[i]));
  HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(IsWindowVisible(bar));
  EXPECT_EQ(Get(TVGN_FIRSTVISIBLE), rows[0]);

  HWND plain = CreateWindowExA(0, kTreeViewClass, nullptr, WS_CHILD | WS_VISIBLE | TVS_NOSCROLL, 0, 0, 200,
                               160, host_, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetWindow(plain, GW_CHILD), nullptr);
}

TEST_F(TreeViews, AHostThatDestroysTheTreeWhileToldIsSafe) {
  for (UINT code : {TVN_SELCHANGINGA, TVN_ITEMEXPANDINGA, TVN_ITEMEXPANDEDA, TVN_SELCHANGEDA}) {
    HWND tree = CreateWindowExA(0, kTreeViewClass, nullptr, WS_CHILD | WS_VISIBLE | TVS_SINGLEEXPAND, 0, 0,
                                200, 160, host_, nullptr, nullptr, nullptr);
    TVINSERTSTRUCTA insert;
    insert.hParent = TVI_ROOT;
    LRESULT top = SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    insert.hParent = reinterpret_cast<HTREEITEM>(top);
    SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    gDestroyOn = code;
    SendMessageA(tree, WM_KEYDOWN, VK_DOWN, 0);  // selects and opens the top item
    EXPECT_FALSE(IsWindow(tree)) << static_cast<int32_t>(code);
  }
}

TEST_F(TreeViews, ImageListsTakeWholeImagesOnly) {
  HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR, 5, 0);
  HBITMAP strip = CreateBitmap(40, 16, 1, 32, nullptr);  // two whole images and a part
  EXPECT_EQ(ImageList_Add(list, strip, nullptr), 0);
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  HBITMAP narrow = CreateBitmap(8, 16, 1, 32, nullptr);
  EXPECT_EQ(ImageList_Add(list, narrow, nullptr), -1);
  EXPECT_EQ(ImageList_Add(list, nullptr, nullptr), -1);
  DeleteObject(strip);
  DeleteObject(narrow);
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_Add(list, nullptr, nullptr), -1);
  EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR, 5, 0), nullptr);
}

}  // namespace
}  // namespace plat
