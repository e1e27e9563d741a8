// The handle zone against the C library's heap on one stream of 1,000,000 mixed operations.
//
// A fixed-seed generator drives a table of slots: an empty slot gets a new block, a full slot is
// resized or freed with equal odds. Sizes are mostly small (record images, strings) with one in five
// large (list buffers, pictures). Both allocators replay exactly the same operations and touch the
// first and last byte of each block, as real users would.
//
// The stream runs in rounds (5 unless a count is given as the first argument); in each round the zone
// and the heap take turns at going first, so neither always meets a cold cache or a warm one. Both run
// on memory already backed by the system: the heap replays the stream once, untimed, before the first
// round (it keeps its pages from then on), and every fresh zone has its pages faulted in before its
// clock starts. Otherwise the zone, made anew for each run, paid for faulting in its 40 MB every round
// while the heap did so in the first round only, which made the first round's ratio unlike the others.
// The page faults inside each timed run are printed with it. Each round
// also replays the stream twice more on the zone: once to learn which operations compact it, once to
// time just those, for the longest operation that included a compaction. The medians over the rounds
// are printed last, then the reach lines: the median ratio, and the longest compaction of any round.
//
// Times are the calling thread's processor time, as in the other benchmarks: on a machine busy with
// other work, elapsed time also counts the slices other processes ran in, which says nothing about
// either allocator and can make a 3 ms compaction look like 10. The elapsed time of the longest
// compaction is printed beside it.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "bench/BenchSupport.h"
#include "bench/Reach.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/Zone.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kOperations = 1'000'000;
constexpr uint32_t kSlots = 16'384;

enum class Kind : uint8_t { New, Resize, Free };

struct Operation {
  Kind kind;
  uint32_t slot;
  uint32_t size;
};

uint64_t g_state = 0x9E3779B97F4A7C15ull;
uint64_t Random() {  // xorshift64*
  g_state ^= g_state >> 12;
  g_state ^= g_state << 25;
  g_state ^= g_state >> 27;
  return g_state * 0x2545F4914F6CDD1Dull;
}

uint32_t RandomSize() { return Random() % 5 == 0 ? 256 + Random() % 8192 : 8 + Random() % 256; }

std::vector<Operation> MakeOperations() {
  std::vector<Operation> ops;
  ops.reserve(kOperations);
  std::vector<bool> live(kSlots, false);
  for (int i = 0; i < kOperations; ++i) {
    const uint32_t slot = Random() % kSlots;
    if (!live[slot]) {
      ops.push_back({Kind::New, slot, RandomSize()});
      live[slot] = true;
    } else if (Random() % 2 == 0) {
      ops.push_back({Kind::Resize, slot, RandomSize()});
    } else {
      ops.push_back({Kind::Free, slot, 0});
      live[slot] = false;
    }
  }
  return ops;
}

void Touch(char* data, uint32_t size) {
  if (size == 0) return;
  data[0] = char(size);
  data[size - 1] = char(size >> 8);
}

// Page faults of the calling thread so far (minor and major).
long ThreadFaults() {
  rusage use{};
  getrusage(RUSAGE_THREAD, &use);
  return use.ru_minflt + use.ru_majflt;
}

// A fresh zone of the benchmark's size, current and with its pages backed.
Vcon::Zone& FreshZone() {
  if (MemInit(40'000'000, 400'000) != 0) {
    std::fprintf(stderr, "the zone cannot be made\n");
    std::exit(1);
  }
  Vcon::Zone& zone = *Vcon::Zone::Current();
  zone.Prefault();
  return zone;
}

struct Timed {
  double seconds = 0;
  long faults = 0;  // page faults inside the timing
};

void ApplyToZone(const Operation& op, std::vector<Handle>& slots) {
  Handle& h = slots[op.slot];
  switch (op.kind) {
    case Kind::New:
      Vcon_HandleManager::MemNew(&h, op.size);
      break;
    case Kind::Resize:
      MemSetSize(h, op.size);
      break;
    case Kind::Free:
      MemDispose(h);
      h = nullptr;
      break;
  }
  if (h != nullptr) Touch(*h, op.size);
}

// The whole stream on a fresh zone.
Timed RunZone(const std::vector<Operation>& ops) {
  FreshZone();
  std::vector<Handle> slots(kSlots, nullptr);
  const long faults = ThreadFaults();
  const double start = bench::ThreadSeconds();
  for (const Operation& op : ops) ApplyToZone(op, slots);
  const double seconds = bench::ThreadSeconds() - start;
  return {seconds, ThreadFaults() - faults};
}

struct Pauses {
  uint32_t compactions = 0;
  uint64_t placements = 0;    // a hash of where every operation left its block, offsets in the zone
  double longest = 0;         // seconds of thread time
  double longestElapsed = 0;  // seconds, the same operation
};

// The longest operation that compacted the zone. A first replay on a fresh zone notes which operations
// compact; a second, on a fresh zone again, takes the same decisions and times only those, so that the
// clock calls neither slow the stream nor need a call per operation.
Pauses RunZoneForPauses(const std::vector<Operation>& ops) {
  std::vector<size_t> compacting;
  Pauses pauses;
  {
    const Vcon::Zone& zone = FreshZone();
    std::vector<Handle> slots(kSlots, nullptr);
    uint64_t hash = 0xCBF29CE484222325ull;  // FNV-1a over each operation's block offset (0 when freed)
    for (size_t i = 0; i < ops.size(); ++i) {
      const uint32_t before = zone.Compactions();
      ApplyToZone(ops[i], slots);
      if (zone.Compactions() != before) compacting.push_back(i);
      const Handle h = slots[ops[i].slot];
      const uint64_t offset = h == nullptr ? 0 : uint64_t(*h - zone.Base());
      hash = (hash ^ offset) * 0x100000001B3ull;
    }
    pauses.placements = hash;
  }
  const Vcon::Zone& zone = FreshZone();
  std::vector<Handle> slots(kSlots, nullptr);
  size_t next = 0;
  for (size_t i = 0; i < ops.size(); ++i) {
    if (next == compacting.size() || compacting[next] != i) {
      ApplyToZone(ops[i], slots);
      continue;
    }
    ++next;
    const Clock::time_point elapsed = Clock::now();
    const double start = bench::ThreadSeconds();
    ApplyToZone(ops[i], slots);
    const double took = bench::ThreadSeconds() - start;
    if (took > pauses.longest) {
      pauses.longest = took;
      pauses.longestElapsed = std::chrono::duration<double>(Clock::now() - elapsed).count();
    }
  }
  pauses.compactions = zone.Compactions();
  if (pauses.compactions != compacting.size()) {
    std::fprintf(stderr, "the replays compacted %u and %zu times\n", pauses.compactions, compacting.size());
    std::exit(1);
  }
  return pauses;
}

Timed RunMalloc(const std::vector<Operation>& ops) {
  std::vector<char*> slots(kSlots, nullptr);
  const long faults = ThreadFaults();
  const double start = bench::ThreadSeconds();
  for (const Operation& op : ops) {
    char*& p = slots[op.slot];
    switch (op.kind) {
      case Kind::New:
        p = static_cast<char*>(std::malloc(op.size));
        break;
      case Kind::Resize:
        p = static_cast<char*>(std::realloc(p, op.size));
        break;
      case Kind::Free:
        std::free(p);
        p = nullptr;
        break;
    }
    if (p != nullptr) Touch(p, op.size);
  }
  const double seconds = bench::ThreadSeconds() - start;
  const long faulted = ThreadFaults() - faults;
  for (char* p : slots) std::free(p);
  return {seconds, faulted};
}

struct Round {
  Timed zone;
  Timed heap;
  Pauses pauses;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Round RunRound(const std::vector<Operation>& ops, bool zoneFirst) {
  Round round;
  if (zoneFirst) {
    round.zone = RunZone(ops);
    round.heap = RunMalloc(ops);
  } else {
    round.heap = RunMalloc(ops);
    round.zone = RunZone(ops);
  }
  round.pauses = RunZoneForPauses(ops);
  return round;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  const std::vector<Operation> ops = MakeOperations();
  RunMalloc(ops);  // the heap's warm-up: its pages stay with it for the rounds
  std::printf("operations            %d (new, resize, free over %u slots), %d rounds\n", kOperations, kSlots,
              rounds);
  std::printf(
      "round  first   zone s   malloc s  ratio  faults zone/malloc  compactions  longest compaction ms "
      "(elapsed)\n");
  uint64_t placements = 0;
  std::vector<double> zone, heap, ratio, longest;
  for (int i = 0; i < rounds; ++i) {
    const bool zoneFirst = i % 2 == 0;
    const Round r = RunRound(ops, zoneFirst);
    std::printf("%5d  %-6s  %7.3f  %8.3f  %5.2f  %8ld/%-8ld  %11u  %8.3f (%.3f)\n", i + 1,
                zoneFirst ? "zone" : "malloc", r.zone.seconds, r.heap.seconds,
                r.zone.seconds / r.heap.seconds, r.zone.faults, r.heap.faults, r.pauses.compactions,
                r.pauses.longest * 1000, r.pauses.longestElapsed * 1000);
    zone.push_back(r.zone.seconds);
    heap.push_back(r.heap.seconds);
    ratio.push_back(r.zone.seconds / r.heap.seconds);
    placements = r.pauses.placements;
    longest.push_back(r.pauses.longest * 1000);
  }
  MemTerminate();
  std::printf("median handle zone           %.3f s\n", Median(zone));
  std::printf("median malloc/realloc/free   %.3f s\n", Median(heap));
  std::printf("median ratio zone/malloc     %.2f\n", Median(ratio));
  std::printf("median longest compaction    %.3f ms\n", Median(longest));
  std::printf("placements hash              %016llx\n", static_cast<unsigned long long>(placements));
  bench::ReachAtMost("handles zone/malloc", Median(ratio), 1.3);
  // Every round's longest pause must stay short, not only the median one.
  bench::ReachAtMost("handles longest compaction ms", *std::max_element(longest.begin(), longest.end()), 5.0);
  return bench::ReachStatus();
}
