// The plan editor on the headless desktop: its frame, rulers and scroller laid out in a window, the
// zoom applied to scrolling and rulers, fitting a room, the view modes, keys, the rulers' pixels and
// their zero point moved from the corner square with the mouse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproRuler.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/FileRecord.h"
#include "foundation/UserPreferences.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppDC.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/Surface.h"
#include "platform/TextLog.h"
#include "platform/WindowApi.h"
#include "room/RoomTestSupport.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "elements/base/PlanPixels.h"

namespace {

using V = ppVector3;

plat::RECT R(int32_t l, int32_t t, int32_t r, int32_t b) { return plat::RECT{l, t, r, b}; }

std::string Str(const plat::RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// A view that records the keys it is given.
class KeyRecorder : public ppView {
 public:
  KeyRecorder() : ppView(nullptr) {}
  void KeyDown(signed char key, int32_t) override { keys.push_back(key); }
  std::vector<int32_t> keys;
};

class EditorTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    Preferences().unitSystem = kUnitMillimetres;
    iApplicationSettings::Install(&settings_);
    CanvasTaskFactory::InstallDefault();
    app_ = std::make_unique<adorner_tests::TestApplication>();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 900, 700);
  }
  void TearDown() override {
    Drop();
    delete window_;
    app_.reset();
    iApplicationSettings::Install(nullptr);
    RoomTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  zelvproEditor& Make(const plat::RECT& frame) {
    editor_ = new zelvproEditor(window_, frame, db_);
    host_.topCanvas = Scroller().TopCanvas();
    host_.newRoomCanvas = Scroller().NewRoomCanvas();
    return *editor_;
  }
  void Drop() {
    host_.topCanvas = host_.newRoomCanvas = nullptr;
    delete editor_;
    editor_ = nullptr;
  }
  zelvproEditorScroller& Scroller() { return *editor_->EditorScroller(); }
  zelvproRuler& Horizontal() { return *editor_->HorizontalRuler(); }
  zelvproRuler& Vertical() { return *editor_->VerticalRuler(); }
  void Scale(double s) { host_.palette->SetScale(s); }

  // A rectangular room of walls on the editor's room canvas, rebuilt so that it has its outline.
  void Room(float x0, float z0, float x1, float z1) {
    qxNewRoomCanvas* room = Scroller().NewRoomCanvas();
    const V corners[] = {V(x0, 0, z0), V(x1, 0, z0), V(x1, 0, z1), V(x0, 0, z1)};
    for (int32_t i = 0; i < 4; ++i) MakeSegment(corners[i], corners[(i + 1) % 4], room);
    room->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }

  bool Shown(ppView* view) { return view->GetSupervisor() == &Scroller(); }

  std::unique_ptr<plat::Surface> Pixels() {
    plat::HeadlessDriver::RunUntilIdle();
    const std::string path =
        ::testing::TempDir() + "editor-" + std::to_string(getpid()) + "-" + std::to_string(dumps_++) + ".png";
    EXPECT_TRUE(plat::HeadlessDriver::DumpPng(hwnd_, path));
    std::unique_ptr<plat::Surface> surface = plat::ReadPng(path);
    std::remove(path.c_str());
    return surface;
  }

  iApplicationSettings settings_;
  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  zelvproEditor* editor_ = nullptr;  // a subview of the window, deleted first
  int32_t dumps_ = 0;
};

// ---- Layout and zoom.

TEST_F(EditorTest, ContentRulersAndCornerLieInsideTheFrameLessTheScrollBars) {
  struct Case {
    bool bars;
    const char *content, *horizontal, *vertical;
  } cases[] = {
      {false, "20,20,770,469", "19,0,771,19", "0,19,19,470"},
      {true, "20,20,752,451", "19,0,753,19", "0,19,19,452"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bars);
    settings_.flags1 = c.bars ? zelvproEditor::kScrollBarsFlag : 0;
    zelvproEditor& editor = Make(R(0, 0, 770, 470));
    EXPECT_EQ(Str(editor.EditorContentRect()), c.content);
    EXPECT_EQ(Str(Scroller().GetFrame()), c.content);
    EXPECT_EQ(Str(Horizontal().GetFrame()), c.horizontal);
    EXPECT_EQ(Str(Vertical().GetFrame()), c.vertical);
    EXPECT_EQ(Str(editor.CornerPane()->GetFrame()), "0,0,19,19");
    EXPECT_EQ(editor.HorizontalBar() != nullptr, c.bars);
    EXPECT_EQ(editor.Zoom(), 10.0f);
    EXPECT_EQ(zelvproEditor::Current(), &editor);
    EXPECT_EQ(zelvproEditorScroller::Current(), &Scroller());
    EXPECT_EQ(zelvproEditorScroller::MainCanvas(), Scroller().TopCanvas());
    // The three canvases ask this editor.
    for (int32_t n : {1, 2, 3})
      EXPECT_EQ(&static_cast<zelvproCanvas*>(Scroller().View(n))->GetEditor(), &editor);
    // The rulers start at the scroller's range and steps.
    EXPECT_EQ(Horizontal().RangeX(), 1000);
    EXPECT_EQ(Vertical().RangeY(), 1000);
    EXPECT_EQ(Horizontal().StepX(), 10);
    EXPECT_EQ(Vertical().StepY(), 10);
    Drop();
    EXPECT_EQ(zelvproEditor::Current(), nullptr);
    EXPECT_EQ(zelvproEditorScroller::MainCanvas(), nullptr);
  }
}

TEST_F(EditorTest, ApplyZoomKeepsThePlanPointAtTheEdgeAndScalesRangesAndRulers) {
  struct Case {
    float from, to;
    int32_t position, expectedPosition, expectedRange;
  } cases[] = {
      {10.0f, 5.0f, 4, 8, 2000},
      {5.0f, 15.0f, 8, 2, 666},  // 2.67 truncated
      {15.0f, 15.0f, 30, 30, 666},
  };
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  // The view bar zooms through its own view of the editor.
  iViewBarEditor& seenByTheBar = editor;
  EXPECT_EQ(seenByTheBar.CommandTarget(), static_cast<ppEventHandler*>(&editor));
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.from << " -> " << c.to);
    Scale(c.from);
    editor.ApplyZoom();
    Scroller().ScrollTo(c.position, c.position);
    Scale(c.to);
    seenByTheBar.ApplyZoom();
    EXPECT_EQ(Scroller().PositionX(), c.expectedPosition);
    EXPECT_EQ(Scroller().PositionY(), c.expectedPosition);
    EXPECT_EQ(Scroller().ExtentX(), c.expectedRange);
    EXPECT_EQ(Scroller().ExtentY(), c.expectedRange);
    EXPECT_EQ(Horizontal().RangeX(), c.expectedRange);
    EXPECT_EQ(Horizontal().RangeY(), 0);
    EXPECT_EQ(Vertical().RangeX(), 0);
    EXPECT_EQ(Vertical().RangeY(), c.expectedRange);
    EXPECT_EQ(Horizontal().PositionX(), c.expectedPosition);
    EXPECT_EQ(Vertical().PositionY(), c.expectedPosition);
    EXPECT_EQ(editor.Zoom(), c.to);
  }
}

TEST_F(EditorTest, FitScaleFitsTheRoomInsideTheMarginAndNeverGoesBelowOne) {
  // The editor is sized so that its scroller is 800 x 600 pixels.
  Make(R(0, 0, 820, 621));
  ASSERT_EQ(Scroller().Width(), 800);
  ASSERT_EQ(Scroller().Height(), 600);
  Room(500, 500, 8100, 3300);
  plat::POINT at{};
  EXPECT_EQ(Scroller().ComputeFitScale(&at), 10.0f);  // 7600 / 760 beats 2800 / 560
  EXPECT_EQ(at.x, 4);
  EXPECT_EQ(at.y, 4);
}

TEST_F(EditorTest, FitScaleOfASmallRoomIsOne) {
  Make(R(0, 0, 820, 621));
  Room(500, 500, 600, 600);
  plat::POINT at{};
  EXPECT_EQ(Scroller().ComputeFitScale(&at), 1.0f);
  EXPECT_EQ(at.x, 49);  // (500 - 10) / 10
  EXPECT_EQ(at.y, 49);
}

TEST_F(EditorTest, FitScaleWithoutRoomInsideTheMarginKeepsScaleAndPosition) {
  for (const plat::RECT& frame : {R(0, 0, 60, 300), R(0, 0, 300, 61), R(0, 0, 20, 21)}) {
    SCOPED_TRACE(Str(frame));
    Make(frame);
    Scale(7.5);
    Scroller().ScrollTo(3, 5);
    plat::POINT at{-1, -1};
    EXPECT_EQ(Scroller().ComputeFitScale(&at), 7.5f);
    EXPECT_EQ(at.x, 3);
    EXPECT_EQ(at.y, 5);
    Drop();
  }
}

TEST_F(EditorTest, ZoomToFitSetsTheBarScaleAndLeavesTheFittedPosition) {
  zelvproEditor& editor = Make(R(0, 0, 820, 621));
  Room(500, 500, 8100, 3300);
  Scroller().ScrollTo(50, 60);
  Scroller().ZoomToFit();
  EXPECT_EQ(host_.palette->GetScale(), 10.0);
  EXPECT_EQ(editor.Zoom(), 10.0f);
  EXPECT_EQ(Scroller().PositionX(), 4);
  EXPECT_EQ(Scroller().PositionY(), 4);
  EXPECT_EQ(Horizontal().PositionX(), 4);
  EXPECT_EQ(Vertical().PositionY(), 4);
  EXPECT_EQ(Scroller().ExtentX(), 1000);
}

// ---- View modes and keys.

TEST_F(EditorTest, ViewModesShowTheirCanvasesAndRouteTheMouseOver) {
  Make(R(0, 0, 770, 470));
  zelvproEditorScroller& s = Scroller();
  ppView *room = s.View(1), *top = s.View(2), *plan = s.View(3);
  KeyRecorder extra;
  s.SetExtraView(&extra);
  struct Case {
    int32_t mode;
    bool room, top, plan;
    ppView* target;
  } cases[] = {
      {2016, true, false, false, room}, {2020, true, true, false, top},   {2024, false, false, true, plan},
      {2032, false, false, true, plan}, {2004, true, true, false, top},   {2056, true, true, false, top},
      {2012, false, false, true, plan}, {2016, true, false, false, room},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    s.SetViewMode(c.mode);
    EXPECT_EQ(s.ViewMode(), c.mode);
    EXPECT_EQ(Shown(room), c.room);
    EXPECT_EQ(Shown(top), c.top);
    EXPECT_EQ(Shown(plan), c.plan);
    EXPECT_EQ(s.TargetView(), c.target);
  }
  // Mouse-over: the plan modes hand it on, the others answer false without asking anybody.
  s.SetViewMode(2032);
  EXPECT_FALSE(s.MouseOver(-5000, -5000, 0));
  s.SetViewMode(2024);
  EXPECT_FALSE(s.MouseOver(100, 100, 0));
  s.SetViewMode(2016);
  EXPECT_TRUE(s.MouseOver(100, 100, 0));
  EXPECT_EQ(ppView::HoveredView(), room);
}

TEST_F(EditorTest, RoomDesignOffStartsInTheLinkedTopView) {
  settings_.roomDesign = false;
  Make(R(0, 0, 770, 470));
  EXPECT_EQ(Scroller().ViewMode(), 2020);
  EXPECT_EQ(Scroller().TargetView(), Scroller().View(2));
  EXPECT_TRUE(Scroller().TopCanvas()->Transparent());
}

TEST_F(EditorTest, TheCurrentViewModeSetAgainInvalidatesNothing) {
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  editor.ChangeViewMode(2016, 2020);
  plat::HeadlessDriver::RunUntilIdle();
  plat::RECT dirty{};
  ASSERT_FALSE(plat::GetUpdateRect(hwnd_, &dirty, false));
  editor.ChangeViewMode(2020, 2020);
  EXPECT_FALSE(plat::GetUpdateRect(hwnd_, &dirty, false)) << Str(dirty);
  editor.ChangeViewMode(2020, 2032);
  plat::HeadlessDriver::RunUntilIdle();
  editor.ChangeViewMode(2032, 2032);
  EXPECT_FALSE(plat::GetUpdateRect(hwnd_, &dirty, false)) << Str(dirty);
  editor.ChangeViewMode(2032, 2016);
  EXPECT_TRUE(plat::GetUpdateRect(hwnd_, &dirty, false));
}

TEST_F(EditorTest, BackspaceReachesTheTargetAsDeleteOtherKeysUnchanged) {
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  KeyRecorder target;
  Scroller().SetCurrentView(&target);
  for (int32_t key : {8, 46, int32_t('A'), 37, -3}) editor.KeyDown(static_cast<signed char>(key), 0);
  EXPECT_EQ(target.keys, (std::vector<int32_t>{46, 46, 'A', 37, -3}));
  Scroller().SetCurrentView(nullptr);
}

TEST_F(EditorTest, BackspaceDeletesTheSelectionAsDeleteDoes) {
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  editor.ChangeViewMode(2016, 2020);
  zelvproTopCanvas* top = Scroller().TopCanvas();
  for (int32_t key : {8, 46}) {
    SCOPED_TRACE(key);
    auto* kept = new zelvproElement(0, top, R(0, 0, 10, 10), nullptr, 0, 0);
    auto* gone = new zelvproElement(0, top, R(0, 0, 10, 10), nullptr, 0, 0);
    gone->Select(false);
    editor.KeyDown(static_cast<signed char>(key), 0);
    plat::HeadlessDriver::RunUntilIdle();
    std::vector<zelvproElement*> left;
    ForEachChildElement(*top, [&](zelvproElement* e) { left.push_back(e); });
    EXPECT_EQ(left, std::vector<zelvproElement*>{kept});
    top->DeleteAllElements();
  }
}

TEST_F(EditorTest, ACommandNobodyAnswersComesToAnEnd) {
  // The window passes unanswered commands to its key target, the room canvas, which passes them up
  // through the scroller and the editor to the window again.
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  ASSERT_EQ(window_->GetTarget(), Scroller().NewRoomCanvas());
  Scroller().NewRoomCanvas()->DoCommand(9999, 0);
  editor.DoCommand(9998, 0);
  window_->DoCommand(9997, 0);
  // The scroller's own commands still arrive through the editor.
  Preferences().unitSystem = kUnitImperial;
  editor.DoCommand(zelvproEditorScroller::kUnitsChanged, 0);
  EXPECT_EQ(RulerMajorSpacing(), 304.8f);
}

TEST_F(EditorTest, CommandReloadsTheDisplaySettingsThenAsksForALaterPriceListRebuild) {
  struct Updates : iCalculationUpdate {
    void UpdateCalculation(bool now) override { calls.push_back(now); }
    std::vector<bool> calls;
  } updates;
  iCalculationUpdate::Install(&updates);
  const std::string file = ::testing::TempDir() + "editor-prefs-" + std::to_string(getpid()) + ".dat";
  PreferencesFileSpec() = ppFileSpec(Vcon::WString(Vcon::String(file.c_str())));
  Preferences().unitSystem = kUnitImperial;
  ASSERT_TRUE(SaveDisplaySettings());
  Preferences().unitSystem = kUnitCentimetres;
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  editor.DoCommand(zelvproEditorScroller::kReloadCalculation, 0);
  EXPECT_EQ(Preferences().unitSystem, uint32_t(kUnitImperial));
  EXPECT_EQ(updates.calls, std::vector<bool>{false});
  iCalculationUpdate::Install(nullptr);
  std::remove(file.c_str());
}

// ---- Scrolling.

TEST_F(EditorTest, RulersScrollOnlyAsFarAsThePlanDid) {
  Make(R(0, 0, 820, 621));  // 80 x 60 scroll units visible of 1000
  struct Case {
    int32_t dx, dy, x, y;
  } cases[] = {{5, 7, 5, 7}, {-10, -10, 0, 0}, {2000, 2000, 920, 940}, {-20, 0, 900, 940}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
    Scroller().ScrollBy(c.dx, c.dy);
    EXPECT_EQ(Scroller().PositionX(), c.x);
    EXPECT_EQ(Scroller().PositionY(), c.y);
    EXPECT_EQ(Horizontal().PositionX(), c.x);
    EXPECT_EQ(Vertical().PositionY(), c.y);
  }
}

// ---- The rulers' pixels.

// Text pixels are smoothed against the white ruler: red 80/20/20 % keeps green and blue equal and
// well below red; the dark grey 20 % text has grey pixels darker than the ticks' 50 %.
enum Ink { kRed, kDarkGrey };

bool Has(const plat::Surface& s, const plat::RECT& box, Ink ink) {
  for (int32_t y = box.top; y < box.bottom; ++y) {
    for (int32_t x = box.left; x < box.right; ++x) {
      const int32_t p = int32_t(s.Pixel(x, y)), r = p >> 16, g = (p >> 8) & 0xFF, b = p & 0xFF;
      if (ink == kRed && g == b && r > g + 0x60) return true;
      if (ink == kDarkGrey && r == g && g == b && r < 0x80) return true;
    }
  }
  return false;
}

TEST_F(EditorTest, MetricRulerLabelsMetresRedBeforeZeroWithNineMinorTicksBetween) {
  Make(R(0, 0, 770, 470));
  Scale(15.0);
  Horizontal().Invalidate();
  std::unique_ptr<plat::Surface> s = Pixels();
  ASSERT_NE(s, nullptr);
  plat::RECT f{};
  Horizontal().GetWindowFrame(&f);
  ASSERT_EQ(Str(f), "19,0,771,19");
  // The ticks' 50 % grey.
  const uint32_t tickGrey = s->Pixel(f.left + 67, f.bottom - 3);
  EXPECT_TRUE(tickGrey >> 16 == (tickGrey & 0xFF) && (tickGrey & 0xFF) > 0x70 && (tickGrey & 0xFF) < 0x90)
      << std::hex << tickGrey;
  // Majors at -2, -1, 0 and 1 metre: +0, +67, +133, +200 pixels; numbers beside them, red before the
  // zero point.
  struct Label {
    int32_t at;
    Ink colour;
  } labels[] = {{0, kRed}, {67, kRed}, {133, kDarkGrey}, {200, kDarkGrey}};
  for (const Label& l : labels) {
    SCOPED_TRACE(l.at);
    const int32_t x = f.left + l.at;
    EXPECT_TRUE(Has(*s, R(x + 2, f.bottom - 9, x + 9, f.bottom - 1), l.colour));
    EXPECT_FALSE(Has(*s, R(x + 2, f.bottom - 9, x + 9, f.bottom - 1), l.colour == kRed ? kDarkGrey : kRed));
    if (l.at > 0) {
      EXPECT_EQ(s->Pixel(x, f.bottom - 10), tickGrey);
      EXPECT_EQ(s->Pixel(x, f.bottom - 2), tickGrey);
    }
  }
  // The zero line runs across the ruler; the other majors only over the bottom 10 pixels.
  EXPECT_EQ(s->Pixel(f.left + 133, f.top + 2), tickGrey);
  EXPECT_NE(s->Pixel(f.left + 67, f.top + 2), tickGrey);
  // Nine minor ticks (5 pixels) between two majors.
  std::set<int32_t> minors;
  for (int32_t x = f.left + 68; x < f.left + 133; ++x) {
    if (s->Pixel(x, f.bottom - 3) == tickGrey) {
      minors.insert(x);
      EXPECT_NE(s->Pixel(x, f.bottom - 7), tickGrey) << x;
    }
  }
  EXPECT_EQ(minors.size(), 9u);
}

TEST_F(EditorTest, RulerNumbersRunInEvenStepsFromTheZeroAtEveryZoomAndScroll) {
  // Labels stand every `step` majors counted from the zero point: 0 is labelled, the numbers run
  // evenly left to right, and scrolling never shifts which majors carry them.
  struct Case {
    int32_t units;
    double scale;  // millimetres per pixel
    double major;  // millimetres
    int64_t step;  // majors from one number to the next
  } cases[] = {
      {kUnitMillimetres, 15.0, 1000.0, 1},   // 67 pixels a metre: every metre
      {kUnitMillimetres, 60.0, 1000.0, 2},   // 17 pixels
      {kUnitMillimetres, 100.0, 1000.0, 5},  // 10 pixels: 2 metres would be exactly 20, too close
      {kUnitMillimetres, 400.0, 1000.0, 10}, {kUnitImperial, 100.0, 304.8, 10},  // 3 pixels a foot
  };
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  plat::RECT f{};
  Horizontal().GetWindowFrame(&f);
  plat::RecordDrawnTexts(true);
  for (const Case& c : cases) {
    Preferences().unitSystem = c.units;
    editor.DoCommand(zelvproEditorScroller::kUnitsChanged, 0);
    Scale(c.scale);
    for (int32_t position : {0, 1, 2, 3, 7, 40}) {
      SCOPED_TRACE(testing::Message() << c.scale << " mm/px, " << c.major << " mm, position " << position);
      Horizontal().SetPosition(position, 0);
      plat::HeadlessDriver::RunUntilIdle();
      plat::ClearDrawnTextLog();
      Horizontal().Invalidate();
      plat::HeadlessDriver::RunUntilIdle();
      // The world value (millimetres from the zero point) at the frame's left edge.
      const double start = double(Horizontal().StepX() * position) * c.scale - Horizontal().ZeroX();
      std::vector<int64_t> majors;
      for (const plat::TextLogRecord& r : plat::DrawnTextLog()) {
        if (r.x < f.left || r.y > f.bottom) continue;  // not the horizontal ruler's
        // Numbers stand 2 pixels right of their tick.
        const double world = double(r.x - 2 - f.left) * c.scale + start;
        const int64_t k = std::llround(world / c.major);
        EXPECT_NEAR(world, double(k) * c.major, c.scale) << "a number beside no major";
        const std::string number = std::to_string(k < 0 ? -k : k);
        EXPECT_EQ(r.text, std::u16string(number.begin(), number.end())) << k;
        majors.push_back(k);
      }
      ASSERT_GE(majors.size(), 3u);
      EXPECT_EQ(majors[0] % c.step, 0) << majors[0];
      for (size_t i = 1; i < majors.size(); ++i) EXPECT_EQ(majors[i] - majors[i - 1], c.step) << i;
      if (start < 0) {
        EXPECT_NE(std::find(majors.begin(), majors.end(), 0), majors.end()) << "0 has its number";
      }
    }
  }
  plat::RecordDrawnTexts(false);
}

// Whether the rulers' insides (window frames inset by one pixel) hold the same pixels in both.
bool SameRulers(const plat::Surface& a, const plat::Surface& b, zelvproRuler& h, zelvproRuler& v) {
  for (zelvproRuler* ruler : {&h, &v}) {
    plat::RECT r{};
    ruler->GetContentRect(&r);
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x)
        if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  }
  return true;
}

TEST_F(EditorTest, MajorsCloserThanTwentyPixelsAreLabelledEveryOtherOneWithoutMinorTicks) {
  // At 60 mm per pixel metres lie 16.7 pixels apart: a major is labelled once more than 20 pixels
  // passed since the last label, so every second one (-2, 0, 2 metres), and no minor ticks.
  Make(R(0, 0, 770, 470));
  Scale(60.0);
  Horizontal().Invalidate();
  std::unique_ptr<plat::Surface> s = Pixels();
  plat::RECT f{};
  Horizontal().GetWindowFrame(&f);
  const uint32_t tickGrey = s->Pixel(f.left + 33, f.bottom - 10);
  std::set<int32_t> ticks;
  for (int32_t x = f.left + 1; x < f.left + 100; ++x)
    if (s->Pixel(x, f.bottom - 3) == tickGrey) ticks.insert(x);
  EXPECT_EQ(ticks, (std::set<int32_t>{f.left + 33, f.left + 67}));
  EXPECT_TRUE(Has(*s, R(f.left + 35, f.bottom - 9, f.left + 42, f.bottom - 1), kDarkGrey));   // 0
  EXPECT_FALSE(Has(*s, R(f.left + 19, f.bottom - 9, f.left + 26, f.bottom - 1), kRed));       // -1
  EXPECT_FALSE(Has(*s, R(f.left + 52, f.bottom - 9, f.left + 59, f.bottom - 1), kDarkGrey));  // 1
  EXPECT_EQ(s->Pixel(f.left + 33, f.top + 2), tickGrey);                                      // the zero line
}

// The rulers drawn on a plain context and on one that maps coordinates (here one to one) hold the
// same pixels: every tick, number and zero line, at fine and coarse scales in both unit systems,
// scrolled and not, and after a wider pen was left on the context.
TEST_F(EditorTest, RulersDrawTheSamePixelsOnAPlainAndAMappedContext) {
  struct Case {
    uint32_t units;
    double scale;  // millimetres per pixel
    int32_t position;
  } cases[] = {
      {kUnitMillimetres, 15.0, 0}, {kUnitMillimetres, 15.0, 7}, {kUnitMillimetres, 60.0, 3},
      {kUnitImperial, 3.0, 0},     {kUnitImperial, 8.0, 5},     {kUnitMillimetres, 400.0, 40},
  };
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  auto draw = [](zelvproRuler& ruler, bool mapped) {
    auto surface = std::make_unique<plat::Surface>(800, 500);
    plat::HDC hdc = plat::CreateSurfaceDC(*surface, plat::POINT{0, 0}, plat::RECT{0, 0, 800, 500});
    if (mapped) {
      plat::SetMapMode(hdc, plat::MM_ISOTROPIC);
      plat::SetWindowExtEx(hdc, 1, 1, nullptr);
      plat::SetViewportExtEx(hdc, 1, 1, nullptr);
    }
    {
      ppDC dc(hdc);
      dc.SetPenSize(3, 3);  // left behind by earlier drawing
      ruler.DrawContent(dc);
    }
    plat::ReleaseSurfaceDC(hdc);
    return surface;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.scale << " mm/px, position " << c.position);
    Preferences().unitSystem = c.units;
    editor.DoCommand(zelvproEditorScroller::kUnitsChanged, 0);
    Scale(c.scale);
    for (zelvproRuler* ruler : {&Horizontal(), &Vertical()}) {
      ruler->SetPosition(c.position, c.position);
      const std::unique_ptr<plat::Surface> plain = draw(*ruler, false), mapped = draw(*ruler, true);
      plat::RECT f{};
      ruler->GetWindowFrame(&f);
      int32_t differing = 0, inked = 0;
      for (int32_t y = f.top; y < f.bottom; ++y) {
        for (int32_t x = f.left; x < f.right; ++x) {
          if (plain->Pixel(x, y) != mapped->Pixel(x, y)) ++differing;
          if (plain->Pixel(x, y) != plain->Pixel(0, 499)) ++inked;
        }
      }
      EXPECT_EQ(differing, 0);
      EXPECT_GT(inked, 50);  // something was drawn
    }
  }
}

TEST_F(EditorTest, MarkerShownThenErasedLeavesTheRulerAsItWas) {
  Make(R(0, 0, 770, 470));
  Scale(15.0);
  std::unique_ptr<plat::Surface> before = Pixels();
  Horizontal().MoveMarker(300, 100);
  Vertical().MoveMarker(300, 100);
  std::unique_ptr<plat::Surface> marked = Pixels();
  EXPECT_FALSE(SameRulers(*before, *marked, Horizontal(), Vertical()));
  EXPECT_NE(marked->Pixel(300, 5), before->Pixel(300, 5));
  EXPECT_NE(marked->Pixel(8, 100), before->Pixel(8, 100));
  // Moving it takes it away from the old place.
  Horizontal().MoveMarker(310, 100);
  std::unique_ptr<plat::Surface> moved = Pixels();
  EXPECT_EQ(moved->Pixel(300, 5), before->Pixel(300, 5));
  // A repaint draws it again where it is.
  Horizontal().Invalidate();
  std::unique_ptr<plat::Surface> repainted = Pixels();
  EXPECT_TRUE(SameRulers(*moved, *repainted, Horizontal(), Vertical()));
  Horizontal().EraseMarker();
  Vertical().EraseMarker();
  Horizontal().EraseMarker();  // a second erase changes nothing
  std::unique_ptr<plat::Surface> after = Pixels();
  EXPECT_TRUE(SameRulers(*before, *after, Horizontal(), Vertical()));
  EXPECT_FALSE(Horizontal().MarkerShown());
}

TEST_F(EditorTest, MouseMovesOverThePlanMarkTheRulersAndLeavingErasesThem) {
  Make(R(0, 0, 770, 470));
  Scroller().MouseMove(200, 150);
  EXPECT_TRUE(Horizontal().MarkerShown());
  EXPECT_TRUE(Vertical().MarkerShown());
  Scroller().MouseMove(5, 150);  // over the vertical ruler
  EXPECT_FALSE(Horizontal().MarkerShown());
  EXPECT_FALSE(Vertical().MarkerShown());
}

// ---- The zero point.

TEST_F(EditorTest, ZeroPointCommandGivesBothRulersTheSameWorldPoint) {
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  Scale(15.0);
  // Scrolled 3 units across and 4 down, as the editor keeps both rulers.
  Horizontal().SetPosition(3, 4);
  Vertical().SetPosition(3, 4);
  plat::RECT h{}, v{};
  Horizontal().GetWindowFrame(&h);
  Vertical().GetWindowFrame(&v);
  plat::POINT p{h.left + 100, v.top + 50};
  editor.CornerPane()->DoCommand(zelvproRuler::kSetZeroPoint, reinterpret_cast<intptr_t>(&p));
  for (zelvproRuler* ruler : {&Horizontal(), &Vertical()}) {
    EXPECT_EQ(ruler->ZeroX(), 1950.0f);  // (10 x 3 + 100) x 15
    EXPECT_EQ(ruler->ZeroY(), 1350.0f);  // (10 x 4 + 50) x 15: the vertical scroll counts
  }
  // The room canvas's grid reads it through its editor.
  iPlanEditor& planEditor = Scroller().NewRoomCanvas()->GetEditor();
  EXPECT_EQ(planEditor.HorizontalRulerOrigin(), 1950);
  EXPECT_EQ(planEditor.VerticalRulerOrigin(), 1350);
}

TEST_F(EditorTest, UnitChangeThroughTheEditorReachesBothRulersAndKeepsTheZeroPoint) {
  zelvproEditor& editor = Make(R(0, 0, 770, 470));
  Preferences().unitSystem = kUnitImperial;
  editor.DoCommand(zelvproEditorScroller::kUnitsChanged, 0);
  EXPECT_EQ(RulerMajorSpacing(), 304.8f);
  EXPECT_EQ(RulerMinorSpacing(), 25.4f);
  EXPECT_EQ(Horizontal().ZeroX(), 2000.0f);
  EXPECT_EQ(Vertical().ZeroY(), 2000.0f);
  // The zero line stays where the zero point is (2000 / 15 pixels in), 6.56 feet from the first major.
  Scale(15.0);
  Horizontal().Invalidate();
  std::unique_ptr<plat::Surface> s = Pixels();
  plat::RECT f{};
  Horizontal().GetWindowFrame(&f);
  EXPECT_EQ(s->Pixel(f.left + 133, f.top + 2), s->Pixel(f.left + 133, f.bottom - 2));
  EXPECT_NE(s->Pixel(f.left + 133, f.top + 2), 0xFFFFFFu);
}

TEST_F(EditorTest, ACornerClickMovesNothingADragMovesBothZeroPoints) {
  Make(R(0, 0, 770, 470));
  Scale(15.0);
  // A click: released at once.
  plat::Desktop::Click(plat::POINT{8, 8});
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Horizontal().ZeroX(), 2000.0f);
  EXPECT_EQ(Vertical().ZeroY(), 2000.0f);
  // Pressed, held a moment and released elsewhere: a drag.
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, plat::POINT{8, 8});
  plat::HeadlessDriver::RunUntilIdle();
  plat::Desktop::MouseMove(plat::POINT{60, 80});
  plat::HeadlessDriver::RunUntilIdle();
  plat::Desktop::MouseMove(plat::POINT{119, 69});
  plat::HeadlessDriver::RunUntilIdle();
  plat::LayerClock::Advance(1000);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, plat::POINT{119, 69});
  plat::HeadlessDriver::RunUntilIdle();
  for (zelvproRuler* ruler : {&Horizontal(), &Vertical()}) {
    EXPECT_EQ(ruler->ZeroX(), 1500.0f);  // (119 - 19) x 15
    EXPECT_EQ(ruler->ZeroY(), 750.0f);   // (69 - 19) x 15
  }
  // A second drag starts a new task (the first one is gone).
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, plat::POINT{8, 8});
  plat::HeadlessDriver::RunUntilIdle();
  plat::LayerClock::Advance(1000);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, plat::POINT{49, 39});
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Horizontal().ZeroX(), 450.0f);
  EXPECT_EQ(Vertical().ZeroY(), 300.0f);
}

// The corner box takes only its own presses: a drag on a wall of the room design moves the wall
// (the room canvas's wall move) and leaves the rulers' zero point where it was.
TEST_F(EditorTest, ADragOnAWallMovesTheWallNotTheRulersZeroPoint) {
  Make(R(0, 0, 770, 470));
  Scale(15.0);
  Room(1500, 1500, 4500, 3750);
  qxRoomSegment* bottom = nullptr;
  ForEachChildElement(*Scroller().NewRoomCanvas(), [&](zelvproElement* child) {
    auto* wall = dynamic_cast<qxRoomSegment*>(child);
    if (wall != nullptr && wall->Start().z == 3750.0f && wall->End().z == 3750.0f) bottom = wall;
  });
  ASSERT_NE(bottom, nullptr);
  const float zeroX = Horizontal().ZeroX(), zeroY = Vertical().ZeroY();
  plat::POINT at{};
  PlanPointToScreen(V(3000, 0, 3750), at);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
  plat::HeadlessDriver::RunUntilIdle();
  plat::Desktop::MouseMove(plat::POINT{at.x, at.y + 10});
  plat::HeadlessDriver::RunUntilIdle();
  plat::Desktop::MouseMove(plat::POINT{at.x, at.y + 20});
  plat::HeadlessDriver::RunUntilIdle();
  plat::LayerClock::Advance(1000);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, plat::POINT{at.x, at.y + 20});
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_GT(bottom->Start().z, 3750.0f + 200.0f) << "20 pixels of 15 mm";
  EXPECT_EQ(Horizontal().ZeroX(), zeroX);
  EXPECT_EQ(Vertical().ZeroY(), zeroY);
  // Undo puts it back.
  Scroller().NewRoomCanvas()->DoCommand(zelvproCanvas::kUndo, 0);
  EXPECT_EQ(bottom->Start().z, 3750.0f);
}

}  // namespace
