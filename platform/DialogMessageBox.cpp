#include "platform/DialogMessageBox.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {

namespace {
constexpr UINT kPressScripted = WM_APP + 0x3F0;  // private: press the scripted button (wParam)
constexpr uint16_t kTextId = 0xFFFF;
constexpr uint16_t kIconId = 0xFFFE;
constexpr int32_t kMaxTextWidth = 330;  // pixels before the text wraps
constexpr int16_t kMargin = 7, kButtonWidth = 50, kButtonHeight = 14, kButtonGap = 4, kIconUnits = 22;

struct ButtonSpec {
  int32_t id;
  const char16_t* label;
};

std::vector<ButtonSpec> ButtonsOf(uint32_t style) {
  switch (style & 0xF) {
    case MB_OKCANCEL:
      return {{IDOK, u"OK"}, {IDCANCEL, u"Cancel"}};
    case MB_ABORTRETRYIGNORE:
      return {{IDABORT, u"&Abort"}, {IDRETRY, u"&Retry"}, {IDIGNORE, u"&Ignore"}};
    case MB_YESNOCANCEL:
      return {{IDYES, u"&Yes"}, {IDNO, u"&No"}, {IDCANCEL, u"Cancel"}};
    case MB_YESNO:
      return {{IDYES, u"&Yes"}, {IDNO, u"&No"}};
    case MB_RETRYCANCEL:
      return {{IDRETRY, u"&Retry"}, {IDCANCEL, u"Cancel"}};
    default:
      return {{IDOK, u"OK"}};
  }
}

uintptr_t IconOf(uint32_t style) {
  switch (style & 0xF0) {
    case MB_ICONHAND:
      return IDI_HAND;
    case MB_ICONQUESTION:
      return IDI_QUESTION;
    case MB_ICONEXCLAMATION:
      return IDI_EXCLAMATION;
    case MB_ICONASTERISK:
      return IDI_ASTERISK;
    default:
      return 0;
  }
}

// The text's size in pixels in the dialog font, wrapped at kMaxTextWidth.
SIZE TextSize(const std::u16string& text) {
  DialogTemplate font;
  HFONT face = CreateFontA(-11, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, font.fontFace.c_str());
  HDC dc = CreateCompatibleDC(nullptr);
  RECT box = {0, 0, kMaxTextWidth, 0};
  {
    ScopedSelection select(dc, face);
    DrawTextW(dc, text.c_str(), static_cast<int32_t>(text.size()), &box,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
  }
  DeleteDC(dc);
  DeleteObject(face);
  return {box.right - box.left, box.bottom - box.top};
}

struct BoxRun {
  uint32_t style;
  std::optional<int32_t> scripted;
};

bool HasButton(uint32_t style, int32_t id) {
  for (const ButtonSpec& b : ButtonsOf(style)) {
    if (b.id == id) return true;
  }
  return false;
}

INT_PTR BoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* run = reinterpret_cast<BoxRun*>(GetPropA(box, "messagebox.run"));
  switch (message) {
    case WM_INITDIALOG:
      run = reinterpret_cast<BoxRun*>(lParam);
      SetPropA(box, "messagebox.run", run);
      if (run->scripted) PostMessageW(box, kPressScripted, static_cast<WPARAM>(*run->scripted), 0);
      // The focus starts on the default button, so Enter presses it.
      SetFocus(GetDlgItem(box, LOWORD(static_cast<uintptr_t>(SendMessageW(box, DM_GETDEFID, 0, 0)))));
      return 0;
    case kPressScripted: {
      auto id = static_cast<int32_t>(wParam);
      if (!HasButton(run->style, id))
        id = LOWORD(static_cast<uintptr_t>(SendMessageW(box, DM_GETDEFID, 0, 0)));
      SendMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(box, id)));
      return 1;
    }
    case WM_COMMAND: {
      auto id = static_cast<int32_t>(LOWORD(wParam));
      if (id == IDCANCEL && !HasButton(run->style, IDCANCEL)) {
        // Esc or the close box: a box with only OK answers OK; Yes/No boxes must be answered.
        if ((run->style & 0xF) != MB_OK) return 1;
        id = IDOK;
      }
      if (HasButton(run->style, id)) EndDialog(box, id);
      return 1;
    }
    case WM_DESTROY:
      RemovePropA(box, "messagebox.run");
      return 0;
    default:
      return 0;
  }
}
}  // namespace

DialogTemplate MessageBoxTemplate(const std::u16string& text, const std::u16string& caption, uint32_t style) {
  DialogTemplate t;
  t.caption = caption;
  if (style & (MB_TOPMOST | MB_SYSTEMMODAL)) t.exStyle |= WS_EX_TOPMOST;
  t.style |= DS_CENTER;
  int32_t base = GetDialogBaseUnits();
  int32_t baseX = LOWORD(static_cast<uintptr_t>(base)), baseY = HIWORD(static_cast<uintptr_t>(base));
  SIZE pixels = TextSize(text);
  auto textWidth = static_cast<int16_t>((pixels.cx * 4 + baseX - 1) / baseX + 2);
  auto textHeight = static_cast<int16_t>(std::max<int32_t>((pixels.cy * 8 + baseY - 1) / baseY, 8));
  uintptr_t icon = IconOf(style);
  int16_t textLeft = icon ? static_cast<int16_t>(kMargin + kIconUnits + kMargin) : kMargin;
  int16_t bodyHeight = std::max<int16_t>(textHeight, icon ? 21 : 0);
  std::vector<ButtonSpec> buttons = ButtonsOf(style);
  auto count = static_cast<int16_t>(buttons.size());
  auto rowWidth = static_cast<int16_t>(count * kButtonWidth + (count - 1) * kButtonGap);
  t.cx = static_cast<int16_t>(std::max<int32_t>(textLeft + textWidth + kMargin, rowWidth + 2 * kMargin));
  auto buttonTop = static_cast<int16_t>(kMargin + bodyHeight + kMargin + 3);
  t.cy = static_cast<int16_t>(buttonTop + kButtonHeight + kMargin);
  if (icon) {
    std::string number = "#" + std::to_string(icon);
    t.Add("STATIC", std::u16string(number.begin(), number.end()), kIconId, kMargin, kMargin, 21, 20,
          WS_VISIBLE | SS_ICON);
  }
  t.Add("STATIC", text, kTextId, textLeft, static_cast<int16_t>(kMargin + (bodyHeight - textHeight) / 2),
        textWidth, textHeight, WS_VISIBLE | SS_LEFT | SS_NOPREFIX);
  size_t defaultIndex = std::min<size_t>((style >> 8) & 0xF, buttons.size() - 1);
  auto left = static_cast<int16_t>((t.cx - rowWidth) / 2);
  for (size_t i = 0; i < buttons.size(); ++i) {
    DWORD kind = i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    t.Add("BUTTON", buttons[i].label, static_cast<uint16_t>(buttons[i].id),
          static_cast<int16_t>(left + static_cast<int16_t>(i) * (kButtonWidth + kButtonGap)), buttonTop,
          kButtonWidth, kButtonHeight, WS_VISIBLE | WS_TABSTOP | kind | (i == 0 ? WS_GROUP : 0));
  }
  return t;
}

namespace {
std::thread::id gBoxThread;

int32_t PresentBox(const void* owner, const std::u16string& text, const std::u16string& caption,
                   uint32_t style, const int32_t* queued) {
  std::optional<int32_t> scripted;
  if (queued) scripted = *queued;
  if (std::this_thread::get_id() != gBoxThread) {
    // Another thread cannot run the user interface's loop: the queued answer, else Enter's.
    std::vector<ButtonSpec> buttons = ButtonsOf(style);
    return scripted.value_or(buttons[std::min<size_t>((style >> 8) & 0xF, buttons.size() - 1)].id);
  }
  return RunMessageBoxDialog(static_cast<HWND>(const_cast<void*>(owner)), text, caption, style, scripted);
}
}  // namespace

void UseDrawnMessageBoxes(bool on) {
  gBoxThread = std::this_thread::get_id();
  SetMessageBoxPresenter(on ? &PresentBox : nullptr);
}

int32_t RunMessageBoxDialog(HWND owner, const std::u16string& text, const std::u16string& caption,
                            uint32_t style, std::optional<int32_t> scripted) {
  DialogTemplate t = MessageBoxTemplate(text, caption, style);
  // A task-modal box without an owner holds every other window of the program.
  std::vector<HWND> held;
  if (!owner && (style & MB_TASKMODAL)) {
    for (HWND top : WindowManager::Instance().TopLevels()) {
      if (IsWindowEnabled(top)) held.push_back(top);
    }
    for (HWND top : held) EnableWindow(top, 0);
  }
  // However the box's loop is left (an exception from a window's procedure too), the held windows
  // are given back.
  struct Release {
    const std::vector<HWND>& windows;
    ~Release() {
      for (HWND top : windows) {
        if (IsWindow(top)) EnableWindow(top, 1);
      }
      // The box went while they were held, so none could take the activation over: the topmost shown
      // one takes it now, and with it the keys.
      if (GetActiveWindow() != nullptr) return;
      for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (IsWindow(*it) && IsWindowVisible(*it)) {
          SetActiveWindow(*it);
          return;
        }
      }
    }
  } release{held};
  BoxRun run{style, scripted};
  INT_PTR answer = DialogBoxIndirectParamW(nullptr, &t, owner, BoxProc, reinterpret_cast<LPARAM>(&run));
  return answer < 0 ? 0 : static_cast<int32_t>(answer);
}

}  // namespace plat
