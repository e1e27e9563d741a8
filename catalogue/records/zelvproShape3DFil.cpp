#include "catalogue/records/zelvproShape3DFil.h"

#include <cstring>
#include <vector>

#include "catalogue/records/RewriteEveryRecord.h"
#include "database/ppDatabase.h"

namespace {

constexpr uint32_t kPosition = 12, kTexture = 8, kNormal = 12, kVertex = 36;

// Whole entries of `size` bytes in a blob; a partial entry at the end is not counted.
uint32_t Entries(Handle data, uint32_t size) {
  return data != nullptr ? uint32_t(MemGetSize(data)) / size : 0;
}

// Copies entry i of `from` (entries of `size` bytes) to `to`, or leaves `to` zero when `from` has
// fewer entries.
void CopyEntry(char* to, Handle from, uint32_t i, uint32_t size) {
  if (i < Entries(from, size)) std::memcpy(to, static_cast<char*>(*from) + i * size, size);
}

void Empty(Handle data) {
  if (data != nullptr) MemSetSize(data, 0);
}

}  // namespace

zelvproShape3DFil::zelvproShape3DFil(ppDatabase& database)
    : zelvproRecordFil(kLayout, database),
      name_(*this, "name"),
      data1_(*this, "data1"),
      data3_(*this, "data3"),
      data4_(*this, "data4"),
      flags_(*this, "flags") {}

void zelvproShape3DFil::AfterRead(char* buffer) {
  buffer = Buffer(buffer);
  if ((flags_.Long(buffer) & kCurrentForm) == 0) Convert(buffer);
}

void zelvproShape3DFil::GetDisplayText(Vcon::String& out, char* buffer) { out = name_.Text(Buffer(buffer)); }

void zelvproShape3DFil::ConvertAll(int32_t mode) {
  if (mode != 0) return;
  BeginTransaction();
  try {
    // Each read converts a legacy record in the buffer already; writing it back stores that form.
    RewriteEveryRecord(*this, [](char*) {});
  } catch (...) {
    Database().AbortTransaction();
    throw;
  }
  EndTransaction();
}

void zelvproShape3DFil::Convert(char* record) const {
  Handle positions = data1_.Data(record), texture = data3_.Data(record), normals = data4_.Data(record);
  if (positions == nullptr) return;
  const uint32_t count = Entries(positions, kPosition);
  std::vector<char> vertices(size_t(count) * kVertex, 0);
  for (uint32_t i = 0; i < count; ++i) {
    char* vertex = vertices.data() + size_t(i) * kVertex;
    CopyEntry(vertex, positions, i, kPosition);
    CopyEntry(vertex + kPosition, texture, i, kTexture);
    CopyEntry(vertex + kPosition + kTexture, normals, i, kNormal);
  }
  // The form bits are the conversion's own; the part kinds above them (stretch axes, key parts)
  // stay as the catalogue gave them.
  int32_t flags = (flags_.Long(record) & ~kFormBits) | kConverted;
  if (Entries(texture, kTexture) == 0) flags |= kNoTexture;
  if (Entries(normals, kNormal) == 0) flags |= kNoNormals;
  MemSetSize(positions, uint32_t(vertices.size()));
  if (!vertices.empty()) std::memcpy(*positions, vertices.data(), vertices.size());
  Empty(texture);
  Empty(normals);
  flags_.SetLong(record, flags);
}
