// Which item has the focus when a dialog opens: the first tab stop, as the dialog manager gives it,
// unless the dialog's own start-up placed the focus through SetFirstFocus.
#include <gtest/gtest.h>

#include <functional>

#include "framework/ppControlView.h"
#include "framework/ppViewDialog.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

using namespace plat;

// A view dialog with OK and Cancel whose start-up runs `start`.
class StartingDialog : public ppViewDialog {
 public:
  explicit StartingDialog(std::function<void(StartingDialog&)> start)
      : ppViewDialog(nullptr, true), start_(std::move(start)) {}
  void OnInitDialog() override {
    ppViewDialog::OnInitDialog();
    if (start_) start_(*this);
  }
  using ppDialog::SetFirstFocus;

 private:
  std::function<void(StartingDialog&)> start_;
};

class DialogFirstFocus : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    RegisterControlViewClass();
  }
  void TearDown() override {
    HeadlessDriver::SetIdleScript(nullptr);
    HeadlessDriver::Reset();
  }
};

TEST_F(DialogFirstFocus, TheDialogKeepsTheFocusItsStartGaveAndOthersStartOnTheFirstTabStop) {
  const int32_t kContent = ppViewDialog::kContentItem;
  struct Case {
    const char* what;
    std::function<void(StartingDialog&)> start;
    int32_t focused;  // item id
  } cases[] = {
      {"no focus of its own: the first tab stop", nullptr, IDOK},
      {"its own focus on the content", [&](StartingDialog& d) { d.SetFirstFocus(d.GetItem(kContent, -1)); },
       kContent},
      {"its own focus on Cancel", [](StartingDialog& d) { d.SetFirstFocus(d.GetItem(IDCANCEL, -1)); },
       IDCANCEL},
      {"no such item: the first tab stop", [](StartingDialog& d) { d.SetFirstFocus(d.GetItem(4711, -1)); },
       IDOK},
      // A focus set without saying so is still overridden, as it always was.
      {"plain SetFocus", [](StartingDialog& d) { SetFocus(d.GetItem(IDCANCEL, -1)); }, IDOK},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    {
      StartingDialog modeless(c.start);
      modeless.CreateModeless();
      HeadlessDriver::RunUntilIdle();
      EXPECT_EQ(GetDlgCtrlID(GetFocus()), c.focused);
      EXPECT_TRUE(IsChild(modeless.GetWindow(), GetFocus()));
    }
    StartingDialog modal(c.start);
    int32_t seen = -1;
    HeadlessDriver::SetIdleScript([&] {
      seen = GetDlgCtrlID(GetFocus());
      SendMessageW(modal.GetWindow(), WM_COMMAND, IDCANCEL, 0);
      return true;
    });
    EXPECT_EQ(modal.RunModal(), ppDialog::kCancelled);
    EXPECT_EQ(seen, c.focused);
    HeadlessDriver::SetIdleScript(nullptr);
  }
}

}  // namespace
