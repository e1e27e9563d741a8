#pragma once
// Builds one database file from one source folder.
//
// The folder holds "database.txt" (TAB-separated key and value a line):
//   file    <path of the database under the settings folder>
//   type    <four characters>   the type code at bytes 4-7 of the file (optional)
//   code    <four characters>   the second code at bytes 8-11 (optional)
//   empty   <layout> ...        tables created without records (layouts the program binds, and
//                               the table files of embedded layouts)
//   neutral <language code>     the texts of that language are also the texts of language 0, the
//                               language a first start runs in (optional): every row of a table with
//                               a "languageCode" column in that language is written a second time
//                               under 0, unless the table gives the row's id under 0 itself
// and one "<layout>.tsv" per table whose first line names the layout's fields (a layout with two
// fields of one name takes them in order). A link cell names the linked record by its name field
// ("name" in any case, else the layout's first field), or as "layout:name" for another layout; a
// long cell may be "layout:name[*K][+C]" (text ids of localized names) or "rgb:R,G,B" / "rgba:R,G,B,A"; blob
// and picture cells follow BlobNotation.h. In a text cell "\t" is a TAB (menu texts: "&Open\tCtrl+O"). Every
// record of every table is added first (so every name has its record id), then written with its fields, all
// in one transaction.
//
// Every fault is a SourceError naming the file and line; the database file is then incomplete and
// the caller discards the folder it was written to.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "tools/mkcatalog/BlobNotation.h"
#include "tools/mkcatalog/TabSource.h"

class ppDatabase;
class ppDatafile;

namespace mkcatalog {

class DatabaseBuilder : public BlobContext {
 public:
  explicit DatabaseBuilder(const std::filesystem::path& sourceFolder);
  ~DatabaseBuilder() override;

  // Writes the database under `settingsFolder` and closes it.
  void Build(const std::filesystem::path& settingsFolder);

  const std::filesystem::path& Folder() const { return folder_; }
  const std::string& OutputName() const { return output_; }
  // The "identifier" of the settings record, -1 when the folder has none; known before Build.
  int32_t Identifier() const { return identifier_; }
  // Every non-empty cell of the column `field` of table `layout`.
  std::set<std::string> ColumnValues(const std::string& layout, const std::string& field) const;
  // The cells of the column `value` of table `layout`, by the row's cell in the column `key` (rows
  // whose key cell is empty are left out).
  std::map<std::string, std::string> ColumnByKey(const std::string& layout, const std::string& key,
                                                 const std::string& value) const;

  int32_t RecordId(const std::string& layout, const std::string& name) override;
  std::vector<uint8_t> EmbeddedTable(const std::string& path) override;
  std::vector<uint8_t> FileBytes(const std::string& path) override;

 private:
  struct Table {
    std::string layout;
    std::unique_ptr<TabSource> source;
    std::vector<int32_t> fields;  // layout field of each header column
    std::vector<int32_t> ids;     // record id of each row
  };

  void ReadManifest();
  void ReadTables();
  // Appends the copies under language 0 that the "neutral" line asks for.
  void AddNeutralTexts(TabSource& source) const;
  ppDatafile& View(const std::string& layout);
  std::vector<int32_t> MapHeader(const TabSource& source, ppDatafile& view) const;
  void AddRecords(Table& table);
  void WriteRecords(Table& table);
  // Fills `buffer` from one row; the row's file and line name any fault.
  void FillRecord(ppDatafile& view, const TabSource& source, const std::vector<int32_t>& fields,
                  const TabRow& row, char* buffer);
  void SetField(ppDatafile& view, int32_t field, const std::string& text, char* buffer);
  Blob SetBlob(ppDatafile& view, int32_t field, const std::string& text, char* buffer);
  // Checks entry sizes and the records the entries name, for the blob fields whose form is known.
  void CheckEntries(ppDatafile& view, int32_t field, const Blob& blob, const char* buffer);
  std::string FieldName(ppDatafile& view, int32_t field) const;

  std::filesystem::path folder_;
  std::string output_;
  uint32_t typeCode_ = 0, secondCode_ = 0;
  std::vector<std::string> emptyLayouts_;
  std::optional<int32_t> neutralLanguage_;  // the "neutral" line's language code, if any
  std::vector<Table> tables_;
  int32_t identifier_ = -1;
  std::string embeddedLayout_;  // the layout of the embedded table the current blob field holds

  std::unique_ptr<ppDatabase> database_;
  std::map<std::string, std::unique_ptr<ppDatafile>> views_;     // by lower-case layout name
  std::map<std::string, std::map<std::string, int32_t>> names_;  // lower-case layout -> name -> id
  std::map<std::string, std::set<std::string>> ambiguous_;       // names given to two records
};

}  // namespace mkcatalog
