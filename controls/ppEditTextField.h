// The typing field of configurator panels and dialogs: a caption column at the left and, right of
// it, the platform's "RichEdit20A" control inside a small container window of class "textfield".
// The container's procedure filters the control's keys and turns Return, Tab and loss of focus into
// a commit of the typed text (as a text value; the data unit converts it). The field does no checking
// of its own beyond an optional maximum length. Inside a dialog the control asks the dialog for Tab
// (KeepsInDialog), so that Tab moves between the panel's fields there too, not between the dialog's
// items.
//
// Ownership: the field owns both windows; the container's property "textfield" points back to the
// field. User-interface thread only.
#pragma once

#include <cstdint>
#include <string>

#include "controls/ppInputField.h"
#include "platform/WindowTypes.h"

class ppEditTextField : public ppInputField {
 public:
  static constexpr const char* kClassName = "textfield";
  static constexpr const char* kProperty = "textfield";
  // Height of one text line, pixels: the default font height (12) times 1.25.
  static constexpr int32_t kLineHeight = 15;

  // `lineCount` 1: a single-line control; more: a multi-line one of that many lines. `framed`: the
  // field wears frame picture 1100. Callers set the caption with ppInputField::SetText.
  ppEditTextField(ppView* parent, ppDataUnit* unit, const std::string& names, int32_t lineCount, bool framed);
  ~ppEditTextField() override;

  // Characters; 0: only the control's own limit. A key beyond it beeps and is dropped.
  void SetMaxLength(int32_t length);
  void MakeEditable();
  void MakeReadOnly();
  void SetPasswordMode();
  // Selects the whole text, as taking the focus does, without scrolling the control.
  void SelectAllNoScroll();

  Vcon::WString GetControlText();
  ppParameter GetControlValue();
  void SetControlText(const Vcon::WString& text);
  void ShowValue(const ppParameter& value);

  plat::HWND EditControl() const { return edit_; }
  plat::HWND Container() const { return container_; }
  int32_t LineCount() const { return lineCount_; }
  int32_t MaxLength() const { return maxLength_; }
  bool IsFocused() const { return focused_; }
  // Text was typed that is not yet the value.
  bool IsEdited() const { return edited_; }

  // ---- View and field operations.
  void SupervisorResized(int32_t dx, int32_t dy) override;
  void DrawContent(ppDC& dc) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void Show() override;
  void Hide() override;
  int32_t LayoutAt(int32_t top) override;
  bool CommitInput() override;
  void TakeFocus() override;
  void LoseFocus() override;

  // The container's window procedure.
  static plat::LRESULT TextFieldWndProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                        plat::LPARAM lParam);

 protected:
  // Whether a key-down of `key` (a virtual key) stays with the field inside a dialog rather than going
  // to the dialog's keyboard: Tab.
  virtual bool KeepsInDialog(int32_t key) const;

 private:
  // The edit control's procedure in front of its own: asked by a dialog, it claims KeepsInDialog's keys.
  static plat::LRESULT EditProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                plat::LPARAM lParam);
  // The answer to a key the control is about to handle: 1 drops it.
  plat::LRESULT FilterKey(int32_t key);
  plat::LRESULT FilterChar(plat::WPARAM character);
  void MoveContainer(const plat::RECT& area);
  // Right of the caption column, inside a 2-pixel border of the frame; window coordinates.
  plat::RECT ValueArea();

  plat::HWND edit_ = nullptr;
  plat::HWND container_ = nullptr;
  plat::HFONT font_ = nullptr;  // from the font cache, not owned
  int32_t maxLength_ = 0;
  int32_t lineCount_;
  bool focused_ = false;
  bool edited_ = false;
};
