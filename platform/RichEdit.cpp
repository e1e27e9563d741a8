#include "platform/RichEdit.h"

#include <algorithm>
#include <cstring>

#include "platform/AnsiCodePage.h"
#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/Edit.h"

namespace plat {

namespace {
constexpr UINT kUtf16CodePage = 1200;
}

// With key events in the mask, the parent sees each key and character first and may drop it.
bool RichEdit::FilteredOut(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  EditState* state = Edit::StateOf(window);
  HWND parent = GetParent(window);
  if (!state || !parent || !(state->eventMask & ENM_KEYEVENTS)) return false;
  MSGFILTER filter;
  filter.nmhdr = {window, static_cast<uintptr_t>(GetDlgCtrlID(window)), EN_MSGFILTER};
  filter.msg = message;
  filter.wParam = wParam;
  filter.lParam = lParam;
  return SendMessageW(parent, WM_NOTIFY, static_cast<WPARAM>(GetDlgCtrlID(window)),
                      reinterpret_cast<LPARAM>(&filter)) != 0;
}

LRESULT RichEdit::SetTextEx(HWND window, WPARAM wParam, LPARAM lParam) {
  EditState* state = Edit::StateOf(window);
  const auto* how = reinterpret_cast<const SETTEXTEX*>(wParam);
  if (!state || !how) return 0;
  std::u16string text;
  if (lParam && how->codepage == kUtf16CodePage)
    text = reinterpret_cast<const char16_t*>(lParam);
  else if (lParam)
    text = WidenAnsi(reinterpret_cast<const char*>(lParam));
  if (!(how->flags & ST_SELECTION)) Edit::SetSelection(window, *state, 0, -1);
  Edit::ReplaceSelection(window, *state, text, false);
  return 1;
}

LRESULT RichEdit::GetTextEx(HWND window, WPARAM wParam, LPARAM lParam) {
  const auto* how = reinterpret_cast<const GETTEXTEX*>(wParam);
  if (!how || !lParam || how->cb == 0) return 0;
  std::u16string text = WindowText(window);
  if (how->codepage == kUtf16CodePage) {
    size_t room = how->cb / 2;
    if (room == 0) return 0;
    size_t n = std::min(text.size(), room - 1);
    auto* out = reinterpret_cast<char16_t*>(lParam);
    std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(n), out);
    out[n] = 0;
    return static_cast<LRESULT>(n);
  }
  std::string narrow = NarrowToAnsi(text);
  size_t n = std::min<size_t>(narrow.size(), how->cb - 1);
  std::memcpy(reinterpret_cast<char*>(lParam), narrow.data(), n);
  reinterpret_cast<char*>(lParam)[n] = 0;
  return static_cast<LRESULT>(n);
}

// Reads the stream's text through its callback until it gives no more, then replaces the selection
// (SFF_SELECTION) or all of the text with it.
LRESULT RichEdit::StreamIn(HWND window, WPARAM wParam, LPARAM lParam) {
  auto* stream = reinterpret_cast<EDITSTREAM*>(lParam);
  EditState* state = Edit::StateOf(window);
  if (!stream || !stream->pfnCallback || !state) return 0;
  std::string bytes;
  BYTE chunk[4096];
  for (;;) {
    int32_t done = 0;
    stream->dwError = stream->pfnCallback(stream->dwCookie, chunk, sizeof chunk, &done);
    if (stream->dwError != 0 || done <= 0) break;
    bytes.append(reinterpret_cast<const char*>(chunk),
                 static_cast<size_t>(std::min<int32_t>(done, sizeof chunk)));
  }
  constexpr WPARAM kSelectionOnly = 0x8000;
  if (!(wParam & kSelectionOnly)) Edit::SetSelection(window, *state, 0, -1);
  Edit::ReplaceSelection(window, *state, WidenAnsi(bytes.c_str()), false);
  return static_cast<LRESULT>(bytes.size());
}

LRESULT RichEdit::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    LRESULT result = Edit::Proc(window, message, wParam, lParam);
    if (EditState* state = Edit::StateOf(window)) state->rich = true;
    return result;
  }
  EditState* state = Edit::StateOf(window);
  if (!state) return Edit::Proc(window, message, wParam, lParam);
  switch (message) {
    case WM_KEYDOWN:
    case WM_CHAR:
      if (FilteredOut(window, message, wParam, lParam)) return 0;
      return Edit::Proc(window, message, wParam, lParam);
    case EM_EXLIMITTEXT:
      // 0 restores the control's own limit.
      state->limit = lParam > 0 ? static_cast<int32_t>(std::min<LPARAM>(lParam, 0x7FFFFFFE)) : 32767;
      return 0;
    case EM_SETEVENTMASK: {
      LPARAM old = state->eventMask;
      state->eventMask = lParam;
      return old;
    }
    case EM_GETEVENTMASK:
      return state->eventMask;
    case EM_SETBKGNDCOLOR: {
      COLORREF old = state->background;
      state->background = wParam ? kWindowColor : static_cast<COLORREF>(lParam);
      InvalidateRect(window, nullptr, 0);
      return static_cast<LRESULT>(old);
    }
    case EM_SETCHARFORMAT: {
      const auto* format = reinterpret_cast<const CHARFORMATA*>(lParam);
      if (!format) return 0;
      if (format->dwMask & CFM_COLOR) state->textColor = format->crTextColor;
      InvalidateRect(window, nullptr, 0);
      return 1;
    }
    case EM_SETTEXTEX:
      return SetTextEx(window, wParam, lParam);
    case EM_GETTEXTEX:
      return GetTextEx(window, wParam, lParam);
    case EM_GETTEXTLENGTHEX: {
      const auto* how = reinterpret_cast<const GETTEXTLENGTHEX*>(wParam);
      std::u16string text = WindowText(window);
      bool bytes = how && (how->flags & GTL_NUMBYTES);
      bool wide = how && how->codepage == kUtf16CodePage;
      return static_cast<LRESULT>(text.size() * (bytes && wide ? 2 : 1));
    }
    case EM_STREAMIN:
      return StreamIn(window, wParam, lParam);
    case CCM_SETUNICODEFORMAT:
      return 0;  // texts are UTF-16 inside the layer either way
    default:
      return Edit::Proc(window, message, wParam, lParam);
  }
}

}  // namespace plat
