// A pane showing a vertical list of equally high lines under a header band and above an optional
// footer band, with optional native scroll bars. It knows nothing of what a line shows: it keeps the
// line count and the scroll position (first line; horizontally, the first column step of a fixed
// pixel width), turns clicks into line and header clicks, and draws by calling a fixed sequence of
// virtual drawing operations that its subclasses fill in. Lines are numbered from 0; every rectangle
// is in window pixels unless said otherwise.
//
// The list owns its two scroll bars (subviews). The font descriptor goes to the drawing context's font
// hook before every text, which leaves the font as it is: list text is drawn in the default
// user-interface font. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ppPane.h"

class ppRegion;
class ppScrollBar;

class ppDataList : public ppPane {
 public:
  // Scroll modes given at construction; any other value makes no bar.
  static constexpr int32_t kHorizontalBar = 1;
  static constexpr int32_t kVerticalBar = 2;
  static constexpr int32_t kBothBars = 3;
  // Thickness of a scroll bar, pixels.
  static constexpr int32_t kBarThickness = 18;

  struct FontDescriptor {
    char face[256] = {};
    int32_t style = 0;
    int32_t size = 10;       // points
    int32_t headerFlag = 0;  // 1 only while the header is drawn
  };

  // `frame` in the supervisor's coordinates; `lineHeight` pixels (the column step is twice that).
  ppDataList(ppView* supervisor, const plat::RECT& frame, int32_t lineHeight, int32_t scrollMode,
             int8_t horizontal, int8_t vertical);
  ~ppDataList() override;

  // Pixels; the vertical bar is laid out again (the horizontal one stays).
  void SetHeaderHeight(int32_t height);
  void SetFooterHeight(int32_t height);

  // ---- Overrides.
  void DoCommand(int32_t command, intptr_t parameter) override;  // 401 lines, 402 column steps
  void DrawContent(ppDC& dc) override;
  // The click operation: list area to ClickInList, at or above it to ClickInHeader; always handled.
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void KeyDown(signed char key, int32_t flags) override;  // ignores keys
  void Activate() override;
  void Deactivate() override;
  void FrameChanged() override;

  // ---- The list's operations, in the order subclasses rely on.
  virtual void PrepareCell(int32_t columnOrField, int32_t reserved, ppDC& dc);
  virtual void DrawHeader(ppDC& dc);
  virtual void DrawFooter(ppDC& dc);
  virtual void DrawFrame(ppDC& dc);
  virtual void DrawLine(int32_t line, ppDC& dc);
  virtual void SpareDrawHook(ppDC& dc);
  // The drawing sequence: white frame, DrawFrame, DrawHeader, DrawFooter, then the visible lines.
  virtual void DrawList(ppDC& dc);
  virtual void InvalidateSelection(ppDC& dc);
  // Invalidates the part of `rect` inside the list area.
  virtual void InvalidateInList(const plat::RECT& rect, ppDC& dc);
  virtual void AddToClip(const plat::RECT& rect, ppDC& dc);
  virtual void InvalidateArea(const plat::RECT& rect, ppDC& dc);
  virtual void ClickInList(int32_t x, int32_t y, int32_t flags);
  virtual void ClickInHeader(int32_t x, int32_t y, int32_t flags);
  virtual void DoubleClickLine();
  // `row` counts from the first visible line.
  virtual void LineClicked(int32_t row, int32_t flags);
  virtual void SpareHook();
  virtual bool SpareQuery();
  virtual void SelectionChanged();
  // Column steps and lines; clamped so that at most one empty row shows at the bottom.
  virtual void ScrollBy(int32_t columnSteps, int32_t lines);
  virtual void UpdateScrollBars();
  virtual void RefreshNow();
  virtual void ComputeVisibleCounts();
  virtual void GetListRect(plat::RECT* rect);
  virtual void GetHeaderRect(plat::RECT* rect);
  virtual void SpareRectHook(plat::RECT* rect);
  // The visible row at a point (0 above the second line boundary).
  virtual int32_t RowAtPoint(int32_t x, int32_t y);
  virtual void SetLineCount(int32_t count);
  virtual int32_t GetLineCount();
  virtual void StoreLayoutFrame();

  // ---- State.
  int32_t LineHeight() const { return lineHeight_; }
  // The price list sets its row height after construction; the rows that fit and the bars follow.
  void SetLineHeight(int32_t pixels);
  int32_t ColumnStep() const { return columnStep_; }
  int32_t VisibleLines() const { return visibleLines_; }
  int32_t VisibleColumnSteps() const { return visibleColumnSteps_; }
  int32_t ColumnStepCount() const { return columnStepCount_; }
  int32_t FirstLine() const { return firstLine_; }
  int32_t FirstColumnStep() const { return firstColumnStep_; }
  int32_t HeaderHeight() const { return headerHeight_; }
  int32_t FooterHeight() const { return footerHeight_; }
  bool IsActive() const { return active_; }
  bool HasSingleSelection() const { return singleSelection_; }
  void SetSingleSelection(bool single) { singleSelection_ = single; }
  bool IgnoresClicks() const { return clicksIgnored_; }
  void SetClicksIgnored(bool ignored) { clicksIgnored_ = ignored; }
  ppScrollBar* VerticalBar() const { return verticalBar_; }
  ppScrollBar* HorizontalBar() const { return horizontalBar_; }
  uint32_t LastClickTick() const { return lastClickTick_; }
  int32_t LastClickRow() const { return lastClickRow_; }
  const FontDescriptor& Font() const { return font_; }

 protected:
  void SetActive(bool active) { active_ = active; }
  void SetFirstLine(int32_t line) { firstLine_ = line; }
  void SetColumnStepCount(int32_t count) { columnStepCount_ = count; }
  void StoreLineCount(int32_t count) { lineCount_ = count; }
  void NoteClick(uint32_t tick, int32_t row) {
    lastClickTick_ = tick;
    lastClickRow_ = row;
  }
  // Draws `text` in `rect` with the DT_ `format` (DT_NOPREFIX added) in black, after handing the
  // font descriptor to the context's font hook.
  void DrawListText(ppDC& dc, const Vcon::WString& text, const plat::RECT& rect, int32_t format);
  // Makes the clip `base` narrowed to `rect` (both window pixels); `base` is the clip an operation
  // started with, so a drawing step never reaches outside what its caller let it draw.
  static void ClipWithin(ppDC& dc, const ppRegion& base, const plat::RECT& rect);

  FontDescriptor font_;
  plat::RECT currentLineRect_ = {0, 0, 0, 0};

 private:
  void PlaceVerticalBar();

  int32_t lineHeight_;
  int32_t columnStep_;
  int32_t visibleLines_ = 0;
  int32_t visibleColumnSteps_ = 0;
  int32_t lineCount_ = 0;
  int32_t columnStepCount_ = 0;
  ppScrollBar* horizontalBar_ = nullptr;  // owned (a subview)
  ppScrollBar* verticalBar_ = nullptr;    // owned (a subview)
  int32_t firstColumnStep_ = 0;
  int32_t firstLine_ = 0;
  uint32_t lastClickTick_ = 0;
  // No click yet: a row no click can have, so the first click is never taken for a double click.
  int32_t lastClickRow_ = -1;
  bool active_ = false;
  int32_t headerHeight_;
  int32_t footerHeight_ = 0;
  bool hasHorizontalBar_ = false;
  bool hasVerticalBar_ = false;
  bool singleSelection_ = false;
  bool clicksIgnored_ = false;
};
