#pragma once
// The demo settings builder: turns the text sources of the demo (one folder per database, and the
// browser texts in "catalogs/") into the settings folder the program reads at start.
//
//   mkcatalog <sources folder> <settings folder>
//
// Everything is built in "<settings folder>.partial" first; only when every database and text
// passed its checks does it replace the settings folder, so a fault never leaves a half-written
// folder behind. Exit status 0 on success, 1 on a fault in the sources ("file:line: message" on
// `err`), 2 on a usage error.

#include <ostream>
#include <string>
#include <vector>

namespace mkcatalog {

int RunMkcatalog(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace mkcatalog
