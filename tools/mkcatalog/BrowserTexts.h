#pragma once
// Checks the catalogue browser texts before they are copied: every line is one entry of five TAB
// separated fields, GROUP or ITEM; its parent is a top keyword (ROOM, ZELVO, COMPONENTS,
// ANNOTATION, CALCULATION) or a group named earlier (in the same text or in a text whose name sorts
// before it); no group name is given twice; an ITEM names catalogue identifier 1 and an item ID of
// that catalogue. Faults are SourceErrors with the file and line.

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace mkcatalog {

// `files` in the order the browser reads them (byte order of their names).
void CheckBrowserTexts(const std::vector<std::filesystem::path>& files,
                       const std::set<std::string>& mainItemIds);

}  // namespace mkcatalog
