#include "controls/ppGridConfigPanel.h"

#include "platform/WindowApi.h"

ppGridConfigPanel::ppGridConfigPanel(ppView* editor) : ppConfigPanel(editor) {}

void ppGridConfigPanel::SendToSupervisor(int32_t command) {
  // The grid closes this editor while the command runs; marked busy, the editor is retired to the
  // pending deletions instead of being deleted under this call.
  BusyScope busy(this);
  if (ppView* supervisor = GetSupervisor()) supervisor->DoCommand(command, 0);
}

ppField* ppGridConfigPanel::FocusNext(ppField*) {
  SendToSupervisor(kNextCell);
  return nullptr;
}

ppField* ppGridConfigPanel::FocusPrevious(ppField*) {
  SendToSupervisor(kPreviousCell);
  return nullptr;
}

bool ppGridConfigPanel::IsDoubleClick(int32_t, int32_t) {
  if (plat::HWND window = GetHWND()) plat::SetFocus(window);
  return false;
}
