// What the 3D panes ask of the document around them: the canvases' scene parts and bounds, the hit
// element, the selection, tool modes, configurator panels, rulers, the 3D tasks, the room's corners,
// view presets and the application's commands. The document window implements it and hands it to
// the panes; the defaults do nothing and answer empty.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ppBounds3.h"
#include "foundation/ppFloat4.h"
#include "scene3d/panes/qxEyePlacement.h"

class i3DPaneElement;
class ppScene;
struct qxPictureItem;

class i3DPaneHost {
 public:
  virtual ~i3DPaneHost() = default;

  // ---- The scene: the 3D canvas's and the top canvas's scene parts, in that order.
  virtual void AddSceneParts(ppScene& /*scene*/) {}
  // The room alone behind a picture of some units: the 3D canvas and the room's walls and floor, no
  // unit of the top canvas.
  virtual void AddRoomSceneParts(ppScene& /*scene*/) {}
  // Every element of the scene runs its pending updates (i3DPaneElement::RunPending).
  virtual void RunPendingUpdates() {}
  // The element that loaded `name` while picking; null for none.
  virtual i3DPaneElement* ElementForPickName(uint32_t /*name*/) { return nullptr; }
  // The 3D canvas's bounds (flags 0x240, grown by `factor`).
  virtual ppBounds3 CanvasBounds(float /*factor*/) { return ppBounds3(); }
  // The room's plan corners, in order round it.
  virtual qxEyePlacement::Corners RoomCorners() { return {}; }

  // ---- Elements and selection.
  virtual void SetHitElement(i3DPaneElement* /*element*/) {}
  virtual std::vector<i3DPaneElement*> Selection() { return {}; }
  virtual void ShowConfiguratorForElement(i3DPaneElement* /*element*/) {}
  virtual void ShowDefaultConfigurator() {}
  virtual void RefreshRulers() {}

  // ---- The 3D canvas's tool mode.
  virtual bool ToolModeActive() { return false; }
  virtual bool ToolModeSelects() { return false; }
  virtual void EndToolMode() {}
  // The cursor table index the tool mode names; -1 for the default cursor.
  virtual int32_t ToolModeCursor() { return -1; }

  // ---- Views and commands.
  // The application record's view flags, and the 3D canvas's preset for them.
  virtual uint32_t ViewFlags() { return 0; }
  virtual void SelectViewPreset(uint32_t /*flags*/) {}
  virtual void TopCanvasCommand(int32_t /*command*/, intptr_t /*argument*/) {}
  virtual void TopCanvasAfterEdit() {}
  virtual void ApplicationCommand(int32_t /*command*/, intptr_t /*argument*/) {}
  // Whether the option that lets command 3001 through is on.
  virtual bool CommandOptionOn() { return false; }
  virtual void PostUndoTask(intptr_t /*task*/) {}
  virtual void EditorRefresh() {}
  virtual void RulerBroadcast() {}
  // Marks the document's 3D view as drawn once.
  virtual void Note3DViewDrawn() {}

  // ---- The 3D tasks. `dragger` chooses the dragger over the mover; (x, y) is the window point.
  virtual void StartMoveTask(const std::vector<i3DPaneElement*>& /*selection*/, i3DPaneElement* /*element*/,
                             int32_t /*x*/, int32_t /*y*/, bool /*dragger*/) {}
  // Copies of the selection for an Alt press on a unit, selected in its stead; the StartMoveTask that
  // follows drags them and owns them until their drop stands.
  virtual void PrepareAltDrag() {}
  virtual void RotateSelection(float /*angle*/) {}

  // ---- Pictures and printing.
  // The top canvas's items of a plan picture, published while the picture is drawn; null withdraws.
  virtual void PublishPictureItems(qxPictureItem* /*items*/) {}
  // The room height the walls give, millimetres.
  virtual float RoomHeight() { return 0; }
  // The floor's extent along x and z, millimetres.
  virtual void FloorExtent(float* x, float* z) { *x = *z = 0; }
  // An application settings colour (1022: the plan picture's background), and setting it.
  virtual ppFloat4 SettingsColor(int32_t /*id*/) { return ppFloat4(1, 1, 1, 1); }
  virtual void SetSettingsColor(int32_t /*id*/, const ppFloat4& /*color*/) {}
  // The application's print resolution, dots per inch.
  virtual int32_t PrintResolution() { return 180; }
  // Whether the document has been saved under a name, and its path.
  virtual bool DocumentNamed() { return false; }
  virtual std::string DocumentPath() { return {}; }
};
