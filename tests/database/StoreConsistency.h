// A structural check of a store for the crash and damage tests: every page and extent the file
// references lies inside the file and overlaps nothing else, every byte after the header block
// belongs to the record map, a record, a free extent or a free-extent page (or to the journal while
// a commit is under way), and the chain of free record numbers matches the map entries that say
// "free".
#pragma once

#include <string>

class dbStore;

namespace dbtest {

// Empty when the store is consistent, else a description of the first problems found.
std::string CheckStoreConsistency(dbStore& store);

}  // namespace dbtest
