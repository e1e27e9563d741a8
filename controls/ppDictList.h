// The record-bound list: an output list whose line n shows the record at position n of a table
// view's selection, and whose columns are record fields named by a display-list layout
// (DisplayListLayout). A column shows a field of the list's own table, or of the current record of a
// table linked by the layout id the column names; a layout id the table cannot open is served by the
// table itself. The header shows the field names, a light grey band with frame lines decorates the
// pane, and a selected line is highlighted while the list is active (from construction on).
//
// The list owns its layout handle; it keeps the tables that serve its columns beside it (the layout's
// table word stays 0). The table is not owned. The price list derives from this class and replaces
// the header, footer and line drawing. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/DisplayListLayout.h"
#include "controls/ppOutputList.h"
#include "foundation/Vcon_HandleManager.h"

class ppDatafile;
class ppWindow;

class ppDictList : public ppOutputList {
 public:
  // The window class that can host a list object in a native window.
  static constexpr const char* kWindowClass = "DictList";
  // Message that hands the window its object (lParam, a ppWindow the window then owns).
  static constexpr uint32_t kAttachMessage = 0x440;
  static constexpr const char* kObjectProperty = "ctl";

  // `table` may be null and is not owned; `layout` may be null and passes to the list.
  ppDictList(ppView* supervisor, const plat::RECT& frame, int32_t lineHeight, ppDatafile* table,
             Handle layout, int32_t scrollMode, int8_t horizontal, int8_t vertical);
  ~ppDictList() override;

  // Registers the "DictList" class once (start-up).
  static void RegisterWindowClass();

  // Copies `layout` (the caller keeps it) into the list's own and lays the columns out again.
  void LoadLayout(Handle layout);
  // Scales the widths so that the columns fill the list area (nothing when they sum to 0).
  void ScaleColumnWidths();
  // Each column's x from the widths before it.
  void LayoutColumns();
  // The column whose right edge zone (4 pixels left of it to 8 right) holds the point, or -1.
  int32_t ColumnEdgeAt(int32_t x, int32_t y);
  // The generated one-column layout for `table` (a new handle, the caller's): field 0, 200 pixels,
  // font size 14, titled with the table's layout name cut to 31 bytes.
  Handle MakeDefaultLayout(ppDatafile* table);

  // ---- Overrides.
  void AdjustCursor(int32_t x, int32_t y) override;
  void DrawFrame(ppDC& dc) override;
  void DrawHeader(ppDC& dc) override;
  void DrawLine(int32_t line, ppDC& dc) override;
  void ClickInHeader(int32_t x, int32_t y, int32_t flags) override;
  void DoubleClickLine() override;
  void StoreLayoutFrame() override;

  // ---- The record-bound list's operations, in the order subclasses rely on.
  virtual void SetDatafile(const std::string& name, ppDatafile* table);
  virtual void SpareDictHook();
  virtual int32_t GetTotalWidth();
  virtual void GetCellRect(int32_t column, int32_t line, plat::RECT* rect);
  // The table's selection becomes the records of the selected lines, the highest line first.
  virtual void RestrictToSelection();
  virtual void RedrawField(int32_t fieldIndex, int32_t line, ppDC& dc);
  virtual void DrawCell(int32_t column, int32_t line, char* record, ppDC& dc);
  virtual void UpdateField(int32_t fieldIndex, int32_t line, ppDC& dc);
  virtual void RedrawLine(int32_t line, ppDC& dc);
  virtual void RecordChanged();
  virtual void RecordsChanged();
  virtual void SpareDictHookB();
  virtual void SpareDictHookC();
  virtual void ColumnEdgeClicked(int32_t x, int32_t y);
  virtual void HeaderClicked(int32_t x, int32_t y);

  Handle Layout() const { return layout_; }
  int32_t ColumnCount() const { return columnCount_; }
  ppDatafile* Table() const { return table_; }
  char* RecordBuffer() const { return recordBuffer_; }
  // The table that serves column `i` (the own table when the column has none of its own).
  ppDatafile* ColumnTable(int32_t i) const;
  const std::string& Name() const { return name_; }

 private:
  void BindColumns();
  // Resolves every column's table from its layout id.
  void BindColumnTables();
  void DrawText(ppDC& dc, const Vcon::WString& text, const plat::RECT& rect, int32_t format);
  static plat::LRESULT WindowProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                  plat::LPARAM lParam);

  int32_t columnCount_ = 0;
  Handle layout_ = nullptr;  // owned
  std::string name_;         // at most 31 bytes
  ppDatafile* table_ = nullptr;
  char* recordBuffer_ = nullptr;
  std::vector<ppDatafile*> columnTables_;  // not owned: the table and its linked views
};
