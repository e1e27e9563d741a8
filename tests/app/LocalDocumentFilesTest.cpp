// The program's own document files on copies of the demo settings, through its document window: what
// start-up installs, the start document, saving and opening a plan of units and a room (the canvases
// show exactly the saved plan, with empty undo histories), the autosave and its resume, a document
// named on the command line and a room template swapped in and out through the room's loader.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <unordered_set>
#include <vector>

#include "app/shell/ExchangeShellServices.h"
#include "app/shell/iShellServices.h"
#include "app/shell/zelvProApp.h"
#include "calculation/zelvproCalculatorFil.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproRuler.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocModuleFil.h"
#include "catalogue/records/zelvproTagFil.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigurator.h"
#include "controls/ppTextField.h"
#include "controls/ppEditTextField.h"
#include "controls/ppPopupSelector.h"
#include "framework/ppSelectorQuery.h"
#include "controls/zelvproWarningDialog.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/ElementChildren.h"
#include "exchange/DocumentFileOperations.h"
#include "exchange/MailOrder.h"
#include "foundation/HandleRoom.h"
#include "exchange/MailProvider.h"
#include "exchange/OrderDocument.h"
#include "exchange/WindowPlanSteps.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproCanvas.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "foundation/FileDialogs.h"
#include "foundation/FileOperations.h"
#include "foundation/LengthText.h"
#include "foundation/PosixPath.h"
#include "foundation/ProcessServices.h"
#include "foundation/UserPreferences.h"
#include "framework/ppApplication.h"
#include "framework/ppCollaborator.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppRegion.h"
#include "framework/ppTask.h"
#include "platform/Desktop.h"
#include "platform/CommonDialogs.h"
#include "platform/Controls.h"
#include "platform/HeadlessDriver.h"
#include "platform/MessageBox.h"
#include "platform/PngFile.h"
#include "platform/ScreenMetrics.h"
#include "platform/Surface.h"
#include "platform/UserLanguage.h"
#include "platform/WindowApi.h"
#include "room/iDocumentLoader.h"
#include "room/qxFloorElement.h"
#include "room/qxLineCycle.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "support/DemoSettings.h"
#include "support/FixedTime.h"

namespace {

namespace fs = std::filesystem;

// A unit of the plan: its catalogue record and position (millimetres).
using Unit = std::tuple<int32_t, float, float, float>;
// A wall of the room: its two ends (millimetres, plan x and z).
using Wall = std::tuple<float, float, float, float>;

// Counts the "document loaded" messages.
class LoadListener : public ppCollaborator {
 public:
  LoadListener() { Subscribe(1000, 1000); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t, intptr_t) override { ++heard; }
  int32_t heard = 0;
};

class LocalDocumentFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    plat::ClearMessageBoxLog();
    savedPreferences_ = Preferences();
    savedFolder_ = fs::current_path();
    plat::SetUserDefaultLangID(plat::kLangEnglish);
  }
  void TearDown() override {
    Stop();
    fs::current_path(savedFolder_);
    plat::HeadlessDriver::Reset();
    plat::ResetUserDefaultLangID();
    Preferences() = savedPreferences_;
    ApplyDerivedSettings();
  }

  // The program's start-up on the copy (its root the program folder), without the message loop.
  zelvProApp& Start(std::string commandLine = "") {
    fs::current_path(demo_.Root());
    std::string folder = demo_.Root().string() + "/";
    for (char& c : folder)
      if (c == '/') c = '\\';
    ProgramFolder = Vcon::WString(Vcon::Utf16FromUtf8(folder));
    SetStartupDirectory(ProgramFolder);
    gScreenRect = {0, 0, plat::GetSystemMetrics(plat::SM_CXFULLSCREEN),
                   plat::GetSystemMetrics(plat::SM_CYFULLSCREEN)};
    app_ = std::make_unique<zelvProApp>(nullptr, nullptr);
    gApplication = app_.get();
    app_->SetCommandLine(std::move(commandLine));
    app_->Startup();
    plat::HeadlessDriver::RunUntilIdle();
    return *app_;
  }
  void Stop() {
    app_.reset();
    gApplication = nullptr;
  }

  zelvproWindow& Window() const { return *app_->DocumentWindow(); }
  zelvproEditorScroller& Scroller() const { return *Window().EditorCanvasView()->Editor()->EditorScroller(); }
  qxNewRoomCanvas& Room() const { return *Scroller().NewRoomCanvas(); }
  zelvproTopCanvas& Top() const { return *Scroller().TopCanvas(); }
  zelvproDocFil& Document() const { return *DocumentRecordFile; }
  void Command(int32_t command) {
    plat::SendMessageA(Window().GetHWND(), plat::WM_COMMAND, plat::WPARAM(uint32_t(command)), 0);
    plat::HeadlessDriver::RunUntilIdle();
  }

  // A unit of the demo's top view `name` put straight into the plan at (x, 0, z).
  zelvproElement* Place(const char* name, float x, float z, zelvproElement* into = nullptr) {
    zelvproTopViewFil& file = MainCatalogDatabase->TopViewFile();
    const RecordField named(file, "Name");
    ScopedRecordBuffer<ppDatafile> buffer(file);
    file.SelectAllItems();
    int32_t id = 0;
    for (int32_t i = 0; i < file.GetSelectedCount() && id == 0; ++i) {
      file.ReadRecord(file.RecordIdAt(i), buffer.Get());
      if (named.Text(buffer.Get()) == name) id = file.RecordIdAt(i);
    }
    zelvproElement* unit =
        file.CreateElement(id, plat::RECT{0, 0, 100, 100}, into != nullptr ? into : &Top());
    if (unit != nullptr) unit->SetPosition(ppVector3(x, 0.0f, z));
    return unit;
  }
  std::vector<Unit> Units() const {
    std::vector<Unit> out;
    ForEachChildElement(Top(), [&](zelvproElement* child) {
      const ppVector3 p = child->GetPosition();
      out.emplace_back(child->recordId, p.x, p.y, p.z);
    });
    return out;
  }
  // The top canvas's tree, depth first: each element's depth, catalogue record and x (millimetres).
  std::vector<Unit> Tree() const {
    std::vector<Unit> out;
    std::function<void(const ppView&, int32_t)> walk = [&](const ppView& view, int32_t depth) {
      ForEachChildElement(view, [&](zelvproElement* child) {
        out.emplace_back(depth, child->recordId, child->GetPosition().x, 0.0f);
        walk(*child, depth + 1);
      });
    };
    walk(Top(), 0);
    return out;
  }
  static void CollectWalls(const ppView& view, std::vector<Wall>& out) {
    ForEachChildElement(view, [&](zelvproElement* child) {
      if (auto* segment = dynamic_cast<qxRoomSegment*>(child))
        out.emplace_back(segment->Start().x, segment->Start().z, segment->End().x, segment->End().z);
      CollectWalls(*child, out);
    });
  }
  std::vector<Wall> Walls() const {
    std::vector<Wall> out;
    CollectWalls(Room(), out);
    return out;
  }
  // One more wall on the room, the room rebuilt.
  void AddWall(const ppVector3& from, const ppVector3& to) {
    zelvproTopViewFil& file = MainCatalogDatabase->TopViewFile();
    ScopedRecordBuffer<ppDatafile> record(file);
    auto* wall = new qxRoomSegment(0, &Room(), plat::RECT{0, 0, 0, 0}, record.Get(), file.ShapeFile());
    wall->SetThickness(150);
    wall->SetHeight(2400);
    wall->SetEnds(from, to);
    Room().DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  }
  // Saves the document under `name` in the copy's root through the window's Save.
  std::string SaveAs(const char* name) {
    const std::string path = (demo_.Root() / name).string();
    Document().DocumentFile().path = Vcon::WString(Vcon::Utf16FromUtf8(path));
    Document().SetSavedOnce(true);
    Command(zelvproWindow::kSave);
    return path;
  }
  void OpenByHandOver(const std::string& path) {
    ASSERT_TRUE(app_->HandOver("\"" + path + "\""));
    plat::HeadlessDriver::RunUntilIdle();
  }
  // The demo's room document becomes the new document (".\user\new.qxf" beside the settings).
  void UseStationery() {
    fs::create_directories(demo_.Root() / "user");
    fs::copy_file(demo_.Folder() / "user" / "new.qxf", demo_.Root() / "user" / "new.qxf");
  }
  fs::path AutoSaveFile() const { return demo_.Folder() / "AutoSave.qxf"; }

  DemoSettings demo_;
  std::unique_ptr<zelvProApp> app_;
  UserPreferences savedPreferences_;
  fs::path savedFolder_;
};

TEST_F(LocalDocumentFilesTest, StartUpInstallsTheDocumentFilesAndShowsTheNewDocument) {
  UseStationery();
  Start();
  iDocumentLoader* loader = &iDocumentLoader::Current();
  EXPECT_NE(Document().ViewPoints(), nullptr) << "the 3D canvas's view points";
  // The new document's room, untitled and unmodified; no units.
  EXPECT_FALSE(Walls().empty());
  EXPECT_TRUE(Units().empty());
  EXPECT_FALSE(Document().IsSavedOnce());
  EXPECT_FALSE(Document().IsModified());
  EXPECT_TRUE(Document().DocumentFile().path.empty());
  EXPECT_TRUE(plat::MessageBoxLog().empty());

  // The window's autosave command writes through the document files while the document is modified.
  Command(zelvproWindow::kWriteAutoSave);
  EXPECT_FALSE(fs::exists(AutoSaveFile())) << "unmodified";
  Place("B40", 1500, 1500);
  Document().MarkModified();
  Command(zelvproWindow::kWriteAutoSave);
  EXPECT_TRUE(fs::exists(AutoSaveFile()));
  const std::vector<Unit> units = Units();
  Stop();
  EXPECT_NE(&iDocumentLoader::Current(), loader) << "the room's loader was the program's, and goes with it";

  // The next start without a command line resumes the autosaved, modified plan.
  Start();
  EXPECT_EQ(Units(), units);
  EXPECT_TRUE(Document().IsModified());
  EXPECT_FALSE(Document().IsSavedOnce());
  // Closing the window (the user answered the question) deletes the autosave file.
  Document().SetModified(false);
  EXPECT_TRUE(app_->CanClose());
  EXPECT_FALSE(fs::exists(AutoSaveFile()));

  // Without an autosave and without stationery the start document is empty.
  Stop();
  fs::remove(demo_.Root() / "user" / "new.qxf");
  Start();
  EXPECT_TRUE(Walls().empty());
  EXPECT_TRUE(Units().empty());
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

#ifdef DEMO_USER_DIR
// The demo's own start document, as the build writes it beside the program: the room with its units,
// each under its tag, opened untitled and unmodified without a box.
TEST_F(LocalDocumentFilesTest, TheDemosStartPlanOpensWithItsUnitsInTheirTags) {
  fs::create_directories(demo_.Root() / "user");
  fs::copy_file(fs::path(DEMO_USER_DIR) / "new.qxf", demo_.Root() / "user" / "new.qxf");
  Start();
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  EXPECT_FALSE(Walls().empty());
  EXPECT_FALSE(Document().IsModified());
  EXPECT_FALSE(Document().IsSavedOnce());
  EXPECT_TRUE(Document().DocumentFile().path.empty());

  // Each unit by its top view's name, with the name of its tag.
  zelvproTopViewFil& views = MainCatalogDatabase->TopViewFile();
  zelvproTagFil& tags = Document().TagTable();
  tags.BeginAccess();
  const RecordField viewName(views, "Name"), tagName(tags, "tname");
  std::vector<std::pair<std::string, std::string>> units;
  ForEachChildElement(Top(), [&](zelvproElement* child) {
    ScopedRecordBuffer<ppDatafile> buffer(views);
    views.ReadRecord(child->recordId, buffer.Get());
    const int32_t at = tags.IndexOfId(child->tag);
    EXPECT_TRUE(at != 0 || child->tag == 0) << "tag " << child->tag << " is not in the document";
    tags.ReadRecordAt(at, nullptr);
    units.emplace_back(viewName.Text(buffer.Get()).c_str(),
                       Vcon::Utf8FromUtf16(tagName.WideText(tags.GetRecordBuffer())));
  });
  std::sort(units.begin(), units.end());
  EXPECT_EQ(units, (std::vector<std::pair<std::string, std::string>>{
                       {"B40", "Kitchen"}, {"D60", "Storage"}, {"W60", "Kitchen"}}));
  // The units stand inside the room, not on the origin where a unit without a position would be.
  for (const Unit& unit : Units()) {
    EXPECT_GT(std::get<1>(unit), 1000.0f);
    EXPECT_GT(std::get<3>(unit), 1000.0f);
  }
}

// Opened and saved unchanged again and again, the start plan is numbered afresh at every save from a
// running number that only goes on: each save's element numbers are new, above every number of the
// save before, unique, and every element names a parent that the same save holds. The plan itself
// comes back the same each time.
TEST_F(LocalDocumentFilesTest, TheDemosStartPlanOpenedAndSavedUnchangedIsNumberedAfreshAtEverySave) {
  const fs::path plan = demo_.Root() / "plan.qxf";
  fs::copy_file(fs::path(DEMO_USER_DIR) / "new.qxf", plan);
  Start();
  // The numbers and parents of the elements the last save wrote, both plan tables.
  const auto savedNumbers = [&] {
    std::vector<std::pair<int32_t, int32_t>> out;
    for (zelvproDocModuleFil* table : {&Document().RoomTable(), &Document().FurnitureTable()}) {
      table->LoadFromBlob();
      for (int32_t i = 0; i < table->GetRecordCount(); ++i) {
        table->ReadRecordAt(i, nullptr);
        out.emplace_back(RecordField(*table, "id").Long(table->GetRecordBuffer()),
                         RecordField(*table, "parent").Long(table->GetRecordBuffer()));
      }
      table->DisposeRecords();
    }
    return out;
  };
  std::vector<Unit> units;
  int32_t before = 0;
  for (int32_t cycle = 0; cycle < 3; ++cycle) {
    SCOPED_TRACE(cycle);
    OpenByHandOver(plan.string());
    ASSERT_TRUE(Document().IsSavedOnce());
    if (cycle == 0) units = Units();
    EXPECT_EQ(Units(), units);
    Command(zelvproWindow::kSave);
    const std::vector<std::pair<int32_t, int32_t>> numbers = savedNumbers();
    ASSERT_GT(numbers.size(), 3u);
    std::set<int32_t> ids;
    for (const auto& [id, parent] : numbers) {
      EXPECT_GT(id, before) << "a number of an earlier save came again";
      EXPECT_TRUE(ids.insert(id).second) << id << " twice";
    }
    // Only the two canvases stand at the top of their tables.
    int32_t roots = 0;
    for (const auto& [id, parent] : numbers) {
      roots += parent <= 0 ? 1 : 0;
      EXPECT_TRUE(parent <= 0 || ids.contains(parent)) << id << " names the parent " << parent;
    }
    EXPECT_EQ(roots, 2);
    before = *ids.rbegin();
  }
  EXPECT_EQ(Units().size(), 3u);
  EXPECT_TRUE(plat::MessageBoxLog().empty());
}

// What the first start shows of the start plan: a view with the units' canvas over the room, each
// unit drawn in the visible plan where its saved position puts it, its front line drawn in full; the
// room large in the plan editor, whole, and the rulers counting from its inner corner.
TEST_F(LocalDocumentFilesTest, TheDemosStartPlanShowsEachUnitInsideTheRoomWhereItWasSaved) {
  plat::SetVirtualScreenSize(1280, 1024);
  fs::create_directories(demo_.Root() / "user");
  fs::copy_file(fs::path(DEMO_USER_DIR) / "new.qxf", demo_.Root() / "user" / "new.qxf");
  Start();
  EXPECT_EQ(Window().CurrentViewId(), zelvproViewBar::kTopColourView);
  EXPECT_EQ(Top().GetSupervisor(), &Scroller()) << "the units' canvas is not shown";
  plat::HWND window = Room().GetHWND();
  ASSERT_NE(window, nullptr);
  const std::string shot = (demo_.Root() / "start.png").string();
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(window, shot));
  const std::unique_ptr<plat::Surface> picture = plat::ReadPng(shot);
  ASSERT_NE(picture, nullptr);
  const plat::Surface& pixels = *picture;
  plat::RECT visible{};
  Scroller().GetWindowFrame(&visible);
  // The room's inner faces (millimetres): its walls' centre lines at 1925, 150 mm thick.
  plat::POINT roomCorner{};
  PlanPointToScreen(ppVector3(2000.0f, 0.0f, 2000.0f), roomCorner);
  // The rulers' zero is the room's inner corner.
  zelvproRuler* ruler = Scroller().GetHorizontalRuler();
  ASSERT_NE(ruler, nullptr);
  EXPECT_EQ(ruler->ZeroX(), 2000.0f);
  EXPECT_EQ(ruler->ZeroY(), 2000.0f);
  // The room, outer faces included, lies whole in the visible plan and takes more than half of it.
  ppVector2 bounds[4];
  Room().ComputeBounds(bounds);
  plat::POINT low{}, high{};
  PlanPointToScreen(ppVector3(bounds[0].x, 0.0f, bounds[0].y), low);
  PlanPointToScreen(ppVector3(bounds[2].x, 0.0f, bounds[2].y), high);
  EXPECT_TRUE(low.x >= visible.left && low.y >= visible.top && high.x <= visible.right &&
              high.y <= visible.bottom)
      << low.x << "," << low.y << " to " << high.x << "," << high.y;
  EXPECT_GT(std::max((high.x - low.x) * 2 - (visible.right - visible.left),
                     (high.y - low.y) * 2 - (visible.bottom - visible.top)),
            0)
      << "the room is small in the plan";
  // The picture holds the whole frame, menu bar included; the views' frames are client pixels.
  plat::RECT outer{};
  plat::GetWindowRect(window, &outer);
  plat::POINT client{0, 0};
  plat::ClientToScreen(window, &client);
  const int32_t dx = client.x - outer.left, dy = client.y - outer.top;
  const auto luma = [&](int32_t x, int32_t y) {
    const uint32_t c = pixels.Pixel(x + dx, y + dy);
    return int32_t((c >> 16) & 0xff) + int32_t((c >> 8) & 0xff) + int32_t(c & 0xff);
  };
  // The floor far from the units, where nothing is drawn.
  plat::POINT floor{};
  PlanPointToScreen(ppVector3(3000.0f, 0.0f, 3000.0f), floor);
  const int32_t background = luma(floor.x, floor.y);
  const auto dark = [&](int32_t x, int32_t y) { return luma(x, y) < background - 3 * 40; };
  int32_t units = 0;
  ForEachChildElement(Top(), [&](zelvproElement* unit) {
    ++units;
    // The unit's outline, window pixels.
    plat::RECT r{};
    unit->NewFrameRegion()->GetBounds(&r);
    plat::POINT at{};
    PlanPointToScreen(unit->GetPosition(), at);
    const std::string name = std::to_string(unit->recordId) + " at " + std::to_string(r.left) + "," +
                             std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
                             std::to_string(r.bottom - r.top);
    // Some centimetres deep and wide at the plan's scale, inside the visible plan and the room.
    EXPECT_GT(r.right - r.left, 10) << name;
    EXPECT_GT(r.bottom - r.top, 10) << name;
    EXPECT_TRUE(r.left >= visible.left && r.top >= visible.top && r.right <= visible.right &&
                r.bottom <= visible.bottom)
        << name;
    EXPECT_GE(r.left, roomCorner.x - 1) << name;
    EXPECT_GE(r.top, roomCorner.y - 1) << name;
    // The saved position is the unit's back left corner.
    EXPECT_LE(std::abs(at.x - r.left), 2) << name;
    EXPECT_LE(std::abs(at.y - r.top), 2) << name;
    // The front line, away from the walls, is drawn dark along most of the width.
    int32_t drawn = 0;
    for (int32_t x = r.left + 2; x < r.right - 2; ++x)
      for (int32_t y = r.bottom - 2; y <= r.bottom; ++y)
        if (dark(x, y)) {
          ++drawn;
          break;
        }
    EXPECT_GE(drawn * 10, (r.right - r.left - 4) * 8) << name << ": " << drawn << " columns drawn";
  });
  EXPECT_EQ(units, 3);
}
#endif

TEST_F(LocalDocumentFilesTest, OpeningASavedPlanShowsExactlyThatPlanWithEmptyUndoHistories) {
  UseStationery();
  Start();
  const std::vector<Wall> walls = Walls();
  ASSERT_FALSE(walls.empty());
  for (int32_t i = 0; i < 3; ++i)
    ASSERT_NE(Place(i == 1 ? "B30" : "B40", 1200.0f + 900.0f * i, 1800), nullptr);
  const std::vector<Unit> units = Units();
  ASSERT_EQ(units.size(), 3u);
  const std::string path = SaveAs("kitchen.qxf");
  ASSERT_TRUE(fs::exists(path));
  EXPECT_FALSE(Document().IsModified());

  // Everything changes: a unit goes, one moves, one comes; the room gets a wall; both histories
  // hold edits.
  ppView* gone = Top().Subviews().At(0);
  gone->DetachFromSupervisor();
  delete gone;
  static_cast<zelvproElement*>(Top().Subviews().At(0))->SetPosition(ppVector3(100, 0, 100));
  Place("B30", 4000, 3000);
  AddWall(ppVector3(1000, 0, 2000), ppVector3(2500, 0, 2000));
  Top().Post(new ppTask());
  Room().Post(new ppTask());
  ASSERT_NE(Walls(), walls);
  Document().SetModified(false);
  LoadListener listener;

  OpenByHandOver(path);
  EXPECT_EQ(Units(), units);
  EXPECT_EQ(Walls(), walls);
  for (zelvproCanvas* canvas : {static_cast<zelvproCanvas*>(&Top()), static_cast<zelvproCanvas*>(&Room())}) {
    EXPECT_EQ(canvas->DoneTop(), nullptr);
    EXPECT_EQ(canvas->RedoTop(), nullptr);
  }
  EXPECT_EQ(listener.heard, 1);
  EXPECT_TRUE(Document().IsSavedOnce());
  EXPECT_FALSE(Document().IsModified());
  EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), path);
  EXPECT_TRUE(plat::MessageBoxLog().empty());

  // Saved again unchanged, the file holds the same plan: a second open changes nothing.
  SaveAs("again.qxf");
  OpenByHandOver((demo_.Root() / "again.qxf").string());
  EXPECT_EQ(Units(), units);
  EXPECT_EQ(Walls(), walls);

  // A path on the command line opens that file at start-up.
  Stop();
  Start("\"" + path + "\"");
  EXPECT_EQ(Units(), units);
  EXPECT_EQ(Walls(), walls);
  EXPECT_TRUE(Document().IsSavedOnce());
}

// Files that are no plan, opened by path: one plain box "Could not load file" / "Error", and the plan
// that was open stays open, unchanged, with its own file. A plan whose unit stands at a place that is
// not a number, or farther than any plan reaches, is damaged like one cut short.
TEST_F(LocalDocumentFilesTest, AFileThatIsNoPlanGivesOneBoxAndTheOpenPlanStays) {
  UseStationery();
  Start();
  // A position no other number of the file shares, so that the file's bytes show where it is kept.
  constexpr double kUnitX = 1517.25;
  ASSERT_NE(Place("B40", float(kUnitX), 1500), nullptr);
  const std::string kept = SaveAs("kitchen.qxf");
  const std::vector<Unit> units = Units();
  const std::vector<Wall> walls = Walls();
  const auto bytesOf = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  const std::string whole = bytesOf(kept);
  const auto write = [&](const char* name, const std::string& bytes) {
    const fs::path path = demo_.Root() / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path.string();
  };
  // The saved plan with the unit's x position (a double wherever the file keeps it) set to `x`.
  const auto unitAt = [&](double x) {
    std::string from(sizeof x, '\0'), to(sizeof x, '\0');
    std::memcpy(from.data(), &kUnitX, sizeof x);
    std::memcpy(to.data(), &x, sizeof x);
    std::string bytes = whole;
    size_t found = 0;
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + sizeof x), ++found)
      bytes.replace(at, sizeof x, to);
    EXPECT_GE(found, 1u) << "the unit's position is not in the file";
    return bytes;
  };
  std::string noise(600, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = char((i * 7919 + 13) % 251);
  const std::string kCases[] = {
      write("noise.qxf", noise),
      write("cut.qxf", whole.substr(0, whole.size() / 2)),
      write("cut at a field.qxf", whole.substr(0, whole.size() - 4)),
      write("empty.qxf", ""),
      (demo_.Root() / "missing.qxf").string(),
      demo_.Root().string(),
      write("not a number.qxf", unitAt(std::nan(""))),
      write("too far.qxf", unitAt(2.0e7)),
      write("too far left.qxf", unitAt(-2.0e7)),
  };
  for (const std::string& path : kCases) {
    SCOPED_TRACE(path);
    plat::ClearMessageBoxLog();
    OpenByHandOver(path);
    const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"Could not load file");
    EXPECT_EQ(boxes[0].caption, u"Error");
    EXPECT_EQ(Units(), units);
    EXPECT_EQ(Walls(), walls);
    EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), kept);
    EXPECT_FALSE(Document().IsModified());
  }
  EXPECT_TRUE(bytesOf(kept) == whole);
}

// Files the handle zone cannot hold, handed over by a second start while a changed plan is open: the
// question about the changes comes first and is answered Don't Save; then one load-failure box, and
// the changed plan stays open, changed, where the zone's fatal box used to end the program with it.
// A file of the largest block the zone has free is read (and refused as no plan); one byte more is
// refused before a byte is read, and so is a file of a gigabyte, at once.
TEST_F(LocalDocumentFilesTest, AFileLargerThanTheZoneHoldsGivesOneBoxAndTheChangedPlanStays) {
  UseStationery();
  Start();
  const std::string kept = SaveAs("kitchen.qxf");
  ASSERT_NE(Place("B40", 1500, 1500), nullptr);
  Document().MarkModified();
  const std::vector<Unit> units = Units();
  const std::vector<Wall> walls = Walls();
  // The largest file the zone takes now: the largest block it could hand out, found by halving.
  const auto largestBlock = [] {
    uint32_t low = 0, high = 64u << 20;
    while (high - low > 1) {
      const uint32_t middle = low + (high - low) / 2;
      (MemCanHold(middle) ? low : high) = middle;
    }
    return low;
  };
  const uint32_t low = largestBlock();
  std::cout << "largest file the started program's zone reads: " << low << " bytes\n";
  RecordProperty("largestReadableFile", std::to_string(low));
  const auto sized = [&](const char* name, uint64_t size, bool sparse) {
    const fs::path path = demo_.Root() / name;
    std::string bytes(sparse ? 0 : size, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = char((i * 7919 + 13) % 251);
    std::ofstream(path, std::ios::binary) << bytes;
    if (sparse) fs::resize_file(path, size);
    return path.string();
  };
  const std::string kCases[] = {sized("random.qxf", 50'000'000, false), sized("largest.qxf", low, false),
                                sized("one more.qxf", uint64_t(low) + 1, false),
                                sized("gigabyte.qxf", uint64_t(1) << 30, true)};
  int32_t questions = 0;
  for (const std::string& path : kCases) {
    SCOPED_TRACE(path);
    plat::ClearMessageBoxLog();
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND active = plat::GetActiveWindow();
      if (active == nullptr || active == Window().GetHWND() || active == app_->Frame()) return false;
      ++questions;
      return plat::PostMessageA(active, plat::WM_COMMAND, zelvproWarningDialog::kNo, 0) != 0;
    });
    const auto began = std::chrono::steady_clock::now();
    OpenByHandOver(path);
    const auto took = std::chrono::steady_clock::now() - began;
    plat::HeadlessDriver::SetIdleScript(nullptr);
    if (path.find("gigabyte") != std::string::npos)
      std::cout << "a gigabyte file handed over and refused in "
                << std::chrono::duration<double, std::milli>(took).count() << " ms\n";
    const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, u"Could not load file");
    EXPECT_EQ(Units(), units);
    EXPECT_EQ(Walls(), walls);
    EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), kept);
    EXPECT_TRUE(Document().IsModified());
  }
  EXPECT_EQ(questions, int32_t(std::size(kCases)));

  // The saved plan with bytes after its end mark, which a plan may carry, up to the largest file the
  // zone reads: it opens, and shows the saved plan.
  std::string padded;
  {
    std::ifstream in(kept, std::ios::binary);
    padded.assign(std::istreambuf_iterator<char>(in), {});
  }
  const std::vector<Unit> saved = [&] {
    Document().SetModified(false);
    OpenByHandOver(kept);
    return Units();
  }();
  ASSERT_NE(Place("B40", 2500, 1500), nullptr);
  Document().SetModified(false);
  // A little less than the largest block, for what the hand-over itself takes before the file.
  padded.resize(largestBlock() - (64u << 10), '\0');
  std::cout << "a plan of " << padded.size() << " bytes opens\n";
  const std::string large = (demo_.Root() / "large.qxf").string();
  std::ofstream(large, std::ios::binary) << padded;
  plat::ClearMessageBoxLog();
  OpenByHandOver(large);
  EXPECT_TRUE(plat::MessageBoxLog().empty());
  EXPECT_EQ(Units(), saved);
  EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), large);

  // Padded to just under the largest block, the plan is read but may leave the zone too little to judge
  // it in (the zone's fatal box used to end the program): then one box, and the open plan stays. Where
  // earlier work left other free blocks that can take the judging, the plan opens instead.
  const std::string larger = (demo_.Root() / "larger.qxf").string();
  for (const uint32_t under : {256u, 512u, 1024u}) {
    SCOPED_TRACE(under);
    const std::string before = Vcon::Utf8FromUtf16(Document().DocumentFile().path);
    padded.resize(largestBlock() - under, '\0');
    std::ofstream(larger, std::ios::binary | std::ios::trunc) << padded;
    plat::ClearMessageBoxLog();
    OpenByHandOver(larger);
    const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
    ASSERT_LE(boxes.size(), 1u);
    if (boxes.empty()) {
      EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), larger);
    } else {
      EXPECT_EQ(boxes[0].text, u"Could not load file");
      EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), before);
    }
    EXPECT_EQ(Units(), saved);
  }
}

// Saving numbers the plan afresh: two units that shared a number are told apart, a second save of
// the unchanged plan writes the same plan under new numbers, children find their parents again, the
// room's outline finds its walls, and the loaded elements take numbers that no unit placed later takes.
TEST_F(LocalDocumentFilesTest, AnUnchangedPlanSavedTwiceIsRenumberedAndItsElementsFindTheirParents) {
  UseStationery();
  Start();
  const std::vector<Wall> walls = Walls();
  ASSERT_FALSE(walls.empty());
  zelvproElement* first = Place("B40", 1200, 1800);
  zelvproElement* second = Place("B30", 2100, 1800);
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_NE(Place("B30", 1300, 1800, first), nullptr);
  // Two units sharing a number, as a counter that handed it out again would leave them.
  second->saveId = first->saveId;
  // The price list is rebuilt, as the placing tasks have it rebuilt: the shopping list follows it.
  Top().RecalculatePriceList();
  plat::HeadlessDriver::RunUntilIdle();
  const std::vector<Unit> tree = Tree();
  ASSERT_EQ(tree.size(), 3u);

  const auto bytesOf = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  // The shopping list a save keeps in the document carries the time of the save to the second: the
  // two saves read one fixed clock, or a second that passes between them would tell them apart.
  auto* services = dynamic_cast<ExchangeShellServices*>(&iShellServices::Current());
  ASSERT_NE(services, nullptr);
  ASSERT_NE(services->Operations(), nullptr);
  services->Operations()->SetClock([] { return support::FixedTime(2026, 12, 8, 9); });
  const std::string once = bytesOf(SaveAs("once.qxf"));
  ASSERT_GT(once.size(), 100u);
  EXPECT_NE(second->GetSaveId(), first->GetSaveId());
  const int32_t firstNumber = first->GetSaveId();
  const std::string twice = bytesOf(SaveAs("twice.qxf"));
  EXPECT_GT(first->GetSaveId(), firstNumber) << "the second save numbered the plan afresh";
  EXPECT_EQ(twice.size(), once.size()) << "the same plan";
  EXPECT_FALSE(twice == once) << "under the same numbers";
  int32_t lastSaved = 0;
  std::function<void(const ppView&)> highest = [&](const ppView& view) {
    ForEachChildElement(view, [&](zelvproElement* child) {
      lastSaved = std::max(lastSaved, child->GetSaveId());
      highest(*child);
    });
  };
  highest(Top());

  OpenByHandOver((demo_.Root() / "once.qxf").string());
  EXPECT_EQ(Tree(), tree);
  EXPECT_EQ(Walls(), walls);
  int32_t faces = 0;
  for (const qxLineCycle* cycle = Room().Cycles(); cycle != nullptr; cycle = cycle->next)
    for (int32_t i = 0; i < cycle->EdgeCount(); ++i, ++faces)
      EXPECT_NE(cycle->EdgeAt(i)->segment, nullptr) << "face " << i << " lost its wall";
  EXPECT_GT(faces, 0);
  // The loaded elements took new numbers, past every number saved before; a unit placed now takes
  // none of them.
  std::unordered_set<int32_t> ids;
  std::function<void(const ppView&)> collect = [&](const ppView& view) {
    ForEachChildElement(view, [&](zelvproElement* child) {
      EXPECT_GT(child->GetSaveId(), lastSaved);
      EXPECT_TRUE(ids.insert(child->GetSaveId()).second) << child->GetSaveId();
      collect(*child);
    });
  };
  collect(Top());
  zelvproElement* placed = Place("B40", 3000, 1800);
  ASSERT_NE(placed, nullptr);
  EXPECT_FALSE(ids.contains(placed->GetSaveId()));
}

// The user's own price list lines travel with the document and come back numbered afresh: after
// reopening, each line added takes a number no other line holds, and the line the list selects for
// it is the new, empty one, not a restored line that kept the same number.
TEST_F(LocalDocumentFilesTest, RestoredPriceLinesTakeFreshNumbersAndALineAddedLaterIsTheOneSelected) {
  using Fil = zelvproCalculatorFil;
  UseStationery();
  Start();
  ASSERT_NE(Place("B40", 1500, 1800), nullptr);
  const auto list = [] { return zelvproCalculatorList::Current(); };
  const auto showCalculation = [&] {
    Window().ApplicationCommand(zelvproCalculatorList::kShowCalculation, 0);
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_NE(list(), nullptr);
  };
  // Line `line`'s type, number and words.
  struct Line {
    int32_t type, id;
    std::string words;
  };
  const auto lineAt = [&](int32_t line) {
    Fil& lines = list()->LineFile();
    lines.BeginAccess();
    lines.ReadRecordAt(line, nullptr);
    const char* b = lines.GetRecordBuffer();
    return Line{RecordField(lines, "type").Long(b), RecordField(lines, "id").Long(b),
                Vcon::Utf8FromUtf16(RecordField(lines, "totherText").WideText(b))};
  };
  const auto userLines = [&] {
    std::vector<Line> out;
    for (int32_t i = 0; i < list()->LineFile().GetRecordCount(); ++i)
      if (const Line line = lineAt(i); Fil::IsUserLineType(line.type)) out.push_back(line);
    return out;
  };
  const auto add = [&](int32_t type, const char16_t* text) {
    list()->AddLine(type);
    plat::HeadlessDriver::RunUntilIdle();
    Fil& lines = list()->LineFile();
    if (text != nullptr) lines.SetValue(lines.IndexOf("totherText"), ppParameter(Vcon::WString(text)));
    plat::HeadlessDriver::RunUntilIdle();
  };
  showCalculation();
  // A long session moves the running number on (every unit placed, every line made and every
  // rebuild of the price list takes numbers) before the user writes lines.
  for (int32_t i = 0; i < 60; ++i) Window().LayerPalette()->NextId();
  add(Fil::kTextLine, u"Delivery in May");
  add(Fil::kItemService, u"Fitting");
  add(Fil::kTextLine, u"Keys at the neighbour's");
  const auto wordsOf = [](const std::vector<Line>& lines) {
    std::vector<std::string> out;
    for (const Line& line : lines) out.push_back(line.words);
    std::sort(out.begin(), out.end());
    return out;
  };
  const std::vector<std::string> kept = wordsOf(userLines());
  ASSERT_EQ(kept.size(), 3u);
  const std::string path = SaveAs("lines.qxf");

  for (int32_t opening = 0; opening < 2; ++opening) {
    SCOPED_TRACE(opening);
    OpenByHandOver(path);
    showCalculation();
    const std::vector<Line> restored = userLines();
    EXPECT_EQ(wordsOf(restored), kept) << "the user's lines came back";
    int32_t highest = 0;
    for (const Line& line : restored) highest = std::max(highest, line.id);
    // New lines until the running number has passed every number the restored lines hold.
    for (int32_t added = 0; added < 100; ++added) {
      SCOPED_TRACE(added);
      add(Fil::kTextLine, nullptr);
      const int32_t selected = list()->SelectedLine();
      ASSERT_GE(selected, 0);
      const Line made = lineAt(selected);
      ASSERT_EQ(made.words, "") << "the restored line " << made.id << " was selected for the new one";
      std::multiset<int32_t> ids;
      for (const Line& line : userLines()) ids.insert(line.id);
      ASSERT_EQ(ids.count(made.id), 1u) << "two lines hold " << made.id;
      if (made.id > highest) break;
    }
    Document().SetModified(false);
  }
}

// The price list's own lines are saved with the plan, so losing them is losing work: a Text line added
// through the bar makes New ask first (Cancel keeps the plan and the line); after a save, the line's
// text changed in its panel and the line deleted mark the plan again. Showing the list, its rebuilds
// from the plan and a text written back unchanged do not, and New then replaces the plan unasked.
TEST_F(LocalDocumentFilesTest, ThePriceListsOwnLinesAreAskedAboutBeforeNewAndItsRebuildsAreNot) {
  using Fil = zelvproCalculatorFil;
  UseStationery();
  Start();
  SaveAs("lines.qxf");
  ASSERT_FALSE(Document().IsModified());
  Window().ApplicationCommand(zelvproCalculatorList::kShowCalculation, 0);
  plat::HeadlessDriver::RunUntilIdle();
  zelvproCalculatorList* list = zelvproCalculatorList::Current();
  ASSERT_NE(list, nullptr);
  list->UpdateCalculation(true);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(Document().IsModified()) << "the list shown and rebuilt from the plan";

  const auto textLines = [&] {
    std::vector<int32_t> ids;
    Fil& lines = list->LineFile();
    lines.BeginAccess();
    for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
      lines.ReadRecordAt(i, nullptr);
      if (RecordField(lines, "type").Long(lines.GetRecordBuffer()) == Fil::kTextLine)
        ids.push_back(RecordField(lines, "id").Long(lines.GetRecordBuffer()));
    }
    return ids;
  };
  // The questions New asks, each answered with Escape (Cancel).
  const auto questionsAtNew = [&] {
    int32_t questions = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND active = plat::GetActiveWindow();
      if (active == nullptr || active == Window().GetHWND() || active == app_->Frame()) return false;
      ++questions;
      plat::Desktop::Key(plat::VK_ESCAPE, true);
      plat::Desktop::Key(plat::VK_ESCAPE, false);
      return true;
    });
    Command(zelvproWindow::kNew);
    plat::HeadlessDriver::SetIdleScript(nullptr);
    return questions;
  };
  const auto writeText = [&](const char16_t* text) {
    ppConfigPanel* panel =
        ppConfigurator::Host() != nullptr ? ppConfigurator::Host()->CurrentPanel() : nullptr;
    ASSERT_NE(panel, nullptr);
    ppEditTextField* edit = nullptr;
    for (ppField* f = panel->FirstField(); f != nullptr && edit == nullptr; f = f->NextField())
      if (auto* unit = dynamic_cast<ppPropertyDataUnit*>(f->DataUnit());
          unit != nullptr && std::string(unit->Binding().Name().c_str()) == "totherText")
        edit = dynamic_cast<ppEditTextField*>(f);
    ASSERT_NE(edit, nullptr) << "the Text line's panel has no text field";
    edit->SetValue(ppParameter(Vcon::WString(text)));  // what leaving the field after typing does
    plat::HeadlessDriver::RunUntilIdle();
  };

  ppCollaborator bar;
  bar.Broadcast(zelvproCalculatorList::kButtonChannel, zelvproCalculatorList::kAddText, 0);
  plat::HeadlessDriver::RunUntilIdle();
  const std::vector<int32_t> added = textLines();
  ASSERT_EQ(added.size(), 1u);
  EXPECT_TRUE(Document().IsModified()) << "a Text line added";
  EXPECT_EQ(questionsAtNew(), 1);
  EXPECT_EQ(textLines(), added) << "cancelled: the plan keeps its line";
  EXPECT_TRUE(Document().IsModified());

  Command(zelvproWindow::kSave);
  ASSERT_FALSE(Document().IsModified());
  writeText(u"Delivery in May");
  EXPECT_TRUE(Document().IsModified()) << "the line's text changed";
  Command(zelvproWindow::kSave);
  ASSERT_FALSE(Document().IsModified());
  writeText(u"Delivery in May");
  EXPECT_FALSE(Document().IsModified()) << "the same text written again";

  list->ClearSelection();
  list->SelectLine(list->FindLineById(added[0]), true);
  list->DoCommand(zelvproCalculatorList::kDeleteCommand, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(textLines().empty());
  EXPECT_TRUE(Document().IsModified()) << "the line deleted";

  Command(zelvproWindow::kSave);
  ASSERT_FALSE(Document().IsModified());
  EXPECT_EQ(questionsAtNew(), 0) << "saved: New replaces the plan unasked";
  EXPECT_TRUE(Document().DocumentFile().path.empty()) << "the new document took the plan's place";
}

// The e-mail order saves the plan into its order file: while the mail is handed over the plan counts
// as saved (the save's rebuild of the price list and its packing of the user's lines mark nothing
// again). That copy goes with the mail and is deleted, so afterwards the plan is as modified as it was
// before: a change not yet saved to the plan's own file is still asked about, and an unchanged plan
// stays unchanged.
TEST_F(LocalDocumentFilesTest, TheMailOrdersSaveClearsTheModifiedMarkForTheMailAndTheOrderPutsItBack) {
  class Mail : public MailProvider {
   public:
    bool Hand(const MailMessage&, plat::HWND) override {
      modifiedWhenHanded.push_back(DocumentRecordFile->IsModified());
      return true;
    }
    std::vector<bool> modifiedWhenHanded;
  };
  UseStationery();
  Start();
  SaveAs("ordered.qxf");
  Window().ApplicationCommand(zelvproCalculatorList::kShowCalculation, 0);
  plat::HeadlessDriver::RunUntilIdle();
  ppCollaborator bar;
  bar.Broadcast(zelvproCalculatorList::kButtonChannel, zelvproCalculatorList::kAddText, 0);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_TRUE(Document().IsModified());

  WindowPlanSteps steps(Window());
  DocumentFileOperations operations(Document(), steps);
  OrderDocument order(operations, Document(), Window().GetHWND());
  Mail mail;
  ASSERT_TRUE(MailOrder(order, app_->Frame(), &mail));
  EXPECT_TRUE(Document().IsModified()) << "the unsaved line is still asked about";
  Command(zelvproWindow::kSave);
  ASSERT_TRUE(MailOrder(order, app_->Frame(), &mail));
  EXPECT_FALSE(Document().IsModified()) << "an unchanged plan stays unchanged";
  EXPECT_EQ(mail.modifiedWhenHanded, (std::vector<bool>{false, false}))
      << "the order's save cleared the mark";
  EXPECT_FALSE(fs::exists(demo_.Root() / "ordre.qxf"));
  EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), (demo_.Root() / "ordered.qxf").string());
}

TEST_F(LocalDocumentFilesTest, TheViewAndThePlanScaleComeBackAndAPictureIn3DIsTheViewRenderedOffScreen) {
  Start();
  Place("B40", 1500, 1500);
  zelvproViewBar& bar = *Window().ViewBar();
  bar.DoCommand(zelvproViewBar::kZoomInCommand, 0);
  const double zoomed = Window().LayerPalette()->GetScale();
  ASSERT_NE(zoomed, zelvproLayerPalette::kStartScale);
  bar.SelectViewById(zelvproViewBar::k3DView);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_EQ(Window().CurrentViewId(), zelvproViewBar::k3DView);
  const std::string path = SaveAs("view.qxf");

  // Save as a picture in the 3D view: the view at the picture file's size; the document keeps its file.
  bool answered = false;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (answered || plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileNameItem) == nullptr) return false;
    answered = true;
    plat::SetDlgItemTextW(plat::GetActiveWindow(), plat::kFileNameItem, u"view.bmp");
    plat::SetFocus(plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileNameItem));
    plat::Desktop::Key(plat::VK_RETURN, true);
    return true;
  });
  Command(zelvproWindow::kSaveAs);
  plat::HeadlessDriver::SetIdleScript(nullptr);
  ASSERT_TRUE(answered);
  std::ifstream picture(demo_.Root() / "view.bmp", std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(picture), {}};
  ASSERT_GE(bytes.size(), 54u);
  int32_t size[2] = {};
  std::memcpy(size, bytes.data() + 18, sizeof size);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(size[0], 1024);
  EXPECT_EQ(size[1], 768);
  EXPECT_EQ(Vcon::Utf8FromUtf16(Document().DocumentFile().path), path);

  // Elsewhere at another scale, the open brings back the saved view and scale.
  bar.SelectViewById(zelvproViewBar::kTopView);
  bar.DoCommand(zelvproViewBar::kNormalZoomCommand, 0);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_NE(Window().LayerPalette()->GetScale(), zoomed);
  Document().SetModified(false);
  OpenByHandOver(path);
  EXPECT_EQ(Window().CurrentViewId(), zelvproViewBar::k3DView);
  EXPECT_EQ(Window().LayerPalette()->GetScale(), zoomed);
}

// A plan saved beside the price list comes back there with the price list's own side panel, whether
// it is opened from Room Design through File > Open or handed over while the price list is shown.
TEST_F(LocalDocumentFilesTest, APlanSavedInThePriceListOpensBesideItsPricesPanel) {
  Start();
  // The demo's sink notes its cabinet's size, which its panel shows in place of the bounds that
  // count the tap (1070 mm high).
  zelvproElement* sink = Place("S80", 1500, 1500);
  ASSERT_NE(sink, nullptr);
  sink->BuildInfoPanel(nullptr);
  plat::HeadlessDriver::RunUntilIdle();
  std::string sinkTexts;
  if (ppConfigPanel* panel =
          ppConfigurator::Host() != nullptr ? ppConfigurator::Host()->CurrentPanel() : nullptr)
    for (ppField* f = panel->FirstField(); f != nullptr; f = f->NextField())
      if (auto* text = dynamic_cast<ppTextField*>(f)) sinkTexts += Vcon::Utf8FromUtf16(text->Text()) + "|";
  EXPECT_NE(sinkTexts.find("820 mm"), std::string::npos) << sinkTexts;
  EXPECT_NE(sinkTexts.find("800 mm"), std::string::npos) << sinkTexts;
  EXPECT_EQ(sinkTexts.find("1070"), std::string::npos) << sinkTexts;

  zelvproViewBar& bar = *Window().ViewBar();
  bar.SelectViewById(zelvproViewBar::kItemListView);
  plat::HeadlessDriver::RunUntilIdle();
  const std::string path = SaveAs("prices.qxf");
  const auto panelCaption = [] {
    ppConfigPanel* panel =
        ppConfigurator::Host() != nullptr ? ppConfigurator::Host()->CurrentPanel() : nullptr;
    return panel != nullptr ? Vcon::Utf8FromUtf16(panel->Caption()) : std::string("(none)");
  };
  ASSERT_EQ(panelCaption(), "Prices");

  bar.SelectViewById(zelvproViewBar::kRoomDesignView);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_NE(panelCaption(), "Prices");
  bool answered = false;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (answered || plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileNameItem) == nullptr) return false;
    answered = true;
    plat::SetDlgItemTextW(plat::GetActiveWindow(), plat::kFileNameItem,
                          Vcon::WString(Vcon::Utf16FromUtf8(path)).c_str());
    plat::SetFocus(plat::GetDlgItem(plat::GetActiveWindow(), plat::kFileNameItem));
    plat::Desktop::Key(plat::VK_RETURN, true);
    return true;
  });
  Command(zelvproWindow::kOpen);
  plat::HeadlessDriver::SetIdleScript(nullptr);
  ASSERT_TRUE(answered);
  EXPECT_EQ(Window().CurrentViewId(), zelvproViewBar::kItemListView);
  EXPECT_EQ(panelCaption(), "Prices") << "opened from Room Design";

  OpenByHandOver(path);
  EXPECT_EQ(Window().CurrentViewId(), zelvproViewBar::kItemListView);
  EXPECT_EQ(panelCaption(), "Prices") << "handed over beside the price list";
}

TEST_F(LocalDocumentFilesTest, AFileHandedOverAsksAboutUnsavedChangesFirst) {
  Start();
  const std::string path = SaveAs("saved.qxf");
  Place("B40", 1500, 1500);
  Document().MarkModified();
  const std::vector<Unit> unsaved = Units();
  // The save question comes up; Escape cancels it.
  int32_t questions = 0;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (plat::GetActiveWindow() == nullptr || plat::GetActiveWindow() == Window().GetHWND() ||
        plat::GetActiveWindow() == app_->Frame())
      return false;
    ++questions;
    plat::Desktop::Key(plat::VK_ESCAPE, true);
    plat::Desktop::Key(plat::VK_ESCAPE, false);
    return true;
  });
  OpenByHandOver(path);
  plat::HeadlessDriver::SetIdleScript(nullptr);
  EXPECT_EQ(questions, 1);
  EXPECT_EQ(Units(), unsaved) << "cancelled: the unsaved plan stays";
  EXPECT_TRUE(Document().IsModified());
}

TEST_F(LocalDocumentFilesTest, ARoomTemplateSwapsOnlyTheRoomAndTheReturnedDocumentSwapsItBack) {
  UseStationery();
  Start();
  const std::vector<Wall> start = Walls();
  // The template: the new room with one more wall, saved as a whole document.
  AddWall(ppVector3(1000, 0, 2000), ppVector3(2500, 0, 2000));
  const std::vector<Wall> templateWalls = Walls();
  const std::string templatePath = SaveAs("template.qxf");
  Command(zelvproWindow::kNew);
  ASSERT_EQ(Walls(), start);

  zelvproElement* unit = Place("B30", 2000, 2500);
  ASSERT_NE(unit, nullptr);
  const std::vector<Unit> units = Units();
  auto* earlier = new ppTask();
  Top().Post(earlier);
  Handle packed = ReadFileToHandle(DocumentFileRecord(Vcon::WString(Vcon::Utf16FromUtf8(templatePath))));
  ASSERT_NE(packed, nullptr);

  Handle before = iDocumentLoader::Current().LoadFromFile(packed);
  ASSERT_NE(before, nullptr);
  EXPECT_EQ(Walls(), templateWalls);
  EXPECT_EQ(Units(), units) << "the units stay";
  EXPECT_EQ(Top().DoneTop(), earlier) << "the plan's history stays";

  Handle swapped = iDocumentLoader::Current().LoadFromFile(before);
  ASSERT_NE(swapped, nullptr);
  EXPECT_EQ(Walls(), start);
  EXPECT_EQ(Units(), units);

  // A document of a later version is refused and changes nothing.
  const RecordField version(Document(), "version");
  version.SetLong(Document().Record(), 3);
  Handle junk = nullptr;
  Vcon_HandleManager::MemNew(&junk, 0);
  Document().PackRecord(nullptr, junk);
  version.SetLong(Document().Record(), 2);
  EXPECT_EQ(iDocumentLoader::Current().LoadFromFile(junk), nullptr);
  EXPECT_EQ(Walls(), start);
  for (Handle h : {packed, before, swapped, junk}) MemDispose(h);
}

}  // namespace

// Room Design's panel edits are plan edits: a room size typed as A, the wall height typed for every
// wall, and the Undo of either make Exit ask (answered Cancel: the program stays with the change),
// and the autosave keeps them. Opening a plan and showing its room panel change nothing.
TEST_F(LocalDocumentFilesTest, RoomSizesAndWallHeightsTypedInTheRoomPanelAreAskedAboutAtExit) {
  UseStationery();
  Start();
  const std::string path = SaveAs("room.qxf");
  Command(zelvproWindow::kNew);
  OpenByHandOver(path);
  Window().ViewBar()->SelectViewById(zelvproViewBar::kRoomDesignView);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_FALSE(Document().IsModified()) << "opened and shown in Room Design";

  const auto roomField = [](const char* property) -> ppEditTextField* {
    ppConfigPanel* panel =
        ppConfigurator::Host() != nullptr ? ppConfigurator::Host()->CurrentPanel() : nullptr;
    for (ppField* f = panel != nullptr ? panel->FirstField() : nullptr; f != nullptr; f = f->NextField())
      if (auto* unit = dynamic_cast<ppPropertyDataUnit*>(f->DataUnit());
          unit != nullptr && std::string(unit->Binding().Name().c_str()) == property)
        return dynamic_cast<ppEditTextField*>(f);
    return nullptr;
  };
  // What leaving the field after typing `millimetres` does.
  const auto type = [&](const char* property, float millimetres) {
    ppEditTextField* field = roomField(property);
    ASSERT_NE(field, nullptr) << "the room panel has no " << property;
    Vcon::WString text;
    FormatLength(millimetres, text);
    field->SetValue(ppParameter(text));
    plat::HeadlessDriver::RunUntilIdle();
  };
  const auto questionsAtExit = [&] {
    int32_t questions = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      const plat::HWND active = plat::GetActiveWindow();
      if (active == nullptr || active == Window().GetHWND() || active == app_->Frame()) return false;
      ++questions;
      plat::Desktop::Key(plat::VK_ESCAPE, true);
      plat::Desktop::Key(plat::VK_ESCAPE, false);
      return true;
    });
    app_->DoCommand(ppApplication::kQuitCommand, 0);
    plat::HeadlessDriver::RunUntilIdle();
    plat::HeadlessDriver::SetIdleScript(nullptr);
    return questions;
  };

  const std::vector<Wall> opened = Walls();
  ASSERT_NE(roomField("Measurement0"), nullptr) << "the stationery's room has no dimensions";
  float a = 0.0f;
  ASSERT_TRUE(ParseLength(a, roomField("Measurement0")->GetControlText()));
  type("Measurement0", a + 500.0f);
  ASSERT_NE(Walls(), opened) << "A moved no wall";
  ASSERT_TRUE(Document().IsModified()) << "a typed room size";
  EXPECT_EQ(questionsAtExit(), 1);
  EXPECT_NE(Walls(), opened) << "cancelled: the program stays with the new size";

  Command(zelvproWindow::kSave);
  ASSERT_FALSE(Document().IsModified());
  Command(zelvproCanvas::kUndo);
  EXPECT_EQ(Walls(), opened) << "Undo gave the room its size back";
  EXPECT_TRUE(Document().IsModified()) << "the size's Undo";

  Command(zelvproWindow::kSave);
  ASSERT_FALSE(Document().IsModified());
  type("AllWallHeights", 2750.0f);
  EXPECT_EQ(Room().WallHeight(), 2750.0f);
  ASSERT_TRUE(Document().IsModified()) << "a typed wall height";
  EXPECT_EQ(questionsAtExit(), 1);
  Command(zelvproWindow::kWriteAutoSave);
  EXPECT_TRUE(fs::exists(AutoSaveFile())) << "the autosave keeps the typed height";

  Command(zelvproWindow::kSave);
  ASSERT_FALSE(Document().IsModified());
  Command(zelvproCanvas::kUndo);
  EXPECT_NE(Room().WallHeight(), 2750.0f) << "the height's Undo";
  EXPECT_TRUE(Document().IsModified()) << "the height's Undo";
  Document().SetModified(false);
}

// The Room Shape box of the room panel shows the room shape the room was made from: the arched room
// and the room with a wall piece, whose corners read as a rectangle's, after the choice and after a
// save and reopen; a wall moved keeps the shape, and the rectangle chosen from the arched room
// replaces it.
TEST_F(LocalDocumentFilesTest, TheRoomShapeBoxShowsTheShapeTheRoomWasMadeFromAfterAChoiceAndAReopen) {
  UseStationery();
  Start();
  Window().ViewBar()->SelectViewById(zelvproViewBar::kRoomDesignView);
  plat::HeadlessDriver::RunUntilIdle();
  // The box as the room panel builds it.
  const auto box = [&]() -> ppPopupSelector* {
    Room().BuildInfoPanel(nullptr);
    plat::HeadlessDriver::RunUntilIdle();
    ppConfigPanel* panel =
        ppConfigurator::Host() != nullptr ? ppConfigurator::Host()->CurrentPanel() : nullptr;
    for (ppField* f = panel != nullptr ? panel->FirstField() : nullptr; f != nullptr; f = f->NextField())
      if (auto* selector = dynamic_cast<ppPopupSelector*>(f)) return selector;
    return nullptr;
  };
  // The id of the room shape the box shows (-1: none of its list).
  const auto shown = [&]() -> int32_t {
    ppPopupSelector* selector = box();
    if (selector == nullptr || selector->Query() == nullptr) return -1;
    const int32_t value = selector->GetValue().ToLong();
    for (int32_t i = 0; i < selector->Query()->GetItemCount(); ++i) {
      ppParameter id;
      selector->Query()->GetColumn1(i, id);
      if (id.ToLong() == value) return value;
    }
    return -1;
  };
  const auto choose = [&](int32_t id) {
    ppPopupSelector* selector = box();
    ASSERT_NE(selector, nullptr);
    selector->SetValue(ppParameter(id));
    plat::HeadlessDriver::RunUntilIdle();
  };
  const auto pieces = [&] {
    int32_t n = 0;
    ForEachChildElement(Room(), [&](zelvproElement* child) { n += child->kind == 9; });
    return n;
  };
  const auto archedWalls = [&] {
    int32_t n = 0;
    ForEachChildElement(Room(), [&](zelvproElement* child) {
      if (auto* segment = dynamic_cast<qxRoomSegment*>(child)) n += segment->GetRadius() != 0.0f;
    });
    return n;
  };
  ASSERT_EQ(shown(), 1) << "the new room is the rectangle";

  constexpr int32_t kArched = 15, kWallPiece = 16;
  for (const int32_t shape : {kArched, kWallPiece}) {
    SCOPED_TRACE(shape);
    choose(shape);
    ASSERT_EQ(pieces(), shape == kWallPiece ? 1 : 0) << "the room was not replaced";
    ASSERT_EQ(archedWalls(), shape == kArched ? 1 : 0) << "the room was not replaced";
    EXPECT_EQ(shown(), shape) << "after the choice";
    const std::string path = SaveAs(shape == kArched ? "arched.qxf" : "piece.qxf");
    Document().SetModified(false);
    OpenByHandOver(path);
    ASSERT_EQ(archedWalls(), shape == kArched ? 1 : 0);
    ASSERT_EQ(pieces(), shape == kWallPiece ? 1 : 0);
    EXPECT_EQ(shown(), shape) << "after a reopen";
  }

  // The room's first dimension typed larger: the walls move, the room is still the one chosen.
  choose(kArched);
  ASSERT_EQ(archedWalls(), 1);
  qxFloorElement* floor = dynamic_cast<qxFloorElement*>(Room().FindFloor());
  ASSERT_NE(floor, nullptr);
  const std::vector<Wall> before = Walls();
  floor->SetValueByName("Measurement0", ppParameter(Vcon::WString(u"5000")), true);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_NE(Walls(), before) << "the dimension moved no wall";
  EXPECT_EQ(shown(), kArched) << "after a wall moved";

  // The rectangle chosen from the arched room takes its place.
  choose(1);
  EXPECT_EQ(archedWalls(), 0) << "the rectangle's choice was ignored";
  EXPECT_EQ(shown(), 1);
  Document().SetModified(false);
}

// The rotation buttons follow the selection: enabled with a unit selected, disabled after File > New
// and after an open, where nothing is selected, in the plan and in the 3D view. The first New finds
// no new document's plan and makes the empty document, whose side panel no longer shows the unit.
TEST_F(LocalDocumentFilesTest, TheRotationButtonsAreDisabledAfterNewAndOpenWhileNothingIsSelected) {
  Start();
  zelvproViewBar& bar = *Window().ViewBar();
  bar.SelectViewById(zelvproViewBar::k3DView);
  plat::HeadlessDriver::RunUntilIdle();
  bar.SelectViewById(zelvproViewBar::kTopColourView);
  plat::HeadlessDriver::RunUntilIdle();
  auto* scene = dynamic_cast<zelvpro3DCanvas*>(Window().Made3DCanvas());
  ASSERT_NE(scene, nullptr);
  const auto enabled = [&] {
    return std::pair{Window().EditorCanvasView()->RotatePanel()->IsEnabled(),
                     scene->RotatePanel()->IsEnabled()};
  };
  const auto selectOne = [&] {
    zelvproElement* unit = Place("B40", 1500, 1500);
    ASSERT_NE(unit, nullptr);
    unit->Select(true);
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_EQ(enabled(), std::pair(true, true)) << "a unit is selected";
  };
  selectOne();
  const std::string path = SaveAs("turn.qxf");

  Document().SetModified(false);
  Command(zelvproWindow::kNew);
  EXPECT_EQ(enabled(), std::pair(false, false)) << "after File > New";

  selectOne();
  Document().SetModified(false);
  OpenByHandOver(path);
  EXPECT_EQ(enabled(), std::pair(false, false)) << "after an open";

  // File > New again, now with the new document's plan beside the settings.
  UseStationery();
  selectOne();
  Document().SetModified(false);
  Command(zelvproWindow::kNew);
  EXPECT_EQ(enabled(), std::pair(false, false)) << "after File > New of the new document's plan";
  Document().SetModified(false);
}
