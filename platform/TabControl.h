#pragma once
// The tab control (class "SysTabControl32"): a row of tabs along the top of a bordered page area.
// Clicking a tab, or Left / Right while the control has the focus, changes the current tab: the
// parent first gets WM_NOTIFY with TCN_SELCHANGING (a non-zero answer keeps the old tab), then
// TCN_SELCHANGE. TCM_SETCURSEL changes it without notifications; TCM_SETCURFOCUS moves the focus tab
// and, as the platform does for tabs that are not buttons, the selection with its notifications.

#include <cstdint>

#include "platform/WindowTypes.h"

namespace plat {

constexpr const char* kTabControlClass = "SysTabControl32";

constexpr UINT TCM_FIRST = 0x1300;
constexpr UINT TCM_GETITEMCOUNT = TCM_FIRST + 4;
constexpr UINT TCM_GETITEMA = TCM_FIRST + 5;
constexpr UINT TCM_SETITEMA = TCM_FIRST + 6;
constexpr UINT TCM_INSERTITEMA = TCM_FIRST + 7;
constexpr UINT TCM_DELETEITEM = TCM_FIRST + 8;
constexpr UINT TCM_DELETEALLITEMS = TCM_FIRST + 9;
constexpr UINT TCM_GETITEMRECT = TCM_FIRST + 10;
constexpr UINT TCM_GETCURSEL = TCM_FIRST + 11;
constexpr UINT TCM_SETCURSEL = TCM_FIRST + 12;
constexpr UINT TCM_HITTEST = TCM_FIRST + 13;
constexpr UINT TCM_ADJUSTRECT = TCM_FIRST + 40;
constexpr UINT TCM_GETCURFOCUS = TCM_FIRST + 47;
constexpr UINT TCM_SETCURFOCUS = TCM_FIRST + 48;
constexpr UINT TCM_GETITEMW = TCM_FIRST + 60;
constexpr UINT TCM_SETITEMW = TCM_FIRST + 61;
constexpr UINT TCM_INSERTITEMW = TCM_FIRST + 62;

constexpr UINT TCN_SELCHANGE = static_cast<UINT>(-551);
constexpr UINT TCN_SELCHANGING = static_cast<UINT>(-552);

constexpr UINT TCIF_TEXT = 0x0001;
constexpr UINT TCIF_IMAGE = 0x0002;
constexpr UINT TCIF_PARAM = 0x0008;

constexpr int32_t kTabRowHeight = 20;  // pixels

template <class Char>
struct TabItemOf {
  UINT mask = 0;
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  Char* pszText = nullptr;
  int32_t cchTextMax = 0;
  int32_t iImage = -1;
  LPARAM lParam = 0;
};
using TCITEMA = TabItemOf<char>;
using TCITEMW = TabItemOf<char16_t>;

struct TCHITTESTINFO {
  POINT pt;
  UINT flags = 0;
};

void RegisterTabControlClass();

}  // namespace plat
