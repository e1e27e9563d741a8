// What the elements ask of the grid controls: a grid of editable rows over a record file, its
// columns bound to the rows' properties by name. The controls install their maker here; until one is
// installed no grid is made.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "foundation/VconString.h"
#include "platform/GdiTypes.h"

class iProperty;
class ppDatafile;
class ppView;

// One column: the row property it shows, its width in pixels and its column flags. A column with a
// look-up file is edited by choosing a record of that file, which shows the fields listed (each with
// the number the look-up editor pairs it with).
struct RecordGridColumn {
  Vcon::String name;
  int32_t width = 0;
  uint32_t flags = 0;
  ppDatafile* lookup = nullptr;  // not owned
  std::vector<std::pair<Vcon::String, int32_t>> lookupFields;
};

struct RecordGridLayout {
  plat::RECT frame{};            // in the host view's pixels
  ppDatafile* rows = nullptr;    // one grid line per record; not owned
  iProperty* headers = nullptr;  // the column titles by column name; not owned
  uint32_t style = 0;            // the grid's style flags
  int32_t editingMode = 0;
  int32_t lineHeights[2] = {0, 0};
  int32_t margins[4] = {0, 0, 0, 0};  // cell margins: left, top, right, bottom
  std::vector<RecordGridColumn> columns;
};

class iRecordGrids {
 public:
  virtual ~iRecordGrids() = default;
  // Makes a grid on `host` as `layout` says; the grid becomes the host's subview. The files and header
  // source must outlive it.
  virtual void MakeGrid(ppView& /*host*/, const RecordGridLayout& /*layout*/) {}

  // The installed maker, or a neutral one; never null.
  static iRecordGrids& Current();
  // Installs `grids` (null: the neutral one again). Not owned.
  static void Install(iRecordGrids* grids);
};
