#include "foundation/CurrentFolder.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "foundation/PosixPath.h"

Vcon::WString GetCurrentDir() {
  std::error_code error;
  std::u16string here = std::filesystem::current_path(error).u16string();
  std::replace(here.begin(), here.end(), u'/', u'\\');
  Vcon::WString folder(here);
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  return folder;
}

void SetCurrentDir(const Vcon::WString& folder) {
  if (folder.empty()) return;
  std::string path = Vcon::ResolvePosixPath(std::u16string_view(folder));
  (void)chdir(path.c_str());
}
