// The built program in a window on a display (Xvfb, no window manager), driven through XTEST as a user
// drives it: the 3D view opened and left, every view key in every view, every button clicked and held,
// the menus opened and closed in every way with the keyboard still working after, and the message
// boxes a user must answer. Every step of the driver ends within a deadline of its own (the program
// must answer a ping within 10 s), so a hang fails in seconds and a crash with the program's status.
//
// Where the buttons, menus and boxes lie is learnt from the same start-up in this process, headless,
// on a screen of the display's size.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "WindowRunFixture.h"
#include "app/shell/zelvProApp.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/zelvproWindow.h"
#include "framework/ppButton.h"
#include "platform/Desktop.h"
#include "platform/Dialog.h"
#include "platform/DialogMessageBox.h"
#include "platform/DialogTemplate.h"
#include "platform/HeadlessDriver.h"
#include "platform/MenuBar.h"
#include "platform/MessageBox.h"
#include "platform/PngFile.h"
#include "platform/ScreenMetrics.h"
#include "platform/WindowApi.h"

namespace {

namespace fs = std::filesystem;

struct Button {
  int32_t picture;
  std::string place;  // the driver's x,y
};

class WindowRunTest : public apptest::WindowRunFixture {
 protected:
  // The buttons the document window shows now, in view order.
  std::vector<Button> ShownButtons() {
    std::vector<Button> found;
    for (ppButton* button : All<ppButton>(*app_->DocumentWindow())) {
      const plat::RECT r = Frame(*button);
      if (r.right > r.left && r.bottom > r.top) found.push_back({button->GetPictureId(), Place(r)});
    }
    return found;
  }
  std::string ButtonPlace(int32_t picture) {
    for (const Button& b : ShownButtons())
      if (b.picture == picture) return b.place;
    ADD_FAILURE() << "no button " << picture;
    return "0,0";
  }

  // The driver's place of the menu bar's item `index`.
  std::string BarItem(int32_t index) const {
    const plat::RECT r = plat::MenuBarItemRects(app_->Frame())[size_t(index)];
    plat::POINT origin{0, 0};
    plat::ClientToScreen(app_->Frame(), &origin);
    return Place(plat::RECT{r.left - origin.x, r.top - origin.y, r.right - origin.x, r.bottom - origin.y});
  }
  // Item `id` of menu `index` where its popup shows it (popup pixels).
  std::string PopupItem(int32_t index, uint32_t id) {
    const std::map<uint32_t, plat::RECT> items = MenuItems(index);
    const auto item = items.find(id);
    const std::string place = item == items.end() ? "none" : PopupPlace(item->second);
    EXPECT_NE(place, "none") << "menu " << index << " shows no item " << id;
    return place;
  }

  // Where button `id` of the box the program showed lies in the box's window (its client area, which
  // the display's window of a captioned box shows).
  static std::string BoxButton(const plat::MessageBoxRecord& box, int32_t id) {
    plat::DialogTemplate t = plat::MessageBoxTemplate(box.text, box.caption, box.style);
    plat::HWND dialog = plat::CreateDialogIndirectParamW(
        nullptr, &t, nullptr,
        [](plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) -> plat::INT_PTR { return 0; }, 0);
    const std::string place = PopupPlace(WindowIn(plat::GetDlgItem(dialog, id), dialog));
    plat::DestroyWindow(dialog);
    return place;
  }

  std::u16string FrameTitle() {
    char16_t text[512] = {};
    plat::GetWindowTextW(app_->Frame(), text, 512);
    return text;
  }

  std::string file_, open_;
};

const char* const kViewKeys[] = {"F2", "F4", "F7", "F8"};

// The 3D view is opened and left thirty times, by its key and by its button, and every view key is
// pressed in every view: the program neither crashes nor stops answering.
TEST_F(WindowRunTest, TheThreeDViewOpensAndClosesAndEveryViewKeyWorksInEveryView) {
  Begin();
  const std::string room = ButtonPlace(zelvproViewBar::kRoomDesignView);
  const std::string view3d = ButtonPlace(zelvproViewBar::k3DView);
  Stop();
  std::vector<std::string> steps = {"alive"};
  for (int i = 0; i < 15; ++i) {
    // The first rounds wait until the view is drawn; the later ones go at a user's pace.
    const bool drawn = i < 2;
    for (const std::string& step : {std::string("tap:F7"), std::string("tap:F2")}) {
      steps.push_back(step);
      if (drawn) steps.push_back("changed");
    }
    steps.push_back("press:" + view3d + ",150");
    if (drawn) steps.push_back("changed");
    steps.push_back("press:" + room + ",150");
    if (drawn) steps.push_back("changed");
  }
  for (const char* in : kViewKeys)
    for (const char* key : kViewKeys) {
      steps.push_back(std::string("tap:") + in);
      steps.push_back(std::string("tap:") + key);
    }
  steps.push_back("alive");
  steps.push_back("close");
  const windowrun::Outcome outcome = Run(steps, 150);
  EXPECT_TRUE(outcome.Passed()) << outcome.log;
}

// Each button of the room view and of the 3D view (the sliders' buttons among them) is clicked for
// 150 ms and held for 600 ms; what a button opens is closed as a user would.
TEST_F(WindowRunTest, EveryButtonAnswersAClickAndAHold) {
  Begin();
  const std::vector<Button> room = ShownButtons();
  Send(zelvproViewBar::k3DCommand);
  std::vector<Button> view3d;  // the 3D view's own
  for (const Button& b : ShownButtons())
    if (std::none_of(room.begin(), room.end(), [&](const Button& r) { return r.place == b.place; }))
      view3d.push_back(b);
  Stop();
  ASSERT_FALSE(view3d.empty()) << "the 3D view shows no buttons of its own";
  std::vector<std::string> steps = {"alive"};
  auto pressAll = [&](const std::vector<Button>& buttons, const char* view) {
    for (const Button& b : buttons) {
      // Exit ends the run; the order over the Internet asks first, and the boxes' test answers it.
      if (b.picture == zelvproViewBar::kExitButton || b.picture == zelvproViewBar::kWebSendButton) continue;
      for (const char* hold : {",150", ",600"}) {
        steps.push_back(std::string("tap:") + view);
        steps.push_back("press:" + b.place + hold);
        steps.push_back("dismiss");
      }
    }
  };
  pressAll(room, "F2");
  pressAll(view3d, "F7");
  steps.push_back("alive");
  steps.push_back("close");
  const windowrun::Outcome outcome = Run(steps, 240);
  EXPECT_TRUE(outcome.Passed()) << outcome.log;
}

// Two hundred times a menu of the bar is opened with a click and closed with Escape, with a click
// outside or with a click on one of its items; after each the display's focus is with the program,
// and after one of each kind a shortcut typed at once is obeyed.
TEST_F(WindowRunTest, MenusOpenAndCloseAndTheKeyboardStaysWithTheFrame) {
  Begin();
  const int32_t menus = plat::GetMenuItemCount(plat::GetMenu(app_->Frame()));
  ASSERT_EQ(menus, 4);  // File, Edit, View, Help
  std::vector<std::string> titles;
  for (int32_t i = 0; i < menus; ++i) titles.push_back(BarItem(i));
  // The items clicked in each menu: harmless ones, and ones that open a window the step closes.
  struct Item {
    std::string place;
    bool opensWindow;
  };
  const std::vector<std::vector<Item>> items = {
      {{PopupItem(0, 18), true}},                                                               // Print Setup
      {{PopupItem(1, 203), false}},                                                             // Select All
      {{PopupItem(2, 3006), false}, {PopupItem(2, 3003), false}, {PopupItem(2, 3001), false}},  // views
      {{PopupItem(3, 1), true}}};                                                               // About
  const std::string outside = Place(plat::RECT{client_.right / 2 - 5, client_.bottom / 2 - 5,
                                               client_.right / 2 + 5, client_.bottom / 2 + 5});
  Stop();
  std::vector<std::string> steps = {"alive"};
  for (int cycle = 0; cycle < 200; ++cycle) {
    const int menu = cycle % 4, how = (cycle / 4) % 3;
    // Items are chosen in the room view, where each of those clicked is enabled.
    if (how == 2) steps.push_back("tap:F2");
    steps.push_back("click:" + titles[size_t(menu)]);
    steps.push_back("popup");
    if (how == 0) {
      steps.push_back("tap:Escape");
      steps.push_back("nopopup");
    } else if (how == 1) {
      steps.push_back("click:" + outside);
      steps.push_back("nopopup");
    } else {
      const auto& choices = items[size_t(menu)];
      const Item& item = choices[size_t(cycle / 12) % choices.size()];
      steps.push_back("popclick:" + item.place);
      if (item.opensWindow) {
        steps.push_back("popup");
        steps.push_back("dismiss");
      } else {
        steps.push_back("nopopup");
      }
    }
    steps.push_back("focused");
    if (cycle < 12) {
      // A shortcut typed straight after: the price list, then the room again.
      steps.insert(steps.end(), {"tap:F8", "changed", "tap:F2", "changed"});
    }
  }
  steps.push_back("close");
  // On the demo's plan, where Select All has units to select.
  const windowrun::Outcome outcome = Run(steps, 240, Quoted(DemoPlan()));
  EXPECT_TRUE(outcome.Passed()) << outcome.log;
}

// A document that cannot be read, a path that does not exist and the consent to an order over the
// Internet each show a drawn box that waits until the user answers it with a click.
TEST_F(WindowRunTest, BoxesAreDrawnAndWaitForTheUsersClick) {
  const fs::path damaged = demo_.Root() / "damaged.qxf";
  std::ofstream(damaged, std::ios::binary) << std::string("QX", 2);
  const fs::path missing = demo_.Root() / "no such folder" / "plan.qxf";
  for (const fs::path& document : {damaged, missing}) {
    SCOPED_TRACE(document.string());
    plat::ClearMessageBoxLog();
    Begin("\"" + document.string() + "\"");
    const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
    Stop();
    ASSERT_EQ(boxes.size(), 1u) << "the document's failure shows no box";
    const windowrun::Outcome outcome =
        Run({"title:" + Vcon::Utf8FromUtf16(boxes[0].caption), "popclick:" + BoxButton(boxes[0], plat::IDOK),
             "alive", "focused", "close"},
            60, Quoted(document));
    EXPECT_TRUE(outcome.Passed()) << outcome.log;
  }

  // The order over the Internet asks first; No sends nothing. The program's own services send it.
  plat::ClearMessageBoxLog();
  iShellServices::Install(nullptr);
  Begin();
  const std::string send = ButtonPlace(zelvproViewBar::kWebSendButton);
  plat::QueueMessageBoxAnswer(plat::IDNO);
  app_->DoCommand(zelvProApp::kSendOrder, 0);
  const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
  Stop();
  ASSERT_EQ(boxes.size(), 1u);
  ASSERT_EQ(Vcon::Utf8FromUtf16(boxes[0].caption), "Internet Access");
  const windowrun::Outcome outcome =
      Run({"press:" + send + ",150", "title:Internet Access", "popclick:" + BoxButton(boxes[0], plat::IDNO),
           "alive", "focused", "close"},
          60);
  EXPECT_TRUE(outcome.Passed()) << outcome.log;
}

// Pixels of the grab that differ from `area` of the surface (-1: the sizes differ).
int64_t DifferingFrom(const windowrun::Grab& grab, const plat::Surface& drawn, const plat::RECT& area) {
  if (grab.width != area.right - area.left || grab.height != area.bottom - area.top) return -1;
  const plat::POINT at{area.left, area.top};
  int64_t differing = 0;
  for (int y = 0; y < grab.height; ++y)
    for (int x = 0; x < grab.width; ++x) {
      uint32_t pixel = 0;
      std::memcpy(&pixel, drawn.Row(y + at.y) + size_t(x + at.x) * 4, 4);
      differing += (pixel & 0xFFFFFF) != grab.At(x, y);
    }
  return differing;
}

// Files that are no plan, opened through File > Open while a plan is open: each shows the box that
// says why, drawn as this process draws it, and the plan stays as it was.
TEST_F(WindowRunTest, ADamagedFileOpenedThroughTheDialogShowsItsBoxAndLeavesThePlanAlone) {
  const fs::path plan = DemoPlan();
  std::ifstream in(plan, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  const std::vector<std::pair<std::string, std::string>> files = {
      {"random.qxf", std::string("\x93\x11\xfe\x00\x7a\x42\xc8\x05\xd1\x66\x0b\xe4\x39\x8f\x20\x5c", 16)},
      {"truncated.qxf", bytes.substr(0, bytes.size() / 2)},
      {"empty.qxf", ""}};
  std::vector<std::string> steps = {"grab:" + (demo_.Root() / "before.ppm").string()};
  std::vector<fs::path> boxes;
  std::vector<plat::RECT> clientAt;  // each drawn box's client area in its picture
  for (const auto& [name, content] : files) {
    SCOPED_TRACE(name);
    const fs::path file = demo_.Root() / name;
    std::ofstream(file, std::ios::binary) << content;
    // The box the document commands show for it, learnt here, and drawn here as the program draws it.
    Begin("\"" + plan.string() + "\"");
    plat::ClearMessageBoxLog();
    const std::u16string title = FrameTitle();
    std::string windows = file.string();
    std::replace(windows.begin(), windows.end(), '/', '\\');
    app_->DocumentWindow()->DocumentCommands().OpenFile(
        DocumentFileRecord{Vcon::WString(Vcon::Utf16FromUtf8(windows))});
    plat::HeadlessDriver::RunUntilIdle();
    const std::vector<plat::MessageBoxRecord> shown = plat::MessageBoxLog();
    file_ = BarItem(0);
    open_ = PopupItem(0, zelvproWindow::kOpen);
    EXPECT_EQ(FrameTitle(), title) << "the frame no longer names the plan";
    Stop();
    ASSERT_EQ(shown.size(), 1u) << "the damaged file shows no box";
    plat::DialogTemplate t = plat::MessageBoxTemplate(shown[0].text, shown[0].caption, shown[0].style);
    plat::HWND box = plat::CreateDialogIndirectParamW(
        nullptr, &t, nullptr,
        [](plat::HWND, plat::UINT, plat::WPARAM, plat::LPARAM) -> plat::INT_PTR { return 0; }, 0);
    // Shown with the focus on OK, as the program's box waits.
    plat::ShowWindow(box, plat::SW_SHOW);
    plat::SetFocus(plat::GetDlgItem(box, plat::IDOK));
    plat::UpdateWindow(box);
    plat::HeadlessDriver::RunUntilIdle();
    boxes.push_back(demo_.Root() / (name + ".png"));
    ASSERT_TRUE(plat::HeadlessDriver::DumpPng(box, boxes.back().string()));
    plat::RECT outer{};
    plat::GetWindowRect(box, &outer);
    plat::POINT origin{0, 0};
    plat::ClientToScreen(box, &origin);
    plat::RECT client{};
    plat::GetClientRect(box, &client);
    clientAt.push_back({origin.x - outer.left, origin.y - outer.top, origin.x - outer.left + client.right,
                        origin.y - outer.top + client.bottom});
    plat::DestroyWindow(box);

    // The first through the menu; the others by Ctrl+O, which the keys must still reach once a box
    // was answered.
    if (boxes.size() == 1)
      steps.insert(steps.end(), {"click:" + file_, "popup", "popclick:" + open_});
    else
      steps.push_back("tap:Control_L+o");
    steps.push_back("title:Open");
    for (const std::string& key : windowrun::Typed(file.string())) steps.push_back(key);
    steps.insert(steps.end(), {"tap:Return", "title:" + Vcon::Utf8FromUtf16(shown[0].caption),
                               "grabpopup:" + (demo_.Root() / (name + ".ppm")).string(),
                               "popclick:" + BoxButton(shown[0], plat::IDOK), "nopopup", "focused",
                               "grab:" + (demo_.Root() / (name + ".after.ppm")).string()});
  }
  steps.push_back("close");
  const windowrun::Outcome outcome = Run(steps, 240, Quoted(plan));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab before = windowrun::ReadPpm(demo_.Root() / "before.ppm");
  for (size_t i = 0; i < boxes.size(); ++i) {
    const fs::path& drawn = boxes[i];
    SCOPED_TRACE(drawn.filename().string());
    const std::unique_ptr<plat::Surface> expected = plat::ReadPng(drawn.string());
    ASSERT_NE(expected, nullptr);
    fs::path grabbed = drawn, after = drawn;
    EXPECT_EQ(DifferingFrom(windowrun::ReadPpm(grabbed.replace_extension(".ppm")), *expected, clientAt[i]), 0)
        << "the box does not read as the document's message";
    const windowrun::Grab frame = windowrun::ReadPpm(after.replace_extension(".after.ppm"));
    EXPECT_TRUE(frame.width == before.width && frame.rgb == before.rgb) << "the open plan changed";
  }
}

// 50 MB of pseudo-random bytes: more than the program's handle zone of 40,000,000 bytes holds.
void WriteRandomBytes(const fs::path& file, size_t size) {
  std::string bytes(size, '\0');
  uint64_t state = 0x9E3779B97F4A7C15ull;
  for (char& c : bytes) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    c = char(state >> 56);
  }
  std::ofstream(file, std::ios::binary) << bytes;
}

// A file larger than the handle zone, handed to the program the three ways a user can: named on the
// command line, chosen in File > Open, and handed over by a second start. Each time one load-failure
// box says so, the program keeps running and the plan it shows stays as it was; a normal plan opens
// afterwards.
TEST_F(WindowRunTest, AFileLargerThanTheZoneShowsOneBoxEachWayAndTheProgramGoesOn) {
  const fs::path plan = DemoPlan();
  const fs::path big = demo_.Root() / "big.qxf";
  WriteRandomBytes(big, 50'000'000);

  // The command line's file, in this process: one box, and the program keeps its plan.
  Begin(Quoted(big));
  const std::vector<plat::MessageBoxRecord> atStart = plat::MessageBoxLog();
  ASSERT_EQ(atStart.size(), 1u) << "the file named on the command line shows no box, or several";
  EXPECT_EQ(Vcon::Utf8FromUtf16(atStart[0].text), "Could not load file");
  const std::u16string title = FrameTitle();
  // File > Open and a second start's hand-over, in this process too.
  plat::ClearMessageBoxLog();
  std::string windows = big.string();
  std::replace(windows.begin(), windows.end(), '/', '\\');
  app_->DocumentWindow()->DocumentCommands().OpenFile(
      DocumentFileRecord{Vcon::WString(Vcon::Utf16FromUtf8(windows))});
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(plat::MessageBoxLog().size(), 1u) << "the opened file shows no box, or several";
  EXPECT_EQ(FrameTitle(), title);
  file_ = BarItem(0);
  open_ = PopupItem(0, zelvproWindow::kOpen);
  const std::string ok = BoxButton(atStart[0], plat::IDOK);
  const std::string caption = "title:" + Vcon::Utf8FromUtf16(atStart[0].caption);
  Stop();

  const std::vector<std::string> answer = {caption, "popclick:" + ok, "nopopup", "alive"};
  std::vector<std::string> steps = answer;
  steps.push_back(GrabStep("started.ppm"));
  steps.insert(steps.end(), {"click:" + file_, "popup", "popclick:" + open_, "title:Open"});
  for (const std::string& key : windowrun::Typed(big.string())) steps.push_back(key);
  steps.push_back("tap:Return");
  steps.insert(steps.end(), answer.begin(), answer.end());
  steps.push_back(GrabStep("opened.ppm"));
  // The second start runs beside the first, with the same lock folder, and hands the file over.
  steps.push_back("spawn:XDG_RUNTIME_DIR=\"" + (demo_.Root() / "runtime").string() + "\" ./planner \"" +
                  big.string() + "\"");
  steps.insert(steps.end(), answer.begin(), answer.end());
  steps.push_back(GrabStep("handed.ppm"));
  // A normal plan opens afterwards.
  steps.insert(steps.end(), {"tap:Control_L+o", "title:Open"});
  for (const std::string& key : windowrun::Typed(plan.string())) steps.push_back(key);
  steps.insert(steps.end(), {"tap:Return", "nopopup", "alive", GrabStep("plan.ppm"), "close"});
  const windowrun::Outcome outcome = Run(steps, 240, Quoted(big));
  ASSERT_TRUE(outcome.Passed()) << outcome.log;

  const windowrun::Grab started = Grabbed("started.ppm");
  ASSERT_GT(started.width, 0);
  for (const char* name : {"opened.ppm", "handed.ppm"}) {
    const windowrun::Grab after = Grabbed(name);
    EXPECT_TRUE(after.width == started.width && after.rgb == started.rgb) << name << ": the plan changed";
  }
  const windowrun::Grab opened = Grabbed("plan.ppm");
  EXPECT_GT(Differing(started, opened, client_), 1000) << "the normal plan did not open";
}

}  // namespace
