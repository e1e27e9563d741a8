#include "controls/ppTreeView.h"

#include "controls/ppTreeViewNode.h"
#include "foundation/ProcessServices.h"
#include "framework/ppApplication.h"
#include "framework/ppDC.h"
#include "framework/ppDataUnit.h"
#include "framework/ppPicture.h"
#include "framework/ppSelectorQuery.h"
#include "platform/Cursors.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

constexpr int32_t kImageSize = 16;  // pixels

HINSTANCE Instance() { return static_cast<HINSTANCE>(const_cast<void*>(gInstance)); }

// The view whose container is being made: its WM_CREATE binds to it.
// Owned by the user-interface thread.
ppTreeView* gUnderConstruction = nullptr;
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("controls: tree view under construction", [] { gUnderConstruction = nullptr; });

HBITMAP ImageOf(const ppPicture& picture) {
  HBITMAP bitmap = CreateBitmap(kImageSize, kImageSize, 1, 32, nullptr);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, bitmap);
  {
    ppDC dc(memory);
    picture.Draw(dc, RECT{0, 0, kImageSize, kImageSize});
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

}  // namespace

ppTreeView::ppTreeView(ppView* supervisor, const RECT& frame, ppDataUnit* unit)
    : ppView(supervisor), unit_(unit) {
  WNDCLASSA info;
  if (!GetClassInfoA(Instance(), kClassName, &info)) {
    info = WNDCLASSA();
    info.lpfnWndProc = &ppTreeView::ContainerProc;
    info.hInstance = Instance();
    info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
    info.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    info.lpszClassName = kClassName;
    RegisterClassA(&info);
  }
  InitCommonControls();
  SetFrame(frame);
  RECT window{};
  GetWindowFrame(&window);
  const int32_t width = window.right - window.left, height = window.bottom - window.top;
  gUnderConstruction = this;
  container_ = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_TABSTOP, 0, 0, width, height, GetHWND(),
                               reinterpret_cast<HMENU>(1), Instance(), this);
  gUnderConstruction = nullptr;
  control_ = CreateWindowExA(0, kTreeViewClass, "", kTreeStyle, 0, 0, width, height, container_,
                             reinterpret_cast<HMENU>(1), Instance(), this);
  if (control_ != nullptr) {
    SetPropA(control_, kProperty, this);
    // The control reports plain keys only; Alt+arrow reaches it as a system key, heard here.
    controlProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ppTreeView::ControlProc)));
  }
  images_ = MakeImageList(kFirstImage, kImageCount);
  if (images_ != nullptr) {
    SendMessageA(control_, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images_));
    SendMessageA(control_, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images_));
  }
  auto* query = dynamic_cast<ppSelectorQuery*>(unit_);
  SetRoot(query != nullptr ? query->GetTreeRoot() : nullptr);
  ppParameter value;
  if (unit_ != nullptr) unit_->GetValue(value);
  ppTreeViewNode* node =
      value.Type() == ppParameter::kNone ? root_ : ppTreeViewNode::FromIdentity(value.ToLong());
  // The control reports this selection at once; during construction the plain NodeSelected runs, so
  // the current value is written back once.
  if (node != nullptr && node->Item() != nullptr)
    SendMessageA(control_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node->Item()));
}

ppTreeView::~ppTreeView() {
  if (container_ != nullptr && IsWindow(container_)) DestroyWindow(container_);
  container_ = control_ = nullptr;
  if (images_ != nullptr) ImageList_Destroy(images_);
  images_ = nullptr;
}

HIMAGELIST ppTreeView::MakeImageList(int32_t first, int32_t count) {
  HIMAGELIST list = ImageList_Create(kImageSize, kImageSize, ILC_COLOR, count, 0);
  if (list == nullptr) return nullptr;
  for (int32_t id = first; id < first + count; ++id) {
    // A missing picture moves every later one down by one index.
    ppPicture* picture = gApplication != nullptr ? gApplication->GetFramePicture(id) : nullptr;
    if (picture == nullptr || picture->IsEmpty()) continue;
    HBITMAP image = ImageOf(*picture);
    ImageList_Add(list, image, nullptr);
    DeleteObject(image);
  }
  return list;
}

void ppTreeView::NodeSelected(ppTreeViewNode* node) {
  current_ = node;
  if (unit_ != nullptr && node != nullptr) unit_->SetValue(ppParameter(node->Identity()), false);
}

void ppTreeView::SetRoot(ppTreeViewNode* root) {
  if (root == nullptr) return;
  root_ = current_ = root;
  for (const auto& child : root->Children()) Insert(child.get(), nullptr);
}

void ppTreeView::Insert(ppTreeViewNode* node, HTREEITEM parent) {
  TVINSERTSTRUCTW& record = node->InsertRecord();
  record = TVINSERTSTRUCTW();
  record.hParent = parent != nullptr ? parent : TVI_ROOT;
  record.hInsertAfter = TVI_LAST;
  record.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  record.item.pszText = const_cast<char16_t*>(node->Name().c_str());
  record.item.cchTextMax = static_cast<int32_t>(node->Name().size());
  const bool top = parent == nullptr;
  record.item.iImage = top ? kTopImage : kDeepImage;
  record.item.iSelectedImage = top ? kTopSelectedImage : kDeepSelectedImage;
  record.item.lParam = reinterpret_cast<LPARAM>(node);
  node->SetItem(reinterpret_cast<HTREEITEM>(
      SendMessageW(control_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&record))));
  for (const auto& child : node->Children()) Insert(child.get(), node->Item());
}

void ppTreeView::Show() {
  ShowWindow(container_, SW_SHOW);
  ShowWindow(control_, SW_SHOW);
  SetFocus(control_);
  ppView::Show();
}

void ppTreeView::Hide() {
  if (GetCapture() == control_ || GetCapture() == container_) ReleaseCapture();
  ShowWindow(container_, SW_HIDE);
  ppView::Hide();
}

void ppTreeView::DrawContent(ppDC& dc) {
  // Only seen where the control does not cover the view.
  RECT frame{};
  GetWindowFrame(&frame);
  dc.SetColor(ppRGBColor{100, 0, 0});
  dc.FillRect(frame);
  dc.SetNormalPen();
}

LRESULT ppTreeView::Notify(const NMHDR* header) {
  switch (header->code) {
    case TVN_SELCHANGEDW:
    case TVN_SELCHANGEDA: {
      const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
      if (auto* node = reinterpret_cast<ppTreeViewNode*>(change->itemNew.lParam)) NodeSelected(node);
      return 0;
    }
    case TVN_KEYDOWN: {
      const auto* key = reinterpret_cast<const NMTVKEYDOWN*>(header);
      const bool alt = GetKeyState(VK_MENU) < 0;
      const int32_t k = key->wVKey;
      const bool closes =
          ((k == VK_DOWN || k == VK_UP) && alt) || k == VK_RETURN || k == VK_TAB || k == VK_ESCAPE;
      if (closes && GetSupervisor() != nullptr) GetSupervisor()->Hide();
      // Answered for every key: the control's incremental search never sees one.
      return 1;
    }
    case NM_DBLCLK:
      if (GetSupervisor() != nullptr) GetSupervisor()->Hide();
      return 1;
    default:
      return -1;
  }
}

LRESULT ppTreeView::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = static_cast<ppTreeView*>(GetPropA(window, kProperty));
  if (view == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_SYSKEYDOWN &&
      (wParam == static_cast<WPARAM>(VK_DOWN) || wParam == static_cast<WPARAM>(VK_UP))) {
    if (view->GetSupervisor() != nullptr) view->GetSupervisor()->Hide();
    return 0;
  }
  // Every other message, to the last one, goes on to the control, which frees its items there.
  const WNDPROC next = view->controlProc_;
  return next != nullptr ? CallWindowProcA(next, window, message, wParam, lParam)
                         : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ppTreeView::ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    if (gUnderConstruction != nullptr) SetPropA(window, kProperty, gUnderConstruction);
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* view = static_cast<ppTreeView*>(GetPropA(window, kProperty));
  if (view == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_DESTROY) {
    RemovePropA(window, kProperty);
  } else if (message == WM_NOTIFY) {
    const LRESULT answer = view->Notify(reinterpret_cast<const NMHDR*>(lParam));
    if (answer >= 0) return answer;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
