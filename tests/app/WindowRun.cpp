#include "WindowRun.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "framework/ppView.h"
#include "platform/WindowApi.h"

namespace windowrun {

namespace fs = std::filesystem;

#if defined(PLANNER_X11_DRIVE) && defined(PLANNER_PROGRAM)
namespace {

// The last line a run writes when the window manager it asked for did not start.
constexpr const char* kNoWindowManager = "no-window-manager";

// The script's lines that start openbox (its process id in $wm) and wait until it manages the
// display; a run whose openbox does not come ends there.
std::string WindowManagerStart(bool windowManager, const fs::path& root) {
  if (!windowManager) return "";
  const std::string log = (root / "openbox.log").string();
  return std::string("openbox --sm-disable >'") + log + "' 2>&1 &\n" + "wm=$!\n" + "'" + PLANNER_X11_DRIVE +
         "' --window-manager 10 || { cat '" + log + "'; kill $wm 2>/dev/null; echo " + kNoWindowManager +
         "; exit 0; }\n";
}

}  // namespace
#endif

bool Available(std::string* why) {
#if defined(PLANNER_X11_DRIVE) && defined(PLANNER_PROGRAM)
  if (std::system("command -v xvfb-run >/dev/null 2>&1") == 0) return true;
  *why = "xvfb-run is not installed (scripts/deps installs xvfb)";
#else
  *why = "the XTEST driver was not built (no Xlib or XTEST development files)";
#endif
  return false;
}

bool WindowManagerAvailable(std::string* why) {
  if (std::system("command -v openbox >/dev/null 2>&1") == 0) return true;
  *why = "openbox is not installed (scripts/deps installs it)";
  return false;
}

Outcome Run(const fs::path& root, const std::string& arguments, const std::vector<std::string>& steps,
            int seconds, int width, int height, const std::string& environment, bool windowManager) {
  Outcome outcome;
#if defined(PLANNER_X11_DRIVE) && defined(PLANNER_PROGRAM)
  fs::copy_file(PLANNER_PROGRAM, root / "planner", fs::copy_options::overwrite_existing);
  // A lock folder of its own, so that a planner someone else runs cannot take the hand-over.
  const fs::path runtime = root / "runtime";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
  const fs::path log = root / "log.txt", script = root / "drive.sh";
  std::ostringstream joined;
  for (const std::string& step : steps) joined << " '" << step << "'";
  // Watchdogs: the driver gives up on its steps after `seconds`, the program ends 20 s after them,
  // the display after both.
  std::ofstream(script) << "cd '" << root.string() << "' || exit 9\n"
                        << WindowManagerStart(windowManager, root) << environment << " XDG_RUNTIME_DIR='"
                        << runtime.string() << "' timeout " << seconds + 20 << " ./planner " << arguments
                        << " &\n"
                        << "ASAN_OPTIONS=detect_leaks=0 '" << PLANNER_X11_DRIVE << "' '" << kFrameTitle
                        << "' " << seconds << joined.str() << "\n"
                        << "drive=$?\n"
                        << "[ $drive -eq 0 ] || kill $!\n"
                        << "wait $!\n"
                        << "program=$?\n"
                        << (windowManager ? "kill $wm 2>/dev/null\n" : "") << "echo \"$drive $program\"\n";
  const std::string command = "timeout " + std::to_string(seconds + 60) + " xvfb-run -a -s '-screen 0 " +
                              std::to_string(width) + "x" + std::to_string(height) + "x24' sh '" +
                              script.string() + "' >'" + log.string() + "' 2>&1";
  std::system(command.c_str());
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  outcome.log = text.str();
  // The last line: the driver's status, then the program's.
  const size_t end = outcome.log.find_last_not_of('\n');
  const size_t start = end == std::string::npos ? std::string::npos : outcome.log.rfind('\n', end);
  std::istringstream last(outcome.log.substr(start == std::string::npos ? 0 : start + 1));
  std::string first;
  last >> first;
  outcome.noWindowManager = first == kNoWindowManager;
  if (!outcome.noWindowManager) {
    outcome.drive = std::atoi(first.c_str());
    last >> outcome.program;
  }
#else
  (void)root, (void)arguments, (void)steps, (void)seconds, (void)width, (void)height, (void)environment,
      (void)windowManager;
#endif
  return outcome;
}

std::vector<std::string> Typed(const std::string& text) {
  std::vector<std::string> steps;
  for (char c : text) {
    std::string key(1, c);
    if (c == '/') key = "slash";
    if (c == '.') key = "period";
    if (c == '-') key = "minus";
    if (c == '_') key = "Shift_L+underscore";
    if (c == ' ') key = "space";
    if (c >= 'A' && c <= 'Z') key = "Shift_L+" + key;
    steps.push_back("tap:" + key);
  }
  return steps;
}

Grab ReadPpm(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int depth = 0;
  Grab grab;
  in >> magic >> grab.width >> grab.height >> depth;
  in.get();
  if (magic != "P6" || depth != 255 || grab.width <= 0 || grab.height <= 0) return Grab{};
  grab.rgb.resize(size_t(grab.width) * size_t(grab.height) * 3);
  in.read(grab.rgb.data(), std::streamsize(grab.rgb.size()));
  return in ? grab : Grab{};
}

plat::RECT InFrame(ppView& view, plat::HWND frame) {
  plat::RECT r{};
  view.GetWindowFrame(&r);
  plat::POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom}, origin{0, 0};
  plat::HWND window = view.GetRootView()->GetHWND();
  plat::ClientToScreen(window, &topLeft);
  plat::ClientToScreen(window, &bottomRight);
  plat::ClientToScreen(frame, &origin);
  return {topLeft.x - origin.x, topLeft.y - origin.y, bottomRight.x - origin.x, bottomRight.y - origin.y};
}

std::string Centre(const plat::RECT& r, int clientHeight) {
  return std::to_string((r.left + r.right) / 2) + "," + std::to_string((r.top + r.bottom) / 2 - clientHeight);
}

}  // namespace windowrun
