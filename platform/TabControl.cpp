#include "platform/TabControl.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/ImageList.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

constexpr const char* kStateProperty = "tabState";
constexpr int32_t kTextPadding = 6;  // each side of a tab's text
constexpr int32_t kFirstTabX = 2;
constexpr int32_t kRaise = 2;  // the current tab stands this much taller and wider

struct Tab {
  std::u16string text;
  int32_t image = -1;
  LPARAM param = 0;
};

struct TabState {
  static constexpr const char* kProperty = kStateProperty;
  std::vector<Tab> tabs;
  int32_t current = -1;
  int32_t focus = -1;
};

TabState* StateOf(HWND control) { return ControlState<TabState>(control, kStateProperty); }

int32_t Count(const TabState& s) { return static_cast<int32_t>(s.tabs.size()); }

RECT TabRect(HWND control, const TabState& s, int32_t index) {
  int32_t x = kFirstTabX;
  for (int32_t i = 0; i < index; ++i) x += MeasureControlText(control, s.tabs[i].text).cx + 2 * kTextPadding;
  int32_t width = MeasureControlText(control, s.tabs[index].text).cx + 2 * kTextPadding;
  return {x, kRaise, x + width, kTabRowHeight};
}

int32_t HitTab(HWND control, const TabState& s, POINT p) {
  for (int32_t i = 0; i < Count(s); ++i) {
    if (RectContains(TabRect(control, s, i), p)) return i;
  }
  return -1;
}

LRESULT Notify(HWND control, UINT code) {
  NMHDR header;
  header.hwndFrom = control;
  header.idFrom = static_cast<uintptr_t>(GetDlgCtrlID(control));
  header.code = code;
  HWND parent = GetParent(control);
  return parent ? SendMessageW(parent, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) : 0;
}

// Makes `index` current as the user does: the parent may refuse, and hears of the change.
void ChooseTab(HWND control, int32_t index) {
  TabState* s = StateOf(control);
  if (!s || index < 0 || index >= Count(*s) || index == s->current) return;
  if (Notify(control, TCN_SELCHANGING)) return;
  if (!(s = StateOf(control))) return;  // the parent destroyed the control
  s->current = s->focus = index;
  InvalidateRect(control, nullptr, 1);
  Notify(control, TCN_SELCHANGE);
}

template <class Char>
void Apply(Tab& tab, const TabItemOf<Char>* item) {
  if (item->mask & TCIF_TEXT) tab.text = WideFrom(item->pszText);
  if (item->mask & TCIF_IMAGE) tab.image = item->iImage;
  if (item->mask & TCIF_PARAM) tab.param = item->lParam;
}

template <class Char>
LRESULT Insert(HWND control, TabState& s, WPARAM at, const TabItemOf<Char>* item) {
  if (!item || static_cast<intptr_t>(at) < 0) return -1;
  int32_t index = std::min<int32_t>(static_cast<int32_t>(at), Count(s));
  Tab tab;
  Apply(tab, item);
  s.tabs.insert(s.tabs.begin() + index, tab);
  if (s.current < 0) {
    s.current = s.focus = 0;
  } else if (index <= s.current) {
    ++s.current;
    ++s.focus;
  }
  InvalidateRect(control, nullptr, 1);
  return index;
}

template <class Char>
LRESULT Set(HWND control, TabState& s, WPARAM at, const TabItemOf<Char>* item) {
  if (!item || at >= s.tabs.size()) return 0;
  Apply(s.tabs[at], item);
  InvalidateRect(control, nullptr, 1);
  return 1;
}

template <class Char>
LRESULT Get(const TabState& s, WPARAM at, TabItemOf<Char>* item) {
  if (!item || at >= s.tabs.size()) return 0;
  const Tab& tab = s.tabs[at];
  if (item->mask & TCIF_IMAGE) item->iImage = tab.image;
  if (item->mask & TCIF_PARAM) item->lParam = tab.param;
  if ((item->mask & TCIF_TEXT) && item->pszText) CopyTextOut(tab.text, item->pszText, item->cchTextMax);
  return 1;
}

LRESULT Delete(HWND control, TabState& s, WPARAM at) {
  if (at >= s.tabs.size()) return 0;
  int32_t index = static_cast<int32_t>(at);
  s.tabs.erase(s.tabs.begin() + index);
  if (s.tabs.empty()) {
    s.current = s.focus = -1;
  } else if (index < s.current || s.current >= Count(s)) {
    s.current = s.focus = std::max(0, s.current - 1);
  }
  InvalidateRect(control, nullptr, 1);
  return 1;
}

void Paint(HWND control, const TabState& s, HDC dc) {
  RECT client;
  GetClientRect(control, &client);
  FillSolid(dc, client, kFaceColor);
  RECT page{client.left, kTabRowHeight, client.right, client.bottom};
  DrawBevel(dc, page, false);
  for (int32_t i = 0; i < Count(s); ++i) {
    RECT r = TabRect(control, s, i);
    if (i == s.current) r = {r.left - kRaise, r.top - kRaise, r.right + kRaise, r.bottom + 1};
    FillSolid(dc, r, kFaceColor);
    FillSolid(dc, {r.left, r.top + 1, r.left + 1, r.bottom}, kLightColor);
    FillSolid(dc, {r.left + 1, r.top, r.right - 1, r.top + 1}, kLightColor);
    FillSolid(dc, {r.right - 1, r.top + 1, r.right, r.bottom}, kDarkShadowColor);
    FillSolid(dc, {r.right - 2, r.top + 1, r.right - 1, r.bottom}, kShadowColor);
    DrawControlText(dc, control, s.tabs[i].text, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE, kTextColor);
    if (i == s.focus && GetFocus() == control)
      DrawFocusDots(dc, {r.left + 3, r.top + 3, r.right - 3, r.bottom - 2});
  }
}

LRESULT Message(HWND control, TabState& s, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case TCM_GETITEMCOUNT:
      return Count(s);
    case TCM_INSERTITEMA:
      return Insert(control, s, wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_INSERTITEMW:
      return Insert(control, s, wParam, reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_SETITEMA:
      return Set(control, s, wParam, reinterpret_cast<const TCITEMA*>(lParam));
    case TCM_SETITEMW:
      return Set(control, s, wParam, reinterpret_cast<const TCITEMW*>(lParam));
    case TCM_GETITEMA:
      return Get(s, wParam, reinterpret_cast<TCITEMA*>(lParam));
    case TCM_GETITEMW:
      return Get(s, wParam, reinterpret_cast<TCITEMW*>(lParam));
    case TCM_DELETEITEM:
      return Delete(control, s, wParam);
    case TCM_DELETEALLITEMS:
      s.tabs.clear();
      s.current = s.focus = -1;
      InvalidateRect(control, nullptr, 1);
      return 1;
    case TCM_GETCURSEL:
      return s.current;
    case TCM_GETCURFOCUS:
      return s.focus;
    case TCM_SETCURSEL: {
      int32_t previous = s.current;
      if (wParam >= s.tabs.size()) return -1;
      s.current = s.focus = static_cast<int32_t>(wParam);
      InvalidateRect(control, nullptr, 1);
      return previous;
    }
    case TCM_SETCURFOCUS:
      if (wParam < s.tabs.size()) ChooseTab(control, static_cast<int32_t>(wParam));
      return 0;
    case TCM_GETITEMRECT: {
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (!rect || wParam >= s.tabs.size()) return 0;
      *rect = TabRect(control, s, static_cast<int32_t>(wParam));
      return 1;
    }
    case TCM_HITTEST: {
      auto* info = reinterpret_cast<TCHITTESTINFO*>(lParam);
      return info ? HitTab(control, s, info->pt) : -1;
    }
    case TCM_ADJUSTRECT: {
      // wParam 0: the page area of a control with that window rectangle; otherwise the reverse.
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (!rect) return 0;
      int32_t d = wParam ? -1 : 1;
      *rect = {rect->left + 2 * d, rect->top + (kTabRowHeight + 2) * d, rect->right - 2 * d,
               rect->bottom - 2 * d};
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {  // the second press of a quick pair chooses as the first does
      SetFocus(control);
      int32_t hit = HitTab(control, s, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      if (hit >= 0) ChooseTab(control, hit);
      return 0;
    }
    case WM_KEYDOWN:
      if (wParam == static_cast<WPARAM>(VK_LEFT) && s.current > 0) ChooseTab(control, s.current - 1);
      if (wParam == static_cast<WPARAM>(VK_RIGHT)) ChooseTab(control, s.current + 1);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(control, nullptr, 0);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_PAINT:
      return PaintControl(control, [&](HDC dc) { Paint(control, s, dc); });
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(control, message, wParam, lParam);
  }
}

}  // namespace

void RegisterTabControlClass() {
  RegisterCommonControlClass(kTabControlClass, CommonControlProc<TabState, Message>);
}

}  // namespace plat
