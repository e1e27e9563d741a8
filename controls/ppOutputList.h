// The line list with a selection: one bit per line (bit n is byte n / 8, least significant bit first),
// kept in a handle the list owns. Lines are selected by click, Shift-click (a range towards the first
// selected line) and Ctrl-click (toggle), by keys and by the operations its users call. The selection
// is highlighted (by the subclass's line drawing) only while the list is active.
//
// Keys: Space scrolls the selection into view; Down and Up move it (SelectNextLine,
// SelectPreviousLine, reading Shift and Ctrl as those do); digits "1" to "8" jump to eighths of a long
// list and "9" to its last line. Subclasses map their own keys first. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppDataList.h"
#include "foundation/Vcon_HandleManager.h"

class ppOutputList : public ppDataList {
 public:
  // Two clicks on one row within this many ticks (1/60 s) are a double click.
  static constexpr uint32_t kDoubleClickTicks = 30;

  ppOutputList(ppView* supervisor, const plat::RECT& frame, int32_t lineHeight, int32_t scrollMode,
               int8_t horizontal, int8_t vertical);
  ~ppOutputList() override;

  // ---- Overrides.
  // Always clears the selection; the bit array grows to hold every line (it never shrinks).
  void SetLineCount(int32_t count) override;
  void LineClicked(int32_t row, int32_t flags) override;
  void InvalidateSelection(ppDC& dc) override;
  void Activate() override;
  void Deactivate() override;
  void KeyDown(signed char key, int32_t flags) override;
  void UpdateMenus() override {}

  // ---- Selection, in the order subclasses rely on.
  // The list area's width; line -1 is the header row.
  virtual void GetLineRect(int32_t line, plat::RECT* rect);
  virtual void ClearSelection();
  // Lines outside 0..line count - 1 are ignored; with single selection `on` replaces the selection.
  virtual void SelectLine(int32_t line, bool on);
  virtual bool IsLineSelected(int32_t line);
  // The first selected line at or after `from`, or -1.
  virtual int32_t NextSelectedLine(int32_t from);
  virtual int32_t SelectedLineCount();
  // Moves the first line so that the first selected line shows (the top when none); redraws the list
  // when the first line moved.
  virtual void ScrollToSelection();
  virtual void SelectNextLine();
  virtual void SelectPreviousLine();

  // Bytes of the bit array.
  int32_t SelectionBytes() const { return MemGetSize(selection_); }

 private:
  void SetBit(int32_t line, bool on);
  bool IsVisible(int32_t line) { return FirstLine() <= line && line <= FirstLine() + VisibleLines(); }
  void InvalidateLine(int32_t line, ppDC& dc);

  Handle selection_ = nullptr;  // owned
};
