// One option group of a top-view element: the units the group offers, the unit chosen among them and
// what the chosen unit brings (its snap points and its offset along the option chain).
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/ppVector3.h"

class zelvDatabase;

struct TopViewOption {
  // Option flags: the option is not in use.
  static constexpr uint32_t kNotInUse = 0x4;
  // Chosen flags: a unit was chosen while the element was built.
  static constexpr uint32_t kChosen = 0x1;

  int32_t chosenUnit = 0;  // unit record id; 0 = none
  int32_t classId = 0;     // class record id; the n of the property "Option" n
  int32_t optionKey = 0;   // the class record's "id"
  int32_t reservedA = 0;
  zelvDatabase* database = nullptr;  // not owned
  uint32_t chosenFlags = 0;
  uint32_t optionFlags = 0;    // the group's second word in "options"
  std::vector<int32_t> units;  // unit record ids in blob order
  int32_t reservedB = 0;
  std::vector<uint8_t> snapPoints;  // the chosen unit's top-view "Snappoints", 36-byte entries
  ppVector3 offset;                 // millimetres along the option chain
  int32_t reservedC = 0;
  int32_t reservedD = 0;
  std::vector<int32_t> allowedUnits;  // cached choice list, valid while `changed` is clear
  bool changed = true;                // allowedUnits must be worked out again
  uint32_t classFlags = 0;            // the class record's "flags"
};
