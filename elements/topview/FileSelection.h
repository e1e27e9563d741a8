// A record file's selection as a list of record ids, read and replaced whole.
#pragma once

#include <cstdint>
#include <vector>

class ppDatafile;

class FileSelection {
 public:
  static std::vector<int32_t> Get(ppDatafile& file);
  static void Set(ppDatafile& file, const std::vector<int32_t>& ids);
};
