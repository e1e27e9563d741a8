#pragma once
// The switchboard link of an element's information panel: it listens for the panel's named messages;
// when the panel's warning button is pressed it shows the element's placement warning below the
// button, and the extras button has the element open its extras dialog. Lives as long as the panel;
// the element (one element, not a chain of them, so that one dialog opens) is not owned.

#include <cstdint>
#include <string>

#include "framework/ppCollaborator.h"

class iProperty;

class zelvproTopViewElementCollaborator : public ppCollaborator {
 public:
  static constexpr const char* kWarningButtonMessage = "kWarningButton";

  explicit zelvproTopViewElementCollaborator(iProperty* element);

  // The warning button (the parameter is the pressed button, a ppView*) and the extras dialog are
  // handled here; the tag dialog is not.
  void ReceiveMessage(ppCollaborator* sender, int32_t channel, int32_t id, intptr_t parameter) override;
  std::string GetName() override;  // "TopViewElementModulePanel"

  iProperty* Element() const { return element_; }

 private:
  void ShowExtras();

  iProperty* element_;  // not owned
};
