// A dialog holding every kind of control, compared with a kept expected image.
// To renew the image after a deliberate change: run with PLANNER_WRITE_FIXTURES=1, look at
// tests/fixtures/platform/dialog_controls.png, and commit it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/Dialog.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/PngFile.h"
#include "platform/WindowApi.h"

namespace plat {
namespace {

INT_PTR PictureProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CheckDlgButton(dialog, 12, BST_CHECKED);
    CheckDlgButton(dialog, 14, BST_CHECKED);
    for (const char16_t* s : {u"Oak", u"Beech", u"Walnut"})
      SendDlgItemMessageW(dialog, 30, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendDlgItemMessageW(dialog, 30, CB_SETCURSEL, 1, 0);
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = 99, info.nPage = 20, info.nPos = 40;
    SetScrollInfo(GetDlgItem(dialog, 40), SB_CTL, &info, 0);
    SetScrollInfo(GetDlgItem(dialog, 41), SB_CTL, &info, 0);
    return 0;  // no focus: the picture shows no caret
  }
  if (message == WM_DRAWITEM) {
    auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    FillSolid(item->hDC, item->rcItem, RGB(40, 120, 200));
    FrameSolid(item->hDC, item->rcItem, RGB(0, 0, 0));
    return 1;
  }
  return 0;
}

DialogTemplate EveryControl() {
  DialogTemplate t;
  t.caption = u"Controls";
  t.cx = 260, t.cy = 150;
  t.Add("BUTTON", u"OK", IDOK, 200, 7, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 200, 24, 50, 14, WS_VISIBLE | WS_TABSTOP);
  t.Add("BUTTON", u"", 11, 200, 41, 50, 14, WS_VISIBLE | BS_OWNERDRAW);
  t.Add("BUTTON", u"Check box", 12, 7, 7, 80, 10, WS_VISIBLE | BS_AUTOCHECKBOX);
  t.Add("BUTTON", u"Options", 20, 7, 20, 90, 40, WS_VISIBLE | BS_GROUPBOX);
  t.Add("BUTTON", u"Left", 13, 14, 32, 70, 10, WS_VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP);
  t.Add("BUTTON", u"Right", 14, 14, 44, 70, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add("STATIC", u"Width:", 21, 105, 8, 30, 8, WS_VISIBLE | SS_LEFT);
  t.Add("EDIT", u"600 mm", 22, 135, 6, 55, 12, WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL);
  t.Add("STATIC", u"#32516", 23, 105, 24, 21, 20, WS_VISIBLE | SS_ICON);
  t.Add("RichEdit20A", u"Rich text", 24, 135, 24, 55, 12, WS_VISIBLE | WS_BORDER);
  t.Add("EDIT", u"Two lines\r\nread only", 25, 7, 66, 90, 24,
        WS_VISIBLE | WS_BORDER | ES_MULTILINE | ES_READONLY);
  t.Add("COMBOBOX", u"", 30, 105, 48, 85, 60, WS_VISIBLE | CBS_DROPDOWNLIST);
  t.Add("SCROLLBAR", u"", 40, 105, 70, 85, 10, WS_VISIBLE | SBS_HORZ);
  t.Add("SCROLLBAR", u"", 41, 240, 60, 10, 80, WS_VISIBLE | SBS_VERT);
  t.Add("STATIC", u"Centred text", 42, 7, 100, 180, 8, WS_VISIBLE | SS_CENTER);
  return t;
}

TEST(DialogPicture, EveryControlKindDrawsAsKept) {
  HeadlessDriver::Reset();
  SetTextAntialias(false);
  DialogTemplate t = EveryControl();
  t.style |= WS_VISIBLE;
  HWND dialog = CreateDialogIndirectParamW(nullptr, &t, nullptr, PictureProc, 0);
  ASSERT_NE(dialog, nullptr);
  SetFocus(nullptr);
  HeadlessDriver::RunUntilIdle();
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/platform/dialog_controls.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/dialog_controls-actual.png";
  ASSERT_TRUE(HeadlessDriver::DumpPng(dialog, actual));
  SetTextAntialias(true);
  if (std::getenv("PLANNER_WRITE_FIXTURES")) {
    ASSERT_TRUE(HeadlessDriver::DumpPng(dialog, kept));
  }
  std::unique_ptr<Surface> expected = ReadPng(kept);
  std::unique_ptr<Surface> drawn = ReadPng(actual);
  ASSERT_TRUE(expected) << "missing " << kept << "; the dialog is in " << actual;
  ASSERT_TRUE(drawn);
  // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
  PixelDifference diff = ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
  HeadlessDriver::Reset();
}

}  // namespace
}  // namespace plat
