// A body imported as a tagged stream of point blocks, each followed by the index blocks that belong to
// it. Prepare parses the stream into blocks (most recent first); the blocks are kept but make no faces
// or edge lines of their own. Untrusted data: an unknown tag, or a count running past the stream,
// ends the read; an index block before any point block is dropped.
#pragma once

#include <cstdint>
#include <vector>

#include "scene3d/objects/qx3DObject.h"

class qx3DImportedObject : public qx3DObject {
 public:
  static constexpr uint32_t kPointTag = 0, kIndexTag = 1, kEndTag = 0xFFFFFFFF;

  struct PointBlock {
    std::vector<ppVector3> points;
    std::vector<std::vector<uint32_t>> indexBlocks;  // most recent first
  };

  using qx3DObject::qx3DObject;

  // Re-reads `stream` from its start; blocks of an earlier read are freed first.
  void Prepare() override;

  // Little-endian 32-bit words: {tag, count, payload} records, closed by kEndTag.
  std::vector<uint32_t> stream;
  std::vector<PointBlock> blocks;  // most recent first
};
