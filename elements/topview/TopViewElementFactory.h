// The plan elements' answer to the catalogue's element factory: which element class a top-view
// record's type makes. Type 0 makes a zelvproTopViewElement, types 3, 5, 6 and 12 the structure element, the
// door, the room window and the parametric element; the other types make nothing until their
// classes exist. Install() puts the one process-wide factory in place (start-up, and tests after the
// run's reset).
#pragma once

#include "catalogue/records/iElementFactory.h"

class TopViewElementFactory : public iElementFactory {
 public:
  static void Install();

  // Null when the shapes' database is not a catalogue database.
  zelvproElement* CreateTopViewElement(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                       char* record, zelvproShapeFil& shapes) override;
  zelvproElement* CreateTopGroupElement(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                        char* record, zelvDatabase& db) override;
  zelvproElement* CreateStructureElement(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                         char* record, zelvDatabase& database) override;
  zelvproElement* CreateConfigElement(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                      char* record, zelvDatabase& db) override;
  zelvproElement* CreateDoor(int32_t recordId, zelvproElement* parent, const plat::RECT& frame, char* record,
                             zelvDatabase& database) override;
  zelvproElement* CreateRoomWindow(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                   char* record, zelvDatabase& database) override;
  zelvproElement* CreateAccessory(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                  char* record, zelvDatabase& db) override;
  zelvproElement* CreateParametricElement(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                          char* record, zelvDatabase& database) override;
};
