// What the plan elements ask of the document window: the current view, the plan editor that takes
// the batched repaint region, the two plan roots, the layer palette and the catalogue databases of
// the run. The document window installs itself as the host; without one the elements see the plan
// view, no palette, no editor and the catalogue list's databases.
#pragma once

#include <cstdint>

#include "platform/WindowTypes.h"

class iScenePane;
class qxPrintPictures;
class ppDatafile;
class ppEventHandler;
class ppRegion;
class zelvDatabase;
class zelvproCanvas;
class zelvproElement;
class zelvproLayerPalette;
class zelvproTagFil;

class iElementHost {
 public:
  // View ids: the plan view, the 3D view and the two other plan views.
  static constexpr int32_t kPlanView = 2016;
  static constexpr int32_t k3DView = 2024;
  static constexpr int32_t kPlanViewB = 2004;
  static constexpr int32_t kPlanViewC = 2020;
  static constexpr int32_t kItemListView = 2012;  // the price list: it shows no plan canvas

  virtual ~iElementHost() = default;
  virtual int32_t CurrentViewId() { return kPlanView; }
  // The window that deferred passes (sweepers) are posted to; null when none.
  virtual plat::HWND DocumentWindow() { return nullptr; }
  // The 3D pane that InvalidateElement refreshes; null when none. Not owned.
  virtual iScenePane* ScenePane() { return nullptr; }
  // The pictures of the printed plan and elevation pages; the default draws them with the current
  // 3D pane. Not owned.
  virtual qxPrintPictures& PrintPictures();
  // Repaints the region (window coordinates) of the plan editor; the region stays the caller's.
  virtual void InvalidatePlanEditor(ppRegion& /*region*/) {}
  // The root of the placed units and the root of the room's walls and floor; null when none.
  virtual zelvproElement* TopCanvas() { return nullptr; }
  virtual zelvproElement* NewRoomCanvas() { return nullptr; }
  // Null until the document window made the palette. Not owned.
  virtual zelvproLayerPalette* LayerPalette() { return nullptr; }
  // The catalogue whose settings "identifier" is this; the default asks the catalogue list.
  virtual zelvDatabase* FindDatabase(int32_t identifier);

  // ---- Selection and clicks.
  // The element the user clicked last; null when none. Not owned: a deleted element clears it.
  virtual zelvproElement* LastClickedElement() { return nullptr; }
  virtual void SetLastClickedElement(zelvproElement* /*element*/) {}
  // The 3D canvas and the editor canvas, which hear of every selection change (command 3083); null
  // when none. Not owned.
  virtual ppEventHandler* Canvas3D() { return nullptr; }
  virtual ppEventHandler* EditorCanvas() { return nullptr; }
  // The copy datafile that `canvas` keeps, emptied for a new copy; null when it keeps none. Not owned.
  // The default hands out the canvas's own copy table (zelvproCanvas::CopyModules).
  virtual ppDatafile* BeginCopy(zelvproCanvas* canvas);
  // The same datafile as it stands, for the canvas to build elements from; null when none.
  virtual ppDatafile* CopyDatafile(zelvproCanvas* canvas);
  // Shows the default configurator panel of the current view mode.
  virtual void ShowDefaultConfigurator() {}
  // The offset (millimetres) by which the next paste moves the copied elements; the default sets the
  // program-wide paste offset (elements/base/PasteOffset.h).
  virtual void SetPasteOffset(float millimetres);

  // ---- The document window's menu, view bar, panes and checks, as the canvases reach them.
  // Enables or greys the menu item of `command`; puts or takes away its check mark.
  virtual void EnableMenuItem(int32_t /*command*/, bool /*enabled*/) {}
  virtual void CheckMenuItem(int32_t /*command*/, bool /*checked*/) {}
  // Hands a view or zoom command (3001-3011) to the view bar; the default passes it to the layer
  // palette, when there is one.
  virtual void PassToViewBar(int32_t command, intptr_t parameter);
  // The 3D pane's window, which takes the keyboard focus in the 3D view; null when none.
  virtual plat::HWND ScenePaneWindow() { return nullptr; }
  // Runs the placement warnings over the plan after an edit: the installed check (below), nothing
  // without one. A document window that overrides this should call the base.
  virtual void CheckPlanWarnings();

  // ---- Document tags.
  // The open document's tag table; null when no document is open. Not owned.
  virtual zelvproTagFil* TagTable() { return nullptr; }
  // Marks the open document changed, as an edit done, undone or redone by a task does.
  virtual void MarkDocumentModified() {}

  // The installed host, or a neutral one; never null.
  static iElementHost& Current();
  // Installs `host` (null: the neutral one again). Not owned.
  static void Install(iElementHost* host);

  // The placement-warning check over the host's two plan roots, installed by the application (its
  // warning rules live above the elements); null removes it.
  using PlanWarningCheck = void (*)(iElementHost& host);
  static void InstallPlanWarningCheck(PlanWarningCheck check);
};
