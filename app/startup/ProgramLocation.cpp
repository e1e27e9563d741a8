#include "app/startup/ProgramLocation.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "foundation/PosixPath.h"

Vcon::WString ProgramLocation::ProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return FolderOf(program.string());
}

Vcon::WString ProgramLocation::FolderOf(std::string_view posixPath) {
  const size_t slash = posixPath.rfind('/');
  if (slash == std::string_view::npos) return {};
  std::u16string folder = Vcon::Utf16FromUtf8(posixPath.substr(0, slash + 1));
  std::replace(folder.begin(), folder.end(), u'/', u'\\');
  return Vcon::WString(folder.c_str(), folder.size());
}
