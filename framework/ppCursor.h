#pragma once
// One mouse cursor shape, loaded once and kept for the life of its table. The handle is the
// platform's shared cursor (never destroyed); a cursor the system does not know has a null handle,
// and making it current hides the pointer.

#include <cstdint>

#include "platform/WindowTypes.h"

class ppCursor {
 public:
  // The cursor resource `id` of `module`, or the system cursor `id` when `module` is null.
  // Only the id's low 16 bits name the resource.
  ppCursor(plat::HINSTANCE module, int32_t id);

  // Makes this cursor the current one.
  void Set() const;
  plat::HCURSOR Handle() const { return cursor_; }
  // The resource number it was loaded from; 0 for a system cursor.
  int32_t ResourceId() const { return resourceId_; }

 private:
  plat::HCURSOR cursor_ = nullptr;
  int32_t resourceId_ = 0;
};
