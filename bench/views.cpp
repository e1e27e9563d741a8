// Table views through the property interface against the table file read directly, and the
// sort by a property description against std::sort over keys read once.
//
// Reads: every field of every record through GoTo and GetValue (each GetValue reads the record
// again, as a property read must) against ReadRecord plus one GetField per field. Sorts: two keys
// ("group|-name", group with 50 distinct values) through ppPropertySort over the view against
// reading both keys of every record and sorting them with std::sort. Each runs at two sizes; the
// sort's property reads per n log2 n show whether it grows faster than n log n. Last, the direct
// reads of both sizes run again in alternating rounds; their ratio must stay at or below 2.3.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/Reach.h"
#include "database/dbBytes.h"
#include "database/dbDatafile.h"
#include "database/dbRecordLayout.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "database/ppPropertySort.h"
#include "foundation/Vcon_HandleManager.h"

namespace {

enum { kName, kGroup, kSize, kNote, kCount };

std::vector<uint8_t> BenchLayout() {
  const struct {
    const char* name;
    int32_t type, flags;
  } fields[] = {{"name", 1, 1}, {"group", 2, 1}, {"size", 4, 0}, {"note", 1, 0}, {"count", 2, 0}};
  std::vector<uint8_t> bytes(dbRecordLayout::kFields + dbRecordLayout::kEntrySize * 5, 0);
  db::PutI32(bytes.data(), dbRecordLayout::kVersion, 1000);
  db::PutI32(bytes.data(), dbRecordLayout::kFileId, 6100);
  std::snprintf(reinterpret_cast<char*>(bytes.data()) + dbRecordLayout::kRecordClass, 32, "items");
  db::PutI32(bytes.data(), dbRecordLayout::kFieldCount, 5);
  for (uint32_t i = 0; i < 5; ++i) {
    const uint32_t at = dbRecordLayout::kFields + dbRecordLayout::kEntrySize * i;
    std::snprintf(reinterpret_cast<char*>(bytes.data()) + at, 32, "%s", fields[i].name);
    db::PutI32(bytes.data(), at + dbRecordLayout::kEntryType, uint32_t(fields[i].type));
    db::PutI32(bytes.data(), at + dbRecordLayout::kEntryFlags, uint32_t(fields[i].flags));
  }
  return bytes;
}

// One database of n records per size, made on first use and kept for the run.
struct Table {
  std::string path;
  std::unique_ptr<ppDatabase> database;
  std::unique_ptr<ppDatafile> view;
};

std::filesystem::path Folder() {
  const std::filesystem::path shm = "/dev/shm";
  const auto base = std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
  return base / ("planner_bench_views_" + std::to_string(::getpid()));
}

// Closed in main, before the process's static objects (the file layer's among them) go away.
std::map<int32_t, Table> g_tables;

Table& TableOf(int32_t n) {
  Table& t = g_tables[n];
  if (t.view) return t;
  std::filesystem::create_directories(Folder());
  t.path = (Folder() / ("items" + std::to_string(n) + ".db")).string();
  std::filesystem::remove(t.path);
  ppFileSpec fileSpec(Vcon::WString(t.path.c_str()));
  t.database = std::make_unique<ppDatabase>(fileSpec);
  t.database->RegisterFile("items", new dbDatafile("items", *t.database, BenchLayout()),
                           [](dbDatafile* f) { delete f; });
  t.view = std::make_unique<ppDatafile>("items", *t.database);
  uint64_t state = 0x9E3779B97F4A7C15ull;
  char name[32];
  t.view->BeginTransaction();
  for (int32_t i = 0; i < n; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    std::snprintf(name, sizeof name, "item%08u", unsigned(state >> 33));
    t.view->ClearRecordBuffer(nullptr);
    t.view->SetFieldValue(kName, ppParameter(name), nullptr);
    t.view->SetFieldValue(kGroup, ppParameter(int32_t(state >> 40) % 50), nullptr);
    t.view->SetFieldValue(kSize, ppParameter(double(i) * 0.5), nullptr);
    t.view->SetFieldValue(kNote, ppParameter("a note of some length"), nullptr);
    t.view->SetFieldValue(kCount, ppParameter(i), nullptr);
    t.view->AddRecord(nullptr, nullptr);
  }
  t.view->EndTransaction();
  t.view->SelectAll();
  return t;
}

void ReadThroughProperties(benchmark::State& state) {
  ppDatafile& view = *TableOf(int32_t(state.range(0))).view;
  const int32_t properties = view.GetPropertyCount();
  for (auto _ : state) {
    int64_t sum = 0;
    for (int32_t i = 0; i < view.GetItemCount(); ++i) {
      view.GoTo(i);
      for (int32_t p = 0; p < properties; ++p) sum += view.GetValue(p).Type();
    }
    benchmark::DoNotOptimize(sum);
  }
}

// Every field of every selected record of the table of n records, read once directly.
int64_t ReadAllDirectly(int32_t n, char* buffer) {
  ppDatafile& view = *TableOf(n).view;
  dbDatafile& file = view.File();
  int64_t sum = 0;
  for (int32_t i = 0; i < view.GetSelectedCount(); ++i) {
    file.ReadRecord(view.RecordIdAt(i), buffer);
    for (int32_t f = 0; f < file.FieldCount(); ++f) {
      ppParameter value;
      file.Layout().GetField(f, &value, buffer);
      sum += value.Type();
    }
  }
  return sum;
}

void ReadDirectly(benchmark::State& state) {
  dbDatafile& file = TableOf(int32_t(state.range(0))).view->File();
  char* buffer = file.NewRecordBuffer();
  for (auto _ : state) benchmark::DoNotOptimize(ReadAllDirectly(int32_t(state.range(0)), buffer));
  file.DisposeRecordBuffer(buffer);
}

// Direct reads of 10,000 against 5,000 records in rounds that alternate which size goes first;
// prints the median time of each (milliseconds per pass) and their ratio, 2 for linear growth.
void CompareDirectReadSizes(int rounds) {
  constexpr double kLimit = 2.3;  // linear growth with room for the record cache's misses
  constexpr int kPasses = 20;
  std::map<int32_t, std::vector<double>> times;
  for (int round = 0; round < rounds; ++round) {
    for (const int32_t n :
         round % 2 == 0 ? std::vector<int32_t>{5000, 10000} : std::vector<int32_t>{10000, 5000}) {
      dbDatafile& file = TableOf(n).view->File();
      char* buffer = file.NewRecordBuffer();
      benchmark::DoNotOptimize(ReadAllDirectly(n, buffer));  // warm
      const auto start = std::chrono::steady_clock::now();
      for (int pass = 0; pass < kPasses; ++pass) benchmark::DoNotOptimize(ReadAllDirectly(n, buffer));
      times[n].push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
          kPasses);
      file.DisposeRecordBuffer(buffer);
    }
  }
  for (auto& [n, list] : times) std::sort(list.begin(), list.end());
  const double small = times[5000][size_t(rounds / 2)], large = times[10000][size_t(rounds / 2)];
  std::printf(
      "direct reads, medians of %d alternating rounds: 5,000 records %.3f ms, 10,000 records %.3f ms\n",
      rounds, small, large);
  bench::ReachAtMost("views direct reads 10000 / 5000", large / small, kLimit);
}

// The view with its property reads counted, to tell the sort's own growth from the store's.
class CountedView : public iProperty {
 public:
  explicit CountedView(ppDatafile& view) : view_(view) {}
  int32_t IndexOf(const Vcon::String& name) override { return view_.IndexOf(name); }
  ppParameter GetValue(int32_t index) override {
    ++reads;
    return view_.GetValueAt(index);
  }
  void GoToItem(int32_t i) override { view_.GoTo(i); }
  int32_t GetItemCount() override { return view_.GetItemCount(); }
  int64_t reads = 0;

 private:
  ppDatafile& view_;
};

void SortBySortDescription(benchmark::State& state) {
  ppDatafile& view = *TableOf(int32_t(state.range(0))).view;
  CountedView counted(view);
  ppPropertySort sort(&counted);
  for (auto _ : state) {
    sort.SortBySpec("group|-name");
    benchmark::DoNotOptimize(sort.Order().front());
  }
  const double n = double(state.range(0));
  state.counters["reads/(n log2 n)"] =
      double(counted.reads) / double(state.iterations()) / (n * std::log2(n));
}

void SortWithStd(benchmark::State& state) {
  ppDatafile& view = *TableOf(int32_t(state.range(0))).view;
  for (auto _ : state) {
    std::vector<std::pair<int32_t, std::string>> keys;
    std::vector<int32_t> order;
    for (int32_t i = 0; i < view.GetItemCount(); ++i) {
      view.GoTo(i);
      keys.emplace_back(view.GetValue(kGroup).ToLong(), view.GetValue(kName).AsString());
      order.push_back(i);
    }
    std::sort(order.begin(), order.end(), [&](int32_t a, int32_t b) {
      if (keys[size_t(a)].first != keys[size_t(b)].first)
        return keys[size_t(a)].first < keys[size_t(b)].first;
      return keys[size_t(a)].second > keys[size_t(b)].second;
    });
    benchmark::DoNotOptimize(order.front());
  }
}

BENCHMARK(ReadThroughProperties)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadDirectly)->Arg(5000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortBySortDescription)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond);
BENCHMARK(SortWithStd)->Arg(2500)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (MemInit(400'000'000, 4'000'000) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  CompareDirectReadSizes(7);
  g_tables.clear();
  std::filesystem::remove_all(Folder());
  return bench::ReachStatus();
}
