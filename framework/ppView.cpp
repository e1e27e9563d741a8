#include "framework/ppView.h"

#include <algorithm>
#include <vector>

#include "framework/ppAdorner.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppCommandRelay.h"
#include "framework/ppDC.h"
#include "framework/ppRegion.h"
#include "framework/ppCursorTable.h"
#include "platform/ResetList.h"

namespace {

// The pointer's views and the last click; user-interface thread.
ppView* gHovered = nullptr;
ppView* gTracked = nullptr;
plat::RECT gTrackedRect;
// The last click point of the double-click rule; far away until the first click.
constexpr int32_t kNoClick = -1'000'000;
int32_t gLastClickX = kNoClick;
int32_t gLastClickY = kNoClick;

[[maybe_unused]] const bool kReset = plat::ResetList::Add("views: hovered, tracked, last click", [] {
  gHovered = gTracked = nullptr;
  gTrackedRect = plat::RECT{};
  gLastClickX = gLastClickY = kNoClick;
});

void Offset(plat::RECT* r, int32_t dx, int32_t dy) {
  r->left += dx;
  r->right += dx;
  r->top += dy;
  r->bottom += dy;
}

}  // namespace

// ---- Construction.

ppView::ppView() { Init(nullptr, kStretch, kStretch); }
ppView::ppView(ppView* supervisor) { Init(supervisor, kStretch, kStretch); }
ppView::ppView(ppView* supervisor, int8_t horizontal, int8_t vertical) {
  Init(supervisor, horizontal, vertical);
}

void ppView::Init(ppView* supervisor, int8_t horizontal, int8_t vertical) {
  frame_ = {0, 0, 0, 0};
  horizontal_ = horizontal;
  vertical_ = vertical;
  supervisor_ = supervisor;
  if (supervisor_) AttachToSupervisor();
}

ppView::~ppView() {
  if (gHovered == this) EndHover();
  if (gTracked == this) gTracked = nullptr;
  while (subviews_.Count() > 0) {
    ppView* last = subviews_.At(subviews_.Count() - 1);
    last->WillBeDeleted();
    delete last;  // its destructor takes it out of this list
    // A subview that was never linked back to this view would stay: take it out by hand.
    if (subviews_.Count() > 0 && subviews_.At(subviews_.Count() - 1) == last)
      subviews_.RemoveAt(subviews_.Count() - 1);
  }
  DetachFromSupervisor();
  while (adorners_) {
    ppAdorner* next = adorners_->next_;
    delete adorners_;
    adorners_ = next;
  }
}

// ---- Event operations.

bool ppView::MouseOver(int32_t x, int32_t y, int32_t flag) {
  if (!ContainsPoint(x, y)) return false;
  for (int32_t i = 0; i < subviews_.Count(); ++i) {
    if (subviews_.At(i)->MouseOver(x, y, flag)) return true;
  }
  if (gHovered != this) {
    if (gHovered) gHovered->MouseLeave();
    gHovered = this;
    MouseEnter(x, y);
  }
  AdjustCursor(x, y);
  return true;
}

void ppView::AdjustCursor(int32_t, int32_t) { ppCursorTable::SetGlobalDefault(); }

void ppView::UpdateMenus() {
  UpdateTargetMenus();
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->UpdateMenus();
}

void ppView::Activate() {
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->Activate();
}

void ppView::Deactivate() {
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->Deactivate();
}

void ppView::DoCommand(int32_t command, intptr_t parameter) {
  if (supervisor_) {
    ppCommandRelay::Pass(this, *supervisor_, command, parameter);
  } else {
    ppEventHandler::DoCommand(command, parameter);
  }
}

void ppView::MouseMove(int32_t x, int32_t y) {
  if (MouseOver(x, y, 0)) return;
  for (int32_t i = subviews_.Count() - 1; i >= 0; --i) {
    if (i < subviews_.Count()) subviews_.At(i)->MouseMove(x, y);
  }
}

void ppView::ContextMenu(int32_t x, int32_t y) {
  if (supervisor_) supervisor_->ContextMenu(x, y);
}

// ---- Window questions and geometry.

plat::HWND ppView::GetHWND() { return supervisor_ ? supervisor_->GetHWND() : nullptr; }
intptr_t ppView::AskSupervisor() { return supervisor_ ? supervisor_->AskSupervisor() : 0; }

void ppView::MoveTo(int32_t x, int32_t y) { MoveBy(x - frame_.left, y - frame_.top); }
void ppView::MoveFrameTo(int32_t x, int32_t y) { MoveTo(x, y); }

void ppView::MoveBy(int32_t dx, int32_t dy) {
  FrameWillChange();
  Offset(&frame_, dx, dy);
  FrameChanged();
}

void ppView::ResizeTo(int32_t width, int32_t height) {
  FrameWillChange();
  frame_.right = frame_.left + width;
  frame_.bottom = frame_.top + height;
  width_ = width;
  height_ = height;
  FrameChanged();
}

void ppView::SupervisorResized(int32_t dx, int32_t dy) {
  if (shown_) RemoveToolTips();
  FrameWillChange();
  if (vertical_ == kMove) {
    frame_.top += dy;
    frame_.bottom += dy;
  } else if (vertical_ == kStretch) {
    frame_.bottom += dy;
  }
  if (horizontal_ == kMove) {
    frame_.left += dx;
    frame_.right += dx;
  } else if (horizontal_ == kStretch) {
    frame_.right += dx;
  }
  width_ = frame_.right - frame_.left;
  height_ = frame_.bottom - frame_.top;
  FrameChanged();
  if (shown_) AddToolTips(0);
  // A view that moved or stayed passes no size change down.
  int32_t passDx = horizontal_ == kStretch ? dx : 0;
  int32_t passDy = vertical_ == kStretch ? dy : 0;
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->SupervisorResized(passDx, passDy);
}

void ppView::LocalToWindow(plat::POINT* point) {
  if (supervisor_) supervisor_->LocalToWindow(point);
  point->x += frame_.left;
  point->y += frame_.top;
}

void ppView::LocalToWindowRect(plat::RECT* rect) {
  if (supervisor_) supervisor_->LocalToWindowRect(rect);
  Offset(rect, frame_.left, frame_.top);
}

void ppView::WindowToLocal(plat::POINT* point) {
  if (supervisor_) supervisor_->WindowToLocal(point);
  point->x -= frame_.left;
  point->y -= frame_.top;
}

void ppView::WindowToLocalRect(plat::RECT* rect) {
  if (supervisor_) supervisor_->WindowToLocalRect(rect);
  Offset(rect, -frame_.left, -frame_.top);
}

void ppView::GetWindowOrigin(plat::POINT* origin) {
  *origin = {0, 0};
  if (supervisor_) supervisor_->GetWindowOrigin(origin);
  origin->x += frame_.left;
  origin->y += frame_.top;
}

void ppView::ClipToFrame(ppDC& dc) { dc.SetClipRegion(GetFrameRegion().get()); }

void ppView::ClipToVisible(ppDC& dc) {
  std::unique_ptr<ppRegion> visible = GetVisibleRegion();
  if (visible) dc.LeaveOutCovered(*visible);
  dc.SetClipRegion(visible.get());
}

std::unique_ptr<ppRegion> ppView::GetVisibleRegion() {
  std::unique_ptr<ppRegion> outer = supervisor_ ? supervisor_->GetVisibleRegion() : nullptr;
  std::unique_ptr<ppRegion> content = GetContentRegion();
  if (outer) content->Intersect(*outer);
  return content;
}

std::unique_ptr<ppRegion> ppView::GetContentRegion() { return GetFrameRegion(); }

void ppView::IntersectVisibleRect(plat::RECT* rect) {
  plat::RECT bounds{0, 0, width_, height_};
  LocalToWindowRect(&bounds);
  rect->left = std::max(rect->left, bounds.left);
  rect->top = std::max(rect->top, bounds.top);
  rect->right = std::min(rect->right, bounds.right);
  rect->bottom = std::min(rect->bottom, bounds.bottom);
  if (supervisor_) supervisor_->IntersectVisibleRect(rect);
}

// ---- Drawing and invalidation.

void ppView::DrawContent(ppDC&) {}
void ppView::BeginDraw(ppDC&) {}

// The covered region while each subview is drawn: the caller's and that of the subviews after it.
// Entry i serves subview i, entry `count` this view's own drawing under all of them.
struct ppView::SubviewCover {
  std::vector<ppView*> drawn;                    // the subviews as they were when it was made
  std::vector<const ppRegion*> covered;          // null where nothing is covered
  std::vector<std::unique_ptr<ppRegion>> owned;  // the unions made for `covered`
};

ppView::SubviewCover ppView::CoverOfSubviews(const ppDC& dc) {
  SubviewCover cover;
  const int32_t count = subviews_.Count();
  cover.covered.assign(size_t(count) + 1, dc.GetCoveredRegion());
  const ppRegion* running = dc.GetCoveredRegion();
  for (int32_t i = count - 1; i >= 0; --i) {
    cover.covered[size_t(i)] = running;
    std::unique_ptr<ppRegion> opaque = subviews_.At(i)->GetOpaqueRegion(dc);
    if (!opaque || opaque->IsEmpty()) continue;
    if (running) opaque->Union(*running);
    running = opaque.get();
    cover.owned.push_back(std::move(opaque));
  }
  cover.covered[size_t(count)] = running;
  if (cover.owned.empty()) return cover;
  cover.drawn.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) cover.drawn.push_back(subviews_.At(i));
  return cover;
}

std::unique_ptr<ppRegion> ppView::GetOpaqueRegion(const ppDC& dc) {
  if (!shown_ || !adorners_) return nullptr;
  plat::RECT windowFrame;
  GetWindowFrame(&windowFrame);
  for (ppAdorner* a = adorners_; a; a = a->next_)
    if (a->Phase() == ppAdorner::kBefore)
      if (std::unique_ptr<ppRegion> opaque = a->GetOpaqueRegion(&windowFrame, dc)) return opaque;
  return nullptr;
}

// Pixels that a later subview (or a later view of the callers) fills solidly are left out of the
// clips of what is drawn before it: the picture is the same, each pixel is painted once less.
void ppView::Draw(ppDC& dc) {
  if (!shown_) return;
  plat::RECT windowFrame;
  GetWindowFrame(&windowFrame);
  BeginDraw(dc);
  if (!NeedsDrawing(dc)) return;
  const ppRegion* covered = dc.GetCoveredRegion();
  // The caller's covered region comes back however this drawing ends, an exception included.
  struct CoverRestorer {
    ppDC& dc;
    const ppRegion* covered;
    ~CoverRestorer() { dc.SetCoveredRegion(covered); }
  } restorer{dc, covered};
  const SubviewCover cover = CoverOfSubviews(dc);
  const int32_t count = int32_t(cover.drawn.size());
  dc.SetCoveredRegion(cover.covered.back());
  ClipToVisible(dc);
  if (adorners_) adorners_->DrawChain(&windowFrame, ppAdorner::kBefore, &dc);
  DrawContent(dc);
  for (int32_t i = 0; i < subviews_.Count(); ++i) {
    // A subview list changed by drawing no longer matches what was covered: nothing more is left out.
    const bool same = i < count && subviews_.Count() == count && subviews_.At(i) == cover.drawn[size_t(i)];
    dc.SetCoveredRegion(same ? cover.covered[size_t(i)] : covered);
    subviews_.At(i)->Draw(dc);
  }
  dc.SetCoveredRegion(covered);
  if (adorners_) {
    ClipToVisible(dc);  // the subviews changed the clip
    adorners_->DrawChain(&windowFrame, ppAdorner::kAfter, &dc);
  }
}

bool ppView::NeedsDrawing(ppDC& dc) {
  if (!shown_) return false;
  plat::HRGN stored = dc.GetStoredClipRegion();
  if (!stored) return false;  // a context without a paint region is drawn through Print
  std::unique_ptr<ppRegion> frame = GetFrameRegion();
  frame->Intersect(ppRegion(stored));
  return !frame->IsEmpty();
}

void ppView::InvalidateRegion(ppRegion* region) {
  if (supervisor_) supervisor_->InvalidateRegion(region);
}

std::unique_ptr<ppRegion> ppView::GetFrameRegion() {
  plat::RECT windowFrame;
  GetWindowFrame(&windowFrame);
  return std::make_unique<ppRegion>(windowFrame);
}

void ppView::DrawOutlineAt(int32_t x, int32_t y, float, float, float, ppDC& dc) {
  ppBrushSaver brushes(dc);
  std::unique_ptr<ppRegion> region = GetFrameRegion();
  plat::RECT box;
  region->GetBounds(&box);
  region->Offset(x - box.left, y - box.top);
  dc.SetGray(0);
  dc.SetXorMode();
  dc.FrameRegion(*region);
  dc.SetNormalPen();
}

int32_t ppView::Print(ppDC& dc, int32_t page) {
  if (!shown_) return 1;
  PrintBegin(dc, page);
  if (PrintNeeded(dc, page)) {
    PrintContent(dc, page);
    for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->Print(dc, page);
  }
  return 1;
}

void ppView::PrintContent(ppDC& dc, int32_t) { DrawContent(dc); }
void ppView::PrintBegin(ppDC& dc, int32_t) { BeginDraw(dc); }
bool ppView::PrintNeeded(ppDC&, int32_t) { return true; }

// ---- Mouse.

bool ppView::MouseDown(int32_t x, int32_t y) {
  if (!ContainsPoint(x, y)) return false;
  for (int32_t i = subviews_.Count() - 1; i >= 0; --i) {
    if (i < subviews_.Count() && subviews_.At(i)->MouseDown(x, y)) return true;
  }
  return IsDoubleClick(x, y);
}

bool ppView::IsDoubleClick(int32_t x, int32_t y) {
  bool near = gLastClickX - 3 < x && x < gLastClickX + 3 && gLastClickY - 3 < y && y < gLastClickY + 3;
  if (near && WantsDoubleClicks()) return true;
  gLastClickX = x;
  gLastClickY = y;
  return false;
}

bool ppView::WantsDoubleClicks() { return false; }

// ---- Showing, texts and tool tips.

void ppView::Show() {
  if (shown_) return;
  shown_ = true;
  plat::RECT windowFrame;
  GetWindowFrame(&windowFrame);
  for (ppAdorner* a = adorners_; a; a = a->next_) a->Invalidate(&windowFrame);
  Invalidate();
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->Show();
  AddToolTips(0);
}

void ppView::Hide() {
  if (!shown_) return;
  RemoveToolTips();
  plat::RECT windowFrame;
  GetWindowFrame(&windowFrame);
  for (ppAdorner* a = adorners_; a; a = a->next_) a->Invalidate(&windowFrame);
  Invalidate();
  shown_ = false;
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->Hide();
}

void ppView::UpdateTexts() {
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->UpdateTexts();
}

void ppView::AddToolTips(uint32_t word) {
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->AddToolTips(word);
}

void ppView::RemoveToolTips() {
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->RemoveToolTips();
}

void ppView::FrameWillChange() {
  if (redrawOnChange_) Invalidate();
}

void ppView::FrameChanged() {
  if (redrawOnChange_) Invalidate();
}

void ppView::Invalidate() { InvalidateRegion(GetFrameRegion().get()); }

void ppView::TrackEnter(int32_t, int32_t) {}
void ppView::TrackLeave() { gTracked = nullptr; }

void ppView::GetMousePosition(plat::POINT* point) {
  if (supervisor_) {
    supervisor_->GetMousePosition(point);
  } else {
    *point = {0, 0};
  }
}

// ---- The subview list.

void ppView::AddSubview(ppView* view) {
  if (!view || subviews_.Find(view) >= 0) return;
  subviews_.Append(view);
  view->supervisor_ = this;
}

void ppView::InsertSubview(ppView* view, int32_t index) {
  if (!view || subviews_.Find(view) >= 0) return;
  subviews_.Insert(view, index);
  view->supervisor_ = this;
  view->shown_ = shown_;
}

void ppView::RemoveSubview(ppView* view) {
  int32_t index = subviews_.Find(view);
  if (index < 0) return;
  subviews_.RemoveAt(index);
  view->supervisor_ = nullptr;
}

bool ppView::ContainsPoint(int32_t x, int32_t y) { return GetFrameRegion()->Contains(x, y); }

ppView* ppView::FindViewAt(int32_t x, int32_t y) {
  if (!ContainsPoint(x, y)) return nullptr;
  for (int32_t i = subviews_.Count() - 1; i >= 0; --i) {
    if (i >= subviews_.Count()) continue;
    if (ppView* found = subviews_.At(i)->FindViewAt(x, y)) return found;
  }
  return this;
}

// ---- Undo, hover and drops.

ppUndoer* ppView::GetUndoer() { return supervisor_ ? supervisor_->GetUndoer() : nullptr; }
void ppView::MouseEnter(int32_t, int32_t) {}
void ppView::MouseLeave() {}
bool ppView::CanAcceptDrop(int32_t, int32_t, const std::string&) { return false; }
void ppView::AcceptDrop(int32_t, int32_t, const std::string&) {}

// ---- Non-virtual.

ppView* ppView::GetRootView() {
  ppView* view = this;
  while (view->supervisor_) view = view->supervisor_;
  return view;
}

void ppView::GetWindowFrame(plat::RECT* rect) {
  *rect = frame_;
  if (supervisor_) supervisor_->LocalToWindowRect(rect);
}

void ppView::SetFrame(const plat::RECT& frame) {
  frame_ = frame;
  width_ = frame.right - frame.left;
  height_ = frame.bottom - frame.top;
}

void ppView::ChangeFrame(const plat::RECT& frame) {
  FrameWillChange();
  SetFrame(frame);
  FrameChanged();
}

void ppView::SetRedrawOnChange(bool redraw) {
  redrawOnChange_ = redraw;
  for (int32_t i = 0; i < subviews_.Count(); ++i) subviews_.At(i)->SetRedrawOnChange(redraw);
}

ppView* ppView::DeepestViewAt(int32_t x, int32_t y) {
  for (int32_t i = 0; i < subviews_.Count(); ++i) {
    if (ppView* found = subviews_.At(i)->DeepestViewAt(x, y)) return found;
  }
  return ContainsPoint(x, y) ? this : nullptr;
}

void ppView::AttachToSupervisor() {
  if (supervisor_) supervisor_->AddSubview(this);
}

void ppView::DetachFromSupervisor() {
  if (gHovered == this) EndHover();
  if (supervisor_) supervisor_->RemoveSubview(this);
  supervisor_ = nullptr;
}

ppView* ppView::HoveredView() { return gHovered; }
ppView* ppView::TrackedView() { return gTracked; }

void ppView::SetTrackedView(ppView* view, const plat::RECT& rect) {
  gTracked = view;
  gTrackedRect = rect;
}

const plat::RECT& ppView::TrackedRect() { return gTrackedRect; }

void ppView::EndHover() {
  ppView* old = gHovered;
  gHovered = nullptr;
  if (old) old->MouseLeave();
}

void ppView::ResetClickPoint() {
  gLastClickX = kNoClick;
  gLastClickY = kNoClick;
}
