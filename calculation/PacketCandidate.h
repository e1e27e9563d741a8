// One packet record that a group of units may form: its unit, its price for the group's colour and
// what it requires, and the packets formed of it in the current state of the search. Owns its formed
// packet entries; the members they hold belong to the group. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "calculation/PacketEntry.h"
#include "foundation/ppMoney.h"

class zelvDatabase;

class PacketCandidate {
 public:
  int32_t family = -1;
  int32_t packetUnit = 0;  // the packet record's "unitID"
  int32_t matchedColour = -1, matchedTag = -1;
  bool anyColour = false;           // the packet's "flags" is not 0
  bool priceByColourGroup = false;  // the packet's "flags" has bit value 8
  int32_t priceId = 0;
  ppMoney price, price2;
  int32_t largest = 0;            // packets that can be formed in a row from the whole group
  int32_t best = 0;               // the count of the best total found
  std::vector<int32_t> required;  // unit ids, each repeated by its item count
  zelvDatabase* db = nullptr;     // not owned

  int32_t Count() const { return int32_t(formed_.size()); }
  // Price times the number formed, as a raw amount (a price without value counts as 0).
  int64_t Total() const { return SearchAmount(price) * Count(); }
  // The raw amount the search adds up: 0 for no value.
  static int64_t SearchAmount(ppMoney amount) { return amount.IsNull() ? 0 : amount.Raw(); }
  // The formed packets, newest first (the order they become lines in).
  std::vector<const PacketEntry*> Formed() const;

  // Forms one packet of the units in `entries` not yet taken: for each required unit the first such
  // entry of that unit with the colour (unless any colour will do) and tag of the first unit taken.
  // Answers the raw sum of the prices of the units taken and sets `taken` to their number (0: none
  // was taken, and nothing is formed).
  int64_t Form(std::vector<std::unique_ptr<PacketEntry>>& entries, int32_t& taken);
  // Gives every formed packet's members back; answers the raw sum of their prices and sets
  // `returned` to their number.
  int64_t ReturnAll(int32_t& returned);

 private:
  std::vector<std::unique_ptr<PacketEntry>> formed_;  // oldest first
  // Packets given back, reused by the next Form: the search forms and returns hundreds of thousands.
  std::vector<std::unique_ptr<PacketEntry>> spare_;
};
