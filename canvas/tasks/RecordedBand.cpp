#include "canvas/tasks/RecordedBand.h"

#include "framework/ppDC.h"
#include "framework/ppView.h"

void RecordedBand::Draw(ppView* view, ppView* canvas, const std::function<void(ppDC&)>& draw) {
  if (view == nullptr) return;
  {
    ppDC dc(view->GetHWND());
    dc.ClipToRect(plat::RECT{0, 0, 0, 0});
    shape_.Reset();
    dc.AttachShape(&shape_);
    draw(dc);
    shape_.End();
    dc.AttachShape(nullptr);
  }
  Replay(view, canvas);
}

void RecordedBand::Erase(ppView* view, ppView* canvas) {
  Replay(view, canvas);
  shape_.FreeRecords();
}

void RecordedBand::Replay(ppView* view, ppView* canvas) const {
  if (view == nullptr || shape_.Records() == nullptr) return;
  ppDC dc(view->GetHWND());
  if (canvas != nullptr) canvas->ClipToVisible(dc);
  dc.SetXorMode();
  shape_.Replay(&dc, 0.0f, 0.0f, 1.0f);
  dc.SetNormalPen();
}
