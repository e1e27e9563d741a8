#include "controls/ppSelectorDialog.h"

#include "controls/iSelectorSceneRefresh.h"
#include "foundation/ProcessServices.h"
#include "platform/Cursors.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

// Owned by the user-interface thread.
iSelectorSceneRefresh* gSceneRefresh = nullptr;
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("controls: selector pop-ups' 3D pane refresh", [] { gSceneRefresh = nullptr; });

POINT PointOf(LPARAM lParam) {
  return {static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF)};
}

}  // namespace

void ppSelectorDialog::InstallSceneRefresh(iSelectorSceneRefresh* refresh) { gSceneRefresh = refresh; }
iSelectorSceneRefresh* ppSelectorDialog::SceneRefresh() { return gSceneRefresh; }

ppSelectorDialog::ppSelectorDialog(ppPopupSelector* owner) : owner_(owner) { RegisterClassOnce(); }

ppSelectorDialog::~ppSelectorDialog() {
  if (window_ != nullptr && IsWindow(window_)) {
    RemovePropA(window_, kProperty);
    if (GetCapture() == window_) ReleaseCapture();
    DestroyWindow(window_);
  }
  window_ = nullptr;
}

// Checked every time rather than by a flag: a fresh desktop forgets the program's classes.
void ppSelectorDialog::RegisterClassOnce() {
  WNDCLASSA info;
  if (GetClassInfoA(static_cast<HINSTANCE>(const_cast<void*>(gInstance)), kClassName, &info)) return;
  info = WNDCLASSA();
  info.lpfnWndProc = &ppSelectorDialog::Proc;
  info.hInstance = static_cast<HINSTANCE>(const_cast<void*>(gInstance));
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  info.lpszClassName = kClassName;
  RegisterClassA(&info);
}

void ppSelectorDialog::CreatePopup(DWORD exStyle, const RECT& screen, HWND ownerWindow) {
  CreateWindowExA(exStyle, kClassName, "", WS_POPUP | WS_BORDER, screen.left, screen.top,
                  screen.right - screen.left, screen.bottom - screen.top, ownerWindow, nullptr,
                  static_cast<HINSTANCE>(const_cast<void*>(gInstance)), this);
}

void ppSelectorDialog::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case kRefreshRulers:
      if (gSceneRefresh) gSceneRefresh->RefreshRulersAndRepaint();
      Hide();
      return;
    case kRefreshPending:
      if (gSceneRefresh) gSceneRefresh->ProcessPendingRedraw();
      return;
    case kRefreshBoth:
      if (gSceneRefresh) {
        gSceneRefresh->ProcessPendingRedraw();
        gSceneRefresh->RefreshRulersAndRepaint();
      }
      Hide();
      return;
    default:
      ppWindow::DoCommand(command, parameter);
  }
}

bool ppSelectorDialog::PopupKey(WPARAM, bool, bool) { return true; }

LRESULT ppSelectorDialog::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    if (auto* self = static_cast<ppSelectorDialog*>(create->lpCreateParams)) {
      self->window_ = window;
      SetPropA(window, kProperty, self);
    }
  }
  auto* self = static_cast<ppSelectorDialog*>(GetPropA(window, kProperty));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_DESTROY) RemovePropA(window, kProperty);
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
    const bool alt = message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    self->PopupKey(wParam, alt, shift);
    return 1;
  }
  if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
    // While the pop-up holds the capture every click comes here; the scroll bar must still get its own.
    const POINT p = PointOf(lParam);
    HWND child = ChildWindowFromPoint(window, p);
    if (child != nullptr && child != window) {
      POINT screen = p;
      ClientToScreen(window, &screen);
      ScreenToClient(child, &screen);
      const LPARAM moved = static_cast<LPARAM>(
          (static_cast<uint16_t>(screen.x)) | (static_cast<uint32_t>(static_cast<uint16_t>(screen.y)) << 16));
      const LRESULT answer = SendMessageA(child, message, wParam, moved);
      // The bar may have taken and released the capture while it tracked the press.
      if (IsWindow(window) && IsWindowVisible(window) && GetCapture() != window) SetCapture(window);
      return answer;
    }
    if (IsWindowVisible(window) && GetCapture() != window) SetCapture(window);
  }
  if (self->HandleMessage(message, wParam, lParam) != 0) return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}
