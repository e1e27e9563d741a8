#include "platform/Tooltip.h"

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/ImageList.h"
#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/InputState.h"
#include "platform/LayerClock.h"
#include "platform/ResetList.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

constexpr const char* kStateProperty = "tooltipState";
constexpr COLORREF kTipFace = RGB(255, 255, 225);
constexpr int32_t kPaddingX = 3;
constexpr int32_t kPaddingY = 2;
constexpr int32_t kBelowPointer = 20;  // pixels between the pointer's hot spot and the tip

struct Tool {
  HWND window = nullptr;
  uintptr_t id = 0;
  UINT flags = 0;
  RECT rect;
  std::u16string text;
};

struct ToolTipState {
  std::vector<Tool> tools;
  bool active = true;
  uint32_t initialDelay = kToolTipInitialDelay;
  uint32_t autoPop = kToolTipAutoPop;
  int32_t hover = -1;       // index of the tool under the pointer, -1 when none
  uint32_t hoverSince = 0;  // clock reading when the pointer came to it
  bool suppressed = false;  // a click hid the tip; it comes back only on another tool
  bool shown = false;
  uint32_t shownSince = 0;
};

// Live tooltip controls, for UpdateToolTips; user-interface thread.
std::set<HWND>& Controls() {
  static std::set<HWND> controls;
  return controls;
}

[[maybe_unused]] const bool kReset = ResetList::Add("tooltips: live controls", [] { Controls().clear(); });

ToolTipState* StateOf(HWND control) { return ControlState<ToolTipState>(control, kStateProperty); }

template <class Char>
bool GoodSize(const ToolInfoOf<Char>* info) {
  return info && (info->cbSize == 40 || info->cbSize == kToolInfoSize || info->cbSize == kToolInfoSize + 4 ||
                  info->cbSize == sizeof(ToolInfoOf<Char>));
}

// A text pointer may be a callback marker or a resource id (small values); only real texts count.
template <class Char>
std::u16string TextOf(const Char* text) {
  if (reinterpret_cast<uintptr_t>(text) < 0x10000 || reinterpret_cast<intptr_t>(text) == -1) return {};
  return WideFrom(text);
}

int32_t FindTool(const ToolTipState& s, HWND window, uintptr_t id) {
  for (size_t i = 0; i < s.tools.size(); ++i) {
    if (s.tools[i].window == window && s.tools[i].id == id) return static_cast<int32_t>(i);
  }
  return -1;
}

void Hide(HWND control, ToolTipState& s) {
  if (!s.shown) return;
  s.shown = false;
  ShowWindow(control, SW_HIDE);
}

// What the tip shows of a tool's text: as it stands with TTS_NOPREFIX, else up to the first TAB, with
// each single "&" dropped and each doubled one shown once.
std::u16string ShownText(HWND control, const std::u16string& text) {
  if (GetWindowLongPtrA(control, GWL_STYLE) & TTS_NOPREFIX) return text;
  std::u16string shown;
  for (size_t i = 0; i < text.size() && text[i] != u'\t'; ++i) {
    if (text[i] != u'&') {
      shown.push_back(text[i]);
    } else if (i + 1 < text.size() && text[i + 1] == u'&') {
      shown.push_back(u'&');
      ++i;
    }
  }
  return shown;
}

void Show(HWND control, ToolTipState& s) {
  const std::u16string shown = ShownText(control, s.tools[s.hover].text);
  SetWindowTextW(control, shown.c_str());
  SIZE text = MeasureControlText(control, shown);
  POINT at = InputState::CursorPos();
  SetWindowPos(control, HWND_TOP, at.x, at.y + kBelowPointer, text.cx + 2 * kPaddingX + 2,
               text.cy + 2 * kPaddingY + 2, SWP_NOACTIVATE);
  ShowWindow(control, SW_SHOWNOACTIVATE);
  InvalidateRect(control, nullptr, 1);
  s.shown = true;
  s.shownSince = LayerClock::Now();
}

// Shows the tip once the pointer has rested long enough, hides it once it has been up long enough.
void Update(HWND control, ToolTipState& s) {
  uint32_t now = LayerClock::Now();
  if (s.shown && now - s.shownSince >= s.autoPop) {
    Hide(control, s);
    s.suppressed = true;
  }
  bool ready = s.active && s.hover >= 0 && !s.suppressed && !s.shown && now - s.hoverSince >= s.initialDelay;
  if (ready && !ShownText(control, s.tools[s.hover].text).empty()) Show(control, s);
}

// The tool under a relayed mouse message, or -1.
int32_t ToolAt(const ToolTipState& s, const MSG& msg) {
  POINT p{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
  for (size_t i = 0; i < s.tools.size(); ++i) {
    const Tool& t = s.tools[i];
    if (t.flags & TTF_IDISHWND) {
      if (reinterpret_cast<HWND>(t.id) == msg.hwnd) return static_cast<int32_t>(i);
    } else if (t.window == msg.hwnd && RectContains(t.rect, p)) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void Relay(HWND control, ToolTipState& s, const MSG* msg) {
  if (!msg) return;
  switch (msg->message) {
    case WM_MOUSEMOVE: {
      int32_t tool = ToolAt(s, *msg);
      if (tool != s.hover) {
        Hide(control, s);
        s.hover = tool;
        s.hoverSince = LayerClock::Now();
        s.suppressed = false;
      }
      break;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
      Hide(control, s);
      s.suppressed = true;
      break;
    default:
      break;
  }
  Update(control, s);
}

template <class Char>
LRESULT AddTool(ToolTipState& s, const ToolInfoOf<Char>* info) {
  if (!GoodSize(info)) return 0;
  Tool tool{info->hwnd, info->uId, info->uFlags, info->rect, TextOf(info->lpszText)};
  int32_t existing = FindTool(s, info->hwnd, info->uId);
  if (existing >= 0) {
    s.tools[existing] = tool;
  } else {
    s.tools.push_back(tool);
  }
  return 1;
}

template <class Char>
LRESULT DeleteTool(HWND control, ToolTipState& s, const ToolInfoOf<Char>* info) {
  if (!GoodSize(info)) return 0;
  int32_t at = FindTool(s, info->hwnd, info->uId);
  if (at < 0) return 0;
  if (at == s.hover) {
    Hide(control, s);
    s.hover = -1;
  } else if (at < s.hover) {
    --s.hover;
  }
  s.tools.erase(s.tools.begin() + at);
  return 0;
}

template <class Char>
LRESULT NewRect(ToolTipState& s, const ToolInfoOf<Char>* info) {
  int32_t at = GoodSize(info) ? FindTool(s, info->hwnd, info->uId) : -1;
  if (at >= 0) s.tools[at].rect = info->rect;
  return 0;
}

// Copies the tool's text into the caller's buffer (80 characters, as the platform assumes).
template <class Char>
LRESULT GetText(ToolTipState& s, ToolInfoOf<Char>* info) {
  int32_t at = GoodSize(info) ? FindTool(s, info->hwnd, info->uId) : -1;
  if (at < 0 || reinterpret_cast<uintptr_t>(info->lpszText) < 0x10000) return 0;
  CopyTextOut(s.tools[at].text, info->lpszText, 80);
  return 0;
}

// The tool at `index` in the order of adding: its window, id, flags and rectangle, and its text into
// the caller's buffer (80 characters) when one is given. 0 past the last tool, else 1.
template <class Char>
LRESULT EnumTool(const ToolTipState& s, WPARAM index, ToolInfoOf<Char>* info) {
  if (!GoodSize(info) || index >= s.tools.size()) return 0;
  const Tool& tool = s.tools[index];
  info->hwnd = tool.window;
  info->uId = tool.id;
  info->uFlags = tool.flags;
  info->rect = tool.rect;
  if (reinterpret_cast<uintptr_t>(info->lpszText) >= 0x10000) CopyTextOut(tool.text, info->lpszText, 80);
  return 1;
}

void Paint(HWND control, HDC dc) {
  RECT r;
  GetClientRect(control, &r);
  FillSolid(dc, r, kTipFace);
  FrameSolid(dc, r, kTextColor);
  RECT text{r.left + kPaddingX + 1, r.top + kPaddingY + 1, r.right, r.bottom};
  DrawControlText(dc, control, WindowText(control), text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, kTextColor);
}

LRESULT ToolTipProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    CreateControlState<ToolTipState>(control, kStateProperty);
    Controls().insert(control);
    return DefWindowProcW(control, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    Controls().erase(control);
    DeleteControlState<ToolTipState>(control, kStateProperty);
    return DefWindowProcW(control, message, wParam, lParam);
  }
  ToolTipState* s = StateOf(control);
  if (!s) return DefWindowProcW(control, message, wParam, lParam);
  switch (message) {
    case TTM_ADDTOOLA:
      return AddTool(*s, reinterpret_cast<const TOOLINFOA*>(lParam));
    case TTM_ADDTOOLW:
      return AddTool(*s, reinterpret_cast<const TOOLINFOW*>(lParam));
    case TTM_DELTOOLA:
      return DeleteTool(control, *s, reinterpret_cast<const TOOLINFOA*>(lParam));
    case TTM_DELTOOLW:
      return DeleteTool(control, *s, reinterpret_cast<const TOOLINFOW*>(lParam));
    case TTM_NEWTOOLRECTA:
      return NewRect(*s, reinterpret_cast<const TOOLINFOA*>(lParam));
    case TTM_NEWTOOLRECTW:
      return NewRect(*s, reinterpret_cast<const TOOLINFOW*>(lParam));
    case TTM_GETTEXTA:
      return GetText(*s, reinterpret_cast<TOOLINFOA*>(lParam));
    case TTM_GETTEXTW:
      return GetText(*s, reinterpret_cast<TOOLINFOW*>(lParam));
    case TTM_ENUMTOOLSA:
      return EnumTool(*s, wParam, reinterpret_cast<TOOLINFOA*>(lParam));
    case TTM_ENUMTOOLSW:
      return EnumTool(*s, wParam, reinterpret_cast<TOOLINFOW*>(lParam));
    case TTM_GETTOOLCOUNT:
      return static_cast<LRESULT>(s->tools.size());
    case TTM_RELAYEVENT:
      Relay(control, *s, reinterpret_cast<const MSG*>(lParam));
      return 0;
    case TTM_UPDATE:
      Update(control, *s);
      return 0;
    case TTM_POP:
      Hide(control, *s);
      return 0;
    case TTM_ACTIVATE:
      s->active = wParam != 0;
      if (!s->active) Hide(control, *s);
      return 0;
    case TTM_SETDELAYTIME: {
      uint32_t ms = LOWORD(static_cast<uintptr_t>(lParam));
      if (wParam == TTDT_INITIAL || wParam == TTDT_AUTOMATIC) s->initialDelay = ms;
      if (wParam == TTDT_AUTOPOP) s->autoPop = ms;
      if (wParam == TTDT_AUTOMATIC) s->autoPop = ms * 10;
      return 0;
    }
    case WM_PAINT:
      return PaintControl(control, [&](HDC dc) { Paint(control, dc); });
    case WM_ERASEBKGND:
      return 1;
    default:
      return DefWindowProcW(control, message, wParam, lParam);
  }
}

}  // namespace

void RegisterToolTipClass() {
  if (WindowManager::Instance().FindClass(kToolTipClass)) return;
  WNDCLASSA info;
  info.lpfnWndProc = ToolTipProc;
  info.lpszClassName = kToolTipClass;
  RegisterClassA(&info);
}

void UpdateToolTips() {
  std::vector<HWND> controls(Controls().begin(), Controls().end());
  for (HWND control : controls) {
    if (ToolTipState* s = IsWindow(control) ? StateOf(control) : nullptr) Update(control, *s);
  }
}

}  // namespace plat
