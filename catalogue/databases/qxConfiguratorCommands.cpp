#include "catalogue/databases/qxConfiguratorCommands.h"

#include "framework/ppApplication.h"
#include "framework/ppSwitchBoard.h"

namespace {

// The 3D pane's navigation command and its reset code.
constexpr int32_t kNavigate = 3080, kNavigationReset = 2265;

constexpr qxConfiguratorCommands::Command kCommands[] = {
    {"NewRoom", ppApplication::kNewDocumentCommand, 0},
    {"TurnSelection", 4008, 0},
    {"ResetView", kNavigate, kNavigationReset},
    {"Print", 19, 0},
};

}  // namespace

std::span<const qxConfiguratorCommands::Command> qxConfiguratorCommands::Commands() { return kCommands; }

qxConfiguratorCommands::qxConfiguratorCommands() : ppCollaborator(nullptr) {
  for (const Command& c : kCommands) SubscribeByNames(c.name);
}

void qxConfiguratorCommands::ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t) {
  if (channel != ppSwitchBoard::kNamedChannel) return;
  for (const Command& c : kCommands) {
    if (ppSwitchBoard::MessageIdByName(c.name, false) != id) continue;
    ppEventHandler* target = target_ != nullptr ? target_ : gApplication;
    if (target != nullptr) target->DoCommand(c.command, c.parameter);
    return;
  }
}
