// The collaborator of the calculation line panel: listens for the tag button's "ShowTagDialog" and
// does nothing with it (the tag dialog is opened elsewhere). The configurator keeps it with the panel
// and deletes it with it; leaving the switchboard comes with the deletion. The line table is not
// owned. User-interface thread only.
#pragma once

#include <string>

#include "framework/ppCollaborator.h"

class zelvproCalculatorFil;

class zelvproCalculatorCollaborator : public ppCollaborator {
 public:
  explicit zelvproCalculatorCollaborator(zelvproCalculatorFil* lines);

  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;
  std::string GetName() override { return "CalculatorPanel"; }

  zelvproCalculatorFil* Lines() const { return lines_; }

 private:
  zelvproCalculatorFil* lines_;
};
