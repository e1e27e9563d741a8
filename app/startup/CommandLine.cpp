#include "app/startup/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path AgainstFolder(std::string_view argument, std::string_view startFolder) {
  std::filesystem::path path(argument);
  if (path.is_relative()) path = std::filesystem::path(startFolder) / path;
  return path.lexically_normal();
}

}  // namespace

CommandLine CommandLine::FromArguments(const std::vector<std::string>& arguments,
                                       std::string_view startFolder) {
  CommandLine line;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--screenshot" || argument == "--command") {
      if (i + 1 >= arguments.size()) {
        line.problem_ = argument + " needs a value.";
        break;
      }
      const std::string& value = arguments[++i];
      if (argument == "--screenshot") {
        line.screenshotPath_ = value.empty() ? std::string() : AgainstFolder(value, startFolder).string();
        if (value.empty()) line.problem_ = "--screenshot needs a file name.";
        continue;
      }
      int32_t command = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), command);
      if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
        line.problem_ = "--command needs a whole number, not \"" + value + "\".";
      } else {
        line.commands_.push_back(command);
      }
      continue;
    }
    std::string word = argument;
    std::error_code error;
    if (!argument.empty()) {
      const std::filesystem::path path = AgainstFolder(argument, startFolder);
      if (std::filesystem::exists(path, error)) {
        word = path.string();
        std::replace(word.begin(), word.end(), '/', '\\');
      }
    }
    if (word.find(' ') != std::string::npos) word = '"' + word + '"';
    if (!line.text_.empty()) line.text_ += ' ';
    line.text_ += word;
  }
  return line;
}
