// One snap anchor of an element: a point with a code and a direction at which the element joins a
// neighbour. Anchors of codes k and -k link pairwise; a link names the partner element on both sides.
// Catalogue records keep anchors as 36-byte little-endian entries {code, x, y, z, direction, level,
// flags, a word kept as it is, partner}; in memory the partner is a plain pointer, never read from a
// record. Points are millimetres and directions radians, both in the owning element's frame.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppVector3.h"

class zelvproElement;

struct SnapAnchor {
  static constexpr uint32_t kEntryBytes = 36;

  // Flags: with kMoveBeside, the element goes before its partner in the drawing order, not after.
  static constexpr uint32_t kBeforePartner = 0x1;
  // Linking moves the element next to its partner and enters it in the partner's association list.
  static constexpr uint32_t kMoveBeside = 0x2;
  // The link gives the element no access request.
  static constexpr uint32_t kNoAccessRequest = 0x8;
  // Left out of searches made with NearestSnap's kSkipFlagged.
  static constexpr uint32_t kSkippable = 0x10;
  // Linking hands the partner's linked record to the element.
  static constexpr uint32_t kTakesLinkedRecord = 0x20;
  // Resnap keeps this link.
  static constexpr uint32_t kKeepOnResnap = 0x8000;

  int32_t code = 0;
  ppVector3 point;
  float direction = 0.0f;
  int32_t level = 0;  // priority of the access request the link gives
  uint32_t flags = 0;
  int32_t word7 = 0;                  // not read by the snapping code, carried with the anchor
  zelvproElement* partner = nullptr;  // not owned; null while the anchor is free

  bool Matches(int32_t otherCode) const { return code + otherCode == 0; }

  // The anchors of a catalogue blob: its size / 36 entries, each partner null; a null handle or a
  // short trailing entry gives no anchor for it.
  static std::vector<SnapAnchor> FromBlob(Handle blob);
  // The same from bytes already copied out of a blob.
  static std::vector<SnapAnchor> FromBytes(const uint8_t* bytes, size_t size);
};
