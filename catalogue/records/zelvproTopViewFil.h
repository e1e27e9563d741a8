// Top-view records: the plan-side description of a catalogue item (outline and snap points,
// sub-elements, colours, units, sizes), from which plan elements are made.
// The table of a catalogue database bound to layout "qxTopView"; it owns the tables its links name.
//
// The layout names two fields "Type": the first (a long) is the element type that chooses the
// element class, the second links the class record. Blob fields hold little-endian entries:
// "Subelements" 24 bytes (word 0 a shape id), "Colors" 4 (a colour id, or a colour group id when
// "flags" has kColorGroupFlag), "Units" 8 and "DropItems" 8 (word 0 a unit id and a top-view id),
// "subItems" 32 (word 0 a top-view id), "depths" 4 (a depth id), "Snappoints" 36. "options",
// "available" and "excludes" are word groups closed by 0 (see BlobWords): an "options" group lists
// unit ids; an "available" group is a class id, one further word and unit ids; an "excludes" group is
// a unit id and further words.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "catalogue/records/zelvproShapeFil.h"
#include "platform/GdiTypes.h"

class zelvproElement;

class zelvproTopViewFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5405;
  static constexpr const char* kLayout = "qxTopView";
  // The "flags" bit that makes the "Colors" entries colour group ids.
  static constexpr int32_t kColorGroupFlag = 0x100000;
  // Element types of the first "Type" field that make an element; every other value makes none.
  enum ElementType : int32_t {
    kTopViewElement = 0,
    kTopGroupElement = 1,
    kStructureElement = 3,
    kConfigElement = 4,
    kDoor = 5,
    kRoomWindow = 6,
    kAccessory = 10,
    kParametricElement = 12,
  };

  explicit zelvproTopViewFil(ppDatabase& database);

  // Reads top-view record `recordId` (it becomes current) and makes the element its type names
  // through the installed element factory, to be placed into `parent` (accessories get no parent).
  // Null for record id 0 (nothing is read), a type that makes no element, no installed factory, or a
  // table on a database that is no catalogue (then only type 0 is made). Engine errors pass through.
  zelvproElement* CreateElement(int32_t recordId, const plat::RECT& frame, zelvproElement* parent);

  // The record's "Name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while a top view names record `id` of file `fileId` (top views, shapes, colours, colour
  // groups, units, depths, positioning sheets, colour codes, classes). Selects every top view and
  // reads them in turn until one does: afterwards the selection is all top views and the current
  // record the last one read.
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  // Brings the snap-point blobs of every record from catalogue version `from` to the 36-byte entries
  // and writes each record back, changed or not. Version 0 held 32-byte entries {id, x, y (32-bit
  // integers), an unused word, z (double), a word}, version 1 28-byte entries. `to` is not used.
  virtual void ConvertSnappoints(int32_t from, int32_t to);

  zelvproShapeFil& ShapeFile() const { return *shapeFile_; }
  zelvproPosSheetFil& PosSheetFile() const { return *posSheetFile_; }

 private:
  // The ids of file `fileId` that `record` names (empty for files top views do not link to).
  std::vector<int32_t> LinkedIds(const char* record, int32_t fileId) const;
  // Units: word 0 of each "Units" entry, every "options" id, the unit ids of each "available"
  // group and the first word of each "excludes" group.
  std::vector<int32_t> UnitIds(const char* record) const;
  // Classes: the class link and the first word of each "available" group.
  std::vector<int32_t> ClassIds(const char* record) const;

  std::unique_ptr<zelvproShapeFil> shapeFile_;
  std::unique_ptr<zelvproPosSheetFil> posSheetFile_;
  RecordField name_, type_, classLink_, flags_, snappoints_, subelements_, colors_, units_, dropItems_,
      subItems_, depths_, options_, available_, excludes_, posSheet_, colorCode_;
};
