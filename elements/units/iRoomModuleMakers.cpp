#include "elements/units/iRoomModuleMakers.h"

#include "catalogue/records/RecordField.h"
#include "database/ppDatafile.h"
#include "elements/units/zelvproDoor.h"
#include "elements/units/zelvproRoomWindow.h"
#include "elements/units/zelvproStructureElement.h"

zelvproElement* iRoomModuleMakers::MakeStructureElement(ppView* parent, ppDatafile& module) {
  return new zelvproStructureElement(parent, module, false);
}

zelvproElement* iRoomModuleMakers::MakeDoor(ppView* parent, ppDatafile& module) {
  return new zelvproDoor(parent, module, false);
}

zelvproElement* iRoomModuleMakers::MakeRoomWindow(ppView* parent, ppDatafile& module) {
  return new zelvproRoomWindow(parent, module, false);
}

zelvproElement* iRoomModuleMakers::MakeForType(ppView* parent, ppDatafile& module) {
  switch (RecordField(module, "type").Long(module.GetRecordBuffer())) {
    case zelvproStructureElement::kType:
      return MakeStructureElement(parent, module);
    case zelvproDoor::kType:
      return MakeDoor(parent, module);
    case zelvproRoomWindow::kType:
      return MakeRoomWindow(parent, module);
    default:
      return nullptr;
  }
}
