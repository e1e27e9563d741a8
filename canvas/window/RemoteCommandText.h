// The command text a start of the program hands to the document window (command 3044): either the
// path of a document to open, or a remote command written as an option letter with arguments. The
// text comes from another process, so it is read as it came (UTF-16, never narrowed) and every
// argument is bounded. This reads the text; the document window carries the command out.
// Any thread; no state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class RemoteCommandText {
 public:
  // Arguments and report texts are cut to this many UTF-16 units.
  static constexpr size_t kMaxText = 255;
  // What NextRemoteArgument answers when no argument follows.
  static constexpr size_t kNone = std::u16string::npos;
  static constexpr const char16_t* kReportCaption = u"Remote Call";

  struct Command {
    // The whole text names a document to open (no option, or the text names an existing file).
    bool open = true;
    // The option letter as written (not folded), when `open` is false.
    char16_t letter = 0;
    // The arguments the letter reads ('o' three, 'n' two, 'b' six, 'd' one, any other none), each
    // at most kMaxText long; missing ones are empty.
    std::vector<std::u16string> arguments;
  };

  // Whether a path names an existing file (the document window asks the file system).
  using FileExists = std::function<bool(const std::u16string& path)>;

  // Reads `text`. An option is the text, after leading blanks, starting with '-' or '/', then a
  // letter followed by the end, a blank, comma, tab, double quote or digit, when the whole text names
  // no existing file; anything else is a document to open. The arguments start after the letter, or
  // after a double quote right behind it.
  static Command Parse(const std::u16string& text, const FileExists& exists);

  // Reads one argument of `text` from `position` into `out`: blanks, commas and tabs are skipped; a
  // double quote starts an argument running to the next double quote (or the end), else it runs to
  // the next blank, comma, tab or the end. Answers the position after it (after the closing quote),
  // or kNone when that is the end of the text; with kNone given, or only separators left, `out` is
  // empty and kNone is answered. `out` keeps at most kMaxText units.
  static size_t NextRemoteArgument(const std::u16string& text, size_t position, std::u16string& out);

  // The report box's text of a 'b' or 'd' command (cut at kMaxText); empty for any other.
  static std::u16string ReportText(const Command& command);
  // How many arguments `letter` reads.
  static int32_t ArgumentCount(char16_t letter);
};
