// The price list's own lines as a user meets them in the built program on a display (Xvfb, no window
// manager), driven through XTEST: what is typed into a line's panel stays with that line when the user
// then clicks another line of the list or adds a line, without Tab or Return; a line added is unsaved
// work that File > New asks about. Where the list, the bar's buttons, the panel's fields, the menu's
// items and the question's buttons lie is learnt from the same start-up in this process, headless, on
// a screen of the display's size.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/zelvproWarningDialog.h"
#include "foundation/TextsById.h"
#include "framework/ppButton.h"
#include "platform/HeadlessDriver.h"
#include "platform/MenuBar.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;
using Line = zelvproCalculatorFil;

class LinePanelWindowRunTest : public apptest::WindowRunFixture {
 protected:
  // The edit field of the configurator's panel captioned `caption`, or null.
  ppEditTextField* FieldCaptioned(const Vcon::WString& caption) {
    ppConfigurator* host = ppConfigurator::Host();
    return host == nullptr
               ? nullptr
               : Find<ppEditTextField>(*host, [&](ppEditTextField& f) { return f.Caption() == caption; });
  }
  // Presses button `index` of the calculation bar as a click does.
  static void PressBarButton(int32_t index) {
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    bar->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(bar->Button(index)));
    plat::HeadlessDriver::RunUntilIdle();
  }

  // The user lines of the plan at `plan` as the calculation view lists them after opening it.
  struct UserLines {
    int32_t texts = 0, discounts = 0;
    std::string text;  // the Text line's words
    double percent = 0;
  };
  UserLines Read(const fs::path& plan) {
    Start(plan.string()).DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    UserLines read;
    if (zelvproCalculatorList* pane = zelvproCalculatorList::Current()) {
      Line& lines = pane->LineFile();
      for (int32_t i = 0; i < lines.GetSelectedCount(); ++i) {
        lines.GoTo(i);
        const int32_t type = lines.GetValue(Line::kType).ToLong();
        if (type == Line::kTextLine) {
          ++read.texts;
          read.text = lines.GetValueByName("totherText").AsWString().Narrow().c_str();
        } else if (type == Line::kDiscountLine) {
          ++read.discounts;
          read.percent = lines.GetValueByName("discountPct").ToDouble();
        }
      }
    }
    Stop();
    return read;
  }
};

// In the calculation view the bar's Text button adds a Text line; "oven" typed into its panel is left by
// a click on the list's first line. The Discount button adds a Discount line; -20 typed into its
// percentage is left by a click on the first line again. Ctrl+S saves the plan: opened again, the Text
// line says "oven" and the Discount line takes 20 % off.
TEST_F(LinePanelWindowRunTest, TypedValuesStayWithTheirLinesWhenTheUserClicksAnotherLine) {
  const fs::path plan = DemoPlan();
  const UserLines before = Read(plan);
  EXPECT_EQ(before.texts, 0);
  EXPECT_EQ(before.discounts, 0);

  std::string textButton, discountButton, textField, percentField, firstLine;
  {
    zelvProApp& app = BeginOnThePlan();
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorList* pane = zelvproCalculatorList::Current();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(pane, nullptr);
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    textButton = Place(Frame(*bar->Button(1)));
    discountButton = Place(Frame(*bar->Button(2)));
    PressBarButton(1);
    ppEditTextField* text = FieldCaptioned(TextById(8025, "totherText"));
    ASSERT_NE(text, nullptr) << "the Text line's panel has no text field";
    textField = Place(WindowInFrame(text->EditControl()));
    PressBarButton(2);
    ppEditTextField* percent = FieldCaptioned(TextById(8064, "discountPct"));
    ASSERT_NE(percent, nullptr) << "the Discount line's panel has no percentage";
    percentField = Place(WindowInFrame(percent->EditControl()));
    // The list's first row shows line 0, which is neither of the new lines.
    ASSERT_EQ(pane->FirstLine(), 0) << "the list scrolled away from its first line";
    const plat::RECT list = Frame(*pane);
    const int32_t rowTop = list.top + zelvproCalculatorList::kHeaderHeight;
    firstLine = Place(plat::POINT{list.left + 40, rowTop + pane->LineHeight() / 2});
    Stop();
  }

  const std::string environment = "XDG_DOCUMENTS_DIR='" + (demo_.Root() / "documents").string() + "'";
  fs::create_directories(demo_.Root() / "documents");
  const windowrun::Outcome outcome = Run({"key:F8",
                                          "click:" + textButton,
                                          "changed",
                                          "click:" + textField,
                                          "changed",
                                          "tap:o",
                                          "tap:v",
                                          "tap:e",
                                          "tap:n",
                                          "click:" + firstLine,
                                          "changed",
                                          "click:" + discountButton,
                                          "changed",
                                          "click:" + percentField,
                                          "changed",
                                          "tap:minus",
                                          "tap:2",
                                          "tap:0",
                                          "click:" + firstLine,
                                          "changed",
                                          "chord:Control_L+s",
                                          "close"},
                                         40, Quoted(plan), environment);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const UserLines after = Read(plan);
  EXPECT_EQ(after.texts, 1);
  EXPECT_EQ(after.text, "oven") << "the typed text was lost when the first line was clicked";
  EXPECT_EQ(after.discounts, 1);
  EXPECT_EQ(after.percent, -20.0) << "the typed percentage was lost when the first line was clicked";
}

// In the calculation view the bar's Text button adds a Text line. File > New then asks whether to save
// the changes first, and so does the window's close box: Cancel keeps the plan and its new line, and
// the window as it was. New again, answered No, puts the new document in the plan's place, which is
// unchanged, so the window then closes without a question.
TEST_F(LinePanelWindowRunTest, ATextLineAddedIsAskedAboutBeforeNewOrClosingReplacesThePlan) {
  std::string textButton, fileTitle, newItem, question, cancel, no;
  {
    zelvProApp& app = BeginOnThePlan();
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    textButton = Place(Frame(*bar->Button(1)));
    plat::POINT title = Middle(plat::MenuBarItemRects(app.Frame())[0]);
    plat::ScreenToClient(app.Frame(), &title);
    fileTitle = Place(title);
    const std::map<uint32_t, plat::RECT> file = MenuItems(0);
    ASSERT_TRUE(file.count(zelvproWindow::kNew)) << "the File menu offers no New";
    newItem = PopupPlace(file.at(zelvproWindow::kNew));

    // The line added here too: New asks, and the question's title and buttons are read as it opens.
    PressBarButton(1);
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND box = plat::GetActiveWindow();
      if (box == nullptr || box == app.Frame()) return false;
      char16_t text[256] = {};
      plat::GetWindowTextW(box, text, 256);
      question = Vcon::Utf8FromUtf16(text);
      cancel = PopupPlace(WindowIn(plat::GetDlgItem(box, plat::IDCANCEL), box));
      no = PopupPlace(WindowIn(plat::GetDlgItem(box, zelvproWarningDialog::kNo), box));
      return plat::PostMessageA(box, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    Send(zelvproWindow::kNew);
    plat::HeadlessDriver::SetIdleScript(nullptr);
    ASSERT_FALSE(question.empty()) << "New replaced the plan and its new line without a question";
    Stop();
  }

  const std::vector<std::string> toNew = {"click:" + fileTitle, "popup", "popclick:" + newItem,
                                          "title:" + question};
  std::vector<std::string> steps = {"key:F8", "click:" + textButton, "changed", GrabStep("added.ppm")};
  steps.insert(steps.end(), toNew.begin(), toNew.end());
  steps.insert(steps.end(), {"grabpopup:" + (demo_.Root() / "question.ppm").string(), "popclick:" + cancel,
                             "nopopup", GrabStep("kept.ppm"), "close", "title:" + question,
                             "popclick:" + cancel, "nopopup", GrabStep("open.ppm")});
  steps.insert(steps.end(), toNew.begin(), toNew.end());
  steps.insert(steps.end(), {"popclick:" + no, "nopopup", GrabStep("renewed.ppm"), "close"});
  const fs::path plan = DemoPlan();
  const auto bytes = [&] {
    std::ifstream in(plan, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string before = bytes();
  const windowrun::Outcome outcome = Run(steps, 60, Quoted(plan));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_TRUE(bytes() == before) << "the plan was saved, though no answer said so";
  const windowrun::Grab added = Grabbed("added.ppm"), kept = Grabbed("kept.ppm"), open = Grabbed("open.ppm"),
                        renewed = Grabbed("renewed.ppm");
  ASSERT_EQ(added.width, client_.right) << outcome.log;
  const plat::RECT window{0, 0, client_.right, client_.bottom};
  EXPECT_EQ(Differing(added, kept, window), 0) << "New cancelled changed the window";
  EXPECT_EQ(Differing(added, open, window), 0) << "closing cancelled changed the window";
  EXPECT_GT(Differing(open, renewed, window), 0) << "answered No, the plan and its new line stayed";
  EXPECT_GT(windowrun::ReadPpm(demo_.Root() / "question.ppm").width, 0) << "no question was seen";
}

}  // namespace
