#include "app/menus/MenuBuilder.h"

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "foundation/TextsById.h"
#include "platform/Menu.h"

using namespace plat;

int32_t MenuBuilder::FindMenuItemPosition(HMENU menu, int32_t command) {
  const int32_t count = GetMenuItemCount(menu);
  for (int32_t position = 0; position < count; ++position) {
    if (GetSubMenu(menu, position) != nullptr) continue;
    if (int32_t(int16_t(GetMenuItemID(menu, position) & 0xFFFF)) == command) return position;
  }
  return -1;
}

void MenuBuilder::FitCredits(HMENU menuBar, bool hasCredits) {
  if (!hasCredits) DeleteMenu(menuBar, UINT(kCreditsItem), MF_BYCOMMAND);
}

void MenuBuilder::InsertFunctions(HMENU menuBar, ppDatafile& functions, bool hasHelp) {
  const int32_t count = functions.GetSelectedCount();
  if (count <= 0) return;
  HMENU help = GetSubMenu(menuBar, kHelpMenu);
  HMENU file = GetSubMenu(menuBar, kFileMenu);
  int32_t helpAt = FindMenuItemPosition(help, kHelpItem) + 1;
  int32_t printAt = FindMenuItemPosition(file, kPrintItem) + 1;
  int32_t saveAt = FindMenuItemPosition(file, kSaveAsItem) + 1;
  if (!hasHelp && helpAt > 0) {
    // The separator below the help item, then the item itself.
    DeleteMenu(help, UINT(helpAt), MF_BYPOSITION);
    DeleteMenu(help, UINT(helpAt - 1), MF_BYPOSITION);
    --helpAt;
  }
  const RecordField command(functions, "cmd"), type(functions, "type"), name(functions, "name");
  bool printSeparator = false, saveSeparator = false;
  for (int32_t i = 0; i < count; ++i) {
    functions.ReadRecordAt(i, nullptr);
    const char* record = functions.GetRecordBuffer();
    const uintptr_t id = uintptr_t(UINT(command.Long(record)) & 0xFFFF);
    const Vcon::String text = name.Text(record);
    switch (type.Long(record)) {
      case kHelpFunction:
        if (help != nullptr) InsertMenuA(help, UINT(helpAt++), MF_BYPOSITION | MF_STRING, id, text.c_str());
        break;
      case kPrintFunction:
        if (file == nullptr) break;
        if (!printSeparator) {
          InsertMenuA(file, UINT(printAt++), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
          printSeparator = true;
        }
        InsertMenuA(file, UINT(printAt++), MF_BYPOSITION | MF_STRING, id, text.c_str());
        break;
      case kSaveFunction:
        if (file == nullptr) break;
        if (!saveSeparator) {
          InsertMenuA(file, UINT(saveAt++), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
          ++printAt;
          saveSeparator = true;
        }
        InsertMenuA(file, UINT(saveAt++), MF_BYPOSITION | MF_STRING, id, text.c_str());
        ++printAt;  // the print insertion point lies below
        break;
      default:
        break;
    }
  }
}

int32_t MenuBuilder::SubmenuTextId(int32_t position) {
  // The menu bar has no document system menu in front, so File is position 0.
  return position >= 0 && position <= 3 ? -101 - position : 0;
}

void MenuBuilder::MenuText(int32_t kind, const char16_t*, int32_t idOrPosition, Vcon::WString* text) {
  const int32_t number = kind == 0 ? idOrPosition : SubmenuTextId(idOrPosition);
  if (number == 0) return;
  Vcon::WString found;
  if (GetTextById(number, found)) *text = found;
}
