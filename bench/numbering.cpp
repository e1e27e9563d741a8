// The numbering sweep over 500 units against the same sweep over 50, in one run: units in runs of
// five snapped side by side, every unit of one numbered class. A sweep that sorts grows by about
// 10 x log(500) / log(50), 16; one quadratic in the units by 100. The ratio must stay at or below 20.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproClassFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "elements/base/qxAssignEnumNumbers.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/topview/TopViewElementFactory.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

using bench::FloatWord;

constexpr int32_t kRun = 5;
constexpr double kLimit = 20.0;
using Clock = std::chrono::steady_clock;

// A top-view record of a numbered class with a left anchor (code -5 at x 0) and a right one (code 5
// at x 100).
int32_t AddUnitRecord(zelvDatabase& db) {
  zelvproClassFil& classes = db.ClassFile();
  classes.ClearRecordBuffer(nullptr);
  classes.SetFieldValue(classes.IndexOf("id"), ppParameter(7), nullptr);
  classes.SetFieldValue(classes.IndexOf("flags"), ppParameter(0x800), nullptr);
  int32_t cls = 0;
  classes.AddRecord(&cls, nullptr);

  zelvproTopViewFil& topViews = db.TopViewFile();
  topViews.ClearRecordBuffer(nullptr);
  RecordField(topViews, "Type", 1).SetLong(topViews.GetRecordBuffer(), cls);
  const int32_t snaps[18] = {-5, 0, 0, 0, 0, 0, 0, 0, 0, 5, FloatWord(100.0f), 0, 0, 0, 0, 0, 0, 0};
  Handle data = RecordField(topViews, "Snappoints").Data(topViews.GetRecordBuffer());
  MemSetSize(data, sizeof snaps);
  std::memcpy(*data, snaps, sizeof snaps);
  int32_t id = 0;
  topViews.AddRecord(&id, nullptr);
  return id;
}

// The shortest of `rounds` sweeps over `units` units in runs of five, in seconds.
double SweepSeconds(zelvDatabase& db, int32_t record, int32_t units, int32_t rounds) {
  zelvproCanvas canvas(nullptr, plat::RECT{0, 0, 1000, 1000}, nullptr);
  std::vector<zelvproElement*> placed;
  for (int32_t i = 0; i < units; ++i) {
    // Frames in pixels as the plan shows the units (a unit of 100 mm is 10 pixels wide).
    const int32_t x = (i % kRun) * 10, y = (i / kRun) * 100;
    zelvproElement* unit = db.TopViewFile().CreateElement(record, plat::RECT{x, y, x + 10, y + 10}, &canvas);
    unit->SetPosition(ppVector3(float(x) * 10.0f, 0.0f, float(y) * 10.0f));
    placed.push_back(unit);
  }
  for (zelvproElement* unit : placed) unit->Resnap();
  double best = 1e9;
  for (int32_t round = 0; round < rounds; ++round) {
    // A sweep ends by handing the repaint region to the editor; here it is dropped.
    zelvproElement::ResetRedraw();
    const auto start = Clock::now();
    qxAssignEnumNumbers::NumberChildren(canvas);
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  int32_t highest = 0;
  for (zelvproElement* unit : placed)
    highest = std::max(highest, unit->GetValueByName("EnumNumber").ToLong());
  if (highest != units) std::printf("the highest number is %d, not %d\n", highest, units);
  return best;
}

}  // namespace

int main() {
  bool failed = false;
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  {
    const bench::ScratchFolder dir("numbering");
    {
      ppFileSpec file(Vcon::WString(dir.File("catalog.cdb").c_str()));
      zelvDatabase db(file);
      TopViewElementFactory::Install();
      const int32_t record = AddUnitRecord(db);
      const double small = SweepSeconds(db, record, 50, 20);
      const double large = SweepSeconds(db, record, 500, 5);
      std::printf("sweep over 50 units:  %9.3f ms\n", small * 1e3);
      std::printf("sweep over 500 units: %9.3f ms\n", large * 1e3);
      bench::ReachAtMost("numbering 500 / 50 units", large / small, kLimit);
    }
  }
  MemTerminate();
  return failed ? 1 : bench::ReachStatus();
}
