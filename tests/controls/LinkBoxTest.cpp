// The link validator over a real price table: the empty text, a prefix of one article number, no
// match, and several matches with the pick list run modally and answered from the idle script (its
// place and size, Escape, Down and Enter, a click on a row, Enter typed at the box itself). Then
// the validator on an editable grid's article column.
#include <gtest/gtest.h>

#include <functional>

#include "GridTestSupport.h"
#include "controls/ppEditTextField.h"
#include "controls/ppGridEditField.h"
#include "controls/ppGridEditTextField.h"
#include "controls/ppLinkBox.h"
#include "controls/ppLinkValidator.h"
#include "database/DbTestSupport.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"

namespace {

using plat::HeadlessDriver;

class LinkBoxTest : public gridtest::GridWindowTest {
 protected:
  void SetUp() override {
    GridWindowTest::SetUp();
    ppFileSpec file = dbtest::SpecFor(folder_.Path("prices.db"));
    db_ = std::make_unique<ppDatabase>(file);
    prices_ = std::make_unique<ppDatafile>("qxPrice", *db_);
    for (const char* orderno : {"A100", "B200", "B210", "B220", "C1"}) {
      prices_->ClearRecordBuffer(nullptr);
      prices_->SetFieldValue(prices_->IndexOf("orderno"), ppParameter(orderno), nullptr);
      prices_->SetFieldValue(prices_->IndexOf("name"),
                             ppParameter((std::string("Article ") + orderno).c_str()), nullptr);
      int32_t id = 0;
      prices_->AddRecord(&id, nullptr);
    }
    validator_ = std::make_unique<ppLinkValidator>(window_, prices_.get(),
                                                   ppLinkColumnDefs{{100, "orderno"}, {200, "name"}}, hwnd_);
    panel_ = new ppConfigPanel(window_);
    panel_->SetFrame({0, 0, 300, 400});
    field_ = new ppEditTextField(panel_, nullptr, "", 1, false);
    field_->SetFrame({10, 30, 200, 50});  // 20 pixels high
  }
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    GridWindowTest::TearDown();
    validator_.reset();
    prices_.reset();
    db_.reset();
  }
  // Validates `text`; each time the pick list waits, the next step runs. Answers the verdict and
  // leaves the value in `value`.
  bool Validate(const char* text, std::vector<std::function<void()>> steps, ppParameter& value,
                ppEditTextField* field = nullptr) {
    size_t next = 0;
    HeadlessDriver::SetIdleScript([&] {
      if (next >= steps.size()) return false;
      steps[next++]();
      return true;
    });
    value = ppParameter(text);
    const bool accepted = validator_->Validate(value, field != nullptr ? field : field_);
    HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(next, steps.size()) << "steps left for " << text;
    return accepted;
  }
  static std::function<void()> Key(int32_t key) {
    return [key] {
      plat::Desktop::Key(key, true);
      plat::Desktop::Key(key, false);
    };
  }
  // A click on row `row` of the open pick list.
  static std::function<void()> ClickRow(int32_t row) {
    return [row] {
      plat::RECT box;
      plat::GetWindowRect(plat::GetActiveWindow(), &box);
      const plat::POINT at{box.left + 30, box.top + 1 + row * 20 + 10};
      plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
      plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
    };
  }

  dbtest::TempFolder folder_;
  std::unique_ptr<ppDatabase> db_;
  std::unique_ptr<ppDatafile> prices_;
  std::unique_ptr<ppLinkValidator> validator_;
  ppConfigPanel* panel_ = nullptr;
  ppEditTextField* field_ = nullptr;
};

TEST_F(LinkBoxTest, EmptyTextPassesAndOneMatchIsCompletedWithoutAList) {
  prices_->SelectAll();
  ppParameter value;
  EXPECT_TRUE(Validate("", {}, value));
  EXPECT_EQ(prices_->CountItems(), 5) << "no look-up was made";
  EXPECT_TRUE(Validate("a1", {}, value)) << "prefixes compare without regard to case";
  EXPECT_EQ(value.AsString(), "A100");
  EXPECT_TRUE(Validate("C1", {}, value));
  EXPECT_EQ(value.AsString(), "C1");
  EXPECT_FALSE(Validate("X", {}, value));
  EXPECT_FALSE(Validate("B3", {}, value));
}

TEST_F(LinkBoxTest, SeveralMatchesOpenAListUnderTheFieldAndEscapeRefuses) {
  plat::RECT box{}, host{};
  ppParameter value;
  const bool accepted = Validate("b",
                                 {[&] {
                                    plat::GetWindowRect(plat::GetActiveWindow(), &box);
                                    plat::GetWindowRect(hwnd_, &host);
                                  },
                                  Key(plat::VK_ESCAPE)},
                                 value);
  EXPECT_FALSE(accepted);
  EXPECT_EQ(box.top - host.top, 50) << "its top is the field's bottom";
  EXPECT_EQ(box.left - host.left, 10);
  EXPECT_EQ(box.bottom - box.top, 181);
  EXPECT_EQ(box.right - box.left, 320) << "the columns and 20 pixels for the scroll bar";
  EXPECT_EQ(prices_->CountItems(), 3) << "the selection is the last look-up's";
}

TEST_F(LinkBoxTest, EnterOrAClickPicksTheRow) {
  struct Case {
    const char* what;
    std::vector<std::function<void()>> steps;
    int32_t row;  // of the list, in the order of the look-up's selection
  } cases[] = {
      {"Enter on the first row", {Key(plat::VK_RETURN)}, 0},
      {"Down, Down, Enter", {Key(plat::VK_DOWN), Key(plat::VK_DOWN), Key(plat::VK_RETURN)}, 2},
      {"a click on the second row", {ClickRow(1)}, 1},
      {"Down, Down, then Enter typed at the box itself",
       {Key(plat::VK_DOWN), Key(plat::VK_DOWN),
        [] { plat::SendMessageA(plat::GetActiveWindow(), plat::WM_CHAR, '\r', 0); }},
       2},
  };
  for (Case& c : cases) {
    ppParameter value;
    EXPECT_TRUE(Validate("B2", c.steps, value)) << c.what;
    ASSERT_EQ(prices_->CountItems(), 3);
    prices_->GoTo(c.row);
    EXPECT_EQ(value.AsString(), prices_->GetValueByName("orderno").AsString()) << c.what;
  }
}

TEST_F(LinkBoxTest, OnTheArticleColumnOfAnEditableGrid) {
  gridtest::MemorySource lines({"article", "description", "qty"}, 1);
  constexpr uint32_t style =
      ppGridScroller::kEditable | ppGridScroller::kHeader | ppGridScroller::kRowsFromSource;
  ppGrid* grid =
      MakeGrid({10, 10, 290, 300}, &lines, style,
               {{"article", 130, false, validator_.get()}, {"description", 100, true}, {"qty", 40}});
  grid->BeginEdit();
  for (char c : std::string("A1")) Press(c);
  Press(plat::VK_TAB);
  EXPECT_EQ(lines.Text(0, "article"), "A100");
  EXPECT_EQ(Selection(grid), (std::pair<int32_t, int32_t>(2, 0)));

  // Several matches: the list opens under the cell; Escape keeps the editor with the typed text.
  grid->Body()->SetSelection(0, 0);
  Press('B');
  size_t steps = 0;
  HeadlessDriver::SetIdleScript([&] {
    if (steps++ > 0) return false;
    Key(plat::VK_ESCAPE)();
    return true;
  });
  Press(plat::VK_TAB);
  EXPECT_EQ(steps, 1u);
  EXPECT_EQ(Selection(grid), (std::pair<int32_t, int32_t>(0, 0)));
  ASSERT_NE(grid->Body()->Editor(), nullptr);
  EXPECT_EQ(std::u16string(grid->Body()->Editor()->Field()->GetControlText()), u"b");
  EXPECT_EQ(lines.Text(0, "article"), "A100");

  // Picked with Down and Enter: the whole number is written and the editor moves on.
  steps = 0;
  HeadlessDriver::SetIdleScript([&] {
    if (steps >= 2) return false;
    Key(steps++ == 0 ? plat::VK_DOWN : plat::VK_RETURN)();
    return true;
  });
  Press(plat::VK_TAB);
  HeadlessDriver::SetIdleScript(nullptr);
  prices_->GoTo(1);
  EXPECT_EQ(lines.Text(0, "article"), prices_->GetValueByName("orderno").AsString());
  EXPECT_EQ(lines.Text(0, "article").substr(0, 1), "B");
  EXPECT_EQ(Selection(grid), (std::pair<int32_t, int32_t>(2, 0)));
}

}  // namespace
