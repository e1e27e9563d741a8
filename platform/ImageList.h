#pragma once
// Image lists: numbered pictures of one size (16 by 16 pixels in this program) that tree views draw
// beside their items, and the registration of the common control classes (tooltip, tab, tree).
// A list keeps its own copies of what is added; the caller keeps and deletes its bitmaps.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/AnsiCodePage.h"

#include "platform/ControlsDrawing.h"
#include "platform/Gdi.h"

namespace plat {

class ImageListObject {
 public:
  ImageListObject(int32_t width, int32_t height) : width_(width), height_(height) {}
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Count() const { return static_cast<int32_t>(images_.size()); }
  // Appends every whole image of `bitmap` (side by side, left to right); answers the first index,
  // -1 when the bitmap holds no whole image.
  int32_t Add(HBITMAP bitmap);
  bool Draw(int32_t index, HDC dc, int32_t x, int32_t y) const;

 private:
  int32_t width_;
  int32_t height_;
  std::vector<OwnedBitmap> images_;  // 32 bits per pixel, width_ by height_ each
};
using HIMAGELIST = ImageListObject*;

constexpr UINT ILC_COLOR = 0x0000;
constexpr UINT ILC_MASK = 0x0001;
constexpr UINT ILD_NORMAL = 0x0000;

// Null for a size below 1 or above 256 pixels. The initial and growth counts are accepted; a list
// grows as needed.
HIMAGELIST ImageList_Create(int32_t width, int32_t height, UINT flags, int32_t initial, int32_t grow);
BOOL ImageList_Destroy(HIMAGELIST list);
int32_t ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask);
int32_t ImageList_GetImageCount(HIMAGELIST list);
BOOL ImageList_Draw(HIMAGELIST list, int32_t index, HDC dc, int32_t x, int32_t y, UINT style);
// The live list behind a handle, or null.
ImageListObject* LiveImageList(HIMAGELIST list);

// Texts of the narrow ("A", Windows-1252) and wide ("W", UTF-16) forms of the menu and control calls.
// A null text is empty.
template <class Char>
std::u16string WideFrom(const Char* text) {
  if (!text) return {};
  if constexpr (sizeof(Char) == 1) {
    return WidenAnsi(text);
  } else {
    return std::u16string(text);
  }
}
// Copies `text` into a caller's buffer of `capacity` characters (at most capacity - 1 and a NUL) and
// answers the characters copied; with a null buffer answers the whole text's length.
template <class Char>
int32_t CopyTextOut(const std::u16string& text, Char* buffer, int32_t capacity) {
  std::basic_string<Char> out;
  if constexpr (sizeof(Char) == 1) {
    out = NarrowToAnsi(text);
  } else {
    out = text;
  }
  if (!buffer) return static_cast<int32_t>(out.size());
  if (capacity <= 0) return 0;
  int32_t n = std::min<int32_t>(static_cast<int32_t>(out.size()), capacity - 1);
  std::copy(out.begin(), out.begin() + n, buffer);
  buffer[n] = 0;
  return n;
}

// Registers the tooltip, tab control and tree view classes that are not registered yet.
void InitCommonControls();

// What the common control classes share: registration (double clicks), and a window procedure that
// keeps a `State` (with its property name in State::kProperty) from WM_NCCREATE to WM_NCDESTROY,
// answers the font messages and hands the rest to `Handle`.
void RegisterCommonControlClass(const char* name, WNDPROC proc);
template <class State, LRESULT (*Handle)(HWND, State&, UINT, WPARAM, LPARAM)>
LRESULT CommonControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) CreateControlState<State>(control, State::kProperty);
  if (message == WM_NCDESTROY) {
    DeleteControlState<State>(control, State::kProperty);
    return DefWindowProcW(control, message, wParam, lParam);
  }
  LRESULT font = 0;
  if (HandleFontMessage(control, message, wParam, lParam, font)) return font;
  State* s = ControlState<State>(control, State::kProperty);
  return s ? Handle(control, *s, message, wParam, lParam) : DefWindowProcW(control, message, wParam, lParam);
}

}  // namespace plat
