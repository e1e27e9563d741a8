#include "platform/GdiObject.h"

#include <mutex>

#include "platform/GdiLock.h"
#include "platform/GdiObjectTable.h"

namespace plat {

namespace {

// Every drawing object by its handle. Ids count up from here and are never given twice (so no reset
// ever winds the counter back); the start keeps them clear of small integers that a caller might
// pass by mistake. Both globals belong to no thread: objects are made, looked up and freed on any
// thread, always under gLiveLock.
constexpr uintptr_t kFirstId = 0x10000;

GdiLock gLiveLock;
uintptr_t gNextId = kFirstId;

GdiObjectTable& Live() {
  static auto* objects = new GdiObjectTable;  // outlives static stock objects
  return *objects;
}

}  // namespace

GdiObject::GdiObject(DWORD type) : type_(type) {
  std::lock_guard lock(gLiveLock);
  uintptr_t id = gNextId++;
  handle_ = reinterpret_cast<HGDIOBJ>(id);
  Live().Insert(id, this);
}

GdiObject::~GdiObject() {
  std::lock_guard lock(gLiveLock);
  Live().Erase(reinterpret_cast<uintptr_t>(handle_));
}

GdiObject* GdiObject::FromHandle(HGDIOBJ handle) {
  if (!handle) return nullptr;
  std::lock_guard lock(gLiveLock);
  return Live().Find(reinterpret_cast<uintptr_t>(handle));
}

}  // namespace plat
