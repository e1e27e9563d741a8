#include "tools/mkcatalog/Mkcatalog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <stdexcept>

#include "tools/mkcatalog/BrowserTexts.h"
#include "tools/mkcatalog/DatabaseBuilder.h"
#include "tools/mkcatalog/PictureMaker.h"
#include "tools/mkcatalog/RoomScenes.h"
#include "tools/mkcatalog/SettingsFiles.h"
#include "tools/mkcatalog/SourceError.h"
#include "tools/mkcatalog/WorktopInfo.h"

namespace mkcatalog {
namespace {

namespace fs = std::filesystem;

constexpr int kFailed = 1, kUsage = 2;
// The browser texts' source folder, and their place under the settings folder.
constexpr const char* kBrowserFolder = "catalogs";
// The room templates' source folder; they go into the main catalogue once it is written.
constexpr const char* kRoomsFolder = "rooms";
// The worktop information file, at the same place under the sources and the settings folder.
constexpr const char* kInfoFolder = "info";
constexpr const char* kWorktopsFile = "worktops.txt";
// The placement-warning rules and their pictures, at the same place under the sources and the
// settings folder; the pictures are made from the descriptions of kWarningPictures.
constexpr const char* kWarningsFolder = "warnings";
constexpr const char* kWarningRules = "warnings.txt";
constexpr const char* kWarningPictures = "pictures.txt";
// The plain settings files (SettingsFiles.h), copied over what the databases wrote.
constexpr const char* kFilesFolder = "files";

std::vector<fs::path> SortedEntries(const fs::path& folder, bool folders, const std::string& extension) {
  std::vector<fs::path> paths;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (folders ? entry.is_directory() : (entry.is_regular_file() && entry.path().extension() == extension))
      paths.push_back(entry.path());
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

// Copies the rules file and makes each picture "<name>.png<TAB><description>" of the picture list
// (lines starting with '#' and empty lines are skipped).
void BuildWarnings(const fs::path& folder, const fs::path& staging, std::ostream& out) {
  const fs::path target = staging / kWarningsFolder;
  fs::create_directories(target);
  if (fs::exists(folder / kWarningRules)) fs::copy_file(folder / kWarningRules, target / kWarningRules);
  const fs::path list = folder / kWarningPictures;
  std::ifstream in(list, std::ios::binary);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const size_t tab = line.find('\t');
    const std::string name = line.substr(0, tab);
    if (tab == std::string::npos || name.size() < 5 || name.substr(name.size() - 4) != ".png" ||
        name.find_first_of("/\\") != std::string::npos)
      throw SourceError(list, number, "expected <name>.png, a tab and a picture");
    std::vector<uint8_t> png;
    try {
      png = MakePicture(line.substr(tab + 1));
    } catch (const std::invalid_argument& e) {
      throw SourceError(list, number, e.what());
    }
    std::ofstream file(target / name, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  }
  out << "mkcatalog: " << kWarningsFolder << "/\n";
}

void Build(const fs::path& sources, const fs::path& staging, std::ostream& out) {
  std::vector<std::unique_ptr<DatabaseBuilder>> builders;
  std::set<std::string> outputs;
  for (const fs::path& folder : SortedEntries(sources, true, "")) {
    if (!fs::exists(folder / "database.txt")) continue;
    builders.push_back(std::make_unique<DatabaseBuilder>(folder));
    if (!outputs.insert(builders.back()->OutputName()).second)
      throw SourceError(folder / "database.txt", 0, "another folder writes " + builders.back()->OutputName());
  }
  // The worktop file names top-view records by their source rows: checked before anything is built.
  const fs::path worktops = sources / kInfoFolder / kWorktopsFile;
  const bool hasWorktops = fs::exists(worktops);
  if (hasWorktops) {
    std::vector<WorktopCatalogue> catalogues;
    for (const auto& builder : builders) {
      if (builder->Identifier() >= 0)
        catalogues.push_back({builder->Identifier(), builder->ColumnByKey("qxTopView", "ID", "width")});
    }
    CheckWorktopInfo(worktops, catalogues);
  }
  std::set<std::string> mainItems;
  std::string mainCatalogue;
  for (const auto& builder : builders) {
    builder->Build(staging);
    if (builder->Identifier() == 1) {
      mainItems = builder->ColumnValues("qxCatalogItem", "ID");
      mainCatalogue = builder->OutputName();
    }
    out << "mkcatalog: " << builder->OutputName() << "\n";
  }
  const fs::path rooms = sources / kRoomsFolder;
  if (fs::is_directory(rooms)) {
    if (mainCatalogue.empty())
      throw SourceError(rooms, 0, "the room templates need the main catalogue (identifier 1)");
    BuildRoomScenes(rooms, staging / mainCatalogue, staging);
    out << "mkcatalog: room templates in " << mainCatalogue << "\n";
  }
  if (hasWorktops) {
    fs::create_directories(staging / kInfoFolder);
    fs::copy_file(worktops, staging / kInfoFolder / kWorktopsFile);
    out << "mkcatalog: " << kInfoFolder << "/" << kWorktopsFile << "\n";
  }
  if (fs::is_directory(sources / kWarningsFolder)) BuildWarnings(sources / kWarningsFolder, staging, out);
  if (fs::is_directory(sources / kFilesFolder)) {
    const RecordResolver resolve = [&builders](int32_t identifier, const std::string& layout,
                                               const std::string& name) {
      for (const auto& builder : builders)
        if (builder->Identifier() == identifier) return builder->RecordId(layout, name);
      throw std::invalid_argument("no catalogue has the identifier " + std::to_string(identifier));
    };
    CopySettingsFiles(sources / kFilesFolder, staging, resolve);
    out << "mkcatalog: " << kFilesFolder << "/\n";
  }
  const fs::path browser = sources / kBrowserFolder;
  if (!fs::is_directory(browser)) return;
  const std::vector<fs::path> texts = SortedEntries(browser, false, ".txt");
  CheckBrowserTexts(texts, mainItems);
  fs::create_directories(staging / kBrowserFolder);
  for (const fs::path& text : texts) fs::copy_file(text, staging / kBrowserFolder / text.filename());
}

}  // namespace

int RunMkcatalog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) {
    err << "usage: mkcatalog <sources folder> <settings folder>\n";
    return kUsage;
  }
  const fs::path sources = args[0], settings = args[1];
  fs::path staging = settings;
  staging += ".partial";
  std::error_code ignored;
  try {
    if (!fs::is_directory(sources)) throw SourceError(sources, 0, "no such folder");
    fs::remove_all(staging);
    fs::create_directories(staging);
    Build(sources, staging, out);
    fs::remove_all(settings);
    fs::rename(staging, settings);
    return 0;
  } catch (const SourceError& e) {
    err << e.what() << "\n";
  } catch (const fs::filesystem_error& e) {
    err << "mkcatalog: " << e.what() << "\n";
  } catch (int32_t code) {
    err << "mkcatalog: the database engine failed with error " << code << "\n";
  } catch (const std::exception& e) {
    err << "mkcatalog: " << e.what() << "\n";
  }
  fs::remove_all(staging, ignored);
  return kFailed;
}

}  // namespace mkcatalog
