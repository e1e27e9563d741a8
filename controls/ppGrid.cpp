#include "controls/ppGrid.h"

#include "controls/ppGridScroller.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppScrollBar.h"

ppGrid::ppGrid(ppView* supervisor, const plat::RECT& frame) : ppView(supervisor) {
  SetFrame(frame);
  body_ = new ppGridScroller(this, {0, 0, frame.right - frame.left, frame.bottom - frame.top});
  GetRootView()->SetTarget(this);
  new ppFrameAdorner(this, kFramePicture, ppFrameAdorner::kOutside);  // owned by the view
}

ppGrid::~ppGrid() {
  // The key target must not point at a grid that is gone.
  if (ppView* root = GetRootView(); root != this && root->GetTarget() == this) root->SetTarget(nullptr);
  // The subviews (body and bars) go before the switchboard part they broadcast on.
  while (Subviews().Count() > 0) {
    ppView* view = Subviews().At(Subviews().Count() - 1);
    view->WillBeDeleted();
    delete view;  // its destructor takes it out of the list
  }
  body_ = nullptr;
}

void ppGrid::AddColumn(const ppGridColumn& column) { body_->AddColumn(column); }
void ppGrid::KeepValidator(std::unique_ptr<ppValidator> validator) {
  if (validator) validators_.push_back(std::move(validator));
}
void ppGrid::SetDataSource(iProperty* source) { body_->SetDataSource(source); }
void ppGrid::SetHeaderSource(iProperty* source) { body_->SetHeaderSource(source); }
void ppGrid::SetFooterSource(iProperty* source) { body_->SetFooterSource(source); }
void ppGrid::AddStyleFlags(uint32_t flags) { body_->AddStyleFlags(flags); }
void ppGrid::SetLineHeight(int32_t height) { body_->SetLineHeight(height); }
void ppGrid::SetScrollSteps(int32_t horizontal, int32_t vertical) {
  body_->SetScrollSteps(horizontal, vertical);
}
void ppGrid::SetCellMargins(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  body_->SetCellMargins(left, top, right, bottom);
}
void ppGrid::UpdateLayout() { body_->Refresh(); }
void ppGrid::BeginEdit() { body_->BeginEdit(); }
int32_t ppGrid::GetSelectedRow() const { return body_->SelectedRow(); }
int32_t ppGrid::GetSelectedColumn() const { return body_->SelectedColumn(); }

void ppGrid::SetScrollBars(uint32_t bars) {
  const bool wantH = (bars & kHorizontalBar) != 0, wantV = (bars & kVerticalBar) != 0;
  bool changed = false;
  const int32_t w = Width(), h = Height();
  if (wantH && hBar_ == nullptr) {
    const plat::RECT r{0, h - kBarThickness, w - (wantV ? kBarThickness : 0), h};
    hBar_ = new ppScrollBar(this, r, false, 0, body_->HorizontalStepSize(), kStretch, kMove);
    changed = true;
  } else if (!wantH && hBar_ != nullptr) {
    RemoveSubview(hBar_);
    delete hBar_;
    hBar_ = nullptr;
    changed = true;
  }
  if (wantV && vBar_ == nullptr) {
    const plat::RECT r{w - kBarThickness, 0, w, h - (wantH ? kBarThickness : 0)};
    vBar_ = new ppScrollBar(this, r, true, 0, body_->VerticalStepSize(), kMove, kStretch);
    changed = true;
  } else if (!wantV && vBar_ != nullptr) {
    RemoveSubview(vBar_);
    delete vBar_;
    vBar_ = nullptr;
    changed = true;
  }
  if (changed) {
    body_->SetScrollBars(hBar_, vBar_);
    FrameChanged();
  }
}

void ppGrid::DoCommand(int32_t command, intptr_t parameter) {
  switch (command) {
    case ppGridScroller::kNextCell:
    case ppGridScroller::kPreviousCell:
    case ppGridScroller::kScrollVertically:
    case ppGridScroller::kScrollHorizontally:
      body_->DoCommand(command, parameter);
      break;
    default:
      ppView::DoCommand(command, parameter);
      break;
  }
}

void ppGrid::KeyDown(signed char key, int32_t flags) { body_->KeyDown(key, flags); }

void ppGrid::FrameChanged() {
  ppView::FrameChanged();
  if (body_ == nullptr) return;
  plat::RECT r{0, 0, Width(), Height()};
  if (hBar_ != nullptr) r.bottom -= kBarThickness;
  if (vBar_ != nullptr) r.right -= kBarThickness;
  body_->SetFrame(r);
  body_->UpdateScrollBars();
}
