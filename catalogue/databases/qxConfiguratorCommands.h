// The commands that the configurator's picture buttons give. A button field of a layout record only
// broadcasts the message names of its record on the program-wide switchboard, and only names the
// switchboard already knows; this collaborator registers one name per command and, hearing one,
// hands its command to the program's command chain (the application, which passes it on to the
// document window and the canvas of the current view), as the menu item or key for it would.
//
//   "NewRoom"        11    a new document, whose plan is the new room (the document window asks
//                          about unsaved changes first)
//   "TurnSelection"  4008  the selection turns one rotation step clockwise (the plan canvases)
//   "ResetView"      3080  with 2265: every camera back to its preset, the view fitted to the room
//                          (the 3D view)
//   "Print"          19    prints the current view; in the item list view the price list
//
// The application database owns one for as long as it is open, so the names exist before the first
// configurator is built. User-interface thread only.
#pragma once

#include <cstdint>
#include <span>

#include "framework/ppCollaborator.h"

class ppEventHandler;

class qxConfiguratorCommands : public ppCollaborator {
 public:
  struct Command {
    const char* name;  // the message name a layout record's "text" gives
    int32_t command;
    intptr_t parameter;
  };
  static std::span<const Command> Commands();

  // Registers every name on the global switchboard and listens to it.
  qxConfiguratorCommands();

  // The handler the commands go to; null (the default): the application at the time of the message.
  // Not owned.
  void SetTarget(ppEventHandler* target) { target_ = target; }

  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;

 private:
  ppEventHandler* target_ = nullptr;
};
