// What the element benchmarks share: the processor time of the calling thread, the fastest of several
// rounds, the record writing of their made-up catalogues, the L-shaped rooms of the room benchmarks, and a
// calculation list that keeps its lines by
// element, as the price list does (removing an element's lines is one look-up, not a walk of the list).
#pragma once

#include <time.h>

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "elements/topview/iCalculationList.h"
#include "foundation/Vcon_HandleManager.h"
#include "framework/ppWindow.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"

namespace bench {

inline double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

inline double ThreadMilliseconds() { return ThreadSeconds() * 1e3; }

// The middle of the measured rounds (the upper one of an even count).
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Registers the window class the controls' windows are made of ("ZelvCtrl").
inline void RegisterControlWindowClass() {
  plat::WNDCLASSA wc;
  wc.lpfnWndProc = ppWindow::ChildProc;
  wc.lpszClassName = "ZelvCtrl";
  plat::RegisterClassA(&wc);
}

// A visible top-level window of `width` x `height` pixels for controls to draw in, run until idle; the
// window owns itself (closing it deletes it).
inline ppWindow* OpenControlWindow(int32_t width, int32_t height) {
  RegisterControlWindowClass();
  auto* window = new ppWindow();
  ppWindow::SetObjectUnderConstruction(window);
  plat::CreateWindowExA(0, "ZelvCtrl", "", plat::WS_POPUP | plat::WS_VISIBLE, 0, 0, width, height, nullptr,
                        nullptr, nullptr, nullptr);
  window->SetOwnsWindow(true);
  plat::HeadlessDriver::RunUntilIdle();
  return window;
}

// The fastest of `rounds` runs in thread processor time: the least disturbed by the rest of the machine.
inline double FastestThreadSeconds(int32_t rounds, const std::function<void()>& run) {
  double best = 1e9;
  for (int32_t i = 0; i < rounds; ++i) {
    const double start = ThreadSeconds();
    run();
    best = std::min(best, ThreadSeconds() - start);
  }
  return best;
}

// Milliseconds per paint and per step of a small case (0) and a large one (1), medians of `rounds`
// alternating rounds (which case runs first alternates, so neither profits from the other's warmth).
// Each round paints once to warm, then times `paints` paints and `steps` steps (`step(which, i)`).
struct SmallLargeTimes {
  double paint[2];
  double step[2];
};
inline SmallLargeTimes TimeSmallAndLarge(int rounds, int paints, int steps,
                                         const std::function<void(int)>& paint,
                                         const std::function<void(int, int)>& step) {
  std::vector<double> paintMs[2], stepMs[2];
  for (int round = 0; round < rounds; ++round) {
    for (const int which : round % 2 == 0 ? std::vector<int>{0, 1} : std::vector<int>{1, 0}) {
      paint(which);
      paintMs[which].push_back(FastestThreadSeconds(1,
                                                    [&] {
                                                      for (int i = 0; i < paints; ++i) paint(which);
                                                    }) *
                               1e3 / paints);
      stepMs[which].push_back(FastestThreadSeconds(1,
                                                   [&] {
                                                     for (int i = 0; i < steps; ++i) step(which, i);
                                                   }) *
                              1e3 / steps);
    }
  }
  return {{Median(paintMs[0]), Median(paintMs[1])}, {Median(stepMs[0]), Median(stepMs[1])}};
}

// A fresh folder of this run under the system's temporary folder for a bench's catalogue files,
// removed again at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& bench)
      : path_(std::filesystem::temp_directory_path() /
              ("planner_bench_" + bench + "_" + std::to_string(::getpid()))) {
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  std::string File(const char* name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// ---- Records of a bench's catalogue, written field by field into the table's record buffer.

inline void SetField(ppDatafile& table, const char* name, const ppParameter& value) {
  table.SetFieldValue(table.IndexOf(name), value, nullptr);
}

// Adds the table's record buffer as a new record; answers its record id.
inline int32_t AddRecord(ppDatafile& table) {
  int32_t id = 0;
  table.AddRecord(&id, nullptr);
  return id;
}

// Replaces the blob field `name` of the record buffer with `size` bytes from `data`.
inline void SetBlob(ppDatafile& table, const char* name, const void* data, size_t size) {
  Handle h = RecordField(table, name).Data(table.GetRecordBuffer());
  MemSetSize(h, uint32_t(size));
  if (size != 0) std::memcpy(*h, data, size);
}

// The bits of `f` as a blob word.
inline int32_t FloatWord(float f) {
  int32_t word = 0;
  std::memcpy(&word, &f, 4);
  return word;
}

// ---- The rooms of the room benchmarks.

// The top-view record the wall segments are made of; answers its record id.
inline int32_t AddWallRecord(zelvDatabase& db) {
  zelvproTopViewFil& items = db.TopViewFile();
  items.ClearRecordBuffer(nullptr);
  SetField(items, "ID", ppParameter(900));
  return AddRecord(items);
}

// An L-shaped room of six walls, 4000 x 4000 with a 2000 x 2000 notch, its corner at (x, 0, 1000)
// (millimetres); the canvas owns the walls.
inline void AddRoom(qxNewRoomCanvas& canvas, zelvDatabase& db, int32_t record, float x) {
  const float outline[6][2] = {{0, 0}, {4000, 0}, {4000, 2000}, {2000, 2000}, {2000, 4000}, {0, 4000}};
  for (int32_t i = 0; i < 6; ++i) {
    const float* a = outline[i];
    const float* b = outline[(i + 1) % 6];
    db.TopViewFile().ReadRecord(record, nullptr);
    auto* wall = new qxRoomSegment(record, &canvas, plat::RECT{0, 0, 10, 10},
                                   db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
    wall->SetEnds(ppVector3(x + a[0], 0, 1000 + a[1]), ppVector3(x + b[0], 0, 1000 + b[1]));
  }
}

class LinesByElement : public iCalculationList {
 public:
  explicit LinesByElement(ppDatabase& db) : file_(std::make_unique<ppDatafile>("qxCalculator", db)) {}
  ppDatafile* LineFile() override { return file_.get(); }
  void AddLine(const LineRefs& refs) override { ++lines_[refs.element]; }
  void RemoveElementLines(zelvproElement* element) override { lines_.erase(element); }
  size_t Count() const { return lines_.size(); }

 private:
  std::unique_ptr<ppDatafile> file_;
  std::unordered_map<zelvproElement*, int32_t> lines_;
};

// A private copy of the demo settings (`settings`, the build's folder) under a fresh temporary folder
// named after the benchmark, current while it lives; afterwards the folder current before is current
// again and the copy is removed.
class DemoSettingsFolder {
 public:
  DemoSettingsFolder(const std::string& benchName, const std::filesystem::path& settings)
      : root_(std::filesystem::temp_directory_path() /
              ("planner_bench_" + benchName + "_" + std::to_string(::getpid()))),
        saved_(std::filesystem::current_path()) {
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_);
    std::filesystem::copy(settings, root_ / "settings", std::filesystem::copy_options::recursive);
    std::filesystem::current_path(root_);
  }
  ~DemoSettingsFolder() {
    std::error_code ignored;  // a benchmark's figures are printed already; a leftover folder is harmless
    std::filesystem::current_path(saved_, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  DemoSettingsFolder(const DemoSettingsFolder&) = delete;
  DemoSettingsFolder& operator=(const DemoSettingsFolder&) = delete;

  const std::filesystem::path& Root() const { return root_; }

 private:
  std::filesystem::path root_, saved_;
};

}  // namespace bench
