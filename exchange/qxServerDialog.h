#pragma once
// The frame every dialog of the document server exchange is built on: a view dialog without template
// buttons whose content view is filled in code. Each run builds the content anew (OnInitDialog): the
// content size, the title by text number over its English default, the logo band, the grey
// background (document colour 11), tab-less configurators with one panel each for texts and edit
// fields, and text buttons 70 pixels wide that carry a number: 1 accepts, 2 cancels, 3 is the dialog's
// extra action. A pressed button sends command 5000 up its views; the content view's key target is
// the dialog, which reads the button's number and acts.
//
// Ownership: everything made during OnInitDialog (views, configurators, fields, their data units)
// belongs to the content view and goes with the dialog window; the members live as long as the
// object. User-interface thread only.

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ppViewDialog.h"

class ppConfigPanel;
class ppTextButton;

class qxServerDialog : public ppViewDialog {
 public:
  // Button numbers.
  static constexpr int32_t kAccept = 1;
  static constexpr int32_t kCancel = 2;
  static constexpr int32_t kExtra = 3;
  // The command a pressed button sends (ppButton::kPressedCommand).
  static constexpr int32_t kButtonPressed = 5000;
  // Shade of the background, an index of the document window's colour table.
  static constexpr int32_t kBackgroundColour = 11;
  // Text numbers of the shared button labels.
  static constexpr int32_t kOkText = 7421;
  static constexpr int32_t kCancelText = 7419;
  static constexpr int32_t kButtonWidth = 70;
  static constexpr int32_t kButtonHeight = 19;

  // Handles command 5000 (the parameter is the pressed button) by the button's number; every other
  // command and number is ignored.
  void DoCommand(int32_t command, intptr_t parameter) override;
  // Keys that reach the content view come here (it is the key target): Escape cancels as the
  // window's own cancel does (the content view takes every key, so the dialog manager never sees it).
  void KeyDown(signed char key, int32_t flags) override;
  // Forgets the views of the content (ForgetViews) when the window goes.
  plat::INT_PTR HandleDialogMessage(plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) override;

 protected:
  // `inputDialog`: a dialog with input fields (login, save, open); its accept asks ValidateOK and a
  // pressed button is put back into its normal state first. The message dialogs end at once.
  qxServerDialog(plat::HWND parent, bool inputDialog);

  // The frame's first steps, run first by every OnInitDialog: the base initialisation, the content
  // size, the title (`englishTitle` replaced by text `titleId` when the current language has it; null
  // keeps the caption the window has), the logo band (logoLeft, 6, logoLeft + width, 56) and the grey
  // background. Answers false when the dialog has no content view (nothing more can be built).
  bool BuildFrame(int32_t width, int32_t height, int32_t titleId, const char16_t* englishTitle,
                  int32_t logoLeft);
  // A tab-less configurator over `area` (content pixels, cut at the content's right edge) with one new
  // panel, which is answered; the caller adds fields to it and then calls PlacePanel.
  ppConfigPanel* MakePanelArea(const plat::RECT& area);
  // Hands the filled panel to its configurator and lays it out.
  static void PlacePanel(ppConfigPanel* panel);
  // A text button over `frame` carrying `number`; its label is `label`, or text `textId` when the
  // current language has it.
  ppTextButton* MakeButton(const plat::RECT& frame, int32_t number, const char16_t* label, int32_t textId);
  // The content view's key target becomes the dialog, so that button presses reach DoCommand.
  void TargetDialog();
  // Ends the modal run with `result` (1 or 2).
  void EndWith(int32_t result);

  // Button 3; the dialog stays open. Nothing by default.
  virtual void ExtraAction() {}
  // The dialog window is being destroyed with its views: pointers kept to them must be cleared.
  virtual void ForgetViews() {}

 private:
  bool inputDialog_;
};
