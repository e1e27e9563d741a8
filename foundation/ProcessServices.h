// Process-wide values and error boxes that every layer reaches for.
//
// They are plain globals owned by the user-interface thread, set before any worker starts (the screen
// rectangle and the memory zone by InitScreenAndMemory, first thing at start-up; the instance handle
// and start-up directory while the application object is made) and only read afterwards. The
// desktop's reset puts them back (the memory zone stays: it lives as long as the process).
#pragma once

#include <cstdint>

#include "foundation/VconString.h"

// The screen rectangle in pixels: left and top 0, right and bottom the full-screen client size.
struct ScreenRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The program module's instance, copied by the application object; opaque to the foundation.
extern const void* gInstance;
extern ScreenRect gScreenRect;

// Sets the screen rectangle and makes the handle zone of 40,000,000 bytes and 400,004 master pointers.
// When the zone cannot be made it shows the memory error box and returns false; the program must then
// end without making any handle.
bool InitScreenAndMemory();

// The start-up directory always ends in a backslash; Set adds one when `directory` lacks it.
void SetStartupDirectory(const Vcon::WString& directory);
void GetStartupDirectory(Vcon::WString& out);

// Shows "A Memory Error occured : <code>" under "Memory Error" (stop icon, task-modal, no owner) and
// returns; the caller goes on to throw.
void ShowMemoryError(int32_t code);

// Receives every error number just before the database engine or the picture loader throws it: the one
// place to observe errors (a breakpoint, or the observer below). It passes the number to the observer
// when one is set and does nothing else.
void ErrorHook(int32_t code);

// A probe that ErrorHook calls with each number, on the thread that raises the error; it must not
// throw.
using ErrorObserver = void (*)(int32_t code);
// Installs `observer` (null removes it) and returns the one it replaces.
ErrorObserver SetErrorObserver(ErrorObserver observer);

// Shows "<code>: <message>" under "<category> error" (stop icon, task-modal, no owner), writes the same
// to standard error, and ends the process.
[[noreturn]] void ShowFatalErrorBox(int32_t code, const char* message, const char* category);
