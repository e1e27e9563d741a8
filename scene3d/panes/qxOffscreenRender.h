// The renders of the 3D view that leave the user-interface thread: the 1024 x 768 BMP file of the
// current view and the 3D print of a page. Each runs on a std::thread of its own with its own
// memory device context and OpenGL context, reading the document's scene while the calling
// user-interface thread waits in join(); so at most one worker render runs at a time and nothing
// else touches the scene meanwhile.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

class ppDC;
class zelvpro3DPane;
struct qxPrintPage;

class qxOffscreenRender {
 public:
  static constexpr int32_t kFileWidth = 1024;
  static constexpr int32_t kFileHeight = 768;
  static constexpr const char* kRenderer = "rGoodStandard";

  // True while a worker render runs (set by the starting thread, cleared by the worker's last step).
  static bool Busy();

  // Writes the current view of `pane` as a 24-bit BMP file to `fileName` and returns once the worker
  // has ended: true when the file was written, false when no bitmap or file could be made.
  static bool RenderToFile(zelvpro3DPane& pane, const Vcon::WString& fileName);

  // Prints the current view of `pane` into the image rectangle of `page` on `device`, then the
  // header band, and returns once the worker has ended. A device without RC_STRETCHDIB gets the
  // header only. The scene is recorded before the worker starts.
  static bool Print(zelvpro3DPane& pane, ppDC& device, const qxPrintPage& page);
};
