// startplan: writes the demo's start document. Arguments: the built settings folder, then one or more
// files to write the document to. The program runs on a private copy of the settings (opening its
// databases may write to them), with the room document mkcatalog left in settings/user/new.qxf.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "foundation/ProcessServices.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/HeadlessDriver.h"
#include "tools/startplan/StartPlanWriter.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startplan SETTINGS OUTPUT.qxf...\n");
    return 2;
  }
  const fs::path settings = fs::absolute(argv[1]);
  std::string pattern = (fs::temp_directory_path() / "startplan_XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("startplan: temporary folder");
    return 1;
  }
  const fs::path root = pattern;
  int status = 0;
  try {
    fs::copy(settings, root / "settings", fs::copy_options::recursive);
    // A plan left autosaved by a run of the program from the build folder would be resumed instead of
    // the room.
    fs::remove(root / "settings" / "AutoSave.qxf");
    fs::create_directories(root / "user");
    fs::copy_file(settings / "user" / "new.qxf", root / "user" / "new.qxf");
    plat::HeadlessDriver::Reset();
    if (!InitScreenAndMemory()) throw std::runtime_error("no memory zone");
    const fs::path made = root / "startplan.qxf";
    StartPlanWriter::Write(root, made);
    MemTerminate();
    for (int i = 2; i < argc; ++i) {
      const fs::path target = fs::absolute(argv[i]);
      fs::create_directories(target.parent_path());
      fs::copy_file(made, target, fs::copy_options::overwrite_existing);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "startplan: %s\n", e.what());
    status = 1;
  }
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return status;
}
