#pragma once
// A private copy of the demo settings that the build made with tools/mkcatalog, for tests that open
// the demo databases: opening a database may write to it (journal, commit record), so tests never
// open the build's own folder. The copy lies in a fresh temporary folder as "<root>/settings", the
// layout beside a program; it is removed when the object goes away.
//
// Test binaries that use it depend on the `demo_settings` target (CMakeLists.txt) so the folder
// exists before they run; PLANNER_BINARY_DIR names the build folder that holds it.

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>

class DemoSettings {
 public:
  DemoSettings() : DemoSettings(BuiltFolder()) {}
  explicit DemoSettings(const std::filesystem::path& source) {
    static std::atomic<int> counter{0};
    root_ = std::filesystem::temp_directory_path() /
            ("planner_demo_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    if (!std::filesystem::is_directory(source))
      throw std::runtime_error(source.string() + ": the demo settings were not built (target demo_settings)");
    std::filesystem::copy(source, root_ / "settings", std::filesystem::copy_options::recursive);
  }
  ~DemoSettings() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  DemoSettings(const DemoSettings&) = delete;
  DemoSettings& operator=(const DemoSettings&) = delete;

  // The folder holding "settings" (where the program would be).
  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Folder() const { return root_ / "settings"; }
  // A file of the copy, e.g. File("catalogs/kitchen.cdb").
  std::filesystem::path File(const std::string& relative) const { return Folder() / relative; }

  // The settings folder the build wrote.
  static std::filesystem::path BuiltFolder() {
#ifdef PLANNER_BINARY_DIR
    return std::filesystem::path(PLANNER_BINARY_DIR) / "settings";
#else
    return "settings";
#endif
  }

 private:
  std::filesystem::path root_;
};
