// The interactive backend's tests on a real X server: an Xvfb of the test's own, started on first use
// and kept for the rest of the process, the X calls the tests make (the test extension's from the
// system's library at run time), and the backend started on that server for one test.
#pragma once

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/HeadlessDriver.h"
#include "platform/InteractiveBackend.h"
#include "platform/SdlBackend.h"

// Last: Xlib defines macros (None, Bool, Status) that other headers use as names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace plat::testdisplay {

using Clock = std::chrono::steady_clock;

inline std::string FindOnPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= rest.size()) {
    size_t end = rest.find(':', start);
    std::string candidate = rest.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return {};
}

// An Xvfb of our own on a display number it picks itself and reports once it accepts clients.
class XServer {
 public:
  explicit XServer(const std::string& program) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(fds[1], 3);
      int null = open("/dev/null", O_WRONLY);
      dup2(null, 2);
      execl(program.c_str(), program.c_str(), "-displayfd", "3", "-screen", "0", "640x480x24", "-noreset",
            "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    pollfd ready{fds[0], POLLIN, 0};
    char number[16] = {};
    if (pid_ > 0 && poll(&ready, 1, 5000) == 1) {
      ssize_t n = read(fds[0], number, sizeof number - 1);
      if (n > 0) display_ = ":" + std::string(number, size_t(n - (number[n - 1] == '\n' ? 1 : 0)));
    }
    close(fds[0]);
  }
  ~XServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  const std::string& Display() const { return display_; }
  // False once the server has ended: it lost its display number to a server another run started
  // at the same moment, and a display that still answers belongs to that other server.
  bool Alive() const {
    if (pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) != 0) pid_ = -1;  // reaped: never signal it again
    return pid_ > 0;
  }

 private:
  mutable pid_t pid_ = -1;
  std::string display_;
};

// The few X calls the test makes, from the system's libraries at run time (the test extension's
// library has no development package installed).
struct XCalls {
  void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
  void* xtst = dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
  decltype(&XOpenDisplay) openDisplay = nullptr;
  decltype(&XCloseDisplay) closeDisplay = nullptr;
  decltype(&XSync) sync = nullptr;
  decltype(&XDefaultRootWindow) rootWindow = nullptr;
  decltype(&XGetImage) getImage = nullptr;
  int (*fakeMotion)(Display*, int, int, int, unsigned long) = nullptr;
  int (*fakeButton)(Display*, unsigned int, Bool, unsigned long) = nullptr;
  int (*fakeKey)(Display*, unsigned int, Bool, unsigned long) = nullptr;
  decltype(&XKeysymToKeycode) keycode = nullptr;
  decltype(&XQueryTree) queryTree = nullptr;
  decltype(&XFetchName) fetchName = nullptr;
  decltype(&XInternAtom) internAtom = nullptr;
  decltype(&XGetWindowProperty) getProperty = nullptr;
  decltype(&XFree) free = nullptr;

  XCalls() {
    if (!x11 || !xtst) return;
    openDisplay = reinterpret_cast<decltype(openDisplay)>(dlsym(x11, "XOpenDisplay"));
    closeDisplay = reinterpret_cast<decltype(closeDisplay)>(dlsym(x11, "XCloseDisplay"));
    sync = reinterpret_cast<decltype(sync)>(dlsym(x11, "XSync"));
    rootWindow = reinterpret_cast<decltype(rootWindow)>(dlsym(x11, "XDefaultRootWindow"));
    getImage = reinterpret_cast<decltype(getImage)>(dlsym(x11, "XGetImage"));
    fakeMotion = reinterpret_cast<decltype(fakeMotion)>(dlsym(xtst, "XTestFakeMotionEvent"));
    fakeButton = reinterpret_cast<decltype(fakeButton)>(dlsym(xtst, "XTestFakeButtonEvent"));
    fakeKey = reinterpret_cast<decltype(fakeKey)>(dlsym(xtst, "XTestFakeKeyEvent"));
    keycode = reinterpret_cast<decltype(keycode)>(dlsym(x11, "XKeysymToKeycode"));
    queryTree = reinterpret_cast<decltype(queryTree)>(dlsym(x11, "XQueryTree"));
    fetchName = reinterpret_cast<decltype(fetchName)>(dlsym(x11, "XFetchName"));
    internAtom = reinterpret_cast<decltype(internAtom)>(dlsym(x11, "XInternAtom"));
    getProperty = reinterpret_cast<decltype(getProperty)>(dlsym(x11, "XGetWindowProperty"));
    free = reinterpret_cast<decltype(free)>(dlsym(x11, "XFree"));
  }
  // The libraries stay loaded: leak reports from inside them (SDL's own connection) need them mapped
  // to name their frames.
  bool Complete() const {
    return openDisplay && closeDisplay && sync && rootWindow && getImage && fakeMotion && fakeButton &&
           fakeKey && keycode && queryTree && fetchName && internAtom && getProperty && free;
  }
};

// True when the server's display opens and shows the screen this test asked for (640 pixels wide).
inline bool AnswersAsOurs(const XServer& server, const XCalls& x) {
  if (server.Display().empty() || !server.Alive()) return false;
  Display* display = x.openDisplay(server.Display().c_str());
  if (!display) return false;
  bool ours = DisplayWidth(display, DefaultScreen(display)) == 640;
  x.closeDisplay(display);
  return ours;
}

inline bool PumpUntil(const std::function<bool()>& done) {
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(4);
  while (Clock::now() < deadline) {
    SdlBackend::Pump(std::chrono::milliseconds(5));
    HeadlessDriver::RunUntilIdle();
    if (done()) return true;
  }
  return false;
}

// The test's X server, started on first use and kept for the rest of the process: SDL's video stays
// up once started (see SdlBackend::Stop), so the X server it talks to must too, and every test here
// uses the same one. Other test runs on the machine start X servers as well; a display that does not
// answer as this test's server is given up for a new server. Null, with `why` set, when there is none.
inline const XServer* OurServer(const XCalls& x, std::string* why) {
  static std::unique_ptr<XServer> server;
  std::string xvfb = FindOnPath("Xvfb");
  if (xvfb.empty()) {
    *why = "Xvfb is not installed; the interactive backend is not tried";
    return nullptr;
  }
  if (!x.Complete()) {
    *why = "libXtst.so.6 (the X test extension's library) is not installed";
    return nullptr;
  }
  // Servers started at the same moment by parallel runs can race for one display number and one of
  // them gives up at once: try again a few times, waiting a little longer each time.
  // The server runs with -noreset: without it, the moment the check's connection closes the server
  // resets and refuses the next client for a while.
  bool answers = server && AnswersAsOurs(*server, x);
  for (int32_t tries = 0; tries < 6 && !answers; ++tries) {
    if (tries > 0) std::this_thread::sleep_for(std::chrono::milliseconds(250 * tries));
    server = std::make_unique<XServer>(xvfb);
    answers = AnswersAsOurs(*server, x);
  }
  return answers ? server.get() : nullptr;
}

// The interactive backend on the test's X server; when it goes the backend stops and DISPLAY is as
// it was.
class BackendOnDisplay {
 public:
  explicit BackendOnDisplay(const XServer& server) {
    const char* before = std::getenv("DISPLAY");
    saved_ = before ? before : "";
    setenv("DISPLAY", server.Display().c_str(), 1);
    HeadlessDriver::Reset();
    started_ = InteractiveBackend::StartIfDisplay();
  }
  ~BackendOnDisplay() {
    InteractiveBackend::Stop();
    HeadlessDriver::Reset();
    if (saved_.empty()) {
      unsetenv("DISPLAY");
    } else {
      setenv("DISPLAY", saved_.c_str(), 1);
    }
  }
  BackendOnDisplay(const BackendOnDisplay&) = delete;
  BackendOnDisplay& operator=(const BackendOnDisplay&) = delete;

  bool Started() const { return started_; }

 private:
  std::string saved_;
  bool started_ = false;
};

// The screen's pixel at (px, py) as 0xRRGGBB; 0 when it cannot be read.
inline unsigned long ScreenPixel(const XCalls& x, Display* display, int32_t px, int32_t py) {
  XImage* image = x.getImage(display, x.rootWindow(display), px, py, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long value = XGetPixel(image, 0, 0);
  XDestroyImage(image);
  return value & 0xFFFFFF;
}

}  // namespace plat::testdisplay
