// The pop-up window base of the popup selector's drop-downs (the list and the tree): a window of
// class "ZelvLiteModule" bound to its object through the property "mod". Mouse messages that reach
// it while it holds the capture are handed to the child window under the point (its scroll bar),
// so the bar keeps working. The owner field is not owned; the field clears it (DetachOwner) before
// it deletes the pop-up, so nothing is reported back into a field that is going away.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "framework/ppWindow.h"

class iSelectorSceneRefresh;
class ppPopupSelector;

class ppSelectorDialog : public ppWindow {
 public:
  static constexpr const char* kClassName = "ZelvLiteModule";
  static constexpr const char* kProperty = "mod";
  // Commands that refresh the 3D pane: rulers (and close), pending redraw, both (and close).
  static constexpr int32_t kRefreshRulers = 8995;
  static constexpr int32_t kRefreshPending = 8996;
  static constexpr int32_t kRefreshBoth = 8997;

  explicit ppSelectorDialog(ppPopupSelector* owner);
  ~ppSelectorDialog() override;

  // Moves the highlight by -1, 0 or +1; ends with a commit or a cancel. Empty here.
  virtual void MoveHighlight(int32_t) {}
  virtual void Finish(bool) {}

  void DoCommand(int32_t command, intptr_t parameter) override;

  ppPopupSelector* Owner() const { return owner_; }
  void DetachOwner() { owner_ = nullptr; }

  // Not owned; null uninstalls.
  static void InstallSceneRefresh(iSelectorSceneRefresh* refresh);
  static iSelectorSceneRefresh* SceneRefresh();

 protected:
  // Creates the platform window (hidden) at `screen` (outer rectangle, screen pixels).
  void CreatePopup(plat::DWORD exStyle, const plat::RECT& screen, plat::HWND ownerWindow);
  // Answers a key; true when handled (every key is).
  virtual bool PopupKey(plat::WPARAM key, bool alt, bool shift);

  ppPopupSelector* owner_;

 private:
  static plat::LRESULT Proc(plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam);
  static void RegisterClassOnce();
};
