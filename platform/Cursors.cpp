#include "platform/Cursors.h"

#include <charconv>
#include <map>
#include <memory>
#include <optional>

#include "platform/Desktop.h"
#include "platform/ResourceRegistry.h"

namespace plat {
namespace {

constexpr uint16_t kSystemCursors[] = {IDC_ARROW,   IDC_IBEAM,    IDC_WAIT,     IDC_CROSS,
                                       IDC_UPARROW, IDC_SIZENWSE, IDC_SIZENESW, IDC_SIZEWE,
                                       IDC_SIZENS,  IDC_SIZEALL,  IDC_NO,       IDC_HAND};

// Cursors live as long as the process, one object per shape or resource.
std::map<std::string, std::unique_ptr<CursorObject>>& Cache() {
  static std::map<std::string, std::unique_ptr<CursorObject>> cache;
  return cache;
}

HCURSOR Cached(const std::string& key, uint16_t systemId, const std::string& name) {
  auto& slot = Cache()[key];
  if (!slot) slot.reset(new CursorObject{systemId, name});
  return slot.get();
}

}  // namespace

HCURSOR LoadCursorA(HINSTANCE instance, const char* name) {
  if (!name) return nullptr;
  if (!instance) {
    if (!IS_INTRESOURCE(name)) return nullptr;
    auto id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
    for (uint16_t known : kSystemCursors) {
      if (known == id) return Cached("system#" + std::to_string(id), id, "");
    }
    return nullptr;
  }
  auto& registry = ResourceRegistry::Instance();
  if (IS_INTRESOURCE(name)) {
    auto id = static_cast<uint16_t>(reinterpret_cast<uintptr_t>(name));
    if (!registry.Find(ResourceKind::GroupCursor, id) && !registry.Find(ResourceKind::Cursor, id))
      return nullptr;
    return Cached("resource#" + std::to_string(id), 0, "#" + std::to_string(id));
  }
  if (!registry.Find(ResourceKind::GroupCursor, name) && !registry.Find(ResourceKind::Cursor, name))
    return nullptr;
  return Cached("resource:" + ResourceTypeName(name), 0, name);
}

HCURSOR SetCursor(HCURSOR cursor) {
  HCURSOR old = Desktop::CurrentCursor();
  Desktop::SetCurrentCursor(cursor);
  return old;
}

HCURSOR GetCursor() { return Desktop::CurrentCursor(); }

bool ReadCursorPicture(HCURSOR cursor, CursorPicture& picture) {
  if (cursor == nullptr || cursor->systemId != 0 || cursor->name.empty()) return false;
  auto& registry = ResourceRegistry::Instance();
  std::optional<ResourceRegistry::Bytes> bytes;
  uint16_t id = 0;
  const char* digits = cursor->name.data() + 1;
  const char* end = cursor->name.data() + cursor->name.size();
  if (cursor->name[0] == '#' && std::from_chars(digits, end, id).ptr == end) {
    bytes = registry.Find(ResourceKind::Cursor, id);
  } else {
    bytes = registry.Find(ResourceKind::Cursor, cursor->name);
  }
  if (!bytes || bytes->size() < 8) return false;
  const auto word = [&](size_t at) { return int32_t((*bytes)[at] | ((*bytes)[at + 1] << 8)); };
  CursorPicture read;
  read.hotX = word(0), read.hotY = word(2), read.width = word(4), read.height = word(6);
  const size_t count = size_t(read.width) * size_t(read.height);
  if (count == 0 || bytes->size() < 8 + count || read.hotX >= read.width || read.hotY >= read.height)
    return false;
  read.pixels.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t value = (*bytes)[8 + i];
    read.pixels.push_back(value == 1 ? 0xFF000000u : value == 2 ? 0xFFFFFFFFu : 0u);
  }
  picture = std::move(read);
  return true;
}

}  // namespace plat
