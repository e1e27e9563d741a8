// The units of one packet family, colour and tag, and the packets they may form: chooses how many
// packets of each candidate give the lowest total price.
//
// The choice is the exhaustive search over the candidates' counts (one level per candidate, each
// counted up from 0 to the most that can be formed, a candidate's count going no higher once one
// more packet raises the total). It is exponential in the number of candidates, so every group has a
// budget of packets it may try to form; when the budget runs out the best counts found so far are
// taken. Below the budget the choice is the full search's.
//
// Owns its unit entries and candidates. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "calculation/PacketCandidate.h"
#include "calculation/PacketEntry.h"

class zelvDatabase;

class PacketGroup {
 public:
  static constexpr int64_t kDefaultBudget = 200'000;

  int32_t family = -1, colour = 0, tag = 0;
  int64_t bestTotal = 0;                              // raw amount
  std::vector<std::unique_ptr<PacketEntry>> entries;  // in list order; members of packets are marked taken
  std::vector<std::unique_ptr<PacketCandidate>> candidates;
  zelvDatabase* db = nullptr;  // not owned

  // Chooses the packets and leaves every candidate formed to its best count. `budget` is the number
  // of packets the search may try to form (0: no bound).
  void Choose(int64_t budget = kDefaultBudget);
  // Packets the last Choose tried to form during its search, and whether the budget ran out.
  int64_t Tried() const { return tried_; }
  bool OutOfBudget() const { return outOfBudget_; }
  // The entries no packet took, in list order.
  std::vector<const PacketEntry*> Left() const;

 private:
  int64_t Total() const;
  void Search(size_t k);
  void CountLargest(PacketCandidate& candidate);
  bool AnyLeft() const { return leftCount_ > 0; }
  void FormOne(PacketCandidate& candidate);
  void ReturnAll(PacketCandidate& candidate);

  int64_t leftTotal_ = 0;  // raw sum of the prices of the entries left
  int32_t leftCount_ = 0;
  int64_t budget_ = 0, tried_ = 0;
  bool outOfBudget_ = false;
};
