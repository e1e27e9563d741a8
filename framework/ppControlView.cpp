#include "framework/ppControlView.h"

#include "foundation/ProcessServices.h"
#include "platform/Controls.h"
#include "platform/Cursors.h"
#include "platform/WindowApi.h"

using namespace plat;

ppControlView::ppControlView(HWND window) : ppWindow(window) {
  RECT client{};
  GetClientRect(window, &client);
  SetFrame(client);
  SetRedrawOnChange(true);
  SetShownFlag(true);
}

int32_t ppControlView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SETFOCUS:
      return 1;
    case WM_PAINT:
      Paint();
      return 1;
    case WM_GETDLGCODE:
      return static_cast<int32_t>(DLGC_WANTALLKEYS);
    default:
      return ppWindow::HandleMessage(message, wParam, lParam);
  }
}

void RegisterControlViewClass() {
  auto instance = static_cast<HINSTANCE>(const_cast<void*>(gInstance));
  WNDCLASSA info;
  info.style = 0;
  info.lpfnWndProc = ControlViewProc;
  info.hInstance = instance;
  info.hIcon = LoadIconA(instance, "AppIcon");
  info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(IDC_ARROW));
  info.hbrBackground = nullptr;
  info.lpszMenuName = nullptr;
  info.lpszClassName = ppControlView::kClassName;
  RegisterClassA(&info);
}

ppControlView* GetControlView(HWND window) {
  return static_cast<ppControlView*>(GetPropA(window, ppWindow::kObjectProperty));
}

LRESULT ControlViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) SetPropA(window, ppWindow::kObjectProperty, new ppControlView(window));
  ppControlView* view = GetControlView(window);
  if (!view) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_DESTROY) {
    RemovePropA(window, ppWindow::kObjectProperty);
    delete view;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  int32_t answer = view->HandleMessage(message, wParam, lParam);
  return answer == 0 ? DefWindowProcA(window, message, wParam, lParam) : answer;
}
