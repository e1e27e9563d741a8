// Text output and measurement: DrawText, TextOut and GetTextExtentPoint32.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/AnsiCodePage.h"
#include "platform/GdiInternal.h"
#include "platform/TextLayout.h"
#include "platform/TextLog.h"
#include "platform/TextRenderer.h"

namespace plat {

namespace {

std::u16string_view Counted(const char16_t* text, int32_t count) {
  if (!text) return {};
  if (count < 0) return std::u16string_view(text);
  return std::u16string_view(text, size_t(count));
}

std::u16string Widened(const char* text, int32_t count) {
  if (!text) return {};
  return WidenAnsi(count < 0 ? std::string_view(text) : std::string_view(text, size_t(count)));
}

int32_t ToLogical(const DeviceContext& dc, int32_t device) {
  double s = dc.Scale();
  return s == 1.0 ? device : int32_t(std::lround(device / s));
}

}  // namespace

namespace {

std::vector<TextLine> LaidOut(const TextRenderer& renderer, std::u16string_view text, UINT format,
                              int32_t maxWidth) {
  return LayoutText(text, format, maxWidth, [&](std::u16string_view line) { return renderer.Width(line); });
}

// The lines' size in logical units: the rectangle DT_CALCRECT gives from `from`.
RECT CalculatedRect(const DeviceContext& dc, const TextRenderer& renderer, const std::vector<TextLine>& lines,
                    POINT from) {
  int32_t widest = 0;
  for (const TextLine& line : lines) widest = std::max(widest, line.width);
  const int32_t total = renderer.Height() * int32_t(lines.size());
  return {from.x, from.y, from.x + ToLogical(dc, widest), from.y + ToLogical(dc, total)};
}

// Paints laid-out lines in `rect` (logical units; `box` is it in device pixels) as DrawText does and
// answers DrawText's height.
int32_t PaintLines(DeviceContext& dc, const TextRenderer& renderer, std::u16string_view text,
                   const std::vector<TextLine>& lines, const RECT& rect, const RECT& box, UINT format) {
  const int32_t lineHeight = renderer.Height();
  const int32_t total = lineHeight * int32_t(lines.size());
  int32_t y = box.top;
  if (format & DT_SINGLELINE) {
    if (format & DT_VCENTER)
      y = box.top + (box.bottom - box.top - lineHeight) / 2;
    else if (format & DT_BOTTOM)
      y = box.bottom - lineHeight;
  }
  NoteDrawnText(text, rect.left, rect.top, dc.font->Log().lfHeight, dc.font->Log().lfEscapement, format);
  const RECT* bounds = (format & DT_NOCLIP) ? nullptr : &box;
  for (const TextLine& line : lines) {
    int32_t x = box.left;
    if (format & DT_CENTER)
      x = box.left + (box.right - box.left - line.width) / 2;
    else if (format & DT_RIGHT)
      x = box.right - line.width;
    renderer.Paint(dc, x, y, line.text, bounds, line.marked, line.width);
    y += lineHeight;
  }
  if ((format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM))) return ToLogical(dc, y - box.top);
  return ToLogical(dc, total);
}

}  // namespace

int32_t DrawTextW(HDC hdc, const char16_t* text, int32_t count, RECT* rect, UINT format) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !rect) return 0;
  TextRenderer renderer(*dc->font, dc->Scale());
  const RECT box = dc->ToDevice(*rect);
  const std::vector<TextLine> lines = LaidOut(renderer, Counted(text, count), format, box.right - box.left);
  if (format & DT_CALCRECT) {
    *rect = CalculatedRect(*dc, renderer, lines, POINT{rect->left, rect->top});
    return rect->bottom - rect->top;
  }
  return PaintLines(*dc, renderer, Counted(text, count), lines, *rect, box, format);
}

BOOL DrawTextAtW(HDC hdc, int32_t x, int32_t y, const char16_t* text, int32_t count, UINT format) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc) return 0;
  format &= ~UINT(DT_CALCRECT);
  if (format & DT_WORDBREAK) {
    // Broken lines depend on the width: measured at none, drawn at the width found.
    RECT at{x, y, x, y};
    DrawTextW(hdc, text, count, &at, format | DT_CALCRECT);
    DrawTextW(hdc, text, count, &at, format);
    return 1;
  }
  TextRenderer renderer(*dc->font, dc->Scale());
  const std::vector<TextLine> lines = LaidOut(renderer, Counted(text, count), format, 0);
  const RECT at = CalculatedRect(*dc, renderer, lines, POINT{x, y});
  PaintLines(*dc, renderer, Counted(text, count), lines, at, dc->ToDevice(at), format);
  return 1;
}

int32_t DrawTextA(HDC dc, const char* text, int32_t count, RECT* rect, UINT format) {
  std::u16string wide = Widened(text, count);
  return DrawTextW(dc, wide.c_str(), int32_t(wide.size()), rect, format);
}

BOOL TextOutW(HDC hdc, int32_t x, int32_t y, const char16_t* text, int32_t count) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !text || count < 0) return 0;
  TextRenderer renderer(*dc->font, dc->Scale());
  NoteDrawnText(std::u16string_view(text, size_t(count)), x, y, dc->font->Log().lfHeight,
                dc->font->Log().lfEscapement, 0);
  PointF at = dc->ToDeviceF(x, y);
  renderer.Paint(*dc, at.x, at.y, std::u16string_view(text, size_t(count)), nullptr);
  return 1;
}

BOOL TextOutA(HDC dc, int32_t x, int32_t y, const char* text, int32_t count) {
  if (!text || count < 0) return 0;
  std::u16string wide = Widened(text, count);
  return TextOutW(dc, x, y, wide.c_str(), int32_t(wide.size()));
}

BOOL GetTextExtentPoint32W(HDC hdc, const char16_t* text, int32_t count, SIZE* size) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !size || count < 0 || (!text && count > 0)) return 0;
  TextRenderer renderer(*dc->font, dc->Scale());
  size->cx = ToLogical(*dc, renderer.Width(std::u16string_view(text ? text : u"", size_t(count))));
  size->cy = ToLogical(*dc, renderer.Height());
  return 1;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* metrics) {
  DeviceContext* dc = LiveDc(hdc);
  if (!dc || !metrics) return 0;
  TextRenderer renderer(*dc->font, dc->Scale());
  metrics->tmHeight = ToLogical(*dc, renderer.Height());
  metrics->tmAscent = ToLogical(*dc, renderer.Ascent());
  metrics->tmDescent = metrics->tmHeight - metrics->tmAscent;
  return 1;
}

BOOL GetTextExtentPoint32A(HDC dc, const char* text, int32_t count, SIZE* size) {
  if (count < 0 || (!text && count > 0)) return 0;
  std::u16string wide = Widened(text ? text : "", count);
  return GetTextExtentPoint32W(dc, wide.c_str(), int32_t(wide.size()), size);
}

}  // namespace plat
