// How the editor scroller prints the price list in view 2012: the list lays the page out for
// itself, then prints one page and answers whether another follows. The document window hands the
// scroller its list; user-interface thread.
#pragma once

#include <cstdint>

class ppDC;
struct qxPrintPage;

class iEditorListPrint {
 public:
  // The list's layout kinds; the editor prints kind 2, the list as a table.
  static constexpr int32_t kEditorListLayout = 2;

  virtual ~iEditorListPrint() = default;
  // Fills the page's margins and drawing rectangle for the layout `kind`.
  virtual void PreparePrint(qxPrintPage& page, int32_t kind) = 0;
  // Prints the next page of the list; true while another page follows.
  virtual bool PrintPage(ppDC& dc, qxPrintPage& page) = 0;
};
