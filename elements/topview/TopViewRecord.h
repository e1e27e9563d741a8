// The fields of one catalogue top-view record (layout "qxTopView") that a top-view element is built
// from, copied out of a record buffer. Elements take a copy first because making their children
// reads other records into the same table buffer.
#pragma once

#include <cstdint>
#include <vector>

class ppDatafile;

class TopViewRecord {
 public:
  using Bytes = std::vector<uint8_t>;

  TopViewRecord() = default;
  // Copies the fields of `record`, a record buffer of `table` (any view of a "qxTopView" table).
  TopViewRecord(ppDatafile& table, const char* record);

  int32_t type = 0;  // the element type (the first "Type")
  int32_t canvas = 0;
  int32_t zpos = 0;  // "Zpos": height above the floor in millimetres
  int32_t frontView = 0;
  int32_t under = 0;
  int32_t printNumbers = 0;
  double width = 0.0, height = 0.0, depth = 0.0;
  uint32_t flags = 0, flags2 = 0;
  int32_t posSheet = 0;
  int32_t gridX = 0, gridY = 0, gridZ = 0;  // "xpos", "ypos", "zpos": the grid size in cells
  int32_t colorCode = 0;
  int32_t positioning = 0;
  int32_t quantityFunc = 0;
  Bytes snappoints, subelements, units, shapes3D, subItems, rules, excludes, options, optionRules, dropItems;
};
