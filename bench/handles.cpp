// The handle zone against the C library's heap on one stream of 1,000,000 mixed operations.
//
// A fixed-seed generator drives a table of slots: an empty slot gets a new block, a full slot is
// resized or freed with equal odds. Sizes are mostly small (record images, strings) with one in five
// large (list buffers, pictures). Both allocators replay exactly the same operations and touch the
// first and last byte of each block, as real users would. Prints both times, their ratio and the
// longest single operation that included a compaction of the zone, from a second, separately timed
// replay on the zone.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

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

// The whole stream on a fresh zone, in seconds.
double RunZone(const std::vector<Operation>& ops) {
  MemInit(40'000'000, 400'000);
  std::vector<Handle> slots(kSlots, nullptr);
  const Clock::time_point start = Clock::now();
  for (const Operation& op : ops) ApplyToZone(op, slots);
  return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Pauses {
  uint32_t compactions = 0;
  double longest = 0;  // seconds
};

// The same stream on a fresh zone again, timing each operation (the clock calls would distort the
// total above): the longest operation that compacted the zone.
Pauses RunZoneForPauses(const std::vector<Operation>& ops) {
  MemInit(40'000'000, 400'000);
  const Vcon::Zone& zone = *Vcon::Zone::Current();
  std::vector<Handle> slots(kSlots, nullptr);
  Pauses pauses;
  for (const Operation& op : ops) {
    const uint32_t before = zone.Compactions();
    const Clock::time_point start = Clock::now();
    ApplyToZone(op, slots);
    if (zone.Compactions() != before) {
      pauses.longest = std::max(pauses.longest, std::chrono::duration<double>(Clock::now() - start).count());
    }
  }
  pauses.compactions = zone.Compactions();
  return pauses;
}

double RunMalloc(const std::vector<Operation>& ops) {
  std::vector<char*> slots(kSlots, nullptr);
  const Clock::time_point start = Clock::now();
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
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  for (char* p : slots) std::free(p);
  return seconds;
}

}  // namespace

int main() {
  const std::vector<Operation> ops = MakeOperations();
  if (MemInit(40'000'000, 400'000) != 0) {
    std::fprintf(stderr, "the zone cannot be made\n");
    return 1;
  }
  const double zone = RunZone(ops);
  const double heap = RunMalloc(ops);
  const Pauses pauses = RunZoneForPauses(ops);
  MemTerminate();
  std::printf("operations            %d (new, resize, free over %u slots)\n", kOperations, kSlots);
  std::printf("handle zone           %.3f s\n", zone);
  std::printf("malloc/realloc/free   %.3f s\n", heap);
  std::printf("ratio zone/malloc     %.2f\n", zone / heap);
  std::printf("compactions           %u\n", pauses.compactions);
  std::printf("longest compaction    %.3f ms\n", pauses.longest * 1000);
  return 0;
}
