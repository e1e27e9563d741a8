#pragma once
// A fault in the demo sources, worded "file:line: message" so that editors and the build log can
// jump to it. Line 0 stands for the file as a whole.

#include <filesystem>
#include <stdexcept>
#include <string>

namespace mkcatalog {

struct SourceError : std::runtime_error {
  SourceError(const std::filesystem::path& file, int line, const std::string& message)
      : std::runtime_error(file.string() + ":" + std::to_string(line) + ": " + message) {}
};

}  // namespace mkcatalog
