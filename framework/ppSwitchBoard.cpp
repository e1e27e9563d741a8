#include "framework/ppSwitchBoard.h"

#include <map>

#include "framework/ppCollaborator.h"
#include "platform/ResetList.h"

namespace {

std::map<std::string, int32_t>& NameTable() {
  static std::map<std::string, int32_t> table;
  return table;
}

// Subscriptions and names belong to the user-interface thread.
[[maybe_unused]] const bool kReset = plat::ResetList::Add("switchboard: subscriptions, names", [] {
  ppSwitchBoard::Global().Unsubscribe(nullptr, -1, -1);
  ppSwitchBoard::ResetNameTableForTests();
});

}  // namespace

ppSwitchBoard::~ppSwitchBoard() {
  while (head_) {
    Node* next = head_->next;
    delete head_;
    head_ = next;
  }
}

ppSwitchBoard& ppSwitchBoard::Global() {
  static ppSwitchBoard board;
  return board;
}

int32_t ppSwitchBoard::MessageIdByName(const std::string& name, bool create) {
  auto& table = NameTable();
  auto it = table.find(name);
  if (it != table.end()) return it->second;
  if (!create) return -1;
  int32_t id = kNamedChannel + static_cast<int32_t>(table.size());
  table.emplace(name, id);
  return id;
}

void ppSwitchBoard::ResetNameTableForTests() { NameTable().clear(); }

bool ppSwitchBoard::Matches(const Node& node, ppCollaborator* subscriber, int32_t channel, int32_t id) {
  if (subscriber && subscriber != node.subscriber) return false;
  if (channel != -1 && channel != node.channel && node.channel != -1) return false;
  return id == -1 || id == node.id || node.id == -1;
}

void ppSwitchBoard::Subscribe(ppCollaborator* subscriber, int32_t channel, int32_t id) {
  head_ = new Node{subscriber, channel, id, head_, false};
}

void ppSwitchBoard::Unsubscribe(ppCollaborator* subscriber, int32_t channel, int32_t id) {
  for (Node* n = head_; n; n = n->next) {
    if (!n->removed && Matches(*n, subscriber, channel, id)) n->removed = true;
  }
  // During a dispatch the walk may stand on a removed node: unlink only when it has finished.
  if (dispatching_ == 0) SweepRemoved();
}

void ppSwitchBoard::Dispatch(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) {
  ++dispatching_;
  try {
    for (Node* n = head_; n; n = n->next) {
      // A subscriber that unsubscribed (or was destroyed) during this dispatch is not told again.
      if (!n->removed && Matches(*n, nullptr, channel, id))
        n->subscriber->ReceiveMessage(sender, channel, id, parameter);
    }
  } catch (...) {
    if (--dispatching_ == 0) SweepRemoved();
    throw;
  }
  if (--dispatching_ == 0) SweepRemoved();
}

void ppSwitchBoard::SweepRemoved() {
  Node** link = &head_;
  while (*link) {
    if ((*link)->removed) {
      Node* doomed = *link;
      *link = doomed->next;
      delete doomed;
    } else {
      link = &(*link)->next;
    }
  }
}

int32_t ppSwitchBoard::SubscriptionCount() const {
  int32_t count = 0;
  for (Node* n = head_; n; n = n->next) count += n->removed ? 0 : 1;
  return count;
}
