#include "platform/ColorDialog.h"

#include <algorithm>

#include "platform/Controls.h"
#include "platform/ControlsDrawing.h"
#include "platform/WindowApi.h"

namespace plat {

namespace {
constexpr const char* kObjectProperty = "colordialog.object";
constexpr int32_t kBasicItem = 740;   // basic colour swatches 740 .. 755
constexpr int32_t kSampleItem = 709;  // the sample of the current colour
constexpr COLORREF kBasicColors[16] = {
    RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
}  // namespace

ColorDialog::ColorDialog(CHOOSECOLORA& info) : info_(info) {
  color_ = (info.Flags & CC_RGBINIT) ? info.rgbResult & 0xFFFFFF : 0;
  if (info.lpCustColors) std::copy(info.lpCustColors, info.lpCustColors + 16, custom_);
}

DialogTemplate ColorDialog::Layout() {
  DialogTemplate t;
  t.caption = u"Color";
  t.cx = 222, t.cy = 148;
  t.Add("STATIC", u"&Basic colors:", 0xFFFF, 7, 4, 100, 8, WS_VISIBLE);
  for (int16_t i = 0; i < 16; ++i) {
    t.Add("BUTTON", u"", static_cast<uint16_t>(kBasicItem + i), static_cast<int16_t>(7 + (i % 8) * 13),
          static_cast<int16_t>(14 + (i / 8) * 11), 11, 9,
          WS_VISIBLE | BS_OWNERDRAW | (i == 0 ? WS_TABSTOP | WS_GROUP : 0));
  }
  t.Add("STATIC", u"&Custom colors:", 0xFFFF, 7, 40, 100, 8, WS_VISIBLE);
  for (int16_t i = 0; i < 16; ++i) {
    t.Add("BUTTON", u"", static_cast<uint16_t>(kColorCustomItem + i), static_cast<int16_t>(7 + (i % 8) * 13),
          static_cast<int16_t>(50 + (i / 8) * 11), 11, 9,
          WS_VISIBLE | BS_OWNERDRAW | (i == 0 ? WS_TABSTOP | WS_GROUP : 0));
  }
  t.Add("BUTTON", u"", kSampleItem, 120, 14, 95, 30, WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW);
  const char16_t* names[3] = {u"&Red:", u"&Green:", u"Bl&ue:"};
  for (int16_t i = 0; i < 3; ++i) {
    t.Add("STATIC", names[i], 0xFFFF, 120, static_cast<int16_t>(52 + i * 16), 30, 8, WS_VISIBLE);
    t.Add("EDIT", u"", static_cast<uint16_t>(kColorRedItem + i), 155, static_cast<int16_t>(50 + i * 16), 30,
          12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_NUMBER | WS_GROUP);
  }
  t.Add("BUTTON", u"&Add to Custom Colors", kColorAddItem, 7, 78, 104, 14,
        WS_VISIBLE | WS_TABSTOP | WS_GROUP);
  t.Add("BUTTON", u"OK", IDOK, 110, 127, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | WS_GROUP);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 165, 127, 50, 14, WS_VISIBLE | WS_TABSTOP);
  return t;
}

COLORREF ColorDialog::SwatchColor(int32_t id) const {
  if (id >= kBasicItem && id < kBasicItem + 16) return kBasicColors[id - kBasicItem];
  if (id >= kColorCustomItem && id < kColorCustomItem + 16) return custom_[id - kColorCustomItem] & 0xFFFFFF;
  return color_;
}

void ColorDialog::DrawSwatch(const DRAWITEMSTRUCT& item) const {
  FillSolid(item.hDC, item.rcItem, SwatchColor(static_cast<int32_t>(item.CtlID)));
  DrawBevel(item.hDC, item.rcItem, true);
  if (item.itemState & ODS_FOCUS) FrameSolid(item.hDC, item.rcItem, kTextColor);
}

void ColorDialog::ShowColor(HWND dialog) {
  updating_ = true;
  SetDlgItemInt(dialog, kColorRedItem, GetRValue(color_), 0);
  SetDlgItemInt(dialog, kColorGreenItem, GetGValue(color_), 0);
  SetDlgItemInt(dialog, kColorBlueItem, GetBValue(color_), 0);
  updating_ = false;
  InvalidateRect(GetDlgItem(dialog, kSampleItem), nullptr, 0);
}

// The colour from the three fields; a field that is empty or out of range counts as its limit.
void ColorDialog::ReadFields(HWND dialog) {
  BYTE parts[3];
  for (int32_t i = 0; i < 3; ++i) {
    BOOL ok = 0;
    UINT value = GetDlgItemInt(dialog, kColorRedItem + i, &ok, 0);
    parts[i] = static_cast<BYTE>(ok ? std::min<UINT>(value, 255) : (value > 255 ? 255 : 0));
  }
  color_ = RGB(parts[0], parts[1], parts[2]);
  InvalidateRect(GetDlgItem(dialog, kSampleItem), nullptr, 0);
}

void ColorDialog::Init(HWND dialog) {
  SetPropA(dialog, kObjectProperty, this);
  for (int32_t i = 0; i < 3; ++i) SendDlgItemMessageW(dialog, kColorRedItem + i, EM_LIMITTEXT, 3, 0);
  ShowColor(dialog);
  // The focus starts in the red field, so Enter confirms the colour shown.
  HWND red = GetDlgItem(dialog, kColorRedItem);
  SetFocus(red);
  SendMessageW(red, EM_SETSEL, 0, -1);
}

INT_PTR ColorDialog::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    reinterpret_cast<ColorDialog*>(lParam)->Init(dialog);
    return 0;  // the focus is set
  }
  auto* self = static_cast<ColorDialog*>(GetPropA(dialog, kObjectProperty));
  if (!self) return 0;
  if (message == WM_DESTROY) {
    RemovePropA(dialog, kObjectProperty);
    return 0;
  }
  if (message == WM_DRAWITEM) {
    self->DrawSwatch(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    return 1;
  }
  if (message != WM_COMMAND) return 0;
  auto id = static_cast<int32_t>(LOWORD(wParam));
  WORD code = HIWORD(wParam);
  if (id == IDOK) {
    self->ReadFields(dialog);
    EndDialog(dialog, IDOK);
  } else if (id == IDCANCEL) {
    EndDialog(dialog, IDCANCEL);
  } else if (id >= kColorRedItem && id <= kColorBlueItem && code == EN_CHANGE && !self->updating_) {
    self->ReadFields(dialog);
  } else if (id == kColorAddItem) {
    self->ReadFields(dialog);
    self->custom_[self->nextCustom_] = self->color_;
    InvalidateRect(GetDlgItem(dialog, kColorCustomItem + self->nextCustom_), nullptr, 0);
    self->nextCustom_ = (self->nextCustom_ + 1) % 16;
  } else if (code == BN_CLICKED && ((id >= kBasicItem && id < kBasicItem + 16) ||
                                    (id >= kColorCustomItem && id < kColorCustomItem + 16))) {
    self->color_ = self->SwatchColor(id);
    if (id >= kColorCustomItem) self->nextCustom_ = id - kColorCustomItem;
    self->ShowColor(dialog);
  } else {
    return 0;
  }
  return 1;
}

bool ColorDialog::Run() {
  SetCommDlgExtendedError(0);
  if (info_.lStructSize != 36) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return false;
  }
  INT_PTR result = RunCommonDialogLayout(Layout(), info_.hwndOwner, &ColorDialog::Proc, this);
  if (result != IDOK) return false;
  info_.rgbResult = color_;
  if (info_.lpCustColors) std::copy(custom_, custom_ + 16, info_.lpCustColors);
  return true;
}

BOOL ChooseColorA(CHOOSECOLORA* info) { return info && ColorDialog(*info).Run() ? 1 : 0; }

}  // namespace plat
