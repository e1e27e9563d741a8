// The database developer tool: creates database files, imports and exports tables as
// tab-separated text, lists tables and dumps a file's store structures and indexes.
//
//   dbtool create <db>
//   dbtool import <db> <layout> <text file> [--map <map>]
//   dbtool export <db> <layout> <text file> [--map <map>]
//   dbtool tables <db>
//   dbtool dump <db>
//   dbtool index <db> <table> <field>
//
// A map lists entries separated by ',': field[:linked file id[:third word]]; a field is a name of
// the layout or a number. The third word of an unlinked field holds its flags (1 match key, 3 match
// key that never adds); of a linked field, the field of the linked file given as text. Without a
// map, the program's IMPT (import) or EXPT (export) map of the layout is used, and without one,
// every field in layout order.
//
// The handle zone must exist before RunDbTool is called.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Runs one command; messages go to `out`, errors to `err`. Returns the exit status: 0 on success,
// 1 when the command failed, 2 for a usage error.
int RunDbTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
