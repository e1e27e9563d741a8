#include "platform/ControlsDrawing.h"

#include "platform/Controls.h"

namespace plat {
namespace {
constexpr const char* kFontProperty = "control.font";
}

void FillSolid(HDC dc, const RECT& rect, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void FrameSolid(HDC dc, const RECT& rect, COLORREF color) {
  FillSolid(dc, {rect.left, rect.top, rect.right, rect.top + 1}, color);
  FillSolid(dc, {rect.left, rect.bottom - 1, rect.right, rect.bottom}, color);
  FillSolid(dc, {rect.left, rect.top, rect.left + 1, rect.bottom}, color);
  FillSolid(dc, {rect.right - 1, rect.top, rect.right, rect.bottom}, color);
}

namespace {
// One bevel ring: `topLeft` along the top and left edges, `bottomRight` along the other two.
void BevelRing(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  FillSolid(dc, {r.left, r.top, r.right - 1, r.top + 1}, topLeft);
  FillSolid(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, topLeft);
  FillSolid(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
  FillSolid(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
}
}  // namespace

void DrawBevel(HDC dc, const RECT& rect, bool sunken) {
  RECT inner = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
  if (sunken) {
    BevelRing(dc, rect, kShadowColor, kLightColor);
    BevelRing(dc, inner, kDarkShadowColor, kFaceColor);
  } else {
    BevelRing(dc, rect, kLightColor, kDarkShadowColor);
    BevelRing(dc, inner, kFaceColor, kShadowColor);
  }
}

void DrawFocusDots(HDC dc, const RECT& rect) {
  for (int32_t x = rect.left; x < rect.right; x += 2) {
    SetPixel(dc, x, rect.top, kTextColor);
    SetPixel(dc, x, rect.bottom - 1, kTextColor);
  }
  for (int32_t y = rect.top; y < rect.bottom; y += 2) {
    SetPixel(dc, rect.left, y, kTextColor);
    SetPixel(dc, rect.right - 1, y, kTextColor);
  }
}

HFONT ControlFont(HWND control) {
  if (auto* font = static_cast<HFONT>(GetPropA(control, kFontProperty))) return font;
  return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

bool HandleFontMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_SETFONT) {
    // The font stays the caller's: the control only points at it.
    SetPropA(control, kFontProperty, reinterpret_cast<void*>(wParam));
    if (lParam) InvalidateRect(control, nullptr, 1);
    result = 0;
    return true;
  }
  if (message == WM_GETFONT) {
    result = reinterpret_cast<LRESULT>(GetPropA(control, kFontProperty));
    return true;
  }
  return false;
}

void DrawControlText(HDC dc, HWND control, const std::u16string& text, RECT rect, UINT format,
                     COLORREF color) {
  ScopedSelection font(dc, ControlFont(control));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  DrawTextW(dc, text.c_str(), static_cast<int32_t>(text.size()), &rect, format);
}

SIZE MeasureControlText(HWND control, const std::u16string& text) {
  HDC dc = GetDC(control);
  SIZE size{0, 0};
  {
    ScopedSelection font(dc, ControlFont(control));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int32_t>(text.size()), &size);
  }
  ReleaseDC(control, dc);
  return size;
}

std::u16string WindowText(HWND window) {
  auto length = static_cast<int32_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0));
  std::u16string text(static_cast<size_t>(length) + 1, u'\0');
  int32_t n = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(n < 0 ? 0 : n));
  return text;
}

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (!parent) return;
  SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

}  // namespace plat

#include <strings.h>

#include "platform/WindowManager.h"

namespace plat {
RECT MovedRect(const RECT& rect, int32_t dx, int32_t dy) {
  return {rect.left + dx, rect.top + dy, rect.right + dx, rect.bottom + dy};
}

bool RectContains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

bool HasClass(HWND window, const char* name) {
  char buffer[64] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return strcasecmp(buffer, name) == 0;
}

std::vector<HWND> ChildWindows(HWND parent) {
  const WindowRecord* w = WindowManager::Instance().Find(parent);
  return w ? w->children : std::vector<HWND>();
}
}  // namespace plat
