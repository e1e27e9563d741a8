#include "platform/Cursors.h"

#include <map>
#include <memory>

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

}  // namespace plat
