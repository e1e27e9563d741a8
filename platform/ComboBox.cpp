#include "platform/ComboBox.h"

#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"

namespace plat {

namespace {
constexpr const char* kStateProperty = "combo.state";
constexpr const char* kOwnerProperty = "combo.owner";  // on the opened list: its combo box
constexpr int32_t kButtonWidth = 16;
constexpr int32_t kMostShown = 8;  // entries the opened list shows at once
constexpr int32_t kF4Key = 0x73;
constexpr UINT kLastComboMessage = 0x0164;  // the CB_ messages run from 0x140 to here

bool SameTextPrefix(const std::u16string& entry, const char16_t* text, bool exact) {
  std::u16string wanted = text ? text : u"";
  if (exact ? entry.size() != wanted.size() : entry.size() < wanted.size()) return false;
  for (size_t i = 0; i < wanted.size(); ++i) {
    char16_t a = entry[i], b = wanted[i];
    if (a >= u'a' && a <= u'z') a = static_cast<char16_t>(a - 32);
    if (b >= u'a' && b <= u'z') b = static_cast<char16_t>(b - 32);
    if (a != b) return false;
  }
  return true;
}
}  // namespace

ComboBox::State* ComboBox::StateOf(HWND window) { return ControlState<State>(window, kStateProperty); }

int32_t ComboBox::ItemHeight(HWND window) { return MeasureControlText(window, u"Ag").cy + 2; }

int32_t ComboBox::Find(const State& state, const char16_t* text, int32_t after, bool exact) {
  auto count = static_cast<int32_t>(state.entries.size());
  for (int32_t n = 0; n < count; ++n) {
    int32_t i = (after + 1 + n) % count;
    if (after < 0 || after >= count) i = n;
    if (SameTextPrefix(state.entries[static_cast<size_t>(i)].text, text, exact)) return i;
  }
  return static_cast<int32_t>(CB_ERR);
}

// Makes `index` the highlighted entry of the opened list and scrolls the list to show it.
void ComboBox::ShowInList(State& state, int32_t index) {
  state.hot = index;
  if (index < 0) return;
  if (index < state.top) state.top = index;
  if (index >= state.top + kMostShown) state.top = index - kMostShown + 1;
  if (state.list) InvalidateRect(state.list, nullptr, 0);
}

void ComboBox::Choose(HWND window, State& state, int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(state.entries.size()) || index == state.selected) return;
  state.selected = index;
  if (state.list) ShowInList(state, index);
  InvalidateRect(window, nullptr, 0);
  NotifyParent(window, CBN_SELCHANGE);
}

void ComboBox::Open(HWND window, State& state) {
  if (state.list || state.entries.empty()) return;
  RECT rect;
  GetWindowRect(window, &rect);
  int32_t shown = std::min<int32_t>(kMostShown, static_cast<int32_t>(state.entries.size()));
  state.list = CreateWindowExW(0, "ComboLBox", u"", WS_POPUP | WS_BORDER, rect.left, rect.bottom,
                               rect.right - rect.left, shown * ItemHeight(window) + 2, window, nullptr,
                               nullptr, nullptr);
  if (!state.list) return;
  SetPropA(state.list, kOwnerProperty, window);
  state.top = 0;
  ShowInList(state, state.selected);
  NotifyParent(window, CBN_DROPDOWN);
  ShowWindow(state.list, SW_SHOWNOACTIVATE);
  SetCapture(state.list);
}

void ComboBox::Close(HWND window, State& state) {
  if (!state.list) return;
  HWND list = state.list;
  state.list = nullptr;
  if (GetCapture() == list) ReleaseCapture();
  DestroyWindow(list);
  InvalidateRect(window, nullptr, 0);
  NotifyParent(window, CBN_CLOSEUP);
}

void ComboBox::Paint(HWND window, HDC dc, const State& state) {
  RECT client;
  GetClientRect(window, &client);
  bool enabled = IsWindowEnabled(window);
  FillSolid(dc, client, enabled ? kWindowColor : kFaceColor);
  DrawBevel(dc, client, true);
  RECT button = {client.right - 2 - kButtonWidth, client.top + 2, client.right - 2, client.bottom - 2};
  FillSolid(dc, button, kFaceColor);
  DrawBevel(dc, button, state.list != nullptr);
  // The arrow: a small triangle pointing down.
  int32_t cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2 - 1;
  for (int32_t i = 0; i < 4; ++i)
    FillSolid(dc, {cx - 3 + i, cy + i, cx + 4 - i, cy + i + 1}, enabled ? kTextColor : kGrayTextColor);
  RECT field = {client.left + 3, client.top + 3, button.left - 1, client.bottom - 3};
  bool focused = GetFocus() == window;
  if (focused) FillSolid(dc, field, kSelectionColor);
  if (state.selected >= 0) {
    DrawControlText(dc, window, state.entries[static_cast<size_t>(state.selected)].text,
                    {field.left + 2, field.top, field.right, field.bottom},
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                    !enabled  ? kGrayTextColor
                    : focused ? kSelectionTextColor
                              : kTextColor);
  }
  if (focused) DrawFocusDots(dc, field);
}

void ComboBox::PaintList(HWND list, HDC dc) {
  auto combo = static_cast<HWND>(GetPropA(list, kOwnerProperty));
  State* state = combo ? StateOf(combo) : nullptr;
  RECT client;
  GetClientRect(list, &client);
  FillSolid(dc, client, kWindowColor);
  FrameSolid(dc, client, kTextColor);
  if (!state) return;
  int32_t height = ItemHeight(combo);
  int32_t first = state->top;
  for (int32_t i = first; i < static_cast<int32_t>(state->entries.size()); ++i) {
    RECT row = {1, 1 + (i - first) * height, client.right - 1, 1 + (i - first + 1) * height};
    if (row.top >= client.bottom) break;
    bool hot = i == state->hot;
    if (hot) FillSolid(dc, row, kSelectionColor);
    DrawControlText(dc, combo, state->entries[static_cast<size_t>(i)].text,
                    {row.left + 2, row.top, row.right, row.bottom},
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX,
                    hot ? kSelectionTextColor : kTextColor);
  }
}

LRESULT ComboBox::ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
  auto combo = static_cast<HWND>(GetPropA(list, kOwnerProperty));
  State* state = combo ? StateOf(combo) : nullptr;
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(list, &ps);
    PaintList(list, dc);
    EndPaint(list, &ps);
    return 0;
  }
  if (!state || (message != WM_MOUSEMOVE && message != WM_LBUTTONUP && message != WM_LBUTTONDOWN))
    return DefWindowProcW(list, message, wParam, lParam);
  RECT client;
  GetClientRect(list, &client);
  POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  int32_t first = state->top;
  int32_t index = RectContains(client, p) ? first + (p.y - 1) / ItemHeight(combo) : -1;
  if (index >= static_cast<int32_t>(state->entries.size())) index = -1;
  if (message == WM_MOUSEMOVE) {
    if (index >= 0 && index != state->hot) {
      state->hot = index;
      InvalidateRect(list, nullptr, 0);
    }
    return 0;
  }
  if (message == WM_LBUTTONDOWN && index >= 0) return 0;  // chosen on release
  Close(combo, *state);
  if (index >= 0) Choose(combo, *state, index);
  return 0;
}

LRESULT ComboBox::ListMessage(HWND window, State& state, UINT message, WPARAM wParam, LPARAM lParam) {
  auto count = static_cast<int32_t>(state.entries.size());
  auto text = reinterpret_cast<const char16_t*>(lParam);
  auto index = static_cast<int32_t>(wParam);
  switch (message) {
    case CB_ADDSTRING: {
      Entry entry{text ? text : u"", 0};
      if (GetWindowLongPtrA(window, GWL_STYLE) & CBS_SORT) {
        auto at = std::upper_bound(state.entries.begin(), state.entries.end(), entry,
                                   [](const Entry& a, const Entry& b) { return a.text < b.text; });
        auto position = static_cast<LRESULT>(at - state.entries.begin());
        state.entries.insert(at, entry);
        if (state.selected >= position) ++state.selected;
        return position;
      }
      state.entries.push_back(entry);
      return count;
    }
    case CB_INSERTSTRING:
      if (index == -1) index = count;
      if (index < 0 || index > count) return CB_ERR;
      state.entries.insert(state.entries.begin() + index, Entry{text ? text : u"", 0});
      if (state.selected >= index) ++state.selected;
      return index;
    case CB_DELETESTRING:
      if (index < 0 || index >= count) return CB_ERR;
      state.entries.erase(state.entries.begin() + index);
      if (state.selected == index)
        state.selected = -1;
      else if (state.selected > index)
        --state.selected;
      InvalidateRect(window, nullptr, 0);
      return count - 1;
    case CB_RESETCONTENT:
      Close(window, state);
      state.entries.clear();
      state.selected = -1;
      InvalidateRect(window, nullptr, 0);
      return 0;
    case CB_GETCOUNT:
      return count;
    case CB_GETCURSEL:
      return state.selected;
    case CB_SETCURSEL:
      // Selecting from the program sends no notification; an index out of range clears the choice.
      state.selected = index >= 0 && index < count ? index : -1;
      InvalidateRect(window, nullptr, 0);
      return index >= 0 && index < count ? index : CB_ERR;
    case CB_GETLBTEXTLEN:
      return index >= 0 && index < count
                 ? static_cast<LRESULT>(state.entries[static_cast<size_t>(index)].text.size())
                 : CB_ERR;
    case CB_GETLBTEXT: {
      if (index < 0 || index >= count || !lParam) return CB_ERR;
      const std::u16string& entry = state.entries[static_cast<size_t>(index)].text;
      std::copy(entry.begin(), entry.end(), reinterpret_cast<char16_t*>(lParam));
      reinterpret_cast<char16_t*>(lParam)[entry.size()] = 0;
      return static_cast<LRESULT>(entry.size());
    }
    case CB_GETITEMDATA:
      return index >= 0 && index < count ? state.entries[static_cast<size_t>(index)].data : CB_ERR;
    case CB_SETITEMDATA:
      if (index < 0 || index >= count) return CB_ERR;
      state.entries[static_cast<size_t>(index)].data = lParam;
      return 0;
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
      return Find(state, text, index, message == CB_FINDSTRINGEXACT);
    case CB_SELECTSTRING: {
      int32_t found = Find(state, text, index, false);
      if (found >= 0) {
        state.selected = found;
        InvalidateRect(window, nullptr, 0);
      }
      return found;
    }
    case CB_SHOWDROPDOWN:
      wParam ? Open(window, state) : Close(window, state);
      return 1;
    case CB_GETDROPPEDSTATE:
      return state.list ? 1 : 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

LRESULT ComboBox::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleFontMessage(window, message, wParam, lParam, result)) return result;
  if (message == WM_NCCREATE) CreateControlState<State>(window, kStateProperty);
  State* state = StateOf(window);
  if (!state) return DefWindowProcW(window, message, wParam, lParam);
  if (message >= CB_GETEDITSEL && message <= kLastComboMessage)
    return ListMessage(window, *state, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: {
      // The height a template gives a drop-down list is the opened list's; the field itself is one
      // entry high.
      RECT r;
      GetWindowRect(window, &r);
      POINT topLeft{r.left, r.top};
      if (HWND parent = GetParent(window)) ScreenToClient(parent, &topLeft);
      MoveWindow(window, topLeft.x, topLeft.y, r.right - r.left, ItemHeight(window) + 6, 0);
      return 0;
    }
    case WM_DESTROY:
      Close(window, *state);
      return 0;
    case WM_NCDESTROY:
      DeleteControlState<State>(window, kStateProperty);
      return 0;
    case WM_GETDLGCODE: {
      // While the list is open, Enter and Esc close it instead of ending the dialog.
      const auto* msg = reinterpret_cast<const MSG*>(lParam);
      bool closingKey =
          msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE);
      return DLGC_WANTARROWS | DLGC_WANTCHARS | (state->list && closingKey ? DLGC_WANTALLKEYS : 0);
    }
    case WM_PAINT:
      return PaintControl(window, [&](HDC dc) { Paint(window, dc, *state); });
    case WM_ERASEBKGND:
      return 1;
    case WM_SETFOCUS:
    case WM_ENABLE:
      InvalidateRect(window, nullptr, 0);
      return 0;
    case WM_KILLFOCUS:
      Close(window, *state);
      InvalidateRect(window, nullptr, 0);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // a quick second press opens or closes the list as the first did
      if (GetFocus() != window) SetFocus(window);
      state->list ? Close(window, *state) : Open(window, *state);
      return 0;
    case WM_KEYDOWN:
      switch (static_cast<int32_t>(wParam)) {
        case VK_UP:
          Choose(window, *state, state->selected - 1);
          break;
        case VK_DOWN:
          Choose(window, *state, state->selected + 1);
          break;
        case VK_HOME:
          Choose(window, *state, 0);
          break;
        case VK_END:
          Choose(window, *state, static_cast<int32_t>(state->entries.size()) - 1);
          break;
        case kF4Key:
          state->list ? Close(window, *state) : Open(window, *state);
          break;
        case VK_ESCAPE:
        case VK_RETURN:
          Close(window, *state);
          break;
        default:
          break;
      }
      return 0;
    case WM_CHAR: {
      // Typing a letter selects the next entry that starts with it.
      char16_t prefix[2] = {static_cast<char16_t>(wParam), 0};
      if (wParam >= 0x20) Choose(window, *state, Find(*state, prefix, state->selected, false));
      return 0;
    }
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace plat
