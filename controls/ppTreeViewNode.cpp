#include "controls/ppTreeViewNode.h"

#include <cstdint>
#include <unordered_map>

#include "platform/ResetList.h"

namespace {

// Owned by the user-interface thread. Identities start at 1, so 0 never names a node.
std::unordered_map<int32_t, ppTreeViewNode*> gNodes;
int32_t gNextIdentity = 1;

// Nodes that outlive a fresh desktop keep their identities; only an empty table starts over.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("controls: tree node identities", [] {
  if (gNodes.empty()) gNextIdentity = 1;
});

int32_t NewIdentity() {
  // Wrapping past the largest value skips identities still in use (and 0 and negatives).
  for (;;) {
    const int32_t identity = gNextIdentity;
    gNextIdentity = identity == INT32_MAX ? 1 : identity + 1;
    if (gNodes.find(identity) == gNodes.end()) return identity;
  }
}

}  // namespace

ppTreeViewNode::ppTreeViewNode(const Vcon::WString& name) : name_(name), identity_(NewIdentity()) {
  gNodes[identity_] = this;
}

ppTreeViewNode::~ppTreeViewNode() {
  children_.clear();
  gNodes.erase(identity_);
}

ppTreeViewNode* ppTreeViewNode::AddChild(std::unique_ptr<ppTreeViewNode> child) {
  children_.push_back(std::move(child));
  return children_.back().get();
}

ppTreeViewNode* ppTreeViewNode::FromIdentity(int32_t identity) {
  auto it = gNodes.find(identity);
  return it != gNodes.end() ? it->second : nullptr;
}
