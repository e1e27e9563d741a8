// The program's start-up against opening its databases: a whole in-process run of the program on a
// copy of the demo settings, from the entry to its first painted frame (headless), against opening
// the five databases it reads (application, resources, skin and the two catalogues) and closing them
// again. Each side runs 5 times, alternating; the medians are printed with their ratio and a reach
// line (bench/Reach.h); the exit status is 1 when the goal is missed.
#include <unistd.h>

#include <chrono>
#include <cstdio>
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

double StartupMilliseconds(int32_t round) {
  const fs::path root = CopySettings(round);
  plat::HeadlessDriver::Reset();
  PlannerProgram::Options options;
  options.screenshot = (root / "shot.png").string();
  if (PlannerProgram::Run(options, root.string()) != PlannerProgram::kOk)
    std::fprintf(stderr, "run failed\n");
  const double ms = PlannerProgram::LastStartupMilliseconds();
  fs::remove_all(root);
  return ms;
}

double OpenDatabasesMilliseconds(int32_t round) {
  const fs::path root = CopySettings(100 + round);
  const fs::path saved = fs::current_path();
  fs::current_path(root);
  plat::HeadlessDriver::Reset();
  const auto started = std::chrono::steady_clock::now();
  {
    ppFileSpec application(Vcon::WString(u".\\settings\\zadezodid.cdb"));
    ppFileSpec resources(Vcon::WString(u".\\settings\\resources.cdb"));
    ppFileSpec skin(Vcon::WString(u".\\settings\\skin.cdb"));
    auto a = std::make_unique<qxApplicationdb>(application);
    auto r = std::make_unique<qxResourcedb>(resources);
    auto s = std::make_unique<qxSkindb>(skin);
    auto catalogues = std::make_unique<CatalogDatabaseList>();
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started).count();
  fs::current_path(saved);
  fs::remove_all(root);
  return ms;
}

}  // namespace

int main() {
  if (MemInit(40'000'000, 400'000) != 0) return 1;
  std::vector<double> startup, databases;
  for (int32_t round = 0; round < kRounds; ++round) {
    databases.push_back(OpenDatabasesMilliseconds(round));
    startup.push_back(StartupMilliseconds(round));
  }
  const double s = bench::Median(startup), d = bench::Median(databases);
  std::printf("start-up to the first painted frame: %.2f ms (median of %d)\n", s, kRounds);
  std::printf("opening the five databases: %.2f ms (median of %d)\n", d, kRounds);
  bench::ReachAtMost("startup_over_databases", s / d, kMost);
  MemTerminate();
  return bench::ReachStatus();
}
