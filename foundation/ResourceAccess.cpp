#include "foundation/ResourceAccess.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/ProcessServices.h"
#include "platform/ResourceRegistry.h"

namespace {

constexpr int32_t kTypedResourceMissing = 1050;
constexpr int32_t kStringListMissing = 1052;
constexpr int32_t kNotFound = -1;

using Bytes = plat::ResourceRegistry::Bytes;

std::string TypeName(uint32_t typeCode) {
  char name[5] = {char(typeCode), char(typeCode >> 8), char(typeCode >> 16), char(typeCode >> 24), 0};
  return name;  // stops at a NUL byte, as the type name would
}

// The resource's bytes, or the box with `boxCode` (none when 0) and the thrown -1.
Bytes Require(std::optional<Bytes> found, int32_t boxCode) {
  if (found) return *found;
  if (boxCode != 0) ShowMemoryError(boxCode);
  throw kNotFound;
}

Bytes FindTyped(uint32_t typeCode, uint16_t id, int32_t boxCode) {
  return Require(plat::ResourceRegistry::Instance().Find(TypeName(typeCode), id), boxCode);
}

Handle CopyIntoHandle(Bytes bytes) {
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, uint32_t(bytes.size()));
  if (!bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
  return h;
}

// The text from `from` up to its NUL, or to the end when a malformed resource lacks the NUL.
std::string_view TextAt(Bytes bytes, size_t from) {
  if (from >= bytes.size()) return {};
  const char* start = reinterpret_cast<const char*>(bytes.data()) + from;
  const size_t rest = bytes.size() - from;
  return std::string_view(start, strnlen(start, rest));
}

std::string_view TextResource(uint16_t id) {
  return TextAt(FindTyped(ResourceTypeCode("TXET"), id, kTypedResourceMissing), 0);
}

std::string_view StringArrayItem(uint16_t listId, int32_t n) {
  const Bytes bytes =
      Require(plat::ResourceRegistry::Instance().Find("STRINGARRAY", listId), kStringListMissing);
  size_t at = 0;
  for (int32_t i = 1; i < n && at < bytes.size(); ++i) at += TextAt(bytes, at).size() + 1;
  return TextAt(bytes, at);
}

}  // namespace

Handle LoadResourceById(uint32_t typeCode, int32_t id) {
  const Bytes bytes = FindTyped(typeCode, uint16_t(id), kTypedResourceMissing);
  Handle h = nullptr;
  Vcon_HandleManager::MemNew(&h, 0);
  MemInsertBytes(bytes.data(), uint32_t(bytes.size()), h, kMemAppend);
  return h;
}

Handle LoadResourceHandle(uint32_t typeCode, const char* name) {
  if (name == nullptr) throw kNotFound;
  return CopyIntoHandle(Require(plat::ResourceRegistry::Instance().Find(TypeName(typeCode), name), 0));
}

Handle LoadResourceHandle(uint32_t typeCode, int32_t id) {
  return CopyIntoHandle(FindTyped(typeCode, uint16_t(id), 0));
}

void ReleaseResourceHandle(Handle h) { MemDispose(h); }

void GetTextResourceNarrow(uint16_t id, Vcon::String& out) {
  out = Vcon::String(std::string(TextResource(id)));
}

Vcon::WString GetTextResource(uint16_t id) {
  return WideFromString(Vcon::String(std::string(TextResource(id))));
}

void GetStringArrayItemNarrow(Vcon::String& out, uint16_t listId, int32_t n) {
  out = Vcon::String(std::string(StringArrayItem(listId, n)));
}

void GetStringArrayText(Vcon::WString& out, uint16_t listId, int32_t n) {
  out = WideFromString(Vcon::String(std::string(StringArrayItem(listId, n))));
}

void GetStringArrayItemC(char* buffer, size_t capacity, uint16_t listId, int32_t n) {
  const std::string_view item = StringArrayItem(listId, n);
  if (buffer == nullptr || capacity == 0) return;
  const size_t length = std::min(item.size(), capacity - 1);
  std::memcpy(buffer, item.data(), length);
  buffer[length] = '\0';
}
