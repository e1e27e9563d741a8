// The corner's angle feedback (recorded commands and XOR pixels of a headless window), its window
// rectangle and its information panel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "database/ppDatafile.h"
#include "elements/topview/iConfigurator.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/ShapeRecorderLog.h"
#include "framework/TestWindow.h"
#include "framework/ppDC.h"
#include "framework/ppShape.h"
#include "room/RoomTestSupport.h"

namespace {

using roomtest::RoomTest;
using V = ppVector3;

// The corner lies at plan (1000, 1000), the pixel (100, 100) at 10 millimetres a pixel.
const V kCorner(1000, 0, 1000);
constexpr int32_t kX = 100, kY = 100;

struct Label {
  float x, y;
  std::string text;
};

struct Drawing {
  std::vector<std::string> circle;  // the first three commands
  std::vector<std::pair<float, float>> rays;
  std::vector<Label> labels;
};

// Reads the recorder's log back into circle, ray ends and labels (each text at its move).
Drawing Parse(const std::vector<std::string>& calls) {
  Drawing out;
  float x = 0, y = 0;
  for (const std::string& call : calls) {
    if (out.circle.size() < 3 && call != "Reset" && call != "End") {
      out.circle.push_back(call);
    } else if (std::sscanf(call.c_str(), "MoveTo %f %f", &x, &y) == 2) {
      continue;
    } else if (float lx, ly; std::sscanf(call.c_str(), "LineTo %f %f", &lx, &ly) == 2) {
      out.rays.emplace_back(lx, ly);
    } else if (call.rfind("Text ", 0) == 0) {
      out.labels.push_back({x, y, call.substr(5)});
    }
  }
  return out;
}

class JunctionDrawingTest : public RoomTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    RoomTest::SetUp();
    host_.palette->SetScale(10.0);
    window_ = picture_tests::MakeTestWindow(200, 200, 0xFFFFFF, &surface_);
  }

  std::vector<uint32_t> Pixels() const {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < surface_->Height(); ++y)
      for (int32_t x = 0; x < surface_->Width(); ++x) out.push_back(surface_->Pixel(x, y));
    return out;
  }

  plat::HWND window_ = nullptr;
  plat::Surface* surface_ = nullptr;
};

TEST_F(JunctionDrawingTest, EachGapGetsItsAngleOnItsBisectorAndEachWallARay) {
  struct Case {
    const char* what;
    std::vector<std::pair<V, V>> walls;
    int32_t x;  // the window pixel drawn at; y is kY
    // Rays and label bisectors as screen directions in degrees (y down), and the label texts.
    std::vector<float> rays, bisectors;
    std::vector<std::string> texts;
  };
  const std::string deg = "\xB0";
  const V east(3000, 0, 1000), south(1000, 0, 3000);
  const Case cases[] = {
      {"right-angle corner",
       {{kCorner, east}, {south, kCorner}},
       kX,
       {0, 90},
       {45, 225},
       {"90" + deg, "270" + deg}},
      // 89.991 degrees reads 90: truncating would write 89.
      {"a hair short of a right angle",
       {{kCorner, east}, {kCorner, V(1000.3f, 0, 3000)}},
       kX,
       {0, 90},
       {45, 225},
       {"90" + deg, "270" + deg}},
      {"T of a through wall",
       {{V(0, 0, 1000), east}, {kCorner, south}},
       kX,
       {0, 90, 180},
       {45, 135, 270},
       {"90" + deg, "90" + deg, "180" + deg}},
      {"free wall end", {{kCorner, east}}, kX, {0}, {0}, {"0" + deg}},
      // Dragged onto the far end of one wall (plan (2000, 1000)): that wall points nowhere and is
      // left out rather than giving a NaN direction.
      {"pixel on a far end",
       {{kCorner, V(2000, 0, 1000)}, {kCorner, V(2000, 0, 3000)}},
       200,
       {90},
       {90},
       {"0" + deg}},
      {"no walls", {}, kX, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<qxRoomSegment*> segments;
    for (const auto& [s, e] : c.walls) segments.push_back(MakeSegment(s, e));
    auto junction = std::make_unique<qxJunction>(nullptr);
    junction->SetPosition(kCorner);
    for (qxRoomSegment* s : segments) junction->AddSegment(s, true);
    ppDC dc(window_);
    ShapeRecorderLog log;
    dc.AttachShape(&log);
    junction->DrawAngles(dc, c.x, kY);
    dc.AttachShape(nullptr);
    const Drawing drawing = Parse(log.calls);

    if (c.walls.empty()) {
      EXPECT_TRUE(log.calls.empty());
      continue;
    }
    const std::string left = std::to_string(c.x - 40), centre = std::to_string(c.x) + " 100 1 ";
    EXPECT_EQ(drawing.circle,
              (std::vector<std::string>{"MoveTo " + left + " 100",
                                        "ArcAround " + centre + std::to_string(c.x + 40) + " 100",
                                        "ArcAround " + centre + left + " 100"}));
    ASSERT_EQ(drawing.rays.size(), c.rays.size());
    ASSERT_EQ(drawing.labels.size(), c.texts.size());
    for (size_t i = 0; i < c.rays.size(); ++i) {
      const float a = c.rays[i] * 3.14159265f / 180, b = c.bisectors[i] * 3.14159265f / 180;
      EXPECT_NEAR(drawing.rays[i].first, c.x + 40 * std::cos(a), 0.01f) << i;
      EXPECT_NEAR(drawing.rays[i].second, kY + 40 * std::sin(a), 0.01f) << i;
      EXPECT_EQ(drawing.labels[i].text, c.texts[i]);
      // The text is centred on the bisector 40 pixels out: it starts left of it by half its width.
      const float tipX = c.x + 40 * std::cos(b);
      EXPECT_NEAR(drawing.labels[i].y, kY + 40 * std::sin(b), 0.01f) << i;
      EXPECT_LT(drawing.labels[i].x, tipX) << i;
      EXPECT_GT(drawing.labels[i].x, tipX - 30) << i;
    }
  }
}

TEST_F(JunctionDrawingTest, XorFeedbackIsErasedByASecondDrawingOrByReplayingItsRecording) {
  qxRoomSegment* through = MakeSegment(V(0, 0, 1000), V(3000, 0, 1000));
  qxRoomSegment* stem = MakeSegment(kCorner, V(1000, 0, 3000));
  auto tee = MakeJunction(kCorner, {through, stem});
  auto bare = MakeJunction(kCorner, {});
  const std::vector<uint32_t> blank = Pixels();

  ppDC dc(window_);
  dc.SetXorMode();
  bare->DrawAngles(dc, kX, kY);
  EXPECT_EQ(Pixels(), blank);

  tee->DrawAngles(dc, kX, kY);
  EXPECT_NE(surface_->Pixel(kX + 20, kY), 0xFFFFFFu);  // on the ray to the right
  EXPECT_NE(surface_->Pixel(kX, kY - 40), 0xFFFFFFu);  // on the circle above the corner
  // The text of the gap below right, beyond the circle and off both rays.
  int32_t text = 0;
  for (int32_t y = 129; y < 150; ++y)
    for (int32_t x = 129; x < 165; ++x) text += surface_->Pixel(x, y) != 0xFFFFFFu;
  EXPECT_GT(text, 10);
  tee->DrawAngles(dc, kX, kY);
  EXPECT_EQ(Pixels(), blank);

  // The corner task erases by replaying what it recorded while drawing.
  ppShape feedback;
  feedback.Reset();
  dc.AttachShape(&feedback);
  tee->DrawAngles(dc, kX, kY);
  dc.AttachShape(nullptr);
  feedback.End();
  EXPECT_NE(Pixels(), blank);
  feedback.Replay(&dc, 0, 0, 1);
  EXPECT_EQ(Pixels(), blank);
}

TEST_F(JunctionDrawingTest, ScreenRectSpansTheHalfSizeInPlanUnitsTruncatedToPixels) {
  host_.palette->SetScale(15.0);
  struct Case {
    V at;
    int32_t half;
    plat::RECT expected;
  };
  const Case cases[] = {
      {V(1500, 0, 3000), 30, {98, 198, 102, 202}},
      {V(1000, 0, 1000), 30, {64, 64, 68, 68}},       // 64.67 and 68.67 truncated
      {V(-1000, 0, -1000), 30, {-68, -68, -64, -64}}  // truncated toward zero
  };
  for (const Case& c : cases) {
    auto junction = MakeJunction(c.at, {});
    plat::RECT rect{};
    junction->GetScreenRect(rect, nullptr, c.half);
    EXPECT_EQ(rect, c.expected) << c.at.x;
  }
}

class CornerText : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number != 6314) return false;
    text = u"Ecke";
    return true;
  }
};

TEST_F(JunctionDrawingTest, PanelReplacesTheTabsWithTheJunctionsNameAndNothingToEdit) {
  eltest::TabRecorder configurator;
  iConfigurator::Install(&configurator);
  configurator.panels.push_back(std::make_unique<ConfigPanel>());  // the previous selection's
  auto junction = MakeJunction(kCorner, {});
  CornerText texts;
  for (iTextSource* source : {static_cast<iTextSource*>(nullptr), static_cast<iTextSource*>(&texts)}) {
    SetTextSource(source);
    const std::string name = source == nullptr ? "Junction" : "Ecke";
    junction->ShowInfoPanel(nullptr);
    ASSERT_EQ(configurator.panels.size(), 1u);
    const ConfigPanel& panel = *configurator.panels[0];
    EXPECT_EQ(NarrowFromWide(panel.name).c_str(), name);
    ASSERT_EQ(panel.fields.size(), 1u);
    const ConfigField& row = panel.fields[0];
    EXPECT_EQ(row.kind, ConfigField::kText);
    EXPECT_EQ(NarrowFromWide(row.text).c_str(), name);
    EXPECT_EQ(std::vector<int32_t>(row.margins, row.margins + 4), (std::vector<int32_t>{10, 15, 10, 5}));
    EXPECT_EQ(row.target, nullptr);
  }
  EXPECT_EQ(configurator.placed, 2);
  SetTextSource(nullptr);
  iConfigurator::Install(nullptr);
}

}  // namespace
