#include "canvas/view3d/zelvproViewPointButton.h"

#include "elements/base/iApplicationSettings.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TextsById.h"
#include "platform/Menu.h"
#include "platform/MenuTracker.h"

zelvproViewPointButton::zelvproViewPointButton(ppView* supervisor, const plat::RECT& frame, int32_t id,
                                               int8_t horizontal, int8_t vertical)
    : ppButton(supervisor, &frame, id, horizontal, vertical, kPush) {
  SetCommandId(id);
}

zelvproViewPointButton::~zelvproViewPointButton() = default;

void zelvproViewPointButton::DoCommand(int32_t command, intptr_t parameter) {
  if (command != kContextCommand) return ppButton::DoCommand(command, parameter);
  if (parameter != 0) OpenMenu(*reinterpret_cast<const plat::POINT*>(parameter));
}

Vcon::WString zelvproViewPointButton::ItemText(int32_t textId, int32_t entry) {
  Vcon::WString text;
  if (!GetTextById(textId, text) || text.empty()) GetStringArrayText(text, uint16_t(kMenuTextList), entry);
  return text;
}

void zelvproViewPointButton::OpenMenu(const plat::POINT& screen) {
  lastChoice_ = 0;
  const uint32_t flags1 = iApplicationSettings::Current().flags1;
  const bool home = GetCommandId() == kHomeButton;
  if ((flags1 & kCaptureFlag) == 0) return;
  if (home && (flags1 & kHomeViewPointFlag) == 0) return;
  plat::HMENU menu = plat::CreatePopupMenu();
  if (menu == nullptr) return;
  plat::AppendMenuW(menu, plat::MF_STRING, kCaptureItem, ItemText(kCaptureText, 1).c_str());
  if (home) plat::AppendMenuW(menu, plat::MF_STRING, kDefaultHomeItem, ItemText(kDefaultHomeText, 2).c_str());
  const int32_t chosen =
      plat::TrackPopupMenu(menu, plat::TPM_RETURNCMD, screen.x, screen.y, 0, GetHWND(), nullptr);
  plat::DestroyMenu(menu);
  lastChoice_ = chosen;
  if (!home || chosen == 0) return;
  ppView* canvas = GetSupervisor();
  if (canvas == nullptr) return;
  if (chosen == kDefaultHomeItem) canvas->DoCommand(kUseDefaultHome, reinterpret_cast<intptr_t>(this));
  if (chosen == kCaptureItem) canvas->DoCommand(kCaptureHome, reinterpret_cast<intptr_t>(this));
}
