// One column of a link box's pick list: the record file's field name and the column's width in
// pixels. The link validator and the link box keep ordered lists of these by value.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/VconString.h"

struct ppLinkColumnDef {
  int32_t width = 0;
  Vcon::String name;
};

using ppLinkColumnDefs = std::vector<ppLinkColumnDef>;
