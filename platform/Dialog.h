#pragma once
// The dialog manager: dialogs made from templates (DialogTemplate.h) in dialog units, modal with their
// owner disabled or modeless, the dialog keyboard (Tab and Shift+Tab between WS_TABSTOP items, arrows
// within a WS_GROUP group, Enter for the default push button, Esc and the close box for IDCANCEL,
// each item asked first with WM_GETDLGCODE) and the item helpers, under the platform's names.
//
// A modal loop runs GetMessage like any loop; in the headless driver a test answers it from its idle
// script (typing into items, pressing keys, or calling EndDialog).

#include <string>

#include "platform/Cursors.h"
#include "platform/DialogTemplate.h"
#include "platform/MessageBox.h"
#include "platform/WindowTypes.h"

namespace plat {

using INT_PTR = intptr_t;
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

// Dialog messages. WM_NEXTDLGCTL moves the focus: with lParam's low word set, to the item wParam;
// otherwise to the next tab stop (the previous one when wParam is not 0).
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr WORD DC_HASDEFID = 0x534B;

// The window class of dialogs.
inline constexpr const char* kDialogClassName = "#32770";

// A template named by number travels as a pointer whose value is the number.
inline const char16_t* MAKEINTRESOURCEW(uint16_t id) {
  return reinterpret_cast<const char16_t*>(static_cast<uintptr_t>(id));
}

// ---- Making and running dialogs. `name` is a template id (MAKEINTRESOURCE) or a name; the instance
// is not needed (one module) and may be null. A template that is missing or malformed, or an item of
// a class nobody registered, gives -1 (modal) or null (modeless).
INT_PTR DialogBoxParamA(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxParamW(HINSTANCE instance, const char16_t* name, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
HWND CreateDialogParamA(HINSTANCE instance, const char* name, HWND owner, DLGPROC proc, LPARAM param);
HWND CreateDialogParamW(HINSTANCE instance, const char16_t* name, HWND owner, DLGPROC proc, LPARAM param);
HWND CreateDialogIndirectParamW(HINSTANCE instance, const DialogTemplate* dialog, HWND owner, DLGPROC proc,
                                LPARAM param);
// Ends a modal dialog with `result` (its loop returns it) once the current message is handled; hides
// the dialog. False for a window that is not a dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
// Handles `msg` when it is for the dialog or one of its items (the dialog keyboard, then dispatch);
// answers whether it did.
BOOL IsDialogMessageW(HWND dialog, MSG* msg);
BOOL IsDialogMessageA(HWND dialog, MSG* msg);
// What the dialog class does with messages its procedure leaves (answers 0 to).
LRESULT DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// ---- Units. Base units of the dialog's font: x = average character width, y = character height.
// A dialog unit is a quarter of the x base unit across and an eighth of the y base unit down.
BOOL MapDialogRect(HWND dialog, RECT* rect);
// The base units of the default dialog font (MS Sans Serif 8): low word x, high word y.
int32_t GetDialogBaseUnits();

// ---- Items.
HWND GetDlgItem(HWND dialog, int32_t id);
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
BOOL SetDlgItemTextW(HWND dialog, int32_t id, const char16_t* text);
BOOL SetDlgItemTextA(HWND dialog, int32_t id, const char* text);
UINT GetDlgItemTextW(HWND dialog, int32_t id, char16_t* buffer, int32_t size);
UINT GetDlgItemTextA(HWND dialog, int32_t id, char* buffer, int32_t size);
BOOL SetDlgItemInt(HWND dialog, int32_t id, UINT value, BOOL isSigned);
// The item's text as a number: blanks around it, a '-' when signed, digits only. `translated` tells
// whether it was one (0 is answered when not, and for numbers out of range).
UINT GetDlgItemInt(HWND dialog, int32_t id, BOOL* translated, BOOL isSigned);
BOOL CheckDlgButton(HWND dialog, int32_t id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int32_t id);
BOOL CheckRadioButton(HWND dialog, int32_t first, int32_t last, int32_t check);
LRESULT SendDlgItemMessageW(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam);
// Narrow texts of the list, combo and edit messages are widened (and read back narrowed) here.
LRESULT SendDlgItemMessageA(HWND dialog, int32_t id, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace plat
