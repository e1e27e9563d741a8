// What a box or a drop-down list leaves behind, as a user meets it in the built program on a display
// (Xvfb, no window manager), driven through XTEST: the keys go back to the document window when a
// question is cancelled, the main window's close box does nothing while a box is open, the press
// after a pick in a drop-down list does what it points at, and a close request closes an open list
// without a pick or ends a drag without its move. Where the list, the bar's buttons, the
// menu's items and the boxes' buttons lie is learnt from the same start-up in this process, headless,
// on a screen of the display's size.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "controls/ppPopupSelector.h"
#include "exchange/qxServerLoginDialog.h"
#include "foundation/TextsById.h"
#include "framework/ppButton.h"
#include "framework/ppScrollBar.h"
#include "platform/HeadlessDriver.h"
#include "platform/MenuBar.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;

class ModalWindowRunTest : public apptest::WindowRunFixture {
 protected:
  // Presses button `index` of the calculation bar as a click does.
  static void PressBarButton(int32_t index) {
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    bar->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(bar->Button(index)));
    plat::HeadlessDriver::RunUntilIdle();
  }
  // The File menu's title in the frame's client pixels (the bar lies above the client area).
  std::string FileTitle() {
    plat::POINT title = Middle(plat::MenuBarItemRects(app_->Frame())[0]);
    plat::ScreenToClient(app_->Frame(), &title);
    return Place(title);
  }
  // The question `command` asks about the changed plan, answered with Cancel.
  using Question = BoxFace;
  Question Ask(int32_t command) { return FaceOfTheBox(command); }
  // File > Save to Server... as the driver's steps that open it, with the login box's title.
  std::vector<std::string> OpenTheLogin() {
    const std::map<uint32_t, plat::RECT> file = MenuItems(0);
    // A menu item keeps its command as a 16-bit word.
    const auto item = file.find(uint32_t(uint16_t(zelvProApp::kSaveToServer)));
    EXPECT_NE(item, file.end()) << "the File menu offers no Save to Server";
    if (item == file.end()) return {};
    const std::string title = TextById(qxServerLoginDialog::kTitleText, "").Narrow().c_str();
    EXPECT_FALSE(title.empty());
    return {"click:" + FileTitle(), "popup", "popclick:" + PopupPlace(item->second), "title:" + title};
  }
  // The Text lines of the plan at `plan` as the calculation view lists them after opening it.
  int32_t TextLines(const fs::path& plan) {
    Start(plan.string()).DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    int32_t texts = 0;
    if (zelvproCalculatorList* pane = zelvproCalculatorList::Current()) {
      zelvproCalculatorFil& lines = pane->LineFile();
      for (int32_t i = 0; i < lines.GetSelectedCount(); ++i) {
        lines.GoTo(i);
        texts += lines.GetValue(zelvproCalculatorFil::kType).ToLong() == zelvproCalculatorFil::kTextLine;
      }
    }
    Stop();
    return texts;
  }
  // Sizes of two grabs of a box are the same box (the login box is not a question's size).
  static bool SameSize(const windowrun::Grab& a, const windowrun::Grab& b) {
    return a.width > 0 && a.width == b.width && a.height == b.height;
  }
};

// In the calculation view the bar's Text button adds a Text line. Ctrl+Q asks whether to save the
// changed plan; Cancel keeps it. The user clicks the new line and presses Del: the line goes at once,
// and the plan saved with Ctrl+S has no Text line.
TEST_F(ModalWindowRunTest, DelRemovesAPriceLineAfterTheQuitQuestionWasCancelled) {
  std::string textButton, newLine, toEnd;
  Question question;
  plat::RECT list{};
  {
    zelvProApp& app = BeginOnThePlan();
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorList* pane = zelvproCalculatorList::Current();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(pane, nullptr);
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    textButton = Place(Frame(*bar->Button(1)));
    list = Frame(*pane);
    list.top += zelvproCalculatorList::kHeaderHeight;
    list.right -= 20;  // the scroll bar
    // The scroll bar's thumb, dragged past the bar's lower end, shows the list's last rows; the line
    // added then is among them.
    const plat::RECT scrollBar = WindowInFrame(pane->VerticalBar()->Control());
    const int32_t x = (scrollBar.left + scrollBar.right) / 2;
    const plat::POINT thumb{x, scrollBar.top + (scrollBar.right - scrollBar.left) + 3},
        end{x, scrollBar.bottom + 40};
    toEnd = "drag:" + Place(thumb) + "," + Place(end);
    DragInFrame(thumb, end);
    PressBarButton(1);
    const int32_t row = pane->SelectedLine() - pane->FirstLine();
    ASSERT_GE(row, 0) << "the new line is not selected among the last rows";
    ASSERT_LT(row, pane->VisibleLines()) << "the new line is not selected among the last rows";
    newLine =
        Place(plat::POINT{list.left + 40, list.top + row * pane->LineHeight() + pane->LineHeight() / 2});
    question = Ask(ppApplication::kQuitCommand);
    ASSERT_FALSE(question.title.empty()) << "Quit asked nothing about the changed plan";
    Stop();
  }

  const std::vector<std::string> steps = {"key:F8",
                                          toEnd,
                                          GrabStep("before.ppm"),
                                          "click:" + textButton,
                                          "changed",
                                          "chord:Control_L+q",
                                          "title:" + question.title,
                                          "popclick:" + question.cancel,
                                          "nopopup",
                                          "click:" + newLine,
                                          "alive",
                                          GrabStep("selected.ppm"),
                                          "tap:Delete",
                                          "alive",
                                          GrabStep("deleted.ppm"),
                                          "chord:Control_L+s",
                                          "close"};
  const fs::path plan = DemoPlan();
  ASSERT_EQ(TextLines(plan), 0);
  const std::string environment = "XDG_DOCUMENTS_DIR='" + (demo_.Root() / "documents").string() + "'";
  fs::create_directories(demo_.Root() / "documents");
  const windowrun::Outcome outcome = Run(steps, 60, Quoted(plan), environment);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab before = Grabbed("before.ppm"), selected = Grabbed("selected.ppm"),
                        deleted = Grabbed("deleted.ppm");
  ASSERT_EQ(before.width, client_.right) << outcome.log;
  EXPECT_GT(Differing(before, selected, list), 0) << "the Text line did not show in the list";
  EXPECT_GT(Differing(selected, deleted, list), 0) << "Del after the cancelled question did nothing";
  // Saved after Del, the plan has no Text line.
  EXPECT_EQ(TextLines(plan), 0) << "Del after the cancelled question left the Text line in the plan";
}

// File > Save to Server... opens the login box. The main window's close box, clicked while the box is
// open, does nothing: the program keeps running and the box stays, with no question about the plan.
// Escape then closes the box, and the close box ends the program (the plan is unchanged).
TEST_F(ModalWindowRunTest, TheCloseBoxDoesNothingWhileTheLoginBoxIsOpen) {
  std::vector<std::string> login;
  {
    BeginOnThePlan();
    login = OpenTheLogin();
    ASSERT_FALSE(login.empty());
    Stop();
  }
  std::vector<std::string> steps = login;
  steps.insert(steps.end(), {"grabpopup:" + (demo_.Root() / "login.ppm").string(), "close", "alive",
                             "grabpopup:" + (demo_.Root() / "closed.ppm").string(), login.back(), "dismiss",
                             "alive", "close"});
  const windowrun::Outcome outcome = Run(steps, 60, Quoted(DemoPlan()));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_TRUE(SameSize(windowrun::ReadPpm(demo_.Root() / "login.ppm"),
                       windowrun::ReadPpm(demo_.Root() / "closed.ppm")))
      << "after the close box another window stood over the login box";
}

// With a changed plan (a Text line added in the price list) the close box clicked under the login box
// asks nothing either: no second question opens over the box. Once the box is gone, the close box asks
// about the changed plan as always.
TEST_F(ModalWindowRunTest, TheCloseBoxAsksNothingWhileTheLoginBoxIsOpenOverAChangedPlan) {
  std::vector<std::string> login, closing;
  std::string textButton;
  {
    zelvProApp& app = BeginOnThePlan();
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    textButton = Place(Frame(*bar->Button(1)));
    login = OpenTheLogin();
    ASSERT_FALSE(login.empty());
    closing = CloseWithoutSaving();
    Stop();
  }
  std::vector<std::string> steps = {"key:F8", "click:" + textButton, "changed"};
  steps.insert(steps.end(), login.begin(), login.end());
  steps.insert(steps.end(),
               {"grabpopup:" + (demo_.Root() / "login.ppm").string(), "close", "alive",
                "grabpopup:" + (demo_.Root() / "closed.ppm").string(), login.back(), "dismiss", "alive"});
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome = Run(steps, 60, Quoted(DemoPlan()));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_TRUE(SameSize(windowrun::ReadPpm(demo_.Root() / "login.ppm"),
                       windowrun::ReadPpm(demo_.Root() / "closed.ppm")))
      << "after the close box a question stood over the login box";
}

// In the room design the Room Shape list opens from its button and the second shape is picked with a
// quick click, its button let go after 20 ms, while the program still handles the press that picked;
// then ONE press on File in the menu bar opens the File menu. Ctrl+S keeps the new shape, and the
// close box ends the program.
TEST_F(ModalWindowRunTest, OnePressOpensTheFileMenuAfterAPickInTheRoomShapeList) {
  std::string dropShapes, secondShape, fileTitle;
  {
    BeginOnThePlan();
    Send(zelvproViewBar::kRoomDesignCommand);
    const std::vector<ppPopupSelector*> selectors = All<ppPopupSelector>(*app_->DocumentWindow());
    ASSERT_FALSE(selectors.empty());
    ppPopupSelector* shapes = selectors.back();
    ASSERT_NE(shapes->DropButton(), nullptr);
    const plat::RECT drop = Frame(*shapes->DropButton());
    dropShapes = Place(drop);
    fileTitle = FileTitle();
    // The list as the button opens it: it holds the mouse; its second row lies 40 pixels below the
    // first.
    plat::POINT onDesktop = Middle(drop);
    plat::ClientToScreen(app_->Frame(), &onDesktop);
    plat::Desktop::Click(onDesktop);
    plat::HeadlessDriver::RunUntilIdle();
    const plat::HWND list = plat::GetCapture();
    ASSERT_NE(list, nullptr) << "the Room Shape button opened no list";
    const plat::RECT rows = WindowInFrame(list);
    secondShape = Place(plat::POINT{rows.left + 30, rows.top + 60});
    plat::Desktop::Key(plat::VK_ESCAPE, true);
    plat::HeadlessDriver::RunUntilIdle();
    Stop();
  }
  const fs::path plan = DemoPlan();
  const windowrun::Outcome outcome =
      Run({"tap:F2", "alive", GrabStep("before.ppm"), "click:" + dropShapes, "popup",
           "press:" + secondShape + ",20", "nopopup", GrabStep("shaped.ppm"), "click:" + fileTitle, "popup",
           "dismiss", "chord:Control_L+s", "close"},
          60, Quoted(plan));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_GT(Differing(Grabbed("before.ppm"), Grabbed("shaped.ppm"), client_), 0) << "no shape was picked";
}

// A close request, as the window manager's close box gives it, while the Room Shape list is open and
// the pointer rests on its second shape: the list closes without a pick and the program runs on. Then in the
// plan, a close request while a unit is dragged: the drag ends where it started and the program closes
// without asking, the plan being as it was opened.
TEST_F(ModalWindowRunTest, ACloseRequestClosesAnOpenListWithoutAPickAndEndsADragWithoutItsMove) {
  std::string dropShapes, secondShape, unitMiddle, dragTo;
  plat::RECT room{};
  {
    BeginOnThePlan();
    zelvproElement* unit = apptest::OnlyUnitNamed(*app_->DocumentWindow()->TopCanvas(), "B40");
    ASSERT_NE(unit, nullptr);
    const plat::RECT at = Frame(*unit);
    unitMiddle = Place(Middle(at));
    dragTo = Place(Middle(Moved(at, 60, 60)));
    Send(zelvproViewBar::kRoomDesignCommand);
    const std::vector<ppPopupSelector*> selectors = All<ppPopupSelector>(*app_->DocumentWindow());
    ASSERT_FALSE(selectors.empty());
    ASSERT_NE(selectors.back()->DropButton(), nullptr);
    const plat::RECT drop = Frame(*selectors.back()->DropButton());
    dropShapes = Place(drop);
    // The list as the button opens it; the pointer rests on its second row when the close comes.
    plat::POINT onDesktop = Middle(drop);
    plat::ClientToScreen(app_->Frame(), &onDesktop);
    plat::Desktop::Click(onDesktop);
    plat::HeadlessDriver::RunUntilIdle();
    const plat::HWND list = plat::GetCapture();
    ASSERT_NE(list, nullptr) << "the Room Shape button opened no list";
    const plat::RECT rows = WindowInFrame(list);
    secondShape = Place(plat::POINT{rows.left + 30, rows.top + 60});
    plat::Desktop::Key(plat::VK_ESCAPE, true);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproEditorCanvas* editor = zelvproEditorCanvas::Current();
    ASSERT_NE(editor, nullptr);
    room = Frame(*editor);  // the plan with the room's walls; the list's button keeps its focus look
    Stop();
  }
  const windowrun::Outcome outcome =
      Run({"tap:F2", "alive", GrabStep("room.ppm"), "click:" + dropShapes, "popup", "move:" + secondShape,
           "close", "nopopup", GrabStep("listclosed.ppm"), "tap:F4", "alive", GrabStep("plan.ppm"),
           "down:" + unitMiddle, "move:" + dragTo, GrabStep("dragging.ppm"), "closed"},
          60, Quoted(DemoPlan()));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  EXPECT_EQ(Differing(Grabbed("room.ppm"), Grabbed("listclosed.ppm"), room), 0) << "the list picked a shape";
  EXPECT_GT(Differing(Grabbed("plan.ppm"), Grabbed("dragging.ppm"), client_), 0) << "no drag was under way";
}

}  // namespace
