#pragma once
// The folders of the user's session that dialogs start in and print jobs write to.

#include <string>

namespace plat {

// The user's documents folder, as the desktop names it: $XDG_DOCUMENTS_DIR, else the XDG_DOCUMENTS_DIR
// line of ~/.config/user-dirs.dirs when it names an existing folder, else ~/Documents when it exists,
// else the home folder ("." without a home). No trailing slash (except for "/").
std::string UserDocumentsFolder();

}  // namespace plat
