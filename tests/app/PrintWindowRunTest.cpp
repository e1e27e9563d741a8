// A long print as a user meets it in the built program on a display (Xvfb, no window manager), driven
// through XTEST: the price list of a plan of 272 demo units printed with Ctrl+P, OK in the print
// dialog; while the pages print the "Print" box stands over the window, which is drawn whole around
// it, and Cancel in the box ends the job early with no file left. Where the dialogs' buttons lie is
// learnt from the same program in this process, headless.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "WindowRunFixture.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "PlanUnits.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "framework/ppPrintingAbortDialog.h"
#include "platform/Dialog.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;
using windowrun::Grab;

class PrintWindowRunTest : public apptest::WindowRunFixture {
 protected:
  static constexpr int32_t kCopy = 34, kPaste = 35, kDeselectAll = 204;

  // The plan grown to `count` units as a user grows it: its base unit alone selected and copied,
  // then pasted until the plan holds `count`.
  void GrowThePlan(int32_t count) {
    ppView& plan = *app_->DocumentWindow()->TopCanvas();
    zelvproElement* unit = apptest::OnlyUnitNamed(plan, "B40");
    ASSERT_NE(unit, nullptr);
    Send(kDeselectAll);
    unit->Select(false);
    Send(kCopy);
    int32_t units = 0;
    ForEachChildElement(plan, [&](zelvproElement*) { ++units; });
    for (; units < count; ++units) Send(kPaste);
    units = 0;
    ForEachChildElement(plan, [&](zelvproElement*) { ++units; });
    ASSERT_EQ(units, count);
  }

  // `window`'s client area in the frame's client pixels: what a display without a window manager
  // shows of a box.
  plat::RECT ClientInFrame(plat::HWND window) const {
    plat::RECT client{};
    plat::GetClientRect(window, &client);
    plat::POINT at{0, 0}, frame{0, 0};
    plat::ClientToScreen(window, &at);
    plat::ClientToScreen(app_->Frame(), &frame);
    return Moved(client, at.x - frame.x, at.y - frame.y);
  }

  // The middle of dialog item `item` in `dialog`'s client pixels, as a driver's popup place.
  static std::string ItemPlace(plat::HWND dialog, int32_t item) {
    plat::RECT button{};
    plat::GetWindowRect(plat::GetDlgItem(dialog, item), &button);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(dialog, &origin);
    return std::to_string((button.left + button.right) / 2 - origin.x) + "," +
           std::to_string((button.top + button.bottom) / 2 - origin.y);
  }
};

TEST_F(PrintWindowRunTest, ALongPriceListPrintsUnderThePrintBoxAndItsCancelEndsTheJobEarly) {
  const fs::path plan = DemoPlan();
  std::string ok, cancel;
  plat::RECT printDialog{}, box{};
  {
    zelvProApp& app = Begin(plan.string());
    GrowThePlan(272);
    Send(zelvproWindow::kSave);
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);  // the price list, as F8 shows it
    plat::HeadlessDriver::RunUntilIdle();
    // A line for every unit: the list runs to some fifty pages.
    ASSERT_NE(zelvproCalculatorList::Current(), nullptr);
    ASSERT_GT(zelvproCalculatorList::Current()->LineFile().GetRecordCount(), 272);
    // The print dialog's OK, and where the dialog stands in the frame's client pixels.
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND dialog = plat::FindWindowA(plat::kDialogClassName, "Print");
      if (dialog == nullptr) return false;
      ok = ItemPlace(dialog, plat::IDOK);
      printDialog = ClientInFrame(dialog);
      return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDCANCEL, 0) != 0;
    });
    Send(zelvproWindow::kPrint);
    plat::HeadlessDriver::SetIdleScript(CancelActiveWindow);
    // The "Print" box's Cancel, and where the box stands.
    ppPrintingAbortDialog& abort = ppPrintingAbortDialog::Instance();
    abort.Open(app.DocumentWindow()->GetHWND(), Vcon::WString(u"plan"));
    cancel = ItemPlace(abort.Window(), plat::IDCANCEL);
    box = ClientInFrame(abort.Window());
    abort.Close();
    Stop();
  }
  ASSERT_FALSE(ok.empty()) << "the print dialog did not show";
  const fs::path documents = demo_.Root() / "documents";
  fs::create_directories(documents);
  const std::string environment = "XDG_DOCUMENTS_DIR='" + documents.string() + "'";

  // F8 shows the list; Ctrl+P asks for the print dialog, whose OK starts the job. The box that shows
  // next is the "Print" box; its Cancel is clicked once it was grabbed, and closes it.
  const auto started = std::chrono::steady_clock::now();
  const windowrun::Outcome run =
      Run({"key:F8", "grab:list.ppm", "chord:Control_L+p", "title:Print", "popclick:" + ok, "popup",
           "title:Print", "grabpopup:box.ppm", "grab:printing.ppm", "popclick:" + cancel, "alive", "closed"},
          240, Quoted(plan), environment);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  ASSERT_TRUE(run.Passed()) << run.log;

  // The box is the "Print" box (its size, not the print dialog's), grabbed while the job ran.
  const Grab shown = Grabbed("box.ppm");
  EXPECT_EQ(shown.width, box.right - box.left);
  EXPECT_EQ(shown.height, box.bottom - box.top);
  // The window was drawn whole while the pages printed: where the print dialog stood and the box
  // does not, it shows the list as it stood before the print.
  const Grab list = Grabbed("list.ppm"), printing = Grabbed("printing.ppm");
  const plat::RECT above{printDialog.left, printDialog.top, printDialog.right, box.top};
  ASSERT_GT(above.bottom, above.top);
  EXPECT_EQ(Differing(list, printing, above), 0) << "the window was not drawn again under the print dialog";
  // Cancelled: nothing printed, not even a part of the file.
  int32_t files = 0;
  for ([[maybe_unused]] const fs::directory_entry& entry : fs::directory_iterator(documents)) ++files;
  EXPECT_EQ(files, 0) << "a cancelled print left a file\n" << run.log;
  RecordProperty("seconds", std::to_string(seconds));
}

}  // namespace
