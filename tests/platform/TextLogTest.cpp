// The test log of drawn texts: what each text call drew, with its font's height and escapement, only
// while recording is on, and nothing left after a reset.
#include <gtest/gtest.h>

#include "platform/Gdi.h"
#include "platform/HeadlessDriver.h"
#include "platform/ResetList.h"
#include "platform/Surface.h"
#include "platform/TextLog.h"

namespace plat {
namespace {

class TextLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    dc_ = CreateSurfaceDC(surface_, POINT{0, 0}, RECT{0, 0, 200, 100});
    LOGFONTA font;
    font.lfHeight = -12;
    font.lfEscapement = 900;
    font_ = CreateFontIndirectA(&font);
    previous_ = SelectObject(dc_, font_);
  }
  void TearDown() override {
    SelectObject(dc_, previous_);
    DeleteObject(font_);
    DeleteDC(dc_);
    HeadlessDriver::Reset();
  }
  Surface surface_{200, 100};
  HDC dc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

TEST_F(TextLogTest, RecordsDrawnTextsOnlyWhileOn) {
  RECT box{10, 20, 190, 90};
  DrawTextA(dc_, "off", -1, &box, 0);
  EXPECT_TRUE(DrawnTextLog().empty());

  RecordDrawnTexts(true);
  DrawTextA(dc_, "boxed", -1, &box, DT_CENTER);
  RECT measure{0, 0, 0, 0};
  DrawTextA(dc_, "measured", -1, &measure, DT_CALCRECT);  // measuring draws nothing
  TextOutW(dc_, 5, 6, u"at", 2);
  std::vector<TextLogRecord> log = DrawnTextLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, u"boxed");
  EXPECT_EQ(log[0].x, 10);
  EXPECT_EQ(log[0].y, 20);
  EXPECT_EQ(log[0].height, -12);
  EXPECT_EQ(log[0].escapement, 900);
  EXPECT_EQ(log[0].format, uint32_t(DT_CENTER));
  EXPECT_EQ(log[1].text, u"at");
  EXPECT_EQ(log[1].x, 5);
  EXPECT_EQ(log[1].y, 6);

  ClearDrawnTextLog();
  EXPECT_TRUE(DrawnTextLog().empty());
  TextOutA(dc_, 0, 0, "kept", 4);
  ResetList::RunAll();
  EXPECT_TRUE(DrawnTextLog().empty());
  TextOutA(dc_, 0, 0, "after", 5);
  EXPECT_TRUE(DrawnTextLog().empty());  // the reset turned recording off
}

}  // namespace
}  // namespace plat
