// The built program in a window, as a user meets it: started from a copy of itself beside a copy of
// the demo settings, on an X display of its own (xvfb-run; no window manager unless asked for), and
// driven beside it by
// the XTEST driver (tests/support/X11Drive.cpp), whose steps read the real window's pixels and answer
// within a deadline each, so that a hang fails in seconds and a crash with the program's exit status.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/WindowTypes.h"

class ppView;

namespace windowrun {

// The program's frame title on the demo settings.
inline constexpr const char* kFrameTitle = "Vellmora Home Planner";

// Whether xvfb-run and the driver are there; the reason when not.
bool Available(std::string* why);
// Whether openbox, the window manager a run may ask for, is installed; the reason when not.
bool WindowManagerAvailable(std::string* why);

struct Outcome {
  int drive = -1;    // the driver's status: 0 every step ran, 1 a step failed (named in `log`)
  int program = -1;  // the program's exit status (143 when it had to be ended)
  std::string log;   // what both wrote
  // A run that asked for a window manager which did not start (nothing else ran; `log` says why).
  bool noWindowManager = false;
  bool Passed() const { return drive == 0 && program == 0; }
};

// Runs `planner [arguments]` in `root` (which holds settings/) on a screen of `width` by `height`
// pixels, with the driver's `steps` beside it; the driver gives up after `seconds`, the program is
// ended 20 s after the driver. `environment` ("NAME='value' ...") is set for the program alone. With
// `windowManager`, openbox takes the display before the program starts, as on a user's desktop: it
// frames, stacks and focuses the program's windows (the driver waits up to 10 s for it).
Outcome Run(const std::filesystem::path& root, const std::string& arguments,
            const std::vector<std::string>& steps, int seconds, int width, int height,
            const std::string& environment = "", bool windowManager = false);

// The keys that type `text` in a text field, one driver step (tap) each.
std::vector<std::string> Typed(const std::string& text);

// A binary PPM the driver's grab step wrote, as 0xRRGGBB pixels.
struct Grab {
  int width = 0, height = 0;
  std::string rgb;
  uint32_t At(int x, int y) const {
    const size_t i = (size_t(y) * size_t(width) + size_t(x)) * 3;
    return uint32_t(uint8_t(rgb[i])) << 16 | uint32_t(uint8_t(rgb[i + 1])) << 8 | uint8_t(rgb[i + 2]);
  }
};
Grab ReadPpm(const std::filesystem::path& path);

// A rectangle of `view` in pixels of the frame's client area, which the display's window shows below
// the menu bar.
plat::RECT InFrame(ppView& view, plat::HWND frame);

// A driver step's place for the centre of `r` (client pixels of a frame whose client area is
// `clientHeight` high): x, and y counted up from the window's bottom edge, which is the client area's.
std::string Centre(const plat::RECT& r, int clientHeight);

}  // namespace windowrun
