#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/ppShape.h"
#include "tests/framework/ShapeRecorderLog.h"

namespace {

using Calls = std::vector<std::string>;

std::vector<uint8_t> Bytes(const ppShape& shape) {
  Handle h = shape.Records();
  if (!h) return {};
  return std::vector<uint8_t>(reinterpret_cast<uint8_t*>(*h), reinterpret_cast<uint8_t*>(*h) + MemGetSize(h));
}

TEST(ShapeRecording, ReplayMapsEveryPointByScaleAndOffset) {
  ppShape shape;
  shape.Reset();
  shape.MoveToF(1, 1);
  shape.LineToF(3, 0.5f);
  shape.CurveTo(1, 2, 3, 4, 5, 6);
  shape.ArcAroundTo(7, 8, 1, 9, 10);
  shape.ArcInBoxTo(0, 1, 2, 3, 4, 5, 0);
  shape.SetFont("Arial", 12, 0, 0);  // fonts are not recorded
  shape.DrawText("Hi");
  shape.End();

  ShapeRecorderLog log;
  shape.Replay(&log, 10, 20, 2);
  EXPECT_EQ(log.calls, (Calls{"Reset", "MoveTo 12 22", "LineTo 16 21", "CurveTo 12 24 16 28 20 32",
                              "ArcAround 24 36 1 28 40", "ArcInBox 10 22 14 26 18 30 0", "Text Hi", "End"}));
}

TEST(ShapeRecording, PackedRecordsKeepTheirLayout) {
  ppShape shape;
  shape.Reset();
  shape.MoveToF(1, 2);
  shape.ArcAroundTo(3, 4, 1, 5, 6);
  shape.DrawText("ab");
  shape.End();
  auto f = [](float v) {
    uint32_t u;
    std::memcpy(&u, &v, 4);
    return std::vector<uint8_t>{uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
  };
  std::vector<uint8_t> want = {1, 0, 0, 0};
  for (float v : {1.f, 2.f})
    for (uint8_t b : f(v)) want.push_back(b);
  for (uint8_t b : std::vector<uint8_t>{4, 0, 0, 0}) want.push_back(b);
  for (float v : {5.f, 6.f, 3.f, 4.f})
    for (uint8_t b : f(v)) want.push_back(b);                               // end point first
  want.insert(want.end(), {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0});            // spare, flag, spare
  want.insert(want.end(), {6, 0, 0, 0, 2, 0, 0, 0, 'a', 'b', 0, 0, 0, 0});  // text record
  want.insert(want.end(), {0, 0, 0, 0});
  EXPECT_EQ(Bytes(shape), want);
}

TEST(ShapeRecording, ResetContinuesAnEndedDrawing) {
  ppShape shape;
  shape.Reset();
  shape.LineToF(1, 1);
  shape.LineToF(2, 2);
  shape.End();
  shape.Reset();
  shape.LineToF(3, 3);
  shape.End();
  ShapeRecorderLog log;
  shape.Replay(&log, 0, 0, 1);
  EXPECT_EQ(log.calls, (Calls{"Reset", "LineTo 1 1", "LineTo 2 2", "LineTo 3 3", "End"}));
}

TEST(ShapeRecording, ResetOfAnUnendedDrawingKeepsItsRecords) {
  ppShape shape;
  shape.Reset();
  shape.MoveToF(0, 0);
  shape.DrawText("");  // ends in zero bytes that must not be taken for an end record
  const size_t before = Bytes(shape).size();
  shape.Reset();
  EXPECT_EQ(Bytes(shape).size(), before);
  shape.LineToF(1, 1);
  ShapeRecorderLog log;
  shape.Replay(&log, 0, 0, 1);
  EXPECT_EQ(log.calls, (Calls{"Reset", "MoveTo 0 0", "Text ", "LineTo 1 1", "End"}));
}

TEST(ShapeRecording, TextRecordsAreSizedToTheirText) {
  ppShape shape;
  shape.Reset();
  shape.DrawText("");
  EXPECT_EQ(Bytes(shape).size(), 12u);
  shape.MoveToF(1, 1);  // follows the empty text directly
  EXPECT_EQ(Bytes(shape)[12], 1);

  const std::string longText(1000, 'x');
  ppShape big;
  big.Reset();
  big.DrawText(longText.c_str());
  big.End();
  EXPECT_EQ(Bytes(big).size(), 1000u + 12 + 4);
  ShapeRecorderLog log;
  big.Replay(&log, 0, 0, 1);
  ASSERT_EQ(log.calls.size(), 3u);
  EXPECT_EQ(log.calls[1], "Text " + longText);
}

TEST(ShapeRecording, NothingToReplay) {
  ShapeRecorderLog log;
  ppShape none;
  none.Replay(&log, 0, 0, 1);
  ppShape endedAtOnce;
  endedAtOnce.Reset();
  endedAtOnce.End();
  endedAtOnce.LineToF(1, 1);
  endedAtOnce.Replay(&log, 0, 0, 1);
  EXPECT_TRUE(log.calls.empty());

  endedAtOnce.FreeRecords();
  EXPECT_EQ(endedAtOnce.Records(), nullptr);
}

TEST(ShapeRecording, DamagedRecordsStopTheWalk) {
  ppShape shape;
  shape.Reset();
  shape.LineToF(1, 1);
  shape.DrawText("abcdef");
  // Cut the text record short: its length now points past the handle.
  MemSetSize(shape.Records(), uint32_t(MemGetSize(shape.Records()) - 3));
  ShapeRecorderLog log;
  shape.Replay(&log, 0, 0, 1);
  EXPECT_EQ(log.calls, (Calls{"Reset", "LineTo 1 1", "End"}));

  ppShape unknown;
  unknown.Reset();
  unknown.LineToF(2, 2);
  const int32_t bad[] = {7, 0, 0};
  MemInsertBytes(bad, sizeof bad, unknown.Records(), kMemAppend);
  unknown.LineToF(3, 3);
  log.calls.clear();
  unknown.Replay(&log, 0, 0, 1);
  EXPECT_EQ(log.calls, (Calls{"Reset", "LineTo 2 2", "End"}));
}

}  // namespace
