// The typed view through which the program reads and changes the records of one table file: it
// binds a record layout by name, keeps a current record buffer, a current record id and a
// selection (record ids in the order of the last query), and shows the layout's fields as
// properties. Field i is property i; property n (n = field count) is the pseudo-field "dbId", the
// record id times 10000 plus the database's number when that number is above 0.
//
// Wherever an operation takes a record buffer, null stands for the current record buffer; a record
// id of 0 stands for the current record id. Link fields are followed through views on the linked
// files that this view opens on demand and owns. Errors of the file and store pass through as the
// engine's error numbers.
//
// Import and export move a table as tab-separated text driven by a field map: a handle of 12-byte
// little-endian entries {field number (low 16 bits, signed), linked file id, third word}. For an
// unlinked field the third word holds flags (non-zero = match key, bit 2 = a line matching no
// record is not added); for a linked field, the field of the linked file whose value stands in the
// text.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "database/iProperty.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/FileRecord.h"

class DecimalFormat;
class dbDatafile;
class ppDatabase;

// One entry of an import or export field map.
struct ppFieldMapEntry {
  int32_t field = 0;
  int32_t linkedFileId = 0;
  int32_t third = 0;  // flags of an unlinked field, or the linked file's field
};

class ppDatafile : public iProperty {
 public:
  static constexpr uint32_t kFieldMapEntrySize = 12;
  // Longest text of one imported field; longer fields are cut.
  static constexpr size_t kImportFieldSize = 256;
  // Flags of an unlinked field-map entry.
  static constexpr int32_t kMatchKeyNoAdd = 2;
  // dbId = record id x kIdScale + database number.
  static constexpr int32_t kIdScale = 10000;
  // The one rule of the dbId form, for every value that names a record of a database by its number
  // (the database's identifier): record `id` is id x kIdScale + number when the number is above 0,
  // and the bare id when it is 0 or below (a database without an identifier). A form that does not
  // fit 32 bits gives no value.
  static ppParameter DbIdValue(int32_t id, int32_t number);
  // The record id that `value` names by that rule in the database of number `number`: value /
  // kIdScale when its low four digits are the number (above 0), else the bare value (number 0 or
  // below); -1 when the value is negative or names a record of another database.
  static int32_t RecordIdOfDbId(int32_t value, int32_t number);
  // Text resource with the open dialog's filter for import files.
  static constexpr int32_t kImportFilterText = 132;

  ppDatafile(const char* layoutName, ppDatabase& database);
  ppDatafile(const Vcon::String& layoutName, ppDatabase& database);
  ~ppDatafile() override;

  // The entries of a field-map handle (a trailing partial entry is ignored; null gives none).
  static std::vector<ppFieldMapEntry> FieldMap(Handle map);
  // The program's field map of this view's layout: `type` "IMPT" (import) or "EXPT" (export), the
  // resource id being the layout's file id. A new handle (the caller's), or null when none.
  Handle LoadFieldMap(const char (&type)[5]) const;
  // The layout name registered for a file id, or "" when none.
  static Vcon::String LayoutNameOfFileId(int32_t fileId);
  // Forgets the file ids learnt from opened views (the process-wide map, owned by the interface
  // thread); later look-ups go to the compiled layouts again. For resets between runs and tests.
  static void ForgetLayoutNames();

  // Property interface.
  int32_t IndexOf(const Vcon::String& name) override;
  void GetPropertyName(Vcon::String& out, int32_t index) override;
  int32_t GetPropertyCount() override;
  ppParameter GetValue(int32_t index) override;
  void SetValue(int32_t index, const ppParameter& value) override;
  void SelectAllItems() override;
  void Select(int32_t field, int32_t comparison, const ppParameter& value1, const ppParameter& value2,
              char combine) override;
  void GoToItem(int32_t i) override;
  int32_t GetCurrentItem() override { return currentIndex_; }
  int32_t GetItemCount() override { return GetSelectedCount(); }

  virtual int32_t GetRecordCount();
  virtual ppDatafile* GetLinkedDatafile(int32_t fileId);
  virtual void GetLayoutName(Vcon::String& out);
  virtual void ReadRecord(int32_t id, char* buffer);
  virtual void ReadRecordPinned(int32_t id, char* buffer);
  virtual void AddRecord(int32_t* outId, char* buffer);
  virtual void WriteRecord(int32_t id, char* buffer);
  virtual void DeleteRecord(int32_t id);
  virtual void ReleaseRecord(int32_t id);
  virtual void ReadRecordAt(int32_t i, char* buffer);
  virtual int32_t RecordIdAt(int32_t i);
  virtual int32_t IndexOfRecord(int32_t id);
  virtual void WriteRecordAt(int32_t i, char* buffer);
  virtual void ReadRecordPinnedAt(int32_t i, char* buffer);
  virtual void DeleteRecordAt(int32_t i);
  virtual void InsertRecordAt(int32_t i, char* buffer);
  virtual void ReleaseRecordAt(int32_t i);
  virtual void AfterRead(char* buffer);
  virtual bool CanWrite(char* buffer);
  virtual bool IsValueUnique(int32_t field, const ppParameter& value, int32_t id);
  virtual int32_t GetSelectedCount();
  virtual void SelectAllByIndex(int32_t field);
  virtual void SelectAll();
  virtual void SelectMatching(const char* text);
  virtual Handle GetSelection();
  // key addresses an int32_t or a NUL-terminated text, by the field's index kind.
  virtual int32_t FindRecordByKey(int32_t field, const void* key);
  virtual void FieldNameAt(int32_t field, Vcon::String& out);
  virtual void GetFieldValue(int32_t field, ppParameter& out, char* buffer);
  virtual void SetFieldValue(int32_t field, const ppParameter& value, char* buffer);
  virtual void PackRecord(char* buffer, Handle h);
  virtual void UnpackRecord(char* buffer, Handle h);
  virtual void GetDisplayText(Vcon::String& out, char* buffer);
  // 2 stops ForEachRecord.
  virtual int32_t VisitRecord(void* argument, int32_t id);
  virtual int32_t ForEachRecord(void* argument, Handle list);
  // Yes/no queries that follow ForEachRecord; record classes answer true.
  virtual bool AnswersRecordQuery(void* argument, int32_t a, int32_t b);
  virtual bool IsRecordClass();
  virtual bool DeleteRecordIfAllowed(int32_t ignored, int32_t id);
  virtual bool AllowsDeleteOf(int32_t fileId, int32_t id);
  // Import and export: see ppDatafileImport and ppDatafileExport, which do the work.
  virtual void ImportFromFile(Handle fieldMap, const ppFileSpec& path);
  virtual void ImportWithFileDialog(Handle fieldMap);
  virtual void ImportText(Handle text, Handle fieldMap);
  // Imports the line at `position` (inside a NUL-terminated text) as one record; returns where the
  // next line starts, or null at the end of the text.
  virtual const char* ImportRecord(const char* position, Handle fieldMap);
  virtual void ExportWithFileDialog(Handle fieldMap);
  virtual void ExportToFile(ppFileSpec& file, Handle fieldMap);
  virtual void ExportRecord(ppFileSpec& file, Handle fieldMap);
  virtual void ReloadCurrent();
  virtual void BeginEdit();
  virtual void SaveCurrent();

  // The file's query: its result, combined with the selection, becomes the selection.
  void Select(int32_t field, char combine, int32_t comparison, const void* key1, const void* key2);
  char* NewRecordBuffer();
  void DisposeRecordBuffer(char* buffer);
  void ClearRecordBuffer(char* buffer);
  void BeginTransaction();
  void EndTransaction();
  void RebuildIndexes();

  char* GetRecordBuffer() const { return buffer_; }
  int32_t CurrentRecordId() const { return currentId_; }
  void SetCurrentRecordId(int32_t id) { currentId_ = id; }
  int32_t FieldCount() const;
  dbDatafile& File() const { return *file_; }
  ppDatabase& Database() const { return database_; }

  // The money format that text values set into money fields are read with (SetFieldValue) and that
  // exported money is written with; null (the start) means ppMoney's process-wide default format.
  // Import and export put the plain format here for their run (ppPlainMoneyText). Not owned.
  const DecimalFormat* MoneyTextFormat() const { return moneyTextFormat_; }
  void SetMoneyTextFormat(const DecimalFormat* format) { moneyTextFormat_ = format; }

 protected:
  char* Buffer(char* buffer) const { return buffer != nullptr ? buffer : buffer_; }
  int32_t Id(int32_t id) const { return id != 0 ? id : currentId_; }

 private:
  void Construct();
  ppParameter RecordIdValue() const;
  ppParameter LinkValue(int32_t field);
  void SelectById(const ppParameter& value);

  Handle selection_ = nullptr;
  char* buffer_ = nullptr;
  int32_t currentIndex_ = 0;
  ppDatabase& database_;
  Vcon::String layoutName_;
  dbDatafile* file_ = nullptr;
  int32_t currentId_ = 0;
  std::deque<ppDatafile*> linked_;
  const DecimalFormat* moneyTextFormat_ = nullptr;
};
