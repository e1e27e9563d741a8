#pragma once
// The menu state object of the application: enables, greys and checks items of the frame menu by
// command id, and puts a menu's texts into the current language. The menu stays the application's;
// the helper only works on it. User-interface thread only.

#include <cstdint>

#include "framework/ApplicationSettings.h"
#include "platform/WindowTypes.h"

class ppApplication;

class ppMenuHelper {
 public:
  // The value of a check mark as items report and take it.
  static constexpr char kCheckMark = static_cast<char>(0xC3);

  ppMenuHelper(ppApplication* application, plat::HMENU menu);
  virtual ~ppMenuHelper() = default;
  ppMenuHelper(const ppMenuHelper&) = delete;
  ppMenuHelper& operator=(const ppMenuHelper&) = delete;

  void Enable(int32_t id);
  void Disable(int32_t id);
  // Checks the item when `mark` is kCheckMark, and unchecks it for any other value.
  void SetCheck(int32_t id, char mark);
  // kCheckMark when the item exists and is checked, else 0.
  char GetCheck(int32_t id);
  // Receives the word of the application's spare event hook; does nothing.
  virtual void Notice(uint32_t word);

  plat::HMENU Menu() const { return menu_; }
  ppApplication* Application() const { return application_; }

  // Walks `menu` depth first and asks `callback` for each item's text (separators are skipped); an
  // item whose answer is not empty gets that text. A submenu item is asked before its items.
  static void RewriteMenuTexts(plat::HMENU menu, ppMenuTextCallback callback);
  // True when the system reports version 4.0 (whose menu item records are the shorter kind).
  static bool IsVersion4_0();

 private:
  ppApplication* application_;  // not owned
  plat::HMENU menu_;            // not owned
};
