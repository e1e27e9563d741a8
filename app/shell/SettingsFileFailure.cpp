#include "app/shell/SettingsFileFailure.h"

#include <unistd.h>

#include <filesystem>

#include "database/dbErrors.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"

namespace {

namespace fs = std::filesystem;

// Why the file could not be opened, told from the file's state where the number alone does not.
// The file routines answer -38 for any failed open and 80 for a create over an existing file, which
// is what a database meets when another program holds the file.
std::string Reason(const std::string& file, int32_t error) {
  std::error_code failed;
  if (error == db::kDamagedFile) return "the file is damaged (cut short or overwritten)";
  if (error == kFileErrCannotOpen || error == kFileErrExists) {
    if (!fs::exists(file, failed)) return "the file is missing";
    if (::access(file.c_str(), R_OK | W_OK) != 0)
      return "the planner is not allowed to read and write it (check the file's permissions)";
    return "the file is in use by another program (is the planner already running?)";
  }
  return "the file could not be read";
}

}  // namespace

std::string SettingsFileFailureText(const Vcon::WString& path, int32_t error, const std::string& after) {
  std::error_code failed;
  fs::path file = fs::absolute(fs::path(Vcon::ResolvePosixPath(std::u16string_view(path))), failed);
  std::string shown = failed ? Vcon::SlashedPath(Vcon::Utf8FromUtf16(std::u16string_view(path)))
                             : file.lexically_normal().string();
  std::string text =
      "Cannot open " + shown + ": " + Reason(shown, error) + ". (error " + std::to_string(error) + ")";
  if (!after.empty()) text += " " + after;
  return text;
}
