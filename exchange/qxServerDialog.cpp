#include "exchange/qxServerDialog.h"

#include <algorithm>

#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/zelvproLogoPane.h"
#include "foundation/TextsById.h"
#include "framework/ppButton.h"
#include "framework/ppTextButton.h"
#include "framework/ppView.h"
#include "framework/qxGrayAdorner.h"
#include "platform/Dialog.h"
#include "platform/WindowApi.h"

namespace {

// The logo band's top and bottom, content pixels.
constexpr int32_t kLogoTop = 6;
constexpr int32_t kLogoBottom = 56;
constexpr int32_t kMaxTitle = 256;

}  // namespace

qxServerDialog::qxServerDialog(plat::HWND parent, bool inputDialog)
    : ppViewDialog(parent, false), inputDialog_(inputDialog) {}

bool qxServerDialog::BuildFrame(int32_t width, int32_t height, int32_t titleId, const char16_t* englishTitle,
                                int32_t logoLeft) {
  ppViewDialog::OnInitDialog();
  SetContentSize(width, height);
  // The dialog manager centred the template's larger size; centre what the dialog has become.
  CenterOn(GetWindow(), GetOwnerWindow());
  Vcon::WString title;
  if (englishTitle != nullptr) {
    title = englishTitle;
  } else {
    GetTitle(title, kMaxTitle);
  }
  GetTextById(titleId, title);
  SetTitle(title);
  ppView* content = ContentView();
  if (content == nullptr) return false;
  new zelvproLogoPane(content, {logoLeft, kLogoTop, logoLeft + width, kLogoBottom});
  new qxGrayAdorner(content, kBackgroundColour);  // the view deletes its adorners
  return true;
}

ppConfigPanel* qxServerDialog::MakePanelArea(const plat::RECT& area) {
  // Some areas are drawn up reaching past the content's right edge; a text wrapped to such a width
  // would lose its line ends there, so the area stops at the edge.
  plat::RECT inside = area;
  if (ppView* content = ContentView()) inside.right = std::min(inside.right, content->GetFrame().right);
  auto* configurator = new ppConfigurator(ContentView(), inside, nullptr, false);
  configurator->SetSinglePage();  // no tab row, before any panel joins
  return new ppConfigPanel(configurator);
}

void qxServerDialog::PlacePanel(ppConfigPanel* panel) {
  auto* configurator = dynamic_cast<ppConfigurator*>(panel->Owner());
  if (configurator == nullptr) return;
  configurator->AddPanel(panel);
  configurator->PlaceTabs();
}

ppTextButton* qxServerDialog::MakeButton(const plat::RECT& frame, int32_t number, const char16_t* label,
                                         int32_t textId) {
  return new ppTextButton(ContentView(), &frame, number, Vcon::WString(label), textId, ppView::kStay,
                          ppView::kStay);
}

void qxServerDialog::TargetDialog() {
  if (ppView* content = ContentView()) content->SetTarget(this);
}

void qxServerDialog::EndWith(int32_t result) {
  SetResult(result);
  plat::EndDialog(GetWindow(), result);
}

void qxServerDialog::DoCommand(int32_t command, intptr_t parameter) {
  if (command != kButtonPressed || parameter == 0) return;
  // Only the dialog's text buttons carry numbers (a text button keeps its number as its initial
  // picture id); a press of any other button is not the frame's.
  auto* button = dynamic_cast<ppTextButton*>(reinterpret_cast<ppButton*>(parameter));
  if (button == nullptr) return;
  const int32_t number = button->AlternatePicture();
  if (inputDialog_) button->SetState(ppButton::kNormal);
  switch (number) {
    case kAccept:
      if (!inputDialog_ || ValidateOK()) EndWith(kAccept);
      break;
    case kCancel:
      EndWith(kCancel);
      break;
    case kExtra:
      ExtraAction();
      break;
    default:
      break;
  }
}

plat::INT_PTR qxServerDialog::HandleDialogMessage(plat::UINT message, plat::WPARAM wParam,
                                                  plat::LPARAM lParam) {
  if (message == plat::WM_DESTROY) ForgetViews();
  return ppViewDialog::HandleDialogMessage(message, wParam, lParam);
}

void qxServerDialog::KeyDown(signed char key, int32_t flags) {
  if (key == plat::VK_ESCAPE) {
    Cancel();
    EndWith(kCancel);
    return;
  }
  ppViewDialog::KeyDown(key, flags);
}
