#pragma once
// A dialog whose content is a view tree hosted in one control view (item 1524), and which is an
// event handler as well. Template 202 puts OK and Cancel beside the view; template 1129 has the view
// alone. Server, extras and other view dialogs derive from it.

#include <cstdint>

#include "framework/ppDialog.h"
#include "framework/ppEventHandler.h"

class ppView;

class ppViewDialog : public ppDialog, public ppEventHandler {
 public:
  static constexpr int32_t kTemplateWithButtons = 202;
  static constexpr int32_t kTemplateWithoutButtons = 1129;
  static constexpr int32_t kContentItem = 1524;

  ppViewDialog(plat::HWND owner, bool withButtons);

  // Wraps the content control's view (its object), moved to (0, 0); then the base behaviour.
  void OnInitDialog() override;
  plat::INT_PTR HandleDialogMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;
  void AdjustCursor(int32_t x, int32_t y) override;

  // Sizes the dialog so that the content gets width x height pixels; the buttons keep their
  // distance to the right edge.
  void SetContentSize(int32_t width, int32_t height);

  ppView* ContentView() const { return content_; }
  bool WithButtons() const { return withButtons_; }
  int32_t LastEditedItem() const { return lastEdited_; }

 private:
  // Moves a child by `dx` pixels, keeping its size and vertical place.
  void ShiftItem(int32_t id, int32_t dx);

  ppView* content_ = nullptr;  // owned by its control window
  bool withButtons_;
  uint16_t lastEdited_ = 0;
};
