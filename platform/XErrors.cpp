#include "platform/XErrors.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace plat {
namespace {

int Report(Display* display, XErrorEvent* error) {
  char text[160] = {};
  XGetErrorText(display, error->error_code, text, sizeof text - 1);
  std::fprintf(stderr, "planner: X error ignored: %s (request %d.%d, resource 0x%lx)\n", text,
               int(error->request_code), int(error->minor_code), error->resourceid);
  return 0;
}

}  // namespace

void XErrors::ReportAndGoOn() { XSetErrorHandler(&Report); }

}  // namespace plat
