#pragma once
// Asks for the name under which the document is saved on the document server. It starts with the
// caller's name (the document's current server name); any name may be typed, and a click on a row of
// the user's server files puts that file's name into the field, while moving the selection with the
// keys leaves the name alone. "Save" (1) gives the caller the name as shown, untrimmed; "Cancel" (2)
// and Escape leave the caller's name. User-interface thread only.

#include <cstdint>

#include "exchange/qxServerFileDialog.h"

class qxServerSaveDialog : public qxServerFileDialog {
 public:
  static constexpr int32_t kTitleText = 7433;

  // `fileName` and `files` are the caller's (not owned) and outlive the dialog.
  qxServerSaveDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files);

  void OnInitDialog() override;

 protected:
  int32_t NameMessage() const override;
};
