#include "controls/ppConfigPanel.h"

#include "controls/ppConfigurator.h"
#include "controls/ppInputField.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "platform/WindowApi.h"

namespace {
// How far the tab row pushes the panel's layout frame, and its visible and click frames, down.
constexpr int32_t kLayoutDrop = 20;
constexpr int32_t kClickDrop = 25;
// A click this close to the top or bottom of the visible frame scrolls.
constexpr int32_t kArrowZone = 10;
constexpr signed char kTab = 9;
constexpr signed char kReturn = 13;
}  // namespace

ppConfigPanel::ppConfigPanel(ppView* configurator) : ppField(configurator, nullptr, std::string()) {}

bool ppConfigPanel::HasTabRow() {
  auto* configurator = dynamic_cast<ppConfigurator*>(Owner());
  return configurator != nullptr && !configurator->IsSinglePage();
}

plat::RECT ppConfigPanel::HostWindowFrame(int32_t tabRowDrop) {
  plat::RECT frame;
  ppView* host = GetSupervisor() != nullptr ? GetSupervisor() : Owner();
  if (host != nullptr) {
    host->GetWindowFrame(&frame);
  } else {
    GetWindowFrame(&frame);
  }
  if (HasTabRow()) frame.top += tabRowDrop;
  return frame;
}

// ---- Layout.

int32_t ppConfigPanel::PlaceFields() {
  int32_t y = scrollOffset_;
  for (ppField* field = firstField_; field != nullptr; field = field->NextField()) {
    field->RemoveToolTips();
    y = field->LayoutAt(y);
    field->AddToolTips(0);
  }
  return y;
}

void ppConfigPanel::Layout() {
  const plat::RECT frame = HostWindowFrame(kLayoutDrop);
  const int32_t height = frame.bottom - frame.top;
  // Turning scrolling on or off changes the offset, so the fields are placed once more then.
  for (int pass = 0; pass < 2; ++pass) {
    contentEnd_ = PlaceFields();
    const bool wasScrolling = scrolling_;
    if (height < contentEnd_ - scrollOffset_) {
      scrolling_ = true;
    } else {
      scrolling_ = false;
      scrollOffset_ = 0;
    }
    if (scrolling_ == wasScrolling) break;
  }
}

void ppConfigPanel::RequestLayout() { Layout(); }

void ppConfigPanel::AddField(ppField* field) {
  if (field == nullptr) return;
  field->SetNextField(nullptr);
  if (lastField_ != nullptr) {
    lastField_->SetNextField(field);
  } else {
    firstField_ = field;
  }
  lastField_ = field;
}

void ppConfigPanel::GetPanelFrame(plat::RECT* frame) { *frame = GetFrame(); }

// ---- The focus ring.

void ppConfigPanel::Lose() {
  if (current_ >= 0) ring_[current_]->LoseFocus();
}

void ppConfigPanel::Take() {
  if (current_ >= 0) ring_[current_]->TakeFocus();
}

void ppConfigPanel::AddFocusable(ppField* field) {
  // Buttons, dividers and texts take no keyboard input and never join.
  if (auto* input = dynamic_cast<ppInputField*>(field)) ring_.push_back(input);
}

ppField* ppConfigPanel::FocusNext(ppField*) {
  if (current_ < 0) return nullptr;
  const int32_t count = int32_t(ring_.size());
  int32_t found = (current_ + 1) % count;
  while (found != current_ && !ring_[found]->IsFocusable()) found = (found + 1) % count;
  Lose();
  current_ = found;
  if (ring_[current_]->IsFocusable()) ring_[current_]->TakeFocus();
  return ring_[current_];
}

ppField* ppConfigPanel::FocusPrevious(ppField*) {
  if (ring_.empty()) return nullptr;
  const int32_t count = int32_t(ring_.size());
  if (current_ < 0) {
    current_ = count - 1;
  } else {
    Lose();
    current_ = (current_ + count - 1) % count;
  }
  Take();
  return ring_[current_];
}

void ppConfigPanel::SetFocusTo(ppField* field) {
  if (current_ >= 0 && ring_[current_] == field) return;
  Lose();
  for (int32_t i = 0; i < int32_t(ring_.size()); ++i) {
    if (ring_[i] == field) current_ = i;
  }
  Take();
}

ppField* ppConfigPanel::GetFocusedField() { return current_ >= 0 ? ring_[current_] : nullptr; }

void ppConfigPanel::FocusFirst() {
  if (ring_.empty()) return;
  if (current_ < 0) current_ = 0;
  Take();
}

void ppConfigPanel::KeyDown(signed char key, int32_t flags) {
  BusyScope busy(this);
  if (key == kTab || key == kReturn) {
    if (IsShiftKeyDown()) {
      FocusPrevious(GetFocusedField());
    } else {
      FocusNext(GetFocusedField());
    }
    return;
  }
  ppView::KeyDown(key, flags);
}

// ---- Regions, drawing and clicks.

std::unique_ptr<ppRegion> ppConfigPanel::GetVisibleRegion() {
  // Nothing of the panel draws over the tabs.
  return std::make_unique<ppRegion>(HostWindowFrame(kClickDrop));
}

std::unique_ptr<ppRegion> ppConfigPanel::GetFrameRegion() {
  plat::RECT frame;
  GetWindowFrame(&frame);
  frame.top -= kLayoutDrop;
  return std::make_unique<ppRegion>(frame);
}

void ppConfigPanel::DrawContent(ppDC& dc) {
  if (!scrolling_) return;
  const plat::RECT frame = HostWindowFrame(kClickDrop);
  const int32_t r = frame.right;
  dc.SetGray(0);
  auto line = [&dc](int32_t from, int32_t to, int32_t y) {
    dc.MoveTo(from, y);
    dc.LineTo(to, y);
  };
  if (frame.bottom - frame.top < contentEnd_) {
    for (int32_t i = 0; i < 4; ++i) line(r - 2 - i, r - 10 + i, frame.bottom - 5 + i);
  }
  if (scrollOffset_ < 0) {
    for (int32_t i = 0; i < 4; ++i) line(r - 2 - i, r - 10 + i, frame.top + 5 - i);
  }
}

bool ppConfigPanel::IsDoubleClick(int32_t, int32_t y) {
  BusyScope busy(this);
  if (plat::HWND window = GetHWND()) plat::SetFocus(window);
  if (scrolling_) {
    const plat::RECT frame = HostWindowFrame(kClickDrop);
    if (y < frame.top + kArrowZone && scrollOffset_ < 0) {
      scrollOffset_ += kScrollStep;
    } else if (y >= frame.bottom - kArrowZone && frame.bottom - frame.top < contentEnd_) {
      scrollOffset_ -= kScrollStep;
    }
    RequestLayout();
    Invalidate();
  }
  return false;
}
