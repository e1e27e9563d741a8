#include "exchange/WindowPlanSteps.h"

#include "calculation/PriceListTable.h"
#include "calculation/zelvproCalculatorFil.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/zelvproCanvas.h"
#include "exchange/qxDocSweeper.h"
#include "exchange/qxLayerSweeper.h"

namespace {

// The table is emptied and refilled from `root`'s tree, then written into its blob.
void SaveTreeInto(zelvproElement* root, zelvproDocModuleFil& table) {
  if (root == nullptr) return;
  table.DisposeRecords();
  root->SaveTree(table, true, 0);
  table.SaveToBlob();
}

}  // namespace

WindowPlanSteps::WindowPlanSteps(zelvproWindow& window) : window_(window) {}

void WindowPlanSteps::RemoveGeneratedElements() {
  if (auto* canvas = dynamic_cast<zelvproCanvas*>(window_.TopCanvas()))
    iWorktopBuilder::Current().RemoveGeneratedElements(*canvas);
}

void WindowPlanSteps::SaveTrees(zelvproDocFil& document) {
  SaveTreeInto(window_.NewRoomCanvas(), document.RoomTable());
  SaveTreeInto(window_.TopCanvas(), document.FurnitureTable());
}

int32_t WindowPlanSteps::ViewMode() { return window_.CurrentViewId(); }

void WindowPlanSteps::AfterLoad(int32_t lastView) {
  new qxDocSweeper(window_);  // the queue owns it
  if (lastView != 0) new qxLayerSweeper(window_, lastView);
  // The plan was replaced: its warning marks are judged afresh, once.
  window_.CheckPlanWarnings();
}

void WindowPlanSteps::ResetRulers() { window_.RefreshRulers(); }

bool WindowPlanSteps::ExportPicture(ppFileSpec& file) {
  zelvproEditorCanvas* canvas = window_.EditorCanvasView();
  zelvproEditorScroller* scroller =
      canvas != nullptr && canvas->Editor() != nullptr ? canvas->Editor()->EditorScroller() : nullptr;
  return scroller != nullptr && scroller->SaveViewBitmap(file);
}

bool WindowPlanSteps::ExportArticleList(ppFileSpec& file) {
  zelvproCalculatorFil* lines = PriceListTable();
  if (lines == nullptr) return false;
  lines->ExportArticleList(file);
  return true;
}

void WindowPlanSteps::WriteOrderLines(iOrderWriter& writer) {
  if (zelvproElement* top = window_.TopCanvas()) top->WriteOrderModule(writer);
}

plat::HWND WindowPlanSteps::OwnerWindow() { return window_.GetHWND(); }
