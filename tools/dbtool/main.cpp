// Entry of the database developer tool (see DbTool.h).
#include <iostream>
#include <string>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "tools/dbtool/DbTool.h"

int main(int argc, char** argv) {
  constexpr uint32_t kZoneBytes = 40'000'000, kMasterPointers = 400'000;
  if (MemInit(kZoneBytes, kMasterPointers) != 0) {
    std::cerr << "dbtool: cannot reserve memory\n";
    return 1;
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = RunDbTool(args, std::cout, std::cerr);
  MemTerminate();
  return status;
}
