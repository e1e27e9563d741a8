// The configurator field that shows one choice of a list (a colour, a texture, a calculation unit)
// as a box with a picture and one or two lines of text. The arrow keys step through the choices
// (wrapping); Alt+arrow, or a click on the drop button, opens the drop-down under the box: the flat
// list (ppPopupSelectorDialog) or, with the tree flag, the tree (ppTreeViewSelectorDialog).
//
// The query is the field's data unit (owned by the field): column 1 of an item is its identity,
// compared with and written into the property; columns 2 and 3 its texts, column 4 its picture.
// The field owns its open drop-down and detaches it before deleting it, so a drop-down never reports
// into a field that is going away. The field has a child window of its own (class "ppPopupSelector")
// only to take the keyboard focus. User-interface thread only.
#pragma once

#include <cstdint>

#include "controls/ppInputField.h"
#include "platform/WindowTypes.h"

class ppButton;
class ppSelectorDialog;
class ppSelectorQuery;

class ppPopupSelector : public ppInputField {
 public:
  static constexpr const char* kClassName = "ppPopupSelector";
  static constexpr const char* kProperty = "popupselector";
  // Height of the drop-down rectangle before the host window bounds it, pixels.
  static constexpr int32_t kDropHeight = 263;
  // Drop button pictures.
  static constexpr int32_t kButtonOneLineLeft = 3632, kButtonTwoLinesAbove = 6020, kButtonOther = 3636,
                           kButtonLargePicture = 6024;

  // `query` passes to the field. `mode`: text lines shown, 0, 1 or 2; `notify` goes with every
  // previewed write; `selectFirst` shows the first choice when the value matches none (display only);
  // `largePicture` shows pictures centred at their own size in tall boxes (mode 5).
  ppPopupSelector(ppView* supervisor, ppSelectorQuery* query, const Vcon::WString& caption, int32_t mode,
                  bool captionAbove, bool notify, bool selectFirst, bool largePicture);
  ~ppPopupSelector() override;

  // After construction: the drop-down is the tree; the list kind (rows of 20, 40 or 84 pixels);
  // no picture in the box.
  void SetTree(bool tree) { tree_ = tree; }
  void SetListRows(int32_t mode) { listMode_ = mode; }
  void SetNoListPicture(bool hide) { hidePicture_ = hide; }

  // ---- Field and view operations.
  void Activate() override { TakeFocus(); }
  void Deactivate() override { LoseFocus(); }
  void DrawContent(ppDC& dc) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void DoCommand(int32_t command, intptr_t parameter) override;
  void AddToolTips(uint32_t) override {}
  void RemoveToolTips() override {}
  int32_t LayoutAt(int32_t y) override;
  bool IsFocusable() override { return IsShown() && button_ != nullptr; }
  void TakeFocus() override;
  void LoseFocus() override;

  // ---- What the drop-downs use.
  void OpenPopup();
  void ClearOpenPopup() { popup_ = nullptr; }
  void SetCurrentIndex(int32_t index) { current_ = index; }
  bool NotifyFlag() const { return notify_; }
  // The panel makes this the current field, and the field takes the focus.
  void BecomeCurrent();
  void MoveToNext() { FocusNext(this); }
  void MoveToPrevious() { FocusPrevious(this); }
  // The host window's client area bottom, in the coordinates of the drop-down rectangle (see
  // OpenPopup); the drop-down never reaches below it.
  int32_t PopupLimit() const { return popupLimit_; }

  ppSelectorQuery* Query() const { return query_; }
  ppSelectorDialog* OpenPopupDialog() const { return popup_; }
  ppButton* DropButton() const { return button_; }
  plat::HWND KeyWindow() const { return keyWindow_; }
  int32_t CurrentIndex() const { return current_; }
  int32_t FieldHeight() const { return fieldHeight_; }
  int32_t Mode() const { return mode_; }
  bool IsFocused() const { return focused_; }
  bool IsTree() const { return tree_; }

  // Steps by +1 or -1 with wrap and writes the choice (the arrow keys without Alt).
  void Step(int32_t step);
  // The index of the first item whose column 1 equals the value; -1 when none does.
  int32_t FindCurrent();

 private:
  static plat::LRESULT Proc(plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
  void HandleKey(plat::WPARAM key, bool alt);
  void DeletePopup();

  int32_t current_ = -1;
  ppSelectorDialog* popup_ = nullptr;  // owned
  ppSelectorQuery* query_;             // the field's data unit
  int32_t listMode_;
  bool tree_ = false;
  ppButton* button_ = nullptr;  // a subview; null with one choice
  bool focused_ = false;
  plat::HWND keyWindow_ = nullptr;
  int32_t captionOffset_;
  int32_t fieldHeight_;
  int32_t mode_;
  bool hidePicture_ = false;
  bool captionAbove_;
  bool notify_;
  bool selectFirst_;
  bool largePicture_;
  int32_t popupLimit_ = 0;
};
