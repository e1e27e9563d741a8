#pragma once
// Helpers the drawing-call files share: handle checks and the path-or-draw decision.

#include <algorithm>

#include "platform/DeviceContext.h"
#include "platform/Gdi.h"

namespace plat {

// The context behind a handle, or null when the handle is null or was deleted.
DeviceContext* LiveDc(HDC dc);
// The object behind a handle when it is live and of the given type, else null.
template <class T>
T* LiveObject(HGDIOBJ handle, DWORD type) {
  GdiObject* object = GdiObject::FromHandle(handle);
  return object && object->Type() == type ? static_cast<T*>(object) : nullptr;
}
// The rectangle of two corners given in any order, as the drawing calls and region handles take one.
inline RECT Normalized(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return {std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}
inline RECT Normalized(const RECT& r) { return Normalized(r.left, r.top, r.right, r.bottom); }
// True while a path is being recorded (figure calls add to it instead of drawing).
inline bool Recording(const DeviceContext& dc) { return dc.path && !dc.path->ended; }
// Adds a point to the path's current figure, starting a figure at the current position if needed.
void PathLineTo(DeviceContext& dc, PointF to);
// Adds a whole closed figure to the path.
void PathAddFigure(DeviceContext& dc, std::vector<PointF> figure);

}  // namespace plat
