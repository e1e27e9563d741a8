// What the plan elements ask of the document window: the current view, the plan editor that takes
// the batched repaint region, the two plan roots, the layer palette and the catalogue databases of
// the run. The document window installs itself as the host; without one the elements see the plan
// view, no palette, no editor and the catalogue list's databases.
#pragma once

#include <cstdint>

#include "platform/WindowTypes.h"

class iScenePane;
class ppRegion;
class zelvDatabase;
class zelvproElement;
class zelvproLayerPalette;

class iElementHost {
 public:
  // View ids: the plan view, the 3D view and the two other plan views.
  static constexpr int32_t kPlanView = 2016;
  static constexpr int32_t k3DView = 2024;
  static constexpr int32_t kPlanViewB = 2004;
  static constexpr int32_t kPlanViewC = 2020;

  virtual ~iElementHost() = default;
  virtual int32_t CurrentViewId() { return kPlanView; }
  // The window that deferred passes (sweepers) are posted to; null when none.
  virtual plat::HWND DocumentWindow() { return nullptr; }
  // The 3D pane that InvalidateElement refreshes; null when none. Not owned.
  virtual iScenePane* ScenePane() { return nullptr; }
  // Repaints the region (window coordinates) of the plan editor; the region stays the caller's.
  virtual void InvalidatePlanEditor(ppRegion& /*region*/) {}
  // The root of the placed units and the root of the room's walls and floor; null when none.
  virtual zelvproElement* TopCanvas() { return nullptr; }
  virtual zelvproElement* NewRoomCanvas() { return nullptr; }
  // Null until the document window made the palette. Not owned.
  virtual zelvproLayerPalette* LayerPalette() { return nullptr; }
  // The catalogue whose settings "identifier" is this; the default asks the catalogue list.
  virtual zelvDatabase* FindDatabase(int32_t identifier);

  // The installed host, or a neutral one; never null.
  static iElementHost& Current();
  // Installs `host` (null: the neutral one again). Not owned.
  static void Install(iElementHost* host);
};
