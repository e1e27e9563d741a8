#include "calculation/zelvproCalculatorCanvas.h"

#include <cstring>
#include <vector>

#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "elements/base/iElementHost.h"
#include "elements/topview/qxExtrasDialog.h"
#include "foundation/TextsById.h"
#include "framework/ApplicationSettings.h"
#include "framework/ppButton.h"
#include "platform/ResetList.h"

namespace {

// Owned by the user-interface thread: the canvas made last, cleared when it goes.
zelvproCalculatorCanvas* gCanvas = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("calculation: calculation canvas", [] { gCanvas = nullptr; });

bool HasBar() { return (ApplicationFlags1() & zelvproCalculatorCanvas::kButtonBar) != 0; }

}  // namespace

zelvproCalculatorCanvas::zelvproCalculatorCanvas(ppView* supervisor, const plat::RECT& frame,
                                                 ppDatabase& database)
    : ppView(supervisor, kStretch, kStretch) {
  SetFrame(frame);
  gCanvas = this;
  const int32_t w = frame.right - frame.left, h = frame.bottom - frame.top;
  pane_ = new zelvproCalculatorList(this, {10, 5, w - 30, h - 30}, database);
  // The window hands its keys to the canvas while the calculation view shows; the list takes them.
  SetTarget(pane_);
  plat::RECT place{300, h - 26, 504, h - 2};
  if (HasBar()) {
    bar_ = new zelvproCalculatorButtons(this, place);
    place = {324, h - 26, 528, h - 2};
  }
  if (ExtrasCatalogDatabase != nullptr) {
    const plat::RECT r{place.right, place.top, place.right + 30, place.bottom};
    extras_ = new ppButton(this, &r, kExtrasPicture, kStay, kMove, ppButton::kPush);
  }
  if (bar_ != nullptr) bar_->AddToolTips();
}

zelvproCalculatorCanvas::~zelvproCalculatorCanvas() {
  if (gCanvas == this) gCanvas = nullptr;
  SetTarget(nullptr);
  if (bar_ != nullptr) bar_->RemoveToolTips();
}

zelvproCalculatorCanvas* zelvproCalculatorCanvas::Current() { return gCanvas; }

void zelvproCalculatorCanvas::DoCommand(int32_t command, intptr_t parameter) {
  if (command == ppButton::kPressedCommand) {
    if (extras_ != nullptr && parameter == reinterpret_cast<intptr_t>(extras_)) RunExtrasDialog();
    return;
  }
  pane_->DoCommand(command, parameter);
}

void zelvproCalculatorCanvas::RunExtrasDialog() {
  zelvDatabase* articles = ExtrasCatalogDatabase;
  zelvproDocFil* document = DocumentRecordFile;
  if (articles != nullptr && document != nullptr) {
    Handle items = RecordField(*document, "calcItems").Data(document->Record());
    if (items != nullptr) {
      // The dialog edits a copy; OK writes the copy back, Cancel leaves the document's items as they were.
      std::vector<uint8_t> bytes(size_t(MemGetSize(items)));
      if (!bytes.empty()) std::memcpy(bytes.data(), *items, bytes.size());
      const std::vector<uint8_t> before = bytes;
      {
        qxExtrasDialog dialog(bytes, *articles, iElementHost::Current().DocumentWindow());
        dialog.RunModal();
      }
      if (bytes != before) {
        MemSetSize(items, uint32_t(bytes.size()));
        if (!bytes.empty()) std::memcpy(*items, bytes.data(), bytes.size());
        document->MarkModified();
      }
    }
  }
  // Closing the dialog always asks for the price list again, changed or not.
  pane_->UpdateCalculation(false);
  if (extras_ != nullptr) extras_->SetState(ppButton::kNormal);
}

void zelvproCalculatorCanvas::SupervisorResized(int32_t dx, int32_t dy) {
  if (bar_ != nullptr) bar_->RemoveToolTips();
  ppView::SupervisorResized(dx, dy);
  if (bar_ != nullptr) bar_->AddToolTips();
}

void zelvproCalculatorCanvas::Show() {
  ppView::Show();
  if (bar_ == nullptr) return;
  bar_->RemoveToolTips();  // never twice
  bar_->AddToolTips();
  bar_->Show();
}

void zelvproCalculatorCanvas::Hide() {
  ppView::Hide();
  if (bar_ == nullptr) return;
  bar_->RemoveToolTips();
  bar_->Hide();
}

void zelvproCalculatorCanvas::ShowConfigurator() {
  ppConfigurator* configurator = ppConfigurator::Host();
  if (configurator == nullptr) return;
  configurator->RemoveAll();
  auto* panel = new ppConfigPanel(configurator);
  panel->SetName(TextById(kConfiguratorName, "Calculation"));
  configurator->AddPanel(panel);
  configurator->PlaceTabs();
}
