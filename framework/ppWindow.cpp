#include "framework/ppWindow.h"

#include <algorithm>
#include <cstring>

#include "framework/iScrollHandler.h"
#include "framework/ppAlerter.h"
#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "framework/ppRegion.h"
#include "framework/ppSweeper.h"
#include "platform/MdiWindows.h"
#include "platform/Menu.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

// User-interface thread, like everything of the windows.
ppWindow* gUnderConstruction = nullptr;
ppWindow* gApplicationWindow = nullptr;
bool gFrameLocked = true;

// The printer settings every window's page set-up shares (orientation and paper), made by the first
// page set-up, or by the first print, which brings the kept paper.
plat::DEVMODEA* gSharedDevMode = nullptr;
void* gSharedDevNames = nullptr;

// The windows are gone by the time the list runs, so the shared settings have no user left.
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("windows: application window, shared printer settings", [] {
      gUnderConstruction = gApplicationWindow = nullptr;
      gFrameLocked = true;
      plat::FreeDevMode(gSharedDevMode);
      gSharedDevMode = nullptr;
      gSharedDevNames = nullptr;
    });

// Page set-up margins in hundredths of a millimetre: 25 mm at the sides, 30 mm at top and bottom.
constexpr int32_t kSideMargin = 2500;
constexpr int32_t kEndMargin = 3000;

constexpr int32_t kDeleteCommand = 36;
constexpr int32_t kHideCommand = 13;
constexpr int32_t kQuitCommand = 20;

// Repeats, once the mouse task has let go, the invalidations cued while it ran. It keeps the window
// handle, not the object, so a window that is gone meanwhile is simply skipped.
class CuedInvalidatesSweeper : public ppSweeper {
 public:
  explicit CuedInvalidatesSweeper(HWND window) : ppSweeper(window), window_(window) {}
  void Sweep() override {
    auto* object = static_cast<ppWindow*>(GetPropA(window_, ppWindow::kObjectProperty));
    if (object) object->ApplyCuedInvalidations();
  }

 private:
  HWND window_;
};

POINT SignedPoint(LPARAM lParam) { return {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

bool IsLockedSystemCommand(WPARAM command) {
  return command == SC_SIZE || command == SC_MOVE || command == SC_MINIMIZE || command == SC_MAXIMIZE ||
         command == SC_RESTORE;
}

}  // namespace

// ---- Construction.

ppWindow::ppWindow() { InitFields(); }

ppWindow::ppWindow(HWND window) {
  InitFields();
  window_ = window;
  pageSetup_.hwndOwner = window;
  if (window_) RegisterDragDrop(window_, this);
}

ppWindow::ppWindow(DWORD style, const RECT* rect, uint8_t) {
  InitFields();
  bounds_ = *rect;
  SetObjectUnderConstruction(this);
  HWND client = gApplicationWindow ? gApplicationWindow->GetHWND() : nullptr;
  HWND created =
      CreateMDIWindowA("ppWin", nullptr, style | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, rect->left, rect->top,
                       rect->right, rect->bottom, client, nullptr, reinterpret_cast<LPARAM>(this));
  gUnderConstruction = nullptr;
  window_ = created;
  RECT clientRect{};
  GetClientRect(window_, &clientRect);
  SetFrame(clientRect);
  shownFlag_ = false;
  pageSetup_.hwndOwner = window_;
  if (window_) RegisterDragDrop(window_, this);
}

void ppWindow::InitFields() {
  window_ = nullptr;
  mouseTask_ = nullptr;
  pageSetup_ = PAGESETUPDLGA{};
  pageSetup_.hwndOwner = window_;
  pageSetup_.Flags = PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS;
  pageSetup_.rtMargin = {kSideMargin, kEndMargin, kSideMargin, kEndMargin};
}

bool ppWindow::PageSetup() {
  pageSetup_.hwndOwner = window_;
  if (gSharedDevMode) pageSetup_.hDevMode = gSharedDevMode;
  if (gSharedDevNames) pageSetup_.hDevNames = gSharedDevNames;
  bool chosen = PageSetupDlgA(&pageSetup_) != 0;
  gSharedDevMode = pageSetup_.hDevMode;
  gSharedDevNames = pageSetup_.hDevNames;
  return chosen;
}

bool ppWindow::HasSharedPaper() { return gSharedDevMode != nullptr; }

int16_t ppWindow::SharedPaper() { return gSharedDevMode ? gSharedDevMode->dmPaperSize : plat::DMPAPER_A4; }

void ppWindow::AdoptKeptPaper(int16_t paper) {
  if (gSharedDevMode) return;
  gSharedDevMode = plat::AllocDevMode();
  gSharedDevMode->dmPaperSize = plat::PaperSizes::Of(paper).code;
}

ppWindow::~ppWindow() {
  // Alerters may outlive the window (the placement warning's do): they must not reach it later.
  for (ppAlerter* alerter : alerters_) alerter->Forget();
  alerters_.clear();
  if (memoryBitmap_) DeleteObject(memoryBitmap_);
  if (memoryDC_) DeleteDC(memoryDC_);
  if (ppView::TrackedView() == this) ppView::SetTrackedView(nullptr, {});
  if (gApplicationWindow == this) gApplicationWindow = nullptr;
  if (window_) RevokeDragDrop(window_);
  if (window_ && IsWindow(window_)) {
    // A window that outlives its object must not reach it any more.
    if (GetPropA(window_, kObjectProperty) == this) RemovePropA(window_, kObjectProperty);
    if (ownsWindow_) {
      Hide();
      DestroyWindow(window_);
    }
  }
  window_ = nullptr;
}

// ---- Binding and the window procedures.

void ppWindow::SetObjectUnderConstruction(ppWindow* window) { gUnderConstruction = window; }
void ppWindow::SetApplicationWindow(ppWindow* application) { gApplicationWindow = application; }
ppWindow* ppWindow::ApplicationWindow() { return gApplicationWindow; }
void ppWindow::SetFrameLocked(bool locked) { gFrameLocked = locked; }
bool ppWindow::FrameLocked() { return gFrameLocked; }

void ppWindow::Bind(HWND window) {
  window_ = window;
  SetPropA(window, kObjectProperty, this);
}

ppWindow* ppWindow::ObjectOf(HWND window) {
  return static_cast<ppWindow*>(GetPropA(window, kObjectProperty));
}

ppWindow* ppWindow::BindOnCreate(HWND window, UINT message) {
  if (message == WM_CREATE && gUnderConstruction) {
    ppWindow* object = gUnderConstruction;
    gUnderConstruction = nullptr;
    object->Bind(window);
  }
  ppWindow* object = ObjectOf(window);
  if (message == WM_DESTROY && object) RemovePropA(window, kObjectProperty);
  return object;
}

LRESULT ppWindow::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ppWindow* object = BindOnCreate(window, message);
  if (gFrameLocked) {
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) SetForegroundWindow(window);
    if (message == WM_SYSCOMMAND) {
      WPARAM command = wParam & 0xFFF0;
      if (IsLockedSystemCommand(command)) return 1;
      if (command == SC_CLOSE) {
        if (object) object->DoCommand(kQuitCommand, 0);
        return 1;
      }
    }
  }
  if (!object) return DefFrameProcA(window, nullptr, message, wParam, lParam);
  // The object's window is the client once the application made it; before that it is the frame.
  HWND client = object->GetHWND() == window ? nullptr : object->GetHWND();
  if (object->HandleMessage(message, wParam, lParam) == 0) {
    return IsWindow(window) ? DefFrameProcA(window, client, message, wParam, lParam) : 0;
  }
  if (message == WM_CLOSE) return 0;
  return DefFrameProcA(window, nullptr, message, wParam, lParam);
}

LRESULT ppWindow::DocumentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ppWindow* object = BindOnCreate(window, message);
  if (!object) return DefMDIChildProcA(window, message, wParam, lParam);
  if (message == WM_SETFOCUS) return 1;
  if (message == WM_INITMENU) {
    // Document windows cannot be sized, moved, minimised, maximised or closed by the user.
    HMENU system = GetSystemMenu(window, 0);
    for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE, SC_MOVE, SC_CLOSE}) {
      EnableMenuItem(system, command, MF_BYCOMMAND | MF_GRAYED);
    }
  }
  if (message == WM_SYSCOMMAND) {
    WPARAM command = wParam & 0xFFF0;
    if (IsLockedSystemCommand(command) || command == SC_CLOSE) return 1;
  }
  if (object->HandleMessage(message, wParam, lParam) != 0) return 0;
  return DefMDIChildProcA(window, message, wParam, lParam);
}

LRESULT ppWindow::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ppWindow* object = BindOnCreate(window, message);
  if (!object || object->HandleMessage(message, wParam, lParam) == 0) {
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return 0;
}

// ---- Messages.

int32_t ppWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      RECT client{};
      GetClientRect(window_, &client);
      SetFrame(client);
      return 1;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        SizeChanged(LOWORD(lParam), HIWORD(lParam));
        Invalidate();
      }
      return 0;
    case WM_PAINT:
      Paint();
      return 1;
    case WM_CONTEXTMENU:
      HandleContextMenu(lParam);
      return 0;
    case WM_KEYDOWN:
      HandleKeyDown(wParam, lParam);
      return 0;
    case WM_KEYUP:
      NotifyAlerters(message);
      return 0;
    case WM_COMMAND:
      DoCommand(LOWORD(wParam), lParam);
      return 0;
    case WM_HSCROLL:
    case WM_VSCROLL: {
      auto* handler =
          static_cast<iScrollHandler*>(GetPropA(reinterpret_cast<HWND>(lParam), iScrollHandler::kProperty));
      if (handler) handler->HandleScroll(LOWORD(wParam), HIWORD(wParam));
      return 0;
    }
    case WM_INITMENUPOPUP:
      UpdateMenus();
      return 0;
    case WM_CANCELMODE:
      CancelMouseTask();
      return 0;
    case WM_MOUSEMOVE: {
      POINT p = SignedPoint(lParam);
      if (ppMouseTask* task = MouseTask()) {
        task->PreTrack(&p);
        task->Move(&p);
      } else {
        MouseMove(p.x, p.y);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      HandleButton(message, lParam, wParam);
      return 0;
    case WM_LBUTTONDBLCLK:
      // Views tell double clicks themselves from two presses (IsDoubleClick): a window class that asks
      // for double clicks still gets its second press as a press.
      HandleButton(WM_LBUTTONDOWN, lParam, wParam);
      return 0;
    case WM_SIZING:
      HandleSizing(wParam, reinterpret_cast<RECT*>(lParam));
      return 0;
    case ppSweeper::kMessage:
      ppSweeper::RunAndDelete(lParam);
      return 0;
    default:
      return 0;
  }
}

void ppWindow::HandleContextMenu(LPARAM lParam) {
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  POINT p = SignedPoint(lParam);
  p.x -= origin.x;
  p.y -= origin.y;
  if (ppMouseTask* task = MouseTask()) {
    task->ContextMenu(&p);
  } else if (ppView* view = FindViewAt(p.x, p.y)) {
    view->ContextMenu(p.x, p.y);
  }
}

void ppWindow::HandleKeyDown(WPARAM wParam, LPARAM lParam) {
  NotifyAlerters(WM_KEYDOWN);
  if (wParam == static_cast<WPARAM>(VK_DELETE) && (lParam & KF_EXTENDED_BIT)) {
    DoCommand(kDeleteCommand, 0);
  } else {
    KeyDown(static_cast<signed char>(wParam & 0xFF), 0);
  }
}

// Button coordinates are sign-extended like those of moves, so a captured release left of or above
// the window arrives negative.
void ppWindow::HandleButton(UINT message, LPARAM lParam, WPARAM wParam) {
  NotifyAlerters(message);
  POINT p = SignedPoint(lParam);
  if (!mouseTask_) {
    if (message == WM_LBUTTONDOWN) {
      pressX = p.x;
      pressY = p.y;
      pressFlags = static_cast<uint32_t>(wParam);
      LeftButtonDown();
    }
    return;
  }
  ppMouseTask* task = mouseTask_;
  mouseTask_ = message == WM_LBUTTONDOWN ? task->MouseDown(&p) : task->MouseUp(&p);
  if (mouseTask_) return;
  // A press that ended the task cancelled it: its feedback is drawn over.
  if (message == WM_LBUTTONDOWN && window_) InvalidateRect(window_, nullptr, 0);
  TaskLetGo();
}

// The mouse task under way ends without its release: nothing is done, so nothing is committed, and
// the whole window is drawn again over its feedback.
void ppWindow::CancelMouseTask() {
  ppMouseTask* task = mouseTask_;
  if (!task) return;
  mouseTask_ = nullptr;
  task->Finish();
  if (window_) InvalidateRect(window_, nullptr, 0);
  TaskLetGo();
}

void ppWindow::TaskLetGo() {
  ReleaseCapture();
  new CuedInvalidatesSweeper(window_);
}

void ppWindow::NotifyAlerters(UINT message) {
  // A copy: an alerter may remove itself while it is told.
  std::vector<ppAlerter*> alerters = alerters_;
  for (ppAlerter* a : alerters) {
    if (std::find(alerters_.begin(), alerters_.end(), a) == alerters_.end()) continue;
    switch (message) {
      case WM_KEYDOWN:
        a->KeyDown();
        break;
      case WM_KEYUP:
        a->KeyUp();
        break;
      case WM_LBUTTONDOWN:
        a->MouseDown();
        break;
      case WM_LBUTTONUP:
        a->MouseUp();
        break;
      default:
        break;
    }
  }
}

// Keeps the dragged rectangle at least the minimum size by moving the edge being dragged; a window
// already at or above the minimum is left as the user dragged it.
void ppWindow::HandleSizing(WPARAM edge, RECT* rect) {
  if (!rect) return;
  bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  if (rect->bottom - rect->top < kMinimumHeight) {
    if (bottom) rect->bottom = rect->top + kMinimumHeight;
    if (top) rect->top = rect->bottom - kMinimumHeight;
  }
  if (rect->right - rect->left < kMinimumWidth) {
    if (left) rect->left = rect->right - kMinimumWidth;
    if (right) rect->right = rect->left + kMinimumWidth;
  }
}

// ---- View operations.

void ppWindow::TrackHover() {
  POINT p{};
  GetMousePosition(&p);
  ppView* under = DeepestViewAt(p.x, p.y);
  if (ppView* tracked = ppView::TrackedView(); tracked && tracked != under) tracked->TrackLeave();
  if (ppView* tracked = ppView::TrackedView()) {
    const RECT& r = ppView::TrackedRect();
    if (p.x < r.left || p.x >= r.right || p.y < r.top || p.y >= r.bottom) tracked->TrackLeave();
  }
  if (under) under->TrackEnter(p.x, p.y);
}

void ppWindow::Paint() {
  auto update = std::make_unique<ppRegion>();
  GetUpdateRgn(window_, update->Handle(), 1);
  ppView::EndHover();
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window_, &paint);
  if (!dc) return;
  {
    ppDC context(dc, window_, update->Handle());
    SelectClipRgn(dc, nullptr);
    Draw(context);
  }
  EndPaint(window_, &paint);
}

void ppWindow::Activate() {
  active_ = true;
  ppView::Activate();
  if (gApplicationWindow && gApplicationWindow != this) gApplicationWindow->SetTarget(this);
}

void ppWindow::Deactivate() {
  active_ = false;
  ppView::Deactivate();
  if (gApplicationWindow && gApplicationWindow->GetTarget() == this) gApplicationWindow->SetTarget(nullptr);
}

void ppWindow::DoCommand(int32_t command, intptr_t parameter) {
  if (command == kHideCommand) {
    if (shownFlag_) Hide();
    return;
  }
  ppEventHandler::DoCommand(command, parameter);
}

void ppWindow::MouseMove(int32_t x, int32_t y) { ppView::MouseMove(x, y); }

void ppWindow::InvalidateRegion(ppRegion* region) {
  if (!region) return;
  if (mouseTask_) cued_.push_back(std::make_unique<ppRegion>(*region));
  InvalidateRgn(window_, region->Handle(), 1);
}

void ppWindow::ApplyCuedInvalidations() {
  std::vector<std::unique_ptr<ppRegion>> cued = std::move(cued_);
  cued_.clear();
  for (auto& region : cued) InvalidateRgn(window_, region->Handle(), 1);
}

void ppWindow::Show() {
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
  RECT client{};
  GetClientRect(window_, &client);
  SetFrame(client);
  shownFlag_ = true;
  ppView::Show();
}

void ppWindow::Hide() {
  ShowWindow(window_, SW_HIDE);
  ppView::Hide();
}

void ppWindow::GetMousePosition(POINT* point) {
  GetCursorPos(point);
  ScreenToClient(window_, point);
}

void ppWindow::SizeChanged(int32_t width, int32_t height) {
  if (width == 0 && height == 0) return;
  RECT old = GetFrame();
  int32_t oldWidth = old.right - old.left, oldHeight = old.bottom - old.top;
  if (width > oldWidth || height > oldHeight) {
    // What the window shows now beyond the old frame must be painted.
    RECT whole{};
    GetWindowRect(window_, &whole);
    ppRegion grown(RECT{0, 0, whole.right - whole.left, whole.bottom - whole.top});
    grown.SubtractRect(old);
    InvalidateRegion(&grown);
  }
  int32_t dx = width - oldWidth, dy = height - oldHeight;
  if (dx == 0 && dy == 0) return;
  for (int32_t i = 0; i < Subviews().Count(); ++i) Subviews().At(i)->SupervisorResized(dx, dy);
  SetFrame({old.left, old.top, old.left + width, old.top + height});
  bounds_.right = bounds_.left + width;
  bounds_.bottom = bounds_.top + height;
  FrameChanged();
}

void ppWindow::LeftButtonDown() {
  ppView::EndHover();
  for (int32_t i = Subviews().Count() - 1; i >= 0; --i) {
    if (i < Subviews().Count() && Subviews().At(i)->MouseDown(pressX, pressY)) return;
  }
  IsDoubleClick(pressX, pressY);
}

void ppWindow::SetTitle(const std::u16string& title) { SetWindowTextW(window_, title.c_str()); }

void ppWindow::CopyOffscreenTo(HDC dc) {
  if (memoryDC_) BitBlt(dc, 0, 0, memoryWidth_, memoryHeight_, memoryDC_, 0, 0, SRCCOPY);
}

void ppWindow::CaptureMouse(ppMouseTask* task) {
  mouseTask_ = task;
  if (task) {
    previousCapture_ = SetCapture(window_);
  } else {
    ReleaseCapture();
  }
}

void ppWindow::AddAlerter(ppAlerter* alerter) { alerters_.push_back(alerter); }

void ppWindow::RemoveAlerter(ppAlerter* alerter) {
  auto it = std::find(alerters_.begin(), alerters_.end(), alerter);
  if (it != alerters_.end()) alerters_.erase(it);
}

// ---- Text drops.

HRESULT ppWindow::QueryInterface(const IID& iid, void** object) {
  if (!object) return E_INVALIDARG;
  if (iid == IID_IUnknown || iid == IID_IDropTarget) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

// Screen to window coordinates through the window and client sizes: half the width difference is the
// border, the rest of the height difference above the client is the caption.
POINT ppWindow::DropPointToLocal(POINTL point) const {
  RECT outer{}, client{};
  GetWindowRect(window_, &outer);
  GetClientRect(window_, &client);
  int32_t border = ((outer.right - outer.left) - (client.right - client.left)) / 2;
  int32_t caption = ((outer.bottom - outer.top) - (client.bottom - client.top)) - border;
  return {point.x - (outer.left + border), point.y - (outer.top + caption)};
}

std::unique_ptr<ppWindow::DragText> ppWindow::ReadDragText(IDataObject* data) {
  auto drag = std::make_unique<DragText>();
  if (!data) return drag;
  FORMATETC format;
  format.cfFormat = CF_TEXT;
  format.dwAspect = DVASPECT_CONTENT;
  format.lindex = -1;
  format.tymed = TYMED_HGLOBAL;
  STGMEDIUM medium;
  if (data->GetData(&format, &medium) != S_OK) return drag;
  size_t size = GlobalSize(medium.hGlobal);
  if (auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal))) {
    // The block holds the text and its terminating NUL; the text ends at the first NUL.
    drag->text.assign(bytes, strnlen(bytes, size));
    GlobalUnlock(medium.hGlobal);
  }
  drag->received = true;
  ReleaseStgMedium(&medium);
  return drag;
}

void ppWindow::AskAboutDrop(POINTL point, DWORD* effect) {
  POINT local = DropPointToLocal(point);
  ppView* view = FindViewAt(local.x, local.y);
  bool accepted = view && dragText_ && view->CanAcceptDrop(local.x, local.y, dragText_->text);
  if (effect) *effect = accepted ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

HRESULT ppWindow::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) {
  dragText_ = ReadDragText(data);
  AskAboutDrop(point, effect);
  return S_OK;
}

HRESULT ppWindow::DragOver(DWORD, POINTL point, DWORD* effect) {
  AskAboutDrop(point, effect);
  return S_OK;
}

HRESULT ppWindow::DragLeave() {
  dragText_.reset();
  return S_OK;
}

HRESULT ppWindow::Drop(IDataObject* data, DWORD, POINTL point, DWORD*) {
  dragText_ = ReadDragText(data);
  POINT local = DropPointToLocal(point);
  if (ppView* view = FindViewAt(local.x, local.y)) view->AcceptDrop(local.x, local.y, dragText_->text);
  dragText_.reset();
  return S_OK;
}
