// The pick list of a link validator: a modal, captionless, bordered pop-up (template 203) holding a
// grid of the record file's selected records in the validator's columns, whole rows selected.
// A click on a row or Enter picks the selected row; Escape cancels. RunModal answers the picked row
// (an item index of the record file's selection) or -1 when cancelled.
//
// Ownership: the grid lives on the template's control view (item 1543), whose window owns it; the
// record file is not owned. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppLinkColumnDef.h"
#include "framework/ppCollaborator.h"
#include "framework/ppDialog.h"

class ppDatafile;
class ppGrid;
class ppView;

class ppLinkBox : public ppDialog, public ppCollaborator {
 public:
  static constexpr int32_t kTemplate = 203;
  static constexpr int32_t kContentItem = 1543;
  // Width added to the columns' for the vertical scroll bar, pixels.
  static constexpr int32_t kBarRoom = 20;

  // `rect` in screen coordinates: left, top and height of the box (its width follows the columns).
  ppLinkBox(plat::HWND owner, const plat::RECT& rect, ppDatafile* file, const ppLinkColumnDefs& columns);
  ~ppLinkBox() override;

  void OnInitDialog() override;
  bool ValidateOK() override { return true; }
  plat::INT_PTR HandleDialogMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

  ppGrid* Grid() const { return grid_; }
  const plat::RECT& Rect() const { return rect_; }

 private:
  // Ends the modal run with `result`.
  void Finish(int32_t result);

  ppLinkColumnDefs columns_;
  ppDatafile* file_;        // not owned
  plat::RECT rect_;         // screen coordinates
  ppView* host_ = nullptr;  // owned by its control window
  ppGrid* grid_ = nullptr;  // a subview of the host
};
