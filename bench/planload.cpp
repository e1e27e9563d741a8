// Loading a plan and pasting a copy of it grow linearly with the plan: a plan of 200 units against one
// of 20, in one run. The units stand in rows of ten, each with four snap anchors (left, right, back,
// front), so neighbours in a row link. One round builds the plan from its document-module records
// (LoadPlan), re-snaps the whole tree as the document load does, then selects everything, copies it
// and pastes it back as one undoable paste. Linear work gives a time ratio of 10; finding each
// record's parent by searching the tree, or redrawing the plan once per selected element, gives about
// 100. The ratio must stay at or below 12. Times are thread CPU times, the fastest of several rounds.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "database/ppDatafile.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using bench::AddRecord;
using bench::FloatWord;
using bench::SetBlob;
using bench::SetField;

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kRowLength = 10, kRepeats = 7;
constexpr double kLimit = 12.0;
constexpr float kUnitWidth = 600.0f, kUnitDepth = 600.0f, kRowStep = 1000.0f;

class Pane : public iScenePane {
 public:
  void SetSceneOutOfDate() override {}
  void Invalidate() override {}
};

// The document window as the load and the paste see it: the bench's catalogue, a layer palette that
// hands out ids, a 3D pane (so every redraw walks the plan, as in the program) and the main canvas.
class Host : public iElementHost {
 public:
  explicit Host(zelvDatabase& db) : db_(db) {}
  zelvDatabase* FindDatabase(int32_t identifier) override {
    return identifier == db_.Identifier() ? &db_ : nullptr;
  }
  zelvproLayerPalette* LayerPalette() override { return &palette_; }
  iScenePane* ScenePane() override { return &pane_; }
  zelvproElement* TopCanvas() override { return canvas; }
  // The editor canvas hears every selection change, as in the document window.
  ppEventHandler* EditorCanvas() override { return editorCanvas; }
  plat::HWND DocumentWindow() override { return window; }

  zelvproElement* canvas = nullptr;
  ppEventHandler* editorCanvas = nullptr;
  plat::HWND window = nullptr;

 private:
  zelvDatabase& db_;
  zelvproLayerPalette palette_;
  Pane pane_;
};

// A unit item of stored "ID" 77, 600 x 720 x 600, with four anchors: codes 3 and -3 at its left and
// right sides, 5 and -5 at its back and front.
int32_t AddItem(zelvDatabase& db) {
  const float outline[] = {0, 0, kUnitWidth, 0, kUnitWidth, kUnitDepth, 0, kUnitDepth};
  zelvproShapeFil& shapes = db.ShapeFile();
  shapes.ClearRecordBuffer(nullptr);
  SetBlob(shapes, "points", outline, sizeof outline);
  const uint32_t attributes[4] = {0, 0, 0, 0};
  SetBlob(shapes, "attributes", attributes, sizeof attributes);
  const int32_t shape = AddRecord(shapes);
  db.UnitFile().ClearRecordBuffer(nullptr);
  const int32_t unit = AddRecord(db.UnitFile());

  zelvproTopViewFil& items = db.TopViewFile();
  items.ClearRecordBuffer(nullptr);
  SetField(items, "ID", ppParameter(77));
  SetField(items, "width", ppParameter(double(kUnitWidth)));
  SetField(items, "height", ppParameter(720.0));
  SetField(items, "depth", ppParameter(double(kUnitDepth)));
  const int32_t piece[6] = {shape, 0, 0, 0, 0, 0};
  SetBlob(items, "Subelements", piece, sizeof piece);
  const int32_t units[2] = {unit, 0};
  SetBlob(items, "Units", units, sizeof units);
  struct {
    int32_t code;
    float x, z;
  } anchors[] = {{3, 0, kUnitDepth / 2},
                 {-3, kUnitWidth, kUnitDepth / 2},
                 {5, kUnitWidth / 2, 0},
                 {-5, kUnitWidth / 2, kUnitDepth}};
  std::vector<int32_t> words;
  for (const auto& a : anchors) {
    const int32_t entry[9] = {a.code, FloatWord(a.x), 0, FloatWord(a.z), 0, 0, 0, 0, 0};
    words.insert(words.end(), entry, entry + 9);
  }
  SetBlob(items, "Snappoints", words.data(), words.size() * 4);
  return AddRecord(items);
}

// The document-module records of a plan of `count` units in rows, the canvas's own record first.
void WritePlan(zelvDatabase& db, int32_t item, int32_t count, ppDatafile& modules) {
  zelvproTopCanvas plan(nullptr, plat::RECT{0, 0, 1000, 1000}, &db);
  for (int32_t i = 0; i < count; ++i) {
    db.TopViewFile().ReadRecord(item, nullptr);
    auto* unit = new zelvproTopViewElement(item, &plan, plat::RECT{0, 0, 10, 10},
                                           db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    unit->SetPosition(ppVector3(float(i % kRowLength) * kUnitWidth, 0.0f, float(i / kRowLength) * kRowStep));
  }
  plan.SaveTree(modules, false, 0);
}

int32_t CountLinks(zelvproElement& canvas) {
  int32_t links = 0;
  for (int32_t i = 0; i < canvas.Subviews().Count(); ++i) {
    auto* child = static_cast<zelvproElement*>(canvas.Subviews().At(i));
    for (int32_t j = 0; j < child->GetPointCount(); ++j) {
      SnapAnchor anchor;
      if (child->GetPointEntry(j, anchor) && anchor.partner != nullptr) ++links;
    }
  }
  return links;
}

struct Result {
  int32_t elements = 0, links = 0;
  double load = 1e9, paste = 1e9;  // the fastest of the rounds, seconds
};

// One round: load and re-snap, then select all, copy and paste; each part timed on its own.
void Round(zelvDatabase& db, Host& host, ppDatafile& modules, Result& result) {
  zelvproTopCanvas canvas(nullptr, plat::RECT{0, 0, 1000, 1000}, &db);
  host.canvas = &canvas;
  double start = bench::ThreadSeconds();
  canvas.LoadPlan(modules);
  canvas.ResnapTree();
  double end = bench::ThreadSeconds();
  result.load = std::min(result.load, end - start);
  result.links = CountLinks(canvas);
  start = bench::ThreadSeconds();
  canvas.DoCommand(zelvproCanvas::kSelectAll, 0);
  canvas.DoCommand(zelvproCanvas::kCopy, 0);
  canvas.DoCommand(zelvproCanvas::kPaste, 0);
  // The selection checks the paste asked for run once, at the next turn of the loop.
  plat::HeadlessDriver::RunUntilIdle();
  end = bench::ThreadSeconds();
  result.paste = std::min(result.paste, end - start);
  result.elements = canvas.Subviews().Count();
  canvas.DeleteAllElements();
  host.canvas = nullptr;
}

Result Measure(zelvDatabase& db, Host& host, int32_t item, int32_t units) {
  zelvproDocFil document(db);
  zelvproDocModuleFil& modules = document.FurnitureTable();
  WritePlan(db, item, units, modules);
  Result warm;
  Round(db, host, modules, warm);  // fills the look-up caches
  Result result;
  for (int32_t i = 0; i < kRepeats; ++i) Round(db, host, modules, result);
  std::printf(
      "%4d units: %4d anchors linked after the load, %4d elements after the paste; load %8.3f ms, "
      "copy and paste %8.3f ms\n",
      units, result.links, result.elements, result.load * 1e3, result.paste * 1e3);
  return result;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("planload");
    ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
    zelvDatabase db(file);
    Host host(db);
    iElementHost::Install(&host);
    TopViewElementFactory::Install();
    CanvasTaskFactory::InstallDefault();
    // A headless document window holding the editor canvas, so that selection changes reach it.
    auto* window = new ppWindow();
    plat::WNDCLASSA wc{};
    wc.lpfnWndProc = ppWindow::ChildProc;
    wc.lpszClassName = "ZelvCtrl";
    plat::RegisterClassA(&wc);
    ppWindow::SetObjectUnderConstruction(window);
    host.window = plat::CreateWindowExA(0, "ZelvCtrl", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, 1000, 700,
                                        nullptr, nullptr, nullptr, nullptr);
    window->SetOwnsWindow(true);
    host.editorCanvas = new zelvproEditorCanvas(window, plat::RECT{10, 64, 801, 564}, &db);
    plat::HeadlessDriver::RunUntilIdle();
    const int32_t item = AddItem(db);
    const Result small = Measure(db, host, item, kSmallPlan);
    const Result large = Measure(db, host, item, kLargePlan);
    bench::ReachAtMost("planload load and resnap 200/20 units", large.load / small.load, kLimit);
    bench::ReachAtMost("planload copy and paste 200/20 units", large.paste / small.paste, kLimit);
    host.editorCanvas = nullptr;
    delete window;
    iElementTaskFactory::Install(nullptr);
    iElementHost::Install(nullptr);
  }
  MemTerminate();
  return bench::ReachStatus();
}
