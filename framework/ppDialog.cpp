#include "framework/ppDialog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "database/ppDatafile.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/ProcessServices.h"
#include "foundation/ResourceAccess.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppSweeper.h"
#include "framework/ppTabPages.h"
#include "platform/Controls.h"
#include "platform/ScreenMetrics.h"
#include "platform/TabControl.h"
#include "platform/WindowApi.h"

using namespace plat;

namespace {

constexpr int32_t kMaxTitle = 256;

const char16_t* TemplateName(int32_t id) { return MAKEINTRESOURCEW(static_cast<uint16_t>(id)); }

}  // namespace

ppDialog::ppDialog(int32_t templateId, HWND owner)
    : templateId_(templateId), owner_(owner ? owner : GetActiveWindow()) {}

ppDialog::~ppDialog() {
  if (window_ && IsWindow(window_)) {
    RemovePropA(window_, kProperty);
    DestroyWindow(window_);
  }
  delete tabPages_;
}

HINSTANCE ppDialog::Instance() { return gApplication ? gApplication->GetInstance() : nullptr; }

HWND ppDialog::GetOwnerWindow() { return owner_; }

void ppDialog::EndModal() { EndDialog(window_, 1); }

int32_t ppDialog::RunModal() {
  result_ = kRunning;
  int32_t r = DialogBox();
  if (owner_) SetActiveWindow(owner_);
  return r;
}

int32_t ppDialog::DialogBox() {
  auto param = reinterpret_cast<LPARAM>(this);
  if (IsWidePlatform()) {
    return static_cast<int32_t>(
        DialogBoxParamW(Instance(), TemplateName(templateId_), owner_, DialogProc, param));
  }
  return static_cast<int32_t>(DialogBoxParamA(
      Instance(), reinterpret_cast<const char*>(TemplateName(templateId_)), owner_, DialogProc, param));
}

void ppDialog::CreateModeless() {
  if (!window_) {
    auto param = reinterpret_cast<LPARAM>(this);
    HWND made = IsWidePlatform()
                    ? CreateDialogParamW(Instance(), TemplateName(templateId_), owner_, DialogProc, param)
                    : CreateDialogParamA(Instance(), reinterpret_cast<const char*>(TemplateName(templateId_)),
                                         owner_, DialogProc, param);
    if (made) window_ = made;
  }
  if (window_) ShowWindow(window_, SW_SHOWNORMAL);
}

void ppDialog::Destroy() {
  if (!window_) return;
  ShowWindow(window_, SW_HIDE);
  DestroyWindow(window_);
  window_ = nullptr;
}

void ppDialog::OnInitDialog() {}
void ppDialog::AfterInitDialog() {}
bool ppDialog::ValidateOK() { return true; }
void ppDialog::Cancel() {}
void ppDialog::Command(int32_t, int32_t) {}

void ppDialog::DrawItem(int32_t, const RECT* rect, ppDC* dc) {
  ppBrushSaver brushes(*dc);
  dc->SetGray(100);
  dc->FillRect(*rect);
}

// ---- The dialog procedure.

INT_PTR ppDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<ppDialog*>(lParam);
    if (dialog) {
      dialog->window_ = window;
      SetPropA(window, kProperty, dialog);
    }
  }
  auto* dialog = static_cast<ppDialog*>(GetPropA(window, kProperty));
  if (message == WM_DESTROY) {
    RemovePropA(window, kProperty);
    if (dialog && dialog->window_ == window) dialog->window_ = nullptr;
  }
  if (!dialog) return 0;
  return dialog->HandleDialogMessage(message, wParam, lParam);
}

void ppDialog::CenterOn(HWND window, HWND reference) {
  RECT outer;
  if (!GetWindowRect(reference ? reference : GetDesktopWindow(), &outer)) {
    outer = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};  // the desktop
  }
  RECT own;
  GetWindowRect(window, &own);
  const int32_t width = own.right - own.left;
  const int32_t height = own.bottom - own.top;
  const int32_t left = outer.left + ((outer.right - outer.left) - width) / 2;
  const int32_t top = outer.top + ((outer.bottom - outer.top) - height) / 2;
  SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

INT_PTR ppDialog::HandleDialogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      CenterOn(window_, owner_);
      ownFirstFocus_ = false;
      OnInitDialog();
      AfterInitDialog();
      // 0 tells the dialog manager that the focus is placed already.
      return ownFirstFocus_ ? 0 : 1;
    case WM_COMMAND:
      return HandleCommand(wParam, lParam);
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header && header->code == TCN_SELCHANGE && tabPages_) {
        auto index = static_cast<int32_t>(SendMessageW(tabPages_->TabControl(), TCM_GETCURSEL, 0, 0));
        tabPages_->SelectPage(index);
      }
      return 0;
    }
    case WM_DRAWITEM:
      return HandleDrawItem(lParam);
    case ppSweeper::kMessage:
      ppSweeper::RunAndDelete(lParam);
      return 1;
    default:
      return 0;
  }
}

INT_PTR ppDialog::HandleCommand(WPARAM wParam, LPARAM lParam) {
  const int32_t id = LOWORD(wParam);
  const int32_t code = HIWORD(wParam);
  if (id == IDOK) {
    if (!ValidateOK()) return 1;
    result_ = kConfirmed;
    EndDialog(window_, 1);
  } else if (id == IDCANCEL) {
    Cancel();
    result_ = kCancelled;
    EndDialog(window_, 2);
  } else if (code == 0 || code == 1 || code == EN_CHANGE) {
    Command(id, PageOfControl(reinterpret_cast<HWND>(lParam)));
  }
  return 0;
}

INT_PTR ppDialog::HandleDrawItem(LPARAM lParam) {
  auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
  if (!item) return 0;
  // The item's area of its context: what it may draw into.
  ppRegion clip(item->rcItem);
  ppDC dc(item->hDC, item->hwndItem, clip.Handle());
  DrawItem(static_cast<int32_t>(item->CtlID), &item->rcItem, &dc);
  return 1;
}

// ---- Caption.

void ppDialog::SetTitle(const Vcon::WString& text) {
  if (!window_) return;
  if (IsWidePlatform()) {
    SetWindowTextW(window_, text.c_str());
  } else {
    SetWindowTextA(window_, text.Narrow().c_str());
  }
}

void ppDialog::GetTitle(Vcon::WString& text, int32_t maxLength) {
  const int32_t length = std::clamp(maxLength, 0, kMaxTitle);
  std::vector<char16_t> buffer(size_t(length) + 1, u'\0');
  if (window_) GetWindowTextW(window_, buffer.data(), length + 1);
  text = buffer.data();
}

// ---- Items.

HWND ppDialog::GetPageWindow(int32_t page) {
  if (page == kSelf || !tabPages_) return window_;
  ppTabPage* tab = tabPages_->PageAt(page);
  return tab ? tab->Window() : nullptr;
}

HWND ppDialog::GetItem(int32_t id, int32_t page) { return GetDlgItem(GetPageWindow(page), id); }

void ppDialog::SetItemText(const Vcon::WString& text, int32_t id, int32_t page) {
  if (IsWidePlatform()) {
    SetDlgItemTextW(GetPageWindow(page), id, text.c_str());
  } else {
    SetDlgItemTextA(GetPageWindow(page), id, text.Narrow().c_str());
  }
}

void ppDialog::GetItemText(Vcon::WString& text, int32_t id, int32_t page) {
  HWND item = GetItem(id, page);
  text.clear();
  if (!item) return;
  auto length = static_cast<int32_t>(SendMessageW(item, WM_GETTEXTLENGTH, 0, 0));
  std::vector<char16_t> buffer(size_t(std::max(length, 0)) + 1, u'\0');
  GetWindowTextW(item, buffer.data(), static_cast<int32_t>(buffer.size()));
  text = buffer.data();
}

void ppDialog::SetItemInt(int32_t value, int32_t id, int32_t page) {
  SetDlgItemInt(GetPageWindow(page), id, static_cast<UINT>(value), 1);
}

bool ppDialog::GetItemInt(int32_t& value, int32_t id, int32_t page) {
  BOOL translated = 0;
  value = static_cast<int32_t>(GetDlgItemInt(GetPageWindow(page), id, &translated, 1));
  return translated != 0;
}

void ppDialog::SetItemFloat(float value, int32_t decimals, int32_t id, int32_t page) {
  char text[400];
  if (decimals >= 0 && decimals <= 6) {
    std::snprintf(text, sizeof text, "%.*f", static_cast<int>(decimals), static_cast<double>(value));
  } else {
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  }
  SetDlgItemTextA(GetPageWindow(page), id, text);
}

void ppDialog::GetItemFloat(float& value, int32_t id, int32_t page) {
  char text[kMaxTitle + 1] = {};
  GetDlgItemTextA(GetPageWindow(page), id, text, kMaxTitle);
  value = static_cast<float>(std::strtod(text, nullptr));
}

void ppDialog::AddComboString(int32_t id, const Vcon::WString& text, int32_t page) {
  SendDlgItemMessageW(GetPageWindow(page), id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void ppDialog::FillComboFromStrings(int32_t id, int32_t list, int32_t count, int32_t page) {
  for (int32_t i = 1; i <= count; ++i) {
    Vcon::WString text;
    GetStringArrayText(text, static_cast<uint16_t>(list), i);
    AddComboString(id, text, page);
  }
}

void ppDialog::FillComboFromTable(int32_t id, ppDatafile* table, int32_t selectedRecordId, int32_t page) {
  SendDlgItemMessageW(GetPageWindow(page), id, CB_RESETCONTENT, 0, 0);
  if (!table) return;
  for (int32_t i = 0; i < table->GetSelectedCount(); ++i) {
    table->ReadRecordAt(i, nullptr);
    Vcon::String text;
    table->GetDisplayText(text, table->GetRecordBuffer());
    AddComboString(id, Vcon::WString(text), page);
    if (table->RecordIdAt(i) == selectedRecordId) SetComboSelection(i, id, page);
  }
}

int32_t ppDialog::GetComboSelection(int32_t id, int32_t page) {
  return static_cast<int32_t>(SendDlgItemMessageW(GetPageWindow(page), id, CB_GETCURSEL, 0, 0));
}

void ppDialog::SetComboSelection(int32_t index, int32_t id, int32_t page) {
  SendDlgItemMessageW(GetPageWindow(page), id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void ppDialog::CheckItem(int32_t id, int32_t page) { CheckDlgButton(GetPageWindow(page), id, BST_CHECKED); }
void ppDialog::UncheckItem(int32_t id, int32_t page) {
  CheckDlgButton(GetPageWindow(page), id, BST_UNCHECKED);
}
bool ppDialog::IsItemChecked(int32_t id, int32_t page) {
  return IsDlgButtonChecked(GetPageWindow(page), id) == BST_CHECKED;
}

void ppDialog::SetItemReadOnly(int32_t id, bool readOnly, int32_t page) {
  SendDlgItemMessageW(GetPageWindow(page), id, EM_SETREADONLY, readOnly ? 1 : 0, 0);
}

void ppDialog::EnableItem(int32_t id, int32_t page) { EnableWindow(GetItem(id, page), 1); }
void ppDialog::DisableItem(int32_t id, int32_t page) { EnableWindow(GetItem(id, page), 0); }

void ppDialog::RedrawItem(int32_t id, int32_t page) {
  HWND item = GetItem(id, page);
  if (!item) return;
  RECT r;
  GetClientRect(item, &r);
  r = {r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
  InvalidateRect(item, &r, 0);
}

void ppDialog::SetFirstFocus(HWND item) {
  if (item == nullptr) return;
  SetFocus(item);
  ownFirstFocus_ = true;
}

void ppDialog::ReportFieldError(int32_t id, int32_t list, int32_t index, int32_t page) {
  MessageBeep(0);
  Vcon::String text;
  GetStringArrayItemNarrow(text, static_cast<uint16_t>(list), index);
  MessageBoxA(window_, text.c_str(), nullptr, MB_ICONHAND | MB_TASKMODAL);
  HWND item = GetItem(id, page);
  if (!item) return;
  SetFocus(item);
  SendMessageW(item, EM_SETSEL, 0, static_cast<LPARAM>(-1));
}

int32_t ppDialog::PageOfControl(HWND control) {
  if (!tabPages_) return -1;
  return tabPages_->PageOfWindow(control);
}

void ppDialog::SetTabPages(ppTabPages* pages) {
  if (pages != tabPages_) delete tabPages_;
  tabPages_ = pages;
}
