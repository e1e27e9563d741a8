#include "calculation/UnitTrees.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_map>
#include <vector>

#include "calculation/CalculationCatalogViews.h"
#include "calculation/qxUnitTreeNode.h"
#include "catalogue/browser/CatalogTrees.h"
#include "foundation/FileOperations.h"
#include "foundation/FileRecord.h"
#include "foundation/LocaleNumbers.h"
#include "foundation/OwnedHandle.h"
#include "foundation/PosixPath.h"
#include "foundation/ResourceAccess.h"
#include "foundation/TabField.h"
#include "platform/ResetList.h"

namespace {

constexpr uint16_t kSettingsFiles = 132;

// Owned by the user-interface thread; null until the first "ROOT" record.
qxUnitTreeNode* gUnitTreeRoot = nullptr;
// Set by LoadUnitTreesWhenAsked until the first ask reads the folder; user-interface thread.
bool gReadPending = false;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("calculation: unit tree root", [] { FreeUnitTrees(); });

qxUnitTreeNode* MakeRoot() {
  if (gUnitTreeRoot == nullptr) {
    // Freed at exit before the tree nodes' identity table goes (registered after it was made).
    static const bool registered = std::atexit(FreeUnitTrees) == 0;
    (void)registered;
    gUnitTreeRoot = new qxUnitTreeNode();
  }
  return gUnitTreeRoot;
}

// The nodes of each id, so that finding a parent is no walk of the whole tree; only an id held by
// more than one node asks the tree for the first in pre-order.
class ParentIndex {
 public:
  explicit ParentIndex(qxUnitTreeNode* root) {
    if (root == nullptr) return;
    std::vector<qxUnitTreeNode*> pending{root};
    while (!pending.empty()) {
      qxUnitTreeNode* node = pending.back();
      pending.pop_back();
      Note(node);
      for (size_t i = 0; i < node->ChildCount(); ++i) pending.push_back(node->ChildAt(i));
    }
  }
  void Note(qxUnitTreeNode* node) {
    auto [it, added] = first_.emplace(node->Id(), node);
    if (!added) it->second = nullptr;  // shared: the tree decides
  }
  qxUnitTreeNode* Find(qxUnitTreeNode& root, int32_t id) const {
    auto it = first_.find(id);
    if (it == first_.end()) return nullptr;
    return it->second != nullptr ? it->second : root.FindById(id);
  }

 private:
  std::unordered_map<int32_t, qxUnitTreeNode*> first_;
};

}  // namespace

qxUnitTreeNode* UnitTreeRoot() {
  if (gReadPending) {
    gReadPending = false;
    LoadUnitTrees();
  }
  return gUnitTreeRoot;
}

void FreeUnitTrees() {
  gReadPending = false;
  delete gUnitTreeRoot;
  gUnitTreeRoot = nullptr;
}

void ReadUnitTreeText(const char* text, size_t size) {
  // A private copy ends at the first NUL, which the field reader takes for the end of the text.
  const std::string copy(text, strnlen(text, size));
  CalculationCatalogViews views;
  ParentIndex index(gUnitTreeRoot);
  char field[qxUnitTreeNode::kFieldLimit + 1];
  const char* p = copy.c_str();
  while (p != nullptr && *p != '\0') {
    if (*p == '\n' || *p == '\r') {  // a blank line
      ++p;
      continue;
    }
    // A record is five fields, one after another: a line end ends a field, not the record (a record
    // whose fields run over two lines is one record).
    bool lineEnded = false;
    p = ParseTabField(field, sizeof field, p, lineEnded);  // field 1, not used
    if (p == nullptr) break;
    auto node = std::make_unique<qxUnitTreeNode>();
    p = node->ParseLine(p, views, lineEnded);
    if (p == nullptr) break;                               // the text ended inside the record
    p = ParseTabField(field, sizeof field, p, lineEnded);  // field 5, the parent
    qxUnitTreeNode* parent = nullptr;
    if (std::strcmp(field, "ROOT") == 0) {
      if (gUnitTreeRoot == nullptr) index.Note(MakeRoot());
      parent = gUnitTreeRoot;
    } else if (gUnitTreeRoot != nullptr) {
      // Read as a number like any id: a parent written without digits is 0, the root.
      int32_t parentId = 0;
      TextToInt(parentId, Vcon::String(field));
      parent = index.Find(*gUnitTreeRoot, parentId);
    }
    if (parent == nullptr || parent->Depth() >= unit_trees::kDepthLimit) continue;
    index.Note(parent->AddChild(std::move(node)));
  }
}

void ReadUnitTreeFile(const Vcon::WString& path) {
  Handle text = ReadFileToHandle(ppFileSpec(path));
  if (text == nullptr) return;  // an empty file
  OwnedHandle owned(text);
  const int32_t size = MemGetSize(text);
  if (size > 0) ReadUnitTreeText(*text, size_t(size));
}

void LoadUnitTrees(const Vcon::WString& folder) {
  // Ascending byte order whatever order the file system lists them in.
  for (const Vcon::String& name : CatalogTrees::BrowserTextNames(ListFolderNames(folder))) {
    try {
      ReadUnitTreeFile(folder + Vcon::WString(Vcon::Utf16FromUtf8(name)));
    } catch (int32_t) {
      // Unreadable (a folder named like a text, no permission): the other files still count.
    }
  }
}

void LoadUnitTreesWhenAsked() { gReadPending = true; }

void LoadUnitTrees() {
  Vcon::WString folder;
  GetStringArrayText(folder, kSettingsFiles, unit_trees::kFolderEntry);
  if (!folder.empty()) LoadUnitTrees(folder);
}
