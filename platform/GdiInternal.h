#pragma once
// Helpers the drawing-call files share: handle checks and the path-or-draw decision.

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
// True while a path is being recorded (figure calls add to it instead of drawing).
inline bool Recording(const DeviceContext& dc) { return dc.path && !dc.path->ended; }
// Adds a point to the path's current figure, starting a figure at the current position if needed.
void PathLineTo(DeviceContext& dc, PointF to);
// Adds a whole closed figure to the path.
void PathAddFigure(DeviceContext& dc, std::vector<PointF> figure);

}  // namespace plat
