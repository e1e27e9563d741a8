#pragma once
// The standard controls of the layer: "BUTTON", "STATIC", "EDIT", "COMBOBOX", "SCROLLBAR" and the
// rich-edit class "RichEdit20A", with the message numbers, styles and notification codes the program
// sends and compares (the platform's own values, written out by us), and the drawing helpers they share.
//
// The classes are registered by the desktop's reset (Desktop::Reset), once for each fresh desktop.

#include <string>

#include "platform/WindowTypes.h"

namespace plat {

// ---- Messages every control answers.
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;

// ---- WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// ---- Common item ids.
constexpr int32_t IDC_STATIC = -1;

// ---- Buttons.
constexpr DWORD BS_PUSHBUTTON = 0x0;
constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
constexpr DWORD BS_CHECKBOX = 0x2;
constexpr DWORD BS_AUTOCHECKBOX = 0x3;
constexpr DWORD BS_RADIOBUTTON = 0x4;
constexpr DWORD BS_3STATE = 0x5;
constexpr DWORD BS_AUTO3STATE = 0x6;
constexpr DWORD BS_GROUPBOX = 0x7;
constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
constexpr DWORD BS_OWNERDRAW = 0xB;
constexpr DWORD BS_TYPEMASK = 0xF;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;
constexpr WPARAM BST_UNCHECKED = 0;
constexpr WPARAM BST_CHECKED = 1;
constexpr WPARAM BST_INDETERMINATE = 2;
constexpr LRESULT BST_PUSHED = 0x4;
constexpr LRESULT BST_FOCUS = 0x8;
constexpr WORD BN_CLICKED = 0;

// Owner drawing (WM_DRAWITEM).
constexpr UINT ODT_BUTTON = 4;
constexpr UINT ODA_DRAWENTIRE = 0x1;
constexpr UINT ODA_SELECT = 0x2;
constexpr UINT ODA_FOCUS = 0x4;
constexpr UINT ODS_SELECTED = 0x1;
constexpr UINT ODS_DISABLED = 0x4;
constexpr UINT ODS_CHECKED = 0x8;
constexpr UINT ODS_FOCUS = 0x10;

struct DRAWITEMSTRUCT {
  UINT CtlType = 0;
  UINT CtlID = 0;
  UINT itemID = 0;
  UINT itemAction = 0;
  UINT itemState = 0;
  HWND hwndItem = nullptr;
  HDC hDC = nullptr;
  RECT rcItem;
  uintptr_t itemData = 0;
};

// ---- Statics.
constexpr DWORD SS_LEFT = 0x0;
constexpr DWORD SS_CENTER = 0x1;
constexpr DWORD SS_RIGHT = 0x2;
constexpr DWORD SS_ICON = 0x3;
constexpr DWORD SS_BLACKFRAME = 0x7;
constexpr DWORD SS_ETCHEDHORZ = 0x10;
constexpr DWORD SS_TYPEMASK = 0x1F;
constexpr DWORD SS_NOPREFIX = 0x80;
constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;

// ---- Edits (and the rich edit, which answers the same messages).
constexpr DWORD ES_LEFT = 0x0;
constexpr DWORD ES_CENTER = 0x1;
constexpr DWORD ES_RIGHT = 0x2;
constexpr DWORD ES_MULTILINE = 0x4;
constexpr DWORD ES_UPPERCASE = 0x8;
constexpr DWORD ES_PASSWORD = 0x20;
constexpr DWORD ES_AUTOVSCROLL = 0x40;
constexpr DWORD ES_AUTOHSCROLL = 0x80;
constexpr DWORD ES_READONLY = 0x800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETLINECOUNT = 0x00BA;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_SETPASSWORDCHAR = 0x00CC;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;
// Rich-edit messages.
constexpr UINT EM_EXLIMITTEXT = WM_USER + 53;      // 0x435
constexpr UINT EM_SETBKGNDCOLOR = WM_USER + 67;    // 0x443
constexpr UINT EM_SETCHARFORMAT = WM_USER + 68;    // 0x444
constexpr UINT EM_SETEVENTMASK = WM_USER + 69;     // 0x445
constexpr UINT EM_GETEVENTMASK = WM_USER + 59;     // 0x43B
constexpr UINT EM_STREAMIN = WM_USER + 73;         // 0x449
constexpr UINT EM_GETTEXTEX = WM_USER + 94;        // 0x45E
constexpr UINT EM_GETTEXTLENGTHEX = WM_USER + 95;  // 0x45F
constexpr UINT EM_SETTEXTEX = WM_USER + 97;        // 0x461
constexpr UINT CCM_SETUNICODEFORMAT = 0x2005;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;
constexpr UINT EN_MSGFILTER = 0x0700;
constexpr LPARAM ENM_CHANGE = 0x00000001;
constexpr LPARAM ENM_KEYEVENTS = 0x00010000;

// Rich-edit records.
struct NMHDR {
  HWND hwndFrom = nullptr;
  uintptr_t idFrom = 0;
  UINT code = 0;
};
struct MSGFILTER {
  NMHDR nmhdr;
  UINT msg = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
constexpr DWORD ST_DEFAULT = 0;
constexpr DWORD ST_SELECTION = 2;
struct SETTEXTEX {
  DWORD flags = 0;
  UINT codepage = 0;  // 1200: UTF-16
};
constexpr DWORD GT_DEFAULT = 0;
constexpr DWORD GTL_NUMBYTES = 0x10;
struct GETTEXTEX {
  DWORD cb = 0;  // bytes of the buffer
  DWORD flags = 0;
  UINT codepage = 0;
  const char* lpDefaultChar = nullptr;
  BOOL* lpUsedDefChar = nullptr;
};
struct GETTEXTLENGTHEX {
  DWORD flags = 0;
  UINT codepage = 0;
};
constexpr DWORD CFM_COLOR = 0x40000000;
constexpr WPARAM SCF_DEFAULT = 0;
constexpr WPARAM SCF_ALL = 4;
struct CHARFORMATA {
  UINT cbSize = 60;
  DWORD dwMask = 0;
  DWORD dwEffects = 0;
  int32_t yHeight = 0;
  int32_t yOffset = 0;
  COLORREF crTextColor = 0;
  BYTE bCharSet = 0;
  BYTE bPitchAndFamily = 0;
  char szFaceName[32] = {};
};
constexpr WPARAM SF_TEXT = 1;
using EDITSTREAMCALLBACK = DWORD (*)(uintptr_t cookie, BYTE* buffer, int32_t count, int32_t* done);
struct EDITSTREAM {
  uintptr_t dwCookie = 0;
  DWORD dwError = 0;
  EDITSTREAMCALLBACK pfnCallback = nullptr;
};

// ---- Combo boxes (the drop-down list kind).
constexpr DWORD CBS_SIMPLE = 0x1;
constexpr DWORD CBS_DROPDOWN = 0x2;
constexpr DWORD CBS_DROPDOWNLIST = 0x3;
constexpr DWORD CBS_SORT = 0x100;
constexpr DWORD CBS_HASSTRINGS = 0x200;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr LRESULT CB_ERR = -1;
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;

// ---- List boxes (one selection, with a vertical scroll bar when the entries outgrow the box).
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_RESETCONTENT = 0x0184;
constexpr UINT LB_SETCURSEL = 0x0186;
constexpr UINT LB_GETCURSEL = 0x0188;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETTEXTLEN = 0x018A;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETTOPINDEX = 0x018E;
constexpr UINT LB_SETTOPINDEX = 0x0197;
constexpr UINT LB_GETITEMRECT = 0x0198;  // lParam: RECT*, in client coordinates
constexpr LRESULT LB_ERR = -1;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;

// ---- Scroll bars.
constexpr DWORD SBS_HORZ = 0x0;
constexpr DWORD SBS_VERT = 0x1;
constexpr int32_t SB_HORZ = 0;
constexpr int32_t SB_VERT = 1;
constexpr int32_t SB_CTL = 2;
constexpr int32_t SB_BOTH = 3;

constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_ENDSCROLL = 8;

constexpr UINT SBM_SETPOS = 0x00E0;
constexpr UINT SBM_GETPOS = 0x00E1;
constexpr UINT SBM_SETRANGE = 0x00E2;
constexpr UINT SBM_GETRANGE = 0x00E3;
constexpr UINT SBM_ENABLE_ARROWS = 0x00E4;
constexpr UINT SBM_SETRANGEREDRAW = 0x00E6;
constexpr UINT SBM_SETSCROLLINFO = 0x00E9;
constexpr UINT SBM_GETSCROLLINFO = 0x00EA;

constexpr UINT SIF_RANGE = 0x1;
constexpr UINT SIF_PAGE = 0x2;
constexpr UINT SIF_POS = 0x4;
constexpr UINT SIF_DISABLENOSCROLL = 0x8;
constexpr UINT SIF_TRACKPOS = 0x10;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

constexpr UINT ESB_ENABLE_BOTH = 0;
constexpr UINT ESB_DISABLE_BOTH = 3;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int32_t nMin = 0;
  int32_t nMax = 0;
  UINT nPage = 0;
  int32_t nPos = 0;
  int32_t nTrackPos = 0;
};

// Scroll-bar calls; only bars that are controls (SB_CTL) exist in the layer, so `bar` must be SB_CTL.
int32_t SetScrollInfo(HWND window, int32_t bar, const SCROLLINFO* info, BOOL redraw);
BOOL GetScrollInfo(HWND window, int32_t bar, SCROLLINFO* info);
int32_t SetScrollPos(HWND window, int32_t bar, int32_t position, BOOL redraw);
int32_t GetScrollPos(HWND window, int32_t bar);
BOOL SetScrollRange(HWND window, int32_t bar, int32_t minimum, int32_t maximum, BOOL redraw);
BOOL GetScrollRange(HWND window, int32_t bar, int32_t* minimum, int32_t* maximum);
BOOL EnableScrollBar(HWND window, UINT bar, UINT arrows);
BOOL ShowScrollBar(HWND window, int32_t bar, BOOL show);

// ---- Icons a static may show (the platform's stock icon ids).
constexpr uintptr_t IDI_HAND = 32513;
constexpr uintptr_t IDI_QUESTION = 32514;
constexpr uintptr_t IDI_EXCLAMATION = 32515;
constexpr uintptr_t IDI_ASTERISK = 32516;
HICON LoadIconA(HINSTANCE instance, const char* name);  // stock icons only: MAKEINTRESOURCE of an IDI_ id

// ---- Registration.
// Registers the standard control classes when they are not yet registered; cheap when they are.
void EnsureStandardControlClasses();

}  // namespace plat
