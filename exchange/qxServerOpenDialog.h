#pragma once
// Picks the server file to open, or deletes one. The name comes only from the list: the field is
// read-only and shows the selected row's name, the first row's when the dialog opens (the empty name
// for an empty list), following every selection change. "Open" (1) and Enter give the caller the
// shown name; "Cancel" (2) and Escape leave it. "Delete" (3) asks the document record file to delete
// the shown file (message 1030 on channel 1000 with a ServerDeleteRequest, answered before the
// broadcast returns) and keeps the dialog open; with no name shown it does nothing.
//
// The file list: a successful delete puts the server's new list in place of the shown one, which the
// handler has destroyed.
//
// The read-only name field may hold the focus (its text can be selected and copied): Enter and the
// arrow keys typed there are handed to the dialog as well. The caller therefore takes FileList() after the
// run as the list to keep or destroy, never the one it passed in. User-interface thread only.

#include <cstdint>

#include "exchange/qxServerFileDialog.h"
#include "platform/WindowTypes.h"

class qxServerOpenDialog : public qxServerFileDialog {
 public:
  static constexpr int32_t kTitleText = 7434;
  static constexpr int32_t kDeleteText = 7444;
  // The delete request: channel and message of the global switchboard.
  static constexpr int32_t kDeleteChannel = 1000;
  static constexpr int32_t kDeleteMessage = 1030;

  // `fileName` and `files` are the caller's (not owned); see FileList() for the list after a delete.
  qxServerOpenDialog(ppView* parent, Vcon::WString* fileName, ServerFileList* files);

  void OnInitDialog() override;
  // Enter opens the shown file; Escape cancels; the arrow keys move the selection; other keys do
  // nothing.
  void KeyDown(signed char key, int32_t flags) override;

 protected:
  int32_t NameMessage() const override;
  // "Delete".
  void ExtraAction() override;

 private:
  // The name field's edit control, subclassed: Enter and the arrows go to the dialog's KeyDown.
  static plat::LRESULT NameKeysProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                    plat::LPARAM lParam);
};
