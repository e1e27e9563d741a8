// The element palette's test bench: a private copy of the demo settings whose kitchen catalogue the
// fixture builder extends (a package unit, colour items, an item without a picture, gathered with
// some demo items in a browser group of their own), a headless window holding a top canvas over the
// plan and the palette below it, a recording 3D pane and a task factory that records what the strip
// asks for.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CanvasTestSupport.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/tasks/CanvasTaskFactory.h"
#include "canvas/tasks/zelvproMouseTask.h"
#include "catalogue/BrowserTestSupport.h"
#include "catalogue/databases/CatalogDatabaseList.h"
#include "catalogue/databases/qxApplicationdb.h"
#include "catalogue/records/RecordField.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/PlanCanvasTestSupport.h"
#include "elements/base/ElementChildren.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iScenePane.h"
#include "elements/base/qxViewHolder.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/CatalogReads.h"
#include "elements/topview/TopViewTestSupport.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/Surface.h"
#include "platform/WindowApi.h"
#include "support/DemoSettings.h"

namespace palettetest {

// The browser group the fixture adds to the ZELVO tree: its name and its shown text.
inline constexpr const char* kGroup = "PT";
inline constexpr const char* kGroupText = "Palette test";

// What the fixture builder added to the demo kitchen catalogue: record ids of the catalogue.
struct DemoAdditions {
  int32_t packageTopView = 0;
  int32_t snow = 0;      // colour record "Snow" of the demo
  int32_t graphite = 0;  // colour record "Graphite" of the demo
  // The group's items in strip order.
  std::vector<std::string> items;
};

// The record of `file` whose field `field` reads `value`; 0 when none.
inline int32_t RecordNamed(ppDatafile& file, const char* field, const char* value) {
  const RecordField named(file, field);
  ScopedRecordBuffer<ppDatafile> buffer(file);
  file.SelectAllItems();
  for (int32_t i = 0; i < file.GetSelectedCount(); ++i) {
    const int32_t id = file.RecordIdAt(i);
    if (CatalogReads::Read(file, id, buffer.Get()) && named.Text(buffer.Get()) == value) return id;
  }
  return 0;
}

// Strip order of the group: a plain unit, a door, a package, a colour, a colour without a finish, a
// unit without a picture, a unit whose top view makes no element, a second colour.
enum Cell : int32_t { kUnit, kDoor, kPackage, kSnow, kNoFinish, kNoPicture, kNoElement, kGraphite, kCells };

// Adds the records to `db` (the kitchen catalogue, identifier 1) and the group to the browser texts
// of `settings` (the "settings" folder of the copy).
inline DemoAdditions AddPaletteItems(zelvDatabase& db, const std::filesystem::path& settings) {
  DemoAdditions out;
  zelvproCatalogItemFil& items = db.CatalogItemFile();
  out.snow = RecordNamed(db.ColorCatalogFile(), "name", "Snow");
  out.graphite = RecordNamed(db.ColorCatalogFile(), "name", "Graphite");
  const int32_t b30 = RecordNamed(db.TopViewFile(), "Name", "B30");
  out.packageTopView = cattest::AddRecord(db.TopViewFile(), {{"Name", "PKG"}, {"Type", 1}, {"flags", 0x100}});
  const int32_t noElement = cattest::AddRecord(db.TopViewFile(), {{"Name", "NOEL"}, {"Type", 77}});
  cattest::AddRecord(items, {{"ID", "PT-PKG"}, {"Name", "Package"}, {"TopView", out.packageTopView}});
  cattest::AddRecord(items, {{"ID", "PT-SNOW"}, {"Name", "Snow"}, {"isColor", 1}, {"finishLink", out.snow}});
  cattest::AddRecord(items, {{"ID", "PT-NOFIN"}, {"Name", "No finish"}, {"isColor", 1}});
  cattest::AddRecord(items, {{"ID", "PT-NOPIC"}, {"Name", "No picture"}, {"TopView", b30}});
  cattest::AddRecord(items, {{"ID", "PT-NOEL"}, {"Name", "No element"}, {"TopView", noElement}});
  cattest::AddRecord(
      items, {{"ID", "PT-GRAPH"}, {"Name", "Graphite"}, {"isColor", 1}, {"finishLink", out.graphite}});
  out.items = {"VH-B30", "VH-DR90", "PT-PKG", "PT-SNOW", "PT-NOFIN", "PT-NOPIC", "PT-NOEL", "PT-GRAPH"};
  // The door under a name wider than its cell, whatever the demo calls it: the captions' ellipsis
  // has a name to cut.
  const int32_t door = RecordNamed(items, "ID", "VH-DR90");
  items.ReadRecord(door, nullptr);
  cattest::SetField(items, "Name", ppParameter("Interior door 90 cm"));
  items.WriteRecord(door, nullptr);
  std::ofstream text(settings / "catalogs" / "zelvo.txt", std::ios::app | std::ios::binary);
  text << "GROUP\t" << kGroup << "\t0\t" << kGroupText << "\tZELVO\n";
  for (const std::string& id : out.items) text << "ITEM\t" << id << "\t1\t" << id << "\t" << kGroup << "\n";
  return out;
}

// Counts the 3D pane's repaints.
class RecordingScenePane : public iScenePane {
 public:
  void SetSceneOutOfDate() override {}
  void Invalidate() override { ++invalidations; }
  int32_t invalidations = 0;
};

// A drag that only records its start; the release ends it without a trace.
class RecordedDrag : public zelvproMouseTask {
 public:
  RecordedDrag(ppView* view, qxViewHolder* chain) : zelvproMouseTask(view, view), chain_(chain) {}
  ~RecordedDrag() override { delete chain_; }
  bool IsEmpty() override { return true; }
  qxViewHolder* Chain() const { return chain_; }

 private:
  qxViewHolder* chain_;
};

// The canvas layer's factory whose drags are recorded; a row left neutral answers null as the
// program's factory does.
class RecordingFactory : public CanvasTaskFactory {
 public:
  ppTask* NewDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override {
    return Record("dragger", selection, canvas);
  }
  ppTask* NewDoorDraggerTask(qxViewHolder* selection, zelvproCanvas* canvas) override {
    return Record("door", selection, canvas);
  }
  ppTask* New3DDraggerTask(qxViewHolder* selection, iScenePane* /*pane*/, int32_t /*flag*/) override {
    asked.push_back("3d");
    if (!answer) return nullptr;
    dragged.push_back(selection->Element());
    return new RecordedDrag(iElementHost::Current().TopCanvas(), selection);
  }
  ppTask* NewColorTask(int32_t colourId, zelvDatabase* source, zelvproCanvas* canvas) override {
    asked.push_back("colour");
    return CanvasTaskFactory::NewColorTask(colourId, source, canvas);
  }
  void StartWithElement(ppTask* task, int32_t x, int32_t y, std::unique_ptr<ppRegion> feedback) override {
    plat::RECT bounds{};
    if (feedback != nullptr) feedback->GetBounds(&bounds);
    starts.push_back(bounds);
    CanvasTaskFactory::StartWithElement(task, x, y, std::move(feedback));
  }

  bool answer = true;  // false: every drag row answers null
  std::vector<std::string> asked;
  std::vector<zelvproElement*> dragged;
  std::vector<plat::RECT> starts;  // bounds of each feedback region (all 0 without one)

 private:
  ppTask* Record(const char* row, qxViewHolder* selection, zelvproCanvas* canvas) {
    asked.push_back(row);
    if (!answer) return nullptr;
    dragged.push_back(selection->Element());
    return new RecordedDrag(canvas, selection);
  }
};

class PaletteTest : public tvtest::TopViewTest, protected canvastest::DesktopInput {
 protected:
  static constexpr int32_t kWidth = 1001;
  static constexpr int32_t kPlanHeight = 400;
  // Fill colours (bytes) of the pane and the palette, told apart from the cells' white.
  static constexpr ppRGBColor kPaneFill{200, 220, 240};
  static constexpr ppRGBColor kPaletteFill{90, 90, 90};

  void SetUp() override {
    plat::HeadlessDriver::Reset();
    TopViewTest::SetUp();
    plat::LayerClock::SetManual(100'000);
    savedFolder_ = std::filesystem::current_path();
    demo_ = std::make_unique<DemoSettings>();
    std::filesystem::current_path(demo_->Root());
    CatalogTextsFromRecords = false;
    ppFileSpec applicationFile(Vcon::WString(demo_->File("zadezodid.cdb").string().c_str()));
    application_ = std::make_unique<qxApplicationdb>(applicationFile);
    catalogues_ = std::make_unique<CatalogDatabaseList>();
    db_ = catalogues_->FindById(1);
    ASSERT_NE(db_, nullptr);
    added_ = AddPaletteItems(*db_, demo_->Folder());

    canvasHost_.palette = std::move(host_.palette);
    if (canvasHost_.palette == nullptr) canvasHost_.palette = std::make_unique<zelvproLayerPalette>();
    canvasHost_.databases[1] = db_;
    canvasHost_.pane = &scene_;
    canvasHost_.viewId = iElementHost::kPlanViewC;
    iElementHost::Install(&canvasHost_);
    iElementTaskFactory::Install(&factory_);
    iApplicationSettings::Install(&settings_);

    app_ = std::make_unique<adorner_tests::TestApplication>();
    for (int32_t id = 3500; id <= 3505; ++id)
      app_->frames[id] = adorner_tests::SolidPicture(16, 16, browsertest::PictureColour(id));
    app_->colours[zelvproElementPane::kFillPicture] = kPaneFill;
    app_->colours[zelvproElementPalette::kFillPicture] = kPaletteFill;
    SetTextSource(&texts_);
    window_ = new ppWindow();
  }
  void TearDown() override {
    canvas_.reset();
    if (window_ != nullptr) delete window_;  // the palette with it
    window_ = nullptr;
    app_.reset();
    catalogues_.reset();
    application_.reset();
    iApplicationSettings::Install(nullptr);
    CatalogTextsFromRecords = false;
    std::filesystem::current_path(savedFolder_);
    demo_.reset();
    TopViewTest::TearDown();
    plat::HeadlessDriver::Reset();
  }

  // The window with the top canvas over the plan and the palette below it (`height` high).
  void MakeWindow(int32_t paletteHeight = 135, bool withOverview = false) {
    hwnd_ = adorner_tests::MakeObjectWindow(window_, kWidth, kPlanHeight + paletteHeight);
    canvas_ = std::make_unique<zelvproTopCanvas>(window_, eltest::Rect(0, 0, kWidth, kPlanHeight), db_);
    canvasHost_.topCanvas = canvas_.get();
    palette_ = new zelvproElementPalette(
        window_, eltest::Rect(0, kPlanHeight, kWidth, kPlanHeight + paletteHeight), withOverview);
    // The window was painted before the palette joined it.
    plat::InvalidateRect(hwnd_, nullptr, 0);
  }
  // The window and the palette, the test group shown in the strip, everything painted.
  void MakeWindowShowingGroup() {
    MakeWindow();
    ShowGroup();
  }
  void ShowGroup() {
    qxNode* group = nullptr;
    for (int32_t i = 0; i < qxCatalog::kTreeCount && group == nullptr; ++i)
      group = browsertest::FindNode(palette_->Browser()->Top(i), kGroup);
    ASSERT_NE(group, nullptr);
    palette_->Browser()->SelectCatalogNode(group);
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_EQ(Strip().ItemCount(), kCells);
  }

  zelvproElementScroller& Strip() const { return *palette_->Pane()->Strip(); }
  // The window pixel at the middle of cell `column` (as the strip is scrolled now).
  plat::POINT CellCentre(int32_t column) const {
    plat::RECT cell;
    Strip().GetCellRect(column, 0, &cell);
    return plat::POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
  }
  // A pixel of the window, as bytes (red, green, blue); `at` in the strip's own pixels.
  ppRGBColor StripPixel(int32_t x, int32_t y) const {
    plat::RECT frame;
    Strip().GetWindowFrame(&frame);
    return WindowPixel(frame.left + x, frame.top + y);
  }
  ppRGBColor WindowPixel(int32_t x, int32_t y) const {
    const uint32_t p = plat::GetWindowSurface(hwnd_)->Pixel(x, y);
    return ppRGBColor{int32_t((p >> 16) & 0xFF), int32_t((p >> 8) & 0xFF), int32_t(p & 0xFF)};
  }
  void Repaint() {
    plat::InvalidateRect(hwnd_, nullptr, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }

  // Presses on the cell, moves by (dx, dy) in two steps after the click time and releases.
  void Drag(int32_t column, plat::POINT to) {
    const plat::POINT from = CellCentre(column);
    Down(from);
    plat::LayerClock::Advance(1000);
    MoveTo(plat::POINT{(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveTo(to);
    Up(to);
  }

  // A unit of the demo's top view `name` put into the plan at (x, y) pixels of the canvas.
  zelvproElement* PlaceUnit(const char* name, int32_t x, int32_t y) {
    const int32_t topView = RecordNamed(db_->TopViewFile(), "Name", name);
    zelvproElement* unit =
        db_->TopViewFile().CreateElement(topView, eltest::Rect(x, y, x + 100, y + 100), canvas_.get());
    if (unit != nullptr) unit->MoveTo(x, y);
    return unit;
  }
  // Stands `room` in for the room canvas (the test clears it again) and selects a B40 put into the plan
  // at (100, 100) and a B30 made on `room`: (plan unit, room unit), either null when not made.
  std::pair<zelvproElement*, zelvproElement*> SelectUnitsOnPlanAndRoom(zelvproTopCanvas& room) {
    canvasHost_.newRoomCanvas = &room;
    zelvproElement* placed = PlaceUnit("B40", 100, 100);
    zelvproElement* onRoom = db_->TopViewFile().CreateElement(RecordNamed(db_->TopViewFile(), "Name", "B30"),
                                                              eltest::Rect(10, 10, 60, 60), &room);
    for (zelvproElement* unit : {placed, onRoom})
      if (unit != nullptr) unit->Select(false);
    return {placed, onRoom};
  }
  std::vector<zelvproElement*> PlanUnits() const {
    std::vector<zelvproElement*> out;
    ForEachChildElement(*canvas_, [&](zelvproElement* child) { out.push_back(child); });
    return out;
  }

  std::filesystem::path savedFolder_;
  std::unique_ptr<DemoSettings> demo_;
  std::unique_ptr<qxApplicationdb> application_;
  std::unique_ptr<CatalogDatabaseList> catalogues_;
  zelvDatabase* db_ = nullptr;
  DemoAdditions added_;
  pctest::CanvasHost canvasHost_;
  RecordingScenePane scene_;
  RecordingFactory factory_;
  iApplicationSettings settings_;
  std::unique_ptr<adorner_tests::TestApplication> app_;
  cattest::ProgramTexts texts_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  std::unique_ptr<zelvproTopCanvas> canvas_;
  zelvproElementPalette* palette_ = nullptr;  // owned by the window
};

}  // namespace palettetest
