#pragma once
// A handle of the zone owned by a scope: disposed when the scope ends, also when an error passes.

#include "foundation/Vcon_HandleManager.h"

class OwnedHandle {
 public:
  // A new empty handle.
  OwnedHandle() { Vcon_HandleManager::MemNew(&h_, 0); }
  // Takes `h` over (null is allowed).
  explicit OwnedHandle(Handle h) : h_(h) {}
  ~OwnedHandle() { MemDispose(h_); }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  Handle Get() const { return h_; }

 private:
  Handle h_ = nullptr;
};
