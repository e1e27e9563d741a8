#include "elements/topview/qxExtrasDialog.h"

#include <algorithm>
#include <cstring>

#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/qxExtrasFil.h"
#include "catalogue/records/qxExtrasHeaders.h"
#include "catalogue/records/zelvproPriceFil.h"
#include "elements/topview/iRecordGrids.h"
#include "foundation/TextsById.h"
#include "framework/ppView.h"

namespace {

constexpr int32_t kContentWidth = 600, kContentHeight = 400, kInset = 2;
constexpr int32_t kTitleText = 6380, kOkText = 1000, kCancelText = 1001;

}  // namespace

qxExtrasDialog::qxExtrasDialog(std::vector<uint8_t>& extras, zelvDatabase& articles, plat::HWND parent)
    : ppViewDialog(parent, true), extras_(extras), articles_(articles) {
  Vcon_HandleManager::MemNew(&working_, uint32_t(extras.size()));
  if (!extras.empty()) std::memcpy(*working_, extras.data(), extras.size());
}

qxExtrasDialog::~qxExtrasDialog() {
  file_.reset();  // the file reads the working copy
  MemDispose(working_);
}

void qxExtrasDialog::SetTexts() {
  // The dialog's own texts are the defaults.
  Vcon::WString text;
  GetTitle(text, 256);
  GetTextById(kTitleText, text);
  SetTitle(text);
  const std::pair<int32_t, int32_t> buttons[] = {{1, kOkText}, {2, kCancelText}};
  for (const auto& [item, number] : buttons) {
    GetItemText(text, item, kSelf);
    GetTextById(number, text);
    SetItemText(text, item, kSelf);
  }
}

void qxExtrasDialog::OpenExtras() {
  file_ = std::make_unique<qxExtrasFil>(articles_, working_);
  file_->LoadFromBlob();
  if (file_->GetRecordCount() != 0) return;
  file_->ClearRecordBuffer(nullptr);
  file_->InsertRecordAt(0, nullptr);
  file_->SaveToBlob();
}

void qxExtrasDialog::OnInitDialog() {
  ppViewDialog::OnInitDialog();
  SetTexts();
  SetContentSize(kContentWidth, kContentHeight);
  OpenExtras();
  headers_ = std::make_unique<qxExtrasHeaders>();
  if (ContentView() == nullptr) return;
  // The content area as SetContentSize made it, at the origin, inset on every side.
  RecordGridLayout layout;
  layout.frame = {kInset, kInset, kContentWidth - kInset, kContentHeight - kInset};
  layout.rows = file_.get();
  layout.headers = headers_.get();
  layout.style = 0x4 | 0x10 | 0x2;
  layout.editingMode = 2;
  layout.lineHeights[0] = layout.lineHeights[1] = 10;
  const int32_t margins[] = {5, 2, 10, 3};
  std::copy(std::begin(margins), std::end(margins), layout.margins);
  RecordGridColumn article{"article", 130, 0, &articles_.PriceFile(), {{"orderno", 100}, {"text", 200}}};
  layout.columns = {article, {"description", 260, 4, nullptr, {}}, {"qty", 62, 0, nullptr, {}}};
  iRecordGrids::Current().MakeGrid(*ContentView(), layout);
  SetFirstFocus(GetItem(kContentItem, kSelf));  // the grid takes the keys from the start
}

bool qxExtrasDialog::ValidateOK() {
  const int32_t size = MemGetSize(working_);
  extras_.assign(size_t(size > 0 ? size : 0), 0);
  if (!extras_.empty()) std::memcpy(extras_.data(), *working_, extras_.size());
  return true;
}
