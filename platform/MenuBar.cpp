#include "platform/MenuBar.h"

#include <algorithm>
#include <cctype>

#include "platform/ControlsDrawing.h"
#include "platform/Gdi.h"
#include "platform/MenuResource.h"
#include "platform/WindowApi.h"
#include "platform/WindowManager.h"

namespace plat {
namespace {

// The menu colours of the classic scheme (kept pictures of windows with a menu bar depend on them).
constexpr COLORREF kMenuFace = RGB(192, 192, 192);
constexpr COLORREF kHotFace = RGB(0, 0, 128);
constexpr COLORREF kHotText = kSelectionTextColor;
constexpr COLORREF kText = kTextColor;
constexpr COLORREF kGreyText = kGrayTextColor;
constexpr COLORREF kShadow = kShadowColor;
constexpr COLORREF kLight = kLightColor;
constexpr int32_t kBarItemPadding = 8;  // each side of a bar item's text
constexpr int32_t kCheckColumn = 18;    // left of a popup item's text
constexpr int32_t kKeyGap = 24;         // between an item's text and its key name
constexpr int32_t kArrowColumn = 16;    // right of a popup item's text

// The menu font, made once for the process and never freed (like the platform's stock fonts).
HFONT MenuFont() {
  static HFONT font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
  return font;
}

int32_t TextWidth(HDC dc, const std::u16string& text) {
  SIZE size;
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int32_t>(text.size()), &size);
  return size.cx;
}

// A context for measuring text only.
struct MeasureDc {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, MenuFont());
  MeasureDc() = default;
  ~MeasureDc() {
    SelectObject(dc, old);
    DeleteDC(dc);
  }
  MeasureDc(const MeasureDc&) = delete;
  MeasureDc& operator=(const MeasureDc&) = delete;
};

void Fill(HDC dc, RECT r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Line(HDC dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Text(HDC dc, const std::u16string& text, RECT r, UINT align, COLORREF color) {
  SetTextColor(dc, color);
  SetBkMode(dc, TRANSPARENT);
  DrawTextW(dc, text.c_str(), static_cast<int32_t>(text.size()), &r,
            align | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// Splits "Text\tKey" into its two parts.
void SplitKey(const std::u16string& text, std::u16string& label, std::u16string& key) {
  size_t tab = text.find(u'\t');
  label = StripMnemonic(tab == std::u16string::npos ? text : text.substr(0, tab));
  key = tab == std::u16string::npos ? std::u16string() : text.substr(tab + 1);
}

int32_t ItemHeight(const MenuItem& item) {
  return item.type == MFT_SEPARATOR ? kMenuSeparatorHeight : kMenuItemHeight;
}

RECT BarRectOnScreen(HWND frame, const WindowRecord& w) {
  POINT origin = WindowManager::Instance().ClientToScreen(frame, {0, 0});
  RECT client = WindowManager::Instance().ClientRect(w);
  return {origin.x, origin.y - kMenuBarRowHeight, origin.x + client.right, origin.y};
}

}  // namespace

std::u16string StripMnemonic(const std::u16string& text, char16_t* mnemonic) {
  std::u16string out;
  if (mnemonic) *mnemonic = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&' || i + 1 >= text.size()) {
      out.push_back(text[i]);
      continue;
    }
    ++i;
    if (text[i] != u'&' && mnemonic && !*mnemonic) {
      char16_t c = text[i];
      *mnemonic = c < 128 ? static_cast<char16_t>(std::tolower(c)) : c;
    }
    out.push_back(text[i]);
  }
  return out;
}

int32_t FindMnemonic(HMENU menu, char16_t key) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return -1;
  char16_t wanted = key < 128 ? static_cast<char16_t>(std::tolower(key)) : key;
  for (size_t i = 0; i < m->items.size(); ++i) {
    char16_t mnemonic = 0;
    StripMnemonic(m->items[i].text, &mnemonic);
    if (mnemonic && mnemonic == wanted) return static_cast<int32_t>(i);
  }
  return -1;
}

std::vector<RECT> MenuBarItemRects(HWND frame) {
  std::vector<RECT> rects;
  WindowRecord* w = WindowManager::Instance().Find(frame);
  if (!w || (w->style & WS_CHILD)) return rects;
  MenuObject* m = LiveMenu(w->menu);
  if (!m) return rects;
  RECT bar = BarRectOnScreen(frame, *w);
  MeasureDc measure;
  int32_t x = bar.left;
  for (const MenuItem& item : m->items) {
    int32_t width = TextWidth(measure.dc, StripMnemonic(item.text)) + 2 * kBarItemPadding;
    rects.push_back({x, bar.top, x + width, bar.bottom});
    x += width;
  }
  return rects;
}

int32_t MenuBarItemAt(HWND frame, POINT screen) {
  std::vector<RECT> rects = MenuBarItemRects(frame);
  for (size_t i = 0; i < rects.size(); ++i) {
    const RECT& r = rects[i];
    if (screen.x >= r.left && screen.x < r.right && screen.y >= r.top && screen.y < r.bottom) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void PaintMenuBar(HWND frame, int32_t hot) {
  WindowRecord* w = WindowManager::Instance().Find(frame);
  if (!w || !w->surface || !LiveMenu(w->menu)) return;
  RECT bar = BarRectOnScreen(frame, *w);
  POINT origin{bar.left - w->rect.left, bar.top - w->rect.top};
  RECT area{0, 0, bar.right - bar.left, bar.bottom - bar.top};
  // A frame without a client width yet (made at no size, to be placed later) shows no bar: laying its
  // items out would only measure texts that no pixel shows.
  if (area.right <= 0 || area.bottom <= 0) return;
  MenuObject* menu = LiveMenu(w->menu);
  MenuBarLook look{w->menu,
                   RECT{origin.x, origin.y, origin.x + area.right, origin.y + area.bottom},
                   w->surface->Width(),
                   w->surface->Height(),
                   hot,
                   {}};
  for (const MenuItem& item : menu->items) look.items.emplace_back(item.text, item.state);
  // Nothing else paints the bar's pixels, so an unchanged bar is already on the surface.
  if (look == w->menuBarLook) return;
  HDC dc = CreateSurfaceDC(*w->surface, origin, area);
  Fill(dc, area, kMenuFace);
  ScopedSelection font(dc, MenuFont());
  std::vector<RECT> rects = MenuBarItemRects(frame);
  MenuObject* m = LiveMenu(w->menu);
  for (size_t i = 0; i < rects.size() && i < m->items.size(); ++i) {
    RECT r{rects[i].left - bar.left, 0, rects[i].right - bar.left, area.bottom};
    bool isHot = static_cast<int32_t>(i) == hot;
    if (isHot) Fill(dc, r, kHotFace);
    bool grey = (m->items[i].state & (MF_GRAYED | MF_DISABLED)) != 0;
    Text(dc, StripMnemonic(m->items[i].text), r, DT_CENTER, isHot ? kHotText : grey ? kGreyText : kText);
  }
  ReleaseSurfaceDC(dc);
  w->menuBarLook = std::move(look);
}

SIZE PopupSize(HMENU menu) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return {0, 0};
  MeasureDc measure;
  int32_t labels = 0, keys = 0, height = 0;
  for (const MenuItem& item : m->items) {
    height += ItemHeight(item);
    std::u16string label, key;
    SplitKey(item.text, label, key);
    labels = std::max(labels, TextWidth(measure.dc, label));
    if (!key.empty()) keys = std::max(keys, TextWidth(measure.dc, key));
  }
  int32_t width = kCheckColumn + labels + (keys ? kKeyGap + keys : 0) + kArrowColumn;
  return {width + 2 * kPopupBorder, height + 2 * kPopupBorder};
}

RECT PopupItemRect(HMENU menu, int32_t position) {
  MenuObject* m = LiveMenu(menu);
  if (!m || position < 0 || position >= static_cast<int32_t>(m->items.size())) return {};
  SIZE size = PopupSize(menu);
  int32_t y = kPopupBorder;
  for (int32_t i = 0; i < position; ++i) y += ItemHeight(m->items[i]);
  return {kPopupBorder, y, size.cx - kPopupBorder, y + ItemHeight(m->items[position])};
}

int32_t PopupItemAt(HMENU menu, POINT local) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return -1;
  for (int32_t i = 0; i < static_cast<int32_t>(m->items.size()); ++i) {
    RECT r = PopupItemRect(menu, i);
    if (local.x >= r.left && local.x < r.right && local.y >= r.top && local.y < r.bottom) return i;
  }
  return -1;
}

void PaintPopup(HDC dc, HMENU menu, int32_t hot) {
  MenuObject* m = LiveMenu(menu);
  if (!m) return;
  SIZE size = PopupSize(menu);
  Fill(dc, {0, 0, size.cx, size.cy}, kMenuFace);
  Line(dc, 0, 0, size.cx - 1, 0, kLight);
  Line(dc, 0, 0, 0, size.cy - 1, kLight);
  Line(dc, size.cx - 1, 0, size.cx - 1, size.cy, kText);
  Line(dc, 0, size.cy - 1, size.cx, size.cy - 1, kText);
  ScopedSelection font(dc, MenuFont());
  for (int32_t i = 0; i < static_cast<int32_t>(m->items.size()); ++i) {
    const MenuItem& item = m->items[i];
    RECT r = PopupItemRect(menu, i);
    if (item.type == MFT_SEPARATOR) {
      int32_t mid = (r.top + r.bottom) / 2;
      Line(dc, r.left + 1, mid - 1, r.right - 1, mid - 1, kShadow);
      Line(dc, r.left + 1, mid, r.right - 1, mid, kLight);
      continue;
    }
    bool isHot = i == hot;
    bool grey = (item.state & (MF_GRAYED | MF_DISABLED)) != 0;
    if (isHot) Fill(dc, r, kHotFace);
    COLORREF color = isHot ? kHotText : grey ? kGreyText : kText;
    std::u16string label, key;
    SplitKey(item.text, label, key);
    Text(dc, label, {r.left + kCheckColumn, r.top, r.right, r.bottom}, DT_LEFT, color);
    if (!key.empty()) Text(dc, key, {r.left, r.top, r.right - kArrowColumn, r.bottom}, DT_RIGHT, color);
    int32_t mid = (r.top + r.bottom) / 2;
    if (item.state & MF_CHECKED) {  // a tick: two strokes, 2 pixels thick
      for (int32_t d = 0; d < 2; ++d) {
        Line(dc, r.left + 4, mid - 1 + d, r.left + 7, mid + 2 + d, color);
        Line(dc, r.left + 7, mid + 2 + d, r.left + 12, mid - 3 + d, color);
      }
    }
    if (item.submenu) {  // a small right-pointing triangle
      for (int32_t k = 0; k < 4; ++k)
        Line(dc, r.right - 10 + k, mid - 3 + k, r.right - 10 + k, mid + 4 - k, color);
    }
  }
}

void InstallMenuBarPart() {
  MenuBarPart part;
  part.height = kMenuBarRowHeight;
  part.classMenu = [](const WindowClassRecord& c) -> HMENU {
    if (!c.menuName.empty()) return LoadMenuResource(std::string_view(c.menuName));
    return c.menuId ? LoadMenuResource(c.menuId) : nullptr;
  };
  part.paint = [](HWND frame) { PaintMenuBar(frame, -1); };
  part.destroy = [](HMENU menu) { DestroyMenu(menu); };
  WindowManager::Instance().SetMenuBarPart(std::move(part));
}

}  // namespace plat
