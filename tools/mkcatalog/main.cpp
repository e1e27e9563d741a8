// Entry of the demo settings builder (see Mkcatalog.h).
#include <iostream>
#include <string>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "tools/mkcatalog/Mkcatalog.h"

int main(int argc, char** argv) {
  constexpr uint32_t kZoneBytes = 40'000'000, kMasterPointers = 400'000;
  if (MemInit(kZoneBytes, kMasterPointers) != 0) {
    std::cerr << "mkcatalog: cannot reserve memory\n";
    return 1;
  }
  const std::vector<std::string> args(argv + 1, argv + argc);
  const int status = mkcatalog::RunMkcatalog(args, std::cout, std::cerr);
  MemTerminate();
  return status;
}
