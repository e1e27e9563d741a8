// The anchors of one unit: records of layout "qxAnchor" kept in the unit record's "anchors" blob
// (eye, hook, class, position, rotation, vector, snap, flags; lengths in millimetres as floats).
// The table reads whatever the blob handle holds when it is loaded; the unit table keeps that handle
// for the life of its record buffer, so the table always sees the unit read last.
#pragma once

#include <cstdint>

#include "database/ppEmbeddedData.h"

class qxAnchorFil : public ppEmbeddedData {
 public:
  static constexpr int32_t kFileId = 5436;
  static constexpr const char* kLayout = "qxAnchor";

  // `blob` is the "anchors" handle of a unit record buffer; not owned, it must outlive the table.
  qxAnchorFil(ppDatabase& database, Handle blob);

  // The anchor the unit's 3D assembly works on, -1 (none) at the start.
  int32_t CurrentAnchor() const { return currentAnchor_; }
  void SetCurrentAnchor(int32_t index) { currentAnchor_ = index; }

 private:
  int32_t currentAnchor_ = -1;
};
