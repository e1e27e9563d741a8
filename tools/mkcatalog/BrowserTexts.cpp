#include "tools/mkcatalog/BrowserTexts.h"

#include <fstream>

#include "tools/mkcatalog/SourceError.h"
#include "tools/mkcatalog/TabSource.h"

namespace mkcatalog {

void CheckBrowserTexts(const std::vector<std::filesystem::path>& files,
                       const std::set<std::string>& mainItemIds) {
  std::set<std::string> nodes = {"ROOM", "ZELVO", "COMPONENTS", "ANNOTATION", "CALCULATION"};
  for (const std::filesystem::path& file : files) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw SourceError(file, 0, "cannot read the file");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::vector<std::string> fields = SplitTabs(line);
      if (fields.size() != 5) throw SourceError(file, number, "an entry has five TAB-separated fields");
      for (const std::string& field : fields) {
        if (field.size() > 255) throw SourceError(file, number, "a field holds at most 255 bytes");
        if (!field.empty() && (field[0] == '"' || field.find('\\') != std::string::npos))
          throw SourceError(file, number, "write fields without quotes and escapes");
      }
      const std::string& keyword = fields[0];
      if (keyword != "GROUP" && keyword != "ITEM")
        throw SourceError(file, number, "an entry starts GROUP or ITEM");
      if (nodes.count(fields[4]) == 0)
        throw SourceError(file, number, "the parent '" + fields[4] + "' is no top keyword or earlier group");
      if (keyword == "ITEM") {
        if (fields[2] != "1")
          throw SourceError(file, number, "an item names the main catalogue, identifier 1");
        if (mainItemIds.count(fields[1]) == 0)
          throw SourceError(file, number, "the main catalogue has no item with ID '" + fields[1] + "'");
      } else if (!nodes.insert(fields[1]).second) {
        throw SourceError(file, number, "the group '" + fields[1] + "' is named twice");
      }
    }
  }
}

}  // namespace mkcatalog
