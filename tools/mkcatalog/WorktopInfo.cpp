#include "tools/mkcatalog/WorktopInfo.h"

#include <fstream>
#include <optional>
#include <sstream>

#include "tools/mkcatalog/SourceError.h"
#include "tools/mkcatalog/TabSource.h"
#include "tools/mkcatalog/ValueText.h"

namespace mkcatalog {
namespace {

// A plain decimal number: digits only, as the program reads the fields.
bool IsDecimal(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

const WorktopCatalogue* CatalogueOf(const std::vector<WorktopCatalogue>& catalogues, int32_t identifier) {
  for (const WorktopCatalogue& c : catalogues) {
    if (c.identifier == identifier) return &c;
  }
  return nullptr;
}

}  // namespace

void CheckWorktopInfo(const std::filesystem::path& file, const std::vector<WorktopCatalogue>& catalogues) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw SourceError(file, 0, "cannot read");
  std::stringstream bytes;
  bytes << in.rdbuf();
  const std::string text = bytes.str();
  std::optional<double> previous;
  int line = 0;
  size_t start = 0;
  while (start < text.size()) {
    ++line;
    const size_t end = text.find('\n', start);
    if (end == std::string::npos) throw SourceError(file, line, "the last line has no line break");
    std::string content = text.substr(start, end - start);
    if (!content.empty() && content.back() == '\r') content.pop_back();
    start = end + 1;
    const std::vector<std::string> fields = SplitTabs(content);
    if (fields.size() != 2)
      throw SourceError(file, line, "a line holds two fields, not " + std::to_string(fields.size()));
    for (const std::string& field : fields) {
      if (!IsDecimal(field)) throw SourceError(file, line, "'" + field + "' is not a plain decimal number");
    }
    const WorktopCatalogue* catalogue = CatalogueOf(catalogues, std::stoi(fields[0]));
    if (catalogue == nullptr) throw SourceError(file, line, "no catalogue has the identifier " + fields[0]);
    const auto record = catalogue->widthById.find(fields[1]);
    if (record == catalogue->widthById.end())
      throw SourceError(file, line,
                        "catalogue " + fields[0] + " has no top-view record with ID " + fields[1]);
    const std::optional<double> width = ParseReal(record->second);
    if (!width || *width <= 0.0)
      throw SourceError(file, line, "the top-view record " + fields[1] + " has no width");
    if (previous && *width <= *previous)
      throw SourceError(file, line,
                        "the widths must ascend: " + record->second + " follows a wider or equal one");
    previous = width;
  }
}

}  // namespace mkcatalog
