#pragma once
// The "COMBOBOX" class as a drop-down list (CBS_DROPDOWNLIST; the other kinds behave the same): a
// field showing the chosen entry and a button that opens a list of the entries below it. The CB_
// messages fill and query it; choosing an entry with the mouse or the arrow keys sends CBN_SELCHANGE.

#include <string>
#include <vector>

#include "platform/WindowTypes.h"

namespace plat {

class ComboBox {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The procedure of the opened list (class "ComboLBox").
  static LRESULT ListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Entry {
    std::u16string text;
    LPARAM data = 0;
  };
  struct State {
    std::vector<Entry> entries;
    int32_t selected = -1;
    HWND list = nullptr;  // the opened list, null while closed
    int32_t hot = -1;     // entry under the mouse in the opened list
    int32_t top = 0;      // first entry the opened list shows
  };
  static State* StateOf(HWND window);
  static int32_t Find(const State& state, const char16_t* text, int32_t after, bool exact);
  static void Choose(HWND window, State& state, int32_t index);
  static void ShowInList(State& state, int32_t index);
  static void Open(HWND window, State& state);
  static void Close(HWND window, State& state);
  static int32_t ItemHeight(HWND window);
  static void Paint(HWND window, HDC dc, const State& state);
  static void PaintList(HWND list, HDC dc);
  static LRESULT ListMessage(HWND window, State& state, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace plat
