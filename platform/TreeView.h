#pragma once
// The tree view control (class "SysTreeView32"): items in a hierarchy, each with a text, an image and
// a selected image from the control's normal image list, and a parameter that leads the program back
// to its own node. Items are expanded and collapsed by the program (TVM_EXPAND), by a click on an item
// of a single-expand tree (a click on its selected item toggles it), by a double click (which only
// opens in a single-expand tree), by the button of a tree with buttons, or by Left / Right; one item
// is selected (the caret).
//
// The parent hears, through WM_NOTIFY: TVN_SELCHANGING (a non-zero answer keeps the old selection)
// and TVN_SELCHANGED for every change of the selection, by the program too; TVN_ITEMEXPANDING (a
// non-zero answer refuses) and TVN_ITEMEXPANDED when the user expands or collapses; TVN_KEYDOWN for
// every key; NM_CLICK, NM_DBLCLK (a non-zero answer takes the double click) and NM_RETURN.
// The codes are the narrow ones unless the parent answers WM_NOTIFYFORMAT with NFR_UNICODE when the
// control is made, or CCM_SETUNICODEFORMAT asks for the wide ones; the records read alike either way.
//
// Rows that do not fit scroll: a vertical scroll bar along the right edge shows whenever they
// overflow (not with TVS_NOSCROLL) and moves them by rows and pages, the selection is always brought
// into view, and the mouse wheel moves three rows a notch.
//
// Item handles stay valid until their item is deleted; a deleted or foreign handle is refused.

#include <cstdint>

#include "platform/Controls.h"
#include "platform/WindowTypes.h"

namespace plat {

constexpr const char* kTreeViewClass = "SysTreeView32";

struct TreeItemTag;
using HTREEITEM = TreeItemTag*;

inline HTREEITEM const TVI_ROOT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x10000));
inline HTREEITEM const TVI_FIRST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFF));
inline HTREEITEM const TVI_LAST = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFE));
inline HTREEITEM const TVI_SORT = reinterpret_cast<HTREEITEM>(static_cast<intptr_t>(-0x0FFFD));

constexpr DWORD TVS_HASBUTTONS = 0x0001;
constexpr DWORD TVS_HASLINES = 0x0002;
constexpr DWORD TVS_LINESATROOT = 0x0004;
constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
constexpr DWORD TVS_SINGLEEXPAND = 0x0400;
constexpr DWORD TVS_NOSCROLL = 0x2000;
constexpr DWORD TVS_NOHSCROLL = 0x8000;

constexpr UINT TV_FIRST = 0x1100;
constexpr UINT TVM_INSERTITEMA = TV_FIRST + 0;
constexpr UINT TVM_DELETEITEM = TV_FIRST + 1;
constexpr UINT TVM_EXPAND = TV_FIRST + 2;
constexpr UINT TVM_GETITEMRECT = TV_FIRST + 4;
constexpr UINT TVM_GETCOUNT = TV_FIRST + 5;
constexpr UINT TVM_GETINDENT = TV_FIRST + 6;
constexpr UINT TVM_GETIMAGELIST = TV_FIRST + 8;
constexpr UINT TVM_SETIMAGELIST = TV_FIRST + 9;
constexpr UINT TVM_GETNEXTITEM = TV_FIRST + 10;
constexpr UINT TVM_SELECTITEM = TV_FIRST + 11;
constexpr UINT TVM_GETITEMA = TV_FIRST + 12;
constexpr UINT TVM_SETITEMA = TV_FIRST + 13;
constexpr UINT TVM_HITTEST = TV_FIRST + 17;
constexpr UINT TVM_ENSUREVISIBLE = TV_FIRST + 20;
constexpr UINT TVM_INSERTITEMW = TV_FIRST + 50;
constexpr UINT TVM_GETITEMW = TV_FIRST + 62;
constexpr UINT TVM_SETITEMW = TV_FIRST + 63;

constexpr UINT TVIF_TEXT = 0x0001;
constexpr UINT TVIF_IMAGE = 0x0002;
constexpr UINT TVIF_PARAM = 0x0004;
constexpr UINT TVIF_STATE = 0x0008;
constexpr UINT TVIF_HANDLE = 0x0010;
constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
constexpr UINT TVIF_CHILDREN = 0x0040;
constexpr UINT TVIS_SELECTED = 0x0002;
constexpr UINT TVIS_EXPANDED = 0x0020;

constexpr WPARAM TVE_COLLAPSE = 0x0001;
constexpr WPARAM TVE_EXPAND = 0x0002;
constexpr WPARAM TVE_TOGGLE = 0x0003;

constexpr WPARAM TVGN_ROOT = 0x0000;
constexpr WPARAM TVGN_NEXT = 0x0001;
constexpr WPARAM TVGN_PREVIOUS = 0x0002;
constexpr WPARAM TVGN_PARENT = 0x0003;
constexpr WPARAM TVGN_CHILD = 0x0004;
constexpr WPARAM TVGN_FIRSTVISIBLE = 0x0005;
constexpr WPARAM TVGN_NEXTVISIBLE = 0x0006;
constexpr WPARAM TVGN_PREVIOUSVISIBLE = 0x0007;
constexpr WPARAM TVGN_CARET = 0x0009;

constexpr WPARAM TVSIL_NORMAL = 0;
constexpr WPARAM TVSIL_STATE = 2;

constexpr UINT TVC_UNKNOWN = 0x0000;
constexpr UINT TVC_BYMOUSE = 0x0001;
constexpr UINT TVC_BYKEYBOARD = 0x0002;

constexpr UINT TVN_SELCHANGINGA = static_cast<UINT>(-401);
constexpr UINT TVN_SELCHANGEDA = static_cast<UINT>(-402);
constexpr UINT TVN_ITEMEXPANDINGA = static_cast<UINT>(-405);
constexpr UINT TVN_ITEMEXPANDEDA = static_cast<UINT>(-406);
constexpr UINT TVN_KEYDOWN = static_cast<UINT>(-412);
constexpr UINT TVN_SELCHANGINGW = static_cast<UINT>(-450);
constexpr UINT TVN_SELCHANGEDW = static_cast<UINT>(-451);
constexpr UINT TVN_ITEMEXPANDINGW = static_cast<UINT>(-454);
constexpr UINT TVN_ITEMEXPANDEDW = static_cast<UINT>(-455);
constexpr UINT NM_CLICK = static_cast<UINT>(-2);
constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
constexpr UINT NM_RETURN = static_cast<UINT>(-4);

constexpr UINT WM_NOTIFYFORMAT = 0x0055;
constexpr LPARAM NF_QUERY = 3;
constexpr LRESULT NFR_ANSI = 1;
constexpr LRESULT NFR_UNICODE = 2;

constexpr int32_t kTreeIndent = 19;      // pixels per level
constexpr int32_t kTreeItemHeight = 18;  // pixels per row
constexpr int32_t kTreeBarWidth = 16;    // pixels of the vertical scroll bar

template <class Char>
struct TreeItemOf {
  UINT mask = 0;
  HTREEITEM hItem = nullptr;
  UINT state = 0;
  UINT stateMask = 0;
  Char* pszText = nullptr;  // the text (set), or a buffer of cchTextMax characters (get)
  int32_t cchTextMax = 0;
  int32_t iImage = 0;
  int32_t iSelectedImage = 0;
  int32_t cChildren = 0;
  LPARAM lParam = 0;
};
using TVITEMA = TreeItemOf<char>;
using TVITEMW = TreeItemOf<char16_t>;

template <class Char>
struct TreeInsertOf {
  HTREEITEM hParent = nullptr;
  HTREEITEM hInsertAfter = nullptr;
  TreeItemOf<Char> item;
};
using TVINSERTSTRUCTA = TreeInsertOf<char>;
using TVINSERTSTRUCTW = TreeInsertOf<char16_t>;

struct NMTREEVIEWW {
  NMHDR hdr;
  UINT action = 0;
  TVITEMW itemOld;
  TVITEMW itemNew;
  POINT ptDrag;
};
using NMTREEVIEWA = NMTREEVIEWW;  // the texts are not passed, so both read alike

struct NMTVKEYDOWN {
  NMHDR hdr;
  WORD wVKey = 0;
  UINT flags = 0;
};

struct TVHITTESTINFO {
  POINT pt;
  UINT flags = 0;
  HTREEITEM hItem = nullptr;
};

void RegisterTreeViewClass();

}  // namespace plat
