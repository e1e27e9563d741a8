// Room properties and the room panel.
#include "room/qxNewRoomCanvas.h"

int32_t qxNewRoomCanvas::IndexOf(const Vcon::String& name) { return zelvproTopCanvas::IndexOf(name); }
void qxNewRoomCanvas::GetPropertyName(Vcon::String& out, int32_t index) {
  zelvproTopCanvas::GetPropertyName(out, index);
}
int32_t qxNewRoomCanvas::GetPropertyCount() { return zelvproTopCanvas::GetPropertyCount(); }
ppParameter qxNewRoomCanvas::GetValue(int32_t index) { return zelvproTopCanvas::GetValue(index); }
void qxNewRoomCanvas::SetValue(int32_t index, const ppParameter& value) {
  zelvproTopCanvas::SetValue(index, value);
}
void qxNewRoomCanvas::BuildInfoPanel(qxViewHolder* /*source*/) {}
