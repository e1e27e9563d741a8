// Fits the frame's menu bar to the application record: removes what the skin or the settings do
// not offer and inserts the application's own functions from its function records, and gives the
// menu walker the texts of the current language.
//
// Menu positions: File 0, Edit 1, View 2, Help 3 (the menu resource "MAIN"). User-interface thread.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "platform/WindowTypes.h"

class ppDatafile;

class MenuBuilder {
 public:
  static constexpr int32_t kFileMenu = 0;
  static constexpr int32_t kHelpMenu = 3;
  static constexpr int32_t kHelpItem = 49;
  static constexpr int32_t kCreditsItem = 2;
  static constexpr int32_t kSaveAsItem = 15;
  static constexpr int32_t kPrintItem = 19;
  // Function record types: Help menu, File menu after Print, File menu after Save As.
  static constexpr int32_t kHelpFunction = 0;
  static constexpr int32_t kPrintFunction = 1;
  static constexpr int32_t kSaveFunction = 2;

  // The position of the first item of `menu` (one level) whose command is `command`; -1 for none.
  static int32_t FindMenuItemPosition(plat::HMENU menu, int32_t command);

  // Deletes the credits item when `hasCredits` is false.
  static void FitCredits(plat::HMENU menuBar, bool hasCredits);
  // Inserts one item per record of the functions' current selection, by its "type" (records of
  // other types are not shown). With no record selected the menu is left as it is; otherwise,
  // without a help file, the help item and the separator below it go first.
  static void InsertFunctions(plat::HMENU menuBar, ppDatafile& functions, bool hasHelp);

  // The text supplier handed to the framework's menu walker (SetMenuTextCallback): a command item
  // takes the text of its id in the current language, File to Help those of -101 to -104; without
  // a text the item keeps its own.
  static void MenuText(int32_t kind, const char16_t* itemText, int32_t idOrPosition, Vcon::WString* text);
  // The text id of the top-level menu at `position`; 0 when it has none.
  static int32_t SubmenuTextId(int32_t position);
};
