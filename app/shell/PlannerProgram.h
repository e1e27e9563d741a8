// The program entry: reads the arguments, makes the program folder current, reads the start files,
// keeps to one running instance per instance name (a second start hands its command line to the
// first and ends), starts the application object, runs it (on the desktop, or headless for a
// screenshot) and tears everything down in order. A screenshot run is a one-shot headless run: it
// neither takes the instance lock nor listens for hand-overs, so it runs beside a planner in use.
// Exit statuses: 0 a run that ended normally (also a refused start on a palette display and a
// second start that handed over), 1 a start that could not go on (settings missing or damaged),
// 2 bad arguments or no display, 3 a screenshot run that met a message box or a modal dialog (its
// text goes to standard error).
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
    std::string commandLine;        // the text the document window reads (CommandLine::Text)
    std::string screenshot;         // a PNG path: run headless until idle, write the frame, end
    std::vector<int32_t> commands;  // sent to the frame, in order, before the screenshot
    bool display = false;           // the interactive backend runs: the window shows on a display
  };

  // `main`: the whole process, from arguments to exit status.
  static int Main(int argc, char** argv);

  // One run on the current desktop with `programFolder` (a POSIX folder holding "settings") as the
  // program folder and current directory; the current directory is put back afterwards. Without a
  // screenshot it runs the message loop until the frame closes.
  static int Run(const Options& options, const std::string& programFolder);

  // Milliseconds from the start of the last Run until its frame was first painted (screenshot runs).
  static double LastStartupMilliseconds();
  // The processor time of the whole process (every thread) over the same span, milliseconds.
  static double LastStartupCpuMilliseconds();
};
