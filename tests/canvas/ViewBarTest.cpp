// The view bar on the headless desktop: its button layouts, the zoom steps, view switches with their
// menu states, broadcasts, canvases and key target, the tool buttons' hooks, the starting pages, the
// tool tips and resizing. The canvases are plain views; the editor, the host and the application
// services are recording doubles.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "canvas/editor/iViewBarEditor.h"
#include "canvas/editor/iViewBarServices.h"
#include "canvas/editor/zelvproViewBar.h"
#include "controls/zelvproLogoPane.h"
#include "elements/base/MenuCheckState.h"
#include "elements/base/iApplicationSettings.h"
#include "elements/base/iElementHost.h"
#include "elements/base/iScenePane.h"
#include "elements/base/iWorktopBuilder.h"
#include "elements/base/zelvproCanvas.h"
#include "foundation/ProcessServices.h"
#include "foundation/TextsById.h"
#include "foundation/iTextSource.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "framework/ppCollaborator.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/LayerClock.h"
#include "platform/Shell.h"
#include "platform/Tooltip.h"

namespace {

using namespace plat;
using Log = std::vector<std::string>;

bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// A canvas that notes when it is shown or hidden.
class LoggingView : public ppView {
 public:
  LoggingView(std::string name, Log& log) : name_(std::move(name)), log_(log) {
    SetFrame({0, 62, 1001, 500});
  }
  void Show() override {
    log_.push_back(name_ + " shown");
    ppView::Show();
  }
  void Hide() override {
    log_.push_back(name_ + " hidden");
    ppView::Hide();
  }
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  std::vector<int32_t> commands;

 private:
  std::string name_;
  Log& log_;
};

class TopCanvas : public zelvproCanvas {
 public:
  explicit TopCanvas(Log& log) : zelvproCanvas(nullptr, {0, 0, 100, 100}, nullptr), log_(log) {}
  void BuildInfoPanel(qxViewHolder* /*source*/) override { log_.push_back("info panel"); }

 private:
  Log& log_;
};

class ScenePane : public iScenePane {
 public:
  void SetSceneOutOfDate() override { ++outOfDate; }
  void Invalidate() override { ++repaints; }
  int32_t outOfDate = 0, repaints = 0;
};

// The document window as the elements see it: the bar's current view, its menu and its panes.
class Host : public iElementHost {
 public:
  int32_t CurrentViewId() override { return bar != nullptr ? bar->CurrentViewId() : kPlanView; }
  iScenePane* ScenePane() override { return &scene; }
  void EnableMenuItem(int32_t command, bool enabled) override { enabled_[command] = enabled; }
  void CheckMenuItem(int32_t command, bool checked) override { checked_[command] = checked; }
  zelvproElement* TopCanvas() override { return top; }
  zelvproLayerPalette* LayerPalette() override { return palette; }
  std::map<int32_t, bool> enabled_, checked_;
  zelvproElement* top = nullptr;
  zelvproLayerPalette* palette = nullptr;
  zelvproViewBar* bar = nullptr;
  ::ScenePane scene;
};

class Services : public iViewBarServices {
 public:
  explicit Services(Log& log) : log_(log) {}
  void BuildConfigurator(int32_t record) override { panels.push_back(record); }
  void SendOrderByMail() override { log_.push_back("mail order"); }
  void SendOverInternet() override { log_.push_back("internet send"); }
  void SaveToServer() override { log_.push_back("server save"); }
  bool DocumentSavedOnce() override { return savedOnce; }
  void SaveDocument() override { log_.push_back("save"); }
  void SaveDocumentAs() override { log_.push_back("save as"); }
  Vcon::WString MailAddress() override { return mail; }
  Vcon::WString WebSite() override { return web; }
  Vcon::WString InspirationName() override { return inspiration; }
  ppView* MakeLogoPane(ppView* bar, const RECT& frame) override {
    logoFrames.push_back(frame);
    auto* logo = new ppView(bar);
    logo->SetFrame(frame);
    return logo;
  }

  std::vector<int32_t> panels;
  std::vector<RECT> logoFrames;
  bool savedOnce = false;
  Vcon::WString mail, web, inspiration;

 private:
  Log& log_;
};

class Editor : public iViewBarEditor {
 public:
  explicit Editor(Log& log) : log_(log), target_("editor", log) {}
  void ApplyZoom() override {
    zelvproLayerPalette* palette = iElementHost::Current().LayerPalette();
    scales.push_back(palette != nullptr ? palette->GetScale() : -1.0);
  }
  void RefreshRulers() override { ++rulerRefreshes; }
  void ChangeViewMode(int32_t previous, int32_t current) override { modes.push_back({previous, current}); }
  ppEventHandler* CommandTarget() override { return &target_; }
  LoggingView& Target() { return target_; }

  std::vector<double> scales;
  int32_t rulerRefreshes = 0;
  std::vector<std::pair<int32_t, int32_t>> modes;

 private:
  Log& log_;
  LoggingView target_;
};

class Builder : public iWorktopBuilder {
 public:
  explicit Builder(Log& log) : log_(log) {}
  void RemoveGeneratedElements(zelvproCanvas& /*canvas*/) override { log_.push_back("generated removed"); }

 private:
  Log& log_;
};

class Listener : public ppCollaborator {
 public:
  // After the desktop's reset, which empties the switchboard.
  void Listen() { Subscribe(zelvproViewBar::kViewChannel, -1); }
  void ReceiveMessage(ppCollaborator*, int32_t channel, int32_t id, intptr_t parameter) override {
    messages.push_back({channel, id});
    EXPECT_EQ(parameter, 0);
  }
  std::vector<std::pair<int32_t, int32_t>> messages;
};

class Window : public ppWindow {
 public:
  void DoCommand(int32_t command, intptr_t parameter) override {
    commands.push_back(command);
    ppWindow::DoCommand(command, parameter);
  }
  std::vector<int32_t> commands;
};

class Application : public adorner_tests::TestApplication {
 public:
  void DoCommand(int32_t command, intptr_t /*parameter*/) override { commands.push_back(command); }
  std::vector<int32_t> commands;
};

class Language : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    if (number != 3005) return false;
    text = u"3D-Ansicht";
    return true;
  }
};

// The demo's language, whose texts for the view commands are the menu's: an access key marked with
// "&" and the key's name after a TAB.
class MenuTexts : public iTextSource {
 public:
  bool GetString(int32_t number, Vcon::WString& text, int32_t) override {
    switch (number) {
      case 3001:
        text = u"&Room Design\tF2";
        return true;
      case 3005:
        text = u"3&D View\tF7";
        return true;
      case 3006:
        text = u"Item && Price &List";
        return true;
      default:
        return false;
    }
  }
};

constexpr uint32_t kExitPrintSave =
    zelvproViewBar::kExitFlag | zelvproViewBar::kPrintFlag | zelvproViewBar::kSaveFlag;

class ViewBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessDriver::Reset();
    ppView::ResetClickPoint();
    app_ = std::make_unique<Application>();
    window_ = new Window();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 1001, 600);
    tips_ = std::make_unique<ToolTipControl>(window_);
    ToolTipControl::SetDocumentTips(tips_.get());
    settings_.flags1 = kExitPrintSave;
    iApplicationSettings::Install(&settings_);
    top_ = std::make_unique<TopCanvas>(log_);
    host_.top = top_.get();
    listener_.Listen();
    iElementHost::Install(&host_);
    iWorktopBuilder::Install(&builder_);
    window_->AddSubview(&editorCanvas_);
  }
  void TearDown() override {
    SetTextSource(nullptr);
    for (ppView* canvas : {static_cast<ppView*>(&editorCanvas_), static_cast<ppView*>(&calculation_),
                           static_cast<ppView*>(&canvas3D_)})
      canvas->DetachFromSupervisor();
    delete window_;
    tips_.reset();
    iWorktopBuilder::Install(nullptr);
    iElementHost::Install(nullptr);
    top_.reset();
    iApplicationSettings::Install(nullptr);
    app_.reset();
    HeadlessDriver::Reset();
  }

  zelvproViewBar* MakeBar() {
    bar_ = new zelvproViewBar(window_, {0, 0, 1001, 62}, nullptr, &editorCanvas_, &calculation_, &canvas3D_,
                              &services_, &editor_);
    host_.palette = bar_;
    host_.bar = bar_;
    return bar_;
  }
  // Forgets what the doubles recorded so far.
  void Forget() {
    log_.clear();
    host_.enabled_.clear();
    host_.checked_.clear();
    services_.panels.clear();
    listener_.messages.clear();
    editor_.modes.clear();
    editor_.scales.clear();
    window_->commands.clear();
  }
  // A press and release at the middle of button `id`, through the desktop.
  void Click(int32_t id) {
    RECT r;
    bar_->Button(id)->GetWindowFrame(&r);
    POINT at{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    Desktop::MouseButton(VK_LBUTTON, true, at);
    Desktop::MouseButton(VK_LBUTTON, false, at);
    HeadlessDriver::RunUntilIdle();
  }
  int32_t ToolCount() { return static_cast<int32_t>(SendMessageW(tips_->Handle(), TTM_GETTOOLCOUNT, 0, 0)); }
  std::u16string TipText(int32_t id) {
    char16_t buffer[80] = {};
    TOOLINFOW info;
    info.cbSize = kToolInfoSize;
    info.hwnd = hwnd_;
    info.uId = static_cast<uintptr_t>(id);
    info.lpszText = buffer;
    SendMessageW(tips_->Handle(), TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&info));
    return buffer;
  }
  // The tip the control shows when the pointer rests at window pixel `at`; empty when none shows.
  std::u16string TipShownAt(POINT at) {
    MSG move;
    move.hwnd = hwnd_;
    move.message = WM_MOUSEMOVE;
    move.lParam = MAKELPARAM(at.x, at.y);
    move.pt = at;
    tips_->RelayEvent(&move);
    LayerClock::Advance(600);
    tips_->RelayEvent(&move);
    UpdateToolTips();
    if (!IsWindowVisible(tips_->Handle())) return u"";
    char16_t text[80] = {};
    GetWindowTextW(tips_->Handle(), text, 80);
    return text;
  }
  // The commands whose last recorded state is `state`.
  static std::vector<int32_t> With(const std::map<int32_t, bool>& states, bool state) {
    std::vector<int32_t> out;
    for (auto [command, value] : states)
      if (value == state) out.push_back(command);
    return out;
  }

  Log log_;
  std::unique_ptr<Application> app_;
  Window* window_ = nullptr;
  HWND hwnd_ = nullptr;
  std::unique_ptr<ToolTipControl> tips_;
  iApplicationSettings settings_;
  Host host_;
  Builder builder_{log_};
  Services services_{log_};
  Editor editor_{log_};
  std::unique_ptr<TopCanvas> top_;
  LoggingView editorCanvas_{"editor canvas", log_};
  LoggingView calculation_{"calculation canvas", log_};
  LoggingView canvas3D_{"3D canvas", log_};
  Listener listener_;
  zelvproViewBar* bar_ = nullptr;  // owned by the window
};

// ---- Layout and start.

TEST_F(ViewBarTest, ButtonsLieWhereTheApplicationFlagsPutThem) {
  struct Case {
    const char* what;
    uint32_t flags1;
    bool roomDesign;
    const char16_t* mail;
    const char16_t* web;
    std::vector<std::pair<int32_t, RECT>> buttons;
    std::vector<int32_t> absent;
    int32_t tips;
  };
  const Case cases[] = {
      {"room design, exit, print, save",
       kExitPrintSave,
       true,
       u"",
       u"",
       {{2016, {9, 7, 57, 55}},
        {2004, {61, 7, 109, 55}},
        {2024, {113, 7, 161, 55}},
        {2012, {165, 7, 213, 55}},
        {2080, {724, 7, 772, 55}},
        {2084, {672, 7, 720, 55}},
        {2088, {620, 7, 668, 55}}},
       {2068, 2072, 2092},
       7},
      {"logo left, every tool, no room design",
       kExitPrintSave | zelvproViewBar::kLogoLeftFlag | zelvproViewBar::kInspirationFlag,
       false,
       u"order@example.com",
       u"example.com",
       {{2004, {203, 7, 251, 55}},
        {2024, {255, 7, 303, 55}},
        {2012, {307, 7, 355, 55}},
        {2068, {431, 7, 479, 55}},
        {2072, {503, 7, 551, 55}},
        {2092, {575, 7, 623, 55}},
        {2080, {919, 7, 967, 55}},
        {2084, {867, 7, 915, 55}},
        {2088, {815, 7, 863, 55}}},
       {2016},
       8},  // the web send button has no tip
      {"print only: it takes the exit button's place",
       zelvproViewBar::kPrintFlag,
       true,
       u"",
       u"",
       {{2084, {724, 7, 772, 55}}},
       {2080, 2088},
       5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    settings_.flags1 = c.flags1;
    settings_.roomDesign = c.roomDesign;
    services_.mail = c.mail;
    services_.web = c.web;
    MakeBar();
    for (const auto& [id, frame] : c.buttons) {
      ASSERT_NE(bar_->Button(id), nullptr) << id;
      EXPECT_TRUE(SameRect(bar_->Button(id)->GetFrame(), frame)) << id;
      EXPECT_EQ(bar_->Button(id)->GetPictureId(), id);
    }
    for (int32_t id : c.absent) EXPECT_EQ(bar_->Button(id), nullptr) << id;
    EXPECT_EQ(ToolCount(), c.tips);
    delete bar_;
    host_.palette = nullptr;
    host_.bar = nullptr;
  }
}

TEST_F(ViewBarTest, StartsInRoomDesignWithItsMarkItsPanelTheLogoAndTheStartingScale) {
  MakeBar();
  EXPECT_EQ(bar_->CurrentViewId(), 2016);
  EXPECT_EQ(bar_->PressedButton(), bar_->Button(2016));
  EXPECT_EQ(bar_->Button(2016)->GetState(), ppButton::kHighlighted);
  EXPECT_TRUE(host_.checked_[3001]);
  EXPECT_TRUE(IsMenuCommandChecked(3001));
  EXPECT_EQ(bar_->GetScale(), 15.0);
  // The starting press of the current view does nothing: one panel, from the construction's end.
  EXPECT_EQ(services_.panels, (std::vector<int32_t>{1000}));
  EXPECT_TRUE(listener_.messages.empty());
  ASSERT_EQ(services_.logoFrames.size(), 1u);
  EXPECT_TRUE(SameRect(services_.logoFrames[0], RECT{0, 0, 1001, 62}));
  // The tips come from the default word list while the language has no texts.
  EXPECT_EQ(TipText(2016), u"Room Design");
  EXPECT_EQ(TipText(2004), u"Top View Color Configuration");
  EXPECT_EQ(TipText(2024), u"3D Configuration");
  EXPECT_EQ(TipText(2012), u"Item List");
  EXPECT_EQ(TipText(2088), u"Save");
  EXPECT_EQ(TipText(2084), u"Print");
  EXPECT_EQ(TipText(2080), u"Exit");
  EXPECT_EQ(TipShownAt({137, 31}), u"3D Configuration");
}

TEST_F(ViewBarTest, TheApplicationsLogoPaneCoversTheBarAndLetsTheButtonsTakeTheirPresses) {
  bar_ = new zelvproViewBar(window_, {0, 0, 1001, 62}, nullptr, &editorCanvas_, &calculation_, &canvas3D_);
  host_.palette = bar_;
  host_.bar = bar_;
  ASSERT_GT(bar_->Subviews().Count(), 0);
  auto* logo = dynamic_cast<zelvproLogoPane*>(bar_->Subviews().At(bar_->Subviews().Count() - 1));
  ASSERT_NE(logo, nullptr);
  // No logo picture: the pane takes the whole bar, over the buttons, which still take their presses.
  EXPECT_TRUE(SameRect(logo->GetFrame(), RECT{0, 0, 1001, 62}));
  Click(2024);
  EXPECT_EQ(bar_->CurrentViewId(), 2024);
}

TEST_F(ViewBarTest, WithoutRoomDesignTheTopViewStartsWithNoButtonPressedAnd3001DoesNothing) {
  settings_.roomDesign = false;
  MakeBar();
  EXPECT_EQ(bar_->CurrentViewId(), 2020);
  EXPECT_EQ(bar_->PressedButton(), nullptr);
  EXPECT_EQ(services_.panels, (std::vector<int32_t>{1001}));
  Forget();
  bar_->DoCommand(3001, 0);
  bar_->SelectViewByIndex(0);
  EXPECT_EQ(bar_->CurrentViewId(), 2020);
  EXPECT_TRUE(host_.checked_.empty());
}

// ---- Zoom.

TEST_F(ViewBarTest, ZoomStepsByTwoAndAHalfGreysZoomInAtTheFinestStepAndCommandsComeThroughThePalette) {
  MakeBar();
  Forget();
  struct Step {
    double before;  // < 0: go on from the last step
    int32_t command;
    double after;
    std::map<int32_t, bool> enabled;  // the zoom items' states set by this step
  };
  const Step steps[] = {
      {15.0, 3009, 12.5, {{3010, true}}},
      {-1, 3009, 10.0, {{3010, true}}},
      {-1, 3009, 7.5, {{3010, true}}},
      {-1, 3009, 5.0, {{3010, true}}},
      {-1, 3009, 2.5, {{3010, true}}},
      {-1, 3009, 2.5, {{3010, true}, {3009, false}}},
      {-1, 3010, 5.0, {{3009, true}}},
      {40.0, 3010, 42.5, {{3009, true}}},
      {-1, 3011, 15.0, {{3009, true}, {3010, true}}},
      // A fitted scale finer than the finest step is kept, never coarsened by a zoom in.
      {1.0, 3009, 1.0, {{3010, true}, {3009, false}}},
      // Zoom out from a scale below 1 leaves zoom in as it is.
      {0.5, 3010, 3.0, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.command) + " to " + std::to_string(step.after));
    if (step.before >= 0) bar_->SetScale(step.before);
    host_.enabled_.clear();
    editor_.scales.clear();
    bar_->DoCommand(step.command, 0);
    EXPECT_DOUBLE_EQ(bar_->GetScale(), step.after);
    EXPECT_EQ(host_.enabled_, step.enabled);
    EXPECT_EQ(editor_.scales, (std::vector<double>{step.after})) << "the editor applies the new scale once";
  }
  // The zoom commands reach the bar from below the canvas layer through the layer palette.
  host_.palette->PassViewCommand(3011, 0);
  bar_->SetScale(10.0);
  host_.palette->PassViewCommand(3010, 0);
  EXPECT_DOUBLE_EQ(bar_->GetScale(), 12.5);
  // So do the canvases' view commands, through the host's default pass to its palette.
  iElementHost::Current().PassToViewBar(3005, 0);
  EXPECT_EQ(bar_->CurrentViewId(), 2024);
}

// ---- View switches.

TEST_F(ViewBarTest, RoomDesignTo3DSetsTheMenuShowsThe3DCanvasAndAnnouncesIt) {
  MakeBar();
  Forget();
  Click(2024);

  EXPECT_EQ(bar_->CurrentViewId(), 2024);
  EXPECT_EQ(bar_->PreviousViewId(), 2016);
  EXPECT_EQ(With(host_.checked_, false), (std::vector<int32_t>{3001, 3002, 3003, 3004, 3006}));
  EXPECT_EQ(With(host_.checked_, true), (std::vector<int32_t>{3005}));
  EXPECT_EQ(With(host_.enabled_, true),
            (std::vector<int32_t>{3022, 3070, 3071, 3072, 3073, 3074, 3075, 3076}));
  EXPECT_EQ(With(host_.enabled_, false), (std::vector<int32_t>{3009, 3010, 3011, 3052}));
  EXPECT_FALSE(IsMenuCommandChecked(3001));
  EXPECT_EQ(listener_.messages, (std::vector<std::pair<int32_t, int32_t>>{{1001, 1002}}));
  EXPECT_EQ(services_.panels.back(), 1004);
  // The room design canvas went, the 3D canvas came, and it takes the keys.
  EXPECT_EQ(editorCanvas_.GetSupervisor(), nullptr);
  EXPECT_EQ(canvas3D_.GetSupervisor(), window_);
  EXPECT_EQ(window_->GetTarget(), &canvas3D_);
  EXPECT_EQ(log_, (Log{"editor canvas hidden", "3D canvas shown"}));
  EXPECT_EQ(editor_.modes, (std::vector<std::pair<int32_t, int32_t>>{{2016, 2024}}));
  EXPECT_EQ(bar_->PressedButton(), bar_->Button(2024));
  EXPECT_EQ(bar_->Button(2024)->GetState(), ppButton::kHighlighted);
  EXPECT_EQ(bar_->Button(2016)->GetState(), ppButton::kNormal);

  Forget();
  Click(2024);
  EXPECT_TRUE(host_.checked_.empty());
  EXPECT_TRUE(host_.enabled_.empty());
  EXPECT_TRUE(listener_.messages.empty());
  EXPECT_TRUE(services_.panels.empty());
  EXPECT_TRUE(editor_.modes.empty());
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(canvas3D_.GetSupervisor(), window_);
}

TEST_F(ViewBarTest, EachViewSetsItsMenuCanvasTargetPanelAndMessage) {
  MakeBar();
  struct Case {
    int32_t command;  // the menu command that switches
    int32_t view;
    std::vector<int32_t> unchecked, enabled, disabled;
    int32_t checked, panel, message;
    ppView* canvas;
  };
  const std::vector<int32_t> area{3070, 3071, 3072, 3073, 3074, 3075, 3076};
  auto plus = [](std::vector<int32_t> a, const std::vector<int32_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  const Case cases[] = {
      {3003,
       2004,
       {3001, 3002, 3004, 3005, 3006},
       {3009, 3010, 3011, 3022, 3052},
       area,
       3003,
       1002,
       1002,
       &editorCanvas_},
      {3006,
       2012,
       {3001, 3002, 3003, 3004, 3005},
       {},
       plus({3009, 3010, 3011, 3022, 3052}, area),
       3006,
       1005,
       1005,
       &calculation_},
      {3005,
       2024,
       {3001, 3002, 3003, 3004, 3006},
       plus({3022}, area),
       {3009, 3010, 3011, 3052},
       3005,
       1004,
       1002,
       &canvas3D_},
      // Room design unchecks 3052 and then enables it.
      {3001,
       2016,
       {3002, 3003, 3004, 3005, 3006, 3052},
       {3009, 3010, 3011, 3022, 3052},
       area,
       3001,
       1000,
       1001,
       &editorCanvas_},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.view);
    Forget();
    const ::ScenePane scene = host_.scene;
    bar_->DoCommand(c.command, 0);
    // The plan views mark the 3D scene out of date; the 3D view repaints its pane.
    EXPECT_EQ(host_.scene.outOfDate - scene.outOfDate, c.view == 2004 || c.view == 2016 ? 1 : 0);
    EXPECT_EQ(host_.scene.repaints - scene.repaints, c.view == 2024 ? 1 : 0);
    EXPECT_EQ(bar_->CurrentViewId(), c.view);
    EXPECT_EQ(With(host_.checked_, false), c.unchecked);
    EXPECT_EQ(With(host_.checked_, true), (std::vector<int32_t>{c.checked}));
    EXPECT_EQ(With(host_.enabled_, true), c.enabled);
    EXPECT_EQ(With(host_.enabled_, false), c.disabled);
    EXPECT_EQ(IsMenuCommandChecked(3001), c.view == 2016);
    EXPECT_EQ(services_.panels, (std::vector<int32_t>{c.panel, c.panel}));
    EXPECT_EQ(listener_.messages, (std::vector<std::pair<int32_t, int32_t>>{{1001, c.message}}));
    for (ppView* canvas : {static_cast<ppView*>(&editorCanvas_), static_cast<ppView*>(&calculation_),
                           static_cast<ppView*>(&canvas3D_)})
      EXPECT_EQ(canvas->GetSupervisor(), canvas == c.canvas ? window_ : nullptr);
    ppEventHandler* target = c.view == 2012   ? static_cast<ppEventHandler*>(&calculation_)
                             : c.view == 2024 ? static_cast<ppEventHandler*>(&canvas3D_)
                                              : editor_.CommandTarget();
    EXPECT_EQ(window_->GetTarget(), target);
    EXPECT_EQ(std::count(log_.begin(), log_.end(), "info panel"), c.view == 2004 ? 1 : 0)
        << "the top-view colour switch fills the information panel";
  }
  // The plan views told the editor canvas of the switch, the item list told the editor.
  EXPECT_EQ(editorCanvas_.commands, (std::vector<int32_t>{2004, 2016}));
  EXPECT_EQ(editor_.Target().commands, (std::vector<int32_t>{2012}));
}

TEST_F(ViewBarTest, LeavingTheItemListRemovesTheGeneratedItemsBeforeThePlanIsShown) {
  MakeBar();
  bar_->DoCommand(3006, 0);
  const int32_t refreshes = editor_.rulerRefreshes;
  Forget();
  Click(2004);
  EXPECT_EQ(log_,
            (Log{"calculation canvas hidden", "generated removed", "editor canvas shown", "info panel"}));
  EXPECT_GT(editor_.rulerRefreshes, refreshes);
  EXPECT_EQ(editor_.modes, (std::vector<std::pair<int32_t, int32_t>>{{2012, 2004}}));
}

TEST_F(ViewBarTest, StartingPagesAndDocumentViewsPressOnlyTheButtonsThatExist) {
  MakeBar();
  struct Step {
    const char* what;
    bool byIndex;
    int32_t value;
    int32_t view;  // current afterwards
  };
  const Step steps[] = {
      {"page 2", true, 2, 2004},
      {"page 1", true, 1, 2004},
      {"page 3", true, 3, 2004},
      {"page 4", true, 4, 2024},
      {"page 5", true, 5, 2012},
      {"page 9", true, 9, 2012},
      {"page -1", true, -1, 2012},
      {"page 0", true, 0, 2016},
      {"id 2032", false, 2032, 2016},
      {"id 2020", false, 2020, 2016},
      {"id 2056", false, 2056, 2016},
      {"id 2024", false, 2024, 2024},
      {"id 2024 again", false, 2024, 2024},
      {"id 2004", false, 2004, 2004},
  };
  for (const Step& step : steps) {
    listener_.messages.clear();
    const int32_t before = bar_->CurrentViewId();
    if (step.byIndex)
      bar_->SelectViewByIndex(step.value);
    else
      bar_->SelectViewById(step.value);
    EXPECT_EQ(bar_->CurrentViewId(), step.view) << step.what;
    EXPECT_EQ(listener_.messages.size(), before == step.view ? 0u : 1u) << step.what;
  }
  // The top view has no button: its menu command does nothing.
  bar_->DoCommand(3002, 0);
  EXPECT_EQ(bar_->CurrentViewId(), 2004);
}

// ---- Tool buttons.

TEST_F(ViewBarTest, ToolButtonsPopBackUpAndReachTheirHooks) {
  settings_.flags1 = kExitPrintSave | zelvproViewBar::kInspirationFlag;
  services_.mail = u"order@example.com";
  services_.web = u"example.com";
  MakeBar();
  SetStartupDirectory(u"C:\\Zelvo\\");
  struct Case {
    const char* what;
    int32_t button;
    uint32_t flags2;
    bool savedOnce;
    Log log;
  };
  const Case cases[] = {
      {"mail", 2072, 0, false, {"mail order"}},
      {"web", 2092, 0, false, {"internet send"}},
      {"save, never saved", 2088, 0, false, {"save as"}},
      {"save, saved once", 2088, 0, true, {"save"}},
      {"save to the server", 2088, zelvproViewBar::kServerSaveFlag, true, {"server save"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Forget();
    settings_.flags2 = c.flags2;
    services_.savedOnce = c.savedOnce;
    Click(c.button);
    EXPECT_EQ(log_, c.log);
    EXPECT_EQ(bar_->Button(c.button)->GetState(), ppButton::kNormal);
    EXPECT_EQ(bar_->CurrentViewId(), 2016);
    EXPECT_EQ(services_.panels, (std::vector<int32_t>{1000})) << "the current view's panel again";
  }

  Forget();
  Click(2084);
  EXPECT_EQ(window_->commands, (std::vector<int32_t>{19})) << "print goes up to the window";

  ClearShellExecuteLog();
  services_.inspiration = u"";
  Click(2068);
  EXPECT_TRUE(ShellExecuteLog().empty());
  EXPECT_EQ(bar_->Button(2068)->GetState(), ppButton::kNormal);
  services_.inspiration = u"kitchens.pdf";
  bar_->DoCommand(3013, 0);
  ASSERT_EQ(ShellExecuteLog().size(), 1u);
  EXPECT_EQ(ShellExecuteLog()[0].verb, u"open");
  EXPECT_EQ(ShellExecuteLog()[0].file, u"C:\\Zelvo\\settings\\inspiration\\kitchens.pdf");

  Forget();
  app_->commands.clear();
  Click(2080);
  EXPECT_EQ(app_->commands, (std::vector<int32_t>{20}));
  EXPECT_TRUE(services_.panels.empty()) << "nothing runs in the bar after exit";
}

// ---- Tips and size.

TEST_F(ViewBarTest, ResizingMovesTheRightGroupWithItsTipsAndSizesTheHiddenCanvases) {
  MakeBar();
  bar_->SupervisorResized(100, 20);
  EXPECT_TRUE(SameRect(bar_->GetFrame(), RECT{0, 0, 1101, 62}));
  EXPECT_TRUE(SameRect(bar_->Button(2080)->GetFrame(), RECT{824, 7, 872, 55}));
  EXPECT_TRUE(SameRect(bar_->Button(2016)->GetFrame(), RECT{9, 7, 57, 55}));
  // The hidden canvases stretch as the window did; the shown one is the window's to resize.
  EXPECT_EQ(calculation_.Width(), 1101);
  EXPECT_EQ(canvas3D_.Height(), 458);
  EXPECT_EQ(editorCanvas_.Width(), 1001);
  EXPECT_EQ(ToolCount(), 7);
  EXPECT_EQ(TipShownAt({848, 31}), u"Exit");
}

TEST_F(ViewBarTest, ALanguageChangeRegistersTheTipsAgainWithTheNewTexts) {
  MakeBar();
  Language german;
  SetTextSource(&german);
  bar_->UpdateTexts();
  EXPECT_EQ(ToolCount(), 7);
  EXPECT_EQ(TipText(2024), u"3D-Ansicht");
  EXPECT_EQ(TipText(2012), u"Item List");
  delete bar_;
  EXPECT_EQ(ToolCount(), 0) << "the tips go with the bar";
}

// The tips show the menu's texts as a menu shows them, without the access keys' marks and without the
// keys' names; the control keeps each text as it was given.
TEST_F(ViewBarTest, TipsShowTheMenusTextsWithoutTheAccessKeyMarksAndTheKeyNames) {
  MakeBar();
  MenuTexts texts;
  SetTextSource(&texts);
  bar_->UpdateTexts();
  const auto middle = [&](int32_t id) {
    RECT r;
    bar_->Button(id)->GetWindowFrame(&r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  EXPECT_EQ(TipShownAt(middle(2016)), u"Room Design");
  EXPECT_EQ(TipShownAt(middle(2024)), u"3D View");
  EXPECT_EQ(TipShownAt(middle(2012)), u"Item & Price List");
  EXPECT_EQ(TipText(2016), u"&Room Design\tF2");
}

}  // namespace
