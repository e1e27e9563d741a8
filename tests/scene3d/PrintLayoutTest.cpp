// The printed 3D page's layout, the header's texts and the document title of a path.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PaneTestDoubles.h"
#include "platform/HeadlessDriver.h"
#include "platform/LocalDate.h"
#include "scene3d/panes/qxPrintHeader.h"
#include "scene3d/panes/qxPrintLayout.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

qxPrintPage A4At300() {
  qxPrintPage page;
  page.pageWidth = 2480;
  page.pageHeight = 3508;
  page.pixelsPerMmX = page.pixelsPerMmY = 300.0f / 25.4f;
  return page;
}

TEST(PrintLayoutTest, A4PageFitsThePaneBetweenTheMargins) {
  qxPrintPage page = A4At300();
  page.zero[0] = page.zero[1] = 7;
  qxPrintLayout::Compute(page, 800, 600);
  EXPECT_NEAR(page.imageScale, 2.65709f, 1e-4f);  // sx; sy is 4.57
  EXPECT_EQ(page.image.left, 236);
  EXPECT_EQ(page.image.top, 413);  // 35 mm below the page top
  EXPECT_EQ(page.image.right, 2362);
  EXPECT_EQ(page.image.bottom, 2008);
  EXPECT_EQ(page.zero[0], 0);
  EXPECT_EQ(page.zero[1], 0);
  const float bands[] = {page.leftMargin, page.rightMargin,  page.topMargin,   page.bottomMargin,
                         page.headerGap,  page.headerHeight, page.footerHeight};
  const float expected[] = {20, 10, 10, 10, 5, 20, 20};
  for (size_t i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(bands[i], expected[i]) << i;
}

TEST(PrintLayoutTest, TallPaneTakesTheVerticalScaleAndEmptyPaneKeepsOne) {
  qxPrintPage page = A4At300();
  qxPrintLayout::Compute(page, 100, 1000);
  EXPECT_NEAR(page.imageScale, (3508 - 65 * 300.0f / 25.4f) / 1000, 1e-4f);
  qxPrintLayout::Compute(page, 0, 0);
  EXPECT_FLOAT_EQ(page.imageScale, 1.0f);
  EXPECT_EQ(page.image.right, 237);
}

TEST(PrintLayoutTest, FileTitleDropsFolderAndExtension) {
  const std::pair<const char*, const char*> cases[] = {{"C:\\x\\kitchen.room.qxf", "kitchen.room"},
                                                       {"C:\\a.b\\plan", "plan"},
                                                       {"plan", "plan"},
                                                       {"docs/a.qxf", "a"},
                                                       {"C:\\dir\\", ""},
                                                       {"", ""}};
  for (const auto& [path, title] : cases) EXPECT_EQ(qxPrintLayout::FileTitleFromPath(path), title) << path;
}

TEST(PrintLayoutTest, HeaderTextsFallBackToNumbersAndShowTheLocalDate) {
  plat::HeadlessDriver::Reset();
  plat::SetLocalDateForTests(2026, 3, 4);
  const char* saved = std::getenv("LC_ALL");
  const std::string before = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  pane_tests::TestHost host;
  qxPrintHeader unnamed(host);
  EXPECT_EQ(unnamed.NameLine(), u"61976203");
  EXPECT_EQ(unnamed.DateLine(), u"619803/04/26");
  EXPECT_EQ(unnamed.SizeLine(), u"61994000 mm x 3000 mm");
  EXPECT_EQ(unnamed.Caption(), u"6201");
  host.path = "C:\\plans\\kitchen.room.qxf";
  EXPECT_EQ(qxPrintHeader(host).NameLine(), u"6197kitchen.room");
  if (saved) {
    setenv("LC_ALL", before.c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
  plat::HeadlessDriver::Reset();
}

}  // namespace
