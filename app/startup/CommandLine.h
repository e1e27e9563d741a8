#pragma once
// The program's command line, made from its arguments once at start-up: the text a second start hands
// to the running instance and the document window opens, and the options of a headless run.
//
// The text is the arguments joined by blanks, UTF-8. An argument naming an existing file or folder
// (taken against the start folder when relative) becomes its absolute path in the program's path
// form (backslashes); any argument holding a blank is enclosed in double quotes. The options
// "--screenshot FILE" and "--command N" (N a whole number, repeatable, in order) are taken out.
// Stateless; any thread.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CommandLine {
 public:
  // `arguments` without the program's own name; `startFolder` the POSIX folder the process was
  // started in (UTF-8).
  static CommandLine FromArguments(const std::vector<std::string>& arguments, std::string_view startFolder);

  // The joined text; empty when no argument but options was given.
  const std::string& Text() const { return text_; }
  // The PNG file of a headless run as an absolute POSIX path (against the start folder); empty when
  // not asked for.
  const std::string& ScreenshotPath() const { return screenshotPath_; }
  // The commands to send to the frame in a headless run, in order.
  const std::vector<int32_t>& Commands() const { return commands_; }
  // What was wrong with the options ("--command needs a whole number, not "x"."); empty when nothing.
  // The rest is read all the same.
  const std::string& Problem() const { return problem_; }

 private:
  std::string text_;
  std::string screenshotPath_;
  std::vector<int32_t> commands_;
  std::string problem_;
};
