// The steps of saving and opening a document that belong to the plan and its canvases: the document
// window implements them; the neutral ones (the defaults) do nothing, which is what a document
// without canvases needs. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/FileRecord.h"
#include "platform/WindowTypes.h"

class iOrderWriter;
class zelvproDocFil;

class iDocumentPlanSteps {
 public:
  virtual ~iDocumentPlanSteps() = default;

  // Removes the worktops and other elements the plan generates from its units.
  virtual void RemoveGeneratedElements() {}
  // Each plan canvas saves its element tree into its module table (first canvas, first table), and
  // both tables are written back into their blobs.
  virtual void SaveTrees(zelvproDocFil& /*document*/) {}
  // Rebuilds both plan canvases from the module tables just unpacked: empty undo stacks, re-snapped
  // trees, the price list emptied, the 3D view redrawn.
  virtual void RebuildFromTables(zelvproDocFil& /*document*/) {}
  // Rebuilds only the room canvas from the first module table, keeping every undo history (a room
  // template swapped in by an undoable task).
  virtual void RebuildRoomFromTable(zelvproDocFil& /*document*/) {}
  // The editor's two view values (the first value of its first view object, the second of its second).
  virtual void ViewValues(double& x, double& y) { x = y = 0.0; }
  virtual void SetViewValues(double /*x*/, double /*y*/) {}
  // The view mode shown (2012 calculation, 2024 3D).
  virtual int32_t ViewMode() { return 0; }
  // After a load: the layer and application commands, the document sweeper, the view switch when
  // `lastView` is not 0, the refresh, the warning marks cleared and the placement check run once.
  virtual void AfterLoad(int32_t /*lastView*/) {}
  // After a room template was swapped in: the room's rebuild, the calculation command, the document
  // loaded message (sent at once) and the view switch when `lastView` is not 0.
  virtual void AfterRoomLoad(int32_t /*lastView*/) {}
  virtual void ResetRulers() {}
  // Save-as exports: the picture (3D view off-screen in the 3D mode, else the plan) and the price
  // list's article list. Answer whether the file was written.
  virtual bool ExportPicture(ppFileSpec& /*file*/) { return false; }
  virtual bool ExportArticleList(ppFileSpec& /*file*/) { return false; }
  // The plan's order lines, appended through `writer` (the top canvas's WriteOrderModule).
  virtual void WriteOrderLines(iOrderWriter& /*writer*/) {}
  // The owner window of the load's message boxes (the document window), or null.
  virtual plat::HWND OwnerWindow() { return nullptr; }

  // Steps that do nothing. Stateless.
  static iDocumentPlanSteps& Neutral();
};
