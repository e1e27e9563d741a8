#include "platform/Controls.h"

#include "platform/Button.h"
#include "platform/ComboBox.h"
#include "platform/Cursors.h"
#include "platform/Edit.h"
#include "platform/ListBox.h"
#include "platform/RichEdit.h"
#include "platform/ScrollBar.h"
#include "platform/Static.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {

namespace {
struct ControlClass {
  const char* name;
  WNDPROC proc;
  uint16_t cursor;
};

const ControlClass kControlClasses[] = {
    {"BUTTON", &Button::Proc, IDC_ARROW},     {"STATIC", &Static::Proc, IDC_ARROW},
    {"EDIT", &Edit::Proc, IDC_IBEAM},         {"RichEdit20A", &RichEdit::Proc, IDC_IBEAM},
    {"COMBOBOX", &ComboBox::Proc, IDC_ARROW}, {"ComboLBox", &ComboBox::ListProc, IDC_ARROW},
    {"LISTBOX", &ListBox::Proc, IDC_ARROW},   {"SCROLLBAR", &ScrollBar::Proc, IDC_ARROW},
};
}  // namespace

void EnsureStandardControlClasses() {
  WindowManager& manager = WindowManager::Instance();
  // Registered together, so the last one tells whether all are.
  if (manager.FindClass(kControlClasses[std::size(kControlClasses) - 1].name)) return;
  for (const ControlClass& c : kControlClasses) {
    if (manager.FindClass(c.name)) continue;
    WNDCLASSA info;
    info.style = CS_DBLCLKS;
    info.lpfnWndProc = c.proc;
    info.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(c.cursor));
    info.lpszClassName = c.name;
    manager.RegisterClass(info);
  }
}

// ---- Scroll-bar calls: the layer has bar controls only (SB_CTL).

int32_t SetScrollInfo(HWND window, int32_t bar, const SCROLLINFO* info, BOOL redraw) {
  if (bar != SB_CTL || !info) return 0;
  return static_cast<int32_t>(
      SendMessageW(window, SBM_SETSCROLLINFO, redraw, reinterpret_cast<LPARAM>(info)));
}

BOOL GetScrollInfo(HWND window, int32_t bar, SCROLLINFO* info) {
  if (bar != SB_CTL || !info) return 0;
  return static_cast<BOOL>(SendMessageW(window, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

int32_t SetScrollPos(HWND window, int32_t bar, int32_t position, BOOL redraw) {
  if (bar != SB_CTL) return 0;
  return static_cast<int32_t>(SendMessageW(window, SBM_SETPOS, static_cast<WPARAM>(position), redraw));
}

int32_t GetScrollPos(HWND window, int32_t bar) {
  if (bar != SB_CTL) return 0;
  return static_cast<int32_t>(SendMessageW(window, SBM_GETPOS, 0, 0));
}

BOOL SetScrollRange(HWND window, int32_t bar, int32_t minimum, int32_t maximum, BOOL redraw) {
  if (bar != SB_CTL) return 0;
  SendMessageW(window, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minimum), maximum);
  return 1;
}

BOOL GetScrollRange(HWND window, int32_t bar, int32_t* minimum, int32_t* maximum) {
  if (bar != SB_CTL) return 0;
  return static_cast<BOOL>(SendMessageW(window, SBM_GETRANGE, reinterpret_cast<WPARAM>(minimum),
                                        reinterpret_cast<LPARAM>(maximum)));
}

BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows) {
  if (bar != static_cast<UINT>(SB_CTL)) return 0;
  return static_cast<BOOL>(SendMessageW(window, SBM_ENABLE_ARROWS, arrows, 0));
}

BOOL ShowScrollBar(HWND window, int32_t bar, BOOL show) {
  if (bar != SB_CTL || !IsWindow(window)) return 0;
  ShowWindow(window, show ? SW_SHOW : SW_HIDE);
  return 1;
}

}  // namespace plat
