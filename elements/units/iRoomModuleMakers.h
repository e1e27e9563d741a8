// How the room canvas makes the elements that stand in its walls when a document is loaded: one
// maker per module type (3 structure element, 5 door, 6 room window), each reading the current
// record of the canvas's module table. The defaults build the element classes as they are; the
// new-room canvas implements the interface to place them on their walls. A made element belongs to
// `parent` when one is given, else to the caller. User-interface thread only.
#pragma once

#include <cstdint>

class ppDatafile;
class ppView;
class zelvproElement;

class iRoomModuleMakers {
 public:
  virtual ~iRoomModuleMakers() = default;

  virtual zelvproElement* MakeStructureElement(ppView* parent, ppDatafile& module);
  virtual zelvproElement* MakeDoor(ppView* parent, ppDatafile& module);
  virtual zelvproElement* MakeRoomWindow(ppView* parent, ppDatafile& module);

  // The maker of the record's "type"; null for any other type.
  zelvproElement* MakeForType(ppView* parent, ppDatafile& module);
};
