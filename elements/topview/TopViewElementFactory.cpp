#include "elements/topview/TopViewElementFactory.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "elements/units/zelvproDoor.h"
#include "elements/units/zelvproParametricElement.h"
#include "elements/units/zelvproRoomWindow.h"
#include "elements/units/zelvproStructureElement.h"

void TopViewElementFactory::Install() {
  static TopViewElementFactory factory;  // stateless; lives for the run
  SetElementFactory(&factory);
}

zelvproElement* TopViewElementFactory::CreateTopViewElement(int32_t recordId, zelvproElement* parent,
                                                            const plat::RECT& frame, char* record,
                                                            zelvproShapeFil& shapes) {
  if (dynamic_cast<zelvDatabase*>(&shapes.Database()) == nullptr) return nullptr;
  return new zelvproTopViewElement(recordId, parent, frame, record, shapes);
}

zelvproElement* TopViewElementFactory::CreateStructureElement(int32_t recordId, zelvproElement* parent,
                                                              const plat::RECT& frame, char* record,
                                                              zelvDatabase& database) {
  return new zelvproStructureElement(recordId, parent, frame, record, database.ShapeFile());
}

zelvproElement* TopViewElementFactory::CreateDoor(int32_t recordId, zelvproElement* parent,
                                                  const plat::RECT& frame, char* record,
                                                  zelvDatabase& database) {
  return new zelvproDoor(recordId, parent, frame, record, database.ShapeFile());
}

zelvproElement* TopViewElementFactory::CreateRoomWindow(int32_t recordId, zelvproElement* parent,
                                                        const plat::RECT& frame, char* record,
                                                        zelvDatabase& database) {
  return new zelvproRoomWindow(recordId, parent, frame, record, database.ShapeFile());
}

zelvproElement* TopViewElementFactory::CreateParametricElement(int32_t recordId, zelvproElement* parent,
                                                               const plat::RECT& frame, char* record,
                                                               zelvDatabase& database) {
  return new zelvproParametricElement(recordId, parent, frame, record, database.ShapeFile());
}
