// The price list pane and the calculation canvas in a headless stand-in of the document window: a
// host with a layer palette double, a top canvas, a recording editor and the window's tool-tip
// control; a real configurator beside the canvas. Lines come from the bar's messages, clicks and
// keys; drawing is read from the drawn-text log and a kept image (to renew it after a deliberate
// change run with PLANNER_WRITE_FIXTURES=1, look at tests/fixtures/calculation/price_pane.png and
// commit it).
#include <gtest/gtest.h>

#include <array>
#include <cctype>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "CalculationTestSupport.h"
#include "calculation/CalculatorColumnFile.h"
#include "calculation/CalculatorFieldVisibility.h"
#include "calculation/ItemSheetPrintFlag.h"
#include "calculation/PriceListTable.h"
#include "calculation/iPriceListPrintRecorder.h"
#include "calculation/zelvproCalculatorButtons.h"
#include "calculation/zelvproCalculatorCanvas.h"
#include "calculation/zelvproCalculatorList.h"
#include "catalogue/databases/zelvDatabase.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproPreviewFil.h"
#include "catalogue/records/zelvproTopViewFil.h"
#include "catalogue/records/zelvproUnitFil.h"
#include "catalogue/records/zelvproDocFil.h"
#include "controls/DisplayListLayout.h"
#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/base/zelvproElement.h"
#include "elements/base/zelvproLayerPalette.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/iCalculationUpdate.h"
#include "foundation/LengthText.h"
#include "foundation/PosixPath.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ApplicationSettings.h"
#include "framework/ToolTipControl.h"
#include "framework/iElementServices.h"
#include "framework/ppButton.h"
#include "framework/ppControlView.h"
#include "framework/ppDC.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppScrollBar.h"
#include "framework/ppSweeper.h"
#include "framework/ppSwitchBoard.h"
#include "framework/ppTask.h"
#include "framework/ppUndoer.h"
#include "framework/ppWindow.h"
#include "platform/Accelerator.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/LayerClock.h"
#include "platform/PngFile.h"
#include "platform/Printing.h"
#include "platform/Surface.h"
#include "platform/TextLog.h"
#include "platform/Tooltip.h"
#include "platform/WindowApi.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "scene3d/panes/qxPrintPage.h"

namespace {

using Line = zelvproCalculatorFil;
using Pane = zelvproCalculatorList;

class Palette : public zelvproLayerPalette {
 public:
  void PassViewCommand(int32_t command, intptr_t) override { passed.push_back(command); }
  std::vector<int32_t> passed;
};

class Editor : public ppEventHandler {
 public:
  void DoCommand(int32_t command, intptr_t) override { commands.push_back(command); }
  std::vector<int32_t> commands;
};

// The document window as the plan and the price list reach it.
class WindowHost : public calctest::TagHost {
 public:
  zelvproLayerPalette* LayerPalette() override { return &palette; }
  zelvproElement* TopCanvas() override { return top; }
  zelvproElement* NewRoomCanvas() override { return room; }
  plat::HWND DocumentWindow() override { return window; }
  ppEventHandler* EditorCanvas() override { return &editor; }
  void ShowDefaultConfigurator() override { ++defaultPanels; }
  void MarkDocumentModified() override { ++modified; }
  Palette palette;
  Editor editor;
  zelvproElement* top = nullptr;
  zelvproElement* room = nullptr;
  plat::HWND window = nullptr;
  int32_t defaultPanels = 0;
  int32_t modified = 0;  // the times the document was marked modified
};

// An element whose quantity the price list edits.
class OwnQuantityElement : public zelvproElement {
 public:
  OwnQuantityElement() : zelvproElement(0, nullptr, plat::RECT{0, 0, 10, 10}, nullptr, 0, 0) {
    SetQuantityEditable(true);
  }
};

// An element of a catalogue with three colours, of which `mask` says which groups it uses.
class ColouredElement : public zelvproElement {
 public:
  explicit ColouredElement(zelvDatabase* db)
      : zelvproElement(0, nullptr, plat::RECT{0, 0, 10, 10}, db, 0, 0) {}
  uint32_t CollectBitMask(bool) override { return mask; }
  int32_t GetColorRecordIdClamped(int32_t index) override {
    return index >= 1 && index <= 3 ? colours[size_t(index - 1)] : 0;
  }
  uint32_t mask = 0;
  std::array<int32_t, 3> colours{};
};

// A task whose undo and redo touch its element.
class TouchTask : public ppTask {
 public:
  explicit TouchTask(zelvproElement* element) : ppTask(element), element_(element) {}
  void Undo() override { element_->SetQuantityEditable(false); }
  void Redo() override { element_->SetQuantityEditable(true); }

 private:
  zelvproElement* element_;
};

class Texts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number < 1128 || number > 1132) return false;
    text = Vcon::WString(u"Tip ") + Vcon::WString(std::u16string(1, char16_t(u'0' + number - 1128)));
    return true;
  }
};

class PriceListPaneTest : public calctest::CalculationTest {
 protected:
  void SetUp() override {
    plat::HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    // A folder of its own without settings: the build folder holds the demo's column files, which
    // would replace the built-in columns these tests draw.
    startFolder_ = std::filesystem::current_path();
    ownFolder_ = std::filesystem::temp_directory_path() / ("price_pane_start_" + std::to_string(::getpid()));
    std::filesystem::create_directories(ownFolder_);
    std::filesystem::current_path(ownFolder_);
    CalculationTest::SetUp();
    plat::LayerClock::SetManual(100000);
    app_ = std::make_unique<adorner_tests::TestApplication>();
    RegisterControlViewClass();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 900, 1320);
    plat::SetFocus(hwnd_);
    configurator_ = new ppConfigurator(window_, {600, 0, 900, 420}, nullptr, false);
    SetConfiguratorHost(configurator_);
    tips_ = std::make_unique<ToolTipControl>(window_);
    ToolTipControl::SetDocumentTips(tips_.get());
    top_ = std::make_unique<zelvproTopCanvas>(nullptr, plat::RECT{0, 0, 400, 300}, nullptr);
    host_.top = top_.get();
    host_.window = hwnd_;
    host_.tags = tags_.get();
    iElementHost::Install(&host_);
    ppSwitchBoard::MessageIdByName(Pane::kUpdateMessage, true);
    savedFlags1_ = ApplicationFlags1();
    savedFlags2_ = ApplicationFlags2();
    SetApplicationFlags1(zelvproCalculatorCanvas::kButtonBar);
    SetApplicationFlags2(0);
  }
  void TearDown() override {
    delete canvas_;  // before the window, while the configurator still holds the line panel
    canvas_ = nullptr;
    delete window_;
    ppPendingDeletions::DeleteAll();
    ToolTipControl::SetDocumentTips(nullptr);
    tips_.reset();
    top_.reset();
    SetConfiguratorHost(nullptr);
    SetTextSource(nullptr);
    SetApplicationFlags1(savedFlags1_);
    SetApplicationFlags2(savedFlags2_);
    ExtrasCatalogDatabase = nullptr;
    doc_.reset();
    app_.reset();
    iElementHost::Install(&host_);
    CalculationTest::TearDown();
    plat::HeadlessDriver::Reset();
    std::filesystem::current_path(startFolder_);
    std::error_code ignored;
    std::filesystem::remove_all(ownFolder_, ignored);
  }

  Pane& MakeCanvas(plat::RECT frame = {0, 0, 600, 400}) {
    canvas_ = new zelvproCalculatorCanvas(window_, frame, Db(1));
    canvas_->Show();
    plat::HeadlessDriver::RunUntilIdle();
    return *canvas_->Pane();
  }
  Pane& ThePane() { return *canvas_->Pane(); }
  // The edit field of the shown line panel bound to `property`, or null.
  ppEditTextField* PanelField(const char* property) {
    for (ppField* f = configurator_->CurrentPanel()->FirstField(); f != nullptr; f = f->NextField()) {
      auto* unit = dynamic_cast<ppPropertyDataUnit*>(f->DataUnit());
      if (unit != nullptr && std::string(unit->Binding().Name().c_str()) == property)
        return dynamic_cast<ppEditTextField*>(f);
    }
    return nullptr;
  }
  Line& Table() { return ThePane().LineFile(); }

  // Appends a line straight into the pane's table (as a rebuild would) and shows it.
  int32_t Put(int32_t type, int32_t id, std::vector<std::pair<const char*, ppParameter>> more = {},
              zelvproElement* element = nullptr) {
    Line& t = Table();
    t.BeginAccess();
    t.ClearRecordBuffer(nullptr);
    t.SetFieldValue(Line::kType, ppParameter(type), nullptr);
    t.SetFieldValue(Line::kRecordId, ppParameter(id), nullptr);
    for (const auto& [name, value] : more) t.SetFieldValue(t.IndexOf(name), value, nullptr);
    t.BufferRefs(nullptr).element = element;
    t.InsertRecordAt(-1, nullptr);
    t.SaveToBlob();
    ThePane().ShowLastLine();
    return t.GetRecordCount() - 1;
  }
  std::vector<int32_t> Types() {
    std::vector<int32_t> types;
    Line& t = Table();
    t.BeginAccess();
    for (int32_t i = 0; i < t.GetRecordCount(); ++i) {
      t.ReadRecordAt(i, nullptr);
      ppParameter v;
      t.ppDatafile::GetFieldValue(Line::kType, v, nullptr);
      types.push_back(v.ToLong());
    }
    return types;
  }
  int32_t IdAt(int32_t line) {
    Line& t = Table();
    t.BeginAccess();
    t.ReadRecordAt(line, nullptr);
    ppParameter v;
    t.ppDatafile::GetFieldValue(Line::kRecordId, v, nullptr);
    return v.ToLong();
  }
  static void Send(int32_t id) {
    ppCollaborator sender;
    sender.Broadcast(Pane::kButtonChannel, id, 0);
  }
  static void SendUpdate() {
    ppCollaborator sender;
    sender.Broadcast(ppSwitchBoard::kNamedChannel, ppSwitchBoard::MessageIdByName(Pane::kUpdateMessage, true),
                     0);
  }
  std::string PanelName() const {
    return configurator_->Tabs().empty() ? "" : configurator_->Tabs()[0]->Panel()->Caption().Narrow().c_str();
  }
  void Press(int32_t key) {
    plat::Desktop::Key(key, true);
    plat::Desktop::Key(key, false);
    plat::HeadlessDriver::RunUntilIdle();
  }
  void ClickRow(int32_t line) {
    plat::RECT r;
    ThePane().GetLineRect(line, &r);
    plat::POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
    plat::HeadlessDriver::RunUntilIdle();
  }
  // The texts drawn while the pane paints once.
  std::vector<plat::TextLogRecord> Paint() {
    plat::HeadlessDriver::RunUntilIdle();
    plat::ClearDrawnTextLog();
    plat::RecordDrawnTexts(true);
    ThePane().Invalidate();
    plat::UpdateWindow(hwnd_);
    plat::HeadlessDriver::RunUntilIdle();
    plat::RecordDrawnTexts(false);
    return plat::DrawnTextLog();
  }
  static const plat::TextLogRecord* Find(const std::vector<plat::TextLogRecord>& log,
                                         const std::u16string& text) {
    for (const auto& r : log)
      if (r.text == text) return &r;
    return nullptr;
  }
  int32_t ToolCount() { return int32_t(plat::SendMessageW(tips_->Handle(), plat::TTM_GETTOOLCOUNT, 0, 0)); }
  std::u16string TipText(int32_t id) {
    char16_t buffer[80] = {};
    plat::TOOLINFOW info;
    info.cbSize = plat::kToolInfoSize;
    info.hwnd = hwnd_;
    info.uId = uintptr_t(id);
    info.lpszText = buffer;
    plat::SendMessageW(tips_->Handle(), plat::TTM_GETTEXTW, 80, plat::LPARAM(&info));
    return buffer;
  }
  static plat::RECT Frame(ppView* v) { return v->GetFrame(); }

  std::unique_ptr<adorner_tests::TestApplication> app_;
  ppWindow* window_ = nullptr;
  plat::HWND hwnd_ = nullptr;
  ppConfigurator* configurator_ = nullptr;
  std::unique_ptr<ToolTipControl> tips_;
  std::unique_ptr<zelvproTopCanvas> top_;
  std::unique_ptr<zelvproDocFil> doc_;
  zelvproCalculatorCanvas* canvas_ = nullptr;
  WindowHost host_;
  uint32_t savedFlags1_ = 0, savedFlags2_ = 0;
  std::filesystem::path startFolder_, ownFolder_;
};

// ---- The canvas.

TEST_F(PriceListPaneTest, TheCanvasPlacesThePaneTheBarAndTheExtrasButton) {
  struct Case {
    uint32_t flags1;
    bool extras;
    bool bar;
    plat::RECT button;  // (0, 0, 0, 0): none
  };
  for (const Case& c : {Case{zelvproCalculatorCanvas::kButtonBar, true, true, {528, 374, 558, 398}},
                        Case{0, true, false, {504, 374, 534, 398}},
                        Case{zelvproCalculatorCanvas::kButtonBar, false, true, {0, 0, 0, 0}}}) {
    SetApplicationFlags1(c.flags1);
    ExtrasCatalogDatabase = c.extras ? &Db(1) : nullptr;
    MakeCanvas();
    EXPECT_EQ(Frame(canvas_->Pane()), (plat::RECT{10, 5, 570, 370}));
    ASSERT_EQ(canvas_->Bar() != nullptr, c.bar);
    if (c.bar) {
      EXPECT_EQ(Frame(canvas_->Bar()), (plat::RECT{300, 374, 504, 398}));
      for (int32_t i = 0; i < zelvproCalculatorButtons::kButtonCount; ++i)
        EXPECT_EQ(Frame(canvas_->Bar()->Button(i)), (plat::RECT{30 * i, 0, 30 * i + 24, 24}));
    }
    ASSERT_EQ(canvas_->ExtrasButton() != nullptr, c.extras);
    if (c.extras) EXPECT_EQ(Frame(canvas_->ExtrasButton()), c.button);
    EXPECT_EQ(zelvproCalculatorCanvas::Current(), canvas_);
    EXPECT_EQ(PriceListTable(), &Table()) << "the pane fills the shopping list's accessor";
    EXPECT_EQ(&iCalculationList::Current(), &Table());
    EXPECT_EQ(&iCalculationUpdate::Current(), static_cast<iCalculationUpdate*>(&ThePane()));
    delete canvas_;
    canvas_ = nullptr;
    EXPECT_EQ(PriceListTable(), nullptr);
    EXPECT_EQ(zelvproCalculatorList::Current(), nullptr);
  }
}

TEST_F(PriceListPaneTest, TheCanvasAnswersTheConfiguratorWithOneCalculationPanel) {
  MakeCanvas();
  canvas_->ShowConfigurator();
  ASSERT_EQ(configurator_->Tabs().size(), 1u);
  EXPECT_EQ(PanelName(), "Calculation");
}

TEST_F(PriceListPaneTest, TheToolTipsFollowTheCanvasAndTheLanguage) {
  MakeCanvas();
  EXPECT_EQ(ToolCount(), 5);
  EXPECT_EQ(TipText(3108), u"Item/Service");
  EXPECT_EQ(TipText(3124), u"VAT/Tax");
  canvas_->Hide();
  EXPECT_EQ(ToolCount(), 0);
  canvas_->Show();
  EXPECT_EQ(ToolCount(), 5);
  canvas_->SupervisorResized(40, 20);
  EXPECT_EQ(ToolCount(), 5) << "moved, not doubled";
  Texts texts;
  SetTextSource(&texts);
  canvas_->Bar()->UpdateTexts();
  EXPECT_EQ(ToolCount(), 5);
  EXPECT_EQ(TipText(3108), u"Tip 0");
  EXPECT_EQ(TipText(3120), u"Tip 3");
}

TEST_F(PriceListPaneTest, AButtonPressAddsItsLineAndPopsBack) {
  MakeCanvas();
  ppButton* text = canvas_->Bar()->Button(1);
  plat::RECT r;
  text->GetWindowFrame(&r);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, {r.left + 5, r.top + 5});
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {r.left + 5, r.top + 5});
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(Types(), (std::vector<int32_t>{Line::kTextLine}));
  EXPECT_EQ(text->GetState(), ppButton::kNormal);
  canvas_->Bar()->DoCommand(ppButton::kPressedCommand, intptr_t(canvas_));  // not one of its buttons
  EXPECT_EQ(Types().size(), 1u);
}

TEST_F(PriceListPaneTest, ClosingTheExtrasDialogAlwaysAsksForOneRebuild) {
  ExtrasCatalogDatabase = &Db(1);
  doc_ = std::make_unique<zelvproDocFil>(Db(1));
  MakeCanvas();
  Handle items = RecordField(*doc_, "calcItems").Data(doc_->Record());
  ASSERT_NE(items, nullptr);
  for (int32_t button : {plat::IDCANCEL, plat::IDOK}) {
    plat::HeadlessDriver::SetIdleScript([button] {
      plat::HWND dialog = plat::GetActiveWindow();
      if (dialog == nullptr) return false;
      plat::SendMessageW(dialog, plat::WM_COMMAND, plat::WPARAM(button), 0);
      return true;
    });
    const int32_t before = ppSweeper::PendingCount();
    canvas_->DoCommand(ppButton::kPressedCommand, intptr_t(canvas_->ExtrasButton()));
    EXPECT_EQ(ppSweeper::PendingCount(), before + 1) << button;
    EXPECT_EQ(canvas_->ExtrasButton()->GetState(), ppButton::kNormal);
    if (button == plat::IDCANCEL) EXPECT_EQ(MemGetSize(items), 0) << "Cancel keeps the items";
    plat::HeadlessDriver::SetIdleScript(nullptr);
    plat::HeadlessDriver::RunUntilIdle();
  }
  EXPECT_GT(MemGetSize(items), 0) << "OK stores the dialog's table in the document";
  EXPECT_TRUE(doc_->IsModified());
}

// ---- Columns.

TEST_F(PriceListPaneTest, ColumnTextsGiveColumnsAndAPartialColumnIsDropped) {
  struct Case {
    std::string text;
    std::vector<int32_t> fields;
    int32_t description;
  };
  const std::vector<Case> cases{
      {"0\t74\t100\t0\t32\r\n", {74}, 74},
      {"0\t20\t200\t0\t0\r\n0\t6\t150\t2\t0\n", {20, 6}, 20},
      {"0\t20\t200\t0\t0", {20}, 20},               // the last column without a line end counts
      {"0\t20\t200\t0\t0\r\n0\t6\t150", {20}, 20},  // the text ends inside the second
      {"", {}, 20},
  };
  for (const Case& c : cases) {
    SetCalculatorDescriptionField(kDefaultDescriptionField);
    Handle layout = calculator_columns::ParseColumnText(c.text.data(), c.text.size());
    ASSERT_NE(layout, nullptr);
    std::vector<int32_t> fields;
    for (uint32_t i = 0; i < DisplayListLayout::ColumnCount(layout); ++i)
      fields.push_back(DisplayListLayout::ReadColumn(layout, i).fieldIndex);
    EXPECT_EQ(fields, c.fields) << c.text;
    EXPECT_EQ(CalculatorDescriptionField(), c.description) << c.text;
    if (!c.fields.empty()) {
      const DisplayListLayout::Column first = DisplayListLayout::ReadColumn(layout, 0);
      EXPECT_EQ(first.layoutId, 0u);
      EXPECT_EQ(first.textFormat, 0);
    }
    DisplayListLayout::Header header;
    ASSERT_TRUE(DisplayListLayout::ReadHeader(layout, &header));
    EXPECT_EQ(header.title, "Calculation Items");
    MemDispose(layout);
  }
  SetCalculatorDescriptionField(kDefaultDescriptionField);
}

TEST_F(PriceListPaneTest, TheLineTypeTableShowsFieldsByType) {
  struct Case {
    int32_t field, type;
    bool shown;
  };
  for (const Case& c :
       {Case{6, 0, false}, Case{6, 13, true}, Case{74, 1, true}, Case{7, 8, true}, Case{7, 9, false},
        Case{22, 10, true}, Case{53, 12, true}, Case{53, 9, false}, Case{30, 5, true}, Case{30, 10, false},
        Case{14, 2, true}, Case{14, 3, false}, Case{19, 7, true}, Case{15, 1, false}, Case{23, 8, false},
        Case{20, 0, true}, Case{20, 13, true}, Case{200, 1, false}, Case{-1, 1, false}})
    EXPECT_EQ(CalculatorFieldShown(c.field, c.type), c.shown) << c.field << " on " << c.type;
}

class ColumnFileTest : public PriceListPaneTest {
 protected:
  void SetUp() override {
    PriceListPaneTest::SetUp();
    folder_ = std::filesystem::temp_directory_path() / ("price_pane_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_ / "settings");
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
  }
  void TearDown() override {
    std::filesystem::current_path(old_);
    std::filesystem::remove_all(folder_);
    SetCalculatorDescriptionField(kDefaultDescriptionField);
    PriceListPaneTest::TearDown();
  }
  void Write(const std::string& text) {
    std::ofstream(folder_ / "settings" / "calcDisplayList.txt", std::ios::binary) << text;
  }
  std::vector<int32_t> Fields() {
    std::vector<int32_t> fields;
    for (int32_t i = 0; i < ThePane().ColumnCount(); ++i)
      fields.push_back(DisplayListLayout::ReadColumn(ThePane().Layout(), uint32_t(i)).fieldIndex);
    return fields;
  }
  // A unit of catalogue 1 whose preview record holds a `width` by `height` PNG of one colour.
  int32_t PicturedUnit(const char* name, int32_t width, int32_t height, uint32_t colour) {
    plat::Surface surface(width, height);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x) surface.SetPixel(x, y, colour);
    const std::string png = (folder_ / (std::string(name) + ".png")).string();
    EXPECT_TRUE(plat::WritePng(surface, png));
    std::ifstream in(png, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    zelvproPreviewFil& previews = Db(1).UnitFile().PreviewFile();
    previews.ClearRecordBuffer(nullptr);
    cattest::SetField(previews, "name", ppParameter(name));
    Handle data = RecordField(previews, "preview").Data(previews.GetRecordBuffer());
    EXPECT_NE(data, nullptr);
    if (data == nullptr) return 0;
    MemSetSize(data, uint32_t(bytes.size()));
    std::memcpy(*data, bytes.data(), bytes.size());
    int32_t preview = 0;
    previews.AddRecord(&preview, nullptr);
    return cattest::AddRecord(Db(1).UnitFile(), {{"number1", name}, {"name1", name}, {"preview", preview}});
  }
  std::filesystem::path folder_, old_;
};

TEST_F(ColumnFileTest, TheColumnFileOrTheNineBuiltInColumns) {
  MakeCanvas();
  EXPECT_EQ(Fields(), (std::vector<int32_t>{20, 6, 7, 8, 22, 23, 15, 30, 31})) << "no column file";
  delete canvas_;

  Write("0\t74\t100\t0\t32\r\n");
  std::filesystem::permissions(folder_ / "settings" / "calcDisplayList.txt",
                               std::filesystem::perms::owner_read, std::filesystem::perm_options::replace);
  MakeCanvas();
  EXPECT_EQ(Fields(), (std::vector<int32_t>{74})) << "a read-only column file is read";
  EXPECT_EQ(ThePane().ScreenDescriptionField(), 74);
  EXPECT_EQ(ThePane().PrintDescriptionField(), 74);
  // totherText shows on every line type, Empty lines included.
  Put(Line::kEmptyLine, 1, {{"totherText", ppParameter(u"empty note")}});
  Put(Line::kTextLine, 2, {{"totherText", ppParameter(u"text note")}});
  Put(Line::kVatLine, 3, {{"totherText", ppParameter(u"vat note")}});
  const auto log = Paint();
  for (const char16_t* t : {u"empty note", u"text note", u"vat note"})
    EXPECT_NE(Find(log, t), nullptr) << "missing";
}

// A column of "pict" shows the preview picture of the line's unit at its own size, centred in the cell
// inside its 2-pixel sides and 3-pixel top, and cut at the cell's edges; rows are 96 pixels high.
TEST_F(ColumnFileTest, APictureColumnShowsTheUnitsPreviewAtItsOwnSizeCentredAndCutAtItsCell) {
  const int32_t small = PicturedUnit("Small", 64, 64, 0xFF0000);
  const int32_t large = PicturedUnit("Large", 400, 300, 0x0000FF);
  Write("0\t49\t60\t0\t0\r\n0\t65\t100\t0\t0\r\n");
  Pane& pane = MakeCanvas();
  EXPECT_EQ(pane.LineHeight(), 96);
  for (int32_t unit : {small, large})
    Put(Line::kCalculationItem, unit,
        {{"unitID", ppParameter(unit)}, {"databaseID", ppParameter(int32_t(1))}, {"pcs", ppParameter(1.0)}},
        nullptr);
  Paint();
  const std::string shot = (folder_ / "pane.png").string();
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(hwnd_, shot));
  const std::unique_ptr<plat::Surface> drawn = plat::ReadPng(shot);
  ASSERT_NE(drawn, nullptr);

  // The small picture: 64 pixels square about the middle of the cell's inner rectangle, not grown.
  plat::RECT cell;
  pane.GetCellRect(0, 0, &cell);
  const int32_t cx = (cell.left + 2 + cell.right - 2) / 2, cy = (cell.top + 3 + cell.bottom - 1) / 2;
  EXPECT_EQ(drawn->Pixel(cx, cy), 0xFF0000u);
  for (const auto& [dx, dy] : {std::pair{-30, -30}, std::pair{30, 30}, std::pair{-30, 30}})
    EXPECT_EQ(drawn->Pixel(cx + dx, cy + dy), 0xFF0000u) << dx << "," << dy;
  for (const auto& [dx, dy] : {std::pair{-36, 0}, std::pair{36, 0}, std::pair{0, -36}, std::pair{0, 36}})
    EXPECT_NE(drawn->Pixel(cx + dx, cy + dy), 0xFF0000u) << "at its own size: " << dx << "," << dy;

  // The large picture fills the inner rectangle and stops at its edges.
  pane.GetCellRect(0, 1, &cell);
  const int32_t my = (cell.top + cell.bottom) / 2;
  EXPECT_EQ(drawn->Pixel(cell.left + 2, my), 0x0000FFu);
  EXPECT_EQ(drawn->Pixel(cell.right - 3, my), 0x0000FFu);
  EXPECT_EQ(drawn->Pixel(cell.left + 2, cell.top + 3), 0x0000FFu);
  EXPECT_NE(drawn->Pixel(cell.left + 1, my), 0x0000FFu) << "2 pixels in from the left";
  EXPECT_NE(drawn->Pixel(cell.right - 2, my), 0x0000FFu) << "2 pixels in from the right";
  EXPECT_NE(drawn->Pixel(cell.left + 10, cell.top + 2), 0x0000FFu) << "3 pixels below the top";
  plat::RECT next;
  pane.GetCellRect(1, 1, &next);
  EXPECT_NE(drawn->Pixel(next.left + 5, my), 0x0000FFu) << "not over the next column";
  EXPECT_NE(drawn->Pixel(cell.left + 10, cell.bottom + 5), 0x0000FFu) << "not over the row below";
}

TEST_F(ColumnFileTest, TheBuiltInColumnsDrawNoMeasuresAndTheirHeaders) {
  MakeCanvas();
  EXPECT_EQ(ThePane().LineHeight(), Pane::kBaseLineHeight + Pane::kLineHeightExtra);
  EXPECT_EQ(ThePane().LineHeight(), 96) << "whatever the columns show";
  EXPECT_EQ(ThePane().HeaderHeight(), 20);
  EXPECT_EQ(ThePane().FooterHeight(), 0);
  Put(Line::kItemService, 1, {{"totherText", ppParameter(u"Fitting")}, {"pcs", ppParameter(2.0)}});
  const auto log = Paint();
  const plat::TextLogRecord* caption = Find(log, u"unitDescription");
  ASSERT_NE(caption, nullptr) << "headers fall back to the field's name";
  EXPECT_EQ(Find(log, u"_pcs"), nullptr) << "columns 3-9 carry the measure-only format";
  // The caption 2 pixels in from its column's left edge; a cell's text 2 in and 3 below its top.
  plat::RECT header, cell;
  ThePane().GetCellRect(0, -1, &header);
  ThePane().GetCellRect(0, 0, &cell);
  EXPECT_EQ(caption->x, header.left + 2);
  const plat::TextLogRecord* text = Find(log, u"Fitting");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->x, cell.left + 2);
  EXPECT_EQ(text->y, cell.top + 3);
}

// ---- Adding and deleting lines.

TEST_F(PriceListPaneTest, TheBarsMessagesAddLinesWithThePalettesIds) {
  MakeCanvas();
  host_.palette.NextId();  // the palette's counter moved on: the next id is 2
  Send(Pane::kAddItem);
  ASSERT_EQ(Types(), (std::vector<int32_t>{Line::kItemService}));
  EXPECT_EQ(IdAt(0), 2);
  EXPECT_EQ(ThePane().SelectedLine(), 0);
  EXPECT_EQ(Table().GetCurrentItem(), 0);
  EXPECT_EQ(PanelName(), "Item/Service") << "its panel opens";
  const int32_t before = ppSweeper::PendingCount();
  Send(Pane::kAddSubTotal);
  Send(Pane::kAddSubTotal);
  int32_t subtotals = 0;
  for (int32_t t : Types()) subtotals += t == Line::kSubtotalLine ? 1 : 0;
  EXPECT_EQ(subtotals, 1);
  EXPECT_EQ(ppSweeper::PendingCount(), before + 1) << "one rebuild asked for";
}

TEST_F(PriceListPaneTest, DeletingByMessageSelectsTheLineNowAtThatIndex) {
  MakeCanvas();
  Put(Line::kItemService, 11);
  Put(Line::kItemService, 12);
  Put(Line::kCalculationItem, 13);
  ThePane().SelectLine(0, true);
  Send(Pane::kDeleteLine);
  ASSERT_EQ(Types().size(), 2u);
  EXPECT_EQ(IdAt(0), 12);
  EXPECT_EQ(ThePane().SelectedLine(), 0);
  EXPECT_EQ(host_.defaultPanels, 1);
  ThePane().ClearSelection();
  ThePane().SelectLine(1, true);
  Send(Pane::kDeleteLine);
  EXPECT_EQ(Types().size(), 2u) << "a Calculation Item is not the user's";
  ThePane().ClearSelection();
  Put(Line::kTextLine, 14);
  ThePane().SelectLine(2, true);
  Send(Pane::kDeleteLine);
  EXPECT_EQ(Types().size(), 2u);
  EXPECT_EQ(ThePane().SelectedLine(), -1) << "none after deleting the last";
}

TEST_F(PriceListPaneTest, DeleteAndBackspaceDeleteAUserLineAndCommand36SparesOthers) {
  MakeCanvas();
  window_->SetTarget(&ThePane());
  for (int32_t id = 1; id <= 3; ++id) Put(Line::kTextLine, id);
  Put(Line::kEmptyLine, 4);
  const auto texts = [this] {
    std::vector<int32_t> lines;
    const std::vector<int32_t> types = Types();
    for (size_t i = 0; i < types.size(); ++i)
      if (types[i] == Line::kTextLine) lines.push_back(int32_t(i));
    return lines;
  };
  for (int32_t key : {0x2E, 0x08}) {
    const std::vector<int32_t> before = texts();
    ThePane().ClearSelection();
    ThePane().SelectLine(before[0], true);
    Press(key);  // the deferred rebuild runs too
    EXPECT_EQ(texts().size(), before.size() - 1) << key;
  }
  // The rebuilds ran; the Empty line stays whatever 36 says.
  const int32_t lines = int32_t(Types().size());
  for (int32_t i = 0; i < lines; ++i) {
    if (Types()[size_t(i)] != Line::kEmptyLine) continue;
    ThePane().ClearSelection();
    ThePane().SelectLine(i, true);
    ThePane().DoCommand(Pane::kDeleteCommand, 0);
    EXPECT_EQ(int32_t(Types().size()), lines);
  }
  EXPECT_EQ(texts().size(), 1u);
}

TEST_F(PriceListPaneTest, Command36DeletesAnEditableElementThroughItsBaseAndUndoStaysSafe) {
  MakeCanvas();
  auto* element = new OwnQuantityElement();
  auto* fixed = new OwnQuantityElement();
  fixed->SetQuantityEditable(false);
  ppUndoer history;
  history.Post(new TouchTask(element));
  Put(Line::kCalculationItem, 1, {}, fixed);
  Put(Line::kCalculationItem, 2, {}, element);
  ThePane().SelectLine(0, true);
  ThePane().DoCommand(Pane::kDeleteCommand, 0);
  EXPECT_EQ(Types().size(), 2u) << "an element whose quantity is not editable stays";
  ThePane().ClearSelection();
  ThePane().SelectLine(1, true);
  ThePane().DoCommand(Pane::kDeleteCommand, 0);
  EXPECT_EQ(Types().size(), 1u);
  EXPECT_EQ(history.DoneTop(), nullptr) << "no task names the deleted element";
  history.Undo();
  history.Redo();
  delete fixed;
}

TEST_F(PriceListPaneTest, ViewCommandsGoToThePaletteAnd3061ToTheEditor) {
  MakeCanvas();
  for (int32_t c : {3001, 3002, 3003, 3004, 3005, 3008}) canvas_->DoCommand(c, 0);
  EXPECT_EQ(host_.palette.passed, (std::vector<int32_t>{3002, 3003, 3004, 3005, 3008}));
  SetApplicationFlags1(Pane::kPassViewMenu);
  canvas_->DoCommand(3001, 0);
  EXPECT_EQ(host_.palette.passed.back(), 3001);
  canvas_->DoCommand(Pane::kShowCalculation, 0);
  EXPECT_EQ(host_.editor.commands, (std::vector<int32_t>{2012}));
}

// The user's lines are saved with the document, so adding one, a panel's write that changes one and
// deleting one (by key or by the bar's message) are unsaved work. A rebuild from the plan, a line put
// in as a rebuild or a load puts it, a line selected and its panel shown, and a field that writes the
// value its line already holds are not.
TEST_F(PriceListPaneTest, UserLinesAddedChangedOrDeletedMarkTheDocumentModifiedARebuildDoesNot) {
  MakeCanvas();
  window_->SetTarget(&ThePane());
  ThePane().Activate();
  const auto marks = [&] { return std::exchange(host_.modified, 0); };
  const auto write = [&](const char* property, const char16_t* text) {
    ppEditTextField* edit = PanelField(property);
    ASSERT_NE(edit, nullptr) << property;
    edit->SetValue(ppParameter(Vcon::WString(text)));  // what leaving the field with typed text does
    plat::HeadlessDriver::RunUntilIdle();
  };

  Put(Line::kTextLine, 1);
  ThePane().UpdateCalculation(true);
  SendUpdate();
  plat::HeadlessDriver::RunUntilIdle();
  ClickRow(ThePane().FindLineById(1));
  ASSERT_EQ(PanelName(), "Text");
  EXPECT_EQ(marks(), 0) << "rebuilt, put and shown: nothing the user changed";

  Send(Pane::kAddText);
  EXPECT_EQ(marks(), 1) << "a Text line added";
  write("totherText", u"oven");
  EXPECT_EQ(marks(), 1) << "its text written";
  write("totherText", u"oven");
  EXPECT_EQ(marks(), 0) << "the same text written again";

  Send(Pane::kAddDiscount);
  EXPECT_EQ(marks(), 1) << "a Discount line added";
  const int32_t discount = IdAt(ThePane().SelectedLine());
  write("discountPct", u"-10");
  EXPECT_EQ(marks(), 1) << "its percentage written";
  write("discountPct", u"-10");
  EXPECT_EQ(marks(), 0) << "the same percentage written again";
  const auto select = [&](int32_t line) {
    ThePane().ClearSelection();
    ThePane().SelectLine(line, true);
  };
  select(ThePane().FindLineById(discount));
  Send(Pane::kDeleteLine);
  EXPECT_EQ(marks(), 1) << "the Discount line deleted by the bar";

  select(ThePane().FindLineById(1));
  Press(0x2E);  // Delete; the rebuild it asks for runs too
  EXPECT_EQ(marks(), 1) << "a Text line deleted by the key";
  for (int32_t line = 0; line < ThePane().ShownLineCount(); ++line) {
    Table().BeginAccess();
    Table().ReadRecordAt(line, nullptr);
    ppParameter type;
    Table().ppDatafile::GetFieldValue(Line::kType, type, nullptr);
    if (Line::IsUserLineType(type.ToLong())) continue;
    select(line);
    Send(Pane::kDeleteLine);
    ThePane().DoCommand(Pane::kDeleteCommand, 0);
  }
  EXPECT_EQ(marks(), 0) << "the lines the plan builds are not the user's to delete";
}

// ---- Selection.

TEST_F(PriceListPaneTest, AClickOrAKeyboardMoveSelectsTheLineAndOpensItsPanel) {
  MakeCanvas();
  Put(Line::kTextLine, 1);
  Put(Line::kVatLine, 2);
  Put(Line::kDiscountLine, 3);
  window_->SetTarget(&ThePane());
  ThePane().Activate();
  ClickRow(1);
  EXPECT_EQ(ThePane().SelectedLine(), 1);
  EXPECT_EQ(Table().GetCurrentItem(), 1);
  EXPECT_EQ(PanelName(), "VAT/Tax");
  Press(plat::VK_DOWN);
  EXPECT_EQ(ThePane().SelectedLine(), 2);
  EXPECT_EQ(PanelName(), "Discount");
  SetApplicationFlags2(Pane::kNoLinePanel);
  ClickRow(0);
  EXPECT_EQ(ThePane().SelectedLine(), 0);
  EXPECT_EQ(PanelName(), "Discount") << "flags2 0x2: no panel";
}

// What the user types into the line panel belongs to the line the panel shows, however the panel is
// left: a click on another line, or a new line from the bar, takes the typed text as Tab would, and
// the line shown next does not receive it.
TEST_F(PriceListPaneTest, TypedTextStaysWithItsLineWhenAnotherLineIsClickedOrAdded) {
  MakeCanvas();
  Put(Line::kTextLine, 1);
  Put(Line::kDiscountLine, 2);
  window_->SetTarget(&ThePane());
  ThePane().Activate();
  const auto typeInto = [&](const char* property, const char* text) {
    ppEditTextField* edit = PanelField(property);
    ASSERT_NE(edit, nullptr) << property;
    plat::RECT frame;
    edit->GetWindowFrame(&frame);
    const plat::POINT at{frame.right - 10, frame.top + 5};
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
    plat::HeadlessDriver::RunUntilIdle();
    for (const char* c = text; *c != 0; ++c) {
      if (std::isalnum(static_cast<unsigned char>(*c))) {
        Press(std::toupper(static_cast<unsigned char>(*c)));
        continue;
      }
      // Punctuation: the key, and the character the keyboard's text input gives for it.
      plat::Desktop::Key(plat::kVkOemMinus, true);
      plat::Desktop::Char(char16_t(*c));
      plat::Desktop::Key(plat::kVkOemMinus, false);
      plat::HeadlessDriver::RunUntilIdle();
    }
    plat::LayerClock::Advance(2000);  // typing takes a while: the next click pairs with no earlier one
  };
  const auto stored = [&](int32_t id, const char* property) {
    const int32_t line = ThePane().FindLineById(id);
    Table().BeginAccess();
    Table().ReadRecordAt(line, nullptr);
    ppParameter value;
    Table().ppDatafile::GetFieldValue(Table().IndexOf(property), value, nullptr);
    return value;
  };

  ClickRow(0);
  ASSERT_EQ(PanelName(), "Text");
  typeInto("totherText", "oven");
  ClickRow(ThePane().FindLineById(2));
  EXPECT_EQ(PanelName(), "Discount");
  EXPECT_EQ(stored(1, "totherText").AsWString().Narrow(), "oven") << "kept by the line it was typed for";
  EXPECT_EQ(stored(2, "totherText").AsWString().Narrow(), "") << "not given to the line clicked";

  typeInto("discountPct", "-20");
  Send(Pane::kAddText);
  EXPECT_EQ(PanelName(), "Text") << "the new line's panel";
  EXPECT_EQ(stored(2, "discountPct").ToLong(), -20);
  EXPECT_EQ(PanelField("totherText")->GetControlText().Narrow(), "") << "the new line starts empty";

  // Back on the first line its field shows the kept text.
  ClickRow(ThePane().FindLineById(1));
  plat::UpdateWindow(hwnd_);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(PanelField("totherText")->GetControlText().Narrow(), "oven");
}

// A list longer than the pane, reached as a user reaches it: the window hands its keys to the canvas
// (as the view bar makes it). The scroll bar's arrows, page areas and thumb move the rows; Space and the
// digit keys bring the selection into view; Page Up, Page Down, Home, End and the wheel move nothing.
TEST_F(PriceListPaneTest, TheListScrollsToItsLastLineByItsBarAndItsSelectionKeys) {
  Pane& pane = MakeCanvas({0, 0, 600, 1300});
  EXPECT_EQ(pane.LineHeight(), 96);
  for (int32_t id = 1; id <= 60; ++id) Put(Line::kTextLine, id);
  window_->SetTarget(canvas_);
  pane.Activate();
  plat::RECT list;
  pane.GetListRect(&list);
  const int32_t visible = pane.VisibleLines();
  EXPECT_EQ(visible, (list.bottom - list.top + pane.LineHeight() - 1) / pane.LineHeight())
      << "the rows that fit are counted at the rows' own height";
  ASSERT_GT(visible, 5);
  auto lastShown = [&] { return pane.FirstLine() + visible - 1; };

  for (int32_t key : {plat::VK_END, plat::VK_NEXT, plat::VK_HOME, plat::VK_PRIOR}) {
    Press(key);
    EXPECT_EQ(pane.FirstLine(), 0) << "key " << key << " scrolls nothing";
  }
  plat::POINT over{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
  plat::ClientToScreen(hwnd_, &over);
  for (int32_t notches : {-2, 1}) {
    plat::SendMessageW(hwnd_, plat::WM_MOUSEWHEEL, plat::MAKEWPARAM(0, uint16_t(int16_t(notches * 120))),
                       plat::MAKELPARAM(over.x, over.y));
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(pane.FirstLine(), 0) << "the wheel scrolls nothing";
  }

  ASSERT_TRUE(pane.VerticalBar()->IsEnabled());
  plat::RECT bar;
  plat::GetWindowRect(pane.VerticalBar()->Control(), &bar);
  const int32_t x = (bar.left + bar.right) / 2;
  auto click = [&](int32_t y) {
    plat::Desktop::MouseButton(plat::VK_LBUTTON, true, {x, y});
    plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {x, y});
    plat::HeadlessDriver::RunUntilIdle();
  };
  click(bar.bottom - 4);  // the lower arrow: one line
  EXPECT_EQ(pane.FirstLine(), 1);
  click(bar.bottom - 30);  // the page area above the lower arrow: a page, one line kept
  EXPECT_EQ(pane.FirstLine(), 1 + visible - 1);
  click(bar.top + 4);  // the upper arrow
  EXPECT_EQ(pane.FirstLine(), visible - 1);
  EXPECT_EQ(pane.VerticalBar()->KeptPosition(), visible - 1) << "the bar follows";
  click(bar.top + 30);  // the page area below the upper arrow
  EXPECT_EQ(pane.FirstLine(), 0);
  // The thumb, at the top below the upper arrow, dragged past the bar's end shows the last line.
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, {x, bar.top + (bar.right - bar.left) + 3});
  plat::HeadlessDriver::RunUntilIdle();
  plat::Desktop::MouseMove({x, bar.bottom + 40});
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, {x, bar.bottom + 40});
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_GE(lastShown(), 59) << "the thumb reaches the last line";

  // A selected line scrolled away comes back with Space; "1" selects the first line and shows it.
  ClickRow(58);
  EXPECT_EQ(pane.SelectedLine(), 58);
  for (int32_t i = 0; i < 10 && pane.FirstLine() > 0; ++i) click(bar.top + 30);
  ASSERT_EQ(pane.FirstLine(), 0);
  Press(plat::VK_SPACE);
  EXPECT_LE(pane.FirstLine(), 58);
  EXPECT_GE(lastShown(), 58) << "Space shows the selection";
  Press('1');
  EXPECT_EQ(pane.SelectedLine(), 1);
  EXPECT_LE(pane.FirstLine(), 1);
  // The down arrow moves the selection a line at a time.
  const int32_t from = lastShown() - 1;
  ClickRow(from);
  Press(plat::VK_DOWN);
  Press(plat::VK_DOWN);
  EXPECT_EQ(pane.SelectedLine(), from + 2);
}

TEST_F(PriceListPaneTest, UpdateCalculationSelectsTheLineAgainByItsIdAtOnce) {
  MakeCanvas();
  Put(Line::kTextLine, 7);
  Put(Line::kTextLine, 9);
  ThePane().SelectLine(1, true);
  const int32_t before = ppSweeper::PendingCount();
  SendUpdate();
  EXPECT_EQ(ppSweeper::PendingCount(), before + 1) << "the rebuild is deferred";
  ASSERT_EQ(ThePane().SelectedLine(), 1) << "selected again before the rebuild runs";
  EXPECT_EQ(IdAt(1), 9);
  EXPECT_EQ(Table().GetCurrentItem(), 1);
  ThePane().ClearSelection();
  SendUpdate();
  EXPECT_EQ(ThePane().SelectedLine(), -1) << "nothing selected, nothing selected after";
}

TEST_F(PriceListPaneTest, AChangedLineIsFollowedToItsNewPlace) {
  MakeCanvas();
  Put(Line::kItemService, 1);
  Put(Line::kItemService, 2);
  Table().AssignSortKeys();
  const int32_t moving = IdAt(1);
  ThePane().SelectLine(1, true);
  Table().BeginAccess();
  Table().GoToItem(1);
  Table().SetValue(Table().IndexOf("tag"), ppParameter(int32_t(1 * 10000 + 1)));  // the first tag
  const int32_t now = ThePane().SelectedLine();
  ASSERT_GE(now, 0);
  EXPECT_NE(now, 1) << "the tagged line sorts to another place";
  EXPECT_EQ(IdAt(now), moving);
  EXPECT_EQ(Table().GetCurrentItem(), now);
}

// ---- The footer.

TEST_F(PriceListPaneTest, TheTotalFooterShowsTheTotalAndItsLabel) {
  struct Case {
    uint32_t extra;
    bool total;
    int32_t labelOffset;  // label's right edge left of the amount's
  };
  for (const Case& c : {Case{0, false, 120}, Case{Pane::kSecondPrice, false, 120}, Case{0, true, 120},
                        Case{Pane::kSecondPrice, true, 240}}) {
    SetApplicationFlags1(Pane::kTotalFooter | c.extra);
    MakeCanvas();
    EXPECT_EQ(ThePane().FooterHeight(), 21);
    if (c.total)
      Put(Line::kTotalLine, 1, {{"total", ppParameter(ppMoney::FromRaw(1234500))}});
    else
      Put(Line::kTextLine, 1, {{"totherText", ppParameter(u"only")}});
    EXPECT_EQ(ThePane().GetLineCount(), 0) << "one line: no rows";
    const auto log = Paint();
    const plat::TextLogRecord* label = Find(log, u"Total (VAT incl.)");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(Find(log, u"only"), nullptr);
    plat::RECT list;
    ThePane().GetListRect(&list);
    // Right-aligned texts are drawn in 400-pixel boxes: the box's left + 400 is the right edge.
    const int32_t amountRight = list.right + 1 - 5;
    EXPECT_EQ(label->x + 400, amountRight - c.labelOffset);
    int32_t amounts = 0;
    for (const auto& r : log)
      if (r.y == label->y && r.x + 400 == amountRight) ++amounts;
    EXPECT_EQ(amounts, c.total ? 1 : 0);
    delete canvas_;
    canvas_ = nullptr;
  }
}

TEST_F(PriceListPaneTest, ShowLastLineDropsAnEmptyLineBeforeTheTotalOnlyWithTheFooter) {
  for (bool footer : {true, false}) {
    SetApplicationFlags1(footer ? Pane::kTotalFooter : 0);
    MakeCanvas();
    Put(Line::kTextLine, 1);
    Put(Line::kEmptyLine, 2);
    Put(Line::kTotalLine, 3);
    EXPECT_EQ(Types().size(), footer ? 2u : 3u) << footer;
    EXPECT_EQ(ThePane().GetLineCount(), footer ? 1 : 3);
    delete canvas_;
    canvas_ = nullptr;
  }
}

// ---- Size.

TEST_F(PriceListPaneTest, WideningScalesTheColumnsAndAZeroWidthScalesNothing) {
  MakeCanvas();
  Pane& pane = ThePane();
  plat::RECT list;
  pane.GetListRect(&list);
  const int32_t width = list.right - list.left;
  // Two columns filling the list: 200 + 100 out of 300 proportions.
  const auto layout = [](std::vector<DisplayListLayout::Column> columns) {
    DisplayListLayout::Header header;
    header.title = "two";
    return DisplayListLayout::Make(header, columns);
  };
  DisplayListLayout::Column a, b;
  a.fieldIndex = 20;
  a.width = 200;
  b.fieldIndex = 6;
  b.width = 100;
  Handle two = layout({a, b});
  pane.ResizeTo(300 + (Frame(&pane).right - Frame(&pane).left - width),
                Frame(&pane).bottom - Frame(&pane).top);
  pane.LoadLayout(two);
  MemDispose(two);
  pane.GetListRect(&list);
  ASSERT_EQ(list.right - list.left, 300);
  ASSERT_EQ(DisplayListLayout::ReadColumn(pane.Layout(), 1).x, 200);
  pane.SupervisorResized(300, 0);
  const auto c0 = DisplayListLayout::ReadColumn(pane.Layout(), 0),
             c1 = DisplayListLayout::ReadColumn(pane.Layout(), 1);
  EXPECT_EQ(c0.x, 0);
  EXPECT_EQ(c0.width, 400);
  EXPECT_EQ(c1.x, 400);
  EXPECT_EQ(c1.width, 200);

  // From a content width of 0 (the list all scroll bar) nothing is scaled.
  pane.GetListRect(&list);
  const plat::RECT frame = Frame(&pane);
  pane.ResizeTo(frame.right - frame.left - (list.right - list.left), frame.bottom - frame.top);
  pane.GetListRect(&list);
  ASSERT_EQ(list.right - list.left, 0);
  pane.SupervisorResized(300, 0);
  pane.GetListRect(&list);
  ASSERT_EQ(list.right - list.left, 300);
  EXPECT_EQ(DisplayListLayout::ReadColumn(pane.Layout(), 0).width, 400);
  EXPECT_EQ(DisplayListLayout::ReadColumn(pane.Layout(), 1).x, 400);
  EXPECT_EQ(DisplayListLayout::ReadColumn(pane.Layout(), 1).width, 200);
}

// ---- The picture.

TEST_F(PriceListPaneTest, APaneOfEveryLineTypeMatchesTheKeptPicture) {
  MakeCanvas({0, 0, 600, 1300});
  auto* marked = new OwnQuantityElement();
  marked->mark = 0x10001;
  const std::vector<int32_t> types{Line::kCalculationItem, Line::kElementLine2, Line::kElementLine3,
                                   Line::kTagSubtotal,     Line::kTotalLine,    Line::kTagHeading,
                                   Line::kItemService,     Line::kTextLine,     Line::kDiscountLine,
                                   Line::kSubtotalLine,    Line::kVatLine,      Line::kEmptyLine};
  int32_t id = 1;
  for (int32_t type : types) {
    Table().BeginAccess();
    const Vcon::WString name(std::u16string(u"Line ") + char16_t(u'A' + id - 1));
    Put(type, id,
        {{"unitDescription", ppParameter(name.Narrow())},
         {"text", ppParameter("text")},
         {"missing", ppParameter(int32_t(type == Line::kCalculationItem ? 2 : 0))}},
        type == Line::kCalculationItem ? marked : nullptr);
    ++id;
  }
  ThePane().SelectLine(6, true);
  ThePane().Activate();
  plat::HeadlessDriver::RunUntilIdle();
  plat::UpdateWindow(hwnd_);
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/calculation/price_pane.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/price_pane-actual.png";
  ASSERT_TRUE(plat::HeadlessDriver::DumpPng(hwnd_, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) plat::HeadlessDriver::DumpPng(hwnd_, kept);
  std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  std::unique_ptr<plat::Surface> drawn = plat::ReadPng(actual);
  ASSERT_TRUE(expected && drawn) << "missing " << kept << "; the window is in " << actual;
  const plat::PixelDifference diff = plat::ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
  delete canvas_;
  canvas_ = nullptr;
  delete marked;
}

}  // namespace

// ---- Printing: hand-made page descriptions (10 pixels per millimetre, 2000 by 2800 pixels) on the
// headless printer, every drawing heard by a recorder.

// Every drawing of a print, with the page (from 1) it fell on.
class PrintLog : public iPriceListPrintRecorder {
 public:
  struct Event {
    char kind;  // F font, T text, R rule, B frame, E ellipse, S square, P picture
    int32_t page;
    Vcon::WString text;
    plat::RECT r;
    int32_t height = 0;  // a font's, or the font a text is drawn in
    bool bold = false;
    uint32_t flags = 0;  // a text's drawing flags
  };
  void Font(const char*, int32_t height, bool bold) override {
    events.push_back({'F', page, {}, {}, height, bold});
    font = {height, bold};
  }
  void Text(const Vcon::WString& text, const plat::RECT& r, uint32_t flags) override {
    events.push_back({'T', page, text, r, font.first, font.second, flags});
  }
  void Rule(int32_t x1, int32_t y1, int32_t x2, int32_t y2) override {
    events.push_back({'R', page, {}, {x1, y1, x2, y2}});
  }
  void Frame(const plat::RECT& r) override { events.push_back({'B', page, {}, r}); }
  void Ellipse(const plat::RECT& r, const ppRGBColor&) override { events.push_back({'E', page, {}, r}); }
  void Square(const plat::RECT& r, const ppRGBColor&) override { events.push_back({'S', page, {}, r}); }
  void Picture(const plat::RECT& r) override { events.push_back({'P', page, {}, r}); }
  void PageBreak() override { ++page; }
  std::vector<std::u16string> TextsStarting(const std::u16string& prefix) const {
    std::vector<std::u16string> out;
    for (const Event& e : events)
      if (e.kind == 'T' && e.text.rfind(prefix, 0) == 0) out.push_back(e.text);
    return out;
  }
  const Event* FindText(const std::u16string& text) const {
    for (const Event& e : events)
      if (e.kind == 'T' && e.text == text) return &e;
    return nullptr;
  }
  int32_t page = 1;
  std::vector<Event> events;
  std::pair<int32_t, bool> font{0, false};
};

class PrintTexts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number != 7520 && number != 7521) return false;
    text = number == 7520 ? Vcon::WString(u"Sum") : Vcon::WString(u"Sum with factor");
    return true;
  }
};

// The item sheet's captions as the demo words them (the second is blank), and the Total's labels.
class SheetTexts : public PrintTexts {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t language) override {
    static const char16_t* const captions[] = {u"Qty",   u"",        u"Unit no.", u"Height cm", u"Carcase",
                                               u"Front", u"Worktop", u"Part no.", u"Price",     u"Total"};
    if (number < 7501 || number > 7510) return PrintTexts::GetString(number, text, language);
    text = Vcon::WString(captions[number - 7501]);
    return true;
  }
};

class PriceListPrintTest : public ColumnFileTest {
 protected:
  void SetUp() override {
    ColumnFileTest::SetUp();
    plat::PrinterSetup setup;
    setup.output = (folder_ / "list.pdf").string();
    setup.pngFolder = (folder_ / "pages").string();
    std::filesystem::create_directories(setup.pngFolder);
    printer_ = plat::CreatePrinterDC(setup);
    dc_ = std::make_unique<ppDC>(printer_);
    plat::DOCINFOW info;
    info.cbSize = plat::kDocInfoSize;
    ASSERT_GT(dc_->StartDoc(info), 0);
    ASSERT_GT(dc_->StartPage(), 0);
  }
  void TearDown() override {
    if (dc_ != nullptr) {
      dc_->EndPage();
      plat::EndDoc(printer_);
    }
    dc_.reset();
    plat::DeletePrinterDC(printer_);
    SetItemSheetPrintFlag(false);
    ColumnFileTest::TearDown();
  }
  static qxPrintPage HandPage(float height = 2800) {
    qxPrintPage page;
    page.pageWidth = 2000;
    page.pageHeight = height;
    page.pixelsPerMmX = page.pixelsPerMmY = 10;
    page.textScale = 4;
    return page;
  }
  void PrintColumns(const std::string& text) {
    std::ofstream(folder_ / "settings" / "calcPrintList.txt", std::ios::binary) << text;
  }
  // A pane whose rows come out 20 a page on the hand-made page (row height 30 × 3.5 = 105 pixels).
  Pane& TwentyRowPane() {
    // ttext (flexible), total (right-aligned, as wide as its widest text), totherText as the
    // description field.
    PrintColumns("0\t65\t100\t0\t0\r\n0\t53\t50\t2\t8\r\n0\t74\t50\t0\t32\r\n");
    Pane& pane = MakeCanvas();
    pane.SetLineHeight(30);
    return pane;
  }
  void PutLines(int32_t count, int32_t type = Line::kItemService) {
    Line& t = Table();
    t.BeginAccess();
    for (int32_t i = 0; i < count; ++i) {
      t.ClearRecordBuffer(nullptr);
      t.SetFieldValue(Line::kType, ppParameter(type), nullptr);
      t.SetFieldValue(Line::kRecordId, ppParameter(i + 1), nullptr);
      const std::string name = "line " + std::to_string(i + 1);
      t.SetFieldValue(Line::kText, ppParameter(Vcon::WString(name.c_str()).c_str()), nullptr);
      t.InsertRecordAt(-1, nullptr);
    }
    t.SaveToBlob();
    ThePane().ShowLastLine();
  }
  PrintLog Print(qxPrintPage page = HandPage()) {
    PrintLog log;
    ThePane().SetPrintRecorder(&log);
    ThePane().PreparePrint(page, Pane::kPrintColumnsFile);
    EXPECT_FALSE(ThePane().Print(*dc_, page));
    ThePane().SetPrintRecorder(nullptr);
    return log;
  }
  // Where the words of text event `e` stand on the page: the measured text placed in its rectangle by
  // its alignment, from the rectangle's top.
  plat::RECT Ink(const PrintLog::Event& e) {
    dc_->RestoreFont();
    dc_->SetFont(Vcon::String("Arial"), e.height, e.bold ? 1 : 0, 0);
    dc_->SelectFont();
    plat::RECT m{0, 0, e.r.right - e.r.left, 0};
    dc_->MeasureText(e.text, &m, e.flags & ~uint32_t(plat::DT_RIGHT | plat::DT_CENTER));
    dc_->RestoreFont();
    const int32_t w = m.right - m.left, h = m.bottom - m.top;
    int32_t left = e.r.left;
    if ((e.flags & plat::DT_RIGHT) != 0) left = e.r.right - w;
    if ((e.flags & plat::DT_CENTER) != 0) left = (e.r.left + e.r.right - w) / 2;
    return {left, e.r.top, left + w, e.r.top + h};
  }
  static bool Meet(const plat::RECT& a, const plat::RECT& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  }
  // Every pair of non-empty texts of one page whose words meet, as "first | second" on page n.
  std::vector<std::string> MeetingTexts(const PrintLog& log) {
    std::vector<std::pair<const PrintLog::Event*, plat::RECT>> texts;
    for (const auto& e : log.events)
      if (e.kind == 'T' && !e.text.empty()) texts.emplace_back(&e, Ink(e));
    std::vector<std::string> meeting;
    for (size_t i = 0; i < texts.size(); ++i)
      for (size_t j = i + 1; j < texts.size(); ++j)
        if (texts[i].first->page == texts[j].first->page && Meet(texts[i].second, texts[j].second))
          meeting.push_back(Vcon::Utf8FromUtf16(texts[i].first->text) + " | " +
                            Vcon::Utf8FromUtf16(texts[j].first->text) + " on page " +
                            std::to_string(texts[i].first->page));
    return meeting;
  }
  plat::HDC printer_ = nullptr;
  std::unique_ptr<ppDC> dc_;
};

TEST_F(PriceListPrintTest, PreparePrintLaysOutThePageAndAtLeastOneRow) {
  Pane& pane = TwentyRowPane();
  qxPrintPage page = HandPage();
  pane.PreparePrint(page, Pane::kPrintColumnsFile);
  EXPECT_EQ((std::vector<int32_t>{page.image.left, page.image.top, page.image.right, page.image.bottom}),
            (std::vector<int32_t>{200, 300, 1900, 2600}));
  EXPECT_FLOAT_EQ(page.imageScale, 10 / 2.857f);
  EXPECT_FLOAT_EQ(pane.PrintRowHeight(), 30 * 10 / 2.857f);
  EXPECT_EQ(pane.PrintRowsPerPage(), 20);
  EXPECT_EQ(page.leftMargin, 20);
  EXPECT_EQ(page.footerHeight, 20);

  // Rows are counted from one row below the printable top: (2550 - (300 + 105)) / 105 = 20.4 on a sheet
  // 2750 pixels high. They print from one and a half rows down, so the twentieth row's box reaches
  // half a row into the footer band (its text stands at its top).
  qxPrintPage shorter = HandPage(2750);
  pane.PreparePrint(shorter, Pane::kPrintColumnsFile);
  EXPECT_EQ(shorter.image.bottom, 2550);
  EXPECT_EQ(pane.PrintRowsPerPage(), 20);

  // The pane's own rows: 96 pixels by the point scale, five to the hand-made page.
  pane.SetLineHeight(Pane::kBaseLineHeight + Pane::kLineHeightExtra);
  qxPrintPage own = HandPage();
  pane.PreparePrint(own, Pane::kPrintColumnsFile);
  EXPECT_FLOAT_EQ(pane.PrintRowHeight(), 96 * 10 / 2.857f);
  EXPECT_EQ(pane.PrintRowsPerPage(), 5);
  pane.SetLineHeight(30);

  // A printable area lower than two rows still gives one row a page, and the print ends.
  qxPrintPage low = HandPage(560);
  pane.PreparePrint(low, Pane::kPrintColumnsFile);
  EXPECT_EQ(pane.PrintRowsPerPage(), 1);
  PutLines(3);
  const PrintLog log = Print(HandPage(560));
  EXPECT_EQ(log.TextsStarting(u"Page"),
            (std::vector<std::u16string>{u"Page 1 / 3", u"Page 2 / 3", u"Page 3 / 3"}));

  // Twenty-one lines on the sheet 2750 pixels high: the twentieth stands on the first page's last row,
  // whose box reaches into the footer band (2550) while its words end above the band.
  pane.Clear();
  PutLines(21);
  const PrintLog full = Print(HandPage(2750));
  const PrintLog::Event* twentieth = full.FindText(u"line 20");
  ASSERT_NE(twentieth, nullptr);
  EXPECT_EQ(twentieth->page, 1);
  EXPECT_EQ(twentieth->r.top, int32_t(300 + 1.5f * 105 + 19 * 105));
  EXPECT_GT(float(twentieth->r.top) + pane.PrintRowHeight(), 2550.0f);
  EXPECT_LE(Ink(*twentieth).bottom, 2550);
  ASSERT_NE(full.FindText(u"line 21"), nullptr);
  EXPECT_EQ(full.FindText(u"line 21")->page, 2);
}

TEST_F(PriceListPrintTest, PagesBreakAtTwentyRowsAndTheFootersCountThePages) {
  struct Case {
    int32_t lines;
    std::vector<std::u16string> footers;
    int32_t lastLinePage;
  } cases[] = {
      {45, {u"Page 1 / 3", u"Page 2 / 3", u"Page 3 / 3"}, 3},
      // Whole pages: the last line (the grand total as a rule) stands alone on a page of its own.
      {40, {u"Page 1 / 3", u"Page 2 / 3", u"Page 3 / 3"}, 3},
      {0, {u"Page 1 / 1"}, 0},
  };
  TwentyRowPane();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    ThePane().Clear();
    PutLines(c.lines);
    const PrintLog log = Print();
    EXPECT_EQ(log.TextsStarting(u"Page"), c.footers);
    EXPECT_EQ(log.page, int32_t(c.footers.size()));
    if (c.lines == 0) continue;
    const std::string last = "line " + std::to_string(c.lines);
    const std::string before = "line " + std::to_string(c.lines - 1);
    ASSERT_NE(log.FindText(Vcon::WString(last.c_str())), nullptr);
    EXPECT_EQ(log.FindText(Vcon::WString(last.c_str()))->page, c.lastLinePage);
    if (c.lines == 40) {
      EXPECT_EQ(log.FindText(Vcon::WString(before.c_str()))->page, 2);
    }
  }
}

TEST_F(PriceListPrintTest, RowsOfACellRoundUpOnlyPastFiveHundredthsOfARow) {
  struct Case {
    float rows;
    int32_t counted;
  } cases[] = {{2.04f, 2}, {2.06f, 3}, {1.0f, 1}, {0.5f, 1}, {0.0f, 1}, {3.0f, 3}, {2.9f, 3}};
  for (const Case& c : cases) EXPECT_EQ(Pane::RowsNeeded(c.rows * 105, 105), c.counted) << c.rows;
  EXPECT_EQ(Pane::RowsNeeded(500, 0), 1) << "no row height: one row";
}

TEST_F(PriceListPrintTest, ALineThatDoesNotFitStaysAndFillsThePage) {
  Pane& pane = TwentyRowPane();
  PutLines(22);
  qxPrintPage page = HandPage();
  pane.PreparePrint(page, Pane::kPrintColumnsFile);
  pane.FitPrintColumns(*dc_, page);
  for (int32_t i = 0; i < 20; ++i) pane.PrintListLine(i, *dc_, page);
  EXPECT_EQ(pane.PrintCurrentLine(), 20);
  EXPECT_EQ(pane.PrintRowsOnPage(), 20);
  const float y = pane.PrintY();
  PrintLog log;
  pane.SetPrintRecorder(&log);
  pane.PrintListLine(20, *dc_, page);
  pane.SetPrintRecorder(nullptr);
  EXPECT_EQ(pane.PrintCurrentLine(), 20) << "the line stays for the next page";
  EXPECT_EQ(pane.PrintRowsOnPage(), 21);
  EXPECT_EQ(pane.PrintY(), y);
  EXPECT_EQ(log.TextsStarting(u"line").size(), 0u);
}

TEST_F(PriceListPrintTest, ALineTallerThanAPagePrintsOnceClippedAndTheRestGoesOn) {
  // ttext in a column a few pixels wide: line 2's words stand one a row, far past a page.
  PrintColumns("0\t65\t5\t0\t0\r\n0\t74\t500\t0\t34\r\n");
  MakeCanvas().SetLineHeight(30);
  PutLines(3);
  Line& t = Table();
  t.BeginAccess();
  t.ReadRecordAt(1, nullptr);
  std::u16string words;
  for (int32_t i = 0; i < 200; ++i) words += u"ab ";
  t.SetFieldValue(Line::kText, ppParameter(words.c_str()), nullptr);
  t.WriteRecordAt(1, nullptr);
  t.SaveToBlob();
  const PrintLog log = Print();
  ASSERT_NE(log.FindText(u"line 1"), nullptr);
  ASSERT_NE(log.FindText(u"line 3"), nullptr);
  EXPECT_EQ(log.FindText(u"line 1")->page, 1);
  EXPECT_EQ(log.FindText(u"line 3")->page, 3);
  int32_t tall = 0;
  for (const auto& e : log.events)
    if (e.kind == 'T' && e.text.size() > 50) {
      ++tall;
      EXPECT_EQ(e.page, 2);
    }
  EXPECT_EQ(tall, 1) << "printed once";
  EXPECT_EQ(log.TextsStarting(u"Page").size(), 3u);
}

TEST_F(PriceListPrintTest, LineTypesDecideBoldRulesAndTheDoubleUnderline) {
  TwentyRowPane();
  Put(Line::kTagHeading, 1, {{"ttext", ppParameter(u"heading")}});
  Put(Line::kCalculationItem, 2, {{"ttext", ppParameter(u"item")}});
  Put(Line::kTagSubtotal, 3, {{"ttext", ppParameter(u"subtotal")}});
  Put(Line::kEmptyLine, 4, {{"totherText", ppParameter(u"described")}});
  Put(Line::kTotalLine, 5, {{"ttext", ppParameter(u"grand")}});
  const PrintLog log = Print();
  const auto fontBefore = [&](const std::u16string& text) {
    const PrintLog::Event* font = nullptr;
    for (const auto& e : log.events) {
      if (e.kind == 'F') font = &e;
      if (e.kind == 'T' && e.text == text) return font;
    }
    return static_cast<const PrintLog::Event*>(nullptr);
  };
  ASSERT_NE(fontBefore(u"heading"), nullptr);
  EXPECT_TRUE(fontBefore(u"heading")->bold);
  EXPECT_FALSE(fontBefore(u"item")->bold);
  EXPECT_NE(log.FindText(u"described"), nullptr) << "the description field prints on an Empty line";

  // Rules across the printable width 12 pixels above the subtotal's and the total's rows only.
  std::vector<int32_t> wideRules;
  for (const auto& e : log.events)
    if (e.kind == 'R' && e.r.left == 200 && e.r.right == 1900 && e.r.top == e.r.bottom)
      wideRules.push_back(e.r.top);
  const int32_t subTop = log.FindText(u"subtotal")->r.top, totalTop = log.FindText(u"grand")->r.top;
  EXPECT_NE(std::count(wideRules.begin(), wideRules.end(), subTop - 12), 0);
  EXPECT_NE(std::count(wideRules.begin(), wideRules.end(), totalTop - 12), 0);
  EXPECT_EQ(std::count(wideRules.begin(), wideRules.end(), log.FindText(u"item")->r.top - 12), 0);

  // The double underline: two rules along the total column of the Total, 3 × font scale apart.
  std::vector<plat::RECT> under;
  for (const auto& e : log.events)
    if (e.kind == 'R' && e.r.left != 200 && e.r.top == e.r.bottom && e.r.top > totalTop) under.push_back(e.r);
  ASSERT_EQ(under.size(), 2u);
  EXPECT_EQ(under[1].top - under[0].top, 12);
  EXPECT_EQ(under[0].left, under[1].left);
}

TEST_F(PriceListPrintTest, FittingGivesWidestFlexibleAndNominalWidths) {
  // ttext flexible; total as wide as its widest text; totherText flexible but filled by no line;
  // tunitDescription at least its nominal share; torderID flexible, unfilled, kept by option 2.
  PrintColumns(
      "0\t65\t100\t0\t0\r\n0\t53\t50\t2\t8\r\n0\t74\t100\t0\t0\r\n0\t72\t400\t0\t4\r\n0\t73\t50\t0\t2\r\n");
  Pane& pane = MakeCanvas();
  Put(Line::kItemService, 1, {{"ttext", ppParameter(u"a")}, {"tunitDescription", ppParameter(u"x")}});
  Put(Line::kItemService, 2,
      {{"ttext", ppParameter(u"bb")}, {"total", ppParameter(calctest::Amount(1234.5))}});
  qxPrintPage page = HandPage();
  pane.PreparePrint(page, Pane::kPrintColumnsFile);
  pane.FitPrintColumns(*dc_, page);
  std::vector<DisplayListLayout::Column> c;
  for (uint32_t i = 0; i < 5; ++i) c.push_back(DisplayListLayout::ReadColumn(pane.PrintLayout(), i));
  const float ps = 10 / 2.857f;
  // The widest total text, measured as the fitting does (bold, the list's size × font scale).
  DisplayListLayout::Header header;
  DisplayListLayout::ReadHeader(pane.PrintLayout(), &header);
  dc_->SetFont(Vcon::String("Arial"), int32_t(float(header.fontSize) * page.textScale), 1, 0);
  int32_t widest = dc_->GetTextWidth(u"total");
  Table().BeginAccess();
  for (int32_t line = 0; line < 2; ++line) {
    Table().ReadRecordAt(line, nullptr);
    ppParameter v;
    Table().GetFieldValue(Line::kTotal, v, nullptr);
    widest = std::max(widest, dc_->GetTextWidth(v.AsWString()));
  }
  EXPECT_EQ(c[1].width, int32_t(float(widest) + 20 * ps)) << "option 8";
  EXPECT_EQ(c[2].width, 0) << "a flexible column no line fills";
  EXPECT_GT(c[4].width, 0) << "option 2 keeps it";
  const float spread = 1700.0f / ((100 + 50 + 100 + 400 + 50) * ps);
  EXPECT_EQ(c[3].width, int32_t(float(int32_t(400 * ps * spread)) + 20 * ps))
      << "option 4: its share + 20 points";
  // The flexible columns share what is left; the columns stand side by side.
  // (An at-least-nominal column counts without its 20 points there, so the row ends that much wider.)
  EXPECT_NEAR(c[0].width + c[1].width + c[3].width + c[4].width, 1700 + 20 * ps, 3);
  for (size_t i = 1; i < c.size(); ++i) EXPECT_EQ(c[i].x, c[i - 1].x + c[i - 1].width);
}

TEST_F(PriceListPrintTest, AZeroWidthListLeavesTheWidthsAsTheyAre) {
  // Flexible columns of nominal width 0, one filled, one kept empty by option 2: both sums are 0.
  PrintColumns("0\t65\t0\t0\t0\r\n0\t74\t0\t0\t2\r\n0\t53\t0\t2\t8\r\n");
  Pane& pane = MakeCanvas();
  Put(Line::kItemService, 1, {{"ttext", ppParameter(u"filled")}});
  qxPrintPage page = HandPage();
  pane.PreparePrint(page, Pane::kPrintColumnsFile);
  pane.FitPrintColumns(*dc_, page);  // no division by a zero sum
  for (uint32_t i = 0; i < 3; ++i) {
    const auto c = DisplayListLayout::ReadColumn(pane.PrintLayout(), i);
    if (i < 2) {
      EXPECT_EQ(c.width, 0) << i;
    }
    EXPECT_EQ(c.x, 0) << i;
  }
}

TEST_F(PriceListPrintTest, TheHeaderDateIsTheLocalDateInTheUsersShortFormat) {
  TwentyRowPane();
  const char* saved = std::getenv("TZ");
  const std::string old = saved != nullptr ? saved : "";
  // The C locale's short date: month, day, two-digit year.
  const char* savedLocale = std::getenv("LC_ALL");
  const std::string oldLocale = savedLocale != nullptr ? savedLocale : "";
  setenv("LC_ALL", "C", 1);
  // Fourteen hours east and twelve west of UTC: at any hour one of them is on another date than UTC.
  for (const auto& [zone, offset] : {std::pair{"<+14>-14", 14}, std::pair{"<-12>12", -12}}) {
    SCOPED_TRACE(zone);
    setenv("TZ", zone, 1);
    tzset();
    const PrintLog log = Print();
    const std::time_t shifted = std::time(nullptr) + offset * 3600;
    std::tm day{};
    gmtime_r(&shifted, &day);
    char text[32];
    std::snprintf(text, sizeof text, "6198%02d/%02d/%02d", day.tm_mon + 1, day.tm_mday, day.tm_year % 100);
    EXPECT_NE(log.FindText(Vcon::WString(text)), nullptr) << text;
  }
  if (saved != nullptr)
    setenv("TZ", old.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  if (savedLocale != nullptr)
    setenv("LC_ALL", oldLocale.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

TEST_F(PriceListPrintTest, TheItemSheetPrintsTenColumnsAndTheTotalsLabel) {
  TwentyRowPane();
  PrintTexts texts;
  SetTextSource(&texts);
  SetItemSheetPrintFlag(true);
  Put(Line::kEmptyLine, 1);
  const int32_t fitting = Put(Line::kItemService, 2,
                              {{"totherText", ppParameter(u"Fitting")},
                               {"ttext", ppParameter(u"wall")},
                               {"price", ppParameter(calctest::Amount(13))}});
  Put(Line::kEmptyLine, 3);
  Put(Line::kItemService, 4, {{"totherText", ppParameter(u"Delivery")}, {"ttext", ppParameter(u"van")}});
  // A unit's number and name come before the words typed into the panel; a Text line's own text is
  // empty, and the words still end in the separator.
  Put(Line::kItemService, 5,
      {{"tunitDescription", ppParameter(u"Service")},
       {"totherText", ppParameter(u"typed")},
       {"ttext", ppParameter(u"fitting")}});
  Put(Line::kTextLine, 6, {{"totherText", ppParameter(u"Note")}});
  Put(Line::kTotalLine, 7);
  UserPreferences& p = Preferences();
  const UserPreferences before = p;
  const PrintLog log = Print();
  // w = (1900 - 200 - 50) / 9 = 183; captions stand at 200, 250, 433, ... in cells of w.
  std::vector<int32_t> captionLefts;
  for (const auto& e : log.events)
    if (e.kind == 'T' && e.r.top == 300 && e.page == 1) captionLefts.push_back(e.r.left);
  EXPECT_EQ(captionLefts, (std::vector<int32_t>{200, 250, 433, 616, 799, 982, 1165, 1348, 1531, 1714}));
  // The Empty line on top takes no row; the one between the items one row.
  ASSERT_NE(log.FindText(u"Fitting - wall"), nullptr);
  ASSERT_NE(log.FindText(u"Delivery - van"), nullptr);
  const int32_t first = log.FindText(u"Fitting - wall")->r.top;
  EXPECT_EQ(first, 457);
  EXPECT_EQ(log.FindText(u"Delivery - van")->r.top, int32_t(457.5f + 2 * 105));
  // An Item/Service's price as money, as the table shows it.
  Table().BeginAccess();
  Table().ReadRecordAt(fitting, nullptr);
  ppParameter price;
  Table().GetFieldValue(Line::kPrice, price, nullptr);
  ASSERT_FALSE(price.AsWString().empty());
  EXPECT_NE(log.FindText(price.AsWString()), nullptr) << Vcon::Utf8FromUtf16(price.AsWString());
  ASSERT_NE(log.FindText(u"Service - fitting"), nullptr);
  EXPECT_EQ(log.FindText(u"typed - fitting"), nullptr);
  ASSERT_NE(log.FindText(u"Note - "), nullptr);
  EXPECT_EQ(log.FindText(u"Note - ")->r.top, int32_t(457.5f + 4 * 105));
  // The Total: an empty row after the Text line, then its label on its own row.
  ASSERT_NE(log.FindText(u"Sum"), nullptr);
  EXPECT_EQ(log.FindText(u"Sum")->r.top, int32_t(float(int32_t(457.5f + 6 * 105)) + 3 * 4.0f));

  p.useFactors = 1;
  p.profitFactor = 1.25f;
  const PrintLog factored = Print();
  p = before;
  EXPECT_NE(factored.FindText(u"Sum with factor"), nullptr);
  EXPECT_EQ(factored.FindText(u"Sum"), nullptr);
}

// A short list as the demo prints it, at the pane's own row height (96 × 3.5 device pixels): five rows a
// page under a header one and a half rows high, so the group, four articles, the subtotal, an empty line
// and the Total take two pages. Captions and cells span their columns' full widths: a right-aligned
// amount ends where the next column begins.
TEST_F(PriceListPrintTest, ArticlesPrintFiveRowsAPageInCellsAsWideAsTheirColumns) {
  PrintColumns("0\t65\t100\t0\t0\r\n0\t53\t50\t2\t8\r\n0\t74\t50\t0\t32\r\n");
  Pane& pane = MakeCanvas();
  Put(Line::kTagHeading, 1, {{"totherText", ppParameter(u"Kitchen")}});
  for (int32_t i = 0; i < 4; ++i)
    Put(Line::kItemService, 2 + i,
        {{"ttext", ppParameter(Vcon::WString(std::u16string(u"Unit ") + char16_t(u'1' + i)))},
         {"total", ppParameter(calctest::Amount(1000 + i))}});
  Put(Line::kTagSubtotal, 6,
      {{"totherText", ppParameter(u"Subtotal for Kitchen")}, {"total", ppParameter(calctest::Amount(4006))}});
  Put(Line::kEmptyLine, 7);
  Put(Line::kTotalLine, 8,
      {{"totherText", ppParameter(u"Total")}, {"total", ppParameter(calctest::Amount(4006))}});
  const PrintLog log = Print();
  const float row = 96 * 10 / 2.857f;
  EXPECT_FLOAT_EQ(pane.PrintRowHeight(), row);
  EXPECT_EQ(pane.PrintRowsPerPage(), 5);
  EXPECT_EQ(pane.PrintPageCount(), 2);
  EXPECT_EQ(log.TextsStarting(u"Page"), (std::vector<std::u16string>{u"Page 1 / 2", u"Page 2 / 2"}));
  ASSERT_NE(log.FindText(u"Kitchen"), nullptr);
  ASSERT_NE(log.FindText(u"Unit 4"), nullptr);
  ASSERT_NE(log.FindText(u"Subtotal for Kitchen"), nullptr);
  EXPECT_EQ(log.FindText(u"Kitchen")->r.top, int32_t(300 + 1.5f * row)) << "below the header";
  EXPECT_EQ(log.FindText(u"Unit 4")->page, 1);
  EXPECT_EQ(log.FindText(u"Subtotal for Kitchen")->page, 2);
  EXPECT_EQ(log.FindText(u"Subtotal for Kitchen")->r.top, int32_t(300 + 1.5f * row));

  // The fitted columns side by side; captions and cells take their whole width.
  std::vector<DisplayListLayout::Column> c;
  for (uint32_t i = 0; i < 3; ++i) c.push_back(DisplayListLayout::ReadColumn(pane.PrintLayout(), i));
  const PrintLog::Event* totalCaption = log.FindText(u"total");
  const PrintLog::Event* noteCaption = log.FindText(u"totherText");
  ASSERT_NE(totalCaption, nullptr);
  ASSERT_NE(noteCaption, nullptr);
  EXPECT_EQ(totalCaption->r.left, 200 + c[1].x);
  EXPECT_EQ(totalCaption->r.right, noteCaption->r.left);
  EXPECT_EQ(noteCaption->r.right, 200 + c[2].x + c[2].width);
  const PrintLog::Event* label = log.FindText(u"Subtotal for Kitchen");
  EXPECT_EQ(label->r.left, 200 + c[2].x);
  int32_t amounts = 0;
  for (const auto& e : log.events)
    if (e.kind == 'T' && e.page == 2 && e.r.top == label->r.top && !e.text.empty() && e.text != label->text) {
      EXPECT_EQ(e.r.right, label->r.left) << "the subtotal's amount ends where the label's column begins";
      ++amounts;
    }
  EXPECT_EQ(amounts, 1);
}

// A line's picture prints as its frame grown by the point scale, centred in its cell; the side picture
// is scaled to the sheet's height and drawn whole, over the margin and beyond.
TEST_F(PriceListPrintTest, ALinesPictureAndTheSidePicturePrintAtTheirScales) {
  const int32_t unit = PicturedUnit("Boxed", 64, 40, 0x00FF00);
  app_->frames[2001] = std::make_unique<ppPicture>(100, 200, 24);
  ASSERT_FALSE(app_->frames[2001]->IsEmpty());
  PrintColumns("0\t65\t100\t0\t0\r\n0\t49\t100\t0\t2\r\n");
  Pane& pane = MakeCanvas();
  Put(Line::kCalculationItem, 1,
      {{"unitID", ppParameter(unit)},
       {"databaseID", ppParameter(int32_t(1))},
       {"ttext", ppParameter(u"boxed")}},
      nullptr);
  const PrintLog log = Print();
  std::vector<plat::RECT> pictures;
  for (const auto& e : log.events)
    if (e.kind == 'P') pictures.push_back(e.r);
  ASSERT_EQ(pictures.size(), 2u);
  // The side picture, 100 by 200 grown 14 times to the sheet's 2800 pixels, less 10 on every side.
  EXPECT_EQ(pictures[0], (plat::RECT{10, 10, 1390, 2790}));
  // The line's picture: 64 by 40 times 10 / 2.857, truncated, centred across its column.
  const plat::RECT& p = pictures[1];
  const float ps = 10 / 2.857f;
  EXPECT_EQ(p.right - p.left, int32_t(64 * ps));
  EXPECT_EQ(p.bottom - p.top, int32_t(40 * ps));
  const DisplayListLayout::Column c = DisplayListLayout::ReadColumn(pane.PrintLayout(), 1);
  EXPECT_EQ(p.left, 200 + c.x + ((c.width - int32_t(64 * ps)) >> 1));
  const PrintLog::Event* text = log.FindText(u"boxed");
  ASSERT_NE(text, nullptr);
  EXPECT_LT(p.top, text->r.top + int32_t(pane.PrintRowHeight())) << "on the line's row";
  delete canvas_;
  canvas_ = nullptr;
  app_->frames.erase(2001);
}

// The item sheet of a price list with the lines a user adds: each prints its words and its total, an
// Item/Service also its price, as money like every other amount (a typed 1.249,50 is no "124950"). A sheet
// 2750 pixels high holds 20 rows; a line that the empty row in front of it would push below the last row
// starts the next page, and the footers count the pages printed.
TEST_F(PriceListPrintTest, TheItemSheetPrintsTheUsersLinesAndNeverPushesALineBelowTheLastRow) {
  TwentyRowPane();
  SetItemSheetPrintFlag(true);
  const auto amount = [](double units) { return ppParameter(calctest::Amount(units)); };
  // Amount `field` (the total unless named) of line `line` as the table shows it.
  const auto money = [&](int32_t line, int32_t field = Line::kTotal) {
    Table().BeginAccess();
    Table().ReadRecordAt(line, nullptr);
    ppParameter value;
    Table().GetFieldValue(field, value, nullptr);
    return std::u16string(value.AsWString());
  };
  int32_t id = 1;
  for (int32_t i = 0; i < 13; ++i) {
    const std::u16string words = u"article " + Vcon::Utf16FromUtf8(std::to_string(i + 1));
    Put(Line::kItemService, id++, {{"totherText", ppParameter(words.c_str())}, {"total", amount(10)}});
  }
  const int32_t fittingLine =
      Put(Line::kItemService, id++,
          {{"totherText", ppParameter(u"Fitting")}, {"price", amount(1249.5)}, {"total", amount(2499)}});
  Put(Line::kTextLine, id++, {{"totherText", ppParameter(u"Delivered on Monday")}});
  // An empty row goes in front of the Discount, the VAT/Tax and the SubTotal: 19 rows are used after
  // the VAT/Tax line, and the SubTotal's empty row would leave it row 21.
  const int32_t discountLine =
      Put(Line::kDiscountLine, id++, {{"totherText", ppParameter(u"Loyalty")}, {"total", amount(-16.6)}});
  const int32_t vatLine =
      Put(Line::kVatLine, id++, {{"totherText", ppParameter(u"VAT 25 %")}, {"total", amount(37.35)}});
  const int32_t subtotalLine =
      Put(Line::kSubtotalLine, id++, {{"totherText", ppParameter(u"Sum so far")}, {"total", amount(166.75)}});
  Put(Line::kTotalLine, id++, {{"total", amount(208.44)}});

  const PrintLog log = Print(HandPage(2750));
  const int32_t w = (1900 - 200 - 50) / 9;
  const auto at = [&](const std::u16string& text) {
    const PrintLog::Event* e = log.FindText(text);
    EXPECT_NE(e, nullptr) << Vcon::Utf8FromUtf16(text);
    return e;
  };
  // The words from the third column on, the price at the ninth column's right edge, the total at the tenth's.
  const PrintLog::Event* fitting = at(u"Fitting - ");
  ASSERT_NE(fitting, nullptr);
  EXPECT_EQ(fitting->r.left, 200 + 50 + w);
  // The price as the money formatter writes it (here in whole kroner), not in hundredths.
  const std::u16string priceText = money(fittingLine, Line::kPrice);
  EXPECT_EQ(log.FindText(u"124950"), nullptr) << "the price in hundredths";
  const PrintLog::Event* price = at(priceText);
  ASSERT_NE(price, nullptr);
  EXPECT_EQ(price->r.right, 200 + 50 + 8 * w);
  EXPECT_EQ(price->r.top, fitting->r.top);
  for (const auto& [words, line] :
       {std::pair{u"Fitting - ", fittingLine}, std::pair{u"Loyalty", discountLine},
        std::pair{u"VAT 25 %", vatLine}, std::pair{u"Sum so far", subtotalLine}}) {
    SCOPED_TRACE(Vcon::Utf8FromUtf16(words));
    const PrintLog::Event* label = at(words);
    ASSERT_NE(label, nullptr);
    const std::u16string total = money(line);
    ASSERT_FALSE(total.empty());
    bool found = false;
    for (const auto& e : log.events)
      if (e.kind == 'T' && e.page == label->page && e.r.top == label->r.top && e.text == total) {
        EXPECT_EQ(e.r.right, 200 + 50 + 9 * w);
        found = true;
      }
    EXPECT_TRUE(found) << "its total on its row";
  }
  EXPECT_NE(at(u"Delivered on Monday - "), nullptr);

  // The VAT/Tax line takes the nineteenth row; the SubTotal heads the second page.
  const float row = ThePane().PrintRowHeight();
  EXPECT_EQ(ThePane().PrintRowsPerPage(), 20);
  const PrintLog::Event* vat = at(u"VAT 25 %");
  ASSERT_NE(vat, nullptr);
  EXPECT_EQ(vat->page, 1);
  EXPECT_EQ(vat->r.top, int32_t(300 + 1.5f * row + 18 * row));
  const PrintLog::Event* subtotal = at(u"Sum so far");
  ASSERT_NE(subtotal, nullptr);
  EXPECT_EQ(subtotal->page, 2);
  EXPECT_EQ(subtotal->r.top, int32_t(300 + 1.5f * row));
  EXPECT_EQ(log.page, 2);
  EXPECT_EQ(log.TextsStarting(u"Page"), (std::vector<std::u16string>{u"Page 1 / 2", u"Page 2 / 2"}));
}

// The item sheet of an Item/Service, a Discount, a SubTotal and a VAT/Tax line before the Total: every
// amount stands on its own line's row, the Total's label and amount on the Total's own row, and no two
// texts of a page meet. The user folder's logo stands at the sheet's left edge, scaled to its height,
// inside the left margin; without the file the sheet prints no picture.
TEST_F(PriceListPrintTest, TheItemSheetsTotalHasARowOfItsOwnAndTheLogoStandsInTheLeftMargin) {
  TwentyRowPane();
  SheetTexts texts;
  SetTextSource(&texts);
  SetItemSheetPrintFlag(true);
  // The logo: 16 by 240 pixels, in the program folder's user folder.
  std::filesystem::create_directories(ownFolder_ / "user");
  plat::Surface logo(16, 240);
  for (int32_t y = 0; y < 240; ++y)
    for (int32_t x = 0; x < 16; ++x) logo.SetPixel(x, y, 0x6B5A45);
  ASSERT_TRUE(plat::WritePng(logo, (ownFolder_ / "user" / "logo.bmp").string()));

  const auto amount = [](double units) { return ppParameter(calctest::Amount(units)); };
  Put(Line::kItemService, 1,
      {{"totherText", ppParameter(u"Fitting")},
       {"pcs", ppParameter(2.0)},
       {"price", amount(150)},
       {"total", amount(300)}});
  Put(Line::kDiscountLine, 2, {{"totherText", ppParameter(u"Loyalty")}, {"total", amount(-30)}});
  Put(Line::kSubtotalLine, 3, {{"totherText", ppParameter(u"Sum so far")}, {"total", amount(270)}});
  Put(Line::kVatLine, 4, {{"totherText", ppParameter(u"VAT 25 %")}, {"total", amount(67.5)}});
  Put(Line::kTotalLine, 5, {{"total", amount(337.5)}});
  const PrintLog log = Print(HandPage(2750));

  EXPECT_EQ(MeetingTexts(log), std::vector<std::string>{});
  // The VAT/Tax line's row, then the Total's empty row and its own row.
  const float row = ThePane().PrintRowHeight();
  const PrintLog::Event* vat = log.FindText(u"VAT 25 %");
  const PrintLog::Event* label = log.FindText(u"Sum");
  ASSERT_NE(vat, nullptr);
  ASSERT_NE(label, nullptr);
  const int32_t totalRow = int32_t(float(vat->r.top) + 2 * row);
  EXPECT_EQ(label->r.top, int32_t(float(totalRow) + 3 * 4.0f));
  const int32_t w = (1900 - 200 - 50) / 9;
  EXPECT_EQ(label->r.left, 1900 - 2 * w);
  // The rule above the Total lies in its empty row; the double underline under its amount, on its row.
  std::vector<int32_t> rules;
  for (const auto& e : log.events)
    if (e.kind == 'R' && e.r.top == e.r.bottom && e.r.top > vat->r.top) rules.push_back(e.r.top);
  ASSERT_EQ(rules.size(), 3u);
  EXPECT_EQ(rules[0], totalRow - 12);
  EXPECT_GT(rules[1], label->r.top);
  EXPECT_EQ(rules[2], int32_t(float(rules[1]) + 4 * 4.0f));
  EXPECT_LT(rules[2], int32_t(float(totalRow) + row));

  // The logo, 16 by 240 grown to the sheet's 2750 pixels, less 10 on every side: inside the 200 pixels
  // of the left margin.
  std::vector<plat::RECT> pictures;
  for (const auto& e : log.events)
    if (e.kind == 'P') pictures.push_back(e.r);
  ASSERT_EQ(pictures.size(), 1u);
  const float grown = 2750.0f / 240;
  EXPECT_EQ(pictures[0], (plat::RECT{10, 10, int32_t(16 * grown) - 10, 2740}));
  EXPECT_LE(pictures[0].right, 200);

  std::filesystem::remove(ownFolder_ / "user" / "logo.bmp");
  const PrintLog without = Print(HandPage(2750));
  for (const auto& e : without.events) EXPECT_NE(e.kind, 'P');
}

// A logo file larger than the handle zone holds is a logo that cannot be read: the sheet prints
// without a picture, and the program goes on.
TEST_F(PriceListPrintTest, ALogoFileLargerThanTheZonePrintsNoLogo) {
  TwentyRowPane();
  SheetTexts texts;
  SetTextSource(&texts);
  SetItemSheetPrintFlag(true);
  std::filesystem::create_directories(ownFolder_ / "user");
  const std::filesystem::path logo = ownFolder_ / "user" / "logo.bmp";
  std::ofstream(logo, std::ios::binary) << "BM";
  std::filesystem::resize_file(logo, 50'000'000);  // sparse: no byte of it is read
  Put(Line::kTotalLine, 1, {{"total", ppParameter(calctest::Amount(10))}});
  const PrintLog log = Print(HandPage(2750));
  EXPECT_NE(log.FindText(u"Sum"), nullptr);
  for (const auto& e : log.events) EXPECT_NE(e.kind, 'P');
  std::filesystem::remove(logo);
}

// A demo price list of every line type in the list layout: the first printed page matches the kept
// page (to renew it after a deliberate change run with PLANNER_WRITE_FIXTURES=1 and look at
// tests/fixtures/calculation/price_list_page.png). The header's date may differ by a few pixels.
TEST_F(PriceListPrintTest, TheListLayoutOfADemoListMatchesTheKeptPage) {
  PrintColumns(
      "0\t65\t100\t0\t0\r\n0\t40\t40\t0\t0\r\n0\t12\t100\t0\t0\r\n0\t53\t50\t2\t8\r\n0\t74\t80\t0\t34\r\n");
  MakeCanvas();  // rows of 96 × 3.5 pixels, five a page
  auto* marked = new OwnQuantityElement();
  marked->mark = 0x10001;
  const std::vector<int32_t> types{Line::kTagHeading,   Line::kCalculationItem, Line::kItemService,
                                   Line::kTextLine,     Line::kTagSubtotal,     Line::kDiscountLine,
                                   Line::kSubtotalLine, Line::kVatLine,         Line::kTotalLine};
  int32_t id = 1;
  for (int32_t type : types) {
    const Vcon::WString name(std::u16string(u"Line ") + char16_t(u'A' + id - 1));
    Put(type, id,
        {{"ttext", ppParameter(name.c_str())},
         {"totherText", ppParameter(u"note")},
         {"missing", ppParameter(int32_t(type == Line::kCalculationItem ? 2 : 0))},
         {"element", ppParameter(int32_t(type == Line::kCalculationItem ? 1 : 0))}},
        type == Line::kCalculationItem ? marked : nullptr);
    ++id;
  }
  Print();
  dc_->EndPage();
  plat::EndDoc(printer_);
  const std::string kept =
      std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/calculation/price_list_page.png";
  const std::string actual = (folder_ / "pages" / "page-1.png").string();
  if (std::getenv("PLANNER_WRITE_FIXTURES"))
    std::filesystem::copy_file(actual, kept, std::filesystem::copy_options::overwrite_existing);
  std::unique_ptr<plat::Surface> expected = plat::ReadPng(kept);
  std::unique_ptr<plat::Surface> drawn = plat::ReadPng(actual);
  ASSERT_TRUE(expected && drawn) << "missing " << kept;
  const plat::PixelDifference diff = plat::ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, 20000) << "first at " << diff.firstX << "," << diff.firstY;
  delete canvas_;
  canvas_ = nullptr;
  delete marked;
}

// ---- The header's document and room, the rows of a line, what each line type shows, and the
// footers' page count when lines take more than a row.

namespace {

// The header's third line for a floor of x by z millimetres, fallback caption.
Vcon::WString SizeLine(float x, float z) {
  Vcon::WString a, b;
  FormatLength(x, a);
  FormatLength(z, b);
  return Vcon::WString(u"6200") + a + Vcon::WString(u" x ") + b;
}

}  // namespace

TEST_F(PriceListPrintTest, TheHeaderNamesTheSavedDocumentAndTheRoomsFloor) {
  TwentyRowPane();
  PutLines(1);
  // No document record, no room: the unnamed text and a floor of nothing.
  PrintLog log = Print();
  EXPECT_NE(log.FindText(u"61976203"), nullptr);
  EXPECT_NE(log.FindText(SizeLine(0, 0)), nullptr);

  // A saved document gives its file title; one never saved stays unnamed.
  doc_ = std::make_unique<zelvproDocFil>(Db(1));
  doc_->DocumentFile().path = u"\\home\\me\\plans\\Kitchen 2.qxf";
  doc_->SetSavedOnce(true);
  // A room of four walls round a 4000 by 3500 millimetre rectangle (wall centres).
  auto room = std::make_unique<qxNewRoomCanvas>(nullptr, plat::RECT{0, 0, 800, 600}, &Db(1));
  {
    // The walls and the floor are made from a top-view record of the catalogue.
    zelvproTopViewFil& file = Db(1).TopViewFile();
    cattest::AddRecord(file, {{"ID", 900}});
    ScopedRecordBuffer<ppDatafile> record(file);
    const ppVector3 corners[] = {{1000, 0, 1000}, {5000, 0, 1000}, {5000, 0, 4500}, {1000, 0, 4500}};
    for (int32_t i = 0; i < 4; ++i) {
      auto* wall = new qxRoomSegment(0, room.get(), plat::RECT{0, 0, 0, 0}, record.Get(), file.ShapeFile());
      wall->SetThickness(150);
      wall->SetHeight(2350);
      wall->SetEnds(corners[i], corners[(i + 1) % 4]);
    }
  }
  room->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
  const ppVector2 floor = room->GetFloorExtent();
  ASSERT_GT(floor.x, 3500.0f);
  ASSERT_GT(floor.y, 3000.0f);
  host_.room = room.get();
  log = Print();
  EXPECT_NE(log.FindText(u"6197Kitchen 2"), nullptr);
  EXPECT_NE(log.FindText(SizeLine(floor.x, floor.y)), nullptr)
      << Vcon::Utf8FromUtf16(SizeLine(floor.x, floor.y));
  doc_->SetSavedOnce(false);
  log = Print();
  EXPECT_NE(log.FindText(u"61976203"), nullptr);
  host_.room = nullptr;
}

TEST_F(PriceListPrintTest, ALineTakesTheRowsOfItsTallestCellWhereverItStands) {
  // Three flexible text columns of the same nominal width.
  PrintColumns("0\t65\t100\t0\t0\r\n0\t74\t100\t0\t0\r\n0\t73\t100\t0\t0\r\n");
  Pane& pane = MakeCanvas();
  pane.SetLineHeight(30);
  qxPrintPage page = HandPage();
  pane.PreparePrint(page, Pane::kPrintColumnsFile);
  // Texts of one word a line that the list's font makes exactly two and three rows high.
  DisplayListLayout::Header header;
  DisplayListLayout::ReadHeader(pane.PrintLayout(), &header);
  dc_->RestoreFont();
  dc_->SetFont(Vcon::String("Arial"), int32_t(float(header.fontSize) * page.textScale), 0, 0);
  dc_->SelectFont();
  std::u16string ofRows[4];
  std::u16string text = u"w";
  for (int32_t words = 1; words < 40; ++words, text += u"\nw") {
    plat::RECT r{0, 0, 1000, 0};
    dc_->MeasureText(text, &r, plat::DT_WORDBREAK | plat::DT_NOPREFIX);
    const int32_t rows = Pane::RowsNeeded(float(r.bottom - r.top), pane.PrintRowHeight());
    if (rows <= 3 && ofRows[rows].empty()) ofRows[rows] = text;
  }
  dc_->RestoreFont();
  ASSERT_FALSE(ofRows[2].empty() || ofRows[3].empty());

  const char* fields[] = {"ttext", "totherText", "torderID"};
  for (int32_t tall = 0; tall < 3; ++tall) {
    SCOPED_TRACE(fields[tall]);
    pane.Clear();
    std::vector<std::pair<const char*, ppParameter>> cells;
    for (int32_t i = 0; i < 3; ++i) {
      // The three-row cell, a two-row cell after it (or first when it is last), one-row cells.
      const int32_t rows = i == tall ? 3 : i == (tall + 1) % 3 ? 2 : 1;
      cells.push_back({fields[i], ppParameter(rows == 1 ? u"w" : ofRows[rows].c_str())});
    }
    Put(Line::kItemService, 1, cells);
    Put(Line::kItemService, 2, {{"ttext", ppParameter(u"next")}});
    const PrintLog log = Print();
    // Line 1's one-row cell and line 2 stand three rows apart.
    ASSERT_NE(log.FindText(u"w"), nullptr);
    ASSERT_NE(log.FindText(u"next"), nullptr);
    EXPECT_NEAR(log.FindText(u"next")->r.top - log.FindText(u"w")->r.top, 3 * pane.PrintRowHeight(), 1);
  }
}

TEST_F(PriceListPrintTest, EachLineTypePrintsItsTagTextTotalAndDescription) {
  // ttagText, total and totherText as the description field.
  PrintColumns("0\t71\t100\t0\t0\r\n0\t53\t100\t2\t0\r\n0\t74\t100\t0\t32\r\n");
  MakeCanvas().SetLineHeight(30);
  for (int32_t type = Line::kEmptyLine; type <= Line::kVatLine; ++type) {
    SCOPED_TRACE(type);
    ThePane().Clear();
    Put(type, 1,
        {{"tag", ppParameter(int32_t(5))},
         {"ttagText", ppParameter(u"Kitchen")},
         {"total", ppParameter(calctest::Amount(7.25))},
         {"totherText", ppParameter(u"about")}});
    Table().BeginAccess();
    Table().ReadRecordAt(0, nullptr);
    ppParameter total;
    Table().GetFieldValue(Line::kTotal, total, nullptr);
    ASSERT_FALSE(total.AsWString().empty());
    const PrintLog log = Print();
    const bool tagText = type == Line::kUnusedLine || type == Line::kTagHeading;
    const bool totalShown = (type >= Line::kCalculationItem && type <= Line::kTotalLine) ||
                            type == Line::kItemService || type >= Line::kDiscountLine;
    EXPECT_EQ(log.FindText(u"Kitchen") != nullptr, tagText);
    EXPECT_EQ(log.FindText(total.AsWString()) != nullptr, totalShown);
    EXPECT_NE(log.FindText(u"about"), nullptr) << "the description field prints on every type";
  }
}

// A quantity that is not whole (a worktop 1500 mm long priced by the metre, a filler panel of 150
// mm) shows its decimals, trimmed, with the decimal character the list shows its amounts with: on the
// screen, in the line's panel, on the printed list and on the item sheet. A whole quantity stays whole.
TEST_F(PriceListPrintTest, AQuantityThatIsNotWholeShowsItsDecimalsEverywhereTheListShowsIt) {
  const DecimalFormat saved = ppParameter::PlainNumberFormat();
  DecimalFormat danish = saved;
  danish.decimalPoint = ",";
  danish.thousandsSeparator = ".";
  ppParameter::SetPlainNumberFormat(danish);
  Write("0\t65\t150\t0\t0\r\n0\t86\t80\t2\t0\r\n");
  PrintColumns("0\t65\t100\t0\t0\r\n0\t86\t50\t2\t8\r\n");
  MakeCanvas().SetLineHeight(30);
  const struct {
    const char16_t* name;
    double pieces;
    const char16_t* shown;
  } lines[] = {{u"worktop", 1.5, u"1,5"}, {u"filler", 0.15, u"0,15"}, {u"doors", 2.0, u"2"}};
  for (int32_t i = 0; i < 3; ++i)
    Put(Line::kItemService, i + 1,
        {{"ttext", ppParameter(lines[i].name)},
         {"pcs", ppParameter(DecimalNumber(lines[i].pieces))},
         {"price", ppParameter(calctest::Amount(100))}});
  const auto screen = Paint();
  const PrintLog printed = Print();
  SetItemSheetPrintFlag(true);
  const PrintLog sheet = Print();
  SetItemSheetPrintFlag(false);
  window_->SetTarget(&ThePane());
  ThePane().Activate();
  for (int32_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(Vcon::Utf8FromUtf16(lines[i].name));
    EXPECT_NE(Find(screen, lines[i].shown), nullptr) << "on the screen";
    EXPECT_NE(printed.FindText(lines[i].shown), nullptr) << "on the printed list";
    EXPECT_NE(sheet.FindText(lines[i].shown), nullptr) << "on the item sheet";
    ClickRow(i);
    ASSERT_EQ(PanelName(), "Item/Service");
    ASSERT_NE(PanelField("pcs"), nullptr);
    EXPECT_EQ(PanelField("pcs")->GetControlText(), Vcon::WString(lines[i].shown)) << "in the line's panel";
  }
  EXPECT_EQ(Find(screen, u"1"), nullptr) << "no decimals cut off";
  ppParameter::SetPlainNumberFormat(saved);
}

TEST_F(PriceListPrintTest, TheItemSheetMarksElementsAndNamesTheirColoursByGroup) {
  TwentyRowPane();
  SetItemSheetPrintFlag(true);
  const int32_t ash = cattest::AddRecord(Db(1).ColorCatalogFile(), {{"name", "Ash"}});
  const int32_t elm = cattest::AddRecord(Db(1).ColorCatalogFile(), {{"name", "Elm"}});
  struct Case {
    int32_t mark;
    uint32_t groups;
    bool star;
    std::vector<std::u16string> names;  // at the first, second and third colour columns
  } cases[] = {
      {0x0001, 0b101, true, {u"Oak", u"", u"Elm"}},
      {0x8000, 0b010, true, {u"", u"Ash", u""}},
      {0x10000, 0b111, false, {u"Oak", u"Ash", u"Elm"}},
      {0, 0, false, {u"", u"", u""}},
  };
  // w = (1900 - 200 - 50) / 9 = 183: the colour columns start at 200 + 50 + 3w, 4w and 5w.
  const int32_t columnLefts[] = {799, 982, 1165};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mark);
    ThePane().Clear();
    ColouredElement element(&Db(1));
    element.mark = c.mark;
    element.mask = c.groups;
    element.colours = {first_.colour, ash, elm};
    element.height = c.groups == 0 ? 0.0f : 725.0f;
    Put(Line::kCalculationItem, 1, {{"element", ppParameter(int32_t(1))}}, &element);
    const PrintLog log = Print();
    // The size column (200 + 50 + 2w) holds the element's size / 10 as a float's text, its tenths
    // kept, in the decimal character of the preferences (their default comma here).
    std::u16string size;
    for (const auto& e : log.events)
      if (e.kind == 'T' && e.page == 1 && e.r.left == 616 && e.r.top > 300) size = e.text;
    EXPECT_EQ(size, c.groups == 0 ? u"0" : u"72,5");
    const PrintLog::Event* star = log.FindText(u"*");
    ASSERT_EQ(star != nullptr, c.star);
    if (star != nullptr) {
      EXPECT_EQ(star->r.left, 200);
      const PrintLog::Event* font = nullptr;
      for (const auto& e : log.events) {
        if (&e == star) break;
        if (e.kind == 'F') font = &e;
      }
      ASSERT_NE(font, nullptr);
      EXPECT_TRUE(font->bold);
      EXPECT_EQ(font->height, 18 * 4);
    }
    for (size_t i = 0; i < 3; ++i) {
      std::u16string at;
      for (const auto& e : log.events)
        if (e.kind == 'T' && e.page == 1 && e.r.left == columnLefts[i] && e.r.top > 300) at = e.text;
      EXPECT_EQ(at, c.names[i]) << "colour " << i + 1;
    }
    ThePane().Clear();
  }
}

TEST_F(PriceListPrintTest, TheFootersCountThePagesTheLinesReallyTake) {
  Pane& pane = TwentyRowPane();
  // A text two rows high in the list's font.
  std::u16string twoRows = u"w";
  {
    qxPrintPage page = HandPage();
    pane.PreparePrint(page, Pane::kPrintColumnsFile);
    DisplayListLayout::Header header;
    DisplayListLayout::ReadHeader(pane.PrintLayout(), &header);
    dc_->RestoreFont();
    dc_->SetFont(Vcon::String("Arial"), int32_t(float(header.fontSize) * page.textScale), 0, 0);
    dc_->SelectFont();
    for (int32_t words = 1; words < 40; ++words, twoRows += u"\nw") {
      plat::RECT r{0, 0, 1000, 0};
      dc_->MeasureText(twoRows, &r, plat::DT_WORDBREAK | plat::DT_NOPREFIX);
      if (Pane::RowsNeeded(float(r.bottom - r.top), pane.PrintRowHeight()) == 2) break;
    }
    dc_->RestoreFont();
  }
  std::u16string taller;  // far more than a page: one word a row
  for (int32_t i = 0; i < 60; ++i) taller += u"w\n";

  struct Case {
    const char* what;
    bool sheet;
    int32_t lines;
    int32_t tallLine;  // -1: none
    bool twoRowLines;
    int32_t pages;
  } cases[] = {
      {"a line cut to a page of its own", false, 3, 1, false, 3},
      {"25 lines of two rows, ten a page", false, 25, -1, true, 3},
      {"45 lines of one row", false, 45, -1, false, 3},
      {"40 item-sheet lines fill two pages", true, 40, -1, false, 2},
      {"41 item-sheet lines", true, 41, -1, false, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetItemSheetPrintFlag(c.sheet);
    pane.Clear();
    PutLines(c.lines);
    Line& t = Table();
    t.BeginAccess();
    for (int32_t line = 0; line < c.lines; ++line) {
      if (line != c.tallLine && !c.twoRowLines) continue;
      t.ReadRecordAt(line, nullptr);
      t.SetFieldValue(Line::kText, ppParameter((line == c.tallLine ? taller : twoRows).c_str()), nullptr);
      t.WriteRecordAt(line, nullptr);
    }
    t.SaveToBlob();
    const PrintLog log = Print();
    EXPECT_EQ(log.page, c.pages);
    std::vector<std::u16string> footers;
    for (int32_t n = 1; n <= c.pages; ++n)
      footers.push_back(u"Page " + Vcon::Utf16FromUtf8(std::to_string(n)) + u" / " +
                        Vcon::Utf16FromUtf8(std::to_string(c.pages)));
    EXPECT_EQ(log.TextsStarting(u"Page"), footers);
    EXPECT_EQ(pane.PrintPageCount(), c.pages);
  }
}

// The marks of a line's element in the list layout: a dot for any of the low 16 marker bits, a square
// for bit 16, the square moved right past the dot when both stand. The element is the pane's line's.
TEST_F(PriceListPrintTest, ListLinesMarkTheirElementsWithADotAndASquare) {
  // tCompleteUnit, then ttext.
  PrintColumns("0\t83\t200\t0\t0\r\n0\t65\t100\t0\t0\r\n");
  MakeCanvas().SetLineHeight(30);
  struct Case {
    int32_t mark;
    int32_t dots, squares;
  } cases[] = {{0, 0, 0}, {0x0004, 1, 0}, {0x10000, 0, 1}, {0x10004, 1, 1}};
  const int32_t side = 8 * 4, step = 2 * 4 + side;  // font scale 4
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mark);
    ThePane().Clear();
    OwnQuantityElement element;
    element.mark = c.mark;
    Put(Line::kCalculationItem, 1,
        {{"element", ppParameter(int32_t(1))}, {"tCompleteUnit", ppParameter(u"unit")}}, &element);
    const PrintLog log = Print();
    const PrintLog::Event* unit = log.FindText(u"unit");
    ASSERT_NE(unit, nullptr);
    std::vector<plat::RECT> dots, squares;
    for (const auto& e : log.events) {
      if (e.kind == 'E') dots.push_back(e.r);
      if (e.kind == 'S') squares.push_back(e.r);
    }
    ASSERT_EQ(int32_t(dots.size()), c.dots);
    ASSERT_EQ(int32_t(squares.size()), c.squares);
    const plat::RECT first{unit->r.right, unit->r.top, unit->r.right + side, unit->r.top + side};
    if (c.dots != 0) EXPECT_EQ(dots[0], first);
    if (c.squares != 0) {
      const int32_t dx = c.dots != 0 ? step : 0;
      EXPECT_EQ(squares[0], (plat::RECT{first.left + dx, first.top, first.right + dx, first.bottom}));
    }
    ThePane().Clear();
  }
}
