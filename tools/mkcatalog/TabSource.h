#pragma once
// One tab-separated source file: the first line names the fields, every further line is one row.
// Empty lines and lines starting with '#' are skipped; a row may have fewer cells than the header
// (the rest are empty) but never more. Cells are taken as they stand: no quoting, no escapes, so a
// cell holds no TAB (a text field writes one as "\t", see DatabaseBuilder.h). Line ends may be LF or
// CR LF.

#include <filesystem>
#include <string>
#include <vector>

namespace mkcatalog {

struct TabRow {
  int line = 0;  // 1-based line of the row in its file
  std::vector<std::string> cells;
};

class TabSource {
 public:
  // Throws SourceError when the file cannot be read, has no header or a row is too long.
  explicit TabSource(const std::filesystem::path& path);

  const std::filesystem::path& Path() const { return path_; }
  const std::vector<std::string>& Header() const { return header_; }
  int HeaderLine() const { return headerLine_; }
  const std::vector<TabRow>& Rows() const { return rows_; }
  // The cell of `row` under the header field `name` (first such column), or "" when there is none.
  const std::string& Cell(const TabRow& row, const std::string& name) const;
  // Appends a row made by the builder (as many cells as the header).
  void AddRow(TabRow row) { rows_.push_back(std::move(row)); }

 private:
  std::filesystem::path path_;
  std::vector<std::string> header_;
  int headerLine_ = 0;
  std::vector<TabRow> rows_;
};

// Splits one line at TABs.
std::vector<std::string> SplitTabs(const std::string& line);

}  // namespace mkcatalog
