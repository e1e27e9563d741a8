#include "elements/units/WorktopTable.h"

#include <cstdlib>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "database/ppDatafile.h"
#include "catalogue/records/RecordField.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/CatalogReads.h"
#include "foundation/FileOperations.h"
#include "foundation/TabField.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/ResetList.h"

namespace {

// The worktop table in file order; user-interface thread only.
std::vector<WorktopInfo> gWorktops;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("worktop table", [] { gWorktops.clear(); });

// The entry of a line, or one without a database when the catalogue or the record is missing.
WorktopInfo EntryOf(int32_t catalogue, int32_t storedId) {
  WorktopInfo info;
  zelvDatabase* db = iElementHost::Current().FindDatabase(catalogue);
  if (db == nullptr) return info;
  zelvproTopViewFil& file = db->TopViewFile();
  const int32_t id = CatalogReads::RecordOfStoredId(file, storedId, "ID");
  ScopedRecordBuffer<ppDatafile> buffer(file);
  if (id == 0 || !CatalogReads::Read(file, id, buffer.Get())) return info;
  const char* record = buffer.Get();
  info.db = db;
  info.recordId = id;
  info.size = ppVector3(float(RecordField(file, "width").Double(record)),
                        float(RecordField(file, "height").Double(record)),
                        float(RecordField(file, "depth").Double(record)));
  return info;
}

// The low 32 bits of a decimal field.
int32_t NumberOf(const char* field) { return int32_t(uint32_t(std::strtoll(field, nullptr, 10))); }

}  // namespace

void WorktopTable::ReadWorktopInfo() {
  gWorktops.clear();
  Handle text = nullptr;
  try {
    text = ReadFileToHandle(ppFileSpec(Vcon::WString(u".\\settings\\info\\worktops.txt")));
  } catch (...) {
    return;  // no file: no worktops
  }
  if (text == nullptr) return;
  std::string copy(*text, size_t(MemGetSize(text)));
  MemDispose(text);
  ReadText(copy);
}

void WorktopTable::ReadText(const std::string& text) {
  gWorktops.clear();
  const char* next = text.c_str();
  char first[64], second[64];
  while (next != nullptr && *next != '\0') {
    bool lineEnded = false;
    next = ParseTabField(first, sizeof first, next, lineEnded);
    if (next == nullptr || lineEnded) return;  // a single field ends the file
    next = ParseTabField(second, sizeof second, next, lineEnded);
    const WorktopInfo info = EntryOf(NumberOf(first), NumberOf(second));
    if (info.db != nullptr) gWorktops.push_back(info);
  }
}

const std::vector<WorktopInfo>& WorktopTable::Entries() { return gWorktops; }

void WorktopTable::Clear() { gWorktops.clear(); }

std::vector<WorktopTable::Cut> WorktopTable::Cover(const std::vector<float>& widths, float length) {
  std::vector<Cut> cuts;
  if (widths.empty()) return cuts;
  // Cut piece by piece, a length far beyond the widths would never end: a float length less a width
  // may be the same length again.
  if (widths.back() > 0.0f && !(double(length) / double(widths.back()) < double(kMostPieces))) {
    bool oneTakesAll = false;
    for (float width : widths) oneTakesAll = oneTakesAll || width >= length;
    if (!oneTakesAll) return cuts;
  }
  while (length > 0.0f) {
    size_t i = 0;
    while (i < widths.size() && widths[i] < length) ++i;
    if (i < widths.size()) {
      cuts.push_back({i, length});
      return cuts;
    }
    if (widths.back() <= 0.0f) return cuts;
    cuts.push_back({widths.size() - 1, widths.back()});
    length -= widths.back();
  }
  return cuts;
}
