#pragma once
// The application-wide values that the application shell sets from its start settings and that the
// framework reads when it opens the frame: whether the frame is locked, the frame's title, how the
// frame is placed, and the function that gives menu items their texts in the current language.
// Set on the user-interface thread before the frame is made; read afterwards.

#include <cstdint>
#include <string>

#include "foundation/VconString.h"

// While locked (the initial state) the frame stays in front, cannot be moved, sized, minimised or
// closed from its system menu, and Quit starts a new document instead of ending the program.
bool FrameLocked();
void SetFrameLocked(bool locked);

// The text the frame window gets when it is created (narrow, Windows-1252); empty at first.
const std::string& FrameTitle();
void SetFrameTitle(const std::string& title);

// 0, 1 or 2 (from the start keywords "NO", "LEFT", "RIGHT"): 1 and 2 open the frame restored, any
// other value maximised. 0 at first.
int32_t PlacementMode();
void SetPlacementMode(int32_t mode);

// Gives one menu item its text in the current language. Called with (0, null, item id, text) for a
// command item and (1, item text, position, text) for a submenu item; leaving `text` empty keeps the
// item as it is.
using ppMenuTextCallback = void (*)(int32_t kind, const char16_t* itemText, int32_t idOrPosition,
                                    Vcon::WString* text);
// The shell's callback for the frame menu; null until the shell sets one.
ppMenuTextCallback MenuTextCallback();
void SetMenuTextCallback(ppMenuTextCallback callback);

// The two option words of the application settings record ("flags1" and "flags2"), 0 at first; the
// settings code sets them at start-up. The configurator reads flags2 kSinglePageConfigurator and the
// configurator pane flags1 kStayingConfiguratorPane.
inline constexpr uint32_t kStayingConfiguratorPane = 0x20000000;  // flags1: the pane keeps its place
inline constexpr uint32_t kSinglePageConfigurator = 0x00000001;   // flags2: no tab row
uint32_t ApplicationFlags1();
void SetApplicationFlags1(uint32_t flags);
uint32_t ApplicationFlags2();
void SetApplicationFlags2(uint32_t flags);
