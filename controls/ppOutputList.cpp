#include "controls/ppOutputList.h"

#include <algorithm>
#include <memory>

#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppMouseTask.h"
#include "platform/WindowTypes.h"

ppOutputList::ppOutputList(ppView* supervisor, const plat::RECT& frame, int32_t lineHeight,
                           int32_t scrollMode, int8_t horizontal, int8_t vertical)
    : ppDataList(supervisor, frame, lineHeight, scrollMode, horizontal, vertical) {
  Vcon_HandleManager::MemNew(&selection_, 0);
}

ppOutputList::~ppOutputList() { MemDispose(selection_); }

void ppOutputList::SetLineCount(int32_t count) {
  ppDataList::SetLineCount(count);
  const int32_t bytes = (std::max(count, 0) + 1) / 8 + 1;
  if (MemGetSize(selection_) < bytes) MemSetSize(selection_, uint32_t(bytes));
  ClearSelection();
}

// ---- Bits.

void ppOutputList::SetBit(int32_t line, bool on) {
  if (line < 0 || line / 8 >= MemGetSize(selection_)) return;
  const uint8_t mask = uint8_t(1u << (line % 8));
  uint8_t& byte = reinterpret_cast<uint8_t&>((*selection_)[line / 8]);
  byte = on ? uint8_t(byte | mask) : uint8_t(byte & ~mask);
}

bool ppOutputList::IsLineSelected(int32_t line) {
  if (line < 0 || line / 8 >= MemGetSize(selection_)) return false;
  return (uint8_t((*selection_)[line / 8]) >> (line % 8) & 1u) != 0;
}

void ppOutputList::ClearSelection() { MemClear(selection_); }

void ppOutputList::SelectLine(int32_t line, bool on) {
  if (line < 0 || line >= GetLineCount()) return;
  if (!on) {
    SetBit(line, false);
    return;
  }
  if (HasSingleSelection()) ClearSelection();
  SetBit(line, true);
}

int32_t ppOutputList::NextSelectedLine(int32_t from) {
  const int32_t count = std::min(GetLineCount(), MemGetSize(selection_) * 8);
  for (int32_t line = std::max(from, 0); line < count; ++line) {
    // Whole empty bytes are passed over at once: a long list with one selected line stays quick.
    if (line % 8 == 0 && (*selection_)[line / 8] == 0) {
      line += 7;
      continue;
    }
    if (IsLineSelected(line)) return line;
  }
  return -1;
}

int32_t ppOutputList::SelectedLineCount() {
  int32_t n = 0;
  for (int32_t line = NextSelectedLine(0); line >= 0; line = NextSelectedLine(line + 1)) ++n;
  return n;
}

// ---- Geometry and highlight.

void ppOutputList::GetLineRect(int32_t line, plat::RECT* rect) {
  plat::RECT list;
  GetListRect(&list);
  rect->left = list.left;
  rect->right = list.right;
  if (line == -1) {
    rect->top = list.top - (HeaderHeight() - 1);
    rect->bottom = list.top;
  } else {
    rect->top = list.top + (line - FirstLine()) * LineHeight();
    rect->bottom = rect->top + LineHeight();
  }
}

void ppOutputList::InvalidateLine(int32_t line, ppDC& dc) {
  plat::RECT r;
  GetLineRect(line, &r);
  InvalidateInList(r, dc);
}

void ppOutputList::InvalidateSelection(ppDC& dc) {
  if (!IsActive()) return;
  plat::RECT list;
  GetListRect(&list);
  ppClipSaver saved(dc);
  dc.ClipToRect(list);
  for (int32_t line = FirstLine(); line <= FirstLine() + VisibleLines() && line < GetLineCount(); ++line) {
    if (IsLineSelected(line)) InvalidateLine(line, dc);
  }
}

void ppOutputList::Activate() {
  const bool wasActive = IsActive();
  ppDataList::Activate();
  if (!wasActive) {
    ppDC dc(GetHWND());
    InvalidateSelection(dc);
  }
}

void ppOutputList::Deactivate() {
  if (IsActive()) {
    ppDC dc(GetHWND());
    InvalidateSelection(dc);
  }
  ppDataList::Deactivate();
}

// ---- Mouse.

void ppOutputList::LineClicked(int32_t row, int32_t) {
  if (IgnoresClicks()) return;
  ppDC dc(GetHWND());
  const int32_t line = FirstLine() + row;
  const uint32_t now = ppMouseTask::GetTicks();
  const bool multiple = !HasSingleSelection();
  if (row >= 0 && line < GetLineCount()) {
    if (row == LastClickRow() && now - LastClickTick() <= kDoubleClickTicks) {
      DoubleClickLine();
    } else if (multiple && IsControlKeyDown()) {
      SetBit(line, !IsLineSelected(line));
      InvalidateLine(line, dc);
      SelectionChanged();
    } else if (multiple && IsShiftKeyDown()) {
      const int32_t anchor = std::max(NextSelectedLine(0), 0);
      if (line < anchor) {
        for (int32_t i = line; i <= anchor; ++i) {
          if (IsLineSelected(i)) continue;
          SelectLine(i, true);
          if (IsVisible(i)) InvalidateLine(i, dc);
        }
        SelectionChanged();
      } else {
        for (int32_t i = line; i >= anchor; --i) {
          if (IsLineSelected(i)) continue;
          SelectLine(i, true);
          if (IsVisible(i)) InvalidateLine(i, dc);
          SelectionChanged();
        }
      }
    } else if (!IsLineSelected(line)) {
      InvalidateSelection(dc);
      ClearSelection();
      SelectLine(line, true);
      InvalidateLine(line, dc);
      SelectionChanged();
    }
  }
  NoteClick(now, row);
}

// ---- Scrolling to and moving the selection.

void ppOutputList::ScrollToSelection() {
  const int32_t before = FirstLine();
  const int32_t s = NextSelectedLine(0);
  if (s < 0) {
    SetFirstLine(0);
  } else {
    if (FirstLine() + VisibleLines() <= s) SetFirstLine(s - VisibleLines() + 2);
    if (s <= FirstLine()) SetFirstLine(s > 0 ? s - 1 : s);
  }
  UpdateScrollBars();
  // The lines on screen belong to the old first line: show the new ones.
  if (FirstLine() != before) Invalidate();
}

void ppOutputList::SelectNextLine() {
  const int32_t count = GetLineCount();
  if (count == 0) return;
  ppDC dc(GetHWND());
  int32_t s = NextSelectedLine(0);
  if (s < 0) {
    SelectLine(1, true);
    InvalidateSelection(dc);
    ScrollToSelection();
    return;
  }
  while (s + 1 < count && IsLineSelected(s + 1)) ++s;
  if (FirstLine() + VisibleLines() <= s)
    ScrollBy(0, s - VisibleLines() - FirstLine());
  else if (s <= FirstLine())
    ScrollBy(0, s - FirstLine() - 1);
  InvalidateSelection(dc);
  if (!IsShiftKeyDown()) ClearSelection();
  s += IsControlKeyDown() ? VisibleLines() - 1 : 1;
  s = std::min(s, count);
  if (s > FirstLine() + VisibleLines()) ScrollBy(0, 1);
  SelectLine(s, true);
  InvalidateSelection(dc);
}

void ppOutputList::SelectPreviousLine() {
  const int32_t count = GetLineCount();
  if (count == 0) return;
  ppDC dc(GetHWND());
  int32_t s = NextSelectedLine(0);
  if (s < 0) {
    SelectLine(count, true);
    InvalidateSelection(dc);
    ScrollToSelection();
    return;
  }
  InvalidateSelection(dc);
  if (!IsShiftKeyDown()) ClearSelection();
  s -= IsControlKeyDown() ? 1 : VisibleLines() - 1;
  s = std::max(s, 1);
  SelectLine(s, true);
  InvalidateSelection(dc);
  ScrollToSelection();
}

// ---- Keys.

void ppOutputList::KeyDown(signed char key, int32_t) {
  const int32_t code = uint8_t(key);
  if (code == plat::VK_SPACE) {
    ScrollToSelection();
  } else if (code == plat::VK_DOWN) {
    SelectNextLine();
    SelectionChanged();
  } else if (code == plat::VK_UP) {
    SelectPreviousLine();
    SelectionChanged();
  } else if (code >= '1' && code <= '9' && GetLineCount() >= VisibleLines()) {
    const int32_t count = GetLineCount(), digit = code - '0';
    int32_t target = digit == 1 ? 1 : digit == 9 ? count - 1 : (count / 8) * (digit - 1);
    ppDC dc(GetHWND());
    InvalidateSelection(dc);
    ClearSelection();
    if (target == 0 && count > 0) target = 1;
    if (target != 0) {
      SelectLine(target, true);
      InvalidateSelection(dc);
      ScrollToSelection();
    }
    SelectionChanged();
  }
}
