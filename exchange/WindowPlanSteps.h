// The plan steps of saving and opening over the document window: the room and top canvases save their
// trees into the "room" and "furniture" tables, the view mode and owner come from the window, and a
// load ends with the document and view sweepers and one run of the placement warnings. The window is
// not owned and must outlive this. User-interface thread only.
#pragma once

#include <functional>

#include "exchange/iDocumentPlanSteps.h"

class zelvproEditorScroller;
class zelvproWindow;

class WindowPlanSteps : public iDocumentPlanSteps {
 public:
  static constexpr int32_t k3DView = 2024;
  // The plan scales a loaded document may set (millimetres per pixel).
  static constexpr double kSmallestScale = 0.01, kLargestScale = 10000.0;

  explicit WindowPlanSteps(zelvproWindow& window);
  // The window is asked for at every step: the program's start-up makes the steps before the window
  // (whose construction already resumes the autosaved document). Null: the steps do nothing.
  explicit WindowPlanSteps(std::function<zelvproWindow*()> window);

  void RemoveGeneratedElements() override;
  void SaveTrees(zelvproDocFil& document) override;
  // Empties both canvases and their undo stacks and the price list, then builds the room canvas
  // from "room" and the top canvas from "furniture", re-snaps both and redraws the 3D view. The tag
  // table is reloaded from its blob.
  void RebuildFromTables(zelvproDocFil& document) override;
  void RebuildRoomFromTable(zelvproDocFil& document) override;
  int32_t ViewMode() override;
  // The room's rebuild (corners, floors, 3D), the calculation command to the application, the
  // sweepers, the whole plan refreshed (the price list rebuilt from it) and the warning check.
  void AfterLoad(int32_t lastView) override;
  void AfterRoomLoad(int32_t lastView) override;
  void ResetRulers() override;
  // The editor's plan scale (the layer palette's, millimetres per pixel) for both values; setting
  // takes the first sane one of the two and applies it to the editor.
  void ViewValues(double& x, double& y) override;
  void SetViewValues(double x, double y) override;
  // In the 3D view the 3D view rendered off-screen (1024 x 768), else the editor's view bitmap.
  bool ExportPicture(ppFileSpec& file) override;
  // The price list's article list; false without a price list.
  bool ExportArticleList(ppFileSpec& file) override;
  void WriteOrderLines(iOrderWriter& writer) override;
  plat::HWND OwnerWindow() override;

 private:
  zelvproEditorScroller* Scroller() const;

  std::function<zelvproWindow*()> window_;
};
