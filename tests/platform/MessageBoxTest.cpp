#include <gtest/gtest.h>

#include "platform/MessageBox.h"
#include "platform/ScreenMetrics.h"

namespace plat {
namespace {

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearMessageBoxLog(); }
  void TearDown() override { ClearMessageBoxLog(); }
};

TEST_F(MessageBoxTest, BoxesAreLoggedInOrderWithWidenedTexts) {
  int owner = 0;
  MessageBoxA(&owner, "Pris \x80 10", "Caption", MB_OK | MB_ICONEXCLAMATION);  // Windows-1252 euro sign
  MessageBoxW(nullptr, u"Wide \u00e6", nullptr, MB_TASKMODAL);
  const std::vector<MessageBoxRecord> log = MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, u"Pris \u20ac 10");
  EXPECT_EQ(log[0].caption, u"Caption");
  EXPECT_EQ(log[0].style, MB_ICONEXCLAMATION);
  EXPECT_EQ(log[0].owner, &owner);
  EXPECT_EQ(log[1].text, u"Wide \u00e6");
  EXPECT_EQ(log[1].caption, u"");
  ClearMessageBoxLog();
  EXPECT_TRUE(MessageBoxLog().empty());
}

TEST_F(MessageBoxTest, UnscriptedBoxesAnswerWithTheirDefaultButton) {
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), IDOK);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNO | MB_ICONQUESTION), IDYES);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK | MB_DEFBUTTON3), IDOK);  // no third button
  EXPECT_EQ(MessageBoxLog().back().answer, IDOK);
}

TEST_F(MessageBoxTest, ScriptedAnswersAreUsedOnceInOrder) {
  QueueMessageBoxAnswer(IDNO);
  QueueMessageBoxAnswer(IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "1", "c", MB_YESNO), IDNO);
  EXPECT_EQ(MessageBoxA(nullptr, "2", "c", MB_YESNOCANCEL), IDCANCEL);
  EXPECT_EQ(MessageBoxA(nullptr, "3", "c", MB_YESNO), IDYES);
  QueueMessageBoxAnswer(IDNO);
  ClearMessageBoxLog();  // drops the queued answer too
  EXPECT_EQ(MessageBoxA(nullptr, "4", "c", MB_YESNO), IDYES);
}

TEST(ScreenMetrics, VirtualScreenAndFullScreenClientArea) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
  SetVirtualScreenSize(1024, 700);
  SetFullScreenClientSize(1024, 660);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 700);
  EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 660);
  SetFullScreenClientSize(5000, -1);  // kept within the screen
  EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 0);
  EXPECT_EQ(GetSystemMetrics(99), 0);
  SetVirtualScreenSize(1280, 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYFULLSCREEN), 1024);
}

}  // namespace
}  // namespace plat
