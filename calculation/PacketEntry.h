// One unit taken from a calculation line for the packet search, or one packet formed of such units.
// A unit entry stands for one whole piece of its line; a formed packet keeps the unit entries it
// took as its members (not owned: the group owns every unit entry). Prices are per piece.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppMoney.h"

class zelvDatabase;

struct PacketEntry {
  int32_t unit = 0;    // unit record id (for a packet: the packet's unit)
  int32_t colour = 0;  // colour record id
  int32_t priceId = 0;
  int32_t tag = 0;
  zelvDatabase* db = nullptr;  // not owned
  int32_t linePosition = -1;   // of the source line; -1 for a formed packet
  ppMoney price, price2;
  int32_t family = -1;                // the packet "level" of the unit
  int32_t missing = 0;                // required units a formed packet did not find
  bool inUse = false;                 // marked while counting how many packets can be formed
  int32_t lineId = 0;                 // "id" of the source line
  bool packetLine = false;            // set for a formed packet
  bool priceByColourGroup = false;    // the packet is priced by the colour's group
  bool taken = false;                 // a unit entry that is a member of a formed packet
  std::vector<PacketEntry*> members;  // a formed packet's units, in the order taken
};
