#include "controls/ChoicePicture.h"

#include <cmath>

#include "foundation/Vcon_HandleManager.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"

namespace controls {

int32_t DrawChoicePicture(ppDC& dc, const ppParameter& value, const plat::RECT& area, int32_t inset,
                          bool centred) {
  if (value.Type() != ppParameter::kHandle) return area.left;
  Handle handle = value.GetHandle();
  const int32_t size = MemGetSize(handle);
  if (handle == nullptr || size <= 0) return area.left;
  ppPicture picture;
  MemLock(handle);
  picture.SetFromMemory(*handle, static_cast<size_t>(size));
  MemUnlock(handle);
  if (picture.IsEmpty() || picture.GetHeight() <= 0) return area.left;
  const double aspect = double(picture.GetWidth()) / double(picture.GetHeight());
  const int32_t height = area.bottom - area.top;
  plat::RECT box{area.left, area.top, area.left + int32_t(std::lround(height * aspect)), area.bottom};
  box = {box.left + inset, box.top + inset, box.right - inset, box.bottom - inset};
  if (!centred) {
    picture.Draw(dc, box);
    return box.right;
  }
  // A square box, the picture centred in it at its own size.
  box.right = box.left + (box.bottom - box.top);
  const int32_t freeWidth = (box.right - box.left) - picture.GetWidth();
  const int32_t freeHeight = (box.bottom - box.top) - picture.GetHeight();
  const plat::RECT placed{box.left + freeWidth / 2 + 2, box.top + freeHeight / 2, box.right + 6, box.bottom};
  picture.DrawClipped(dc, placed);
  return placed.right;
}

}  // namespace controls
