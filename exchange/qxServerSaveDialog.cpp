#include "exchange/qxServerSaveDialog.h"

#include "controls/ppGridScroller.h"

qxServerSaveDialog::qxServerSaveDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files)
    : qxServerFileDialog(parent, fileName, files) {}

void qxServerSaveDialog::OnInitDialog() {
  if (!BuildFileDialog({kTitleText, u"Save to Server", 7418, u"Save", 7442})) return;
  FocusGrid();
}

int32_t qxServerSaveDialog::NameMessage() const { return ppGridScroller::kClickMessage; }
