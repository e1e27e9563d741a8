#include "catalogue/browser/CatalogTrees.h"

#include <algorithm>
#include <cstring>

#include "catalogue/browser/qxGroupNode.h"
#include "catalogue/browser/qxItemNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/qxCatalogFil.h"
#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"
#include "foundation/PosixPath.h"
#include "foundation/TabField.h"
#include "foundation/OwnedHandle.h"

namespace {

constexpr size_t kEntryFields = 5;

// Reads the fields of the line at `p`; answers where the next line starts (null at the end of the
// text) and how many fields the line had. Only the first kEntryFields are kept. The field reader
// takes TAB LF for a line end; the TAB still separates an empty last field, which is counted.
const char* ReadLine(const char* start, const char* p, std::array<Vcon::String, kEntryFields>& fields,
                     size_t& count) {
  count = 0;
  char field[CatalogTrees::kFieldLimit + 1];
  while (true) {
    bool lineEnded = false;
    p = ParseTabField(field, sizeof field, p, lineEnded);
    if (count < kEntryFields) fields[count].assign(field);  // into the field's own storage, kept line to line
    ++count;
    if (p == nullptr) return p;
    if (lineEnded) {
      if (p - start >= 2 && p[-2] == '\t') {
        if (count < kEntryFields) fields[count].clear();
        ++count;
      }
      return p;
    }
  }
}

}  // namespace

CatalogTrees::CatalogTrees() { Clear(); }

CatalogTrees::~CatalogTrees() = default;

void CatalogTrees::Clear() {
  byName_.clear();
  for (int32_t i = 0; i < kTreeCount; ++i) {
    tops_[size_t(i)] = std::make_unique<qxTopNode>(i);
    Index(tops_[size_t(i)].get());
  }
}

void CatalogTrees::Index(qxNode* node) { byName_.emplace(std::string_view(node->Name()), node); }

void CatalogTrees::ParseText(const char* text, size_t size) {
  // A private copy ends at the first NUL, which the field reader takes for the end of the text.
  const std::string copy(text, strnlen(text, size));
  byName_.reserve(byName_.size() + copy.size() / 32);  // about one entry per 32 bytes of text
  std::array<Vcon::String, kEntryFields> fields;
  const char* p = copy.c_str();
  while (p != nullptr && *p != '\0') {
    size_t count = 0;
    p = ReadLine(copy.c_str(), p, fields, count);
    if (count >= kEntryFields && (fields[0] == "GROUP" || fields[0] == "ITEM")) AddEntry(fields);
  }
}

void CatalogTrees::ParseHandle(Handle text) {
  const int32_t size = MemGetSize(text);
  if (size <= 0) return;
  ParseText(*text, size_t(size));
}

void CatalogTrees::AddEntry(const std::array<Vcon::String, kEntryFields>& fields) {
  std::unique_ptr<qxNode> node;
  if (fields[0] == "GROUP") {
    node = std::make_unique<qxGroupNode>();
  } else {
    node = std::make_unique<qxItemNode>();
  }
  node->ParseFields(fields[1], fields[2], fields[3]);
  const std::string_view parentName = fields[4];
  qxNode* parent = nullptr;
  const auto keyword = std::find(kTopKeywords.begin(), kTopKeywords.end(), parentName);
  if (keyword != kTopKeywords.end()) {
    parent = tops_[size_t(keyword - kTopKeywords.begin())].get();
    node->SetImages(qxNode::kTopLevelClosedImage, qxNode::kTopLevelOpenImage);
  } else {
    parent = FindParent(parentName);
  }
  if (parent == nullptr || parent->IsItem() || parent->Depth() >= kDepthLimit) return;
  if (node->IsItem() && static_cast<qxItemNode&>(*node).Database() == nullptr) return;
  if (SubtreeHolds(*parent, node->Name())) return;
  qxNode* added = node.release();
  parent->AddChild(added);
  Index(added);
}

qxNode* CatalogTrees::FindParent(std::string_view name) const {
  const auto [from, to] = byName_.equal_range(name);
  qxNode* first = nullptr;
  for (auto it = from; it != to; ++it) {
    if (first == nullptr || it->second->ComesBefore(*first)) first = it->second;
  }
  return first;
}

bool CatalogTrees::SubtreeHolds(const qxNode& parent, std::string_view name) const {
  const auto [from, to] = byName_.equal_range(name);
  return std::any_of(from, to, [&parent](const auto& entry) { return entry.second->IsWithin(parent); });
}

std::vector<Vcon::String> CatalogTrees::BrowserTextNames(std::vector<Vcon::String> names) {
  const auto notText = [](const Vcon::String& name) {
    return name.size() < 4 || name.compare(name.size() - 4, 4, ".txt") != 0;
  };
  names.erase(std::remove_if(names.begin(), names.end(), notText), names.end());
  std::sort(names.begin(), names.end(), [](const Vcon::String& a, const Vcon::String& b) {
    return std::strcmp(a.c_str(), b.c_str()) < 0;
  });
  return names;
}

void CatalogTrees::LoadFiles(const Vcon::WString& folder) {
  for (const Vcon::String& name : BrowserTextNames(ListFolderNames(folder))) {
    const ppFileSpec file(folder + Vcon::WString(Vcon::Utf16FromUtf8(name)));
    Handle text = nullptr;
    try {
      text = ReadFileToHandle(file);
    } catch (int32_t) {
      continue;  // unreadable (a folder named like a text, no permission): the other texts still count
    }
    OwnedHandle owned(text);
    ParseHandle(owned.Get());
  }
}

void CatalogTrees::LoadFromRecords(const CatalogDatabaseList& databases) {
  for (int32_t i = 0; i < databases.Count(); ++i) {
    zelvDatabase* database = databases.DatabaseAt(i);
    if (database == nullptr) continue;
    qxCatalogFil records(*database);
    records.SelectAll();
    for (int32_t r = 0; r < records.GetSelectedCount(); ++r) {
      records.ReadRecordAt(r, nullptr);
      ParseHandle(records.CatalogText());
    }
  }
}
