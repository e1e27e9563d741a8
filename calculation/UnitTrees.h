// The unit tree of the run: the groups and catalogue units that a service line of the price list
// chooses its unit from, read at start-up from the ".txt" files of the calculation settings folder
// (entry 35 of the settings file list, ".\settings\calculation\").
//
// A tree file is narrow text: records of five tab-separated fields, one record a line (fields read as
// every settings text is, see TabField.h): 1 not used; 2 the node id; 3 the catalogue identifier of a
// unit (empty for a group); 4 the text of a group ("Doors;123" is text 123 of the user's language,
// "Doors" without it); 5 the parent: "ROOT" for a top-level node, else the id of a node read earlier.
// The first "ROOT" record makes the root (id 0, so a parent "0" names it). A record whose parent is
// not found (a number before any "ROOT", an id never read, a text without a digit), a line of fewer
// than five fields and a record that would lie deeper than kDepthLimit levels are dropped; fields past
// the fifth are ignored; blank lines are skipped. A NUL ends the text.
//
// The root is one process-wide node owned here (interface thread), made by the first "ROOT" record,
// never while none was read; it stays for the run and is freed at the process's end or by the
// desktop's reset. The unit nodes keep pointers to the catalogue databases, which must stay open as
// long as the tree.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/VconString.h"

class qxUnitTreeNode;

namespace unit_trees {
// Levels below the root a node may lie at; keeps every walk of the tree (the tree control's too)
// shallow whatever a file holds.
constexpr int32_t kDepthLimit = 64;
// The settings file list's entry naming the calculation folder.
constexpr int32_t kFolderEntry = 35;
}  // namespace unit_trees

// The root, or null while no "ROOT" record was read. A read put off by LoadUnitTreesWhenAsked runs
// here first.
qxUnitTreeNode* UnitTreeRoot();
// Frees the tree and forgets a read put off (the reset does this; so does the process's end).
void FreeUnitTrees();

// Reads every file of the calculation folder whose name ends in ".txt" (exactly: "A.TXT" is not
// read), in ascending byte order of the names. A missing folder reads nothing. The catalogue list
// must be open. A file that cannot be read is passed over.
void LoadUnitTrees();
// LoadUnitTrees() put off until UnitTreeRoot() is first asked: only a service line's panel reads the
// tree, so a start that never shows one does not read the files. The catalogue list must then be
// open; the read still happens once for the run.
void LoadUnitTreesWhenAsked();
// The same for `folder` (a program-style path ending in a separator).
void LoadUnitTrees(const Vcon::WString& folder);
// Reads the file at `path` (a program-style path) into the tree; open and read errors pass on.
void ReadUnitTreeFile(const Vcon::WString& path);
// Reads the records of `size` bytes of text (a NUL ends it earlier) into the tree.
void ReadUnitTreeText(const char* text, size_t size);
