#include "tools/dbtool/DbTool.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

#include "database/HandleList.h"
#include "database/dbBytes.h"
#include "database/dbDatafile.h"
#include "database/dbErrors.h"
#include "database/dbStore.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "foundation/FileOperations.h"
#include "tools/dbtool/DbToolMaps.h"
#include "foundation/OwnedHandle.h"

namespace {

constexpr int kFailed = 1, kUsage = 2;

// A failure already worded for the user.
struct ToolError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// What the engine's error numbers mean to someone looking at a file.
std::string ErrorText(int32_t code) {
  switch (code) {
    case db::kNotFound:
      return "not found";
    case db::kOutOfRange:
      return "record number out of range";
    case db::kAlreadyExists:
      return "already exists";
    case db::kDamagedFile:
      return "the file is damaged";
    case kFileErrCannotOpen:
      return "cannot open the file";
    case db::kBadCall:
      return "the file cannot be used for this";
    case -1:
      return "no record layout of that name";
    default:
      return "error " + std::to_string(code);
  }
}

ppFileSpec SpecOf(const std::string& path) { return ppFileSpec(Vcon::WString(path.c_str())); }

// Opens an existing database; opening would otherwise create a missing one.
std::unique_ptr<ppDatabase> OpenExisting(const std::string& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) throw ToolError(path + ": no such database file");
  ppFileSpec fileSpec = SpecOf(path);
  return std::make_unique<ppDatabase>(fileSpec);
}

// The optional "--map <map>" after the positional arguments.
std::string MapOption(const std::vector<std::string>& args, size_t first) {
  if (args.size() == first) return "";
  if (args.size() == first + 2 && args[first] == "--map") return args[first + 1];
  throw std::invalid_argument("expected --map <map>");
}

int Create(const std::vector<std::string>& args, std::ostream& out) {
  std::error_code error;
  if (std::filesystem::exists(args[1], error)) throw ToolError(args[1] + ": already exists");
  ppFileSpec fileSpec = SpecOf(args[1]);
  ppDatabase database(fileSpec);
  out << "created " << args[1] << "\n";
  return 0;
}

int Import(const std::vector<std::string>& args, std::ostream& out) {
  const std::string mapText = MapOption(args, 4);
  auto database = OpenExisting(args[1]);
  ppDatafile view(args[2].c_str(), *database);
  OwnedHandle map(mapText.empty() ? DefaultFieldMap("IMPT", view) : ParseFieldMap(mapText, view.File()));
  const int32_t before = view.GetRecordCount();
  view.ImportFromFile(map.Get(), SpecOf(args[3]));
  out << "imported into " << args[2] << ": " << view.GetRecordCount() - before << " added, "
      << view.GetRecordCount() << " records\n";
  return 0;
}

int Export(const std::vector<std::string>& args, std::ostream& out) {
  const std::string mapText = MapOption(args, 4);
  auto database = OpenExisting(args[1]);
  ppDatafile view(args[2].c_str(), *database);
  OwnedHandle map(mapText.empty() ? DefaultFieldMap("EXPT", view) : ParseFieldMap(mapText, view.File()));
  view.SelectAll();
  std::filesystem::remove(args[3]);
  ppFileSpec file = SpecOf(args[3]);
  FileCreate(file);
  FileOpen(file, file, false);
  try {
    view.ExportToFile(file, map.Get());
  } catch (...) {
    FileClose(file);
    throw;
  }
  FileClose(file);
  out << "exported " << view.GetSelectedCount() << " records of " << args[2] << "\n";
  return 0;
}

int Tables(const std::vector<std::string>& args, std::ostream& out) {
  auto database = OpenExisting(args[1]);
  const int32_t count = database->FileCount();
  for (int32_t i = 0; i < count; ++i) {
    const std::string name = database->FileNameAt(i);
    const int32_t descriptor = database->RecordNumberOfName(name.c_str());
    Handle h = database->ReadRecord(descriptor);
    const bool whole = MemGetSize(h) >= dbDatafile::kDescriptorSize;
    const int32_t records = whole ? db::GetI32(*h, 16) : 0;
    database->ReleaseRecord(descriptor);
    out << name << "\t" << (whole ? std::to_string(records) : std::string("?")) << "\n";
  }
  return 0;
}

// Header words, the record map and the free extents of the file as committed on disk.
int Dump(const std::vector<std::string>& args, std::ostream& out) {
  auto database = OpenExisting(args[1]);
  std::ifstream in(args[1], std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
  const auto word = [&](uint32_t offset) {
    if (offset + 4 > bytes.size()) throw db::kDamagedFile;
    return db::GetI32(bytes.data(), offset);
  };
  constexpr uint32_t h = dbStore::kHeaderOffset;
  out << "file size\t" << bytes.size() << "\n"
      << "growth unit\t" << word(h + dbStore::kGrowthUnit) << "\n"
      << "last record number\t" << word(h + dbStore::kLastRecordNumber) << "\n"
      << "free record head\t" << word(h + dbStore::kFreeRecordHead) << "\n"
      << "record map root\t" << word(h + dbStore::kRecordMapRoot) << "\n"
      << "directory root\t" << word(h + dbStore::kDirectoryRoot) << "\n"
      << "free extent root\t" << word(h + dbStore::kFreeExtentRoot) << "\n"
      << "format\t" << word(h + dbStore::kFormatWord) << "\n";

  out << "records (number, position, length)\n";
  dbStore& store = database->Store();
  for (int32_t n = 1; n <= store.LastRecordNumber(); ++n) {
    const dbExtent e = store.MapEntry(n);
    if (e.position == -1)
      out << n << "\tfree\tnext " << e.length << "\n";
    else
      out << n << "\t" << e.position << "\t" << e.length << "\n";
  }

  out << "free extents (position, length)\n";
  int32_t page = word(h + dbStore::kFreeExtentRoot);
  for (size_t pages = 0; page != 0; ++pages) {
    if (page < 0 || pages > bytes.size() / dbStore::kPageSize) throw db::kDamagedFile;
    for (uint32_t slot = 0; slot < uint32_t(dbStore::kExtentSlots); ++slot) {
      const int32_t length = word(uint32_t(page) + 12 + 8 * slot);
      if (length != 0) out << word(uint32_t(page) + 8 + 8 * slot) << "\t" << length << "\n";
    }
    page = word(uint32_t(page) + 4);
  }
  return 0;
}

// The records of a table in the order of one field's index, with their keys.
int Index(const std::vector<std::string>& args, std::ostream& out) {
  auto database = OpenExisting(args[1]);
  ppDatafile view(args[2].c_str(), *database);
  const int32_t field = view.IndexOf(Vcon::String(args[3]));
  if (field < 0 || field >= view.FieldCount()) throw ToolError(args[3] + ": no such field");
  if (view.File().IndexKind(field) < 0) throw ToolError(args[3] + ": the field has no index");
  view.SelectAllByIndex(field);
  out << "index of " << args[2] << "." << args[3] << ": " << view.GetSelectedCount() << " keys\n";
  for (int32_t i = 0; i < view.GetSelectedCount(); ++i) {
    view.ReadRecordAt(i, nullptr);
    ppParameter key;
    view.GetFieldValue(field, key, nullptr);
    out << view.RecordIdAt(i) << "\t" << key.AsString() << "\n";
  }
  return 0;
}

struct Command {
  const char* name;
  size_t minArgs;  // the command's name included
  size_t maxArgs;
  int (*run)(const std::vector<std::string>&, std::ostream&);
};

constexpr Command kCommands[] = {
    {"create", 2, 2, Create}, {"import", 4, 6, Import}, {"export", 4, 6, Export},
    {"tables", 2, 2, Tables}, {"dump", 2, 2, Dump},     {"index", 4, 4, Index},
};

void Usage(std::ostream& err) {
  err << "usage: dbtool create <db>\n"
         "       dbtool import <db> <layout> <text file> [--map <map>]\n"
         "       dbtool export <db> <layout> <text file> [--map <map>]\n"
         "       dbtool tables <db>\n"
         "       dbtool dump <db>\n"
         "       dbtool index <db> <table> <field>\n"
         "a map is field[:linked file id[:third word]],... with fields by name or number\n";
}

}  // namespace

int RunDbTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Command* command = nullptr;
  for (const Command& c : kCommands) {
    if (!args.empty() && args[0] == c.name) command = &c;
  }
  if (command == nullptr || args.size() < command->minArgs || args.size() > command->maxArgs) {
    Usage(err);
    return kUsage;
  }
  try {
    return command->run(args, out);
  } catch (const std::invalid_argument& e) {
    err << "dbtool: " << e.what() << "\n";
    Usage(err);
    return kUsage;
  } catch (const std::exception& e) {
    err << "dbtool: " << e.what() << "\n";
  } catch (int32_t code) {
    err << "dbtool: " << args[1] << ": " << ErrorText(code) << " (" << code << ")\n";
  }
  return kFailed;
}
