#include "scene3d/panes/qxEditorViews.h"

#include <cmath>

#include "framework/ppDC.h"
#include "framework/ppView.h"
#include "platform/Gdi.h"
#include "scene3d/panes/iEditorScroller.h"
#include "scene3d/panes/qx3DPane.h"
#include "scene3d/panes/qxBmpFile.h"
#include "scene3d/panes/qxDibSurface.h"

namespace {

// Marks the pane busy off screen for its lifetime, so that every way out clears the flag.
class BusyPane {
 public:
  explicit BusyPane(qx3DPane* pane) : pane_(pane) {
    if (pane_) pane_->SetOffscreenBusy(true);
  }
  ~BusyPane() {
    if (pane_) pane_->SetOffscreenBusy(false);
  }
  BusyPane(const BusyPane&) = delete;
  BusyPane& operator=(const BusyPane&) = delete;

 private:
  qx3DPane* pane_;
};

// Draws with `draw` into the surface through a drawing context in OpenGL mode over the whole bitmap.
template <typename Draw>
void DrawOffscreen(qxDibSurface& surface, int32_t width, int32_t height, bool lineBatch, Draw draw) {
  ppDC dc(surface.DC());
  dc.EraseRect(plat::RECT{0, 0, width, height + 1});
  plat::GdiFlush();
  surface.SetPixelFormat(qxDibSurface::kSoftwareFormat);
  dc.SetOpenGL(true, false, plat::RECT{0, 0, width, height});
  if (lineBatch) dc.SetLineBatch(true);
  draw(dc);
  if (lineBatch) dc.SetLineBatch(false);
  dc.SetOpenGL(false, false, plat::RECT{0, 0, width, height});
  plat::GdiFlush();
}

int32_t Round(float value) { return int32_t(std::lround(value)); }

}  // namespace

bool qxEditorViews::SaveViewAsBitmap(const Vcon::WString& file, ppView& view, qx3DPane* pane) {
  BusyPane busy(pane);
  const plat::RECT& frame = view.GetFrame();
  const int32_t width = frame.right - frame.left;
  const int32_t height = frame.bottom - frame.top;
  qxDibSurface surface(width, height);
  if (!surface.OK()) return false;
  DrawOffscreen(surface, width, height, true, [&](ppDC& dc) { view.Draw(dc); });
  qxBmpFile::Write(file, surface.Header(), surface.Bits());
  return true;
}

void qxEditorViews::DrawViewThroughBitmap(iEditorScroller& scroller, ppDC& target,
                                          const qxViewSettings& settings, qx3DPane* pane) {
  BusyPane busy(pane);
  qxViewSettings copy = settings;
  const plat::RECT unscaled = settings.frame;
  const bool printer = (plat::GetDeviceCaps(target.GetHDC(), plat::RASTERCAPS) & plat::RC_STRETCHDIB) != 0;
  if (printer && settings.zoom > 0) {
    const float factor = kPrinterFactor / settings.zoom;
    copy.frame =
        plat::RECT{Round(float(unscaled.left) * factor), Round(float(unscaled.top) * factor),
                   Round(float(unscaled.right) * factor) + 4, Round(float(unscaled.bottom) * factor) + 4};
    copy.zoom *= factor;
    copy.scale *= factor;
    copy.scaleY *= factor;
  }
  const int32_t width = copy.frame.right - copy.frame.left;
  const int32_t height = copy.frame.bottom - copy.frame.top + 1;
  qxDibSurface surface(width, height);
  if (!surface.OK()) return;
  if (copy.scale != 0) {
    copy.originX += float(copy.frame.left) / copy.scale;
    copy.originY += float(copy.frame.top) / copy.scale;
  }
  DrawOffscreen(surface, width, height, false, [&](ppDC& dc) {
    dc.SetGray(100);
    scroller.DrawView(dc, copy);
  });
  if (!printer) {
    plat::BitBlt(target.GetHDC(), unscaled.left, unscaled.top, width, height, surface.DC(), 0, 1,
                 plat::SRCCOPY);
    return;
  }
  plat::BITMAPINFO info{};
  info.bmiHeader = surface.Header();
  plat::StretchDIBits(target.GetHDC(), unscaled.left, unscaled.top, unscaled.right - unscaled.left,
                      unscaled.bottom - unscaled.top, 0, 0, width - 4, height - 4, surface.Bits(), &info,
                      plat::DIB_RGB_COLORS, plat::SRCCOPY);
}

void qxEditorViews::SetViewMode(iEditorScroller& scroller, int32_t mode) {
  const int32_t current = scroller.CurrentMode();
  const bool known = mode == kTwoPlans || mode == kPlanAnd3D || mode == kOnePlan || mode == kTwoPlansLinked ||
                     mode == k3DOnly;
  if (mode == current || !known) return;
  ppView* one = scroller.View(1);
  ppView* two = scroller.View(2);
  ppView* three = scroller.View(3);
  switch (current) {
    case kTwoPlans:
    case kTwoPlansLinked:
      scroller.DetachView(one);
      scroller.DetachView(two);
      break;
    case kPlanAnd3D:
    case k3DOnly:
      scroller.BroadcastRulers(one, 1);
      scroller.DetachView(three);
      break;
    case kOnePlan:
      scroller.BroadcastRulers(one, 1);
      scroller.DetachView(one);
      break;
    default:
      break;
  }
  auto focus = [&](ppView* view) {
    scroller.SetKeyTarget(view);
    scroller.SetCurrentView(view);
  };
  switch (mode) {
    case kTwoPlans:
      scroller.InsertView(one);
      scroller.InsertView(two);
      focus(two);
      if (two) two->DoCommand(kViewModeCommand, scroller.PlanOption() ? 1 : -1);
      break;
    case kPlanAnd3D:
    case k3DOnly:
      scroller.InsertView(three);
      scroller.SetCurrentView(three);
      break;
    case kOnePlan:
      scroller.InsertView(one);
      focus(one);
      if (one) one->DoCommand(kViewModeCommand, -1);
      break;
    case kTwoPlansLinked:
      scroller.InsertView(one);
      scroller.InsertView(two);
      focus(two);
      if (two) two->DoCommand(kViewModeCommand, 1);
      if (one) one->DoCommand(kViewModeCommand, 1);
      break;
    default:
      break;
  }
  scroller.Invalidate();
  scroller.SetCurrentMode(mode);
  scroller.Invalidate();
}
