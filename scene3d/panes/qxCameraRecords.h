// The process's cameras of the 3D view: four presets, four live records copied from them, and the
// current camera the panes draw, pick and navigate with. Live record 0 is the perspective view,
// 1 the parallel view, 2 the axonometric view, 3 the plan view from above. User-interface thread;
// off-screen renders on the worker point the current camera elsewhere while that thread waits.
#pragma once

#include <cstdint>

#include "scene3d/gl/qxCamera.h"

class qxCameraRecords {
 public:
  static constexpr int32_t kCount = 4;
  static constexpr int32_t kPerspective = 0;
  static constexpr int32_t kParallel = 1;
  static constexpr int32_t kAxonometric = 2;

  // Preset `index` (0..3); out-of-range indexes answer preset 0.
  static const qxCamera& Preset(int32_t index);
  // Live record `index` (0..3); out-of-range indexes answer record 0.
  static qxCamera& Live(int32_t index);
  // Never null: live record 0 at start and after every reset.
  static qxCamera* Current();
  // Live record `index` becomes current.
  static void SetCurrent(int32_t index);
  // A camera of the caller's becomes current (off-screen renders; the caller restores the old one).
  static void SetCurrent(qxCamera* camera);
  // Every live record back to its preset; the current camera pointer is kept.
  static void CopyPresets();
};
