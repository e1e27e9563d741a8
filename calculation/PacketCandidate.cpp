#include "calculation/PacketCandidate.h"

std::vector<const PacketEntry*> PacketCandidate::Formed() const {
  std::vector<const PacketEntry*> out;
  for (auto it = formed_.rbegin(); it != formed_.rend(); ++it) out.push_back(it->get());
  return out;
}

int64_t PacketCandidate::Form(std::vector<std::unique_ptr<PacketEntry>>& entries, int32_t& taken) {
  std::unique_ptr<PacketEntry> packet;
  if (!spare_.empty()) {
    packet = std::move(spare_.back());
    spare_.pop_back();
    std::vector<PacketEntry*> members = std::move(packet->members);
    members.clear();
    *packet = PacketEntry();
    packet->members = std::move(members);
  } else {
    packet = std::make_unique<PacketEntry>();
  }
  packet->unit = packetUnit;
  packet->db = db;
  packet->packetLine = true;
  packet->priceByColourGroup = priceByColourGroup;
  packet->family = family;
  packet->price = price;
  packet->price2 = price2;
  packet->missing = int32_t(required.size());
  int64_t sum = 0;
  const PacketEntry* first = nullptr;
  for (int32_t unit : required) {
    for (auto& entry : entries) {
      if (entry->taken || entry->unit != unit) continue;
      if (first != nullptr && ((!anyColour && entry->colour != first->colour) || entry->tag != first->tag))
        continue;
      if (first == nullptr) first = entry.get();
      entry->taken = true;
      packet->members.push_back(entry.get());
      --packet->missing;
      sum += SearchAmount(entry->price);
      break;
    }
  }
  taken = int32_t(packet->members.size());
  if (first == nullptr) {
    spare_.push_back(std::move(packet));
    return 0;
  }
  packet->colour = first->colour;
  packet->tag = first->tag;
  formed_.push_back(std::move(packet));
  return sum;
}

int64_t PacketCandidate::ReturnAll(int32_t& returned) {
  int64_t sum = 0;
  returned = 0;
  for (auto& packet : formed_) {
    for (PacketEntry* member : packet->members) {
      member->taken = false;
      sum += SearchAmount(member->price);
      ++returned;
    }
  }
  for (auto& packet : formed_) spare_.push_back(std::move(packet));
  formed_.clear();
  return sum;
}
