#include "room/qxFloorElement.h"

qxFloorElement::qxFloorElement(int32_t recordId, ppView* parent, const plat::RECT& frame, const char* record,
                               zelvproShapeFil& shapes)
    : zelvproTopViewElement(recordId, parent, frame, record, shapes) {
  Init();
}
qxFloorElement::qxFloorElement(ppView* parent, ppDatafile& module, bool refresh)
    : zelvproTopViewElement(parent, module, refresh) {
  Init();
}
qxFloorElement::~qxFloorElement() = default;
void qxFloorElement::Init() { kind = kKind; }
void qxFloorElement::SetRoom(qxLineCycle* cycle) { cycle_ = cycle; }
void qxFloorElement::AdoptWallsFrom(qxFloorElement*, const ppVector3&, bool, int32_t) {}
void qxFloorElement::CopyAttributes(const qxFloorElement&) {}
void qxFloorElement::GetOutlineExtent(ppVector2& size) const { size = ppVector2(0, 0); }
void qxFloorElement::SelectFloorTextures(zelvproColorCatalogFil&) {}
std::string qxFloorElement::AreaText() { return {}; }
void qxFloorElement::BuildRoomSection(ppConfigPanel&) {}
void qxFloorElement::DoCommand(int32_t command, intptr_t parameter) {
  zelvproTopViewElement::DoCommand(command, parameter);
}
bool qxFloorElement::IsDoubleClick(int32_t x, int32_t y) {
  return zelvproTopViewElement::IsDoubleClick(x, y);
}
bool qxFloorElement::ContainsPoint(int32_t x, int32_t y) {
  return zelvproTopViewElement::ContainsPoint(x, y);
}
void qxFloorElement::Select(bool refresh) { zelvproTopViewElement::Select(refresh); }
zelvproElement* qxFloorElement::NearestSnap(const SnapAnchor& query, SnapAnchor& out, float& best,
                                            int32_t& index, zelvproElement* asker, uint32_t flags) {
  return zelvproTopViewElement::NearestSnap(query, out, best, index, asker, flags);
}
void qxFloorElement::BuildInfoPanel(qxViewHolder*) {}
int32_t qxFloorElement::ValidateColorRecord(int32_t id, int32_t) { return id; }
void qxFloorElement::InvalidateGeometry() { zelvproTopViewElement::InvalidateGeometry(); }
void qxFloorElement::WriteRecord(ppDatafile& record, bool renumber, int32_t parentNumber) {
  zelvproTopViewElement::WriteRecord(record, renumber, parentNumber);
}
int32_t qxFloorElement::IndexOf(const Vcon::String& name) { return zelvproTopViewElement::IndexOf(name); }
void qxFloorElement::GetPropertyName(Vcon::String& out, int32_t index) {
  zelvproTopViewElement::GetPropertyName(out, index);
}
int32_t qxFloorElement::GetPropertyCount() { return 0; }
ppParameter qxFloorElement::GetValue(int32_t) { return ppParameter(); }
void qxFloorElement::SetValue(int32_t, const ppParameter&) {}
void qxFloorElement::ChangeRoomType(int32_t) {}
