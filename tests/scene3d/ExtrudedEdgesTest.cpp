// The edge lines of an extruded box: which upper, lower and vertical lines a 1000 by 1000 square of
// depth 600 writes when one of its sides is hidden by an edge flag.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "scene3d/context/iShape3D.h"
#include "scene3d/objects/qx3DExtrudedObject.h"

namespace {

// Each line primitive as "x y z - x y z" (millimetres, the lesser end first).
class LineRecorder : public iShape3D {
 public:
  void Begin(uint32_t mode) override {
    modes.insert(mode);
    ends.clear();
  }
  void Vertex(float x, float y, float z) override {
    char text[64];
    std::snprintf(text, sizeof text, "%g %g %g", x, y, z);
    ends.emplace_back(text);
  }
  void End() override {
    if (ends.size() != 2) {
      lines.insert("not a line");
      return;
    }
    if (ends[1] < ends[0]) std::swap(ends[0], ends[1]);
    lines.insert(ends[0] + " - " + ends[1]);
  }
  std::set<uint32_t> modes;
  std::multiset<std::string> lines;

 private:
  std::vector<std::string> ends;
};

// The square's corners counter-clockwise: p0 (0, 0), p1 (1000, 0), p2 (1000, 1000), p3 (0, 1000).
// Upper lines lie at z 600, lower ones at z 0; side i runs from p(i) to p(i + 1).
const char* kUpper[] = {"0 0 600 - 1000 0 600", "1000 0 600 - 1000 1000 600", "0 1000 600 - 1000 1000 600",
                        "0 0 600 - 0 1000 600"};
const char* kLower[] = {"0 0 0 - 1000 0 0", "1000 0 0 - 1000 1000 0", "0 1000 0 - 1000 1000 0",
                        "0 0 0 - 0 1000 0"};
const char* kVertical[] = {"0 0 0 - 0 0 600", "1000 0 0 - 1000 0 600", "1000 1000 0 - 1000 1000 600",
                           "0 1000 0 - 0 1000 600"};

std::multiset<std::string> Expected(std::vector<int> sides, std::vector<int> corners) {
  std::multiset<std::string> out;
  for (int i : sides) out.insert(kUpper[i]), out.insert(kLower[i]);
  for (int i : corners) out.insert(kVertical[i]);
  return out;
}

TEST(ExtrudedEdges, ABoxDrawsVerticalLinesOnlyBetweenTwoVisibleSides) {
  struct Case {
    const char* name;
    std::vector<uint32_t> flags;
    std::multiset<std::string> lines;
  } cases[] = {
      {"no flags", {}, Expected({0, 1, 2, 3}, {0, 1, 2, 3})},
      {"all flags 0", {0, 0, 0, 0}, Expected({0, 1, 2, 3}, {0, 1, 2, 3})},
      {"first point hidden", {1, 0, 0, 0}, Expected({1, 2, 3}, {2, 3})},
      {"last point hidden", {0, 0, 0, 1}, Expected({0, 1, 2}, {1, 2})},
      {"two opposite sides hidden", {1, 0, 1, 0}, Expected({1, 3}, {})},
      {"every side hidden", {1, 1, 1, 1}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    qx3DExtrudedObject box;
    box.outline = {{0, 0}, {1000, 0}, {1000, 1000}, {0, 1000}};
    box.edgeFlags = c.flags;
    box.depth = 600;
    box.Prepare();
    LineRecorder recorder;
    box.BuildEdges(recorder, false);
    EXPECT_EQ(recorder.lines, c.lines);
    if (!c.lines.empty()) EXPECT_EQ(recorder.modes, std::set<uint32_t>{1});
  }
}

}  // namespace
