// One field of a table view's record layout, found by name once: typed reads and writes of that
// field in any record buffer of the view, through the field's handler (never a fixed offset). A name
// the bound layout lacks, or a field of another type than the call reads, reads as empty (0, "", no
// handle) and ignores writes, so an older catalogue file with fewer fields still opens.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "foundation/DecimalNumber.h"
#include "foundation/VconString.h"
#include "foundation/Vcon_HandleManager.h"

class dbHandler;
class dbRecordLayout;
class ppDatafile;

class RecordField {
 public:
  // No field: reads as empty and ignores writes until Bind finds one for it.
  RecordField() = default;
  RecordField(const ppDatafile& file, const char* name);
  // The field of that name after `earlier` others of the same name (layouts may repeat a name).
  RecordField(const ppDatafile& file, const char* name, int32_t earlier);

  // A field to find by name with Bind.
  struct Binding {
    RecordField& field;
    const char* name;
  };
  // Finds the field of every binding (the first of its name, as the one-name constructor does) in
  // one pass over the layout's names, compared where the layout keeps them: a record class that
  // binds several fields at once reads each name once instead of scanning the layout per field.
  static void Bind(const ppDatafile& file, std::initializer_list<Binding> bindings);

  bool Exists() const { return index_ >= 0; }
  // The field number in the layout; -1 when the layout has no such field.
  int32_t Index() const { return index_; }

  // Long, link and flag fields (types 2, 8 and 15).
  int32_t Long(const char* record) const;
  void SetLong(char* record, int32_t value) const;
  // Money fields (type 3): the raw amount in ten-thousandths, ppMoney::kNoValue when the field holds
  // none (or is of another type).
  int64_t MoneyRaw(const char* record) const;
  void SetMoneyRaw(char* record, int64_t raw) const;
  // Narrow text fields (type 1).
  Vcon::String Text(const char* record) const;
  // Wide text fields (type 14).
  Vcon::WString WideText(const char* record) const;
  void SetWideText(char* record, const Vcon::WString& text) const;
  // The handle of a blob or picture field (types 9 to 12 and 16), still the record's; null otherwise.
  Handle Data(const char* record) const;
  // A blob read as consecutive little-endian 32-bit words; trailing bytes short of a word are ignored.
  std::vector<int32_t> Words(const char* record) const;

  // Narrow text fields (type 1).
  void SetText(char* record, const Vcon::String& text) const;
  // Double fields (type 4).
  double Double(const char* record) const;
  void SetDouble(char* record, double value) const;
  // The stored 64 bits of a money, double or date field (types 3 to 5), as they are packed.
  int64_t Raw64(const char* record) const;
  void SetRaw64(char* record, int64_t bits) const;
  // Quantity fields (type 17); 0 for any other field.
  DecimalNumber Quantity(const char* record) const;
  void SetQuantity(char* record, const DecimalNumber& value) const;

 private:
  void SetTo(const dbRecordLayout& layout, int32_t index);
  bool Is(std::initializer_list<int32_t> types) const;
  const char* At(const char* record) const;
  char* At(char* record) const;

  const dbHandler* handler_ = nullptr;
  int32_t index_ = -1;
  int32_t type_ = 0;
};
