#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/ppAdorner.h"
#include "framework/ppDC.h"
#include "framework/ppPane.h"
#include "framework/ppRegion.h"
#include "framework/ppView.h"
#include "platform/Gdi.h"
#include "platform/Surface.h"

namespace {

using plat::RECT;

std::vector<std::string> gLog;

// A pane that logs what reaches it.
class Logged : public ppPane {
 public:
  Logged(ppView* supervisor, RECT frame, std::string name, int8_t h = kStretch, int8_t v = kStretch)
      : ppPane(supervisor, frame, h, v), name_(std::move(name)) {}
  ~Logged() override { gLog.push_back("delete " + name_); }
  void DrawContent(ppDC&) override { gLog.push_back("draw " + name_); }
  void SupervisorResized(int32_t dx, int32_t dy) override {
    gLog.push_back(name_ + " told " + std::to_string(dx) + "," + std::to_string(dy));
    ppPane::SupervisorResized(dx, dy);
  }
  void DoCommand(int32_t command, intptr_t parameter) override {
    gLog.push_back(name_ + " command " + std::to_string(command));
    ppPane::DoCommand(command, parameter);
  }
  bool WantsDoubleClicks() override { return true; }
  void MouseEnter(int32_t, int32_t) override { gLog.push_back("enter " + name_); }
  void MouseLeave() override { gLog.push_back("leave " + name_); }

 private:
  std::string name_;
};

class Outline : public ppAdorner {
 public:
  Outline(ppView* view, char phase, std::string name) : ppAdorner(view, phase), name_(std::move(name)) {}
  void Draw(const RECT*, char pass, ppDC*) override {
    gLog.push_back(name_ + " pass " + std::to_string(int(pass)));
  }

 private:
  std::string name_;
};

class Views : public ::testing::Test {
 protected:
  void SetUp() override {
    gLog.clear();
    ppView::ResetClickPoint();
    ppView::EndHover();
  }
};

TEST_F(Views, BindingsMoveOrStretchAndPassOnlySizeChangesDown) {
  Logged root(nullptr, {0, 0, 200, 200}, "root");
  auto* mover = new Logged(&root, {10, 10, 60, 60}, "mover", ppView::kMove, ppView::kMove);
  auto* inMover = new Logged(mover, {0, 0, 5, 5}, "inMover");
  auto* stretcher = new Logged(&root, {100, 100, 150, 150}, "stretcher");
  auto* inStretcher = new Logged(stretcher, {0, 0, 5, 5}, "inStretcher");
  auto* stayer = new Logged(&root, {70, 70, 80, 80}, "stayer", ppView::kStay, ppView::kStay);
  gLog.clear();
  for (int32_t i = 0; i < root.Subviews().Count(); ++i) root.Subviews().At(i)->SupervisorResized(10, 20);
  EXPECT_EQ(mover->GetFrame(), (RECT{20, 30, 70, 80}));
  EXPECT_EQ(stretcher->GetFrame(), (RECT{100, 100, 160, 170}));
  EXPECT_EQ(stayer->GetFrame(), (RECT{70, 70, 80, 80}));
  EXPECT_EQ(gLog, (std::vector<std::string>{"mover told 10,20", "inMover told 0,0", "stretcher told 10,20",
                                            "inStretcher told 10,20", "stayer told 10,20"}));
  EXPECT_EQ(inStretcher->GetFrame(), (RECT{0, 0, 15, 25}));
  (void)inMover;
  mover->ResizeTo(5, 6);
  EXPECT_EQ(mover->GetFrame(), (RECT{20, 30, 25, 36}));
  EXPECT_EQ(inMover->GetFrame(), (RECT{0, 0, 5, 5}));
}

TEST_F(Views, ClicksWithinTwoPixelsAreNear) {
  Logged root(nullptr, {0, 0, 500, 500}, "root");
  EXPECT_FALSE(root.MouseDown(100, 100));
  EXPECT_TRUE(root.MouseDown(102, 100));  // near: a double click; the point stays
  EXPECT_TRUE(root.MouseDown(98, 102));
  EXPECT_FALSE(root.MouseDown(103, 100));  // three away: a new first click
  EXPECT_FALSE(root.MouseDown(103, 103));
}

TEST_F(Views, HitTestsAndTheirOrders) {
  Logged root(nullptr, {0, 0, 100, 100}, "root");
  auto* under = new Logged(&root, {10, 10, 50, 50}, "under");
  auto* over = new Logged(&root, {30, 30, 70, 70}, "over");
  auto* outside = new Logged(under, {-30, -30, -20, -20}, "outside");  // reaches out of its supervisor
  EXPECT_EQ(root.FindViewAt(40, 40), over);                            // the later one, drawn on top
  EXPECT_EQ(root.DeepestViewAt(40, 40), under);                        // the earlier one
  over->Hide();
  EXPECT_EQ(root.FindViewAt(40, 40), over);  // hidden views are still hit
  EXPECT_EQ(root.DeepestViewAt(-15, -15), outside);
  EXPECT_EQ(root.FindViewAt(-15, -15), nullptr);
  EXPECT_EQ(root.FindViewAt(200, 200), nullptr);
}

TEST_F(Views, SubviewListKeepsOneEntryPerViewAndIgnoresStrangers) {
  ppView root;
  root.SetFrame({0, 0, 10, 10});
  auto* a = new ppView(&root);
  root.AddSubview(a);
  EXPECT_EQ(root.Subviews().Count(), 1);
  ppView stranger;
  root.RemoveSubview(&stranger);  // not a subview: nothing happens
  EXPECT_EQ(root.Subviews().Count(), 1);
  EXPECT_EQ(root.Subviews().At(0), a);
  auto* b = new ppView();
  root.InsertSubview(b, 7);
  auto* c = new ppView();
  root.InsertSubview(c, 0);
  EXPECT_EQ(root.Subviews().At(0), c);
  EXPECT_EQ(root.Subviews().At(2), b);
  EXPECT_EQ(b->GetSupervisor(), &root);
  for (int i = 0; i < 9; ++i) new ppView(&root);  // past the first 8 entries the list grows
  EXPECT_EQ(root.Subviews().Count(), 12);
  EXPECT_EQ(root.Subviews().Capacity(), 16);
  delete a;  // a deleted subview leaves its supervisor's list
  EXPECT_EQ(root.Subviews().Count(), 11);
}

TEST_F(Views, CommandsClimbToTheTopAndThenTheKeyTarget) {
  Logged root(nullptr, {0, 0, 10, 10}, "root");
  Logged target(nullptr, {0, 0, 1, 1}, "target");
  root.SetTarget(&target);
  auto* child = new Logged(&root, {0, 0, 5, 5}, "child");
  child->DoCommand(5000, 0);
  EXPECT_EQ(gLog,
            (std::vector<std::string>{"child command 5000", "root command 5000", "target command 5000"}));
}

TEST_F(Views, HoverMovesFromViewToView) {
  Logged root(nullptr, {0, 0, 100, 100}, "root");
  new Logged(&root, {0, 0, 50, 50}, "left");
  new Logged(&root, {50, 0, 100, 50}, "right");
  root.MouseMove(10, 10);
  root.MouseMove(60, 10);
  root.MouseMove(60, 80);
  EXPECT_EQ(gLog, (std::vector<std::string>{"enter left", "leave left", "enter right", "leave right",
                                            "enter root"}));
}

// A view whose frame region cannot be made, as when the system runs out of regions.
class Unframeable : public ppView {
 public:
  using ppView::ppView;
  std::unique_ptr<ppRegion> GetFrameRegion() override { throw std::runtime_error("no region"); }
};

TEST_F(Views, AFrameRegionThatThrowsLeavesNoRegionBehind) {
  struct Case {
    const char* name;
    std::function<void(ppView&)> call;
  };
  plat::Surface surface{10, 10};
  plat::HDC hdc = plat::CreateSurfaceDC(surface, {0, 0}, RECT{0, 0, 10, 10});
  const Case cases[] = {{"visible region", [](ppView& v) { v.GetVisibleRegion(); }},
                        {"clip to visible", [hdc](ppView& v) {
                           ppDC dc(hdc);
                           v.ClipToVisible(dc);
                         }}};
  ppView root;
  root.SetFrame({0, 0, 100, 100});
  auto* middle = new ppView(&root);
  middle->SetFrame({10, 10, 90, 90});
  auto* thrower = new Unframeable(middle);
  auto* below = new ppView(thrower);  // its supervisors' regions are made before the thrower's fails
  for (const Case& c : cases) {
    for (ppView* view : {static_cast<ppView*>(thrower), below}) {
      const int32_t live = ppRegion::LiveCount();
      EXPECT_THROW(c.call(*view), std::runtime_error) << c.name;
      EXPECT_EQ(ppRegion::LiveCount(), live) << c.name;
    }
  }
  plat::ReleaseSurfaceDC(hdc);
}

class DrawingViews : public Views {
 protected:
  void SetUp() override {
    Views::SetUp();
    dc_ = plat::CreateSurfaceDC(surface_, {0, 0}, RECT{0, 0, 100, 100});
  }
  void TearDown() override { plat::ReleaseSurfaceDC(dc_); }
  plat::Surface surface_{100, 100};
  plat::HDC dc_ = nullptr;
};

TEST_F(DrawingViews, DrawsAdornersContentAndSubviewsInOrderWhereTheUpdateReaches) {
  Logged root(nullptr, {0, 0, 100, 100}, "root");
  new Outline(&root, ppAdorner::kAfter, "frame");
  new Outline(&root, ppAdorner::kBefore, "fill");
  new Logged(&root, {0, 0, 20, 20}, "a");
  auto* hidden = new Logged(&root, {0, 0, 20, 20}, "hidden");
  hidden->Hide();
  new Logged(&root, {80, 80, 90, 90}, "missed");
  ppRegion update(RECT{0, 0, 30, 30});
  {
    ppDC dc(dc_, nullptr, update.Handle());
    root.Draw(dc);
  }
  EXPECT_EQ(gLog, (std::vector<std::string>{"fill pass 0", "draw root", "draw a", "frame pass 1"}));
}

TEST_F(DrawingViews, AContextWithoutAPaintRegionDrawsNothingButPrintsEverything) {
  Logged root(nullptr, {0, 0, 100, 100}, "root");
  new Logged(&root, {0, 0, 20, 20}, "a");
  {
    ppDC dc(dc_);
    root.Draw(dc);
    EXPECT_TRUE(gLog.empty());
    EXPECT_EQ(root.Print(dc, 1), 1);
  }
  EXPECT_EQ(gLog, (std::vector<std::string>{"draw root", "draw a"}));
}

}  // namespace
