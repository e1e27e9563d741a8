#include "platform/UserFolders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace plat {

namespace {
namespace fs = std::filesystem;

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

// The folder that ~/.config/user-dirs.dirs (or $XDG_CONFIG_HOME/user-dirs.dirs) gives for documents:
// a line XDG_DOCUMENTS_DIR="$HOME/..." or an absolute path. Empty when there is none.
std::string FromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file = (config && *config ? std::string(config) : home + "/.config") + "/user-dirs.dirs";
  std::ifstream in(file);
  const std::string key = "XDG_DOCUMENTS_DIR=";
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
      value = value.substr(1, value.size() - 2);
    if (value.compare(0, 5, "$HOME") == 0) value = home + value.substr(5);
    return value.empty() || value[0] != '/' ? std::string() : value;
  }
  return {};
}
}  // namespace

std::string UserDocumentsFolder() {
  if (const char* xdg = std::getenv("XDG_DOCUMENTS_DIR"); xdg && *xdg) return xdg;
  const char* home = std::getenv("HOME");
  std::string base = home && *home ? home : ".";
  if (std::string named = FromUserDirs(base); IsFolder(named)) return named;
  if (IsFolder(base + "/Documents")) return base + "/Documents";
  return base;
}

}  // namespace plat
