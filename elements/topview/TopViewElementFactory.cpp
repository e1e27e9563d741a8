#include "elements/topview/TopViewElementFactory.h"

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "elements/topview/zelvproTopViewElement.h"
#include "elements/units/zelvproDoor.h"
#include "elements/units/zelvproParametricElement.h"
#include "elements/units/zelvproRoomWindow.h"
#include "elements/units/zelvproStructureElement.h"
#include "elements/units/zelvproAccessory.h"
#include "elements/units/zelvproConfigElement.h"
#include "elements/units/zelvproTopGroupElement.h"

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

zelvproElement* TopViewElementFactory::CreateTopGroupElement(int32_t recordId, zelvproElement* parent,
                                                             const plat::RECT& frame, char* record,
                                                             zelvDatabase& db) {
  return new zelvproTopGroupElement(recordId, parent, frame, record, db.ShapeFile());
}

zelvproElement* TopViewElementFactory::CreateConfigElement(int32_t recordId, zelvproElement* parent,
                                                           const plat::RECT& frame, char* record,
                                                           zelvDatabase& db) {
  return new zelvproConfigElement(recordId, parent, frame, record, db.ShapeFile());
}

zelvproElement* TopViewElementFactory::CreateAccessory(int32_t recordId, zelvproElement* parent,
                                                       const plat::RECT& frame, char* record,
                                                       zelvDatabase& db) {
  return new zelvproAccessory(recordId, parent, frame, record, db.ShapeFile());
}
