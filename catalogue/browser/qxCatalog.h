// The catalogue browser: a view of the element palette holding five tree views, one per top keyword
// ("ROOM", "ZELVO", "COMPONENTS", "ANNOTATION", "CALCULATION"), of which one is shown at a time.
// Selecting a group makes it the current node; its items then fill the item list that the item
// picture list shows (Items, ReadItemAt). Switchboard messages 1001 to 1005 on channel 1001 show
// tree 0 to 4. An optional path bar (qxCatalogOverview) shows the current node's path.
//
// The browser owns its window ("qxCatalog", which carries the browser in its property "catalog"),
// the tree windows in it, their image list (pictures 3501 to 3505), the nodes and the item list. The
// item picture list and the path bar are not owned. User-interface thread only.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "catalogue/browser/CatalogItemList.h"
#include "catalogue/browser/CatalogTrees.h"
#include "framework/ppCollaborator.h"
#include "framework/ppView.h"
#include "platform/ImageList.h"

class CatalogDatabaseList;
class iItemPictureList;
class iTextSource;
class qxCatalogOverview;
class qxNode;
class qxTopNode;

// Set at start-up when the browser texts come from the catalogues' "qxCatalog" records instead of
// the files of the catalogs folder (bit 0x1000 of the application record's "flags2"). Written by the
// application shell before the browser loads; user-interface thread only.
extern bool CatalogTextsFromRecords;

class qxCatalog : public ppView, public ppCollaborator {
 public:
  static constexpr const char* kWindowClass = "qxCatalog";
  static constexpr const char* kWindowProperty = "catalog";
  static constexpr int32_t kChannel = 1001;
  static constexpr int32_t kFirstTreeMessage = 1001;  // 1001 + i shows tree i
  static constexpr int32_t kFirstTreePicture = 3501;  // pictures 3501 to 3505: images 0 to 4
  static constexpr int32_t kFramePicture = 1101;
  static constexpr int32_t kTreeCount = CatalogTrees::kTreeCount;

  // `frame` in the supervisor's coordinates; `pictureList` may be null.
  qxCatalog(ppView* supervisor, const plat::RECT& frame, iItemPictureList* pictureList);
  ~qxCatalog() override;

  void SupervisorResized(int32_t dx, int32_t dy) override;
  void Show() override;
  void Hide() override;
  // Rebuilds the trees in the current language, and resets and refills the item picture list. The
  // first update after Load, with the language, the text source, the text flag and the open
  // catalogues as Load found them and no selection made since, keeps the trees: they are already
  // what a rebuild would give (start-up updates the texts moments after the palette's load).
  void UpdateTexts() override;
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // Builds the trees from the records or the files (CatalogTextsFromRecords) and selects the first
  // entry of the first tree. Called once after construction.
  void Load();
  // Makes `node` current: its items fill the item list, it and its groups above show open images.
  // Nothing for null, or while the trees are being emptied.
  void SelectCatalogNode(qxNode* node);
  // Shows tree `index` (0 to 4; others are ignored) with the node that was current in it before.
  void SelectTree(int32_t index);
  // Empties and rebuilds all trees; the same tree stays visible, with its first entry selected.
  void Reload();
  // Reads the catalogue item of item list entry `index` into that catalogue's item table and answers
  // its record buffer. An entry whose ID matched no item answers the table's buffer cleared (so it
  // names no top view); an index outside the list answers null.
  char* ReadItemAt(int32_t index);
  // The path bar that shows the current path; null detaches it.
  void SetOverview(qxCatalogOverview* overview) { overview_ = overview; }

  const CatalogItemList& Items() const { return items_; }
  iItemPictureList* PictureList() const { return pictureList_; }
  qxNode* CurrentNode() const { return currentNode_; }
  int32_t CurrentTreeIndex() const { return currentIndex_; }
  qxTopNode& Top(int32_t tree) const { return trees_.Top(tree); }
  qxNode* RememberedNode(int32_t tree) const { return remembered_.at(size_t(tree)); }
  plat::HWND BrowserWindow() const { return browserWindow_; }
  plat::HWND TreeWindow(int32_t tree) const { return treeWindows_.at(size_t(tree)); }
  plat::HIMAGELIST ImageList() const { return imageList_; }

  static plat::LRESULT WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);

 private:
  static void RegisterWindowClass();
  void CreateWindows();
  void CreateImageList();
  void BuildTrees();
  void ShowNodeImages(const qxNode* node, bool open);
  void SelectionChanged(plat::HWND tree, qxNode* node);

  // What the trees' texts were read under; equal sources give equal trees.
  struct TextSources {
    uint32_t language = 0;
    const iTextSource* texts = nullptr;
    bool fromRecords = false;
    const CatalogDatabaseList* catalogues = nullptr;
    int32_t catalogueCount = 0;
    bool operator==(const TextSources&) const = default;
  };
  static TextSources CurrentTextSources();

  CatalogTrees trees_;
  qxTopNode* currentTop_ = nullptr;
  std::array<qxNode*, kTreeCount> remembered_{};
  qxNode* currentNode_ = nullptr;
  iItemPictureList* pictureList_;
  int32_t currentIndex_ = 0;
  plat::HWND browserWindow_ = nullptr;
  std::array<plat::HWND, kTreeCount> treeWindows_{};
  plat::HWND currentTree_ = nullptr;
  plat::HIMAGELIST imageList_ = nullptr;
  CatalogItemList items_;
  qxCatalogOverview* overview_ = nullptr;
  bool reloading_ = false;
  // Set by Load while the trees stay as it left them; cleared by a selection, a tree switch or an
  // update of the texts.
  std::optional<TextSources> freshTrees_;
};
