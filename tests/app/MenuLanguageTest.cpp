// The demo's menus and preferences in its two languages, as a user meets them: every menu title and
// item and every caption of the preferences has its Danish and its English text, and a language
// chosen in the preferences turns the whole menu bar at once, to Danish and back to English.
#include <gtest/gtest.h>

#include <algorithm>

#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "StartedProgram.h"
#include "app/shell/zelvProApp.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproNoteFil.h"
#include "framework/ToolTipControl.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "platform/Controls.h"
#include "platform/Menu.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

constexpr int32_t kPreferencesCommand = 3050;
constexpr int32_t kLanguageList = 1072;
constexpr int32_t kDanish = 1030, kEnglish = 1033;

// The program's texts, asked through this source, which notes every number asked.
class NotingTexts : public iTextSource {
 public:
  explicit NotingTexts(iTextSource& texts) : texts_(texts) {}
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override {
    asked.insert(number);
    return texts_.GetString(number, text, language);
  }
  std::set<int32_t> asked;

 private:
  iTextSource& texts_;
};

std::string Utf8(const char16_t* text) { return Vcon::Utf8FromUtf16(std::u16string(text)); }

// One title or item of the menu bar: its text id (a title's is -101 and on by its place, an item's
// its command) and its text.
struct MenuText {
  int32_t id;
  std::string text;
  bool operator==(const MenuText& other) const { return id == other.id && text == other.text; }
};

std::ostream& operator<<(std::ostream& out, const MenuText& m) {
  return out << m.id << " \"" << m.text << "\"";
}

class MenuLanguageTest : public apptest::StartedProgramTest {
 protected:
  // The frame's menu bar, titles and items in their order (no separators).
  std::vector<MenuText> Menus() {
    std::vector<MenuText> out;
    const HMENU bar = GetMenu(app_->Frame());
    for (int32_t top = 0; top < GetMenuItemCount(bar); ++top) {
      char16_t text[256] = {};
      GetMenuStringW(bar, UINT(top), text, 256, MF_BYPOSITION);
      out.push_back({-101 - top, Utf8(text)});
      const HMENU menu = GetSubMenu(bar, top);
      for (int32_t i = 0; i < GetMenuItemCount(menu); ++i) {
        if ((GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_SEPARATOR) != 0) continue;
        GetMenuStringW(menu, UINT(i), text, 256, MF_BYPOSITION);
        out.push_back({int32_t(int16_t(GetMenuItemID(menu, i) & 0xFFFF)), Utf8(text)});
      }
    }
    return out;
  }

  // Opens the preferences as their menu item does, keeps the title and every control's caption,
  // calls `opened`, picks the language whose entry begins with `language` and presses OK.
  std::map<int32_t, std::string> ChooseLanguage(int32_t language, const std::function<void()>& opened = {}) {
    std::map<int32_t, std::string> captions;
    bool chosen = false;
    HeadlessDriver::SetIdleScript([&] {
      const HWND box = GetActiveWindow();
      if (chosen || box == nullptr || GetDlgItem(box, kLanguageList) == nullptr) return false;
      char16_t text[256] = {};
      GetWindowTextW(box, text, 256);
      captions[0] = Utf8(text);
      // Buttons, boxes and labels; the edit fields and lists show values.
      for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char kind[32] = {};
        GetClassNameA(child, kind, sizeof kind);
        GetWindowTextW(child, text, 256);
        std::string upper = kind;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        if (text[0] != 0 && (upper == "BUTTON" || upper == "STATIC"))
          captions[GetDlgCtrlID(child)] = Utf8(text);
      }
      if (opened) opened();
      const std::u16string prefix = Vcon::Utf16FromUtf8(std::to_string(language) + " ");
      SendMessageW(GetDlgItem(box, kLanguageList), CB_SELECTSTRING, WPARAM(-1), LPARAM(prefix.c_str()));
      chosen = true;
      return PostMessageA(box, WM_COMMAND, IDOK, 0) != 0;
    });
    Send(kPreferencesCommand);
    HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_TRUE(chosen) << "the preferences did not open";
    EXPECT_EQ(CurrentLanguageCode(), uint32_t(language));
    return captions;
  }

  // Every tip the program has given its tooltip control so far, by its view's window and id: each
  // view adds its own tips when it first shows and again when the language changes.
  using Tips = std::map<std::pair<HWND, uintptr_t>, std::string>;
  static Tips AllTips() {
    Tips tips;
    const HWND control = ToolTipControl::DocumentTips()->Handle();
    for (WPARAM i = 0;; ++i) {
      char16_t text[80] = {};
      TOOLINFOW info;
      info.cbSize = kToolInfoSize;
      info.lpszText = text;
      if (SendMessageW(control, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)) == 0) break;
      // A tip given while its view had no window yet can never show: the pointer is always over one.
      if (info.hwnd != nullptr) tips[{info.hwnd, info.uId}] = Utf8(text);
    }
    return tips;
  }
  // The views, each as its view-bar button shows it, the tips gathered on the way.
  Tips TipsOfEveryView() {
    Tips tips;
    for (const int32_t view : {3001, 3003, 3005, 3006, 3001}) {
      Send(view);
      tips.merge(AllTips());
    }
    return tips;
  }

  static std::string KeyName(const std::string& text) {
    const size_t tab = text.find('\t');
    return tab == std::string::npos ? "" : text.substr(tab);
  }

  void SetUp() override {
    StartedProgramTest::SetUp();
    cancelsDialogs_ = false;
  }
};

TEST_F(MenuLanguageTest, EveryMenuTextAndPreferencesCaptionIsInDanishAndInEnglish) {
  Start();
  iTextSource* texts = CurrentTextSource();
  ASSERT_NE(texts, nullptr);
  const std::vector<MenuText> menus = Menus();
  ASSERT_GE(menus.size(), 30u);
  // The resource's own English, to which the English texts must keep (a first start shows them).
  std::map<int32_t, std::string> resource;
  {
    const HMENU main = LoadMenuA(nullptr, "MAIN");
    ASSERT_NE(main, nullptr);
    for (int32_t top = 0; top < GetMenuItemCount(main); ++top) {
      const HMENU menu = GetSubMenu(main, top);
      char16_t text[256] = {};
      GetMenuStringW(main, UINT(top), text, 256, MF_BYPOSITION);
      resource[-101 - top] = Utf8(text);
      for (int32_t i = 0; i < GetMenuItemCount(menu); ++i) {
        if ((GetMenuState(menu, UINT(i), MF_BYPOSITION) & MF_SEPARATOR) != 0) continue;
        GetMenuStringW(menu, UINT(i), text, 256, MF_BYPOSITION);
        resource[int32_t(GetMenuItemID(menu, i))] = Utf8(text);
      }
    }
    DestroyMenu(main);
  }
  // The resource's items (Help, which the demo takes away for want of a help file, among them) and
  // the items the function records add.
  std::set<int32_t> ids;
  for (const auto& entry : resource) ids.insert(entry.first);
  for (const MenuText& item : menus) ids.insert(item.id);
  for (const int32_t id : ids) {
    SCOPED_TRACE(testing::Message() << "text " << id);
    Vcon::WString en, da;
    ASSERT_TRUE(texts->GetString(id, en, kEnglish) && !en.empty());
    ASSERT_TRUE(texts->GetString(id, da, kDanish) && !da.empty());
    const std::string english = Utf8(en.c_str()), danish = Utf8(da.c_str());
    EXPECT_NE(danish, english);
    // The key name after the TAB, as the English item has it.
    EXPECT_EQ(KeyName(danish), KeyName(english));
    if (resource.count(id) != 0 && id != 1)  // 1 names the demo where the resource has its own
      EXPECT_EQ(english, resource[id]);
  }

  // The preferences ask their title, captions and list entries by number while they open.
  NotingTexts noting(*texts);
  SetTextSource(&noting);
  ChooseLanguage(kEnglish, [&] { SetTextSource(texts); });
  SetTextSource(texts);
  ASSERT_GE(noting.asked.size(), 30u);
  EXPECT_EQ(noting.asked.count(6213), 1u);
  for (const int32_t number : noting.asked) {
    Vcon::WString en, da;
    EXPECT_TRUE(texts->GetString(number, en, kEnglish) && !en.empty()) << "no English text " << number;
    EXPECT_TRUE(texts->GetString(number, da, kDanish) && !da.empty()) << "no Danish text " << number;
  }
}

// The tips of the view bar, the zoom and room buttons, the rotation panel and the 3D view's buttons
// and sliders, and the catalogue's unit notes, read in English and then in Danish.
TEST_F(MenuLanguageTest, EveryTipAndUnitNoteIsInDanishAndInEnglish) {
  Start();
  ASSERT_NE(ToolTipControl::DocumentTips(), nullptr);
  const Tips english = TipsOfEveryView();
  // The view bar's five, zoom and home, the two room buttons, the price list's five, the rotation
  // panel's two, and the 3D view's four buttons and six slider halves.
  EXPECT_GE(english.size(), 25u);
  ChooseLanguage(kDanish);
  const Tips danish = TipsOfEveryView();
  for (const auto& [tool, text] : english) {
    SCOPED_TRACE(testing::Message() << "the tip \"" << text << "\"");
    EXPECT_FALSE(text.empty());
    const auto found = danish.find(tool);
    ASSERT_NE(found, danish.end());
    EXPECT_FALSE(found->second.empty());
    if (text != "Inspiration") EXPECT_NE(found->second, text) << "still English";
  }

  zelvDatabase* kitchen = MainCatalogDatabase;
  ASSERT_NE(kitchen, nullptr);
  ppDatafile& notes = kitchen->NoteFile();
  notes.SelectAll();
  EXPECT_GE(notes.GetSelectedCount(), 2);
  for (int32_t i = 0; i < notes.GetSelectedCount(); ++i) {
    const int32_t note = notes.RecordIdAt(i);
    Vcon::WString text;
    EXPECT_TRUE(kitchen->GetString(note * 10, text, kDanish) && !text.empty()) << "note " << note;
    // A note stands for a unit's sizes on its panel: width, height and depth at two commas.
    EXPECT_EQ(std::count(text.begin(), text.end(), u','), 2) << "note " << note;
  }
}

TEST_F(MenuLanguageTest, ChoosingDanishAndThenEnglishTurnsTheMenuBarAtOnce) {
  Start();
  const std::vector<MenuText> english = Menus();
  const std::map<int32_t, std::string> englishCaptions = ChooseLanguage(kDanish);

  const std::vector<MenuText> danish = Menus();
  ASSERT_EQ(danish.size(), english.size());
  for (size_t i = 0; i < danish.size(); ++i) {
    EXPECT_EQ(danish[i].id, english[i].id);
    EXPECT_NE(danish[i].text, english[i].text) << "still English: " << english[i];
    EXPECT_EQ(KeyName(danish[i].text), KeyName(english[i].text)) << danish[i];
  }
  const auto text = [](const std::vector<MenuText>& menus, int32_t id) {
    for (const MenuText& m : menus)
      if (m.id == id) return m.text;
    return std::string();
  };
  EXPECT_EQ(text(danish, -101), "&Filer");
  EXPECT_EQ(text(danish, 11), "&Ny\tCtrl+N");
  EXPECT_EQ(text(danish, 12),
            "&\xc3\x85"
            "bn\tCtrl+O");
  EXPECT_EQ(text(danish, 14), "&Gem\tCtrl+S");
  EXPECT_EQ(text(danish, 3050), "Indstillinger...");

  // Opened again, the preferences speak Danish: every caption is another than in English but OK and
  // the two the one-currency layout does not translate ("Round each factor", "Display configuration"),
  // and the language list shows Danish chosen.
  std::string shownLanguage;
  const std::map<int32_t, std::string> danishCaptions = ChooseLanguage(kEnglish, [&] {
    const HWND list = GetDlgItem(GetActiveWindow(), kLanguageList);
    const auto chosen = SendMessageW(list, CB_GETCURSEL, 0, 0);
    char16_t text[256] = {};
    if (chosen >= 0) SendMessageW(list, CB_GETLBTEXT, WPARAM(chosen), LPARAM(text));
    shownLanguage = Utf8(text);
  });
  EXPECT_EQ(shownLanguage, "1030 da Dansk DK");
  ASSERT_EQ(danishCaptions.size(), englishCaptions.size());
  EXPECT_EQ(danishCaptions.at(0), "Indstillinger for Vellmora Home Planner");
  for (const auto& [id, caption] : englishCaptions) {
    if (id == 1 || id == 1048 || id == 1460) continue;
    EXPECT_NE(danishCaptions.at(id), caption) << "control " << id << " still in English";
  }

  // Back in English: the menu bar is the first start's again, titles and items.
  EXPECT_EQ(Menus(), english);
  EXPECT_EQ(text(Menus(), -101), "&File");
  EXPECT_EQ(text(Menus(), 1), "&About Vellmora Home Planner...");
}

}  // namespace
