// The view bar with the real element palette on the demo catalogue: the palette gets a scroll record
// per view, and a view switch keeps the leaving view's strip position and brings back the new one's
// (the top views and 3D share one record).
#include <gtest/gtest.h>

#include "PaletteTestSupport.h"
#include "canvas/editor/zelvproViewBar.h"

namespace {

class ViewBarPaletteTest : public palettetest::PaletteTest {};

TEST_F(ViewBarPaletteTest, ASwitchKeepsTheLeavingViewsStripPositionAndRestoresTheNewOnes) {
  MakeWindowShowingGroup();
  ppView calculation, canvas3D;
  auto* bar = new zelvproViewBar(window_, eltest::Rect(0, 0, kWidth, 62), palette_, canvas_.get(),
                                 &calculation, &canvas3D);
  EXPECT_EQ(palette_->ViewMemoryCount(), 6);
  for (int32_t view : {2016, 2020, 2004, 2056, 2024, 2012})
    EXPECT_NE(palette_->FindViewMemory(view), nullptr);

  struct Step {
    int32_t command;      // the menu command that switches
    int32_t scrollFirst;  // where the strip stands before the switch
    int32_t after;        // where the switch leaves it
  };
  const Step steps[] = {
      {3005, 7, 0},  // room design keeps 7; 3D has the top views' record, still 0
      {3003, 4, 4},  // 3D keeps 4 in the shared record; top-view colour reads it
      {3001, 2, 7},  // top-view colour keeps 2 in the shared record; room design gets its 7 back
      {3005, 0, 2},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.command);
    Strip().ScrollTo(step.scrollFirst, 0);
    bar->DoCommand(step.command, 0);
    EXPECT_EQ(Strip().PositionX(), step.after);
  }
  // The canvases are the test's: out of the window before it goes.
  for (ppView* view : {static_cast<ppView*>(&calculation), static_cast<ppView*>(&canvas3D)})
    view->DetachFromSupervisor();
  canvas_->DetachFromSupervisor();
}

}  // namespace
