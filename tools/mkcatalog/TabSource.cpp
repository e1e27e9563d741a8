#include "tools/mkcatalog/TabSource.h"

#include <fstream>

#include "tools/mkcatalog/SourceError.h"

namespace mkcatalog {

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> cells;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return cells;
    start = tab + 1;
  }
}

TabSource::TabSource(const std::filesystem::path& path) : path_(path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw SourceError(path, 0, "cannot read the file");
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> cells = SplitTabs(line);
    if (header_.empty()) {
      header_ = std::move(cells);
      headerLine_ = number;
      continue;
    }
    if (cells.size() > header_.size())
      throw SourceError(path, number,
                        "the row has " + std::to_string(cells.size()) + " cells, the header " +
                            std::to_string(header_.size()));
    cells.resize(header_.size());
    rows_.push_back({number, std::move(cells)});
  }
  if (header_.empty()) throw SourceError(path, 1, "no header line naming the fields");
}

const std::string& TabSource::Cell(const TabRow& row, const std::string& name) const {
  static const std::string empty;
  for (size_t i = 0; i < header_.size(); ++i) {
    if (header_[i] == name) return row.cells[i];
  }
  return empty;
}

}  // namespace mkcatalog
