// A push button of the 3D canvas with a context menu for view points. Command 4010 (the document
// window's context-menu request, parameter: the screen point) opens a popup at that point when the
// application allows capturing view points (flags1 0x2000), for the home button (2441) only when the
// home view point may also be changed (flags1 0x4000). Item 4001 "Capture View Point" asks the
// supervisor for 4004, item 4002 "Use default Home View Point" (home button only) for 4003, each with
// the button as parameter. User-interface thread only.
#pragma once

#include <cstdint>

#include "foundation/VconString.h"
#include "framework/ppButton.h"

class zelvproViewPointButton : public ppButton {
 public:
  static constexpr int32_t kHomeButton = 2441;
  static constexpr int32_t kContextCommand = 4010;
  static constexpr int32_t kCaptureItem = 4001, kDefaultHomeItem = 4002;
  static constexpr int32_t kUseDefaultHome = 4003, kCaptureHome = 4004;
  static constexpr uint32_t kCaptureFlag = 0x2000, kHomeViewPointFlag = 0x4000;
  static constexpr int32_t kMenuTextList = 4001;
  static constexpr int32_t kCaptureText = 16001, kDefaultHomeText = 16002;

  // `id` is both the picture and the command id.
  zelvproViewPointButton(ppView* supervisor, const plat::RECT& frame, int32_t id, int8_t horizontal,
                         int8_t vertical);
  ~zelvproViewPointButton() override;

  void DoCommand(int32_t command, intptr_t parameter) override;

  // The text of a menu item: the language's text, else the entry of string list 4001.
  static Vcon::WString ItemText(int32_t textId, int32_t entry);
  // The command the last menu chose (0: none or no menu), for the curious.
  int32_t LastChoice() const { return lastChoice_; }

 private:
  void OpenMenu(const plat::POINT& screen);

  int32_t lastChoice_ = 0;
};
