// How the catalogue makes plan elements from top-view records. The element classes live above the
// catalogue, so they install a factory here (SetElementFactory); zelvproTopViewFil::CreateElement
// picks the operation by the record's element type. Until a factory is installed nothing is made.
//
// Every operation gets the top-view record id, the element that will hold the new one (null for
// accessories), the frame the element is created at, and the top-view table's record buffer holding
// that record: the element copies what it keeps before the next read of that table. The new element
// belongs to the caller.
#pragma once

#include <cstdint>

#include "platform/GdiTypes.h"

class zelvDatabase;
class zelvproElement;
class zelvproShapeFil;

class iElementFactory {
 public:
  virtual ~iElementFactory() = default;

  // Type 0: a plain catalogue element, which reads its outlines through the top-view table's shapes.
  virtual zelvproElement* CreateTopViewElement(int32_t recordId, zelvproElement* parent,
                                               const plat::RECT& frame, char* record,
                                               zelvproShapeFil& shapes) = 0;
  // Types 1, 3, 4, 5, 6, 10 and 12, each with the catalogue database the record comes from.
  virtual zelvproElement* CreateTopGroupElement(int32_t recordId, zelvproElement* parent,
                                                const plat::RECT& frame, char* record,
                                                zelvDatabase& database) = 0;
  virtual zelvproElement* CreateStructureElement(int32_t recordId, zelvproElement* parent,
                                                 const plat::RECT& frame, char* record,
                                                 zelvDatabase& database) = 0;
  virtual zelvproElement* CreateConfigElement(int32_t recordId, zelvproElement* parent,
                                              const plat::RECT& frame, char* record,
                                              zelvDatabase& database) = 0;
  virtual zelvproElement* CreateDoor(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                     char* record, zelvDatabase& database) = 0;
  virtual zelvproElement* CreateRoomWindow(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                           char* record, zelvDatabase& database) = 0;
  virtual zelvproElement* CreateAccessory(int32_t recordId, zelvproElement* parent, const plat::RECT& frame,
                                          char* record, zelvDatabase& database) = 0;
  virtual zelvproElement* CreateParametricElement(int32_t recordId, zelvproElement* parent,
                                                  const plat::RECT& frame, char* record,
                                                  zelvDatabase& database) = 0;
};

// The installed factory, or null. Not owned; set and used on the user-interface thread only.
iElementFactory* ElementFactory();
void SetElementFactory(iElementFactory* factory);
