#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ppMenuHelper.h"
#include "platform/HeadlessDriver.h"
#include "platform/Menu.h"

namespace {

using namespace plat;

struct Asked {
  int32_t kind;
  std::u16string itemText;
  int32_t idOrPosition;
};
std::vector<Asked> gAsked;

// Answers in "the current language": a command item gets "#<id>", the submenu named "&File" gets
// "&Datei"; everything else is left as it is.
void Translate(int32_t kind, const char16_t* itemText, int32_t idOrPosition, Vcon::WString* text) {
  gAsked.push_back({kind, itemText ? itemText : u"(null)", idOrPosition});
  if (kind == 0) {
    std::string id = "#" + std::to_string(idOrPosition);
    *text = Vcon::WString(id.c_str());
  } else if (itemText && std::u16string(itemText) == u"&File") {
    *text = u"&Datei";
  }
}

void KeepEverything(int32_t, const char16_t*, int32_t, Vcon::WString*) {}

class MenuHelper : public ::testing::Test {
 protected:
  // File (New 11, separator, Recent (Last 40000), Exit 20), Help 49.
  void SetUp() override {
    HeadlessDriver::Reset();
    gAsked.clear();
    menu_ = CreateMenu();
    HMENU file = CreatePopupMenu();
    HMENU recent = CreatePopupMenu();
    AppendMenuW(recent, MF_STRING, 40000, u"Last");
    AppendMenuW(file, MF_STRING, 11, u"&New");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_POPUP, reinterpret_cast<uintptr_t>(recent), u"Recent");
    AppendMenuW(file, MF_STRING, 20, u"E&xit");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<uintptr_t>(file), u"&File");
    AppendMenuW(menu_, MF_STRING, 49, u"Help");
  }
  void TearDown() override {
    DestroyMenu(menu_);
    HeadlessDriver::Reset();
  }
  std::u16string Text(HMENU menu, int32_t position) {
    char16_t buffer[64] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), buffer, 64, MF_BYPOSITION);
    return buffer;
  }
  HMENU menu_ = nullptr;
};

TEST_F(MenuHelper, EnablesGreysAndChecksItemsByCommand) {
  ppMenuHelper helper(nullptr, menu_);
  helper.Disable(20);
  EXPECT_TRUE(GetMenuState(menu_, 20, MF_BYCOMMAND) & MF_GRAYED);
  helper.Enable(20);
  EXPECT_FALSE(GetMenuState(menu_, 20, MF_BYCOMMAND) & MF_GRAYED);

  helper.SetCheck(11, ppMenuHelper::kCheckMark);
  EXPECT_EQ(helper.GetCheck(11), ppMenuHelper::kCheckMark);
  // Only the check mark value checks: 1 is not a mark.
  helper.SetCheck(11, 1);
  EXPECT_EQ(helper.GetCheck(11), 0);
  EXPECT_FALSE(GetMenuState(menu_, 11, MF_BYCOMMAND) & MF_CHECKED);
  // Items in submenus are found by command too; a missing item is never checked.
  helper.SetCheck(40000, ppMenuHelper::kCheckMark);
  EXPECT_EQ(helper.GetCheck(40000), ppMenuHelper::kCheckMark);
  EXPECT_EQ(helper.GetCheck(777), 0);
}

TEST_F(MenuHelper, RewritesTextsDepthFirstSkippingSeparators) {
  ppMenuHelper::RewriteMenuTexts(menu_, Translate);
  ASSERT_EQ(gAsked.size(), 6u);
  // The submenu item is asked with its text and position before its own items.
  EXPECT_EQ(gAsked[0].kind, 1);
  EXPECT_EQ(gAsked[0].itemText, u"&File");
  EXPECT_EQ(gAsked[0].idOrPosition, 0);
  EXPECT_EQ(gAsked[1].kind, 0);
  EXPECT_EQ(gAsked[1].itemText, u"(null)");
  EXPECT_EQ(gAsked[1].idOrPosition, 11);
  EXPECT_EQ(gAsked[2].itemText, u"Recent");
  EXPECT_EQ(gAsked[2].idOrPosition, 2);  // the separator keeps its position
  // Ids travel as signed 16-bit values.
  EXPECT_EQ(gAsked[3].idOrPosition, static_cast<int16_t>(40000));
  EXPECT_EQ(gAsked[4].idOrPosition, 20);
  EXPECT_EQ(gAsked[5].idOrPosition, 49);

  HMENU file = GetSubMenu(menu_, 0);
  EXPECT_EQ(Text(menu_, 0), u"&Datei");
  EXPECT_EQ(Text(file, 0), u"#11");
  EXPECT_EQ(Text(file, 2), u"Recent");  // an empty answer keeps the text
  EXPECT_EQ(Text(GetSubMenu(file, 2), 0), u"#-25536");
  EXPECT_EQ(Text(menu_, 1), u"#49");
  // Rewriting keeps the structure: ids, submenus and the separator.
  EXPECT_EQ(GetMenuItemID(file, 0), 11u);
  EXPECT_EQ(GetSubMenu(file, 2) != nullptr, true);
  EXPECT_TRUE(GetMenuState(file, 1, MF_BYPOSITION) & MF_SEPARATOR);
}

TEST_F(MenuHelper, EmptyAnswersLeaveTheMenuUnchanged) {
  ppMenuHelper::RewriteMenuTexts(menu_, KeepEverything);
  HMENU file = GetSubMenu(menu_, 0);
  EXPECT_EQ(Text(menu_, 0), u"&File");
  EXPECT_EQ(Text(file, 0), u"&New");
  EXPECT_EQ(Text(file, 3), u"E&xit");
  EXPECT_EQ(Text(menu_, 1), u"Help");
  // No callback and a menu that is gone are both harmless.
  ppMenuHelper::RewriteMenuTexts(menu_, nullptr);
  ppMenuHelper::RewriteMenuTexts(reinterpret_cast<HMENU>(0x1234), Translate);
  EXPECT_TRUE(gAsked.empty());
}

}  // namespace
