#include "exchange/WindowPlanSteps.h"

#include <cmath>

#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproTopCanvas.h"
#include "exchange/qxDocSweeper.h"
#include "exchange/qxLayerSweeper.h"
#include "framework/ppCollaborator.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

// The table is emptied and refilled from `root`'s tree, then written into its blob. The tree is
// numbered afresh from the running number first; the records, the room's outline and the association
// lists then name the elements by those numbers.
void SaveTreeInto(zelvproElement* root, zelvproDocModuleFil& table) {
  if (root == nullptr) return;
  root->RenumberSaveIds();
  table.DisposeRecords();
  root->SaveTree(table, false, 0);
  table.SaveToBlob();
}

void ClearPriceList() {
  if (zelvproCalculatorList* list = zelvproCalculatorList::Current()) list->Clear();
}

}  // namespace

WindowPlanSteps::WindowPlanSteps(zelvproWindow& window) : window_([&window] { return &window; }) {}

WindowPlanSteps::WindowPlanSteps(std::function<zelvproWindow*()> window) : window_(std::move(window)) {}

void WindowPlanSteps::RemoveGeneratedElements() {
  zelvproWindow* window = window_();
  if (auto* canvas = window != nullptr ? dynamic_cast<zelvproCanvas*>(window->TopCanvas()) : nullptr)
    iWorktopBuilder::Current().RemoveGeneratedElements(*canvas);
}

void WindowPlanSteps::SaveTrees(zelvproDocFil& document) {
  zelvproWindow* window = window_();
  if (window == nullptr) return;
  SaveTreeInto(window->NewRoomCanvas(), document.RoomTable());
  SaveTreeInto(window->TopCanvas(), document.FurnitureTable());
}

zelvproEditorScroller* WindowPlanSteps::Scroller() const {
  zelvproWindow* window = window_();
  zelvproEditorCanvas* editor = window != nullptr ? window->EditorCanvasView() : nullptr;
  return editor != nullptr && editor->Editor() != nullptr ? editor->Editor()->EditorScroller() : nullptr;
}

void WindowPlanSteps::RebuildFromTables(zelvproDocFil& document) {
  document.TagTable().LoadFromBlob();
  ClearPriceList();
  zelvproEditorScroller* scroller = Scroller();
  if (scroller == nullptr) return;
  qxNewRoomCanvas* room = scroller->NewRoomCanvas();
  zelvproTopCanvas* top = scroller->TopCanvas();
  zelvproDocModuleFil& roomTable = document.RoomTable();
  zelvproDocModuleFil& furnitureTable = document.FurnitureTable();
  roomTable.LoadFromBlob();
  furnitureTable.LoadFromBlob();
  // The old plan goes with its undo history: its tasks name elements that are about to be deleted.
  if (top != nullptr) top->DeleteAllElements();
  if (room != nullptr) {
    room->DeleteAllElements();
    room->ClearRoom();
  }
  // Rebuilding the plan fills the list anew; the old document's lines must not survive it.
  ClearPriceList();
  if (room != nullptr) room->LoadPlanModules(roomTable);
  if (top != nullptr) top->LoadPlan(furnitureTable);
  // The stored numbers served only to find each element's parent: the loaded elements take new ones
  // from the running number, which never goes back, so no element made later takes one of them.
  for (zelvproElement* root : {static_cast<zelvproElement*>(room), static_cast<zelvproElement*>(top)})
    if (root != nullptr) root->RenumberSaveIds();
  // The blobs keep the tables' bytes; the records in memory are not needed any more.
  roomTable.DisposeRecords();
  furnitureTable.DisposeRecords();
  document.AnnotationTable().DisposeRecords();
  for (zelvproCanvas* canvas : {static_cast<zelvproCanvas*>(room), static_cast<zelvproCanvas*>(top)}) {
    if (canvas == nullptr) continue;
    canvas->ResnapTree();
    canvas->Clear();  // nothing of the load itself is undoable
  }
  // A 3D canvas not made yet has nothing to repaint.
  ppView* scene = window_()->Made3DCanvas();
  if (scene != nullptr) scene->Invalidate();
  // The old plan's selection went with its elements, unannounced: the rotation panels of the editor
  // and of a 3D canvas already made follow the new plan's selection (none, for a plan just read).
  if (zelvproEditorCanvas* editor = window_()->EditorCanvasView())
    editor->DoCommand(zelvproEditorCanvas::kSelectionChanged, 0);
  if (scene != nullptr) scene->DoCommand(zelvpro3DCanvas::kSelectionChanged, 0);
}

void WindowPlanSteps::RebuildRoomFromTable(zelvproDocFil& document) {
  zelvproEditorScroller* scroller = Scroller();
  qxNewRoomCanvas* room = scroller != nullptr ? scroller->NewRoomCanvas() : nullptr;
  if (room == nullptr) return;
  zelvproDocModuleFil& table = document.RoomTable();
  table.LoadFromBlob();
  // The histories stay: the swap itself is an undoable task on them. Deleted elements take their
  // own tasks with them.
  while (room->Subviews().Count() > 0) {
    ppView* last = room->Subviews().At(room->Subviews().Count() - 1);
    last->DetachFromSupervisor();
    delete last;
  }
  room->ClearRoom();
  room->LoadPlanModules(table);
  room->RenumberSaveIds();
  table.DisposeRecords();
  room->ResnapTree();
}

int32_t WindowPlanSteps::ViewMode() {
  zelvproWindow* window = window_();
  return window != nullptr ? window->CurrentViewId() : 0;
}

namespace {

// The room's corners, faces and floors from its walls, and the 3D view of them.
void RebuildRoom(zelvproEditorScroller* scroller) {
  if (qxNewRoomCanvas* room = scroller != nullptr ? scroller->NewRoomCanvas() : nullptr) {
    room->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    room->DoCommand(qxNewRoomCanvas::kRefresh3D, 0);
  }
}

}  // namespace

void WindowPlanSteps::AfterLoad(int32_t lastView) {
  zelvproWindow* window = window_();
  if (window == nullptr) return;
  zelvproEditorScroller* scroller = Scroller();
  RebuildRoom(scroller);
  window->ApplicationCommand(zelvproCalculatorList::kShowCalculation, 0);
  new qxDocSweeper(*window);  // the queue owns it
  if (lastView != 0) new qxLayerSweeper(*window, lastView);
  if (zelvproTopCanvas* top = scroller != nullptr ? scroller->TopCanvas() : nullptr) {
    top->ClearTreeMark();
    top->RefreshAll();
  }
  // The plan was replaced: its warning marks are judged afresh, once.
  window->CheckPlanWarnings();
}

void WindowPlanSteps::AfterRoomLoad(int32_t lastView) {
  zelvproWindow* window = window_();
  if (window == nullptr) return;
  window->ApplicationCommand(zelvproCalculatorList::kShowCalculation, 0);
  ppCollaborator sender;
  sender.Broadcast(qxDocSweeper::kDocumentChannel, qxDocSweeper::kDocumentLoaded, 0);
  RebuildRoom(Scroller());
  if (lastView != 0) new qxLayerSweeper(*window, lastView);
}

void WindowPlanSteps::ResetRulers() {
  if (zelvproWindow* window = window_()) window->RefreshRulers();
}

bool WindowPlanSteps::ExportPicture(ppFileSpec& file) {
  zelvproWindow* window = window_();
  if (window == nullptr) return false;
  // In the 3D view the picture is the 3D view, rendered off-screen at its file size.
  if (window->CurrentViewId() == k3DView) {
    auto* canvas = dynamic_cast<zelvpro3DCanvas*>(window->Canvas3DView());
    if (canvas != nullptr && canvas->Pane() != nullptr)
      return canvas->Pane()->RunOffscreenRenderThread(file.path);
  }
  zelvproEditorScroller* scroller = Scroller();
  return scroller != nullptr && scroller->SaveViewBitmap(file);
}

void WindowPlanSteps::ViewValues(double& x, double& y) {
  zelvproWindow* window = window_();
  zelvproLayerPalette* palette = window != nullptr ? window->LayerPalette() : nullptr;
  // Both plan canvases show the layer palette's one scale; the file keeps it as 32-bit floats do.
  x = y = palette != nullptr ? double(float(palette->GetScale())) : zelvproLayerPalette::kStartScale;
}

void WindowPlanSteps::SetViewValues(double x, double y) {
  zelvproWindow* window = window_();
  zelvproLayerPalette* palette = window != nullptr ? window->LayerPalette() : nullptr;
  if (palette == nullptr) return;
  // A scale divides every plan point: one that is not a sane positive number (a file from elsewhere,
  // or none stored) leaves the editor's scale as it is.
  auto sane = [](double scale) {
    return std::isfinite(scale) && scale >= kSmallestScale && scale <= kLargestScale;
  };
  const double scale = sane(x) ? x : sane(y) ? y : 0.0;
  if (scale == 0.0) return;
  palette->SetScale(double(float(scale)));
  zelvproEditorCanvas* editor = window->EditorCanvasView();
  if (editor != nullptr && editor->Editor() != nullptr) editor->Editor()->ApplyZoom();
}

bool WindowPlanSteps::ExportArticleList(ppFileSpec& file) {
  zelvproCalculatorFil* lines = PriceListTable();
  if (lines == nullptr) return false;
  lines->ExportArticleList(file);
  return true;
}

void WindowPlanSteps::WriteOrderLines(iOrderWriter& writer) {
  zelvproWindow* window = window_();
  if (zelvproElement* top = window != nullptr ? window->TopCanvas() : nullptr) top->WriteOrderModule(writer);
}

plat::HWND WindowPlanSteps::OwnerWindow() {
  zelvproWindow* window = window_();
  return window != nullptr ? window->GetHWND() : nullptr;
}
