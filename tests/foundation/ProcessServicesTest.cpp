#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/ProcessServices.h"
#include "foundation/Vcon_HandleManager.h"
#include "platform/MessageBox.h"
#include "platform/ScreenMetrics.h"

namespace {

TEST(ProcessServices, MemoryErrorBoxShowsTheCodeAndReturns) {
  plat::ClearMessageBoxLog();
  ShowMemoryError(1050);
  ShowMemoryError(-7);
  const auto boxes = plat::MessageBoxLog();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, u"A Memory Error occured : 1050");
  EXPECT_EQ(boxes[0].caption, u"Memory Error");
  EXPECT_EQ(boxes[0].style, 0x2010u);
  EXPECT_EQ(boxes[0].owner, nullptr);
  EXPECT_EQ(boxes[1].text, u"A Memory Error occured : -7");
  ErrorHook(1050);  // observes only
  EXPECT_EQ(plat::MessageBoxLog().size(), 2u);
}

TEST(ProcessServices, StartupDirectoryAlwaysEndsInABackslash) {
  Vcon::WString dir;
  SetStartupDirectory(u"C:\\planner");
  GetStartupDirectory(dir);
  EXPECT_EQ(dir, u"C:\\planner\\");
  SetStartupDirectory(u"C:\\planner\\");
  GetStartupDirectory(dir);
  EXPECT_EQ(dir, u"C:\\planner\\");
  SetStartupDirectory(u"");
  GetStartupDirectory(dir);
  EXPECT_EQ(dir, u"\\");
}

// Start-up replaces the process's zone, so it runs in a child process.
TEST(ProcessServicesDeathTest, StartupTakesTheScreenAndMakesTheProgramZone) {
  EXPECT_EXIT(
      {
        plat::SetVirtualScreenSize(800, 600);
        plat::SetFullScreenClientSize(800, 560);
        const bool made = InitScreenAndMemory();
        Handle h = nullptr;
        Vcon_HandleManager::MemNew(&h, 38'000'000);  // 40,000,000 bytes less the master-pointer table
        const bool ok = made && gScreenRect.left == 0 && gScreenRect.top == 0 && gScreenRect.right == 800 &&
                        gScreenRect.bottom == 560 && MemGetSize(h) == 38'000'000;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
