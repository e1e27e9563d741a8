#include "calculation/PacketGroup.h"

std::vector<const PacketEntry*> PacketGroup::Left() const {
  std::vector<const PacketEntry*> left;
  for (const auto& entry : entries) {
    if (!entry->taken) left.push_back(entry.get());
  }
  return left;
}

int64_t PacketGroup::Total() const {
  int64_t total = leftTotal_;
  for (const auto& candidate : candidates) total += candidate->Total();
  return total;
}

void PacketGroup::FormOne(PacketCandidate& candidate) {
  int32_t taken = 0;
  leftTotal_ -= candidate.Form(entries, taken);
  leftCount_ -= taken;
}

void PacketGroup::ReturnAll(PacketCandidate& candidate) {
  int32_t returned = 0;
  leftTotal_ += candidate.ReturnAll(returned);
  leftCount_ += returned;
}

void PacketGroup::CountLargest(PacketCandidate& candidate) {
  for (auto& entry : entries) entry->inUse = false;
  candidate.largest = 0;
  for (;;) {
    bool found = false;
    for (int32_t unit : candidate.required) {
      for (auto& entry : entries) {
        if (entry->inUse || entry->unit != unit) continue;
        entry->inUse = true;
        found = true;
        break;
      }
    }
    if (!found) break;
    ++candidate.largest;
  }
}

void PacketGroup::Choose(int64_t budget) {
  budget_ = budget;
  tried_ = 0;
  outOfBudget_ = false;
  leftTotal_ = 0;
  leftCount_ = 0;
  for (auto& entry : entries) {
    entry->taken = false;
    leftTotal_ += PacketCandidate::SearchAmount(entry->price);
    ++leftCount_;
  }
  if (candidates.empty()) return;
  for (auto& candidate : candidates) {
    ReturnAll(*candidate);
    CountLargest(*candidate);
    candidate->best = 0;
  }
  bestTotal = Total();
  Search(0);
  for (auto& candidate : candidates) ReturnAll(*candidate);
  for (auto& candidate : candidates) {
    for (int32_t n = 0; n < candidate->best; ++n) FormOne(*candidate);
  }
}

void PacketGroup::Search(size_t k) {
  if (k >= candidates.size() || outOfBudget_) return;
  PacketCandidate& candidate = *candidates[k];
  ReturnAll(candidate);
  Search(k + 1);
  for (int32_t n = 0; n < candidate.largest && AnyLeft(); ++n) {
    if (budget_ > 0 && tried_ >= budget_) {
      outOfBudget_ = true;
      return;
    }
    ++tried_;
    const int64_t before = Total();
    FormOne(candidate);
    const int64_t total = Total();
    if (total <= bestTotal) {
      bestTotal = total;
      for (auto& each : candidates) each->best = each->Count();
    }
    if (total > before) break;
    Search(k + 1);
    if (outOfBudget_) return;
  }
}
