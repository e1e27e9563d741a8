// The 3D pane's navigation commands (command 3080's codes): moving, turning and tilting the current
// camera, the reset, and the eye placed from a wall or a corner; and the alternative that moves the
// selected elements instead. Every code ends with the pane invalidated.
#pragma once

#include <cstdint>

class qx3DPane;

class qx3DNavigation {
 public:
  static constexpr int32_t kForward = 2201;
  static constexpr int32_t kBack = 2205;
  static constexpr int32_t kLeft = 2209;
  static constexpr int32_t kRight = 2213;
  static constexpr int32_t kUp = 2217;
  static constexpr int32_t kDown = 2221;
  static constexpr int32_t kTurnRight = 2225;
  static constexpr int32_t kTurnLeft = 2229;
  static constexpr int32_t kTiltUp = 2233;
  static constexpr int32_t kTiltDown = 2237;
  static constexpr int32_t kReset = 2265;
  static constexpr int32_t kFirstSide = 2273;  // side 1; sides 2..8 follow 4 apart
  static constexpr int32_t kLastSide = 2301;

  // Shift makes the steps fine (100 mm, 1.5 degrees).
  static void Navigate(qx3DPane& pane, int32_t code);
  static void NavigateElement(qx3DPane& pane, int32_t code);
  // Every live camera back to its preset, then the current one fitted to the 3D canvas's bounds.
  static void Reset(qx3DPane& pane);
  // The Home key: the presets, then a fit or the canvas's view preset as the view flags say.
  static void HomeReset(qx3DPane& pane);
  // Fits the current camera to `box` through the shared context's aspect ratio (1 before it exists).
  static void FitCurrent(qx3DPane& pane, const class ppBounds3& box);
  // The eye of the pane's current view placed from `side` (1..8) around the host's room corners.
  static void PlaceEyeFromSide(qx3DPane& pane, int32_t side);
};
