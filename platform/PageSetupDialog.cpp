#include "platform/PageSetupDialog.h"

#include <algorithm>

#include "platform/ControlsDrawing.h"
#include "platform/WindowApi.h"

namespace plat {

namespace {
constexpr int32_t kMarginItems[4] = {kPageLeftItem, kPageTopItem, kPageRightItem, kPageBottomItem};

// Hundredths of a millimetre to thousandths of an inch and back, rounded.
int32_t MmToInch(int32_t v) { return static_cast<int32_t>((int64_t(v) * 1000 + 1270) / 2540); }
int32_t InchToMm(int32_t v) { return static_cast<int32_t>((int64_t(v) * 2540 + 500) / 1000); }
}  // namespace

PageSetupDialog::PageSetupDialog(PAGESETUPDLGA& info) : info_(info) {
  if (info.Flags & PSD_MARGINS) {
    const RECT& m = info.rtMargin;
    margins_[0] = ToHundredths(m.left), margins_[1] = ToHundredths(m.top);
    margins_[2] = ToHundredths(m.right), margins_[3] = ToHundredths(m.bottom);
  }
  if (info.hDevMode) {
    orientation_ = info.hDevMode->dmOrientation;
    paper_ = PaperSizes::Of(info.hDevMode->dmPaperSize).code;
  }
}

int32_t PageSetupDialog::ToHundredths(int32_t value) const {
  return (info_.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? value : InchToMm(value);
}

int32_t PageSetupDialog::FromHundredths(int32_t value) const {
  return (info_.Flags & PSD_INHUNDREDTHSOFMILLIMETERS) ? value : MmToInch(value);
}

bool PageSetupDialog::ParseMillimetres(const std::u16string& text, int32_t& hundredths) {
  size_t i = 0;
  while (i < text.size() && text[i] == u' ') ++i;
  int64_t whole = 0;
  size_t digits = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
    whole = whole * 10 + (text[i] - u'0');
    if (whole > 1000) return false;
  }
  int32_t fraction = 0, scale = 10;
  if (i < text.size() && (text[i] == u'.' || text[i] == u',')) {
    for (++i; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i, ++digits) {
      if (scale == 0) return false;  // more than two decimals
      fraction += (text[i] - u'0') * scale;
      scale /= 10;
    }
  }
  while (i < text.size() && text[i] == u' ') ++i;
  if (digits == 0 || i != text.size()) return false;
  hundredths = static_cast<int32_t>(whole * 100 + fraction);
  return hundredths <= 100000;
}

std::u16string PageSetupDialog::FormatMillimetres(int32_t hundredths) {
  std::string text = std::to_string(hundredths / 100);
  int32_t rest = hundredths % 100;
  if (rest) {
    text += rest % 10 ? "." + std::string(1, char('0' + rest / 10)) + char('0' + rest % 10)
                      : "." + std::string(1, char('0' + rest / 10));
  }
  return std::u16string(text.begin(), text.end());
}

DialogTemplate PageSetupDialog::Layout() {
  DialogTemplate t;
  t.caption = u"Page Setup";
  // Centred on its owner, as the print dialog.
  t.style |= DS_CENTER;
  t.cx = 200, t.cy = 145;
  t.Add("BUTTON", u"Paper", 0xFFFF, 7, 7, 186, 30, WS_VISIBLE | BS_GROUPBOX);
  t.Add("STATIC", u"Si&ze:", 0xFFFF, 14, 20, 30, 8, WS_VISIBLE);
  t.Add("COMBOBOX", u"", kPagePaperItem, 50, 18, 136, 80,
        WS_VISIBLE | WS_TABSTOP | WS_GROUP | CBS_DROPDOWNLIST);
  constexpr int16_t kTop = 42;  // below the paper
  t.Add("BUTTON", u"Margins (millimeters)", 0xFFFF, 7, kTop, 120, 76, WS_VISIBLE | BS_GROUPBOX);
  const char16_t* names[4] = {u"&Left:", u"&Top:", u"&Right:", u"&Bottom:"};
  for (int16_t i = 0; i < 4; ++i) {
    t.Add("STATIC", names[i], 0xFFFF, 14, static_cast<int16_t>(kTop + 15 + i * 15), 40, 8, WS_VISIBLE);
    t.Add("EDIT", u"", static_cast<uint16_t>(kMarginItems[i]), 60, static_cast<int16_t>(kTop + 13 + i * 15),
          55, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL);
  }
  t.Add("BUTTON", u"Orientation", 0xFFFF, 133, kTop, 60, 45, WS_VISIBLE | BS_GROUPBOX);
  t.Add("BUTTON", u"P&ortrait", kPagePortraitItem, 139, kTop + 13, 50, 10,
        WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"L&andscape", kPageLandscapeItem, 139, kTop + 27, 50, 10, WS_VISIBLE | BS_AUTORADIOBUTTON);
  t.Add("BUTTON", u"OK", IDOK, 88, 124, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | WS_GROUP);
  t.Add("BUTTON", u"Cancel", IDCANCEL, 143, 124, 50, 14, WS_VISIBLE | WS_TABSTOP);
  return t;
}

void PageSetupDialog::Init(HWND dialog) {
  HWND papers = GetDlgItem(dialog, kPagePaperItem);
  const auto all = PaperSizes::All();
  for (const PaperSize& paper : all)
    SendMessageW(papers, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(paper.name));
  const auto shown =
      std::find_if(all.begin(), all.end(), [this](const PaperSize& p) { return p.code == paper_; });
  SendMessageW(papers, CB_SETCURSEL, static_cast<WPARAM>(shown - all.begin()), 0);
  if (info_.Flags & PSD_DISABLEPAPER) EnableWindow(papers, 0);
  for (int32_t i = 0; i < 4; ++i)
    SetDlgItemTextW(dialog, kMarginItems[i], FormatMillimetres(margins_[i]).c_str());
  CheckDlgButton(dialog, orientation_ == DMORIENT_LANDSCAPE ? kPageLandscapeItem : kPagePortraitItem,
                 BST_CHECKED);
}

bool PageSetupDialog::Accept(HWND dialog) {
  int16_t orientation =
      IsDlgButtonChecked(dialog, kPageLandscapeItem) ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  const PaperSize& paper = ChosenPaper(dialog);
  int32_t width = orientation == DMORIENT_LANDSCAPE ? paper.height : paper.width;
  int32_t height = orientation == DMORIENT_LANDSCAPE ? paper.width : paper.height;
  int32_t read[4];
  for (int32_t i = 0; i < 4; ++i) {
    bool ok = ParseMillimetres(WindowText(GetDlgItem(dialog, kMarginItems[i])), read[i]);
    // The margins must leave some paper between them.
    if (ok && i >= 2) ok = read[i - 2] + read[i] < (i == 2 ? width : height);
    if (!ok) {
      MessageBeep(0);
      HWND field = GetDlgItem(dialog, kMarginItems[i]);
      SetFocus(field);
      SendMessageW(field, EM_SETSEL, 0, -1);
      return false;
    }
  }
  std::copy(read, read + 4, margins_);
  orientation_ = orientation;
  paper_ = paper.code;
  return true;
}

const PaperSize& PageSetupDialog::ChosenPaper(HWND dialog) const {
  if (info_.Flags & PSD_DISABLEPAPER) return PaperSizes::Of(paper_);
  const auto chosen = SendDlgItemMessageW(dialog, kPagePaperItem, CB_GETCURSEL, 0, 0);
  const auto all = PaperSizes::All();
  return chosen >= 0 && static_cast<size_t>(chosen) < all.size() ? all[static_cast<size_t>(chosen)]
                                                                 : PaperSizes::Of(paper_);
}

void PageSetupDialog::FillPaper() {
  if (!info_.hDevMode) info_.hDevMode = AllocDevMode();
  info_.hDevMode->dmOrientation = orientation_;
  info_.hDevMode->dmPaperSize = paper_;
  const PaperSize& paper = PaperSizes::Of(paper_);
  bool landscape = orientation_ == DMORIENT_LANDSCAPE;
  info_.ptPaperSize = {FromHundredths(landscape ? paper.height : paper.width),
                       FromHundredths(landscape ? paper.width : paper.height)};
  info_.rtMargin = {FromHundredths(margins_[0]), FromHundredths(margins_[1]), FromHundredths(margins_[2]),
                    FromHundredths(margins_[3])};
  info_.rtMinMargin = {0, 0, 0, 0};
}

bool PageSetupDialog::Run() {
  SetCommDlgExtendedError(0);
  if (info_.lStructSize != sizeof(PAGESETUPDLGA)) {
    SetCommDlgExtendedError(CDERR_STRUCTSIZE);
    return false;
  }
  if (!(info_.Flags & PSD_RETURNDEFAULT)) {
    if (RunCommonDialogLayout(Layout(), info_.hwndOwner, &OkCancelProc<PageSetupDialog>, this) != IDOK)
      return false;
  }
  FillPaper();
  return true;
}

BOOL PageSetupDlgA(PAGESETUPDLGA* info) { return info && PageSetupDialog(*info).Run() ? 1 : 0; }

}  // namespace plat
