#include "app/shell/zelvProApp.h"

#include "app/about/zelvproSplash.h"
#include "app/menus/MenuBuilder.h"
#include "app/shell/ShellSettings.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/qxFunctionFil.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppMenuHelper.h"
#include "framework/ppPicture.h"
#include "platform/Menu.h"
#include "platform/WindowApi.h"

using namespace plat;

zelvProApp::zelvProApp(HINSTANCE instance, HINSTANCE previous) : ppApplication(instance, previous) {}

zelvProApp::~zelvProApp() {
  DeleteAboutWindow();
  DeleteCreditsWindow();
}

ppPicture* zelvProApp::GetPictureAt(int32_t id, int32_t variant) {
  return pictures_.ButtonPicture(id, variant);
}
ppPicture* zelvProApp::GetFramePicture(int32_t id) { return pictures_.FramePicture(id); }
ppPicture* zelvProApp::GetFillPicture(int32_t id) { return pictures_.FillPicture(id); }
ppRGBColor zelvProApp::GetColor(int32_t id) { return colors_.Bytes(id); }
ppFloat4 zelvProApp::GetColorF(int32_t id) { return colors_.Float(id); }
void zelvProApp::SetColor(int32_t id, const ppFloat4& color) { colors_.Set(id, color); }

void zelvProApp::ApplyApplicationRecord(qxApplicationFil& file, HMENU menuBar) {
  ShellSettings& settings = ShellSettings::Current();
  settings.Apply(file);
  SetMenuTextCallback(&MenuBuilder::MenuText);
  if (menuBar == nullptr) return;
  const ppPicture* credits = GetFramePicture(2005);
  MenuBuilder::FitCredits(menuBar, credits != nullptr && !credits->IsEmpty());
  if (file.FunctionFile().GetSelectedCount() <= 0) return;
  MenuBuilder::InsertFunctions(menuBar, file.FunctionFile(), !settings.HelpFile().empty());
  if (Frame() != nullptr) DrawMenuBar(Frame());
}

void zelvProApp::UpdateTexts() {
  HMENU frameMenu = Frame() != nullptr ? GetMenu(Frame()) : nullptr;
  if (frameMenu == nullptr) frameMenu = FrameMenu();
  HMENU clientMenu = window_ != nullptr ? GetMenu(window_) : nullptr;
  if (frameMenu != nullptr) ppMenuHelper::RewriteMenuTexts(frameMenu, MenuTextCallback());
  if (clientMenu != nullptr && clientMenu != frameMenu)
    ppMenuHelper::RewriteMenuTexts(clientMenu, MenuTextCallback());
  if (Frame() != nullptr) DrawMenuBar(Frame());
  if (window_ != nullptr) DrawMenuBar(window_);
  if (documentWindow_ != nullptr) documentWindow_->UpdateTexts();
  ppView::UpdateTexts();
}
