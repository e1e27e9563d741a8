// The outline segments of a room: records of layout "qxLineSegment" kept in a blob of the room's
// record (cycle, segment, junctions, arc centre and radius, end points in millimetres as floats).
#pragma once

#include <cstdint>

#include "database/ppEmbeddedData.h"

class qxLineSegmentFil : public ppEmbeddedData {
 public:
  static constexpr int32_t kFileId = 5435;
  static constexpr const char* kLayout = "qxLineSegment";

  // `blob` is the segments handle of the room's record buffer; not owned, it must outlive the table.
  qxLineSegmentFil(ppDatabase& database, Handle blob);
};
