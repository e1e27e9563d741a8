#include "platform/Static.h"

#include <cstdlib>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/Cursors.h"

namespace plat {

namespace {
constexpr const char* kIconProperty = "static.icon";
constexpr int32_t kIconSize = 32;

// The icon a static of style SS_ICON shows: the one set, else the one its text names as "#<id>".
HICON IconOf(HWND window) {
  if (auto* icon = static_cast<HICON>(GetPropA(window, kIconProperty))) return icon;
  std::u16string text = WindowText(window);
  if (text.size() < 2 || text[0] != u'#') return nullptr;
  std::string digits(text.begin() + 1, text.end());
  return LoadIconA(nullptr, MAKEINTRESOURCEA(static_cast<uint16_t>(std::atoi(digits.c_str()))));
}

void Disc(HDC dc, int32_t x, int32_t y, COLORREF fill) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, kDarkShadowColor);
  {
    ScopedSelection b(dc, brush), p(dc, pen);
    Ellipse(dc, x + 1, y + 1, x + kIconSize - 1, y + kIconSize - 1);
  }
  DeleteObject(brush);
  DeleteObject(pen);
}

void Glyph(HDC dc, int32_t x, int32_t y, const char16_t* glyph, COLORREF color) {
  HFONT font = CreateFontA(-22, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  {
    ScopedSelection f(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    RECT box = {x, y + 2, x + kIconSize, y + kIconSize};
    DrawTextW(dc, glyph, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  DeleteObject(font);
}
}  // namespace

HICON LoadIconA(HINSTANCE, const char* name) {
  static CursorObject hand{static_cast<uint16_t>(IDI_HAND), "IDI_HAND"};
  static CursorObject question{static_cast<uint16_t>(IDI_QUESTION), "IDI_QUESTION"};
  static CursorObject exclamation{static_cast<uint16_t>(IDI_EXCLAMATION), "IDI_EXCLAMATION"};
  static CursorObject asterisk{static_cast<uint16_t>(IDI_ASTERISK), "IDI_ASTERISK"};
  if (!IS_INTRESOURCE(name)) return nullptr;
  switch (reinterpret_cast<uintptr_t>(name)) {
    case IDI_HAND:
      return &hand;
    case IDI_QUESTION:
      return &question;
    case IDI_EXCLAMATION:
      return &exclamation;
    case IDI_ASTERISK:
      return &asterisk;
    default:
      return nullptr;
  }
}

void Static::DrawStockIcon(HDC dc, HICON icon, int32_t x, int32_t y) {
  if (!icon) return;
  switch (icon->systemId) {
    case IDI_HAND:
      Disc(dc, x, y, RGB(200, 0, 0));
      Glyph(dc, x, y, u"X", kLightColor);
      break;
    case IDI_QUESTION:
      Disc(dc, x, y, RGB(0, 64, 192));
      Glyph(dc, x, y, u"?", kLightColor);
      break;
    case IDI_EXCLAMATION: {
      POINT triangle[3] = {
          {x + kIconSize / 2, y + 1}, {x + kIconSize - 1, y + kIconSize - 2}, {x + 1, y + kIconSize - 2}};
      HBRUSH brush = CreateSolidBrush(RGB(255, 210, 0));
      HPEN pen = CreatePen(PS_SOLID, 1, kDarkShadowColor);
      {
        ScopedSelection b(dc, brush), p(dc, pen);
        Polygon(dc, triangle, 3);
      }
      DeleteObject(brush);
      DeleteObject(pen);
      Glyph(dc, x, y + 2, u"!", kTextColor);
      break;
    }
    default:
      Disc(dc, x, y, kLightColor);
      Glyph(dc, x, y, u"i", RGB(0, 64, 192));
      break;
  }
}

void Static::Paint(HWND window, HDC dc) {
  RECT client;
  GetClientRect(window, &client);
  auto style = static_cast<DWORD>(GetWindowLongPtrA(window, GWL_STYLE));
  DWORD kind = style & SS_TYPEMASK;
  if (kind == SS_BLACKFRAME) {
    FrameSolid(dc, client, kTextColor);
    return;
  }
  FillSolid(dc, client, kFaceColor);
  if (kind == SS_ETCHEDHORZ) {
    FillSolid(dc, {client.left, client.top, client.right, client.top + 1}, kShadowColor);
    FillSolid(dc, {client.left, client.top + 1, client.right, client.top + 2}, kLightColor);
  } else if (kind == SS_ICON) {
    DrawStockIcon(dc, IconOf(window), client.left, client.top);
  } else {
    UINT format = DT_WORDBREAK | (kind == SS_CENTER ? DT_CENTER : kind == SS_RIGHT ? DT_RIGHT : DT_LEFT);
    if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
    DrawControlText(dc, window, WindowText(window), client, format,
                    IsWindowEnabled(window) ? kTextColor : kGrayTextColor);
  }
}

LRESULT Static::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (HandleFontMessage(window, message, wParam, lParam, result)) return result;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case WM_PAINT:
      return PaintControl(window, [&](HDC dc) { Paint(window, dc); });
    case WM_ERASEBKGND:
      return 1;
    case WM_SETTEXT:
    case WM_ENABLE:
      result = DefWindowProcW(window, message, wParam, lParam);
      InvalidateRect(window, nullptr, 0);
      return result;
    case STM_SETICON: {
      auto* old = static_cast<HICON>(GetPropA(window, kIconProperty));
      SetPropA(window, kIconProperty, reinterpret_cast<void*>(wParam));
      InvalidateRect(window, nullptr, 0);
      return reinterpret_cast<LRESULT>(old);
    }
    case STM_GETICON:
      return reinterpret_cast<LRESULT>(IconOf(window));
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace plat
