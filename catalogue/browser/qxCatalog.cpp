#include "catalogue/browser/qxCatalog.h"

#include "catalogue/browser/iItemPictureList.h"
#include "catalogue/browser/qxCatalogOverview.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproCatalogItemFil.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "foundation/UserPreferences.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppPicture.h"
#include "platform/Cursors.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

bool CatalogTextsFromRecords = false;

namespace {
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("catalogue browser text source", [] { CatalogTextsFromRecords = false; });
}  // namespace

namespace {

constexpr uint16_t kSettingsFileList = 132;
constexpr int32_t kCatalogsFolderEntry = 25;  // ".\settings\catalogs\"
constexpr int32_t kImageSize = 16;
// Lines, no buttons: a group opens when it is selected (and the group open before closes), so one
// click on its row opens it; the selection stays shown while the item pictures have the focus.
constexpr plat::DWORD kTreeStyle = plat::WS_CHILD | plat::WS_TABSTOP | plat::TVS_NOHSCROLL |
                                   plat::TVS_SINGLEEXPAND | plat::TVS_SHOWSELALWAYS | plat::TVS_HASLINES;
const plat::HMENU kControlId = reinterpret_cast<plat::HMENU>(1);

// A 16 by 16 device bitmap of `picture`, scaled to fit; the caller deletes it.
plat::HBITMAP ImageOf(const ppPicture& picture) {
  plat::HBITMAP bitmap = plat::CreateBitmap(kImageSize, kImageSize, 1, 32, nullptr);
  plat::HDC memory = plat::CreateCompatibleDC(nullptr);
  plat::HGDIOBJ old = plat::SelectObject(memory, bitmap);
  {
    ppDC dc(memory);
    picture.Draw(dc, plat::RECT{0, 0, kImageSize, kImageSize});
  }
  plat::SelectObject(memory, old);
  plat::DeleteDC(memory);
  return bitmap;
}

}  // namespace

qxCatalog::qxCatalog(ppView* supervisor, const plat::RECT& frame, iItemPictureList* pictureList)
    : ppView(supervisor, kStay, kMove), pictureList_(pictureList) {
  for (int32_t id = kFirstTreeMessage; id < kFirstTreeMessage + kTreeCount; ++id) Subscribe(kChannel, id);
  RegisterWindowClass();
  SetFrame(frame);
  CreateWindows();
  CreateImageList();
  if (pictureList_ != nullptr) pictureList_->SetCatalog(this);
  plat::SetPropA(browserWindow_, kWindowProperty, this);
  new ppFrameAdorner(this, kFramePicture, ppFrameAdorner::kOutside);
  Show();
}

qxCatalog::~qxCatalog() {
  reloading_ = true;  // destroying the trees may announce selection changes; none is followed
  if (overview_ != nullptr) {
    overview_->ForgetBrowser();  // first, so clearing the path asks nothing of the picture list
    overview_->SetPath(nullptr);
  }
  for (plat::HWND tree : treeWindows_) {
    if (tree != nullptr && plat::IsWindow(tree)) plat::DestroyWindow(tree);
  }
  if (browserWindow_ != nullptr && plat::IsWindow(browserWindow_)) plat::DestroyWindow(browserWindow_);
  if (imageList_ != nullptr) plat::ImageList_Destroy(imageList_);
}

void qxCatalog::RegisterWindowClass() {
  plat::WNDCLASSA info;
  if (plat::GetClassInfoA(nullptr, kWindowClass, &info)) return;
  info = plat::WNDCLASSA();
  info.lpfnWndProc = &qxCatalog::WindowProc;
  info.hCursor = plat::LoadCursorA(nullptr, plat::MAKEINTRESOURCEA(plat::IDC_ARROW));
  info.hbrBackground = static_cast<plat::HBRUSH>(plat::GetStockObject(plat::WHITE_BRUSH));
  info.lpszClassName = kWindowClass;
  plat::RegisterClassA(&info);
}

void qxCatalog::CreateWindows() {
  plat::InitCommonControls();
  plat::RECT r;
  GetWindowFrame(&r);
  const int32_t width = r.right - r.left, height = r.bottom - r.top;
  browserWindow_ = plat::CreateWindowExA(0, kWindowClass, nullptr, plat::WS_CHILD | plat::WS_TABSTOP, r.left,
                                         r.top, width, height, GetHWND(), kControlId, nullptr, this);
  for (plat::HWND& tree : treeWindows_) {
    tree = plat::CreateWindowExA(0, plat::kTreeViewClass, nullptr, kTreeStyle, 0, 0, width, height,
                                 browserWindow_, kControlId, nullptr, nullptr);
  }
  currentTree_ = treeWindows_[0];
}

void qxCatalog::CreateImageList() {
  imageList_ = plat::ImageList_Create(kImageSize, kImageSize, plat::ILC_COLOR, kTreeCount, 0);
  for (int32_t id = kFirstTreePicture; id < kFirstTreePicture + kTreeCount; ++id) {
    // A missing picture moves every later one down by one index.
    ppPicture* picture = gApplication != nullptr ? gApplication->GetFramePicture(id) : nullptr;
    if (picture == nullptr || picture->IsEmpty()) continue;
    plat::HBITMAP image = ImageOf(*picture);
    plat::ImageList_Add(imageList_, image, nullptr);
    plat::DeleteObject(image);
  }
  const auto list = reinterpret_cast<plat::LPARAM>(imageList_);
  for (plat::HWND tree : treeWindows_) {
    plat::SendMessageA(tree, plat::TVM_SETIMAGELIST, plat::TVSIL_NORMAL, list);
    plat::SendMessageA(tree, plat::TVM_SETIMAGELIST, plat::TVSIL_STATE, list);
  }
}

plat::LRESULT qxCatalog::WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                    plat::LPARAM lParam) {
  auto* browser = static_cast<qxCatalog*>(plat::GetPropA(window, kWindowProperty));
  if (browser == nullptr || message == plat::WM_CREATE)
    return plat::DefWindowProcA(window, message, wParam, lParam);
  if (message == plat::WM_DESTROY) {
    plat::RemovePropA(window, kWindowProperty);
  } else if (message == plat::WM_NOTIFY) {
    const auto* header = reinterpret_cast<const plat::NMHDR*>(lParam);
    if (header->code == plat::TVN_SELCHANGEDA) {
      const auto* change = reinterpret_cast<const plat::NMTREEVIEWA*>(lParam);
      browser->SelectionChanged(header->hwndFrom, reinterpret_cast<qxNode*>(change->itemNew.lParam));
      plat::SetFocus(browser->GetHWND());
    }
  }
  return plat::DefWindowProcA(window, message, wParam, lParam);
}

void qxCatalog::SelectionChanged(plat::HWND tree, qxNode* node) {
  // Only the visible tree speaks for the user; the others change selection only while the browser
  // itself selects their remembered entries.
  if (tree != currentTree_) return;
  freshTrees_.reset();
  SelectCatalogNode(node);
}

void qxCatalog::ShowNodeImages(const qxNode* node, bool open) {
  for (; node != nullptr && node->TreeItem() != nullptr; node = node->Parent()) {
    plat::TVITEMA item;
    if (open) {
      node->MakeOpenItem(item);
    } else {
      node->MakeClosedItem(item);
    }
    // Sent to the node's own tree: the current node may belong to a tree that was current before.
    plat::SendMessageA(node->Tree(), plat::TVM_SETITEMA, 0, reinterpret_cast<plat::LPARAM>(&item));
  }
}

void qxCatalog::SelectCatalogNode(qxNode* node) {
  if (node == nullptr || reloading_) return;
  ShowNodeImages(currentNode_, false);
  currentNode_ = node;
  items_.Clear();
  for (const qxNode* child = node->FirstChild(); child != nullptr; child = child->NextSibling()) {
    child->AppendToItemList(items_);
  }
  if (pictureList_ != nullptr) pictureList_->Reload();
  if (overview_ != nullptr) overview_->SetPath(node);
  ShowNodeImages(node, true);
}

void qxCatalog::SelectTree(int32_t index) {
  if (index == currentIndex_ || index < 0 || index >= kTreeCount) return;
  freshTrees_.reset();
  plat::ShowWindow(currentTree_, plat::SW_HIDE);
  remembered_[size_t(currentIndex_)] = currentNode_;
  currentNode_ = remembered_[size_t(index)];
  currentTop_ = &trees_.Top(index);
  currentTree_ = treeWindows_[size_t(index)];
  currentIndex_ = index;
  plat::ShowWindow(currentTree_, plat::SW_SHOW);
  const qxNode* selection = currentNode_ != nullptr ? currentNode_ : currentTop_->FirstChild();
  if (selection != nullptr) selection->SelectInTree();
  if (pictureList_ != nullptr) pictureList_->ResetView();
  if (currentNode_ == nullptr) {
    // An empty tree lists nothing: neither the items nor the path of the tree shown before.
    items_.Clear();
    if (overview_ != nullptr) overview_->SetPath(nullptr);
    return;
  }
  SelectCatalogNode(currentNode_);
}

void qxCatalog::ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t) {
  if (channel == kChannel) SelectTree(id - kFirstTreeMessage);
}

void qxCatalog::Load() {
  if (CatalogTextsFromRecords) {
    if (CatalogDatabases != nullptr) trees_.LoadFromRecords(*CatalogDatabases);
  } else {
    Vcon::WString folder;
    GetStringArrayText(folder, kSettingsFileList, kCatalogsFolderEntry);
    trees_.LoadFiles(folder);
  }
  BuildTrees();
  freshTrees_ = CurrentTextSources();
}

qxCatalog::TextSources qxCatalog::CurrentTextSources() {
  return TextSources{CurrentLanguageCode(), CurrentTextSource(), CatalogTextsFromRecords, CatalogDatabases,
                     CatalogDatabases != nullptr ? CatalogDatabases->Count() : 0};
}

void qxCatalog::BuildTrees() {
  for (int32_t i = 0; i < kTreeCount; ++i) {
    qxTopNode& top = trees_.Top(i);
    top.InsertIntoTree(treeWindows_[size_t(i)]);
    remembered_[size_t(i)] = top.FirstChild();
    if (remembered_[size_t(i)] != nullptr) remembered_[size_t(i)]->SelectInTree();
  }
  currentNode_ = remembered_[0];
  if (pictureList_ != nullptr) pictureList_->ResetView();
  SelectCatalogNode(currentNode_);
}

void qxCatalog::Reload() {
  reloading_ = true;
  for (plat::HWND tree : treeWindows_) {
    plat::SendMessageA(tree, plat::TVM_DELETEITEM, 0, reinterpret_cast<plat::LPARAM>(plat::TVI_ROOT));
  }
  // Nothing may keep pointing at the nodes about to go: the path bar's cells, the remembered nodes
  // and the item list (whose group is gone) are cleared with them.
  if (overview_ != nullptr) overview_->SetPath(nullptr);
  remembered_.fill(nullptr);
  items_.Clear();
  trees_.Clear();
  currentNode_ = nullptr;
  currentTop_ = nullptr;
  reloading_ = false;
  Load();
  Invalidate();
  const int32_t visible = currentIndex_;
  currentIndex_ = 0;
  SelectTree(visible);
  Invalidate();
}

void qxCatalog::UpdateTexts() {
  const bool fresh = freshTrees_ == CurrentTextSources();
  freshTrees_.reset();
  if (fresh) {
    // The trees show the first tree's first entry, as a rebuild would: only the list is redone.
    if (pictureList_ != nullptr) pictureList_->ResetView();
    SelectCatalogNode(currentNode_);
    Invalidate();
  } else {
    Reload();
    freshTrees_.reset();  // a later update rebuilds again, as the user may expect after a change
  }
  ppView::UpdateTexts();
}

char* qxCatalog::ReadItemAt(int32_t index) {
  const CatalogItemEntry entry = items_.At(index);
  if (entry.database == nullptr) return nullptr;
  zelvproCatalogItemFil& file = entry.database->CatalogItemFile();
  // Record id 0 would read "the current record", whatever item was read last.
  if (entry.recordId == 0) {
    file.ClearRecordBuffer(nullptr);
  } else {
    file.ReadRecord(entry.recordId, nullptr);
  }
  return file.GetRecordBuffer();
}

void qxCatalog::SupervisorResized(int32_t dx, int32_t dy) {
  plat::ShowWindow(browserWindow_, plat::SW_HIDE);
  ppView::SupervisorResized(dx, dy);
  plat::RECT r;
  GetWindowFrame(&r);
  plat::MoveWindow(browserWindow_, r.left + 1, r.top + 1, r.right - r.left - 2, r.bottom - r.top - 2, 0);
  // A hidden browser stays hidden.
  if (IsShown()) plat::ShowWindow(browserWindow_, plat::SW_SHOW);
}

void qxCatalog::Show() {
  plat::ShowWindow(browserWindow_, plat::SW_SHOW);
  plat::ShowWindow(currentTree_, plat::SW_SHOWNORMAL);
  ppView::Show();
}

void qxCatalog::Hide() {
  plat::ShowWindow(browserWindow_, plat::SW_HIDE);
  ppView::Hide();
}
