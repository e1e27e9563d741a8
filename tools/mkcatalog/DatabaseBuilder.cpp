#include "tools/mkcatalog/DatabaseBuilder.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "database/dbBasicmmHandler.h"
#include "database/dbDatafile.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "foundation/FileRecord.h"
#include "foundation/Vcon_HandleManager.h"
#include "foundation/ppMoney.h"
#include "foundation/ppParameter.h"
#include "tools/mkcatalog/PictureMaker.h"
#include "tools/mkcatalog/SourceError.h"
#include "tools/mkcatalog/ValueText.h"
#include "tools/rescomp/AnsiText.h"
#include "database/ScopedRecordBuffer.h"
#include "foundation/OwnedHandle.h"

namespace mkcatalog {
namespace {

namespace fs = std::filesystem;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return text;
}

// Blob fields that hold an embedded table, and the layout of its records.
struct EmbeddedField {
  const char* layout;
  const char* field;
  const char* records;
};
constexpr EmbeddedField kEmbeddedFields[] = {
    {"qxunit", "anchors", "qxAnchor"},
    {"qxapplication", "menuItems", "qxFunction"},
    {"qxconfigurator", "data", "qxConfigField"},
};

// Blob fields made of fixed-size entries; `target` is the layout the first word of each entry names
// (0 allowed), "" when the first word is not a record id. Sizes 0 stand for "decided by a flag".
struct EntryRule {
  const char* layout;
  const char* field;
  uint32_t size;
  const char* target;
};
constexpr EntryRule kEntryRules[] = {
    {"qxtopview", "Subelements", 24, "qxShape"},
    {"qxtopview", "Colors", 4, ""},
    {"qxtopview", "Units", 8, "qxUnit"},
    {"qxtopview", "DropItems", 8, "qxTopView"},
    {"qxtopview", "subItems", 32, "qxTopView"},
    {"qxtopview", "depths", 4, "qxDepth"},
    {"qxtopview", "Snappoints", 36, ""},
    {"qxtopview", "shapes3D", 24, "qxShape"},
    {"qxtopview", "rules", 12, ""},
    {"qxunit", "shapes", 24, "qxShape"},
    {"qxunit", "subUnits", 28, "qxTopView"},
    {"qxunit", "pricingIncludes", 8, "qxUnit"},
    {"qxunit", "depths", 4, "qxDepth"},
    {"qxunit", "depthUnits", 8, "qxDepth"},
    {"qxunit", "partsList", 12, "qxUnit"},
    {"qxunit", "parametrics", 0, "qxParametric"},
    {"qxunit", "shapes3D", 0, "qxShape"},
    {"qxshape", "points", 8, ""},
    {"qxshape", "attributes", 4, ""},
    {"qxparametric", "facets", 56, "qxShape"},
    {"qxpacket", "items", 12, "qxUnit"},
    {"qxcolorcode", "colors", 4, "qxColorCatalog"},
    {"qxdepth", "colors", 4, "qxColorCatalog"},
    {"qxdepth", "colorCodes", 4, "qxColorCode"},
};

constexpr int32_t kNoLayoutError = -1;

int32_t LongField(ppDatafile& view, const std::string& name, const char* buffer) {
  const int32_t field = view.File().Layout().FieldIndex(name);
  if (field < 0) return 0;
  ppParameter value;
  view.File().Layout().GetField(field, &value, buffer);
  return value.ToLong();
}

std::string Ansi(const std::string& utf8) {
  const std::optional<std::string> text = rescomp::Utf8ToAnsi(utf8);
  if (!text) throw std::invalid_argument("'" + utf8 + "' has a character outside the Windows-1252 code page");
  return *text;
}

// A text cell as the field stores it: "\t" stands for the TAB a cell cannot hold (a menu text's key
// name follows one); every other character, a backslash included, stands as it is.
std::string TextCell(const std::string& utf8) {
  std::string text = Ansi(utf8);
  for (size_t at = text.find("\\t"); at != std::string::npos; at = text.find("\\t", at + 1))
    text.replace(at, 2, "\t");
  return text;
}

}  // namespace

DatabaseBuilder::DatabaseBuilder(const fs::path& sourceFolder) : folder_(sourceFolder) {
  ReadManifest();
  ReadTables();
  for (const Table& table : tables_) {
    if (Lower(table.layout) != "qxsettings" || table.source->Rows().empty()) continue;
    identifier_ = ParseWord(table.source->Cell(table.source->Rows()[0], "identifier")).value_or(-1);
  }
}

DatabaseBuilder::~DatabaseBuilder() {
  views_.clear();
  database_.reset();
}

void DatabaseBuilder::ReadManifest() {
  const TabSource manifest(folder_ / "database.txt");
  const auto take = [&](const TabRow& row, const std::string& key, const std::string& value) {
    if (key == "file") {
      if (value.empty() || fs::path(value).is_absolute() || value.find("..") != std::string::npos)
        throw SourceError(manifest.Path(), row.line, "the file must be a path inside the settings folder");
      output_ = value;
    } else if (key == "type" || key == "code") {
      const std::optional<uint32_t> code = ParseFourCharCode(value);
      if (!code) throw SourceError(manifest.Path(), row.line, "a code is four characters");
      (key == "type" ? typeCode_ : secondCode_) = *code;
    } else if (key == "empty") {
      std::istringstream in(value);
      for (std::string layout; in >> layout;) emptyLayouts_.push_back(layout);
    } else if (key == "neutral") {
      neutralLanguage_ = ParseWord(value);
      if (!neutralLanguage_ || *neutralLanguage_ == 0)
        throw SourceError(manifest.Path(), row.line, "the neutral language is a language code other than 0");
    } else {
      throw SourceError(manifest.Path(), row.line,
                        "unknown key '" + key + "' (file, type, code, empty, neutral)");
    }
  };
  // The header line is the first key and value pair as well.
  take(TabRow{manifest.HeaderLine(), manifest.Header()}, manifest.Header()[0],
       manifest.Header().size() > 1 ? manifest.Header()[1] : "");
  for (const TabRow& row : manifest.Rows()) take(row, row.cells[0], row.cells.size() > 1 ? row.cells[1] : "");
  if (output_.empty()) throw SourceError(manifest.Path(), 0, "no 'file' line naming the database");
}

void DatabaseBuilder::ReadTables() {
  std::vector<fs::path> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
    if (entry.is_regular_file() && entry.path().extension() == ".tsv") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());  // record ids follow the file order: keep it fixed
  for (const fs::path& file : files) {
    Table table;
    table.layout = file.stem().string();
    table.source = std::make_unique<TabSource>(file);
    if (neutralLanguage_) AddNeutralTexts(*table.source);
    tables_.push_back(std::move(table));
  }
}

void DatabaseBuilder::AddNeutralTexts(TabSource& source) const {
  const auto& header = source.Header();
  const auto code = std::find(header.begin(), header.end(), "languageCode");
  const auto id =
      std::find_if(header.begin(), header.end(), [](const std::string& name) { return Lower(name) == "id"; });
  if (code == header.end() || id == header.end()) return;
  const size_t codeColumn = size_t(code - header.begin()), idColumn = size_t(id - header.begin());
  // Ids the table gives under language 0 itself keep their own text.
  std::set<std::string> given;
  for (const TabRow& row : source.Rows())
    if (ParseWord(row.cells[codeColumn]) == 0) given.insert(row.cells[idColumn]);
  std::vector<TabRow> copies;
  for (const TabRow& row : source.Rows()) {
    if (ParseWord(row.cells[codeColumn]) != neutralLanguage_ || given.count(row.cells[idColumn]) != 0)
      continue;
    TabRow copy = row;  // keeps its line, so that a fault in it names the row it came from
    copy.cells[codeColumn] = "0";
    copies.push_back(std::move(copy));
  }
  for (TabRow& copy : copies) source.AddRow(std::move(copy));
}

std::set<std::string> DatabaseBuilder::ColumnValues(const std::string& layout,
                                                    const std::string& field) const {
  std::set<std::string> values;
  for (const Table& table : tables_) {
    if (Lower(table.layout) != Lower(layout)) continue;
    for (const TabRow& row : table.source->Rows()) {
      const std::string& cell = table.source->Cell(row, field);
      if (!cell.empty()) values.insert(cell);
    }
  }
  return values;
}

std::map<std::string, std::string> DatabaseBuilder::ColumnByKey(const std::string& layout,
                                                                const std::string& key,
                                                                const std::string& value) const {
  std::map<std::string, std::string> cells;
  for (const Table& table : tables_) {
    if (Lower(table.layout) != Lower(layout)) continue;
    for (const TabRow& row : table.source->Rows()) {
      const std::string& k = table.source->Cell(row, key);
      if (!k.empty()) cells[k] = table.source->Cell(row, value);
    }
  }
  return cells;
}

ppDatafile& DatabaseBuilder::View(const std::string& layout) {
  std::unique_ptr<ppDatafile>& view = views_[Lower(layout)];
  if (!view) {
    try {
      view = std::make_unique<ppDatafile>(layout.c_str(), *database_);
    } catch (int32_t code) {
      views_.erase(Lower(layout));
      if (code == kNoLayoutError) throw std::invalid_argument("no record layout named '" + layout + "'");
      throw std::invalid_argument("the table '" + layout + "' cannot be made (error " + std::to_string(code) +
                                  ")");
    }
  }
  return *view;
}

std::string DatabaseBuilder::FieldName(ppDatafile& view, int32_t field) const {
  std::string name;
  view.File().Layout().FieldName(field, name);
  return name;
}

std::vector<int32_t> DatabaseBuilder::MapHeader(const TabSource& source, ppDatafile& view) const {
  const dbRecordLayout& layout = view.File().Layout();
  std::vector<int32_t> fields;
  for (size_t column = 0; column < source.Header().size(); ++column) {
    const std::string& name = source.Header()[column];
    // The k-th column of a name takes the k-th field of that name.
    const auto earlier = std::count(source.Header().begin(), source.Header().begin() + long(column), name);
    int32_t field = -1;
    for (int32_t f = 0, seen = 0; f < layout.FieldCount() && field < 0; ++f) {
      std::string fieldName;
      layout.FieldName(f, fieldName);
      if (fieldName == name && seen++ == earlier) field = f;
    }
    if (field < 0)
      throw SourceError(source.Path(), source.HeaderLine(), "the layout has no field '" + name + "'");
    fields.push_back(field);
  }
  return fields;
}

int32_t DatabaseBuilder::RecordId(const std::string& layout, const std::string& name) {
  const std::string key = Lower(layout);
  if (ambiguous_[key].count(name) != 0)
    throw std::invalid_argument("two records of " + layout + " are named '" + name + "'");
  const auto table = names_.find(key);
  const auto found =
      table == names_.end() ? std::map<std::string, int32_t>::const_iterator() : table->second.find(name);
  if (table == names_.end() || found == table->second.end())
    throw std::invalid_argument("no " + layout + " record named '" + name + "'");
  return found->second;
}

void DatabaseBuilder::AddRecords(Table& table) {
  ppDatafile& view = View(table.layout);
  table.fields = MapHeader(*table.source, view);
  // Records are found by their name field, else by their first field.
  int32_t nameField = 0;
  for (int32_t f = 0; f < view.FieldCount(); ++f) {
    if (Lower(FieldName(view, f)) == "name") {
      nameField = f;
      break;
    }
  }
  const auto column = std::find(table.fields.begin(), table.fields.end(), nameField);
  // Records are looked up by their "id" as well: two records with one id would shadow each other.
  const auto idColumn = std::find_if(table.source->Header().begin(), table.source->Header().end(),
                                     [](const std::string& name) { return Lower(name) == "id"; });
  std::map<std::string, int> idLines;
  const ScopedRecordBuffer<ppDatafile> buffer(view);
  std::map<std::string, int32_t>& names = names_[Lower(table.layout)];
  for (const TabRow& row : table.source->Rows()) {
    view.ClearRecordBuffer(buffer.Get());
    const int32_t id = view.File().AddRecord(buffer.Get());
    table.ids.push_back(id);
    if (idColumn != table.source->Header().end()) {
      const std::string& idText = row.cells[size_t(idColumn - table.source->Header().begin())];
      const std::optional<int32_t> number = ParseWord(idText);
      // Texts by id repeat the id once per language.
      const std::string key =
          (number ? std::to_string(*number) : idText) + "\t" + table.source->Cell(row, "languageCode");
      if (!idText.empty() && !idLines.emplace(key, row.line).second)
        throw SourceError(
            table.source->Path(), row.line,
            "the id " + idText + " is given on line " + std::to_string(idLines[key]) + " already");
    }
    if (column == table.fields.end()) continue;
    const std::string& name = row.cells[size_t(column - table.fields.begin())];
    if (!name.empty() && !names.emplace(name, id).second) ambiguous_[Lower(table.layout)].insert(name);
  }
}

void DatabaseBuilder::WriteRecords(Table& table) {
  ppDatafile& view = View(table.layout);
  const ScopedRecordBuffer<ppDatafile> buffer(view);
  for (size_t i = 0; i < table.source->Rows().size(); ++i) {
    view.ClearRecordBuffer(buffer.Get());
    FillRecord(view, *table.source, table.fields, table.source->Rows()[i], buffer.Get());
    view.File().WriteRecord(table.ids[i], buffer.Get());
  }
}

void DatabaseBuilder::FillRecord(ppDatafile& view, const TabSource& source,
                                 const std::vector<int32_t>& fields, const TabRow& row, char* buffer) {
  std::vector<std::pair<size_t, Blob>> blobs;  // column and contents, checked once every field is set
  size_t column = 0;
  try {
    for (column = 0; column < fields.size(); ++column) {
      const std::string& text = row.cells[column];
      if (text.empty()) continue;
      const int32_t type = view.File().FieldType(fields[column]);
      if (type == 9 || type == 10 || type == 12 || type == 16) {
        blobs.emplace_back(column, SetBlob(view, fields[column], text, buffer));
      } else {
        SetField(view, fields[column], text, buffer);
      }
    }
    for (const auto& [blobColumn, blob] : blobs) {
      column = blobColumn;
      CheckEntries(view, fields[column], blob, buffer);
    }
  } catch (const std::invalid_argument& e) {
    throw SourceError(source.Path(), row.line,
                      "field '" + FieldName(view, fields[column]) + "': " + e.what());
  } catch (int32_t code) {
    throw SourceError(source.Path(), row.line,
                      "the database engine refused the record (error " + std::to_string(code) + ")");
  }
}

void DatabaseBuilder::SetField(ppDatafile& view, int32_t field, const std::string& text, char* buffer) {
  const dbRecordLayout& layout = view.File().Layout();
  const int32_t type = layout.FieldType(field);
  ppParameter value;
  switch (type) {
    case ppParameter::kString:
      value.SetString(TextCell(text).c_str());
      break;
    case ppParameter::kLong:
    case ppParameter::kBare: {
      std::optional<int32_t> word = ParsePercentColour(text);
      if (!word && text.find(':') != std::string::npos) word = ReferenceValue(text, *this);
      if (!word) word = ParseWord(text);
      if (!word) throw std::invalid_argument("'" + text + "' is not a whole number");
      value.SetLong(*word);
      break;
    }
    case ppParameter::kLink: {
      const size_t colon = text.find(':');
      const std::string target = colon != std::string::npos
                                     ? text.substr(0, colon)
                                     : ppDatafile::LayoutNameOfFileId(layout.LinkedFileId(field)).c_str();
      if (target.empty()) throw std::invalid_argument("the link names no table: write layout:name");
      value.SetLong(RecordId(target, colon != std::string::npos ? text.substr(colon + 1) : text));
      break;
    }
    case ppParameter::kMoney: {
      const std::optional<int64_t> raw = ParseMoney(text);
      if (!raw) throw std::invalid_argument("'" + text + "' is not an amount (up to four decimals)");
      value.SetMoney(ppMoney::FromRaw(*raw));
      break;
    }
    case ppParameter::kDouble:
    case ppParameter::kFloat: {
      const std::optional<double> real = ParseReal(text);
      // "nan" and "inf" read as numbers, but no field of a catalogue means them.
      if (!real || !std::isfinite(*real)) throw std::invalid_argument("'" + text + "' is not a number");
      if (type == ppParameter::kFloat && !(std::fabs(*real) <= FLT_MAX))
        throw std::invalid_argument("'" + text + "' is too large for a 32-bit float");
      if (type == ppParameter::kDouble)
        value.SetDouble(ppDouble(*real));
      else
        value.SetFloat(ppFloat(float(*real)));
      break;
    }
    case ppParameter::kWideText:
      value.SetWString(Vcon::WString(TextCell(text).c_str()));
      break;
    case 11: {
      if (text.rfind("png:", 0) != 0)
        throw std::invalid_argument("a picture is \"png: <kind> <size> <#rrggbb>\"");
      const std::vector<uint8_t> bytes = MakePicture(text.substr(4));
      Handle h = nullptr;
      Vcon_HandleManager::MemNew(&h, uint32_t(bytes.size()));
      std::memcpy(*h, bytes.data(), bytes.size());
      layout.SetField(field, ppParameter(h), buffer);
      MemDispose(h);
      return;
    }
    default:
      throw std::invalid_argument("fields of type " + std::to_string(type) +
                                  " cannot be given in the sources");
  }
  layout.SetField(field, value, buffer);
}

Blob DatabaseBuilder::SetBlob(ppDatafile& view, int32_t field, const std::string& text, char* buffer) {
  const std::string layoutKey = Lower(view.File().Name());
  const std::string fieldName = FieldName(view, field);
  embeddedLayout_.clear();
  for (const EmbeddedField& e : kEmbeddedFields) {
    if (layoutKey == e.layout && fieldName == e.field) embeddedLayout_ = e.records;
  }
  const Blob blob = ParseBlob(text, *this);
  Handle h = dbBasicmmHandler::Data(buffer + view.File().Layout().Handler(field).Offset());
  MemSetSize(h, uint32_t(blob.bytes.size()));
  if (!blob.bytes.empty()) std::memcpy(*h, blob.bytes.data(), blob.bytes.size());
  return blob;
}

void DatabaseBuilder::CheckEntries(ppDatafile& view, int32_t field, const Blob& blob, const char* buffer) {
  const std::string layoutKey = Lower(view.File().Name());
  const std::string fieldName = FieldName(view, field);
  for (const EntryRule& rule : kEntryRules) {
    if (layoutKey != rule.layout || fieldName != rule.field) continue;
    if (blob.entries.empty()) throw std::invalid_argument("write the entries as words: or points:");
    uint32_t size = rule.size;
    const int32_t useParametrics = LongField(view, "useParametrics", buffer);
    if (fieldName == "parametrics") size = (useParametrics & 4) != 0 ? 48 : 44;
    if (fieldName == "shapes3D" && layoutKey == "qxunit") size = (useParametrics & 2) != 0 ? 64 : 40;
    for (size_t i = 0; i < blob.entries.size(); ++i) {
      const BlobEntry& entry = blob.entries[i];
      const std::string where = "entry " + std::to_string(i + 1) + ": ";
      if (entry.size != size)
        throw std::invalid_argument(where + std::to_string(entry.size) + " bytes, the field's entries have " +
                                    std::to_string(size));
      std::string target = rule.target;
      if (fieldName == "shapes3D" && size == 64 && entry.secondWord == 4) target = "qx3DShape";
      if (target.empty() || (entry.firstLayout.empty() && entry.firstWord == 0)) continue;
      if (Lower(entry.firstLayout) != Lower(target))
        throw std::invalid_argument(where + "the first word must name a " + target + " record (" + target +
                                    ":name)");
    }
  }
}

std::vector<uint8_t> DatabaseBuilder::EmbeddedTable(const std::string& path) {
  if (embeddedLayout_.empty()) throw std::invalid_argument("this field holds no embedded table");
  const std::string layout = embeddedLayout_;
  const TabSource source(folder_ / path);
  ppDatafile& view = View(layout);
  const std::vector<int32_t> fields = MapHeader(source, view);
  std::vector<uint8_t> blob;
  const auto appendWord = [&blob](int32_t word) {
    uint8_t bytes[4];
    std::memcpy(bytes, &word, 4);
    blob.insert(blob.end(), bytes, bytes + 4);
  };
  const ScopedRecordBuffer<ppDatafile> buffer(view);
  const OwnedHandle packed;
  for (const TabRow& row : source.Rows()) {
    view.ClearRecordBuffer(buffer.Get());
    FillRecord(view, source, fields, row, buffer.Get());
    view.PackRecord(buffer.Get(), packed.Get());
    const auto* bytes = reinterpret_cast<const uint8_t*>(*packed.Get());
    appendWord(int32_t(MemGetSize(packed.Get())));
    blob.insert(blob.end(), bytes, bytes + MemGetSize(packed.Get()));
    blob.resize((blob.size() + 3) / 4 * 4, 0);  // each record starts on a 4-byte boundary
  }
  appendWord(0);
  embeddedLayout_ = layout;
  return blob;
}

std::vector<uint8_t> DatabaseBuilder::FileBytes(const std::string& path) {
  std::ifstream in(folder_ / path, std::ios::binary);
  if (!in) throw std::invalid_argument("cannot read '" + path + "'");
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

void DatabaseBuilder::Build(const fs::path& settingsFolder) {
  const fs::path file = settingsFolder / output_;
  fs::create_directories(file.parent_path());
  fs::remove(file);
  ppFileSpec fileRecord{Vcon::WString(file.string().c_str())};
  fileRecord.word2 = typeCode_;
  fileRecord.word4 = secondCode_;
  database_ = std::make_unique<ppDatabase>(fileRecord);
  database_->BeginTransaction();
  try {
    const fs::path manifest = folder_ / "database.txt";
    for (const std::string& layout : emptyLayouts_) {
      try {
        View(layout);
      } catch (const std::invalid_argument& e) {
        throw SourceError(manifest, 0, e.what());
      }
    }
    for (Table& table : tables_) {
      try {
        View(table.layout);
      } catch (const std::invalid_argument& e) {
        throw SourceError(table.source->Path(), 0,
                          std::string(e.what()) + " (a table file is named after its layout)");
      }
      AddRecords(table);
    }
    for (Table& table : tables_) WriteRecords(table);
    database_->EndTransaction();
  } catch (...) {
    views_.clear();
    try {
      database_->AbortTransaction();
      database_->EndTransaction();
    } catch (...) {
      // The file is thrown away with its folder.
    }
    database_.reset();
    throw;
  }
  views_.clear();
  database_.reset();
}

}  // namespace mkcatalog
