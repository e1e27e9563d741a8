// The program from its arguments to its teardown, on copies of the demo settings: the arguments it
// takes, the start-up's frame placement and working state, a start that cannot go on, the hand-over
// of a second start's document, the commands that reach the calculation and the exchange, help, and
// whole runs in this process and of the built program.
//
// To renew the kept picture of the program's first frame after a deliberate change: run with
// PLANNER_WRITE_FIXTURES=1, look at tests/fixtures/app/planner.png and commit it.
#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/shell/PlannerProgram.h"
#include "foundation/FileOperations.h"
#include "foundation/PosixPath.h"
#include "app/shell/ShellSettings.h"
#include "app/shell/iShellServices.h"
#include "app/about/zelvproAboutDialog.h"
#include "app/shell/zelvProApp.h"
#include "calculation/ItemSheetPrintFlag.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorList.h"
#include "framework/ppScrollBar.h"
#include "framework/ppButton.h"
#include "framework/ppPicture.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "canvas/window/zelvproWindow.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "scene3d/panes/zelvpro3DPane.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxApplicationFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/topview/iConfigurator.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "foundation/ProcessServices.h"
#include "foundation/UserPreferences.h"
#include "framework/ToolTipControl.h"
#include "framework/ppCursor.h"
#include "framework/ppCursorTable.h"
#include "framework/ppApplication.h"
#include "platform/Cursors.h"
#include "platform/Desktop.h"
#include "platform/HandOverListener.h"
#include "platform/HandOverSender.h"
#include "platform/InstanceLock.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/MessageTrace.h"
#include "platform/Tooltip.h"
#include "platform/PngFile.h"
#include "platform/ScreenMetrics.h"
#include "platform/Shell.h"
#include "platform/Surface.h"
#include "platform/TextLog.h"
#include "platform/WindowApi.h"
#include "support/DemoSettings.h"
#include "StartedProgram.h"
#include "WindowRun.h"

namespace {

namespace fs = std::filesystem;

class RecordingDocument : public iDocumentCommands {
 public:
  void OpenFile(const DocumentFileRecord& file) override { opened.push_back(Vcon::Utf8FromUtf16(file.path)); }
  std::vector<std::string> opened;
};

class RecordingServices : public iShellServices {
 public:
  void ListCalculationUnits() override { log.push_back("units"); }
  void WritePriceList(const Vcon::String& path) override {
    log.push_back("price list " + std::string(path.c_str()));
  }
  void OpenFromServer() override { log.push_back("server open"); }
  void SaveToServer() override { log.push_back("server save"); }
  void SetAlternativePriceLayout(bool on) override {
    log.push_back(on ? "alternative on" : "alternative off");
  }
  void MailOrder(plat::HWND) override { log.push_back("mail"); }
  void SendOrder(plat::HWND) override { log.push_back("send order"); }
  std::vector<std::string> log;
};

// The program's start-up on the copy, as the entry runs it, without the message loop: the documents
// it is handed and the services it calls are recorded, and its dialogs are left to each test.
class StartupTest : public apptest::StartedProgramTest {
 protected:
  void SetUp() override {
    StartedProgramTest::SetUp();
    iShellServices::Install(&recording_);
    documentCommands_ = &document_;
    cancelsDialogs_ = false;
  }
  void Stop() {
    app_.reset();
    gApplication = nullptr;
  }
  // Writes the preferences file of the copy with display configuration `mode`.
  void WritePlacement(uint32_t mode) {
    EnterProgramFolder();
    InitPreferencesPath();
    Preferences().displayConfiguration = mode;
    ASSERT_TRUE(SaveDisplaySettings());
  }
  void SetRecordText(const char* field, const char* text) {
    qxApplicationFil& file = app_->ApplicationDatabase()->ApplicationFile();
    RecordField(file, field).SetText(file.GetRecordBuffer(), text);
    ShellSettings::Current().Apply(file);
  }

  RecordingDocument document_;
  RecordingServices recording_;
};

// The picture in the file `shot` is the one kept as tests/fixtures/app/`name`, pixel for pixel (with
// PLANNER_WRITE_FIXTURES set, `shot` is kept first).
void ExpectAsKept(const std::string& shot, const std::string& name) {
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/app/" + name;
  if (std::getenv("PLANNER_WRITE_FIXTURES") != nullptr)
    fs::copy_file(shot, kept, fs::copy_options::overwrite_existing);
  std::unique_ptr<plat::Surface> got = plat::ReadPng(shot), want = plat::ReadPng(kept);
  ASSERT_NE(got, nullptr);
  ASSERT_NE(want, nullptr) << kept;
  const plat::PixelDifference difference = plat::ComparePixels(*got, *want, 0);
  EXPECT_TRUE(difference.Matches()) << name << ": " << difference.pixels << " pixels differ, the first at "
                                    << difference.firstX << "," << difference.firstY;
}

std::string Rect(plat::HWND window) {
  plat::RECT r{};
  plat::GetWindowRect(window, &r);
  return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
         std::to_string(r.bottom - r.top);
}

// ---- Start-up.

TEST_F(StartupTest, TheFrameIsPlacedByTheDisplayConfiguration) {
  plat::SetVirtualScreenSize(1280, 1024);
  const struct {
    uint32_t mode;
    std::string rect;  // empty: maximised
  } cases[] = {{1, "0,0 975x720"}, {2, "305,0 975x720"}, {0, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    WritePlacement(c.mode);
    zelvProApp& app = Start();
    if (c.rect.empty())
      EXPECT_TRUE(plat::IsZoomed(app.Frame()));
    else
      EXPECT_EQ(Rect(app.Frame()), c.rect);
    Stop();
  }
}

TEST_F(StartupTest, AFullScreenHeightOf700IsASmallScreen) {
  for (int32_t height : {700, 701}) {
    SCOPED_TRACE(height);
    plat::SetFullScreenClientSize(1280, height);
    EXPECT_EQ(Start().SmallScreen(), height == 700);
    Stop();
  }
}

TEST_F(StartupTest, StartupBuildsTheWorkingStateAndTheTeardownTakesItAway) {
  zelvProApp& app = Start();
  char title[128] = {};
  plat::GetWindowTextA(app.Frame(), title, sizeof title);
  EXPECT_STREQ(title, "Vellmora Home Planner");
  ASSERT_NE(app.DocumentWindow(), nullptr);
  EXPECT_NE(CatalogDatabases, nullptr);
  EXPECT_NE(MainCatalogDatabase, nullptr);
  EXPECT_NE(DocumentRecordFile, nullptr);
  EXPECT_NE(ToolTipControl::DocumentTips(), nullptr);
  EXPECT_NE(ppConfigurator::Host(), nullptr);
  EXPECT_NE(dynamic_cast<zelvproElementConfigurator*>(&iConfigurator::Current()), nullptr);
  EXPECT_EQ(recording_.log, std::vector<std::string>{"units"});
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  Stop();
  EXPECT_EQ(CatalogDatabases, nullptr);
  EXPECT_EQ(DocumentRecordFile, nullptr);
  EXPECT_EQ(ToolTipControl::DocumentTips(), nullptr);
  EXPECT_EQ(dynamic_cast<zelvproElementConfigurator*>(&iConfigurator::Current()), nullptr);
}

// A first start (no preferences file) writes the preferences' defaults and runs in language 0; the
// demo's texts serve it, so the price list's header reads the columns' captions, not the line table's
// field names.
TEST_F(StartupTest, TheDemosFirstStartShowsThePriceListsColumnCaptions) {
  // Nothing beside the settings: no preferences file.
  for (const fs::directory_entry& entry : fs::directory_iterator(demo_.Root()))
    ASSERT_EQ(entry.path().filename(), "settings");
  zelvProApp& app = Start();
  EXPECT_EQ(Preferences().languageCode, 0u);
  // The preferences file it made is the defaults table, separators "," and "." included, whatever
  // the locale the start read afterwards.
  {
    std::ifstream in(demo_.Root() / "settings" / "zelvoproprefs.dat", std::ios::binary);
    const std::vector<uint8_t> prefs{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    ASSERT_EQ(prefs.size(), UserPreferences::kSize);
    const UserPreferences::Bytes defaults = UserPreferences().ToBytes();
    EXPECT_TRUE(std::equal(prefs.begin(), prefs.end(), defaults.begin()));
    EXPECT_EQ(prefs[40], ',');
    EXPECT_EQ(prefs[41], 0);
    EXPECT_EQ(prefs[44], '.');
    EXPECT_EQ(prefs[45], 0);
    EXPECT_EQ(MoneyFormat().decimalPoint, ",");
    EXPECT_EQ(MoneyFormat().thousandsSeparator, ".");
  }
  app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
  plat::HeadlessDriver::RunUntilIdle();
  zelvproCalculatorList* pane = zelvproCalculatorList::Current();
  ASSERT_NE(pane, nullptr);
  plat::ClearDrawnTextLog();
  plat::RecordDrawnTexts(true);
  pane->Invalidate();
  plat::UpdateWindow(app.DocumentWindow()->GetHWND());
  plat::HeadlessDriver::RunUntilIdle();
  plat::RecordDrawnTexts(false);
  std::vector<std::string> header;
  for (const plat::TextLogRecord& r : plat::DrawnTextLog()) {
    // The header row is the list's top 20 pixels; the lines' texts lie below.
    plat::RECT frame{};
    pane->GetWindowFrame(&frame);
    if (r.y < frame.top + zelvproCalculatorList::kHeaderHeight) header.push_back(Vcon::Utf8FromUtf16(r.text));
  }
  EXPECT_EQ(header, (std::vector<std::string>{"Picture", "Line", "Description", "Order no.", "Qty", "Price",
                                              "Total", "Volume m\u00b3", "Weight kg"}));
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

// A button without a face draws nothing: the user could not find it; two buttons with one face
// cannot be told apart. Every button the demo shows in any of its views (the view bar's views and
// tools, the editor's zoom, turn and room buttons, the 3D view's sliders and buttons, the price
// list's bar and the panes' own) has a picture for each of the five states the skin keeps, and its
// face is no other button's.
TEST_F(StartupTest, EveryButtonTheDemoShowsHasAFaceOfItsOwn) {
  zelvProApp& app = Start();
  std::map<int32_t, std::vector<uint8_t>> faces;  // by picture id: the normal face's pixels
  std::set<int32_t> faceless;
  std::function<void(ppView&)> walk = [&](ppView& view) {
    if (auto* button = dynamic_cast<ppButton*>(&view)) {
      const int32_t id = button->GetPictureId();
      for (int32_t state = 0; state < 5; ++state) {
        const ppPicture* face = app.GetPictureAt(id, state);
        if (face == nullptr || face->IsEmpty()) faceless.insert(id);
      }
      if (faceless.count(id) == 0) faces[id] = app.GetPictureAt(id, 0)->GetPixelsBGR();
    }
    for (int32_t i = 0; i < view.Subviews().Count(); ++i) walk(*view.Subviews().At(i));
  };
  zelvproViewBar* bar = app.DocumentWindow()->ViewBar();
  ASSERT_NE(bar, nullptr);
  // Room design, top-view colour, 3D, item list: each view's canvas joins the window when shown.
  for (int32_t page : {0, 2, 4, 5}) {
    bar->SelectViewByIndex(page);
    plat::HeadlessDriver::RunUntilIdle();
    walk(*app.DocumentWindow());
  }
  EXPECT_EQ(faceless, std::set<int32_t>{});
  EXPECT_GE(faces.size(), 20u);
  for (auto a = faces.begin(); a != faces.end(); ++a)
    for (auto b = std::next(a); b != faces.end(); ++b)
      EXPECT_FALSE(a->second == b->second)
          << "buttons " << a->first << " and " << b->first << " look the same";
}

// The fields' texts stand out from their boxes in the demo's colours (caption band and value box,
// focused or not), and the first frame's rotation field shows its step, 45 degrees, in dark ink.
TEST_F(StartupTest, TheDemosFieldsShowTheirTextsOnTheirBoxes) {
  zelvProApp& app = Start();
  const auto luma = [](const ppRGBColor& c) { return c.red + c.green + c.blue; };
  const struct { int32_t box, text; } pairs[] = {{1000, 1001}, {1002, 1003}, {1004, 1005}, {1006, 1007}};
  for (const auto& pair : pairs)
    EXPECT_GE(std::abs(luma(app.GetColor(pair.box)) - luma(app.GetColor(pair.text))), 3 * 128)
        << pair.box << " and " << pair.text;

  zelvproEditorCanvas* editor = zelvproEditorCanvas::Current();
  ASSERT_NE(editor, nullptr);
  zelvproRotatePanel* panel = editor->RotatePanel();
  EXPECT_EQ(std::u16string(panel->Field()->GetControlText()).substr(0, 2), u"45");
  const std::string shot = (demo_.Root() / "field.png").string();
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(panel->Field()->EditControl(), shot));
  const std::unique_ptr<plat::Surface> field = plat::ReadPng(shot);
  ASSERT_NE(field, nullptr);
  const uint32_t box = field->Pixel(field->Width() - 1, field->Height() / 2);
  const auto channels = [](uint32_t c) {
    return int32_t((c >> 16) & 0xff) + int32_t((c >> 8) & 0xff) + int32_t(c & 0xff);
  };
  int32_t ink = 0;
  for (int32_t y = 0; y < field->Height(); ++y)
    for (int32_t x = 0; x < field->Width(); ++x)
      ink += std::abs(channels(field->Pixel(x, y)) - channels(box)) > 3 * 80;
  EXPECT_GE(ink, 10) << "the step's digits";
}

// Every task cursor shows a pointer; those the tasks use (139 paint, 140 blocked, 141 drop target,
// 142 wall, 145 free, 146 move) are the program's own pictures, with their hot spot on a drawn pixel
// or at the middle of the blocked ring, not the arrow standing in.
TEST_F(StartupTest, EveryCursorOfTheMouseTasksShowsAPointer) {
  zelvProApp& app = Start();
  const std::set<int32_t> drawn{139, 140, 141, 142, 145, 146};
  for (int32_t slot = 0; slot < zelvProApp::kCursorCount; ++slot) {
    SCOPED_TRACE(139 + slot);
    const ppCursor* cursor = ppCursorTable::Global()->At(app.CursorSlot(slot));
    ASSERT_NE(cursor, nullptr);
    EXPECT_NE(cursor->Handle(), nullptr);
    plat::CursorPicture picture;
    EXPECT_EQ(plat::ReadCursorPicture(cursor->Handle(), picture), drawn.count(139 + slot) != 0);
    if (drawn.count(139 + slot) == 0) continue;
    EXPECT_EQ(cursor->ResourceId(), 139 + slot);
    EXPECT_LE(picture.width, 32);
    EXPECT_LE(picture.height, 32);
    const uint32_t hot = picture.pixels[size_t(picture.hotY) * size_t(picture.width) + size_t(picture.hotX)];
    // The blocked ring and the wall cross-hair point with their middle.
    if (139 + slot == 140 || 139 + slot == 142)
      EXPECT_EQ(std::make_pair(picture.hotX, picture.hotY), std::make_pair(15, 15));
    else
      EXPECT_NE(hot >> 24, 0u) << "the hot spot lies on a clear pixel";
  }
}

// The demo's look as the user meets it, kept as pictures: every group of the element palette shows
// its items' names whole under pictures of their own (no two alike), the base units' strip as kept,
// and the about box: the skin's picture 2004 with the program's name and version, centred.
//
// To renew the kept pictures after a deliberate change: run with PLANNER_WRITE_FIXTURES=1, look at
// tests/fixtures/app/palette.png and tests/fixtures/app/about.png and commit them.
TEST_F(StartupTest, TheDemosPaletteAndAboutBoxLookAsKept) {
  plat::SetVirtualScreenSize(1280, 1024);
  zelvProApp& app = Start();
  zelvproElementPalette* palette = app.DocumentWindow()->Palette();
  ASSERT_NE(palette, nullptr);
  zelvproElementScroller& strip = *palette->Pane()->Strip();
  std::vector<qxNode*> groups;
  std::function<void(const qxNode&)> collect = [&](const qxNode& node) {
    for (qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
      if (child->ItemRecordId() == 0) groups.push_back(child);
      collect(*child);
    }
  };
  for (int32_t i = 0; i < qxCatalog::kTreeCount; ++i) collect(palette->Browser()->Top(i));
  std::set<std::string> cut;
  std::map<std::vector<uint8_t>, std::string> previews;
  int32_t items = 0;
  for (qxNode* group : groups) {
    palette->Browser()->SelectCatalogNode(group);
    plat::HeadlessDriver::RunUntilIdle();
    if (strip.ItemCount() == 0) continue;
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    for (int32_t column = 0; column < strip.ItemCount(); ++column) {
      strip.ScrollTo(column, 0);
      strip.Invalidate();
      plat::UpdateWindow(app.DocumentWindow()->GetHWND());
    }
    plat::RecordDrawnTexts(false);
    for (const plat::TextLogRecord& r : plat::DrawnTextLog())
      if (r.text.find(u'\u2026') != std::u16string::npos) cut.insert(Vcon::Utf8FromUtf16(r.text));
    strip.ScrollTo(0, 0);
    for (int32_t column = 0; column < strip.ItemCount(); ++column, ++items) {
      const ppPicture preview = strip.ItemPictureAt(column);
      ASSERT_FALSE(preview.IsEmpty()) << group->Name().c_str() << " " << column;
      const auto [at, added] = previews.emplace(preview.GetPixelsBGR(), group->Name().c_str());
      EXPECT_TRUE(added) << "an item of " << group->Name().c_str() << " looks like one of " << at->second;
    }
  }
  EXPECT_GE(items, 40);
  for (const std::string& name : cut) ADD_FAILURE() << "cut short under its picture: " << name;

  qxNode* base = nullptr;
  for (qxNode* group : groups)
    if (std::string(group->Name().c_str()) == "Base") base = group;
  ASSERT_NE(base, nullptr);
  palette->Browser()->SelectCatalogNode(base);
  plat::HeadlessDriver::RunUntilIdle();
  plat::InvalidateRect(app.DocumentWindow()->GetHWND(), nullptr, 0);
  plat::UpdateWindow(app.DocumentWindow()->GetHWND());
  const std::string window = (demo_.Root() / "window.png").string();
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(app.DocumentWindow()->GetHWND(), window));
  std::unique_ptr<plat::Surface> whole = plat::ReadPng(window);
  ASSERT_NE(whole, nullptr);
  // The palette's band, client pixels of the document window placed in the dumped frame.
  plat::RECT band{};
  palette->GetWindowFrame(&band);
  plat::RECT outer{};
  plat::GetWindowRect(app.DocumentWindow()->GetHWND(), &outer);
  plat::POINT client{0, 0};
  plat::ClientToScreen(app.DocumentWindow()->GetHWND(), &client);
  const int32_t dx = client.x - outer.left, dy = client.y - outer.top;
  plat::Surface stripPicture(band.right - band.left, band.bottom - band.top);
  for (int32_t y = 0; y < stripPicture.Height(); ++y)
    for (int32_t x = 0; x < stripPicture.Width(); ++x)
      stripPicture.SetPixel(x, y, whole->Pixel(band.left + dx + x, band.top + dy + y));
  const std::string paletteShot = (demo_.Root() / "palette.png").string();
  ASSERT_TRUE(plat::WritePng(stripPicture, paletteShot));
  ExpectAsKept(paletteShot, "palette.png");

  app.DoCommand(1, 0);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_NE(AboutWindow, nullptr);
  plat::HWND about = AboutWindow->GetHWND();
  ASSERT_TRUE(plat::IsWindowVisible(about));
  plat::RECT placed{};
  plat::GetWindowRect(about, &placed);
  EXPECT_EQ(placed.right - placed.left, 360);
  EXPECT_EQ((placed.left + placed.right) / 2, 1280 / 2);
  const std::string aboutShot = (demo_.Root() / "about.png").string();
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(about, aboutShot));
  ExpectAsKept(aboutShot, "about.png");
}

// ---- Hand-over of a second start.

TEST_F(StartupTest, AHandedOverDocumentIsOpenedAndItsWindowComesToTheFront) {
  {
    // Before the document window exists: only a beep.
    zelvProApp early(nullptr, nullptr);
    EXPECT_FALSE(early.HandOver("\"/p/k 1.qxf\""));
    EXPECT_EQ(plat::Desktop::Beeps().size(), 1u);
  }
  zelvProApp& app = Start();
  const struct {
    std::string text;
    std::vector<std::string> opened;
  } cases[] = {
      {"\"/plans/k 1.qxf\"", {"/plans/k 1.qxf"}},
      {"/plans/k.qxf", {"/plans/k.qxf"}},
      {std::string("/a.qxf\0/junk", 11), {"/a.qxf"}},
      {"", {}},  // raises the frame only
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    document_.opened.clear();
    ASSERT_TRUE(app.HandOver(c.text));
    // Posted: nothing opens until the sender is released.
    EXPECT_TRUE(document_.opened.empty());
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(document_.opened, c.opened);
    // The document window lies inside the frame, which is what comes to the front.
    EXPECT_EQ(plat::GetForegroundWindow(), app.Frame());
  }
}

TEST_F(StartupTest, ASecondStartsTextArrivesThroughTheInstanceHandOver) {
  zelvProApp& app = Start();
  const std::string name = "planner startup test " + std::to_string(::getpid());
  plat::HandOverListener listener;
  ASSERT_TRUE(listener.Start(name, app.Frame())) << listener.Failure();
  std::atomic<int> result{-1};
  std::thread second([&] { result = int(plat::HandOverSender::Send(name, "\"/plans/k 1.qxf\"")); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (result < 0 && std::chrono::steady_clock::now() < deadline) {
    plat::HeadlessDriver::RunUntilIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  second.join();
  plat::HeadlessDriver::RunUntilIdle();
  listener.Stop();
  EXPECT_EQ(result, int(plat::HandOverSender::Result::kDelivered));
  EXPECT_EQ(document_.opened, std::vector<std::string>{"/plans/k 1.qxf"});
  EXPECT_EQ(plat::GetForegroundWindow(), app.Frame());
}

// The texts a plain window got as WM_COPYDATA: what a second start handed to it.
std::vector<std::string> gCopiedTexts;

plat::LRESULT CopyRecordingProc(plat::HWND window, plat::UINT message, plat::WPARAM wParam,
                                plat::LPARAM lParam) {
  if (message == plat::WM_COPYDATA) {
    const auto* data = reinterpret_cast<const plat::COPYDATASTRUCT*>(lParam);
    gCopiedTexts.emplace_back(static_cast<const char*>(data->lpData));
    return 1;
  }
  return plat::DefWindowProcW(window, message, wParam, lParam);
}

// One instance name under two runtime folders (two sessions of one user) is two running programs:
// each holds the lock in its own folder and hears its own hand-over, and a second start beside each
// (in the same runtime folder) hands its document to its own first, never to the other.
// The second start of the test below, run by it as a process of its own: the program's entry with the
// document the test names, in the settings folder it names; ends the process with the entry's status.
constexpr const char* kSecondStartRoot = "PLANNER_TEST_SECOND_START_ROOT";
constexpr const char* kSecondStartDocument = "PLANNER_TEST_SECOND_START_DOCUMENT";

TEST(SecondStart, DISABLED_HandsItsCommandLineOver) {
  const char* root = std::getenv(kSecondStartRoot);
  const char* document = std::getenv(kSecondStartDocument);
  if (root == nullptr || document == nullptr) GTEST_SKIP() << "started by the runtime folder test only";
  PlannerProgram::Options options;
  options.commandLine = document;
  const int status = PlannerProgram::Run(options, root);
  std::fflush(nullptr);
  ::_exit(status);
}

TEST_F(StartupTest, EachRuntimeFolderHasItsOwnInstanceAndASecondStartHandsOverToItsOwnFirst) {
  const std::string name = "planner runtime test " + std::to_string(::getpid());
  {
    std::ofstream start(demo_.Root() / "settings" / "start.txt", std::ios::binary | std::ios::trunc);
    start << "x\t" << name << "\r\n";
  }
  const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
  const std::string keptRuntime = savedRuntime != nullptr ? savedRuntime : "";
  const fs::path folders[2] = {demo_.Root() / "runtime-a", demo_.Root() / "runtime-b"};
  auto enter = [&](int i) {
    fs::create_directories(folders[i]);
    ::setenv("XDG_RUNTIME_DIR", folders[i].c_str(), 1);
  };
  // The first instances: the started program in folder a, a plain frame in folder b.
  zelvProApp& app = Start();
  plat::WNDCLASSA recording{};
  recording.lpfnWndProc = CopyRecordingProc;
  recording.lpszClassName = "RuntimeTestFrame";
  ASSERT_NE(plat::RegisterClassA(&recording), 0);
  plat::HWND other = plat::CreateWindowExA(0, "RuntimeTestFrame", name.c_str(), plat::WS_OVERLAPPEDWINDOW, 0,
                                           0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  gCopiedTexts.clear();
  std::unique_ptr<plat::InstanceLock> locks[2];
  plat::HandOverListener listeners[2];
  for (int i : {0, 1}) {
    enter(i);
    locks[i] = std::make_unique<plat::InstanceLock>(name);
    ASSERT_TRUE(locks[i]->IsHeld()) << locks[i]->Failure();
    ASSERT_TRUE(listeners[i].Start(locks[i]->Path(), i == 0 ? app.Frame() : other)) << listeners[i].Failure();
  }
  EXPECT_NE(locks[0]->Path(), locks[1]->Path());

  // A second start of the built program's entry, in a process of its own under folder `i`; this thread
  // runs the first instances' messages meanwhile. Answers the second start's exit status. The child
  // runs this test binary afresh (SecondStart below): a forked copy of this process, whose listener and
  // autosave threads may hold the allocator's locks at the fork, could wait on them for ever.
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string filter = "--gtest_filter=SecondStart.DISABLED_HandsItsCommandLineOver";
  std::string alsoDisabled = "--gtest_also_run_disabled_tests";
  char* const childArguments[] = {const_cast<char*>(self.c_str()), filter.data(), alsoDisabled.data(),
                                  nullptr};
  auto secondStart = [&](int i, const std::string& document) {
    enter(i);
    ::setenv(kSecondStartRoot, demo_.Root().c_str(), 1);
    ::setenv(kSecondStartDocument, document.c_str(), 1);
    const pid_t child = ::fork();
    if (child == 0) {
      ::execv(self.c_str(), childArguments);
      ::_exit(127);
    }
    ::unsetenv(kSecondStartRoot);
    ::unsetenv(kSecondStartDocument);
    int status = -1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (::waitpid(child, &status, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        break;
      }
      plat::HeadlessDriver::RunUntilIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    plat::HeadlessDriver::RunUntilIdle();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(secondStart(1, "/plans/b.qxf"), PlannerProgram::kOk);
  EXPECT_EQ(gCopiedTexts, std::vector<std::string>{"/plans/b.qxf"});
  EXPECT_TRUE(document_.opened.empty());
  EXPECT_EQ(secondStart(0, "/plans/a.qxf"), PlannerProgram::kOk);
  EXPECT_EQ(document_.opened, std::vector<std::string>{"/plans/a.qxf"});
  EXPECT_EQ(gCopiedTexts, std::vector<std::string>{"/plans/b.qxf"});

  for (plat::HandOverListener& listener : listeners) listener.Stop();
  plat::DestroyWindow(other);
  if (savedRuntime != nullptr)
    ::setenv("XDG_RUNTIME_DIR", keptRuntime.c_str(), 1);
  else
    ::unsetenv("XDG_RUNTIME_DIR");
}

// The running program's own hand-over: a run of the program's entry listens where a second start of
// the built program sends, so the document named on that start's command line opens in the running
// program. The run's loop goes on this process's headless desktop (the display flag only takes it past
// its refusal to run without one); the second start is the built program beside it, a process of its
// own from the same folder under the same runtime folder, without a display.
TEST_F(StartupTest, ASecondStartOfTheBuiltProgramHandsItsDocumentToTheRunningProgram) {
  const fs::path plan = DemoPlan();
  const fs::path program = demo_.Root() / "planner";
  fs::copy_file(PLANNER_PROGRAM, program, fs::copy_options::overwrite_existing);
  // A lock folder of its own, so that a planner someone else runs cannot take the hand-over.
  const fs::path runtime = demo_.Root() / "runtime";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
  const char* savedRuntime = std::getenv("XDG_RUNTIME_DIR");
  const std::string keptRuntime = savedRuntime != nullptr ? savedRuntime : "";
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

  // Whenever the running program's loop has nothing to do: the second start is begun once and waited
  // for while the loop goes on; once it has ended, the running program's document is noted and its
  // frame closed as the close box does. A second start still running after a minute is ended.
  std::vector<std::string> arguments = {
      "env", "-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", program.string(), plan.string()};
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  pid_t second = -1;
  int secondStatus = -1;
  bool ended = false;
  std::string before, after;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  plat::HeadlessDriver::SetIdleScript([&] {
    auto* app = static_cast<zelvProApp*>(gApplication);
    if (ended || app == nullptr || app->DocumentWindow() == nullptr) return false;
    if (second < 0) {
      before = app->DocumentWindow()->DocumentPath();
      if (::posix_spawnp(&second, "env", nullptr, nullptr, argv.data(), environ) != 0) second = 0;
    } else if (second > 0) {
      int status = 0;
      const pid_t done = ::waitpid(second, &status, WNOHANG);
      if (done == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return true;
      }
      if (done == 0) {
        ::kill(second, SIGKILL);
        ::waitpid(second, &status, 0);
      }
      if (WIFEXITED(status)) secondStatus = WEXITSTATUS(status);
      second = 0;
    } else {
      // The sender was released only after the running program had handled its text.
      after = app->DocumentWindow()->DocumentPath();
      ended = true;
      plat::Desktop::RequestClose(app->Frame());
    }
    return true;
  });
  PlannerProgram::Options options;
  options.display = true;
  const int status = PlannerProgram::Run(options, demo_.Root().string());
  plat::HeadlessDriver::SetIdleScript(nullptr);
  if (savedRuntime != nullptr)
    ::setenv("XDG_RUNTIME_DIR", keptRuntime.c_str(), 1);
  else
    ::unsetenv("XDG_RUNTIME_DIR");

  // The document window names its document in the program's path form.
  std::string opened = plan.string();
  std::replace(opened.begin(), opened.end(), '/', '\\');
  EXPECT_EQ(status, PlannerProgram::kOk);
  EXPECT_EQ(secondStatus, PlannerProgram::kOk);
  EXPECT_NE(before, opened);
  EXPECT_EQ(after, opened) << "the running program did not open the second start's document";
  for (const plat::MessageBoxRecord& box : plat::MessageBoxLog())
    ADD_FAILURE() << "box: " << Vcon::Utf8FromUtf16(box.text);
}

// ---- Keys and the tool tips.

class KeyRecorder : public ppEventHandler {
 public:
  void KeyDown(signed char key, int32_t /*flags*/) override { keys.push_back(key); }
  std::vector<int32_t> keys;
};

TEST_F(StartupTest, BackspaceReachesTheKeyTargetAsDelete) {
  zelvProApp& app = Start();
  KeyRecorder recorder;
  ppEventHandler* previous = app.GetTarget();
  app.SetTarget(&recorder);
  app.KeyDown(8, 0);
  app.KeyDown(0x2E, 0);
  EXPECT_EQ(recorder.keys, (std::vector<int32_t>{0x2E, 0x2E}));
  app.SetTarget(previous);
}

TEST_F(StartupTest, SingleMousePressesAndMovesAreRelayedToTheDocumentTipsButNotDoubleClicks) {
  zelvProApp& app = Start();
  ToolTipControl* tips = ToolTipControl::DocumentTips();
  ASSERT_NE(tips, nullptr);
  for (plat::UINT message = 0x200; message <= 0x209; ++message) {
    SCOPED_TRACE(message);
    plat::MessageTrace::Start();
    plat::MSG msg{};
    msg.hwnd = app.DocumentWindow()->GetHWND();
    msg.message = message;
    EXPECT_TRUE(app.PreTranslate(&msg));
    bool relayed = false;
    for (const plat::MSG& m : plat::MessageTrace::Messages())
      relayed = relayed || (m.hwnd == tips->Handle() && m.message == plat::TTM_RELAYEVENT);
    plat::MessageTrace::Stop();
    EXPECT_EQ(relayed, message <= 0x208 && message != 0x203 && message != 0x206);
  }
}

// ---- Commands.

TEST_F(StartupTest, TheServerPriceListAndMailCommandsReachTheServices) {
  zelvProApp& app = Start();
  recording_.log.clear();
  const struct {
    int32_t command;
    std::vector<std::string> log;
  } cases[] = {
      {zelvProApp::kOpenFromServer, {"server open"}},
      {zelvProApp::kSaveToServer, {"server save"}},
      {zelvProApp::kMailOrder, {"mail"}},
      {zelvProApp::kWritePriceList, {}},  // no output file named
      {zelvProApp::kAlternativePriceList, {"alternative on", "alternative off"}},
  };
  // The print that -21 brackets asks its questions first: each is cancelled.
  plat::HeadlessDriver::SetIdleScript([] {
    plat::HWND active = plat::GetActiveWindow();
    return active != nullptr && plat::PostMessageA(active, plat::WM_COMMAND, plat::IDCANCEL, 0);
  });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    recording_.log.clear();
    app.DoCommand(c.command, 0);
    EXPECT_EQ(recording_.log, c.log);
  }
  SetRecordText("posPath", ".\\prices.txt");
  recording_.log.clear();
  app.DoCommand(zelvProApp::kWritePriceList, 0);
  EXPECT_EQ(recording_.log, std::vector<std::string>{"price list .\\prices.txt"});
}

// What the command target sees of the dump switch while command 22 (print landscape) runs.
class PrintRecorder : public ppEventHandler {
 public:
  void DoCommand(int32_t command, intptr_t /*parameter*/) override {
    if (command == 22) dumpOn.push_back((iApplicationSettings::Current().flags2 & 0x2000) != 0);
  }
  std::vector<bool> dumpOn;
};

TEST_F(StartupTest, ThePrintLayoutDumpIsOnOnlyWhileItsPrintRuns) {
  zelvProApp& app = Start();
  PrintRecorder recorder;
  ppEventHandler* previous = app.GetTarget();
  app.SetTarget(&recorder);
  const uint32_t before = iApplicationSettings::Current().flags2;
  app.DoCommand(zelvProApp::kPrintLayoutDump, 0);
  app.DoCommand(zelvProApp::kAlternativePriceList, 0);
  app.SetTarget(previous);
  EXPECT_EQ(recorder.dumpOn, (std::vector<bool>{true, (before & 0x2000) != 0}));
  EXPECT_EQ(iApplicationSettings::Current().flags2, before);
}

TEST_F(StartupTest, TheTcpOrderCommandReachesTheServicesWithoutAQuestionOfItsOwn) {
  // The order asks for the consent itself (ExchangeOrderTest): a second box here would ask twice.
  zelvProApp& app = Start();
  recording_.log.clear();
  plat::ClearMessageBoxLog();
  app.DoCommand(zelvProApp::kSendOrder, 0);
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  EXPECT_EQ(recording_.log, std::vector<std::string>{"send order"});
}

TEST_F(StartupTest, HelpOpensTheNamedFileBesideTheProgram) {
  zelvProApp& app = Start();
  SetRecordText("primaryHelp", "");
  app.DoCommand(zelvProApp::kHelpCommand, 0);
  EXPECT_TRUE(plat::ShellExecuteLog().empty());
  SetRecordText("primaryHelp", "guide.htm");
  app.DoCommand(zelvProApp::kHelpCommand, 0);
  ASSERT_EQ(plat::ShellExecuteLog().size(), 1u);
  EXPECT_EQ(plat::ShellExecuteLog()[0].verb, u"open");
  EXPECT_EQ(plat::ShellExecuteLog()[0].file, u"guide.htm");
}

// ---- Whole runs.

TEST_F(StartupTest, ThreeRunsInOneProcessEachEndCleanly) {
  for (int run = 0; run < 3; ++run) {
    SCOPED_TRACE(run);
    PlannerProgram::Options options;
    options.screenshot = (demo_.Root() / ("run" + std::to_string(run) + ".png")).string();
    EXPECT_EQ(PlannerProgram::Run(options, demo_.Root().string()), PlannerProgram::kOk);
    EXPECT_TRUE(fs::exists(options.screenshot));
    EXPECT_EQ(gApplication, nullptr);
    EXPECT_EQ(CatalogDatabases, nullptr);
    EXPECT_EQ(ToolTipControl::DocumentTips(), nullptr);
    EXPECT_EQ(plat::FindWindowA(ppApplication::kFrameClass, nullptr), nullptr);
    EXPECT_EQ(fs::current_path(), savedFolder_);
  }
}

// Starting only reads the databases: a start on fresh demo settings (a first start) leaves every
// database byte for byte as shipped, so that it pays for no writes and no disk flushes.
// A start that changes nothing writes nothing: not a byte and not a modification time, the
// databases' on the first start, and no file that was there on the next.
TEST_F(StartupTest, AStartThatChangesNothingWritesNothing) {
  auto contents = [](const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  };
  struct Kept {
    fs::path file;
    std::string bytes;
    fs::file_time_type time;
  };
  const auto past = fs::file_time_type::clock::now() - std::chrono::hours(48);
  // Every file below the program folder (with `databasesOnly`, every database), dated two days back.
  auto keep = [&](bool databasesOnly) {
    std::vector<Kept> kept;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(demo_.Root())) {
      if (!entry.is_regular_file() || (databasesOnly && entry.path().extension() != ".cdb")) continue;
      fs::last_write_time(entry.path(), past);
      kept.push_back({entry.path(), contents(entry.path()), past});
    }
    return kept;
  };
  auto expectUntouched = [&](const std::vector<Kept>& kept) {
    for (const Kept& k : kept) {
      EXPECT_TRUE(contents(k.file) == k.bytes) << k.file << " was written";
      EXPECT_TRUE(fs::last_write_time(k.file) == k.time) << k.file << " was opened for writing";
    }
  };
  const std::vector<Kept> databases = keep(true);
  ASSERT_GE(databases.size(), 5u);
  PlannerProgram::Options options;
  options.screenshot = (demo_.Root() / "first.png").string();
  ASSERT_EQ(PlannerProgram::Run(options, demo_.Root().string()), PlannerProgram::kOk);
  expectUntouched(databases);

  const std::vector<Kept> everything = keep(false);
  options.screenshot = (demo_.Root() / "second.png").string();
  fs::remove(options.screenshot);
  ASSERT_EQ(PlannerProgram::Run(options, demo_.Root().string()), PlannerProgram::kOk);
  std::vector<Kept> files;
  for (const Kept& k : everything)
    if (k.file != fs::path(options.screenshot)) files.push_back(k);
  expectUntouched(files);
}

TEST_F(StartupTest, ASettingsDatabaseThatCannotBeOpenedEndsTheStartWithOneBox) {
  // A file cut short keeps its top pages: it opens, and only its later records lie past its end. A
  // file held open stands for a second program running on the same settings.
  constexpr int kHeld = -1;
  const struct {
    const char* file;
    int keptQuarters;  // 0: removed
    const char* reason;
  } cases[] = {
      {"skin.cdb", 0, "the file is missing. (error -38)"},
      {"zadezodid.cdb", 2, "the file is damaged"},
      {"zadezodid.cdb", 3, "the file is damaged"},
      {"resources.cdb", 3, "the file is damaged"},
      {"zadezodid.cdb", kHeld, "the file is in use by another program (is the planner already running?)."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.keptQuarters));
    DemoSettings copy;
    const fs::path file = copy.File(c.file);
    ppFileSpec holder(Vcon::WString(Vcon::Utf16FromUtf8(file.string())));
    if (c.keptQuarters == kHeld)
      FileOpen(holder, holder, false);
    else if (c.keptQuarters > 0)
      fs::resize_file(file, fs::file_size(file) / 4 * c.keptQuarters);
    else
      fs::remove(file);
    plat::ClearMessageBoxLog();
    PlannerProgram::Options options;
    options.screenshot = (copy.Root() / "x.png").string();
    EXPECT_EQ(PlannerProgram::Run(options, copy.Root().string()), PlannerProgram::kStartFailed);
    if (c.keptQuarters == kHeld) FileClose(holder);
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption), "Zelvo Pro");
    // The file as the system writes its path, and why in words.
    const std::string text = Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].text);
    EXPECT_EQ(text.rfind("Cannot open " + file.lexically_normal().string() + ": " + c.reason, 0), 0u) << text;
    EXPECT_EQ(text.find('\\'), std::string::npos) << text;
    EXPECT_FALSE(fs::exists(options.screenshot));
    EXPECT_EQ(plat::FindWindowA(ppApplication::kFrameClass, nullptr), nullptr);
    EXPECT_FALSE(fs::exists(file) && c.keptQuarters == 0) << "no empty database is made in its place";
  }
}

// A display of 256 colours or fewer: the start is refused with one system-modal box, no window is
// made and the run ends normally (nothing is wrong with the settings). 16 bits start.
TEST_F(StartupTest, APaletteDisplayIsRefusedWithOneBoxAndNoWindow) {
  const struct {
    int32_t depth;
    bool refused;
  } cases[] = {{8, true}, {16, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.depth);
    plat::SetScreenColorDepth(c.depth);
    plat::ClearMessageBoxLog();
    PlannerProgram::Options options;
    options.screenshot = (demo_.Root() / ("depth" + std::to_string(c.depth) + ".png")).string();
    EXPECT_EQ(PlannerProgram::Run(options, demo_.Root().string()), PlannerProgram::kOk);
    EXPECT_EQ(fs::exists(options.screenshot), !c.refused);
    if (!c.refused) {
      EXPECT_TRUE(plat::MessageBoxLog().empty());
      continue;
    }
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption), "Forkert sk\u00e6rmopl\u00f8sning");
    EXPECT_EQ(plat::MessageBoxLog()[0].style, plat::MB_ICONHAND | plat::MB_SYSTEMMODAL);
    EXPECT_EQ(plat::FindWindowA(ppApplication::kFrameClass, nullptr), nullptr);
    EXPECT_EQ(gApplication, nullptr);
  }
}

// A catalogue the application record names that cannot be opened is named in a box; the program
// starts without it and draws its frame.
TEST_F(StartupTest, ACatalogueThatCannotBeOpenedIsNamedAndTheRunGoesOn) {
  const struct {
    const char* file;
    bool cutInHalf;  // else removed
    const char* text;
  } cases[] = {
      {"catalogs/extras.cdb", false, ": the file is missing. (error -38) The program goes on"},
      {"catalogs/extras.cdb", true, ": the file is damaged"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cutInHalf);
    DemoSettings copy;
    const fs::path file = copy.File(c.file);
    if (c.cutInHalf)
      fs::resize_file(file, fs::file_size(file) / 2);
    else
      fs::remove(file);
    plat::ClearMessageBoxLog();
    PlannerProgram::Options options;
    options.screenshot = (copy.Root() / "x.png").string();
    EXPECT_EQ(PlannerProgram::Run(options, copy.Root().string()), PlannerProgram::kOk);
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].caption), "Zelvo Pro");
    EXPECT_EQ(plat::MessageBoxLog()[0].style, plat::MB_ICONEXCLAMATION);
    EXPECT_EQ(Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].text)
                  .rfind("Cannot open " + file.lexically_normal().string() + c.text, 0),
              0u)
        << Vcon::Utf8FromUtf16(plat::MessageBoxLog()[0].text);
    EXPECT_TRUE(fs::exists(options.screenshot)) << "the program went on";
  }
}

#ifdef PLANNER_PROGRAM
// The built program, copied beside a copy of the demo settings: answers its exit status and what it
// wrote to standard error.
int RunProgram(const DemoSettings& demo, const std::string& arguments, std::string& errors) {
  const fs::path program = demo.Root() / "planner";
  fs::copy_file(PLANNER_PROGRAM, program, fs::copy_options::overwrite_existing);
  const fs::path errorFile = demo.Root() / "errors.txt";
  const std::string command = "cd '" + demo.Root().string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" +
                              program.string() + "' " + arguments + " 2>'" + errorFile.string() + "'";
  const int status = std::system(command.c_str());
  std::ifstream in(errorFile);
  std::stringstream text;
  text << in.rdbuf();
  errors = text.str();
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(PlannerProgramTest, TheBuiltProgramDrawsItsFirstFrameAndStopsAtADialog) {
  DemoSettings demo;
  std::string errors;
  ASSERT_EQ(RunProgram(demo, "--screenshot shot.png", errors), 0) << errors;
  ExpectAsKept((demo.Root() / "shot.png").string(), "planner.png");

  EXPECT_EQ(RunProgram(demo, "--screenshot dialog.png --command 3050", errors),
            PlannerProgram::kModalInScreenshot);
  EXPECT_NE(errors.find("Vellmora Home Planner settings"), std::string::npos) << errors;
  EXPECT_FALSE(fs::exists(demo.Root() / "dialog.png"));

  EXPECT_EQ(RunProgram(demo, "--command", errors), PlannerProgram::kUsage);
}

#ifdef DEMO_USER_DIR
// A copy of the demo's start plan in the copy's user folder.
fs::path CopyStartPlan(const DemoSettings& demo) {
  const fs::path plan = demo.Root() / "user" / "new.qxf";
  fs::create_directories(plan.parent_path());
  fs::copy_file(fs::path(DEMO_USER_DIR) / "new.qxf", plan);
  return plan;
}

// The demo's start plan named on the command line, shown in the calculation view (the View menu's
// command 3006; frame command 2012 only reloads the list of the view already shown): its price list
// lines, the two tags with their units and subtotals, are drawn as the kept picture shows them.
TEST(PlannerProgramTest, TheDemosStartPlanShowsItsPriceListInTheCalculationView) {
  DemoSettings demo;
  const fs::path plan = CopyStartPlan(demo);
  std::string errors;
  ASSERT_EQ(RunProgram(demo, "'" + plan.string() + "' --screenshot prices.png --command 3006", errors), 0)
      << errors;
  ExpectAsKept((demo.Root() / "prices.png").string(), "startplan-prices.png");
}

// The demo's start plan in the 3D view (the View menu's command 3005), from the front as it opens and
// in the axonometric view (the pane's command 3075): the room's walls, floor and units fitted into the
// pane, as the kept pictures show them.
TEST(PlannerProgramTest, TheDemosStartPlanShowsItsRoomIn3DFromTheFrontAndAxonometrically) {
  DemoSettings demo;
  const fs::path plan = CopyStartPlan(demo);
  const struct {
    const char *name, *commands;
  } views[] = {{"startplan-3d-front", "--command 3005"},
               {"startplan-3d-axonometric", "--command 3005 --command 3075"}};
  for (const auto& view : views) {
    SCOPED_TRACE(view.name);
    std::string errors;
    const std::string shot = (demo.Root() / (std::string(view.name) + ".png")).string();
    ASSERT_EQ(
        RunProgram(demo, "'" + plan.string() + "' --screenshot '" + shot + "' " + view.commands, errors), 0)
        << errors;
    ExpectAsKept(shot, std::string(view.name) + ".png");
  }
}
#endif

#ifdef PLANNER_CLOSE_BOX
// On a display (Xvfb, no window manager) the built program shows its frame; a click on the close box,
// as a window manager sends it, ends the program with status 0.
TEST(PlannerProgramTest, TheCloseBoxEndsTheProgramOnADisplay) {
  if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "xvfb-run is not installed (scripts/deps installs xvfb): the program's close box on a "
                    "display is not tested";
  DemoSettings demo;
  const fs::path program = demo.Root() / "planner";
  fs::copy_file(PLANNER_PROGRAM, program, fs::copy_options::overwrite_existing);
  // A lock folder of its own, so that a planner someone else runs cannot take the hand-over.
  const fs::path runtime = demo.Root() / "runtime";
  fs::create_directories(runtime);
  fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
  const fs::path log = demo.Root() / "log.txt", script = demo.Root() / "close.sh";
  // The program in the background; the close box once its frame shows (a program without a frame
  // after four minutes is ended); then the two statuses.
  std::ofstream(script) << "cd '" << demo.Root().string() << "' || exit 9\n"
                        << "XDG_RUNTIME_DIR='" << runtime.string() << "' timeout 300 ./planner &\n"
                        << "ASAN_OPTIONS=detect_leaks=0 '" << PLANNER_CLOSE_BOX
                        << "' 'Vellmora Home Planner' 240\n"
                        << "found=$?\n"
                        << "[ $found -eq 0 ] || kill $!\n"
                        << "wait $!\n"
                        << "echo \"$found $?\"\n";
  const std::string command =
      "xvfb-run -a -s '-screen 0 1280x1024x24' sh '" + script.string() + "' >'" + log.string() + "' 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  const std::string output = text.str();
  // The last line: the close box's status (0: the frame showed and was asked to close), the program's.
  const size_t end = output.find_last_not_of('\n');
  const size_t start = output.rfind('\n', end);
  const std::string last = output.substr(start == std::string::npos ? 0 : start + 1, end - start);
  EXPECT_EQ(last, "0 0") << output;
}
#endif

#if defined(PLANNER_X11_DRIVE) && defined(DEMO_USER_DIR)
using windowrun::Grab;

// The row separators the price list draws inside `r` (window pixels): runs of at most two pixel rows
// of one dark colour from edge to edge. A row of text never fills its width with one colour, and a
// selected line's fill is taller than a separator.
int CountSeparators(const Grab& grab, const plat::RECT& r) {
  const auto uniform = [&](int y) -> std::optional<uint32_t> {
    const uint32_t first = grab.At(r.left, y);
    for (int x = r.left + 1; x < r.right; ++x)
      if (grab.At(x, y) != first) return std::nullopt;
    return first;
  };
  const auto dark = [](uint32_t c) { return ((c >> 16) & 0xff) + ((c >> 8) & 0xff) + (c & 0xff) < 3 * 128; };
  int count = 0;
  for (int y = r.top; y < r.bottom;) {
    const std::optional<uint32_t> colour = uniform(y);
    int end = y + 1;
    if (colour)
      while (end < r.bottom && uniform(end) == colour) ++end;
    if (colour && dark(*colour) && end - y <= 2) ++count;
    y = end;
  }
  return count;
}

// The built program on a display (Xvfb, no window manager), driven as a user drives it: F8 shows the
// calculation view, and each click on a button of its bar that adds a line adds a separated row to the
// list; the close box then ends the program with status 0. Where the list and the buttons lie is
// learnt from the same start-up in this process on a screen of the display's size.
TEST_F(StartupTest, OnADisplayF8ShowsThePriceListAndItsBarsButtonsAddLines) {
  std::string why;
  if (!windowrun::Available(&why)) GTEST_SKIP() << why << ": the calculation view on a display is not tested";
  constexpr int kWidth = 1280, kHeight = 2048;
  // The list's rows are kept off the scroll bar's and the frame's edges.
  constexpr int kListInset = 4, kScrollBarWidth = 20;
  plat::SetVirtualScreenSize(kWidth, kHeight);
  plat::RECT list{}, client{}, planBar{};
  std::vector<std::string> clicks, closing;
  {
    zelvProApp& app = Start();
    ASSERT_TRUE(plat::IsZoomed(app.Frame()));
    plat::GetClientRect(app.Frame(), &client);
    // The plan's scroll bar across, whose edge the room view shows where the list's rows come later.
    if (zelvproEditor* editor = zelvproEditor::Current();
        editor != nullptr && editor->HorizontalBar() != nullptr)
      planBar = windowrun::InFrame(*editor->HorizontalBar(), app.Frame());
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(5);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproCalculatorList* pane = zelvproCalculatorList::Current();
    zelvproCalculatorButtons* bar = zelvproCalculatorButtons::Current();
    ASSERT_NE(pane, nullptr);
    ASSERT_NE(bar, nullptr) << "the demo's flags1 have no button bar";
    list = windowrun::InFrame(*pane, app.Frame());
    list.left += kListInset;
    list.top += zelvproCalculatorList::kHeaderHeight;
    list.right -= kScrollBarWidth;
    // Item/Service, then Discount. The display's window shows the frame's menu bar above the client
    // area: the clicks are placed from its bottom edge, which is the client area's.
    for (int32_t i : {0, 2})
      clicks.push_back(windowrun::Centre(windowrun::InFrame(*bar->Button(i), app.Frame()), client.bottom));
    closing = CloseWithoutSaving();
    Stop();
  }
  const fs::path plan = CopyStartPlan(demo_);
  std::vector<std::string> steps = {"grab:room.ppm", "key:F8", "grab:list0.ppm"};
  for (size_t i = 0; i < clicks.size(); ++i) {
    steps.push_back("click:" + clicks[i]);
    steps.push_back("changed");
    steps.push_back("grab:list" + std::to_string(i + 1) + ".ppm");
  }
  // The lines added are unsaved changes.
  steps.insert(steps.end(), closing.begin(), closing.end());
  const windowrun::Outcome outcome =
      windowrun::Run(demo_.Root(), "'" + plan.string() + "'", steps, 60, kWidth, kHeight);
  const std::string& output = outcome.log;
  ASSERT_TRUE(outcome.Passed()) << output;

  std::vector<int> rows;
  for (const char* name : {"list0.ppm", "list1.ppm", "list2.ppm"}) {
    const Grab grab = windowrun::ReadPpm(demo_.Root() / name);
    // The display's frame is laid out as the one in this process, with the menu bar above.
    ASSERT_EQ(grab.width, client.right) << name << "\n" << output;
    const int menu = grab.height - client.bottom;
    ASSERT_GE(menu, 0) << name;
    ASSERT_LT(menu, 40) << name;
    rows.push_back(CountSeparators(grab, {list.left, list.top + menu, list.right, list.bottom + menu}));
  }
  // The start plan's ten lines (two tags with their units and subtotals, the Total, and the empty
  // lines between; its units carry no note); the Item/Service line comes with the empty line that
  // sets the Total apart again; the Discount line joins it. A click seen twice would add more.
  EXPECT_EQ(rows[0], 10);
  EXPECT_EQ(rows[1], rows[0] + 2);
  EXPECT_EQ(rows[2], rows[1] + 1);
  // The room view showed no price list where the list now is (inside the panes' frames, whose edges
  // are full-width dark lines too, and above the plan's scroll bar across).
  const Grab room = windowrun::ReadPpm(demo_.Root() / "room.ppm");
  const int menu = room.height - client.bottom, frame = 3;
  const int roomBottom = planBar.bottom > planBar.top ? std::min(list.bottom, planBar.top) : list.bottom;
  EXPECT_EQ(CountSeparators(room, {list.left + frame, list.top + menu + frame, list.right - frame,
                                   roomBottom + menu - frame}),
            0);
}

// The built program on a display, as a user meets the 3D view: F7 shows the demo's start plan in 3D,
// and its first frame has the room fitted into the pane: the back wall in the middle, the left and
// right walls at the sides, the floor below, all lit grey, and the units' wood among them. Where the
// pane lies is learnt from the same start-up in this process on a screen of the display's size.
TEST_F(StartupTest, OnADisplayF7ShowsTheDemosRoomWholeIn3DOnTheFirstFrame) {
  std::string why;
  if (!windowrun::Available(&why)) GTEST_SKIP() << why << ": the 3D view on a display is not tested";
  constexpr int kWidth = 1280, kHeight = 1024;
  plat::SetVirtualScreenSize(kWidth, kHeight);
  plat::RECT client{}, pane{};
  {
    zelvProApp& app = Start();
    plat::GetClientRect(app.Frame(), &client);
    app.DocumentWindow()->ViewBar()->SelectViewByIndex(4);
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_NE(zelvpro3DCanvas::Current(), nullptr);
    pane = windowrun::InFrame(*zelvpro3DCanvas::Current()->Pane(), app.Frame());
    Stop();
  }
  const fs::path plan = CopyStartPlan(demo_);
  const windowrun::Outcome outcome = windowrun::Run(demo_.Root(), "'" + plan.string() + "'",
                                                    {"key:F7", "grab:3d.ppm", "close"}, 60, kWidth, kHeight);
  ASSERT_TRUE(outcome.Passed()) << outcome.log;
  const Grab grab = windowrun::ReadPpm(demo_.Root() / "3d.ppm");
  ASSERT_EQ(grab.width, client.right) << outcome.log;
  const int menu = grab.height - client.bottom;
  ASSERT_GE(menu, 0);
  const int w = pane.right - pane.left, h = pane.bottom - pane.top;
  ASSERT_GT(w, 400);
  ASSERT_GT(h, 300);
  const auto at = [&](int percentX, int percentY) {
    const uint32_t c = grab.At(pane.left + w * percentX / 100, pane.top + menu + h * percentY / 100);
    return std::array<int, 3>{int(c >> 16), int(c >> 8 & 0xff), int(c & 0xff)};
  };
  // The room fitted to the pane's width, seen from the front: its surfaces are lit grey, neither the
  // white background nor a colour.
  const struct {
    const char* what;
    int x, y;  // percent of the pane
  } spots[] = {{"the back wall", 50, 45},
               {"the left wall", 12, 50},
               {"the right wall", 88, 50},
               {"the floor", 50, 90}};
  for (const auto& spot : spots) {
    const std::array<int, 3> c = at(spot.x, spot.y);
    EXPECT_LT(c[0] + c[1] + c[2], 3 * 250) << spot.what << " is not drawn";
    EXPECT_GT(c[0] + c[1] + c[2], 3 * 120) << spot.what;
    EXPECT_LT(std::max({c[0], c[1], c[2]}) - std::min({c[0], c[1], c[2]}), 12) << spot.what;
  }
  // The walls and floor meet at an angle to the light: the back wall and the floor differ.
  EXPECT_NE(at(50, 45), at(50, 90));
  // The units stand on the floor against the back wall: their wood (red well above blue) shows in the
  // pane's lower half, in more than a sliver.
  int wood = 0;
  for (int y = 50; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      const std::array<int, 3> c = at(x, y);
      wood += c[0] - c[2] > 60 ? 1 : 0;
    }
  EXPECT_GT(wood, 3) << "no unit's wood in the pane";
}

#endif
#endif

}  // namespace

namespace {

// Without an exchange layer installed, the price list's item-sheet layout is what -21's bracket turns on.
TEST(ShellServicesTest, TheNeutralServicesSwitchThePriceListsItemSheetLayout) {
  iShellServices neutral;
  neutral.SetAlternativePriceLayout(true);
  EXPECT_TRUE(ItemSheetPrintFlag());
  neutral.SetAlternativePriceLayout(false);
  EXPECT_FALSE(ItemSheetPrintFlag());
}

}  // namespace
