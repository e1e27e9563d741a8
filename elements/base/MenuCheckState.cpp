#include "elements/base/MenuCheckState.h"

#include <set>

#include "platform/ResetList.h"

namespace {

// The checked commands; written by the application frame, user-interface thread only.
std::set<int32_t> gCheckedCommands;
[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("menu check state", [] { gCheckedCommands.clear(); });

}  // namespace

bool IsMenuCommandChecked(int32_t command) { return gCheckedCommands.count(command) != 0; }

void SetMenuCommandChecked(int32_t command, bool checked) {
  if (checked)
    gCheckedCommands.insert(command);
  else
    gCheckedCommands.erase(command);
}
