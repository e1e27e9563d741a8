// The program entry: reads the arguments, makes the program folder current, starts the
// application object, runs it (on the desktop, or headless for a screenshot) and tears everything
// down in order. Its exit statuses: 0 a run that ended normally (also a refused start on a palette
// display), 1 a start that could not go on (settings missing or damaged, bad arguments), 3 a
// screenshot run that met a message box or a modal dialog (its text goes to standard error).
//
// User-interface thread only; one run at a time.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class PlannerProgram {
 public:
  static constexpr int kOk = 0, kStartFailed = 1, kUsage = 2, kModalInScreenshot = 3;

  struct Options {
    std::vector<std::string> arguments;  // what is left for the document window, in order
    std::string screenshot;              // a PNG path: run headless until idle, write the frame, end
    std::vector<int32_t> commands;       // sent to the frame, in order, before the screenshot
  };

  // Takes "--screenshot FILE" and every "--command N" out of `arguments` (without the program
  // name). False, with `error` set, when one lacks its value or a command is not a number.
  static bool ParseArguments(const std::vector<std::string>& arguments, Options& options, std::string& error);

  // The argument bytes joined by blanks, an argument holding a blank in double quotes: the command
  // line the document window reads.
  static std::string CommandLineText(const std::vector<std::string>& arguments);

  // `main`: the whole process, from arguments to exit status.
  static int Main(int argc, char** argv);

  // One run on the current desktop with `programFolder` (a POSIX folder holding "settings") as the
  // program folder and current directory; the current directory is put back afterwards. Without a
  // screenshot it runs the message loop until the frame closes.
  static int Run(const Options& options, const std::string& programFolder);

  // Milliseconds from the start of the last Run until its frame was first painted (screenshot runs).
  static double LastStartupMilliseconds();
};
