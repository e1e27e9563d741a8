// The modal dialog in which the user edits the extra articles of a top-view element in a grid: one
// line per extras record (article number, description, quantity). Edits go to a working copy; the
// element's extras change only on OK. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "framework/ppViewDialog.h"
#include "foundation/Vcon_HandleManager.h"

class qxExtrasFil;
class qxExtrasHeaders;
class zelvDatabase;

class qxExtrasDialog : public ppViewDialog {
 public:
  // `extras` (the element's extras in embedded-table form) must outlive the dialog; `articles` is
  // the catalogue whose price records the article numbers name.
  qxExtrasDialog(std::vector<uint8_t>& extras, zelvDatabase& articles, plat::HWND parent);
  ~qxExtrasDialog() override;

  void OnInitDialog() override;
  // Copies the working copy into the element's extras and accepts.
  bool ValidateOK() override;

 private:
  void SetTexts();
  // The extras file over the working copy, never empty: an empty table gets one empty record.
  void OpenExtras();

  Handle working_ = nullptr;  // owned
  std::vector<uint8_t>& extras_;
  zelvDatabase& articles_;
  std::unique_ptr<qxExtrasFil> file_;
  std::unique_ptr<qxExtrasHeaders> headers_;
};
