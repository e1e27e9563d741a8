#include "foundation/ZoneFreeIndex.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#include <smmintrin.h>
#endif

#include <algorithm>
#include <cassert>
#include <bit>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <unistd.h>

namespace Vcon {
namespace {

constexpr uint32_t kChunkMask = (1u << ZoneFreeIndex::kChunkShift) - 1;
constexpr uint32_t kHeaderShift = ZoneFreeIndex::kHeaderShift;
constexpr uint32_t kSlotsPerChunk = 1u << (ZoneFreeIndex::kChunkShift - kHeaderShift);

// Tree values are kept below 2^31 so that the vector units' signed comparisons order them: a bound past
// that (a free block of 2 GiB or more) is kept as the cap, and a search for one checks the chunk it is led
// to, as for any other size.
constexpr uint32_t kBoundCap = INT32_MAX;
uint32_t Capped(uint32_t bound) { return std::min(bound, kBoundCap); }

#if defined(__SSE2__)
// Bit k set when value k of the group is at least `need` (both under 2^31).
uint32_t AtLeastMask(const uint32_t* values, uint32_t need) {
  const __m128i floor = _mm_set1_epi32(int32_t(need - 1));
  const __m128i* v = reinterpret_cast<const __m128i*>(values);
  // The four compares' all-ones or all-zero lanes narrowed to one byte per value (saturation keeps -1).
  const __m128i low = _mm_packs_epi32(_mm_cmpgt_epi32(_mm_load_si128(v), floor),
                                      _mm_cmpgt_epi32(_mm_load_si128(v + 1), floor));
  const __m128i high = _mm_packs_epi32(_mm_cmpgt_epi32(_mm_load_si128(v + 2), floor),
                                       _mm_cmpgt_epi32(_mm_load_si128(v + 3), floor));
  return uint32_t(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
}

__m128i Max(__m128i a, __m128i b) {
  const __m128i greater = _mm_cmpgt_epi32(a, b);
  return _mm_or_si128(_mm_and_si128(greater, a), _mm_andnot_si128(greater, b));
}

#if defined(__GNUC__)
// The same with the maximum instruction SSE4.1 added (almost every x86-64 processor since 2008 has it).
__attribute__((target("sse4.1"))) uint32_t GroupMaxSse41(const uint32_t* values) {
  const __m128i* v = reinterpret_cast<const __m128i*>(values);
  __m128i m = _mm_max_epi32(_mm_max_epi32(_mm_load_si128(v), _mm_load_si128(v + 1)),
                            _mm_max_epi32(_mm_load_si128(v + 2), _mm_load_si128(v + 3)));
  m = _mm_max_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
  m = _mm_max_epi32(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
  return uint32_t(_mm_cvtsi128_si32(m));
}
#endif

// The largest of a group's 16 values (all under 2^31).
uint32_t GroupMax(const uint32_t* values) {
#if defined(__GNUC__)
  if (__builtin_cpu_supports("sse4.1")) return GroupMaxSse41(values);
#endif
  const __m128i* v = reinterpret_cast<const __m128i*>(values);
  __m128i m =
      Max(Max(_mm_load_si128(v), _mm_load_si128(v + 1)), Max(_mm_load_si128(v + 2), _mm_load_si128(v + 3)));
  m = Max(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(1, 0, 3, 2)));
  m = Max(m, _mm_shuffle_epi32(m, _MM_SHUFFLE(2, 3, 0, 1)));
  return uint32_t(_mm_cvtsi128_si32(m));
}
#else
uint32_t AtLeastMask(const uint32_t* values, uint32_t need) {
  uint32_t mask = 0;
  for (uint32_t k = 0; k < 16; ++k) mask |= uint32_t(values[k] >= need) << k;
  return mask;
}

uint32_t GroupMax(const uint32_t* values) { return *std::max_element(values, values + 16); }
#endif

uint32_t SlotOf(uint32_t offset) { return (offset & kChunkMask) >> kHeaderShift; }

// Free block sizes are whole 16-byte units (blocks are 16-byte multiples and a free block has no slack).
uint16_t UnitsOf(uint32_t size) {
  return uint16_t(std::min(size >> kHeaderShift, ZoneFreeIndex::kLargeUnits));
}

}  // namespace

ZoneFreeIndex::ZoneFreeIndex(const char* zone, uint32_t zoneBytes)
    : zone_(zone), chunks_(ChunkOf(zoneBytes) + 1) {
  uint32_t values = chunks_;
  do {
    levels_.emplace_back((values + kFanOut - 1) / kFanOut, Group{});
    values = uint32_t(levels_.back().size());
  } while (values > 1);
  const size_t freeBytes = size_t(chunks_) * sizeof(uint64_t);
  mappingBytes_ = freeBytes + size_t(chunks_) * kSlotsPerChunk * sizeof(uint16_t);
  mapping_ = mmap(nullptr, mappingBytes_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapping_ == MAP_FAILED) throw std::bad_alloc();
  // Searches read the sizes at the zone's spread-out free blocks: with small pages nearly every one
  // would also miss the address translation cache. Only advice, as for the zone.
  madvise(mapping_, mappingBytes_, MADV_HUGEPAGE);
  free_ = static_cast<uint64_t*>(mapping_);
  units_ = reinterpret_cast<uint16_t*>(static_cast<char*>(mapping_) + freeBytes);
}

ZoneFreeIndex::~ZoneFreeIndex() { munmap(mapping_, mappingBytes_); }

void ZoneFreeIndex::Populate(void* begin, size_t bytes) {
#if defined(MADV_POPULATE_WRITE)
  if (madvise(begin, bytes, MADV_POPULATE_WRITE) == 0) return;
#endif
  // Kernels before 5.14 know no such advice: write each page's first byte back to itself.
  const size_t page = size_t(sysconf(_SC_PAGESIZE));
  volatile char* const bytesAt = static_cast<char*>(begin);
  for (size_t at = 0; at < bytes; at += page) bytesAt[at] = bytesAt[at];
}

void ZoneFreeIndex::Prefault() { Populate(mapping_, mappingBytes_); }

void ZoneFreeIndex::Clear() {
  heldOffset_ = kNone;
  std::fill(free_, free_ + chunks_, 0);
  for (std::vector<Group>& level : levels_) std::fill(level.begin(), level.end(), Group{});
}

uint32_t ZoneFreeIndex::HeaderSize(uint32_t offset) const {
  uint32_t size;  // the header's second word
  std::memcpy(&size, zone_ + offset + 4, sizeof size);
  assert(ReadsHeader(size));
  return size;
}

bool ZoneFreeIndex::IsFree(uint32_t offset) const {
  return offset == heldOffset_ || (free_[ChunkOf(offset)] >> SlotOf(offset) & 1) != 0;
}

void ZoneFreeIndex::Insert(uint32_t offset, uint32_t size) {
  const uint32_t chunk = ChunkOf(offset);
  free_[chunk] |= uint64_t(1) << SlotOf(offset);
  units_[offset >> kHeaderShift] = UnitsOf(size);
  const uint32_t bound = Capped(size + 1);  // a free block is smaller than the zone, itself under 4 GiB
  uint32_t i = chunk;
  for (std::vector<Group>& level : levels_) {
    uint32_t& value = level[i / kFanOut].value[i % kFanOut];
    if (value >= bound) return;
    value = bound;
    i /= kFanOut;
  }
}

void ZoneFreeIndex::InsertHeld() {
  const uint32_t offset = heldOffset_;
  heldOffset_ = kNone;
  Insert(offset, heldSize_);
}

void ZoneFreeIndex::EraseFromTree(uint32_t offset, uint32_t size) {
  const uint32_t chunk = ChunkOf(offset);
  uint64_t& bits = free_[chunk];
  bits &= ~(uint64_t(1) << SlotOf(offset));
  // Only the largest block's leaving lowers the chunk's value: find the next largest.
  if (Capped(size + 1) < Bound(chunk)) return;
  uint32_t bound = 0;
  for (uint64_t rest = bits; rest != 0; rest &= rest - 1) {
    const uint32_t at = (chunk << kChunkShift) | (uint32_t(std::countr_zero(rest)) << kHeaderShift);
    bound = std::max(bound, TableSize(at) + 1);
  }
  bound = Capped(bound);
  LowerBound(chunk, bound);
}

uint32_t ZoneFreeIndex::Bound(uint32_t chunk) const {
  return levels_[0][chunk / kFanOut].value[chunk % kFanOut];
}

void ZoneFreeIndex::LowerBound(uint32_t chunk, uint32_t bound) {
  uint32_t i = chunk;
  uint32_t& first = levels_[0][i / kFanOut].value[i % kFanOut];
  assert(bound <= first);
  uint32_t old = first;
  first = bound;
  for (size_t l = 1; l < levels_.size(); ++l) {
    const uint32_t* group = levels_[l - 1][i / kFanOut].value;
    i /= kFanOut;
    uint32_t& value = levels_[l][i / kFanOut].value[i % kFanOut];
    // The group's maximum stays where the lowered value was not it, or where another value equals it.
    if (value != old) return;
    const uint32_t most = GroupMax(group);
    if (value == most) return;
    old = value;
    value = most;
  }
}

uint32_t ZoneFreeIndex::NextChunkWith(uint32_t chunk, uint32_t need) const {
  if (chunk >= chunks_) return kNone;
  // Climb until a group holds a large enough value right of (or at) the path from `chunk`.
  uint32_t i = chunk;
  size_t l = 0;
  for (;;) {
    const uint32_t fits = AtLeastMask(levels_[l][i / kFanOut].value, need) >> (i % kFanOut) << (i % kFanOut);
    if (fits != 0) {
      i = i - i % kFanOut + uint32_t(std::countr_zero(fits));
      break;
    }
    i = i / kFanOut + 1;  // the next group of this level, as a value of the level above
    if (++l == levels_.size() || i / kFanOut >= levels_[l].size()) return kNone;
  }
  // Descend to the leftmost chunk under it that holds one; each value is its group's maximum.
  while (l > 0) {
    const uint32_t fits = AtLeastMask(levels_[--l][i].value, need);
    i = i * kFanOut + (fits == 0 ? kFanOut - 1 : uint32_t(std::countr_zero(fits)));
  }
  return i;
}

ZoneFreeIndex::Fit ZoneFreeIndex::FirstFit(uint32_t chunk, uint64_t bits, uint32_t size) const {
  for (; bits != 0; bits &= bits - 1) {
    const uint32_t at = (chunk << kChunkShift) | (uint32_t(std::countr_zero(bits)) << kHeaderShift);
    const uint32_t found = TableSize(at);
    if (found >= size) return {at, found};
  }
  return {kNone, 0};
}

ZoneFreeIndex::Fit ZoneFreeIndex::FindBeyondHeld(uint32_t start, uint32_t size) const {
  if (heldOffset_ == kNone || heldSize_ < size) return FindInTree(start, size);
  const Fit held = {heldOffset_, heldSize_};
  const Fit tree = FindInTree(start, size);
  if (tree.offset == kNone) return held;
  // The first of the two in address order from `start`, wrapping past the zone's end.
  const uint32_t heldRank = heldOffset_ - start;  // modulo 2^32: below `start` ranks after the end
  return tree.offset - start < heldRank ? tree : held;
}

ZoneFreeIndex::Fit ZoneFreeIndex::FindInTree(uint32_t start, uint32_t size) const {
  const uint32_t need = Capped(size + 1);
  const uint32_t first = ChunkOf(start);
  const uint64_t fromStart = ~uint64_t(0) << SlotOf(start);
  if (Bound(first) >= need) {
    const Fit at = FirstFit(first, free_[first] & fromStart, size);
    if (at.offset != kNone) return at;
  }
  // Every chunk's value is exact (below the cap), so each chunk the tree names holds a fit; the loops
  // guard that, and go on past a chunk named for a block of 2 GiB or more that proves too small.
  for (uint32_t c = NextChunkWith(first + 1, need); c != kNone; c = NextChunkWith(c + 1, need)) {
    const Fit at = FirstFit(c, free_[c], size);
    if (at.offset != kNone) return at;
  }
  for (uint32_t c = NextChunkWith(0, need); c != kNone && c <= first; c = NextChunkWith(c + 1, need)) {
    const Fit at = FirstFit(c, c == first ? free_[c] & ~fromStart : free_[c], size);
    if (at.offset != kNone) return at;
  }
  return {kNone, 0};
}

}  // namespace Vcon
