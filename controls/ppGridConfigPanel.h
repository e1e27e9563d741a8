// The one panel of a grid cell editor. It keeps no focus ring: leaving its field forwards (Tab,
// Return) or backwards (with Shift) becomes command 0 or 1 to the editor, which passes it to the
// grid body, where it moves the selection. It draws nothing and ignores keys; a click on it gives
// the keyboard focus to its window. User-interface thread only.
#pragma once

#include "controls/ppConfigPanel.h"

class ppGridConfigPanel : public ppConfigPanel {
 public:
  // The commands the panel sends to its supervisor.
  static constexpr int32_t kNextCell = 0;
  static constexpr int32_t kPreviousCell = 1;

  explicit ppGridConfigPanel(ppView* editor);

  void FocusFirst() override {}
  ppField* FocusNext(ppField* from) override;
  ppField* FocusPrevious(ppField* from) override;
  void SetFocusTo(ppField*) override {}
  ppField* GetFocusedField() override { return nullptr; }
  void KeyDown(signed char, int32_t) override {}
  void DrawContent(ppDC&) override {}
  bool IsDoubleClick(int32_t x, int32_t y) override;

 private:
  void SendToSupervisor(int32_t command);
};
