#pragma once
// Checks the worktop information file before it is copied to "info/worktops.txt" under the settings
// folder, where the program reads it at start-up. The source is that file as it stands: one worktop
// a line, two TAB-separated decimal fields (a catalogue identifier and the "ID" of one of that
// catalogue's top-view records), every line ended by a line break (LF or CR LF), no header and no
// comments. The program covers a worktop run with the first entry at least as long, so the entries'
// widths must ascend; a blank line would end the program's reading, so none is allowed. Faults are
// SourceErrors with the file and line.

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace mkcatalog {

// What one built catalogue offers: its identifier and, by top-view "ID" cell, the "width" cell.
struct WorktopCatalogue {
  int32_t identifier = 0;
  std::map<std::string, std::string> widthById;
};

void CheckWorktopInfo(const std::filesystem::path& file, const std::vector<WorktopCatalogue>& catalogues);

}  // namespace mkcatalog
