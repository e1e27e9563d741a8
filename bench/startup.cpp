// The program's start-up against opening its databases: a whole in-process run of the program on a
// copy of the demo settings, from the entry to its first painted frame (headless), against opening
// the five databases it reads (application, resources, skin and the two catalogues) and closing them
// again. Each side runs 5 times, alternating; the medians are printed with their ratio and a reach
// line (bench/Reach.h); the exit status is 1 when the goal is missed. The processor time of the
// process over each side is printed as well: on a busy machine it says what the wall times cannot.
// A third figure is a floor no start can go under: a fresh surface the size of the maximised frame,
// each pixel written once (the kernel clears every page of it first), with the databases beside it.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/PlannerProgram.h"
#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/databases/qxResourcedb.h"
#include "catalogue/databases/qxSkindb.h"
#include "foundation/FileRecord.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/HeadlessDriver.h"
#include "platform/ScreenMetrics.h"
#include "platform/Surface.h"

namespace fs = std::filesystem;

namespace {

constexpr int32_t kRounds = 5;
// Start-up to the first painted frame takes at most this many times the opening of its databases.
constexpr double kMost = 3.0;

// A fresh copy of the settings built beside this program, in a folder of its own.
fs::path CopySettings(int32_t round) {
  const fs::path built = fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "settings";
  const fs::path root = fs::temp_directory_path() /
                        ("bench_startup_" + std::to_string(::getpid()) + "_" + std::to_string(round));
  fs::remove_all(root);
  fs::create_directories(root);
  fs::copy(built, root / "settings", fs::copy_options::recursive);
  return root;
}

double ProcessCpuMilliseconds() {
  // The C clock is the processor time of the whole process, every thread, in microsecond steps.
  return double(std::clock()) * 1e3 / double(CLOCKS_PER_SEC);
}

// Wall and processor milliseconds of one side.
struct Times {
  double wall = 0;
  double cpu = 0;
};

Times StartupMilliseconds(int32_t round) {
  const fs::path root = CopySettings(round);
  plat::HeadlessDriver::Reset();
  PlannerProgram::Options options;
  options.screenshot = (root / "shot.png").string();
  if (PlannerProgram::Run(options, root.string()) != PlannerProgram::kOk)
    std::fprintf(stderr, "run failed\n");
  const Times times{PlannerProgram::LastStartupMilliseconds(), PlannerProgram::LastStartupCpuMilliseconds()};
  fs::remove_all(root);
  return times;
}

Times OpenDatabasesMilliseconds(int32_t round) {
  const fs::path root = CopySettings(100 + round);
  const fs::path saved = fs::current_path();
  fs::current_path(root);
  plat::HeadlessDriver::Reset();
  const auto started = std::chrono::steady_clock::now();
  const double startedCpu = ProcessCpuMilliseconds();
  {
    ppFileSpec application(Vcon::WString(u".\\settings\\zadezodid.cdb"));
    ppFileSpec resources(Vcon::WString(u".\\settings\\resources.cdb"));
    ppFileSpec skin(Vcon::WString(u".\\settings\\skin.cdb"));
    auto a = std::make_unique<qxApplicationdb>(application);
    auto r = std::make_unique<qxResourcedb>(resources);
    auto s = std::make_unique<qxSkindb>(skin);
    auto catalogues = std::make_unique<CatalogDatabaseList>();
  }
  const Times times{
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count(),
      ProcessCpuMilliseconds() - startedCpu};
  fs::current_path(saved);
  fs::remove_all(root);
  return times;
}

// A fresh surface of the screen's size (the maximised frame's), every pixel written once.
Times FreshFrameMilliseconds() {
  plat::HeadlessDriver::Reset();
  const int32_t width = plat::GetSystemMetrics(plat::SM_CXSCREEN);
  const int32_t height = plat::GetSystemMetrics(plat::SM_CYSCREEN);
  const auto started = std::chrono::steady_clock::now();
  const double startedCpu = ProcessCpuMilliseconds();
  {
    plat::Surface frame(width, height);
    frame.Fill(0xFFFFFF);
  }
  return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count(),
          ProcessCpuMilliseconds() - startedCpu};
}

}  // namespace

int main() {
  if (MemInit(40'000'000, 400'000) != 0) return 1;
  std::vector<double> startup, databases, startupCpu, databasesCpu, frame, frameCpu;
  for (int32_t round = 0; round < kRounds; ++round) {
    const Times opened = OpenDatabasesMilliseconds(round);
    databases.push_back(opened.wall);
    databasesCpu.push_back(opened.cpu);
    const Times fresh = FreshFrameMilliseconds();
    frame.push_back(fresh.wall);
    frameCpu.push_back(fresh.cpu);
    const Times started = StartupMilliseconds(round);
    startup.push_back(started.wall);
    startupCpu.push_back(started.cpu);
  }
  const double s = bench::Median(startup), d = bench::Median(databases);
  const double sc = bench::Median(startupCpu), dc = bench::Median(databasesCpu);
  std::printf("start-up to the first painted frame: %.2f ms, processor %.2f ms (medians of %d)\n", s, sc,
              kRounds);
  std::printf("opening the five databases: %.2f ms, processor %.2f ms (medians of %d)\n", d, dc, kRounds);
  std::printf("processor time ratio: %.2f\n", sc / dc);
  const double f = bench::Median(frame), fc = bench::Median(frameCpu);
  std::printf("a fresh %dx%d frame surface painted once: %.2f ms, processor %.2f ms (medians of %d)\n",
              plat::GetSystemMetrics(plat::SM_CXSCREEN), plat::GetSystemMetrics(plat::SM_CYSCREEN), f, fc,
              kRounds);
  std::printf("floor ratio, databases and that surface over the databases: %.2f, processor %.2f\n",
              (d + f) / d, (dc + fc) / dc);
  bench::ReachAtMost("startup_over_databases", s / d, kMost);
  MemTerminate();
  return bench::ReachStatus();
}
