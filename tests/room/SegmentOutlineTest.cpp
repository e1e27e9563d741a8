// Room segment feedback: the outline of the drag and of the hit region, the mid handle, the length
// label of a drag, the side a dimension label takes, and the Draw Walls hover distances as pixels.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/iShape.h"
#include "framework/ppDC.h"
#include "platform/InputState.h"
#include "room/RoomTestSupport.h"
#include "room/qxNewRoomCanvas.h"
#include "room/zelvproRoomButtons.h"
#include "tests/framework/TestWindow.h"

namespace {

using V = ppVector3;

// Every shape command as text: "M x y", "L x y", "A ..." (arcs), "T text".
class ShapeLog : public iShape {
 public:
  void Reset() override {}
  void MoveToF(float x, float y) override { Add("M", x, y); }
  void LineToF(float x, float y) override { Add("L", x, y); }
  void CurveTo(float, float, float, float, float x, float y) override { Add("C", x, y); }
  void ArcAroundTo(float, float, uint8_t, float x, float y) override { Add("A", x, y); }
  void ArcInBoxTo(float, float, float, float, float x, float y, uint8_t) override { Add("A", x, y); }
  void End() override {}
  void SetFont(const char*, int32_t, int32_t, float) override {}
  void DrawText(const char* text) override { log.push_back(std::string("T ") + text); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const std::string& s : log)
      if (s[0] == 'T') out.push_back(s.substr(2));
    return out;
  }
  std::vector<std::string> log;

 private:
  void Add(const char* code, float x, float y) {
    log.push_back(std::string(code) + " " + std::to_string(int(x)) + " " + std::to_string(int(y)));
  }
};

// The room canvas drawn on a headless window, so that the hover feedback reaches pixels.
class WindowCanvas : public roomtest::RoomCanvas {
 public:
  plat::HWND GetHWND() override { return window; }
  plat::HWND window = nullptr;
};

class SegmentOutlineTest : public roomtest::RoomTest {
 protected:
  void SetUp() override {
    RoomTest::SetUp();
    plat::InputState::Reset();     // no key held: Ctrl would turn the length label's snapping off
    host_.palette->SetScale(1.0);  // one millimetre a pixel: pixels read as plan points
  }
  void TearDown() override {
    DrawWallsMode = false;
    RoomTest::TearDown();
  }
};

TEST_F(SegmentOutlineTest, OutlineHalfWidthAndEnds) {
  struct Case {
    const char* thickness;
    bool outlineOnly;
    std::vector<std::string> polygon;
  } cases[] = {
      // Hit outline: half width and overhang 0.7 t ...
      {"100",
       true,
       {"M 930 930", "L 3070 930", "L 3070 1000", "L 3070 1070", "L 930 1070", "L 930 1000", "L 930 930"}},
      // ... but never less than 35.
      {"40",
       true,
       {"M 965 965", "L 3035 965", "L 3035 1000", "L 3035 1035", "L 965 1035", "L 965 1000", "L 965 965"}},
      // Drag outline: half width 0.55 t, pointed ends whose tips are the wall's ends.
      {"100",
       false,
       {"M 1055 945", "L 2945 945", "L 3000 1000", "L 2945 1055", "L 1055 1055", "L 1000 1000",
        "L 1055 945"}},
  };
  for (const Case& c : cases) {
    canvas_->thickness = std::u16string(c.thickness, c.thickness + std::strlen(c.thickness));
    qxRoomSegment* s = MakeSegment(V(1000, 0, 1000), V(3000, 0, 1000));
    ShapeLog shape;
    s->BuildOutline(s->Start(), s->End(), shape, c.outlineOnly);
    ASSERT_GE(shape.log.size(), c.polygon.size()) << c.thickness;
    EXPECT_EQ(std::vector<std::string>(shape.log.begin(), shape.log.begin() + long(c.polygon.size())),
              c.polygon)
        << c.thickness << (c.outlineOnly ? " outline only" : " drag");
    // The hit region is that outline.
    if (c.outlineOnly) {
      const int32_t half = 1000 - std::stoi(c.polygon.front().substr(2));
      EXPECT_TRUE(s->ContainsPoint(2000, 1000 + half - 1)) << c.thickness;
      EXPECT_FALSE(s->ContainsPoint(2000, 1000 + half + 1)) << c.thickness;
    }
  }
}

TEST_F(SegmentOutlineTest, MidHandleOnStraightWallsOnly) {
  qxRoomSegment* s = MakeSegment(V(1000, 0, 1000), V(3000, 0, 2000));
  plat::RECT mid{1, 1, 1, 1}, arc{1, 1, 1, 1};
  s->GetMidHandleRect(mid);
  s->GetArcHandleRect(arc);
  EXPECT_EQ(mid, (plat::RECT{1996, 1496, 2006, 1506}));
  EXPECT_EQ(arc, (plat::RECT{}));
  s->SetValue(s->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
  s->GetMidHandleRect(mid);
  s->GetArcHandleRect(arc);
  EXPECT_EQ(mid, (plat::RECT{}));
  EXPECT_EQ(arc.right - arc.left, 10);
  EXPECT_EQ(arc.bottom - arc.top, 10);
}

TEST_F(SegmentOutlineTest, MidHandleDrawnForStraightUnlockedWallsOfTheCurrentCanvas) {
  plat::Surface* surface = nullptr;
  plat::HWND window = picture_tests::MakeTestWindow(300, 200, 0xFFFFFF, &surface);
  ASSERT_NE(surface, nullptr);
  host_.palette->SetScale(10.0);
  qxNewRoomCanvas older(nullptr, plat::RECT{0, 0, 800, 600}, db_);
  qxNewRoomCanvas current(nullptr, plat::RECT{0, 0, 800, 600}, db_);
  struct Case {
    qxNewRoomCanvas* canvas;
    bool arched, locked, drawn;
  } cases[] = {
      {&current, false, false, true},
      {&current, true, false, false},
      {&current, false, true, false},
      {&older, false, false, false},
  };
  for (const Case& c : cases) {
    db_->TopViewFile().ReadRecord(topView_, nullptr);
    auto* s = new qxRoomSegment(topView_, c.canvas, plat::RECT{0, 0, 10, 10},
                                db_->TopViewFile().GetRecordBuffer(), db_->ShapeFile());
    s->SetEnds(V(1000, 0, 1000), V(3000, 0, 1000));  // the chord's midpoint is pixel (200, 100)
    if (c.arched) s->SetValue(s->IndexOf(Vcon::String("RoundWall")), ppParameter(true));
    s->locked = c.locked;
    surface->Fill(0xFFFFFF);
    {
      ppDC dc(window);
      s->DrawContent(dc);
    }
    EXPECT_EQ(surface->Pixel(201, 101) != 0xFFFFFFu, c.drawn) << c.arched << c.locked << (c.canvas == &older);
    delete s;
  }
  plat::DestroyWindow(window);
}

// Stored ends (1000, 1000)-(3000, 1000), thickness 150, no neighbours: the label measures the outer
// faces, 150 more than the centre line, and the change of length snaps to 50 mm.
TEST_F(SegmentOutlineTest, LengthLabelOnlyWhileTheLengthDiffers) {
  struct Case {
    float endX;
    std::vector<std::string> texts;
  } cases[] = {
      {3000, {}},
      {4000, {"3150 mm"}},
      {4049, {"3150 mm"}},
      {2950, {"2100 mm"}},
  };
  for (const Case& c : cases) {
    qxRoomSegment* s = MakeSegment(V(1000, 0, 1000), V(3000, 0, 1000));
    ShapeLog shape;
    s->DrawOutlineWithDimension(s->Start(), V(c.endX, 0, 1000), shape);
    EXPECT_EQ(shape.Texts(), c.texts) << c.endX;
    // A straight wall keeps no arc from the drag (a saved plan refuses an arc's far-off centre).
    EXPECT_EQ(s->GetRadius(), 0.0f) << c.endX;
  }
  // A drag whose far end moves on from step to step, as the wall drawing's does.
  qxRoomSegment* s = MakeSegment(V(1000, 0, 1000), V(1000, 0, 1000));
  ShapeLog shape;
  for (float z : {1000.0f, 1300.0f, 1001.0f})
    s->DrawOutlineWithDimension(V(1000, 0, 1000), V(3000, 0, z), shape);
  EXPECT_EQ(s->GetRadius(), 0.0f) << "a straight wall dragged";
}

// A horizontal label from (100, 100) to (300, 100) lies below the wall while the plan view has room
// there and above it otherwise; with no length it is not drawn at all.
TEST_F(SegmentOutlineTest, LabelSideFollowsTheRoomInThePlanView) {
  ppView scroll;
  roomtest::RoomCanvas plan;
  plan.SetScrollView(&scroll);
  host_.topCanvas = &plan;
  struct Case {
    int32_t viewHeight;
    plat::POINT b;
    std::string firstExtension;
  } cases[] = {
      {400, {300, 100}, "M 299 110"},  // room below: the extension lines go down
      {140, {300, 100}, "M 299 90"},   // the probe falls below the view: up
      {400, {100, 100}, ""},           // zero length: nothing
  };
  for (const Case& c : cases) {
    scroll.SetFrame(plat::RECT{0, 0, 800, c.viewHeight});
    ShapeLog shape;
    qxRoomSegment::DrawDimensionLabel(plat::POINT{100, 100}, c.b, false, shape, "200 mm");
    EXPECT_EQ(shape.log.empty() ? "" : shape.log.front(), c.firstExtension) << c.viewHeight;
  }
  host_.topCanvas = nullptr;
}

TEST_F(SegmentOutlineTest, DrawWallsHoverShowsDistancesAndErasesThemInXor) {
  plat::Surface* surface = nullptr;
  auto canvas = std::make_unique<WindowCanvas>();
  canvas->window = picture_tests::MakeTestWindow(600, 200, 0xFFFFFF, &surface);
  ASSERT_NE(surface, nullptr);
  canvas_ = std::move(canvas);
  host_.palette->SetScale(10.0);  // 10 mm a pixel
  DrawWallsMode = true;
  // The wall runs from pixel (100, 100) to (500, 100).
  qxRoomSegment* s = MakeSegment(V(1000, 0, 1000), V(5000, 0, 1000));
  const auto pixels = [surface] {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < surface->Height(); ++y)
      for (int32_t x = 0; x < surface->Width(); ++x) out.push_back(surface->Pixel(x, y));
    return out;
  };
  const auto changedIn = [&](const std::vector<uint32_t>& before, int32_t x0, int32_t x1) {
    int32_t n = 0;
    for (int32_t y = 0; y < surface->Height(); ++y)
      for (int32_t x = x0; x < x1; ++x) n += surface->Pixel(x, y) != before[size_t(y * surface->Width() + x)];
    return n;
  };
  const std::vector<uint32_t> blank = pixels();

  s->MouseEnter(300, 106);  // 60 mm off the centre line
  EXPECT_EQ(pixels(), blank);

  s->AdjustCursor(300, 104);  // 40 mm off: both distances and the marker on the centre line
  EXPECT_GT(changedIn(blank, 100, 290), 0);
  EXPECT_GT(changedIn(blank, 310, 500), 0);
  EXPECT_NE(surface->Pixel(303, 100), blank[100 * 600 + 303]);
  const std::vector<uint32_t> shown = pixels();

  s->MouseEnter(300, 104);  // the same feedback drawn again restores every pixel
  EXPECT_EQ(pixels(), blank);
  s->MouseEnter(300, 104);
  EXPECT_EQ(pixels(), shown);

  s->MouseLeave();  // leaving erases what the last move drew
  EXPECT_EQ(pixels(), blank);
  s->AdjustCursor(300, 104);
  s->AdjustCursor(300, 106);  // moving away erases it as well
  EXPECT_EQ(pixels(), blank);
  plat::DestroyWindow(canvas_->GetHWND());
}

}  // namespace
