// The hits of one selection pick, nearest first: parsed from the records OpenGL wrote into a select
// buffer (per record: name count n, minimum depth, maximum depth, then n names). Of each record the
// first name and the minimum depth are kept; of equal depths, the record met later comes first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class glPickHits {
 public:
  struct Hit {
    uint32_t name;
    uint32_t depth;  // window depth scaled to the full unsigned range; smaller is nearer
  };

  // Replaces the hits by the `count` records at the start of `buffer` (`words` long). A negative
  // count (the buffer overflowed) gives no hits; a record that would run past the buffer ends the walk.
  void Collect(const uint32_t* buffer, size_t words, int32_t count);
  void Clear() { hits_.clear(); }

  // The name of hit `index`, 0 when the index is out of range.
  uint32_t Name(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(hits_.size()); }
  const std::vector<Hit>& Hits() const { return hits_; }

 private:
  std::vector<Hit> hits_;
};
