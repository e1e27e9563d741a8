// Keeps a drawing context's clip for a scope and puts it back at the end.
#pragma once

#include <memory>

class ppDC;
class ppRegion;

class ppClipSaver {
 public:
  explicit ppClipSaver(ppDC& dc);
  ~ppClipSaver();
  ppClipSaver(const ppClipSaver&) = delete;
  ppClipSaver& operator=(const ppClipSaver&) = delete;

 private:
  ppDC& dc_;
  std::unique_ptr<ppRegion> saved_;  // null for a context without a device
};
