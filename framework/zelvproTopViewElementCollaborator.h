#pragma once
// The switchboard link of an element's information panel: it listens for the panel's named messages
// and, when the panel's warning button is pressed, shows the element's placement warning below the
// button. Lives as long as the panel; the element is not owned.

#include <cstdint>
#include <string>

#include "framework/ppCollaborator.h"

class iProperty;

class zelvproTopViewElementCollaborator : public ppCollaborator {
 public:
  static constexpr const char* kWarningButtonMessage = "kWarningButton";

  explicit zelvproTopViewElementCollaborator(iProperty* element);

  // Only the warning button is handled here; the parameter is the pressed button (a ppView*).
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;
  std::string GetName() override;  // "TopViewElementModulePanel"

  iProperty* Element() const { return element_; }

 private:
  iProperty* element_;  // not owned
};
