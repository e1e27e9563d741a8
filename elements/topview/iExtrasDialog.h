// The dialog in which the user edits the extra articles of a top-view element. The dialogs install
// theirs here; until one is installed, nothing opens and the extras stay as they are.
#pragma once

#include <cstdint>
#include <vector>

class zelvproTopViewElement;

class iExtrasDialog {
 public:
  virtual ~iExtrasDialog() = default;
  // Runs the dialog modally over `extras` (the element's extra articles, records of layout
  // "qxExtras" in embedded-table form), which it edits in place.
  virtual void RunModal(zelvproTopViewElement& /*element*/, std::vector<uint8_t>& /*extras*/) {}

  // The installed dialog, or a neutral one; never null.
  static iExtrasDialog& Current();
  // Installs `dialog` (null: the neutral one again). Not owned.
  static void Install(iExtrasDialog* dialog);
};
