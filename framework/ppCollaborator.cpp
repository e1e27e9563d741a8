#include "framework/ppCollaborator.h"

#include "framework/ppSwitchBoard.h"

ppCollaborator::ppCollaborator(ppSwitchBoard* board) : board_(board ? board : &ppSwitchBoard::Global()) {}

ppCollaborator::ppCollaborator(const ppCollaborator& other) : board_(other.board_) {}

ppCollaborator::~ppCollaborator() {
  board_->Unsubscribe(this, -1, -1);
  if (board_ != &ppSwitchBoard::Global()) ppSwitchBoard::Global().Unsubscribe(this, -1, -1);
}

void ppCollaborator::ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t) {}

std::string ppCollaborator::GetName() { return std::string(); }

void ppCollaborator::Subscribe(int32_t channel, int32_t id, ppSwitchBoard* board) {
  (board ? board : board_)->Subscribe(this, channel, id);
}

void ppCollaborator::Broadcast(int32_t channel, int32_t id, intptr_t parameter, ppSwitchBoard* board) {
  (board ? board : board_)->Dispatch(this, channel, id, parameter);
}

void ppCollaborator::SubscribeByNames(const std::string& names) {
  std::string rest = names;
  while (!rest.empty()) {
    size_t bar = rest.find('|');
    std::string name = rest.substr(0, bar);
    rest = bar == std::string::npos ? std::string() : rest.substr(bar + 1);
    Subscribe(ppSwitchBoard::kNamedChannel, ppSwitchBoard::MessageIdByName(name, true));
  }
}
