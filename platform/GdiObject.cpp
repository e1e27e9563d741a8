#include "platform/GdiObject.h"

#include <mutex>
#include <unordered_set>

namespace plat {

namespace {

std::mutex gLiveLock;
std::unordered_set<const GdiObject*>& Live() {
  static auto* objects = new std::unordered_set<const GdiObject*>;  // outlives static stock objects
  return *objects;
}

}  // namespace

GdiObject::GdiObject(DWORD type) : type_(type) {
  std::lock_guard lock(gLiveLock);
  Live().insert(this);
}

GdiObject::~GdiObject() {
  std::lock_guard lock(gLiveLock);
  Live().erase(this);
}

bool GdiObject::IsLive(const GdiObject* object) {
  if (!object) return false;
  std::lock_guard lock(gLiveLock);
  return Live().count(object) != 0;
}

}  // namespace plat
