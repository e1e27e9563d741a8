#include "scene3d/objects/qx3DImportedObject.h"

#include <cstring>

void qx3DImportedObject::Prepare() {
  blocks.clear();
  std::vector<PointBlock> read;  // in stream order, turned around at the end
  const size_t size = stream.size();
  size_t at = 0;
  while (at < size) {
    const uint32_t tag = stream[at++];
    if (tag == kEndTag || at >= size) break;
    const size_t count = stream[at++];
    const size_t words = tag == kPointTag ? count * 3 : count;
    if ((tag != kPointTag && tag != kIndexTag) || words > size - at) break;
    if (tag == kPointTag) {
      PointBlock block;
      block.points.reserve(count);
      for (size_t i = 0; i < count; ++i) {
        float xyz[3];
        std::memcpy(xyz, &stream[at + 3 * i], sizeof xyz);
        block.points.emplace_back(xyz[0], xyz[1], xyz[2]);
      }
      read.push_back(std::move(block));
    } else if (!read.empty()) {
      read.back().indexBlocks.emplace_back(stream.begin() + std::ptrdiff_t(at),
                                           stream.begin() + std::ptrdiff_t(at + count));
    }
    at += words;
  }
  for (PointBlock& block : read) {
    std::vector<std::vector<uint32_t>> indices(block.indexBlocks.rbegin(), block.indexBlocks.rend());
    block.indexBlocks.swap(indices);
  }
  blocks.assign(std::make_move_iterator(read.rbegin()), std::make_move_iterator(read.rend()));
}
