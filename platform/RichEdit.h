#pragma once
// The rich-edit class "RichEdit20A": the layer's edit control with the rich-edit messages the program's
// text fields send: the extended limit, the event mask with key filtering through WM_NOTIFY
// EN_MSGFILTER, background and text colours, text set and read as UTF-16 or narrow text, and text
// streamed in. It keeps one format for all of its text.

#include "platform/WindowTypes.h"

namespace plat {

class RichEdit {
 public:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static bool FilteredOut(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT SetTextEx(HWND window, WPARAM wParam, LPARAM lParam);
  static LRESULT GetTextEx(HWND window, WPARAM wParam, LPARAM lParam);
  static LRESULT StreamIn(HWND window, WPARAM wParam, LPARAM lParam);
};

}  // namespace plat
