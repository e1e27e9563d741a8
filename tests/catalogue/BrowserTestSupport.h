// The catalogue browser's test bench: one catalogue (identifier 1) with a few items, the list of
// open catalogues, the catalogs folder under a temporary current folder, an application with the
// browser's pictures and colour, a headless window whose view tree holds the browser, and a
// recording item picture list.
#pragma once

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CatalogueTestSupport.h"
#include "catalogue/browser/iItemPictureList.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxCatalogOverview.h"
#include "catalogue/browser/qxItemNode.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppControlView.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace browsertest {

// Remembers what the browser told the item picture list, one word a call.
class RecordingPictureList : public iItemPictureList {
 public:
  void SetCatalog(qxCatalog* browser) override {
    catalog = browser;
    calls.push_back("SetCatalog");
  }
  void ResetView() override { calls.push_back("ResetView"); }
  void Reload() override { calls.push_back("Reload"); }
  void InvalidateElement(ppView*, bool) override { calls.push_back("InvalidateElement"); }

  qxCatalog* catalog = nullptr;
  std::vector<std::string> calls;
};

// The names of a node's children, in order.
inline std::vector<std::string> ChildNames(const qxNode& node) {
  std::vector<std::string> names;
  for (const qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling())
    names.push_back(child->Name().c_str());
  return names;
}

// The first node named `name` in the subtree of `node` (depth first), or null.
inline qxNode* FindNode(const qxNode& node, const std::string& name) {
  for (qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    if (child->Name() == name) return child;
    if (qxNode* found = FindNode(*child, name)) return found;
  }
  return nullptr;
}

// A colour per picture id, so a drawn picture can be told by its pixels.
inline uint32_t PictureColour(int32_t id) {
  static const std::map<int32_t, uint32_t> colours = {{3500, 0x00C000}, {3501, 0xFF0000}, {3502, 0x00FF00},
                                                      {3503, 0x0000FF}, {3504, 0xFFFF00}, {3505, 0xFF00FF}};
  return colours.at(id);
}
inline constexpr uint32_t kPathColour = 0x803010;  // application colour 1017

class BrowserTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    plat::HeadlessDriver::Reset();
    gApplication = &application_;  // the reset clears what the member's constructor set
    savedFolder_ = std::filesystem::current_path();
    root_ = std::filesystem::path(Path("root"));
    std::filesystem::create_directories(root_ / "settings" / "catalogs");
    std::filesystem::current_path(root_);
    CatalogTextsFromRecords = false;
    MakeCatalogue();
    list_ = std::make_unique<CatalogDatabaseList>();
    ppFileSpec fileRecord = dbtest::SpecFor(Path("catalog.cdb"));
    list_->OpenDatabaseFile(fileRecord);
    ASSERT_NE(list_->FindById(1), nullptr);
    for (int32_t id = 3500; id <= 3505; ++id)
      application_.frames[id] = adorner_tests::SolidPicture(16, 16, PictureColour(id));
    application_.colours[qxCatalogOverview::kColor] = ppRGBColor{0x80, 0x30, 0x10};
    SetTextSource(&texts_);
    RegisterControlViewClass();
    plat::WNDCLASSA wc;
    wc.lpfnWndProc = plat::DefWindowProcA;
    wc.lpszClassName = "BrowserHost";
    plat::RegisterClassA(&wc);
    host_ = plat::CreateWindowExA(0, "BrowserHost", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 300, 400,
                                  nullptr, nullptr, nullptr, nullptr);
    control_ = plat::CreateWindowExA(0, ppControlView::kClassName, "", plat::WS_CHILD | plat::WS_VISIBLE, 0,
                                     0, 300, 400, host_, nullptr, nullptr, nullptr);
  }
  void TearDown() override {
    if (control_ != nullptr && plat::IsWindow(control_)) plat::DestroyWindow(control_);  // deletes the views
    plat::HeadlessDriver::Reset();
    list_.reset();
    CatalogTextsFromRecords = false;
    std::filesystem::current_path(savedFolder_);
    CatalogueTest::TearDown();
  }

  // The catalogue: items B30, B40 and W60.
  void MakeCatalogue() {
    ppFileSpec fileRecord = dbtest::SpecFor(Path("catalog.cdb"));
    fileRecord.word2 = 0x56484B54;
    fileRecord.word4 = CatalogDatabaseList::kCatalogueCode;
    zelvDatabase db(fileRecord);
    cattest::ChangeSettings(db, {{"name", "Test"}, {"identifier", 1}});
    for (const char* id : {"B30", "B40", "W60"}) {
      itemIds_[id] = cattest::AddRecord(db.CatalogItemFile(), {{"ID", id}, {"Name", id}});
    }
  }

  void WriteText(const std::string& name, const std::string& text) {
    std::ofstream(root_ / "settings" / "catalogs" / name, std::ios::binary) << text;
  }

  ppView* Palette() { return GetControlView(control_); }

  // The browser on the palette (and the path bar above it when asked), loaded.
  qxCatalog& MakeBrowser(bool withPathBar = false) {
    browser_ = new qxCatalog(Palette(), plat::RECT{0, 30, 300, 400}, &pictures_);
    if (withPathBar) overview_ = new qxCatalogOverview(Palette(), plat::RECT{0, 0, 300, 30}, browser_);
    browser_->Load();
    plat::HeadlessDriver::RunUntilIdle();
    return *browser_;
  }

  // Item state in the node's tree: {image, selected image}.
  static std::pair<int32_t, int32_t> Images(const qxNode& node) {
    plat::TVITEMA item;
    item.mask = plat::TVIF_HANDLE | plat::TVIF_IMAGE | plat::TVIF_SELECTEDIMAGE;
    item.hItem = node.TreeItem();
    if (!plat::SendMessageA(node.Tree(), plat::TVM_GETITEMA, 0, reinterpret_cast<plat::LPARAM>(&item)))
      return {-1, -1};
    return {item.iImage, item.iSelectedImage};
  }
  // Whether the node's group is open in its tree, and whether its row is shown at all.
  static bool Expanded(const qxNode& node) {
    plat::TVITEMA item;
    item.mask = plat::TVIF_HANDLE | plat::TVIF_STATE;
    item.hItem = node.TreeItem();
    plat::SendMessageA(node.Tree(), plat::TVM_GETITEMA, 0, reinterpret_cast<plat::LPARAM>(&item));
    return (item.state & plat::TVIS_EXPANDED) != 0;
  }
  static bool RowShown(const qxNode& node) {
    plat::RECT row{};
    *reinterpret_cast<plat::HTREEITEM*>(&row) = node.TreeItem();
    return plat::SendMessageA(node.Tree(), plat::TVM_GETITEMRECT, 1, reinterpret_cast<plat::LPARAM>(&row)) !=
           0;
  }
  static plat::HTREEITEM Selected(plat::HWND tree) {
    return reinterpret_cast<plat::HTREEITEM>(
        plat::SendMessageA(tree, plat::TVM_GETNEXTITEM, plat::TVGN_CARET, 0));
  }
  // Clicks the node's row in its tree, opening the groups above it first.
  static void ClickNode(const qxNode& node) {
    for (const qxNode* above = node.Parent(); above != nullptr && above->TreeItem() != nullptr;
         above = above->Parent())
      plat::SendMessageA(node.Tree(), plat::TVM_EXPAND, plat::TVE_EXPAND,
                         reinterpret_cast<plat::LPARAM>(above->TreeItem()));
    ClickRow(node);
  }
  // Clicks the node's row as the tree shows it now (the row must be shown).
  static void ClickRow(const qxNode& node) {
    plat::RECT row{};
    *reinterpret_cast<plat::HTREEITEM*>(&row) = node.TreeItem();
    ASSERT_TRUE(
        plat::SendMessageA(node.Tree(), plat::TVM_GETITEMRECT, 1, reinterpret_cast<plat::LPARAM>(&row)));
    plat::POINT p{(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    plat::ClientToScreen(node.Tree(), &p);
    plat::Desktop::Click(p);
    plat::HeadlessDriver::RunUntilIdle();
  }

  std::filesystem::path root_;
  std::map<std::string, int32_t> itemIds_;
  std::unique_ptr<CatalogDatabaseList> list_;
  adorner_tests::TestApplication application_;
  cattest::ProgramTexts texts_;
  RecordingPictureList pictures_;
  plat::HWND host_ = nullptr;
  plat::HWND control_ = nullptr;
  qxCatalog* browser_ = nullptr;
  qxCatalogOverview* overview_ = nullptr;

 private:
  std::filesystem::path savedFolder_;
};

}  // namespace browsertest
