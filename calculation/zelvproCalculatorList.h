// The price list pane: the on-screen list of the open document's calculation lines, one per row, in
// columns from the column file (calculator_columns) or the built-in display list "qxCalculatorDlst".
// It owns the line table (and a second table for printing) over one handle of packed lines, and
// installs them while it lives: the table as the plan's calculation list (iCalculationList) and as the
// shopping list's price list table, itself as the price list updater (iCalculationUpdate).
//
// The user adds the lines the plan does not build (Item/Service, Text, Discount, SubTotal, VAT/Tax)
// through the calculation canvas's button bar (messages 1006-1010 on channel 1002) and deletes them
// with message 1011, command 36 or the Delete and Backspace keys. Those lines are saved with the
// document, so adding or deleting one marks the open document modified (as does a line panel's write
// that changes a line, see zelvproCalculatorFil::SetValue); a rebuild from the plan does not. A click
// or a keyboard move selects a line, makes it the table's current line and opens its panel in the
// program's configurator. Every rebuild from the plan runs through the top canvas (UpdateCalculation).
//
// Options (application settings): flags1 kTotalFooter (the last line is not shown as a row, Total
// lines draw no cells, a footer shows the grand total), kSecondPrice (the footer shows total2 too),
// kPassViewMenu (command 3001 goes to the layer palette); flags2 kNoLinePanel (no line panel).
// User-interface thread only. The most recently made pane is Current() until it goes.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "controls/ppDictList.h"
#include "database/iProperty.h"
#include "elements/topview/iCalculationUpdate.h"
#include "framework/ppCollaborator.h"

class iPriceListPrintRecorder;
class zelvDatabase;
class ppDatabase;
class ppPicture;
class zelvproCalculatorFil;
struct qxPrintPage;

class zelvproCalculatorList : public ppDictList,
                              public iProperty,
                              public ppCollaborator,
                              public iCalculationUpdate {
 public:
  static constexpr uint32_t kTotalFooter = 0x40000000, kSecondPrice = 0x2, kPassViewMenu = 0x40000;
  static constexpr uint32_t kNoLinePanel = 0x2;  // flags2
  // The button bar's messages.
  static constexpr int32_t kButtonChannel = 1002;
  static constexpr int32_t kAddItem = 1006, kAddText = 1007, kAddDiscount = 1008, kAddSubTotal = 1009,
                           kAddVat = 1010, kDeleteLine = 1011;
  static constexpr const char* kUpdateMessage = "UpdateCalculation";
  // Commands.
  static constexpr int32_t kDeleteCommand = 36, kShowCalculation = 3061, kReloadCalculation = 2012;
  // Rows of 96 pixels: the base list is made with 16, the pane adds 80 once its columns are read.
  static constexpr int32_t kBaseLineHeight = 16, kLineHeightExtra = 80, kHeaderHeight = 20,
                           kFooterHeight = 21;
  // A cell's text and picture stand this far inside its left and right edges and below its top
  // (pixels); a column caption stands kHeaderInset in from its left edge.
  static constexpr int32_t kCellInset = 2, kCellTopInset = 3, kHeaderInset = 2;
  // The drawing colour (percent grey) while a line's picture is drawn.
  static constexpr int32_t kPictureGray = 20;
  static constexpr int32_t kFramePicture = 1101;
  // The footer: the label and the amounts stand this far apart (pixels).
  static constexpr int32_t kFooterStep = 120;
  static constexpr int32_t kFooterLabel = 5043;

  zelvproCalculatorList(ppView* supervisor, const plat::RECT& frame, ppDatabase& database);
  ~zelvproCalculatorList() override;

  static zelvproCalculatorList* Current();

  zelvproCalculatorFil& LineFile() const { return *lineFile_; }
  zelvproCalculatorFil& PrintLineFile() const { return *printLineFile_; }
  Handle LinesHandle() const { return linesHandle_; }
  int32_t ScreenDescriptionField() const { return screenDescription_; }
  int32_t PrintDescriptionField() const { return printDescription_; }

  // ---- iCalculationUpdate: now: the top canvas rebuilds the list at once; else the plan is marked
  // changed and one rebuild is posted to the document window.
  void UpdateCalculation(bool now) override;

  // With the total-footer option an Empty line just before the last line goes; then the line count
  // follows the table and the lines are written back into the handle.
  void ShowLastLine();
  // Drops every line (a document is being loaded), then ShowLastLine.
  void Clear();
  // The table wrote a property of line `line`: the line moves to its place by the sort keys and
  // stays selected by its id.
  void LineChanged(int32_t line);
  // Appends a user line of `type` (8-12) with the layer palette's next id, selects it and opens its
  // panel; the document is marked modified. Nothing is rebuilt.
  void AddLine(int32_t type);
  // The display list of the column file of settings entry `n` (the caller's), or null.
  Handle LoadColumnFile(int32_t n);

  // ---- Overrides.
  void KeyDown(signed char key, int32_t flags) override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  void SupervisorResized(int32_t dx, int32_t dy) override;
  void UpdateTexts() override;
  void DrawHeader(ppDC& dc) override;
  void DrawFooter(ppDC& dc) override;
  void DrawLine(int32_t line, ppDC& dc) override;
  void DoubleClickLine() override {}
  // The line panel's focused field keeps what was typed into it before the click selects a line.
  void LineClicked(int32_t row, int32_t flags) override;
  void SelectionChanged() override;
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  // The lines shown as rows: the table's count, less the Total with the total-footer option.
  int32_t ShownLineCount();
  // The first line whose "id" is `id` among the loaded lines, or -1.
  int32_t FindLineById(int32_t id);
  // The selected line, or -1.
  int32_t SelectedLine() { return NextSelectedLine(0); }

  // ---- Printing (zelvproCalculatorListPrint.cpp). A print runs PreparePrint, then Print, which
  // prints every page at once (NextPrintPage ends one printer page and starts the next) and answers
  // false. The page record's image is the printable rectangle (device pixels), textScale the font
  // scale (device pixels per point), imageScale the point scale (device pixels per millimetre /
  // 2.857), spare[0] the number of the page being printed. The item-sheet layout prints while
  // ItemSheetPrintFlag() is set, the list layout otherwise.
  static constexpr int32_t kPrintColumnsFile = 2;
  virtual void PrintListLine(int32_t line, ppDC& dc, qxPrintPage& page);
  virtual void PrintSheetLine(int32_t line, ppDC& dc, qxPrintPage& page);
  virtual void PreparePrint(qxPrintPage& page, int32_t columnsFile);
  virtual void PrintListPages(ppDC& dc, qxPrintPage& page);
  virtual void PrintListHeader(ppDC& dc, qxPrintPage& page);
  virtual void PrintSheetPages(ppDC& dc, qxPrintPage& page);
  virtual void PrintSheetHeader(ppDC& dc, qxPrintPage& page);
  virtual void PrintFooter(ppDC& dc, qxPrintPage& page);
  bool Print(ppDC& dc, qxPrintPage& page);
  void PrintContent(ppDC& dc, qxPrintPage& page);
  void FitPrintColumns(ppDC& dc, qxPrintPage& page);
  void NextPrintPage(ppDC& dc);
  // Hears every drawing of the print besides the context (tests); not owned; null detaches.
  void SetPrintRecorder(iPriceListPrintRecorder* recorder) { recorder_ = recorder; }
  // The rows a cell of text `height` takes in rows of `rowHeight` (device pixels): whole rows, one
  // more when the rest exceeds 0.05 of a row; at least 1.
  static int32_t RowsNeeded(float height, float rowHeight);
  // The print state, read by tests and the editor's page printing.
  int32_t PrintRowsPerPage() const { return rowsPerPage_; }
  float PrintRowHeight() const { return rowHeight_; }
  int32_t PrintCurrentLine() const { return currentLine_; }
  int32_t PrintRowsOnPage() const { return rowsOnPage_; }
  float PrintY() const { return printY_; }
  // The pages the print takes, as its footers count them: counted by laying the lines out before
  // the first page prints (a line of several rows or one cut to a page moves the breaks).
  int32_t PrintPageCount() const { return pageCount_; }
  // Whether the printer stopped the print before its last page (Cancel in the "Printing" box).
  bool PrintStopped() const { return printStopped_; }
  Handle PrintLayout() const { return printLayout_; }

 private:
  struct Parts;
  zelvproCalculatorList(ppView* supervisor, const plat::RECT& frame, ppDatabase& database, Parts parts);

  static bool TotalFooter();
  // The line count follows the table.
  void SyncLineCount();
  // Selects line `line` alone, makes it current and opens its panel.
  void SelectAndShow(int32_t line);
  void OpenLinePanel();
  void DeleteSelectedLine();
  void DeleteByMessage();
  int32_t LineType(int32_t line);
  int32_t LineId(int32_t line);
  void InvalidateFrom(int32_t line);
  void InvalidateRow(int32_t line);
  void DrawMarks(ppDC& dc, int32_t field, const plat::RECT& cell, int32_t line);
  // The preview picture of the line just read into `table`'s current buffer ("pict", the preview
  // record of its unit in its catalogue), or null; decoded once and kept for the pane's life.
  const ppPicture* LinePreview(zelvproCalculatorFil& table, zelvDatabase* db);
  // The rectangle of `picture` at its own size, centred in `cell` (it may stand out of it).
  static plat::RECT CentredPictureRect(const ppPicture& picture, const plat::RECT& cell);

  // Print helpers: each draws on the context and tells the recorder.
  void PrintFont(ppDC& dc, float height, bool bold);
  void PrintText(ppDC& dc, const Vcon::WString& text, const plat::RECT& r, uint32_t flags);
  void PrintRule(ppDC& dc, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
  void PrintFrame(ppDC& dc, const plat::RECT& r);
  // Draws `picture` stretched over `r` (device pixels).
  void PrintPicture(ppDC& dc, const ppPicture* picture, const plat::RECT& r);
  void PrintBreakPage(ppDC& dc, qxPrintPage& page, bool sheet, float y);
  // Reads line `line` of the print table, builds its texts, selects its font and measures its cells
  // in rows starting at `top`; answers the rows the line takes (at least 1), its type and its cell
  // values. The font stays selected.
  int32_t MeasureListLine(ppDC& dc, qxPrintPage& page, int32_t line, float top,
                          std::vector<Vcon::WString>& values, int32_t& type);
  // The rows an item-sheet line of `type` and `sort5` moves the page by before its own row, with
  // `rowsOnPage` rows already used: +1 for the empty row in front of a group, -1 for a line printed
  // one row higher.
  static int32_t SheetRowsBefore(int32_t type, int32_t sort5, int32_t rowsOnPage);
  // The item sheet's Total line (its row starts at the print's current y; the rule above it starts
  // at `x0`, the first column's left; `w` is the width of the sheet's nine wide columns): a rule
  // above it, its label and its amount, underlined twice.
  void PrintSheetTotal(ppDC& dc, qxPrintPage& page, int32_t x0, int32_t w);
  // Whether item-sheet line `line` starts a new page with `rowsOnPage` rows used: the page is full,
  // or the empty row in front of the line would leave no row for the line itself (reads the line).
  bool SheetPageFull(int32_t line, int32_t rowsOnPage);
  // The pages of the list layout and of the item sheet: the page loops run without drawing.
  int32_t CountListPages(ppDC& dc, qxPrintPage& page);
  int32_t CountSheetPages();

  std::unique_ptr<zelvproCalculatorFil> lineFile_;
  std::unique_ptr<zelvproCalculatorFil> printLineFile_;
  Handle linesHandle_ = nullptr;  // owned; both tables read and write it
  int32_t screenDescription_ = 0, printDescription_ = 0;
  int32_t updateMessage_ = -1;
  bool panelShown_ = false;
  std::map<std::pair<zelvDatabase*, int32_t>, std::unique_ptr<ppPicture>> previews_;

  // Print state, reset by PreparePrint. Pixels are device pixels of the page.
  Handle printLayout_ = nullptr;  // owned: the print display list
  iPriceListPrintRecorder* recorder_ = nullptr;
  int32_t lineCount_ = 0, currentLine_ = 0, rowsOnPage_ = 0, rowsPerPage_ = 1, pageNumber_ = 0,
          pageCount_ = 1;
  float rowHeight_ = 1, printY_ = 0, printWidth_ = 0, widthFactor_ = 1, printHeader_ = 0, printTop_ = 0;
  bool columnsFitted_ = false;
  bool printStopped_ = false;  // the printer refused a page: the print takes no more
};
