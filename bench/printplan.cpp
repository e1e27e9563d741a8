// Printing the plan grows linearly with the plan: view 2020 (printed directly, vectors) of a plan of
// 200 units against one of 20 spanning the same area (so both pages have one scale), each plan in an
// L-shaped room with the units' number labels on, one
// A4 landscape page at 300 dpi to a PDF file per print. Linear work gives a ratio of at most 10
// (the room, the header and the PDF's fixed cost make it less); the ratio must stay at or below 10.
// View 2004 (the raster plan: the units through a bitmap, the room outline over it) is reported
// beside it without a goal. Times are thread CPU times, the fastest of several rounds.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "elements/topview/iNumberLabelOption.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppDC.h"
#include "platform/Printing.h"
#include "room/qxNewRoomCanvas.h"
#include "scene3d/panes/qxEditorViews.h"

namespace {

using bench::AddRecord;
using bench::SetBlob;
using bench::SetField;

constexpr int32_t kSmallPlan = 20, kLargePlan = 200, kRowLength = 10, kRounds = 5;
constexpr double kLimit = 10.0;
constexpr float kUnitWidth = 600.0f, kUnitDepth = 560.0f, kRowStep = 700.0f;

class Host : public iElementHost {
 public:
  explicit Host(zelvDatabase& db) : db_(db) {}
  zelvDatabase* FindDatabase(int32_t identifier) override {
    return identifier == db_.Identifier() ? &db_ : nullptr;
  }
  zelvproLayerPalette* LayerPalette() override { return &palette_; }
  zelvproElement* TopCanvas() override { return top; }
  zelvproElement* NewRoomCanvas() override { return room; }
  zelvproElement* top = nullptr;
  zelvproElement* room = nullptr;

 private:
  zelvDatabase& db_;
  zelvproLayerPalette palette_;
};

class LabelsOn : public iNumberLabelOption {
 public:
  bool IsOn() override { return true; }
};

// A unit that answers its number label.
class NumberedUnit : public zelvproTopViewElement {
 public:
  using zelvproTopViewElement::zelvproTopViewElement;
  int32_t IndexOf(const Vcon::String& name) override {
    return name == "EnumNumber" ? kNumberIndex : zelvproTopViewElement::IndexOf(name);
  }
  ppParameter GetValue(int32_t index) override {
    return index == kNumberIndex ? ppParameter(number) : zelvproTopViewElement::GetValue(index);
  }
  static constexpr int32_t kNumberIndex = 9999;
  int32_t number = 0;
};

// A unit item, 600 x 720 x 560, whose one piece is its box.
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
  return AddRecord(items);
}

// One print of the scroller's current view to a PDF in `dir`.
void PrintOnce(zelvproEditorScroller& scroller, const std::string& dir) {
  plat::PrinterSetup setup;
  setup.orientation = 2;
  setup.output = dir + "/plan.pdf";
  plat::HDC printer = plat::CreatePrinterDC(setup);
  plat::DOCINFOA info;
  info.cbSize = plat::kDocInfoSize;
  plat::StartDocA(printer, &info);
  int32_t page = 0;
  bool more = true;
  while (more && page < 10) {
    plat::StartPage(printer);
    {
      ppDC dc(printer);
      more = scroller.Print(dc, ++page) != 0;
    }
    plat::EndPage(printer);
  }
  plat::EndDoc(printer);
  plat::DeletePrinterDC(printer);
}

struct Times {
  double vector = 1e9, raster = 1e9;  // seconds
};

Times Measure(zelvDatabase& db, Host& host, ppView* window, int32_t item, int32_t wall, int32_t units,
              const std::string& dir) {
  auto* scroller = new zelvproEditorScroller(window, plat::RECT{0, 0, 800, 600}, nullptr, nullptr, &db);
  host.top = scroller->TopCanvas();
  host.room = scroller->NewRoomCanvas();
  // The room: an L of six walls, wide enough for the rows of units (which stand in it and beyond).
  bench::AddRoom(*scroller->NewRoomCanvas(), db, wall, 0.0f);
  scroller->NewRoomCanvas()->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  plat::HeadlessDriver::RunUntilIdle();
  // Both plans span the same rows, so that both pages have one scale and the same inked area to
  // fill: the small plan takes the first and the last row of the large one.
  const int32_t rows = kLargePlan / kRowLength;
  for (int32_t i = 0; i < units; ++i) {
    const int32_t row = units == kLargePlan ? i / kRowLength : (i / kRowLength) * (rows - 1);
    db.TopViewFile().ReadRecord(item, nullptr);
    auto* unit = new NumberedUnit(item, scroller->TopCanvas(), plat::RECT{0, 0, 10, 10},
                                  db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    unit->number = i + 1;
    unit->SetPosition(
        ppVector3(100.0f + float(i % kRowLength) * kUnitWidth, 0.0f, 1100.0f + float(row) * kRowStep));
  }
  Times times;
  scroller->SetViewMode(qxEditorViews::kTwoPlansLinked);
  PrintOnce(*scroller, dir);  // warm
  times.vector = bench::FastestThreadSeconds(kRounds, [&] { PrintOnce(*scroller, dir); });
  scroller->SetViewMode(qxEditorViews::kTwoPlans);
  scroller->TopCanvas()->DoCommand(zelvproTopCanvas::kTransparentCommand, -1);
  PrintOnce(*scroller, dir);
  times.raster = bench::FastestThreadSeconds(kRounds, [&] { PrintOnce(*scroller, dir); });
  std::printf("%4d units: view 2020 (vectors) %8.3f ms, view 2004 (raster) %8.3f ms per print\n", units,
              times.vector * 1e3, times.raster * 1e3);
  host.top = host.room = nullptr;
  delete scroller;
  return times;
}

}  // namespace

int main() {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("printplan");
    ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
    zelvDatabase db(file);
    Host host(db);
    iElementHost::Install(&host);
    LabelsOn labels;
    iNumberLabelOption::Install(&labels);
    TopViewElementFactory::Install();
    CanvasTaskFactory::InstallDefault();
    ppWindow* window = bench::OpenControlWindow(900, 700);
    const int32_t item = AddItem(db);
    const int32_t wall = bench::AddWallRecord(db);
    const std::string folder = std::filesystem::path(dir.File("x")).parent_path().string();
    Measure(db, host, window, item, wall, kSmallPlan, folder);  // warms the fonts and the PDF writer
    const Times small = Measure(db, host, window, item, wall, kSmallPlan, folder);
    const Times large = Measure(db, host, window, item, wall, kLargePlan, folder);
    Measure(db, host, window, item, wall, kSmallPlan, folder);
    std::printf("view 2004 (raster) 200/20 units: %.3f\n", large.raster / small.raster);
    bench::ReachAtMost("printplan view 2020 to PDF 200/20 units", large.vector / small.vector, kLimit);
    plat::DestroyWindow(window->GetHWND());
    plat::HeadlessDriver::RunUntilIdle();
    iNumberLabelOption::Install(nullptr);
    iElementTaskFactory::Install(nullptr);
    iElementHost::Install(nullptr);
  }
  MemTerminate();
  return bench::ReachStatus();
}
