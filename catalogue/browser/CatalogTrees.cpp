#include "catalogue/browser/CatalogTrees.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

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

// Where the fields of a line that need decoding (quoted, or with a backslash escape) are written:
// one buffer per kept field, and one for the fields past them, read only to be passed over.
using DecodedFields = std::array<std::array<char, CatalogTrees::kFieldLimit + 1>, kEntryFields + 1>;

// The bytes that end a field that needs no decoding (TAB, LF, CR, NUL) or show that it needs some
// (a backslash), as a table: the scan over a field is one look-up a byte.
constexpr std::array<bool, 256> kStopsPlainField = [] {
  std::array<bool, 256> stops{};
  for (unsigned char c : {'\t', '\n', '\r', '\0', '\\'}) stops[c] = true;
  return stops;
}();

bool EndsPlainField(char c) { return kStopsPlainField[static_cast<unsigned char>(c)]; }

// Reads the field at `p` as ParseTabField does (cut at kFieldLimit bytes): answers where the next
// field starts (null when the field ended the text, leaving `lineEnded` as it was) and whether the
// field ended its line. `field` views the text itself when the field needs no decoding, else
// `buffer`, which holds the decoded field.
const char* ReadField(const char* p, char* buffer, std::string_view& field, bool& lineEnded) {
  if (*p != '"') {
    const char* end = p;
    while (!EndsPlainField(*end)) ++end;
    if (*end != '\\') {
      field = std::string_view(p, std::min(size_t(end - p), CatalogTrees::kFieldLimit));
      if (*end == '\0') return nullptr;
      if (*end == '\t' || *end == '\r') ++end;
      lineEnded = *end == '\n';
      if (lineEnded) ++end;
      return end;
    }
  }
  const char* next = ParseTabField(buffer, CatalogTrees::kFieldLimit + 1, p, lineEnded);
  field = std::string_view(buffer);
  return next;
}

// Reads the fields of the line at `p`; answers where the next line starts (null at the end of the
// text) and how many fields the line had. Only the first kEntryFields are kept, as views of the text
// or of `decoded`, valid until the next line is read. The field reader takes TAB LF for a line end;
// the TAB still separates an empty last field, which is counted.
const char* ReadLine(const char* start, const char* p, std::array<std::string_view, kEntryFields>& fields,
                     DecodedFields& decoded, size_t& count) {
  count = 0;
  while (true) {
    bool lineEnded = false;
    std::string_view field;
    p = ReadField(p, decoded[std::min(count, kEntryFields)].data(), field, lineEnded);
    if (count < kEntryFields) fields[count] = field;
    ++count;
    if (p == nullptr) return p;
    if (lineEnded) {
      if (p - start >= 2 && p[-2] == '\t') {
        if (count < kEntryFields) fields[count] = std::string_view();
        ++count;
      }
      return p;
    }
  }
}

size_t HashOf(std::string_view name) { return std::hash<std::string_view>{}(name); }

}  // namespace

CatalogTrees::CatalogTrees() { Clear(); }

CatalogTrees::~CatalogTrees() = default;

void CatalogTrees::Clear() {
  byName_.clear();
  indexed_ = 0;
  for (int32_t i = 0; i < kTreeCount; ++i) {
    tops_[size_t(i)] = std::make_unique<qxTopNode>(i);
    Index(tops_[size_t(i)].get());
  }
}

void CatalogTrees::Reserve(size_t more) {
  const size_t wanted = 2 * (indexed_ + more);
  if (wanted <= byName_.size()) return;
  size_t size = 16;
  while (size < wanted) size *= 2;
  std::vector<Slot> old(size);
  old.swap(byName_);
  const size_t mask = size - 1;
  for (const Slot& slot : old) {
    if (slot.node == nullptr) continue;
    size_t i = slot.hash & mask;
    while (byName_[i].node != nullptr) i = (i + 1) & mask;
    byName_[i] = slot;
  }
}

void CatalogTrees::Index(qxNode* node) {
  Reserve(1);
  const size_t hash = HashOf(node->Name());
  const size_t mask = byName_.size() - 1;
  size_t i = hash & mask;
  while (byName_[i].node != nullptr) i = (i + 1) & mask;
  byName_[i] = Slot{hash, node};
  ++indexed_;
}

template <class Visit>
void CatalogTrees::ForEachNamed(std::string_view name, Visit visit) const {
  const size_t hash = HashOf(name);
  const size_t mask = byName_.size() - 1;
  for (size_t i = hash & mask; byName_[i].node != nullptr; i = (i + 1) & mask) {
    if (byName_[i].hash == hash && std::string_view(byName_[i].node->Name()) == name &&
        visit(*byName_[i].node))
      return;
  }
}

void CatalogTrees::ParseText(const char* text, size_t size) {
  // A private copy ends at the first NUL, which the field reader takes for the end of the text.
  const std::string copy(text, strnlen(text, size));
  Reserve(copy.size() / 32);  // about one entry per 32 bytes of text
  std::array<std::string_view, kEntryFields> fields;
  DecodedFields decoded;
  const char* p = copy.c_str();
  while (p != nullptr && *p != '\0') {
    size_t count = 0;
    p = ReadLine(copy.c_str(), p, fields, decoded, count);
    if (count >= kEntryFields && (fields[0] == "GROUP" || fields[0] == "ITEM")) AddEntry(fields);
  }
}

void CatalogTrees::ParseHandle(Handle text) {
  const int32_t size = MemGetSize(text);
  if (size <= 0) return;
  ParseText(*text, size_t(size));
}

void CatalogTrees::AddEntry(const std::array<std::string_view, kEntryFields>& fields) {
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
  qxNode* first = nullptr;
  ForEachNamed(name, [&first](qxNode& node) {
    if (first == nullptr || node.ComesBefore(*first)) first = &node;
    return false;
  });
  return first;
}

bool CatalogTrees::SubtreeHolds(const qxNode& parent, std::string_view name) const {
  bool holds = false;
  ForEachNamed(name, [&](const qxNode& node) { return holds = node.IsWithin(parent); });
  return holds;
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
