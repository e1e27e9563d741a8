#include "canvas/editor/zelvproRulerPane.h"

#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproRuler.h"
#include "canvas/editor/zelvproRulerTask.h"
#include "framework/ppApplication.h"
#include "framework/ppBrushSaver.h"
#include "framework/ppClipSaver.h"
#include "framework/ppDC.h"
#include "framework/ppPicture.h"
#include "framework/ppWindow.h"

zelvproRulerPane::zelvproRulerPane(ppView* supervisor, const plat::RECT& frame, zelvproRuler* horizontal,
                                   zelvproRuler* vertical)
    : ppView(supervisor, kStay, kStay), horizontal_(horizontal), vertical_(vertical) {
  SetFrame(plat::RECT{frame.left, frame.top, frame.right + 1, frame.bottom + 1});
}

void zelvproRulerPane::DoCommand(int32_t command, intptr_t parameter) {
  if (command == zelvproRuler::kSetZeroPoint) {
    const auto* point = reinterpret_cast<const plat::POINT*>(parameter);
    float x = 0, y = 0, unused = 0;
    if (point == nullptr || horizontal_ == nullptr || vertical_ == nullptr) return;
    // Each ruler knows the scroll position and step of its own axis only.
    if (!horizontal_->ZeroPointAt(*point, &x, &unused) || !vertical_->ZeroPointAt(*point, &unused, &y))
      return;
    vertical_->SetZeroPoint(x, y);
    horizontal_->SetZeroPoint(x, y);
    return;
  }
  if (vertical_ != nullptr) vertical_->DoCommand(command, parameter);
  if (horizontal_ != nullptr) horizontal_->DoCommand(command, parameter);
}

void zelvproRulerPane::DrawContent(ppDC& dc) {
  ppPicture* picture = gApplication != nullptr ? gApplication->GetPictureAt(kPicture, 0) : nullptr;
  if (picture == nullptr) return;
  plat::RECT f{};
  GetWindowFrame(&f);
  ppClipSaver clip(dc);
  ppBrushSaver brushes(dc);
  dc.ClipToRect(f);
  picture->Draw(dc, f);
}

bool zelvproRulerPane::MouseDown(int32_t x, int32_t y) {
  // Only a press on the corner box itself sets the origin; the presses on the plan are the canvas's.
  if (!ContainsPoint(x, y)) return false;
  // Without a window there is no mouse tracking to end the task.
  if (dynamic_cast<ppWindow*>(GetRootView()) == nullptr) return true;
  zelvproEditorScroller* scroller = zelvproEditorScroller::Current();
  // Owned by the mouse tracking until the release finishes it.
  auto* task = new zelvproRulerTask(this, this, scroller);
  task->Start(x, y);
  return true;
}
