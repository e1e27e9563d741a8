// Colour-code records: named lists of colours with a default colour, a class and the code that
// follows this one.
// The table of a catalogue database bound to layout "qxColorCode".
//
// "colors" holds 32-bit colour record ids; 0 entries are gaps. An empty list means every colour of
// the colour catalogue.
#pragma once

#include <cstdint>
#include <map>

#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproRecordFil.h"
#include "foundation/Vcon_HandleManager.h"

class zelvproColorCodeFil : public zelvproRecordFil {
 public:
  static constexpr int32_t kFileId = 5424;
  static constexpr const char* kLayout = "qxColorCode";

  // Selects every code and notes which ones name a following code (see FollowMap).
  explicit zelvproColorCodeFil(ppDatabase& database);

  // "tname" = the widened "name", replaced by text record id x 10 of the current language.
  void AfterRead(char* buffer) override;
  // "id" as a decimal number, a blank and "name".
  void GetDisplayText(Vcon::String& out, char* buffer) override;
  // False while a code names colour `id` as "defaultColor" or in "colors", or has class `id`.
  bool AllowsDeleteOf(int32_t fileId, int32_t id) override;

  // Fills the handle list `out` with the colours code `codeId` (its "id" field) offers: the non-zero
  // ids of its "colors" in order, or every colour record id of the catalogue when that list is empty
  // or no code has that id. Afterwards every code is selected and the current record is the code
  // read (or the one before).
  void ColorsOf(int32_t codeId, Handle out);

  // 1-based selection position at opening -> the record id of the code that follows that code.
  const std::map<int32_t, int32_t>& FollowMap() const { return follow_; }

 private:
  void ReadFollowers();

  RecordField id_, name_, tname_, defaultColor_, colors_, class_, followField_;
  std::map<int32_t, int32_t> follow_;
};
