#include "canvas/editor/zelvproEditor.h"

#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproHorisontalRuler.h"
#include "canvas/editor/zelvproRulerPane.h"
#include "canvas/editor/zelvproVerticalRuler.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppFrameAdorner.h"
#include "framework/ppScrollBar.h"
#include "platform/ResetList.h"
#include "room/qxNewRoomCanvas.h"

namespace {

// The current editor. Not owned. User-interface thread.
zelvproEditor* gEditor = nullptr;

[[maybe_unused]] const bool kReset =
    plat::ResetList::Add("plan editor: current editor", [] { gEditor = nullptr; });

constexpr int32_t kUnitStep = 10;

int32_t BarMode() {
  return (iApplicationSettings::Current().flags1 & zelvproEditor::kScrollBarsFlag) != 0
             ? ppScrollPane::kBothBars
             : 0;
}

// One grey corner square: 85 % grey, white lines inside its bottom and right edges, a black frame.
void DrawCorner(ppDC& dc, const plat::RECT& r) {
  dc.SetGray(85);
  dc.FillRect(r);
  dc.SetGray(100);
  dc.MoveTo(r.left + 1, r.bottom - 2);
  dc.LineTo(r.right - 1, r.bottom - 2);
  dc.MoveTo(r.right - 2, r.top + 1);
  dc.LineTo(r.right - 2, r.bottom - 1);
  dc.SetGray(0);
  dc.FrameRect(r);
}

// The editor's own pixels around the scroller (window pixels `f`, content `c` in the editor's): the
// rulers, the corner and the bars' controls paint over them afterwards, and what they leave (the
// ring of each bar around its control, the row below the bars) stays white, as in a new window. A
// resize or a pane shown over the editor then leaves nothing of what was there before.
void FillAroundContent(ppDC& dc, const plat::RECT& f, const plat::RECT& c) {
  dc.SetGray(100);
  dc.FillRect(plat::RECT{f.left, f.top, f.right, f.top + c.top});
  dc.FillRect(plat::RECT{f.left, f.top + c.bottom, f.right, f.bottom});
  dc.FillRect(plat::RECT{f.left, f.top + c.top, f.left + c.left, f.top + c.bottom});
  dc.FillRect(plat::RECT{f.left + c.right, f.top + c.top, f.right, f.top + c.bottom});
}

}  // namespace

zelvproEditor::zelvproEditor(ppView* supervisor, const plat::RECT& frame, zelvDatabase* database)
    : ppScrollPane(supervisor, frame, kStretch, kStretch, kUnitStep, BarMode()) {
  SetExtent(kExtent, kExtent);
  gEditor = this;
  content_ = plat::RECT{kContentInset, kContentInset, Width(), Height() - 1};
  if (VerticalBar() != nullptr) content_.right -= kBarSize;
  if (HorizontalBar() != nullptr) content_.bottom -= kBarSize;
  const plat::RECT& c = content_;
  horizontalRuler_ =
      new zelvproHorisontalRuler(this, plat::RECT{c.left - 1, c.top - kContentInset, c.right + 1, c.top - 1});
  verticalRuler_ =
      new zelvproVerticalRuler(this, plat::RECT{c.left - kContentInset, c.top - 1, c.left - 1, c.bottom + 1});
  scroller_ = new zelvproEditorScroller(this, content_, horizontalRuler_, verticalRuler_, database);
  SetScroller(scroller_);
  SetOnCanvases(this);
  zoom_ = kStartZoom;
  corner_ =
      new zelvproRulerPane(this, plat::RECT{0, 0, kRulerSize, kRulerSize}, horizontalRuler_, verticalRuler_);
  FrameChanged();
  new ppFrameAdorner(this, kFramePicture, ppFrameAdorner::kOutside);
}

zelvproEditor::~zelvproEditor() {
  SetOnCanvases(nullptr);
  if (gEditor == this) gEditor = nullptr;
}

zelvproEditor* zelvproEditor::Current() { return gEditor; }

void zelvproEditor::SetOnCanvases(iPlanEditor* editor) {
  if (scroller_ == nullptr) return;
  for (ppView* view : {scroller_->View(1), scroller_->View(2), scroller_->View(3)}) {
    if (auto* canvas = dynamic_cast<zelvproCanvas*>(view)) canvas->SetEditor(editor);
  }
}

void zelvproEditor::Layout() {
  content_ = plat::RECT{kContentInset, kContentInset, Width(), Height() - 1};
  if (HorizontalBar() != nullptr) content_.bottom -= kBarSize;
  if (VerticalBar() != nullptr) content_.right -= kBarSize;
  if (ppScrollBar* bar = VerticalBar()) {
    bar->SetFrame(
        plat::RECT{content_.right, content_.top - 1, content_.right + kBarSize, content_.bottom + 1});
    bar->FrameChanged();
  }
  if (ppScrollBar* bar = HorizontalBar()) {
    bar->SetFrame(
        plat::RECT{content_.left - 1, content_.bottom, content_.right + 1, content_.bottom + kBarSize});
    bar->FrameChanged();
  }
  if (scroller_ == nullptr) return;
  scroller_->SetFrame(content_);
  scroller_->FrameChanged();
  SetExtent(scroller_->ExtentX(), scroller_->ExtentY());
}

void zelvproEditor::DrawContent(ppDC& dc) {
  plat::RECT f{};
  GetWindowFrame(&f);
  ppClipSaver clip(dc);
  ppBrushSaver brushes(dc);
  FillAroundContent(dc, f, content_);
  DrawCorner(dc, plat::RECT{f.right - 18, f.bottom - 19, f.right + 1, f.bottom + 1});
  DrawCorner(dc, plat::RECT{f.right - 17, f.top, f.right + 1, f.top + 19});
  DrawCorner(dc, plat::RECT{f.left, f.bottom - 18, f.left + 19, f.bottom + 1});
  dc.SetNormalPen();
}

void zelvproEditor::KeyDown(signed char key, int32_t flags) {
  if (scroller_ != nullptr) scroller_->KeyDown(key, flags);
}

void zelvproEditor::DoCommand(int32_t command, intptr_t parameter) {
  const bool scrollerCommand =
      command == ppScroller::kScrollVertically || command == ppScroller::kScrollHorizontally ||
      command == zelvproEditorScroller::kReloadCalculation || command == zelvproEditorScroller::kUnitsChanged;
  if (scrollerCommand && scroller_ != nullptr) return scroller_->DoCommand(command, parameter);
  ppView::DoCommand(command, parameter);
}

void zelvproEditor::ApplyZoom() {
  if (scroller_ == nullptr) return;
  if (qxNewRoomCanvas* room = scroller_->NewRoomCanvas()) room->UpdateFrame();
  if (zelvproTopCanvas* top = scroller_->TopCanvas()) top->UpdateFrame();
  scroller_->Invalidate();
  zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
  if (palette == nullptr) return;
  const float z = float(palette->GetScale());
  if (!(z > 0.0f)) return;
  const int32_t h = int32_t(float(scroller_->PositionX()) * (zoom_ / z));
  const int32_t v = int32_t(float(scroller_->PositionY()) * (zoom_ / z));
  const int32_t range = int32_t(float(kExtent) / z);
  scroller_->SetExtent(range, range);
  scroller_->ScrollTo(h, v);
  horizontalRuler_->SetRange(range, 0);
  verticalRuler_->SetRange(0, range);
  horizontalRuler_->SetPosition(h, 0);
  verticalRuler_->SetPosition(0, v);
  horizontalRuler_->Invalidate();
  verticalRuler_->Invalidate();
  zoom_ = z;
}

void zelvproEditor::RefreshRulers() {
  for (zelvproRuler* ruler : {horizontalRuler_, verticalRuler_}) {
    ForEachChildElement(*ruler, [](zelvproElement* child) { child->Deselect(false); });
  }
}

void zelvproEditor::ChangeViewMode(int32_t /*previous*/, int32_t next) {
  if (scroller_ != nullptr) scroller_->SetViewMode(next);
}

int32_t zelvproEditor::HorizontalRulerOrigin() { return int32_t(horizontalRuler_->ZeroX()); }
int32_t zelvproEditor::VerticalRulerOrigin() { return int32_t(verticalRuler_->ZeroY()); }
