// A unit tree file of the calculation folder as a user or another program may leave it: any bytes.
// The records are read into the tree, the tree is read once more on top of itself, and every node
// must lie within the depth limit with a text no longer than a field. Unit nodes need an open
// catalogue; without one every record is a group, which is what the parsing covers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "calculation/UnitTrees.h"
#include "calculation/qxUnitTreeNode.h"

namespace {

void Check(qxUnitTreeNode* node) {
  std::vector<qxUnitTreeNode*> pending{node};
  while (!pending.empty()) {
    qxUnitTreeNode* n = pending.back();
    pending.pop_back();
    if (n->Depth() > unit_trees::kDepthLimit) __builtin_trap();
    // A field of at most kFieldLimit bytes widens to at most that many characters.
    if (n->Name().size() > qxUnitTreeNode::kFieldLimit) __builtin_trap();
    for (size_t i = 0; i < n->ChildCount(); ++i) pending.push_back(n->ChildAt(i));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::EnsureZone();
  FreeUnitTrees();
  try {
    ReadUnitTreeFile(Vcon::WString(Vcon::String(fuzz::WriteScratchFile("tree.txt", data, size))));
  } catch (int32_t) {
    return 0;  // a file the layer refuses is an error number, never a crash
  }
  ReadUnitTreeText(reinterpret_cast<const char*>(data), size);
  if (qxUnitTreeNode* root = UnitTreeRoot()) Check(root);
  FreeUnitTrees();
  return 0;
}
