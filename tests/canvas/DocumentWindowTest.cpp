// The document window, the editor canvas and the rotation panel on the headless desktop, over a copy
// of the demo settings: where every pane lies, the selection check once per message cycle, the
// panel's property and buttons, printing by view, the command line, the autosave thread, the
// messages, and the plan editor end to end (a unit dragged from the palette into the room through
// the desktop, undone and redone, and the window's pixels against a kept image). The document
// operations are a recording double. To renew the kept image after a deliberate change: run with
// PLANNER_WRITE_FIXTURES=1, look at tests/fixtures/canvas/document_window.png and commit it.
#include <unistd.h>

#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorCanvas.h"
#include "calculation/zelvproCalculatorList.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/window/DocumentCommandLine.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/qxBkGndView.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "controls/zelvproConfiguratorPane.h"
#include "elements/base/RotationStep.h"
#include "elements/base/qxPrintPictures.h"
#include "elements/base/zelvproTopCanvas.h"
#include "framework/ApplicationSettings.h"
#include "framework/ToolTipControl.h"
#include "framework/ppApplication.h"
#include "framework/ppButton.h"
#include "framework/ppRegion.h"
#include "framework/ppSweeper.h"
#include "framework/ppSwitchBoard.h"
#include "framework/qxAdornerColors.h"
#include "platform/Controls.h"
#include "platform/MessageBox.h"
#include "platform/PngFile.h"
#include "platform/Tooltip.h"
#include "room/qxFloorElement.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "room/qxWallElement.h"
#include "room/zelvproRoomButtons.h"
#include "database/ScopedRecordBuffer.h"
#include "canvas/window/PrintResolutionHook.h"
#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/qxSkinObjectFil.h"
#include "framework/ppPicture.h"
#include <algorithm>
#include <map>
#include "scene3d/renderers/RenderSettings.h"

namespace {

using plat::RECT;

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}
std::string WindowFrame(ppView* view) {
  RECT r;
  view->GetWindowFrame(&r);
  return Str(r);
}

// The application: records its commands and quit requests. The button pictures and colours the
// fixture does not set it reads from the demo skin as the program's application does, so that the
// plan is drawn in the program's colours (the outlines and the selection are application colours; a
// plain test application answers white for them). Frame and fill pictures stay the fixture's: the
// demo skin's frame picture 1101 is a 200 x 4 divider bar, which as a frame would cover 100 pixels
// of every framed pane.
class RecordingApplication : public adorner_tests::TestApplication {
 public:
  ppPicture* GetPictureAt(int32_t base, int32_t offset) override {
    if (ppPicture* own = TestApplication::GetPictureAt(base, offset)) return own;
    if (SkinDatabase == nullptr || offset < 0 || offset > 4) return nullptr;
    return Kept(skinButtons_[{base, offset}], SkinDatabase->GetButtonPicture(base, offset));
  }
  ppRGBColor GetColor(int32_t id) override {
    if (colours.count(id) != 0) return colours[id];
    const char* colour = SkinColourRecord(id);
    if (colour == nullptr) return ppRGBColor{255, 255, 255};
    const auto packed = uint32_t(RecordField(SkinDatabase->ColorFile(), "rgba").Long(colour));
    auto byte = [](uint32_t percent) {
      return int32_t((std::min<uint32_t>(percent & 0xFF, 100) * 255 + 50) / 100);
    };
    return ppRGBColor{byte(packed >> 24), byte(packed >> 16), byte(packed >> 8)};
  }

  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  void ShowFrame() override { ++framesShown; }
  bool Quit() override {
    ++quits;
    return false;
  }
  std::vector<int32_t> commands;
  int32_t quits = 0;
  int32_t framesShown = 0;

 private:
  static ppPicture* Kept(std::unique_ptr<ppPicture>& slot, const ppPicture& picture) {
    if (slot == nullptr && !picture.IsEmpty()) slot = std::make_unique<ppPicture>(picture);
    return slot.get();
  }
  static const char* SkinColourRecord(int32_t id) {
    if (SkinDatabase == nullptr) return nullptr;
    qxSkinObjectFil& table = SkinDatabase->ColorFile();
    const int32_t record = table.FindRecordByKey(0, &id);
    if (record == 0) return nullptr;
    table.ReadRecord(record, nullptr);
    return table.GetRecordBuffer();
  }
  std::map<std::pair<int32_t, int32_t>, std::unique_ptr<ppPicture>> skinButtons_;
};

class RecordingDocument : public iDocumentCommands {
 public:
  void NewDocument() override { log.push_back("new"); }
  void OpenWithDialog() override { log.push_back("open"); }
  void Save() override { log.push_back("save"); }
  void SaveAs(int32_t viewId) override { log.push_back("save as " + std::to_string(viewId)); }
  void ExportText() override { log.push_back("export"); }
  bool AskSaveChanges() override {
    log.push_back("ask");
    return allowClose;
  }
  void CloseFile() override { log.push_back("close"); }
  void ResumeFromAutoSave() override { log.push_back("resume"); }
  void WriteAutoSave() override { log.push_back("autosave"); }
  void OpenFile(const DocumentFileRecord& file) override { opened.push_back(file.path); }
  std::vector<std::string> log;
  std::vector<std::u16string> opened;
  bool allowClose = true;
};

// The elevation pictures the plan asks for: the targets of the runs, and no picture.
class RecordingPictures : public qxPrintPictures {
 public:
  qxPictureResult Group(qxPictureItem* /*items*/, const plat::RECT& target) override {
    targets.push_back(Str(target));
    return {};
  }
  std::vector<std::string> targets;
};

// The window with its print job and scale question answered by the test.
class TestWindow : public zelvproWindow {
 public:
  using zelvproWindow::zelvproWindow;
  struct Job {
    int32_t orientation;
    bool elevations;
  };
  void PrintDocument(int32_t orientation) override { jobs.push_back({orientation, ElevationPrint()}); }
  bool AskDrawingScale() override {
    ++questions;
    SetDrawingChoice(0, layout);
    return scaleAnswer;
  }
  qxPrintPictures& PrintPictures() override { return pictures; }
  RecordingPictures pictures;
  std::vector<Job> jobs;
  int32_t questions = 0;
  bool scaleAnswer = true;
  int32_t layout = 0;
};

// A view that records the commands it is given and their parameter.
class CommandRecorder : public ppView {
 public:
  explicit CommandRecorder(ppView* supervisor) : ppView(supervisor) {}
  void DoCommand(int32_t command, intptr_t parameter) override {
    commands.push_back(command);
    if (command == zelvproWindow::kContextCommand) point = *reinterpret_cast<const plat::POINT*>(parameter);
  }
  std::vector<int32_t> commands;
  plat::POINT point{};
};

class DocumentWindowTest : public palettetest::PaletteTest {
 protected:
  void SetUp() override {
    PaletteTest::SetUp();
    // The recording application takes the place of the fixture's, keeping its pictures and colours.
    auto app = std::make_unique<RecordingApplication>();
    app->frames = std::move(app_->frames);
    app->colours = app_->colours;
    app_.reset();
    gApplication = app.get();
    recorder_ = app.get();
    app_ = std::move(app);
    delete window_;
    window_ = nullptr;
    settings_.roomDesign = true;
    SetRotationStep(0.7853982f);
    ppFileSpec skinFile(Vcon::WString(demo_->File("skin.cdb").string().c_str()));
    skin_ = std::make_unique<qxSkindb>(skinFile);
  }
  void TearDown() override {
    delete document_;
    document_ = nullptr;
    app_.reset();  // its pictures before the skin they came from
    skin_.reset();
    PaletteTest::TearDown();
  }

  TestWindow* Open(uint32_t flags1 = 0, std::string commandLine = "\"kitchen one.qxf\"") {
    settings_.flags1 = flags1;
    zelvproWindow::Parts parts;
    parts.application = application_.get();
    parts.catalogue = db_;
    parts.document = &commands_;
    parts.commandLine = std::move(commandLine);
    document_ = new TestWindow(RECT{0, 0, 1000, 700}, std::move(parts));
    plat::HeadlessDriver::RunUntilIdle();
    return document_;
  }
  void Close() {
    delete document_;
    document_ = nullptr;
  }

  // The rectangular room a new document has (millimetres: 1000 to 5000 along x, 1000 to 4500 along
  // z, walls 150 thick and 2350 high) on the window's new-room canvas, rebuilt with its floor.
  qxNewRoomCanvas* MakeRoom(TestWindow* w, float height = 2350) {
    qxNewRoomCanvas* room = w->EditorCanvasView()->Editor()->EditorScroller()->NewRoomCanvas();
    const ppVector3 corners[] = {{1000, 0, 1000}, {5000, 0, 1000}, {5000, 0, 4500}, {1000, 0, 4500}};
    zelvproTopViewFil& file = db_->TopViewFile();
    ScopedRecordBuffer<ppDatafile> record(file);
    for (int32_t i = 0; i < 4; ++i) {
      auto* wall = new qxRoomSegment(0, room, RECT{0, 0, 0, 0}, record.Get(), file.ShapeFile());
      wall->SetThickness(150);
      wall->SetHeight(height);
      wall->SetEnds(corners[i], corners[(i + 1) % 4]);
    }
    room->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    // The announcement of a rebuilt room fits it into the editor, as opening a document does.
    ppCollaborator announcer;
    announcer.Broadcast(zelvproEditorCanvas::kRoomChannel, zelvproEditorCanvas::kRoomRebuilt, 0);
    plat::HeadlessDriver::RunUntilIdle();
    return room;
  }
  // Presses on the unit's cell, moves in two steps after the click time and releases in the middle
  // of the editor's plan (inside a room fitted to it), all through the desktop.
  plat::POINT DragUnitIntoThePlan(TestWindow* w) {
    palette_ = w->Palette();
    hwnd_ = w->GetHWND();
    ShowGroup();
    RECT target;
    w->EditorCanvasView()->Editor()->GetWindowFrame(&target);
    const plat::POINT from = CellCentre(palettetest::kUnit);
    const plat::POINT to{(target.left + target.right) / 2, (target.top + target.bottom) / 2};
    Down(from);
    plat::LayerClock::Advance(1000);
    MoveTo({(from.x + to.x) / 2, (from.y + to.y) / 2});
    MoveTo(to);
    Up(to);
    plat::HeadlessDriver::RunUntilIdle();
    return to;
  }
  // The elements under `canvas` at any depth that are not parts of the room (walls and floors).
  static std::vector<zelvproElement*> UnitsOn(zelvproElement& canvas) {
    std::vector<zelvproElement*> out;
    ForEachChildElement(canvas, [&](zelvproElement* child) {
      const bool roomPart = dynamic_cast<qxRoomSegment*>(child) != nullptr ||
                            dynamic_cast<qxWallElement*>(child) != nullptr ||
                            child->kind == qxFloorElement::kKind;
      if (!roomPart) out.push_back(child);
      for (zelvproElement* inner : UnitsOn(*child)) out.push_back(inner);
    });
    return out;
  }
  // The box of the editor's pixels near the selection colour a placed unit is drawn in (its lines
  // are smoothed); empty (right < left) when there are none.
  RECT SelectionBox(TestWindow* w) {
    const ppRGBColor selected = gApplication->GetColor(0x402);
    // The selection colour, or its smooth edge over the white plan: the same share of the colour in
    // every channel, at least a third of it.
    auto near = [&](const ppRGBColor& c) {
      double low = 1, high = 0;
      for (const auto& [got, want] : {std::pair{c.red, selected.red}, std::pair{c.green, selected.green},
                                      std::pair{c.blue, selected.blue}}) {
        if (want >= 250) continue;
        const double share = double(255 - got) / double(255 - want);
        low = std::min(low, share);
        high = std::max(high, share);
      }
      return high - low < 0.2 && low > 0.33 && high < 1.2;
    };
    RECT r;
    w->EditorCanvasView()->Editor()->GetWindowFrame(&r);
    RECT box{r.right, r.bottom, r.left - 1, r.top - 1};
    for (int32_t y = r.top; y < r.bottom; ++y)
      for (int32_t x = r.left; x < r.right; ++x)
        if (near(WindowPixel(x, y)))
          box = RECT{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                     std::max(box.bottom, y)};
    return box;
  }
  int32_t SelectionPixels(TestWindow* w) {
    const RECT box = SelectionBox(w);
    return box.right < box.left ? 0 : (box.right - box.left + 1) * (box.bottom - box.top + 1);
  }

  std::unique_ptr<qxSkindb> skin_;
  RecordingApplication* recorder_ = nullptr;
  RecordingDocument commands_;
  TestWindow* document_ = nullptr;
};

// ---- Where the panes lie.

TEST_F(DocumentWindowTest, ThePanesLieWhereTheOptionsPutThem) {
  const struct {
    uint32_t flags1;
    const char *palette, *editorCanvas, *configurator, *canvases;
  } cases[] = {
      {0, "0,565,1001,700", "10,64,801,564", "803,64,993,559", "0,59,801,564"},
      {zelvproWindow::kOverviewFlag, "0,545,1001,700", "10,64,801,544", "803,64,993,539", "0,59,801,544"},
      {zelvproWindow::kConfiguratorLeftFlag, "0,565,1001,700", "209,64,995,564", "10,64,200,559",
       "199,59,995,564"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags1);
    TestWindow* w = Open(c.flags1);
    EXPECT_EQ(WindowFrame(w->Palette()), c.palette);
    EXPECT_EQ(WindowFrame(w->ViewBar()), "0,0,1001,62");
    EXPECT_EQ(WindowFrame(w->EditorCanvasView()), c.editorCanvas);
    EXPECT_EQ(WindowFrame(w->ConfiguratorPane()), c.configurator);
    EXPECT_EQ(Str(w->CalculationCanvas()->GetFrame()), c.canvases);
    EXPECT_EQ(Str(w->Canvas3DView()->GetFrame()), c.canvases);
    // The two canvases wait detached and hidden; the background lies behind every pane.
    EXPECT_EQ(w->CalculationCanvas()->GetSupervisor(), nullptr);
    EXPECT_EQ(w->Canvas3DView()->GetSupervisor(), nullptr);
    EXPECT_FALSE(w->Canvas3DView()->IsShown());
    EXPECT_EQ(w->Subviews().At(0), w->Background());
    EXPECT_EQ(Str(w->Background()->GetFrame()), "0,0,1001,701");
    // It fills only what the configurator, the editor and the palette leave.
    std::unique_ptr<ppRegion> back = w->Background()->GetFrameRegion();
    RECT editor, configurator;
    w->EditorCanvasView()->Editor()->GetWindowFrame(&editor);
    w->ConfiguratorPane()->GetWindowFrame(&configurator);
    EXPECT_TRUE(back->Contains(editor.left - 1, editor.top + 10));
    EXPECT_FALSE(back->Contains(editor.left + 30, editor.top + 30));  // past the ruler corner
    EXPECT_FALSE(back->Contains(configurator.left + 10, configurator.top + 10));
    EXPECT_FALSE(back->Contains(5, 690));
    // The editor's ruler corner paints nothing of its own: the background shows through it.
    RECT corner;
    w->EditorCanvasView()->Editor()->CornerPane()->GetWindowFrame(&corner);
    EXPECT_TRUE(back->Contains(corner.left + 5, corner.top + 5));
    // A hidden pane leaves its place to the background.
    w->ConfiguratorPane()->Hide();
    EXPECT_TRUE(w->Background()->GetFrameRegion()->Contains(configurator.left + 10, configurator.top + 10));
    w->ConfiguratorPane()->Show();
    EXPECT_FALSE(w->Background()->GetFrameRegion()->Contains(configurator.left + 10, configurator.top + 10));
    Close();
  }
}

TEST_F(DocumentWindowTest, TheWindowPublishesItsGreyTableAndIsTheHostUntilItGoes) {
  TestWindow* w = Open();
  ASSERT_EQ(DocumentColorTable(), w->GreyTable());
  const int32_t greys[] = {75, 90, 0, 40, 60, 40, 60, 80, 0, 100, 0, 100};
  for (int32_t i = 0; i < 12; ++i)
    EXPECT_EQ(DocumentColorTable()[i], (ppRGBColor{greys[i], greys[i], greys[i]}));
  EXPECT_EQ(&iElementHost::Current(), static_cast<iElementHost*>(w));
  EXPECT_EQ(iElementHost::Current().LayerPalette(), static_cast<zelvproLayerPalette*>(w->ViewBar()));
  EXPECT_EQ(iElementHost::Current().TopCanvas(),
            w->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas());
  EXPECT_NE(dynamic_cast<CanvasTaskFactory*>(&iElementTaskFactory::Current()), nullptr);
  EXPECT_EQ(ToolTipControl::DocumentTips() != nullptr, true);
  // The room design view's default panel (1000) came from the application database's layouts.
  ASSERT_NE(ppConfigurator::Host(), nullptr);
  EXPECT_FALSE(ppConfigurator::Host()->Tabs().empty());
  Close();
  EXPECT_EQ(DocumentColorTable(), nullptr);
  EXPECT_EQ(ToolTipControl::DocumentTips(), nullptr);
  EXPECT_EQ(iElementHost::Current().LayerPalette(), nullptr);
  EXPECT_EQ(dynamic_cast<CanvasTaskFactory*>(&iElementTaskFactory::Current()), nullptr);
}

// ---- The editor canvas on its own.

class EditorCanvasTest : public DocumentWindowTest {
 protected:
  void SetUp() override {
    DocumentWindowTest::SetUp();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 1001, 600);
    tips_ = std::make_unique<ToolTipControl>(window_);
    ToolTipControl::SetDocumentTips(tips_.get());
  }
  void TearDown() override {
    delete window_;
    window_ = nullptr;
    ToolTipControl::SetDocumentTips(nullptr);
    tips_.reset();
    DocumentWindowTest::TearDown();
  }
  zelvproEditorCanvas* Make(uint32_t flags1 = 0) {
    settings_.flags1 = flags1;
    auto* canvas = new zelvproEditorCanvas(window_, RECT{0, 0, 800, 500}, db_);
    plat::HeadlessDriver::RunUntilIdle();
    return canvas;
  }
  int32_t ToolCount() { return int32_t(plat::SendMessageW(tips_->Handle(), plat::TTM_GETTOOLCOUNT, 0, 0)); }
  // A unit of the demo's B40 in the editor's plan, selected.
  zelvproElement* SelectedUnit(zelvproEditorCanvas* canvas, uint32_t flags) {
    zelvproTopCanvas* top = canvas->Editor()->EditorScroller()->TopCanvas();
    zelvproElement* unit = db_->TopViewFile().CreateElement(
        palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"), eltest::Rect(100, 100, 160, 160), top);
    if (unit == nullptr) return nullptr;
    unit->flags |= flags;
    unit->Select(false);
    return unit;
  }
  static bool ReadOnly(zelvproRotatePanel* panel) {
    return (plat::GetWindowLongPtrA(panel->Field()->EditControl(), plat::GWL_STYLE) & plat::ES_READONLY) != 0;
  }
  std::unique_ptr<ToolTipControl> tips_;
};

TEST_F(EditorCanvasTest, TheEditorPanelAndButtonsLieAlongTheBottomEdge) {
  zelvproEditorCanvas* canvas = Make();
  EXPECT_EQ(Str(canvas->Editor()->GetFrame()), "0,0,770,470");
  EXPECT_EQ(Str(canvas->RotatePanel()->GetFrame()), "0,474,110,499");
  ASSERT_NE(canvas->HomeButton(), nullptr);
  EXPECT_EQ(Str(canvas->HomeButton()->GetFrame()), "774,474,798,498");
  EXPECT_EQ(Str(canvas->ZoomInButton()->GetFrame()), "729,474,753,498");
  EXPECT_EQ(Str(canvas->ZoomOutButton()->GetFrame()), "699,474,723,498");
  ASSERT_NE(canvas->RoomButtons(), nullptr);
  EXPECT_EQ(Str(canvas->RoomButtons()->GetFrame()), "110,474,224,498");
  EXPECT_EQ(Str(canvas->RotatePanel()->ClockwiseButton()->GetFrame()), "0,0,24,25");
  EXPECT_EQ(Str(canvas->RotatePanel()->CounterclockwiseButton()->GetFrame()), "30,0,54,25");
  canvas->RemoveToolTips();
  const int32_t none = ToolCount();
  canvas->AddToolTips(0);
  EXPECT_EQ(ToolCount(), none + 5);
  // A canvas that goes takes its tips with it.
  delete canvas;
  EXPECT_EQ(ToolCount(), 0);

  // Without zoom buttons there are no zoom tips either, and message 1012 still fits the plan.
  canvas = Make(zelvproEditorCanvas::kNoZoomButtonsFlag);
  EXPECT_EQ(canvas->HomeButton(), nullptr);
  EXPECT_EQ(canvas->ZoomInButton(), nullptr);
  EXPECT_EQ(canvas->ZoomOutButton(), nullptr);
  canvas->RemoveToolTips();
  const int32_t withoutZoom = ToolCount();
  canvas->AddToolTips(0);
  EXPECT_EQ(ToolCount(), withoutZoom + 2);
  zelvproLayerPalette& scale = *canvasHost_.palette;
  scale.SetScale(37.5);
  plat::POINT position{};
  const float fit = canvas->Editor()->EditorScroller()->ComputeFitScale(&position);
  ASSERT_NE(fit, 37.5f);
  ppCollaborator sender;
  sender.Broadcast(zelvproEditorCanvas::kRoomChannel, zelvproEditorCanvas::kRoomRebuilt, 0);
  EXPECT_FLOAT_EQ(float(scale.GetScale()), fit);
  delete canvas;
}

TEST_F(EditorCanvasTest, SelectionChangesPostOneSweeperAndTheSelectionIsWalkedOnce) {
  zelvproEditorCanvas* canvas = Make();
  zelvproRotatePanel* panel = canvas->RotatePanel();
  ASSERT_NE(SelectedUnit(canvas, 0), nullptr);
  const int32_t walks = canvas->SelectionWalks();
  const int32_t pending = ppSweeper::PendingCount();
  for (int32_t i = 0; i < 100; ++i) canvas->DoCommand(zelvproEditorCanvas::kSelectionChanged, 0);
  EXPECT_EQ(ppSweeper::PendingCount(), pending + 1);
  EXPECT_EQ(canvas->SelectionWalks(), walks);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(canvas->SelectionWalks(), walks + 1);
  EXPECT_FALSE(canvas->SweeperPending());
  EXPECT_EQ(panel->ClockwiseButton()->GetState(), ppButton::kNormal);
  // A canvas that goes with its sweeper pending leaves it nothing to do.
  canvas->DoCommand(zelvproEditorCanvas::kSelectionChanged, 0);
  delete canvas;
  plat::HeadlessDriver::RunUntilIdle();
}

TEST_F(EditorCanvasTest, ThePanelIsEnabledExactlyForASelectionOfFreeUnits) {
  const struct {
    const char* name;
    int32_t units;  // selected units
    uint32_t flags;
    int32_t state;
  } cases[] = {{"nothing selected", 0, 0, ppButton::kDisabled},
               {"a fixed unit", 1, 2, ppButton::kDisabled},
               {"a free unit", 1, 0, ppButton::kNormal},
               {"free units, other flags", 2, 0x1 | 0x4, ppButton::kNormal}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    zelvproEditorCanvas* canvas = Make();
    for (int32_t i = 0; i < c.units; ++i) ASSERT_NE(SelectedUnit(canvas, c.flags), nullptr);
    canvas->DoCommand(zelvproEditorCanvas::kSelectionChanged, 0);
    plat::HeadlessDriver::RunUntilIdle();
    zelvproRotatePanel* panel = canvas->RotatePanel();
    EXPECT_EQ(panel->ClockwiseButton()->GetState(), c.state);
    EXPECT_EQ(panel->CounterclockwiseButton()->GetState(), c.state);
    EXPECT_EQ(ReadOnly(panel), c.state == ppButton::kDisabled);
    delete canvas;
  }
}

TEST_F(EditorCanvasTest, TheRoomButtonsFollowTheViewModeAndTheTurnButtonsTellTheApplication) {
  zelvproEditorCanvas* canvas = Make();
  zelvproRoomButtons* room = canvas->RoomButtons();
  ASSERT_NE(room, nullptr);
  const struct {
    int32_t view;
    bool shown;
  } steps[] = {{2004, false}, {2012, false}, {2016, true}, {2012, true},
               {2020, false}, {2016, true},  {2056, false}};
  for (const auto& s : steps) {
    canvas->DoCommand(s.view, 0);
    EXPECT_EQ(room->IsShown(), s.shown) << s.view;
  }

  SelectedUnit(canvas, 0);
  canvas->DoCommand(zelvproEditorCanvas::kSelectionChanged, 0);
  plat::HeadlessDriver::RunUntilIdle();
  for (ppButton* button :
       {canvas->RotatePanel()->ClockwiseButton(), canvas->RotatePanel()->CounterclockwiseButton()}) {
    RECT r;
    button->GetWindowFrame(&r);
    const plat::POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    // The button tracks its press until the release is queued: both go in before the queue runs.
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(button->GetState(), ppButton::kNormal);
  }
  EXPECT_EQ(recorder_->commands, (std::vector<int32_t>{4008, 4009}));
  delete canvas;
}

// ---- The rotation panel's property.

TEST_F(EditorCanvasTest, RotationReadsDegreesAndStoresRadiansStrictlyBetweenZeroAndAFullTurn) {
  zelvproEditorCanvas* canvas = Make();
  zelvproRotatePanel& panel = *canvas->RotatePanel();
  EXPECT_EQ(panel.IndexOf("Rotation"), 0);
  EXPECT_EQ(panel.IndexOf("rotation"), -1);
  EXPECT_EQ(panel.IndexOf("Angle"), -1);
  EXPECT_EQ(panel.GetPropertyCount(), 1);
  EXPECT_EQ(panel.NameAt(0), Vcon::String("Rotation"));
  EXPECT_EQ(panel.NameAt(1), Vcon::String(""));
  const ppParameter start = panel.GetValue(0);
  EXPECT_EQ(start.Type(), ppParameter::kFloat);
  EXPECT_FLOAT_EQ(start.ToFloat(), 45.0f);
  EXPECT_EQ(std::u16string(panel.Field()->GetControlText()).substr(0, 2), u"45");

  panel.SetValue(0, ppParameter(90.0f));
  EXPECT_EQ(std::bit_cast<uint32_t>(RotationStep()), 0x3FC90FDBu);
  for (float refused : {0.0f, 360.0f, -10.0f, 400.0f}) {
    panel.SetValue(0, ppParameter(refused));
    EXPECT_EQ(std::bit_cast<uint32_t>(RotationStep()), 0x3FC90FDBu) << refused;
  }
  delete canvas;
}

// The panel is a strip along the editor's bottom edge, just above the element palette: its one field
// has no tab of its own and, with its edit box, stays inside the strip, so that nothing of it covers
// what lies below.
TEST_F(EditorCanvasTest, TheRotationFieldHasNoTabAndStaysInsideThePanel) {
  zelvproEditorCanvas* canvas = Make();
  zelvproRotatePanel& panel = *canvas->RotatePanel();
  for (const ppConfigTab* tab : panel.Configurator()->Tabs()) {
    const RECT r = tab->GetFrame();
    EXPECT_TRUE(r.right <= r.left || r.bottom <= r.top) << "a tab at " << Str(r);
  }
  RECT strip{}, field{}, edit{};
  panel.GetWindowFrame(&strip);
  panel.Field()->GetWindowFrame(&field);
  plat::GetWindowRect(panel.Field()->EditControl(), &edit);
  plat::POINT origin{0, 0};
  plat::ClientToScreen(panel.GetHWND(), &origin);
  edit = {edit.left - origin.x, edit.top - origin.y, edit.right - origin.x, edit.bottom - origin.y};
  for (const RECT& r : {field, edit}) {
    EXPECT_GT(r.bottom - r.top, 10) << Str(r);
    EXPECT_TRUE(r.left >= strip.left && r.top >= strip.top && r.right <= strip.right &&
                r.bottom <= strip.bottom)
        << Str(r) << " outside the panel " << Str(strip);
  }
  delete canvas;
}

// ---- Commands and messages of the window.

TEST_F(DocumentWindowTest, PrintChoosesItsOrientationAndScaleQuestionByView) {
  // 2020 is the starting view when room design is not offered; the others have their buttons.
  const struct {
    int32_t view;
    bool answer;
    int32_t layout;
    int32_t questions;
    std::vector<std::pair<int32_t, bool>> jobs;
  } cases[] = {{2012, true, 0, 0, {{ppPrinting::kPortrait, false}}},
               {2024, true, 0, 0, {{ppPrinting::kLandscape, false}}},
               {2020, false, 1, 1, {}},
               {2020, true, 1, 1, {{ppPrinting::kLandscape, true}}},
               {2020, true, 0, 1, {{ppPrinting::kLandscape, false}}},
               {2004, true, 0, 1, {{ppPrinting::kLandscape, false}}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.view);
    settings_.roomDesign = c.view != 2020;
    TestWindow* w = Open();
    if (c.view != 2020) w->ViewBar()->SelectViewById(c.view);
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_EQ(w->CurrentViewId(), c.view);
    w->scaleAnswer = c.answer;
    w->layout = c.layout;
    w->DoCommand(zelvproWindow::kPrint, 0);
    EXPECT_EQ(w->questions, c.questions);
    ASSERT_EQ(w->jobs.size(), c.jobs.size());
    for (size_t i = 0; i < c.jobs.size(); ++i) {
      EXPECT_EQ(w->jobs[i].orientation, c.jobs[i].first);
      EXPECT_EQ(w->jobs[i].elevations, c.jobs[i].second);
    }
    EXPECT_FALSE(w->ElevationPrint());
    Close();
  }
}

TEST_F(DocumentWindowTest, TheCommandLineNamesTheDocumentToOpenOrTheAutosaveIsResumed) {
  Open(0, "\"kitchen one.qxf\"");
  EXPECT_EQ(commands_.opened, (std::vector<std::u16string>{u"kitchen one.qxf"}));
  Close();
  Open(0, "\"kitchen one.qxf");
  EXPECT_EQ(commands_.opened.back(), u"kitchen one.qxf");
  Close();
  Open(0, "k\xC3\xB8kken.qxf");
  EXPECT_EQ(commands_.opened.back(), u"k\u00F8kken.qxf");
  Close();
  commands_.log.clear();
  Open(0, "");
  EXPECT_EQ(commands_.opened.size(), 3u);
  EXPECT_EQ(commands_.log, (std::vector<std::string>{"resume"}));

  EXPECT_EQ(std::u16string(DocumentPathFromCommandLine("\"\"")), u"");
  EXPECT_EQ(std::u16string(DocumentPathFromCommandLine("\"")), u"");
  EXPECT_EQ(std::u16string(DocumentPathFromCommandLine("plain.qxf")), u"plain.qxf");
}

TEST_F(DocumentWindowTest, TheDocumentCommandsReachTheDocumentAndCloseAsksFirst) {
  TestWindow* w = Open();
  commands_.log.clear();
  for (int32_t command : {11, 12, 14, 15, 16, 4020, 3056}) w->DoCommand(command, 0);
  EXPECT_EQ(commands_.log,
            (std::vector<std::string>{"new", "open", "save", "save as 2016", "export", "autosave"}));
  commands_.log.clear();
  commands_.allowClose = false;
  EXPECT_FALSE(w->CanClose());
  commands_.allowClose = true;
  EXPECT_TRUE(w->CanClose());
  EXPECT_EQ(commands_.log, (std::vector<std::string>{"ask", "ask", "close"}));
}

TEST_F(DocumentWindowTest, TheAutosaveThreadRunsAndStopsWithTheWindow) {
  zelvproDocFil doc(*db_);
  ASSERT_EQ(DocumentRecordFile, &doc);
  Open();
  // The thread holds the document window; the window's end stops it before anything goes.
  Close();
  EXPECT_EQ(&iElementHost::Current() == nullptr, false);
  EXPECT_EQ(iElementHost::Current().LayerPalette(), nullptr);
  EXPECT_EQ(dynamic_cast<CanvasTaskFactory*>(&iElementTaskFactory::Current()), nullptr);
}

TEST_F(DocumentWindowTest, MessagesCloseContextMenuAndSwallowedNotifications) {
  TestWindow* w = Open();
  const plat::HWND hwnd = w->GetHWND();
  EXPECT_EQ(w->HandleMessage(plat::WM_CLOSE, 0, 0), 1);
  EXPECT_EQ(recorder_->quits, 1);
  EXPECT_TRUE(plat::IsWindow(hwnd));

  // Becoming current makes it active (the key target); losing that makes it inactive.
  EXPECT_TRUE(w->IsActive());
  w->HandleMessage(plat::WM_ACTIVATE, plat::WA_INACTIVE, 0);
  EXPECT_FALSE(w->IsActive());
  w->HandleMessage(plat::WM_ACTIVATE, 1, 0);
  EXPECT_TRUE(w->IsActive());

  for (int32_t code : {-860, -861}) {
    plat::NMHDR header{};
    header.code = plat::UINT(code);
    EXPECT_EQ(w->HandleMessage(plat::WM_NOTIFY, 0, reinterpret_cast<plat::LPARAM>(&header)), 0);
  }

  // The view under the home button hears 4010 with the screen point.
  ppButton* home = w->EditorCanvasView()->HomeButton();
  auto* listener = new CommandRecorder(home);
  listener->SetFrame(RECT{0, 0, home->Width(), home->Height()});
  RECT r;
  home->GetWindowFrame(&r);
  plat::POINT origin{0, 0};
  plat::ClientToScreen(hwnd, &origin);
  const plat::POINT at{origin.x + r.left + 3, origin.y + r.top + 4};
  const auto lParam = plat::LPARAM(uint16_t(at.x) | (uint32_t(uint16_t(at.y)) << 16));
  EXPECT_EQ(w->HandleMessage(plat::WM_CONTEXTMENU, 0, lParam), 1);
  EXPECT_EQ(listener->commands, (std::vector<int32_t>{zelvproWindow::kContextCommand}));
  EXPECT_EQ(listener->point.x, at.x);
  EXPECT_EQ(listener->point.y, at.y);
  // A screen point left of and above the first screen: no view there.
  const auto outside = plat::LPARAM(uint16_t(int16_t(-40)) | (uint32_t(uint16_t(int16_t(-3))) << 16));
  EXPECT_EQ(w->HandleMessage(plat::WM_CONTEXTMENU, 0, outside), 0);
  EXPECT_EQ(listener->commands.size(), 1u);
}

// ---- End to end.

// The program starts in the room design view when room design is offered: there the new-room canvas
// is the plan the editor shows, so the unit lands on it, in its history.
TEST_F(DocumentWindowTest, AUnitDraggedIntoTheRoomInTheStartingViewIsPlacedUndoneAndRedone) {
  zelvproDocFil doc(*db_);
  TestWindow* w = Open(0, "");
  ASSERT_EQ(w->CurrentViewId(), 2016);
  qxNewRoomCanvas* room = MakeRoom(w);
  ppUndoer& history = *room;
  ASSERT_EQ(history.DoneTop(), nullptr);
  ASSERT_FALSE(doc.IsModified());

  const plat::POINT released = DragUnitIntoThePlan(w);
  std::vector<zelvproElement*> placed = UnitsOn(*room);
  ASSERT_EQ(placed.size(), 1u);
  EXPECT_TRUE(UnitsOn(*w->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas()).empty());
  ASSERT_NE(history.DoneTop(), nullptr);
  EXPECT_EQ(history.DoneTop()->IsUndone(), false);
  EXPECT_TRUE(doc.IsModified());

  Repaint();
  // Drawn where it was let go: the unit's corner lies at the release point, the plan scrolled to
  // fit the room.
  const RECT unit = SelectionBox(w);
  EXPECT_LE(std::abs(unit.left - released.x), 3) << Str(unit);
  EXPECT_LE(std::abs(unit.top - released.y), 3) << Str(unit);
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/canvas/document_window.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/document_window-actual.png";
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(hwnd_, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) plat::HeadlessDriver::DumpPng(hwnd_, kept);
  std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  std::unique_ptr<plat::Surface> drawn = plat::ReadPng(actual);
  ASSERT_TRUE(expected && drawn) << "missing " << kept << "; the window is in " << actual;
  const plat::PixelDifference diff = plat::ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;

  // Undo and Redo through the window reach the history of the canvas the view shows.
  w->DoCommand(zelvproCanvas::kUndo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(history.DoneTop(), nullptr);
  EXPECT_TRUE(UnitsOn(*room).empty());
  Repaint();
  EXPECT_EQ(SelectionPixels(w), 0);
  w->DoCommand(zelvproCanvas::kRedo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(UnitsOn(*room).size(), 1u);
  EXPECT_NE(history.DoneTop(), nullptr);
  palette_ = nullptr;
}

TEST_F(DocumentWindowTest, AUnitDraggedFromThePaletteIntoTheRoomIsPlacedUndoneAndRedone) {
  zelvproDocFil doc(*db_);
  settings_.roomDesign = false;
  TestWindow* w = Open(0, "");
  ASSERT_EQ(w->CurrentViewId(), 2020);
  MakeRoom(w);
  zelvproTopCanvas* top = w->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  ppUndoer& history = *top;
  ASSERT_EQ(history.DoneTop(), nullptr);
  ASSERT_FALSE(doc.IsModified());

  DragUnitIntoThePlan(w);
  std::vector<zelvproElement*> placed = UnitsOn(*top);
  ASSERT_EQ(placed.size(), 1u);
  ASSERT_NE(history.DoneTop(), nullptr);
  EXPECT_TRUE(doc.IsModified());
  Repaint();
  EXPECT_GT(SelectionPixels(w), 0) << "the placed unit is not drawn";
  // Undo through the window's command path takes the unit away (the undo is the only entry), Redo
  // brings it back.
  w->DoCommand(zelvproCanvas::kUndo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(history.DoneTop(), nullptr);
  EXPECT_TRUE(UnitsOn(*top).empty());
  w->DoCommand(zelvproCanvas::kRedo, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(UnitsOn(*top).size(), 1u);
  palette_ = nullptr;
}

// ---- What the 3D panes ask of the window for their pictures and prints.

TEST_F(DocumentWindowTest, ThePanesReadTheRoomsHeightAndFloorAndTheApplicationsColourAndResolution) {
  TestWindow* w = Open(0, "");
  i3DPaneHost& host = *w;
  float x = -1, z = -1;
  // No room yet: nothing to measure.
  host.FloorExtent(&x, &z);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(z, 0.0f);
  EXPECT_EQ(host.RoomHeight(), 0.0f);

  MakeRoom(w, 2600);
  host.FloorExtent(&x, &z);
  qxNewRoomCanvas* room = w->EditorCanvasView()->Editor()->EditorScroller()->NewRoomCanvas();
  ASSERT_NE(room->FindFloor(), nullptr);
  EXPECT_EQ(x, room->GetFloorExtent().x);
  EXPECT_EQ(z, room->GetFloorExtent().y);
  EXPECT_GT(x, 3500.0f);
  EXPECT_GT(z, 3000.0f);
  EXPECT_FLOAT_EQ(host.RoomHeight(), 2600.0f);

  // The plan picture's background: what the pane sets is what the renderers read from then on.
  const ppFloat4 grey(0.25f, 0.5f, 0.75f, 1.0f);
  host.SetSettingsColor(1022, grey);
  for (const ppFloat4& read : {ApplicationColorF(1022), host.SettingsColor(1022)})
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(read.v[i], grey.v[i]) << i;
  EXPECT_EQ(ApplicationColorF(1021).v[0], 1.0f);

  // The print resolution is the application's once it installs its reader; 180 until then.
  EXPECT_EQ(host.PrintResolution(), 180);
  PrintResolutionHook::Install([] { return int32_t(300); });
  EXPECT_EQ(host.PrintResolution(), 300);
  PrintResolutionHook::Install([] { return int32_t(0); });
  EXPECT_EQ(host.PrintResolution(), 180);
  PrintResolutionHook::Install(nullptr);
  EXPECT_EQ(host.PrintResolution(), 180);
}

// ---- Remote commands (3044) and the application's picture export.

TEST_F(DocumentWindowTest, RemoteCommandsOpenStartNewDocumentsOrReportAndTheRecordGoesAfterUse) {
  // A file whose name reads like an option: being there, it opens as it is.
  const std::filesystem::path saved = std::filesystem::current_path();
  const std::filesystem::path folder =
      std::filesystem::path(::testing::TempDir()) / ("remote-commands-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "-d 18") << "x";
  const std::filesystem::path absolute = folder / "kitchen -b.qxf";
  std::ofstream(absolute) << "x";
  std::filesystem::current_path(folder);

  const std::u16string longName(300, u'a'), cut(255, u'a');
  const std::u16string absolutePath = Vcon::WString(absolute.string().c_str());
  const struct {
    const char* name;
    std::u16string text;
    std::vector<std::u16string> opened;
    int32_t newDocuments;
    int32_t frames;
    std::u16string box;  // empty: none
  } cases[] = {
      {"delete", u"-d 17", {}, 1, 0, u"Delete Document er kaldt med 17 som argument"},
      {"generate", u"-b1,2,3", {}, 1, 0, u"Generate BMP er kaldt med 1, 2, 3, , ,  som argumenter"},
      {"open", u"-o 1 \"kitchen one.qxf\" 3", {u"kitchen one.qxf"}, 0, 1, u""},
      {"open, tabs and commas", u"/o\t1,,k.qxf", {u"k.qxf"}, 0, 1, u""},
      {"new", u"-n", {}, 1, 1, u""},
      {"open without a path", u"-o 1", {}, 1, 1, u""},
      {"unknown letter", u"-x 1 2", {}, 0, 0, u""},
      {"plain path", u"kitchen two.qxf", {u"kitchen two.qxf"}, 0, 1, u""},
      {"existing file named like an option", u"-d 18", {u"-d 18"}, 0, 1, u""},
      {"absolute path", absolutePath, {absolutePath}, 0, 1, u""},
      {"long path", u"-n 1 " + longName, {cut}, 0, 1, u""},
      {"long argument", u"-d " + longName, {}, 1, 0, (u"Delete Document er kaldt med " + cut).substr(0, 255)},
  };
  TestWindow* w = Open(0, "");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    commands_.log.clear();
    commands_.opened.clear();
    recorder_->framesShown = 0;
    plat::ClearMessageBoxLog();
    // Posted as another start of the program does: the window owns the record once it is handed over.
    auto* file = new DocumentFileRecord(Vcon::WString(c.text));
    ASSERT_TRUE(plat::PostMessageA(w->GetHWND(), plat::WM_COMMAND, zelvproWindow::kOpenFile,
                                   reinterpret_cast<plat::LPARAM>(file)));
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(commands_.opened, c.opened);
    EXPECT_EQ(std::count(commands_.log.begin(), commands_.log.end(), "new"), c.newDocuments);
    EXPECT_EQ(recorder_->framesShown, c.frames);
    const std::vector<plat::MessageBoxRecord> boxes = plat::MessageBoxLog();
    ASSERT_EQ(boxes.size(), c.box.empty() ? 0u : 1u);
    if (!c.box.empty()) {
      EXPECT_EQ(boxes[0].text, c.box);
      EXPECT_EQ(boxes[0].caption, u"Remote Call");
      EXPECT_EQ(boxes[0].style, plat::MB_OK);
      EXPECT_EQ(boxes[0].owner, w->GetHWND());
    }
  }
  plat::ClearMessageBoxLog();
  std::filesystem::current_path(saved);
  std::filesystem::remove_all(folder);
}

TEST_F(DocumentWindowTest, TheApplicationsPictureExportReachesTheTopCanvasThroughTheWindow) {
  TestWindow* w = Open(0, "");
  // An empty plan has no run to draw.
  recorder_->ppApplication::DoCommand(zelvproWindow::kExportElevationPictures, 0);
  EXPECT_TRUE(w->pictures.targets.empty());

  zelvproTopCanvas* top = w->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  ASSERT_NE(db_->TopViewFile().CreateElement(palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"),
                                             eltest::Rect(100, 100, 160, 160), top),
            nullptr);
  // The application hands its commands to its target, the window, which runs the export on the plan.
  recorder_->ppApplication::DoCommand(zelvproWindow::kExportElevationPictures, 0);
  EXPECT_EQ(w->pictures.targets, (std::vector<std::string>{"0,0,1024,768"}));
}

// ---- The calculation canvas.

TEST_F(DocumentWindowTest, TheItemListViewShowsThePriceListCanvasAndLeavingItHidesIt) {
  // The canvas reads its bar option from the framework's copy of the settings.
  const uint32_t savedFlags1 = ApplicationFlags1();
  const struct {
    uint32_t flags1;
    bool bar;
  } cases[] = {{0, false}, {zelvproCalculatorCanvas::kButtonBar, true}};
  int32_t shownTips[2] = {}, leftTips[2] = {};
  for (int32_t i = 0; i < 2; ++i) {
    const auto& c = cases[i];
    SCOPED_TRACE(c.flags1);
    SetApplicationFlags1(c.flags1);
    TestWindow* w = Open(c.flags1, "");
    auto* canvas = dynamic_cast<zelvproCalculatorCanvas*>(w->CalculationCanvas());
    ASSERT_NE(canvas, nullptr);
    ASSERT_EQ(zelvproCalculatorCanvas::Current(), canvas);
    ASSERT_EQ(w->CurrentViewId(), 2016);
    EXPECT_EQ(canvas->GetSupervisor(), nullptr);
    EXPECT_FALSE(canvas->IsShown());
    ToolTipControl* tips = ToolTipControl::DocumentTips();
    ASSERT_NE(tips, nullptr);
    auto toolCount = [&] {
      return int32_t(plat::SendMessageW(tips->Handle(), plat::TTM_GETTOOLCOUNT, 0, 0));
    };

    w->ViewBar()->SelectViewById(2012);
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_EQ(w->CurrentViewId(), 2012);
    EXPECT_EQ(canvas->GetSupervisor(), w);
    EXPECT_TRUE(canvas->IsShown());
    EXPECT_FALSE(w->EditorCanvasView()->IsShown());
    // The work area is 801 by 505: the pane keeps 10 pixels left, 5 above and 30 right and below.
    EXPECT_EQ(Str(canvas->GetFrame()), "0,59,801,564");
    EXPECT_EQ(Str(canvas->Pane()->GetFrame()), "10,5,771,475");
    ASSERT_EQ(canvas->Bar() != nullptr, c.bar);
    if (c.bar) {
      EXPECT_EQ(Str(canvas->Bar()->GetFrame()), "300,479,504,503");
      EXPECT_TRUE(canvas->Bar()->IsShown());
    }
    shownTips[i] = toolCount();
    // The application database has the item list's panel; it stands beside the list.
    ASSERT_NE(ppConfigurator::Host(), nullptr);
    ASSERT_NE(ppConfigurator::Host()->CurrentPanel(), nullptr);
    EXPECT_EQ(std::u16string(ppConfigurator::Host()->CurrentPanel()->Caption()), u"Prices");

    w->ViewBar()->SelectViewById(2016);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(canvas->GetSupervisor(), nullptr);
    EXPECT_FALSE(canvas->IsShown());
    EXPECT_TRUE(w->EditorCanvasView()->IsShown());
    leftTips[i] = toolCount();
    Close();
    EXPECT_EQ(zelvproCalculatorCanvas::Current(), nullptr);
  }
  SetApplicationFlags1(savedFlags1);
  // The bar's five tips are there while the list is shown and go with it.
  EXPECT_EQ(shownTips[1], shownTips[0] + 5);
  EXPECT_EQ(leftTips[1], leftTips[0]);
}

TEST_F(DocumentWindowTest, WithoutAnApplicationDatabaseTheItemListShowsTheCanvassOwnPanel) {
  settings_.flags1 = 0;
  zelvproWindow::Parts parts;
  parts.catalogue = db_;
  parts.document = &commands_;
  document_ = new TestWindow(RECT{0, 0, 1000, 700}, std::move(parts));
  plat::HeadlessDriver::RunUntilIdle();
  document_->ViewBar()->SelectViewById(2012);
  plat::HeadlessDriver::RunUntilIdle();
  ASSERT_NE(ppConfigurator::Host(), nullptr);
  ASSERT_NE(ppConfigurator::Host()->CurrentPanel(), nullptr);
  EXPECT_EQ(std::u16string(ppConfigurator::Host()->CurrentPanel()->Caption()), u"Calculation");
  EXPECT_EQ(ppConfigurator::Host()->Tabs().size(), 1u);
}

}  // namespace
