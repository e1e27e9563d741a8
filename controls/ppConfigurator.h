// A set of panels shown one at a time under a row of tabs, one tab per panel. It is a field itself:
// the fields inside find it through GetConfigurator and share its switchboard, and it keeps undo
// stacks of its own for edits made where no view above it has any. Builders empty it (RemoveAll),
// create each panel with the configurator as parent, fill it, hand it over (AddPanel), and place the
// tabs (PlaceTabs). Names handed between configurators read "field:tab caption".
//
// Ownership: the configurator owns its tabs, their panels and the owned objects (kept exactly as
// long as the current panels). A panel still inside its own call when RemoveAll runs (a button's
// press, a pop-up commit whose write rebuilds the panels) is hidden and detached at once and deleted
// after the current message, through the framework's pending deletions.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "controls/ppField.h"
#include "framework/ppUndoer.h"

class ppConfigPanel;
class ppConfigTab;

class ppConfigurator : public ppField {
 public:
  // Height of the strip behind the tab row, pixels.
  static constexpr int32_t kTabStripHeight = 22;

  // `frame` in the parent's coordinates; `board` null: the global switchboard (not owned).
  ppConfigurator(ppView* parent, const plat::RECT& frame, ppSwitchBoard* board, bool singlePage);
  ~ppConfigurator() override;

  virtual void SetDefaultCursor();

  void SetSinglePage() { singlePage_ = true; }
  bool IsSinglePage() const { return singlePage_; }

  // Takes `panel` over with a new tab at the end of the row.
  void AddPanel(ppConfigPanel* panel);
  // Places the tabs from (3, 5); selects the first when no panel is current.
  void PlaceTabs();
  void Select(ppConfigTab* tab);
  ppConfigTab* GetSelectedTab() const;
  // Deletes (or, while they run, retires) every tab and panel, then the owned objects in order. The
  // undo stacks stay.
  void RemoveAll();
  // Writes what was typed into the current panel's focused field through its data unit, as Tab or
  // Return would. Called before a selection change or a new object rebuilds the panels: a rebuild
  // hides the field, which drops typed text, and by then the field's target may be another object.
  // True when the field took it (or nothing was pending).
  bool CommitFocusedInput();
  // The same on the program-wide configurator, when there is one.
  static bool CommitHostInput();
  // Keeps `object` until the next RemoveAll (or the configurator's end).
  template <class T>
  void PushObject(std::unique_ptr<T> object) {
    if (object) owned_.emplace_back(object.release(), [](void* p) { delete static_cast<T*>(p); });
  }
  size_t OwnedObjectCount() const { return owned_.size(); }

  ppConfigPanel* CurrentPanel() const { return current_; }
  const std::vector<ppConfigTab*>& Tabs() const { return tabs_; }
  ppUndoer& UndoStacks() { return undo_; }

  // ---- Field operations.
  void RequestLayout() override;
  ppConfigurator* GetConfigurator() override { return this; }
  std::string GetFocusedName() override;
  bool FocusByName(const std::string& name) override;
  void Refresh(int32_t, int32_t, ppCollaborator*, intptr_t) override {}

  // ---- View operations.
  void DoCommand(int32_t command, intptr_t parameter) override;
  void KeyDown(signed char key, int32_t flags) override;
  bool IsDoubleClick(int32_t x, int32_t y) override;
  void DrawContent(ppDC& dc) override;
  // With a tab shown its content starts by filling the whole visible area in the background colour.
  std::unique_ptr<ppRegion> GetOpaqueRegion(const ppDC& dc) override;
  void SupervisorResized(int32_t dx, int32_t dy) override;
  // The stacks of the views above when they have any, else the configurator's own.
  ppUndoer* GetUndoer() override;

  // The program-wide configurator (the one that registered as the configurator host), or null.
  static ppConfigurator* Host();
  // Hands `object` to the program-wide configurator; without one it is deleted at once.
  template <class T>
  static void PushObjectToHost(std::unique_ptr<T> object) {
    if (ppConfigurator* host = Host()) host->PushObject(std::move(object));
  }

 private:
  // Deletes `view` now, or retires it to the pending deletions when it is inside its own call.
  void Retire(ppView* view, bool busy);
  bool SearchFields(const std::string& name);

  ppUndoer undo_;
  ppConfigPanel* current_ = nullptr;
  std::vector<ppConfigTab*> tabs_;  // owned, in the order the panels were added
  bool singlePage_;
  std::vector<std::unique_ptr<void, void (*)(void*)>> owned_;
  std::vector<ppView*> retired_;  // handed to the pending deletions; taken back at the end
};
