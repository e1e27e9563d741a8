// The validator of an article-number cell: the typed text is looked up as the beginning of a
// record's "orderno" in a record file. One match replaces the text by that record's whole
// "orderno"; several open a ppLinkBox under the edited field to pick one from; no match or a
// cancelled pick refuses the text. An empty text is accepted without a look-up. The record file's
// selection is left as the last look-up made it. The record file is not owned and must outlive the
// validator. User-interface thread only.
#pragma once

#include "controls/ppLinkColumnDef.h"
#include "controls/ppValidator.h"
#include "platform/WindowTypes.h"

class ppDatafile;
class ppView;

class ppLinkValidator : public ppValidator {
 public:
  // The field searched and copied.
  static constexpr const char* kKeyField = "orderno";
  // The pick list's height beyond the field's own before rounding to rows, and its row height,
  // pixels.
  static constexpr int32_t kListExtra = 150;
  static constexpr int32_t kRowHeight = 20;

  // `view` and `window` are the dialog's content and window; kept, not used by the look-up.
  ppLinkValidator(ppView* view, ppDatafile* file, const ppLinkColumnDefs& columns, plat::HWND window);

  bool Validate(ppParameter& value, ppEditTextField* field) override;

  // The pick list's place for a field whose frame in window coordinates is `field`, in the same
  // coordinates: directly under the field, 20 x floor((field height + 150) / 20) + 1 pixels high
  // and as wide as the columns (the box adds 20 for its scroll bar).
  plat::RECT ListRect(const plat::RECT& field) const;
  const ppLinkColumnDefs& Columns() const { return columns_; }

 private:
  // The current record's "orderno" as a text value.
  ppParameter KeyValueOfRecord(int32_t index);

  ppLinkColumnDefs columns_;
  ppDatafile* file_;   // not owned
  ppView* view_;       // not owned, not used
  plat::HWND window_;  // not used
};
