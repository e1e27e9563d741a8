// The command line: the bytes split at NUL into arguments, read against a scratch start folder that
// holds a file "a b" and a folder "d". Every non-empty argument that is no option gives one word of the
// text (so the text is never empty when such an argument was given), commands are only what "--command"
// named, and a problem is reported whenever an option lacks its value.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup/CommandLine.h"
#include "fuzz/FuzzSupport.h"

namespace {

const std::string& StartFolder() {
  static const std::string folder = [] {
    const std::filesystem::path made = fuzz::ScratchFolder();
    std::filesystem::create_directories(made / "d");
    std::ofstream(made / "a b") << "x";
    return made.string();
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments(1);
  for (size_t i = 0; i < size && arguments.size() < 64; ++i) {
    if (data[i] == 0)
      arguments.emplace_back();
    else
      arguments.back() += char(data[i]);
  }
  const CommandLine line = CommandLine::FromArguments(arguments, StartFolder());
  size_t plain = 0;
  size_t commands = 0;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--screenshot" || arguments[i] == "--command") {
      if (i + 1 >= arguments.size()) {
        if (line.Problem().empty()) __builtin_trap();
        break;
      }
      commands += arguments[i] == "--command";
      ++i;
    } else if (!arguments[i].empty()) {
      ++plain;  // an empty argument rightly gives no text
    }
  }
  if (line.Commands().size() > commands) __builtin_trap();
  if (plain > 0 && line.Text().empty()) __builtin_trap();
  return 0;
}
