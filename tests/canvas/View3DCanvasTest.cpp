// The 3D canvas in the document window on the headless desktop with the real OSMesa pane, and its
// sliders and view-point button: where everything lies, the sliders' limits and press loop on the
// manual layer clock, stored view points in the document record and the camera records, the buttons,
// the popup, the tool tips, the rotation panel once per message cycle, the info panel and picking.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

#include "PaletteTestSupport.h"
#include "canvas/editor/zelvproEditor.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/view3d/iSliderResponder.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "canvas/view3d/zelvproButtonSlider.h"
#include "canvas/view3d/zelvproSliderButton.h"
#include "canvas/view3d/zelvproViewPointButton.h"
#include "canvas/tasks/zelvproAccessoryTask.h"
#include "elements/base/iElementTaskFactory.h"
#include "canvas/window/iDocumentCommands.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "canvas/window/zelvproWindow.h"
#include "catalogue/records/RecordField.h"
#include "catalogue/records/zelvproDocFil.h"
#include "database/ScopedRecordBuffer.h"
#include "elements/topview/iConfigurator.h"
#include "framework/ToolTipControl.h"
#include "framework/ppButton.h"
#include "platform/Tooltip.h"
#include "room/qxNewRoomCanvas.h"
#include "room/qxRoomSegment.h"
#include "scene3d/panes/Shared3DContext.h"
#include "scene3d/panes/i3DPaneElement.h"
#include "scene3d/panes/qx3DNavigation.h"
#include "platform/PngFile.h"
#include "platform/HeadlessDriver.h"
#include "scene3d/panes/qx3DPicking.h"
#include "scene3d/panes/qxCameraRecords.h"
#include "scene3d/panes/zelvpro3DPane.h"

namespace {

using plat::RECT;

std::string Str(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom);
}

// What a slider told its responder, in order.
class RecordingResponder : public iSliderResponder {
 public:
  void SliderBegin(int32_t id) override { log.push_back("begin " + std::to_string(id)); }
  void SliderEnd(int32_t id) override { log.push_back("end " + std::to_string(id)); }
  void SliderChanged(int32_t delta, int32_t id) override {
    deltas.push_back(delta);
    ++changes;
    (void)id;
    if (onChange) onChange();
  }
  std::vector<std::string> log;
  std::vector<int32_t> deltas;
  int32_t changes = 0;
  std::function<void()> onChange;
};

// The configurator: records the panels it is given.
class RecordingConfigurator : public iConfigurator {
 public:
  void RemoveAll() override { panels.clear(); }
  void AddPanel(std::unique_ptr<ConfigPanel> panel) override { panels.push_back(std::move(panel)); }
  std::vector<std::unique_ptr<ConfigPanel>> panels;
};

class View3DTest : public palettetest::PaletteTest {
 protected:
  void SetUp() override {
    PaletteTest::SetUp();
    delete window_;
    window_ = nullptr;
    zelvpro3DPane::RegisterClass();
    qxCameraRecords::CopyPresets();
    qxCameraRecords::SetCurrent(0);
  }
  void TearDown() override {
    delete document_;
    document_ = nullptr;
    doc_.reset();
    Shared3DContext::Delete();
    PaletteTest::TearDown();
  }
  zelvproWindow* Open(uint32_t flags1 = 0) {
    settings_.flags1 = flags1;
    if (doc_ == nullptr) doc_ = std::make_unique<zelvproDocFil>(*db_);
    zelvproWindow::Parts parts;
    parts.application = application_.get();
    parts.catalogue = db_;
    parts.make3DCanvas = zelvpro3DCanvas::Maker(db_);
    document_ = new zelvproWindow(RECT{0, 0, 1000, 700}, std::move(parts));
    plat::HeadlessDriver::RunUntilIdle();
    return document_;
  }
  zelvpro3DCanvas* Canvas() { return dynamic_cast<zelvpro3DCanvas*>(document_->Canvas3DView()); }
  zelvpro3DCanvas* Show3D() {
    document_->ViewBar()->SelectViewByIndex(4);
    plat::HeadlessDriver::RunUntilIdle();
    return Canvas();
  }
  char* Record() { return doc_->Record(); }
  uint32_t Flags() { return uint32_t(RecordField(*doc_, "customViewPoints").Long(Record())); }
  void SetFlags(uint32_t f) { RecordField(*doc_, "customViewPoints").SetLong(Record(), int32_t(f)); }
  std::vector<double> BlockOf(int32_t k) {
    std::vector<double> out;
    for (const char* name : {"viewPointTilt", "viewPointRotation", "viewPointX", "viewPointY", "viewPointZ"})
      out.push_back(RecordField(*doc_, (name + std::to_string(k)).c_str()).Double(Record()));
    return out;
  }
  void SetBlock(int32_t k, std::vector<double> v) {
    const char* names[] = {"viewPointTilt", "viewPointRotation", "viewPointX", "viewPointY", "viewPointZ"};
    for (size_t i = 0; i < 5; ++i)
      RecordField(*doc_, (names[i] + std::to_string(k)).c_str()).SetDouble(Record(), v[i]);
  }
  static void SetCamera(int32_t record, float pitch, float yaw, ppVector3 at) {
    qxCameraRecords::SetCurrent(record);
    qxCamera& c = *qxCameraRecords::Current();
    c.pitch = pitch, c.yaw = yaw, c.position = at;
  }
  // Packs the document with a parallel camera, clears the camera and block 3, opens the packed
  // record again and checks that the camera and both blocks came back.
  void PackAndOpenACamera() {
    // Only a camera placed for the document is stored: here one opened with a stored view point.
    SetFlags(zelvpro3DCanvas::kStoredFlag);
    SetBlock(3, {-1, -2, -3, -4, -5});
    zelvpro3DCanvas::TakeOpenedViewPoints();
    SetFlags(0);
    SetCamera(qxCameraRecords::kParallel, 20, 40, ppVector3(1000, 1500, 2000));
    doc_->PrepareForPacking();
    Handle packed = nullptr;
    Vcon_HandleManager::MemNew(&packed, 0);
    doc_->PackRecord(nullptr, packed);
    SetCamera(0, 0, 0, ppVector3());
    SetBlock(3, {0, 0, 0, 0, 0});
    ASSERT_EQ(doc_->Unpack(packed, Vcon::String()), zelvproDocFil::UnpackResult::kAccepted);
    MemDispose(packed);
    EXPECT_EQ(BlockOf(3), (std::vector<double>{-20, -40, -1000, -1500, -2000}));
    EXPECT_EQ(BlockOf(2), BlockOf(3));
    EXPECT_EQ(qxCameraRecords::Current(), &qxCameraRecords::Live(1));
    EXPECT_EQ(qxCameraRecords::Current()->yaw, 40.0f);
  }
  std::u16string TipText(ppView* view, int32_t id) {
    char16_t buffer[80] = {};
    plat::TOOLINFOW info;
    info.cbSize = plat::kToolInfoSize;
    info.hwnd = view->GetHWND();
    info.uId = static_cast<uintptr_t>(id);
    info.lpszText = buffer;
    plat::SendMessageW(ToolTipControl::DocumentTips()->Handle(), plat::TTM_GETTEXTW, 80,
                       reinterpret_cast<plat::LPARAM>(&info));
    return buffer;
  }
  // Presses a stand-in button with command id `id` on the canvas.
  void PressId(zelvpro3DCanvas* canvas, int32_t id, int32_t state = 1) {
    RECT r{0, 0, 5, 5};
    ppButton button(nullptr, &r, id, ppView::kStay, ppView::kStay, ppButton::kPush);
    button.SetCommandId(id);
    button.SetState(state);
    canvas->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(&button));
    lastState_ = button.GetState();
  }

  // Four walls 150 thick and 2350 high round the plan rectangle 1000..5000 by 1000..4500.
  void BuildRoom() {
    qxNewRoomCanvas* room = document_->EditorCanvasView()->Editor()->EditorScroller()->NewRoomCanvas();
    zelvproTopViewFil& file = db_->TopViewFile();
    ScopedRecordBuffer<ppDatafile> record(file);
    for (int32_t i = 0; i < 4; ++i) {
      auto* wall = new qxRoomSegment(0, room, RECT{0, 0, 0, 0}, record.Get(), file.ShapeFile());
      wall->SetThickness(150);
      wall->SetHeight(kRoomHeight);
      wall->SetEnds(kRoomCorners[i], kRoomCorners[(i + 1) % 4]);
    }
    room->DoCommand(qxNewRoomCanvas::kRebuildRoom, 0);
    plat::HeadlessDriver::RunUntilIdle();
  }
  static constexpr float kRoomHeight = 2350;
  static inline const ppVector3 kRoomCorners[4] = {
      {1000, 0, 1000}, {5000, 0, 1000}, {5000, 0, 4500}, {1000, 0, 4500}};

  std::unique_ptr<zelvproDocFil> doc_;
  zelvproWindow* document_ = nullptr;
  int32_t lastState_ = -1;
};

// ---- Sliders on their own.

TEST_F(View3DTest, SlidersStopOrWrapAndTellTheResponderAsTheyAlwaysHave) {
  const struct {
    uint32_t flags;
    int32_t maximum, start, command;  // 5002 from the increase or decrease button
    bool increase;
    int32_t value;
    std::vector<int32_t> told;
  } cases[] = {
      {zelvproBasicSlider::kWrapAround, 360, 358, 5002, true, 3, {-355}},
      {zelvproBasicSlider::kWrapAround, 360, 2, 5002, false, 355, {-5}},
      {0, 250, 3, 5002, false, 0, {-5}},
      {0, 250, 250, 5002, true, 250, {}},
      {0, 250, 0, 5002, false, 0, {}},
  };
  ppView root(nullptr);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.start) + (c.increase ? " up" : " down"));
    RecordingResponder responder;
    zelvproButtonSlider slider(&root, {0, 0, 80, 24}, c.flags, &responder, 1, 2, ppView::kMove,
                               ppView::kMove);
    slider.SetSliderId(8);
    slider.SetMaximum(c.maximum);
    slider.SetMinimum(0);
    slider.SetValue(c.start);
    ppButton* pressing =
        c.increase ? static_cast<ppButton*>(slider.IncreaseButton()) : slider.DecreaseButton();
    slider.DoCommand(c.command, reinterpret_cast<intptr_t>(pressing));
    EXPECT_EQ(slider.Value(), c.value);
    EXPECT_EQ(responder.deltas, c.told);
    // The limit shows on the button whose step changed nothing.
    const bool stuck = c.told.empty();
    EXPECT_EQ(pressing->GetState(), stuck ? ppButton::kDisabled : ppButton::kNormal);
    ppButton* other = c.increase ? static_cast<ppButton*>(slider.DecreaseButton()) : slider.IncreaseButton();
    EXPECT_EQ(other->GetState(), ppButton::kNormal);
  }
  // The default range is the whole positive 32-bit range: no overflow at its top.
  RecordingResponder responder;
  zelvproBasicSlider wide(&root, {0, 0, 10, 10}, zelvproBasicSlider::kWrapAround, &responder, 0, 0);
  EXPECT_EQ(wide.Value(), 2147483647 / 2);
  wide.SetValue(2147483640);
  EXPECT_TRUE(wide.Increase(100));
  EXPECT_EQ(wide.Value(), 93);
}

class SliderPressTest : public View3DTest {
 protected:
  void SetUp() override {
    View3DTest::SetUp();
    window_ = new ppWindow();
    hwnd_ = adorner_tests::MakeObjectWindow(window_, 400, 300);
    slider_ = new zelvproButtonSlider(window_, {100, 100, 180, 124}, 0, &responder_, 3624, 3628,
                                      ppView::kMove, ppView::kMove);
    slider_->SetSliderId(8);
    slider_->SetMaximum(1000);
    slider_->SetMinimum(0);
    slider_->SetValue(100);
  }
  plat::POINT IncreaseCentre() {
    RECT r;
    slider_->IncreaseButton()->GetWindowFrame(&r);
    plat::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    plat::ClientToScreen(hwnd_, &p);
    return p;
  }
  RecordingResponder responder_;
  zelvproButtonSlider* slider_ = nullptr;
};

TEST_F(SliderPressTest, AShortPressStepsFiveAndAHeldOneMovesByTheTicksItWasHeld) {
  const plat::POINT at = IncreaseCentre();
  // Released before the press is handled: within the first wait.
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(slider_->Value(), 105);
  EXPECT_EQ(responder_.log, (std::vector<std::string>{"begin 8", "end 8"}));

  // Held: the release is queued once the clock reaches 90 ticks after the press.
  responder_.log.clear();
  responder_.deltas.clear();
  const uint32_t pressTick = zelvproSliderButton::NowTicks();
  uint32_t lastStep = 0;
  responder_.onChange = [&] {
    lastStep = zelvproSliderButton::NowTicks();
    if (lastStep - pressTick >= 90) plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
  };
  const auto wallStart = std::chrono::steady_clock::now();
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
  plat::HeadlessDriver::RunUntilIdle();
  const auto wall = std::chrono::steady_clock::now() - wallStart;
  EXPECT_EQ(slider_->Value(), 105 + int32_t(lastStep - pressTick));
  EXPECT_GE(lastStep - pressTick, 90u);
  EXPECT_LE(lastStep - pressTick, 91u);
  // A step a tick, never the first 20.
  EXPECT_EQ(responder_.deltas.front(), 21);
  for (size_t i = 1; i < responder_.deltas.size(); ++i) EXPECT_EQ(responder_.deltas[i], 1);
  EXPECT_EQ(responder_.log, (std::vector<std::string>{"begin 8", "end 8"}));
  // Held 1.5 s on the manual clock: no wall-clock time waited.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(wall).count(), 1000);

  // A press at the limit leaves its button looking disabled after the release, and then takes no
  // press until the other button moves the value away.
  responder_.onChange = nullptr;
  slider_->SetValue(1000);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(slider_->Value(), 1000);
  EXPECT_EQ(slider_->IncreaseButton()->GetState(), ppButton::kDisabled);
  responder_.log.clear();
  plat::Desktop::MouseButton(plat::VK_LBUTTON, true, at);
  plat::Desktop::MouseButton(plat::VK_LBUTTON, false, at);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(responder_.log.empty());
}

// ---- The canvas in the window.

TEST_F(View3DTest, TheCanvasPaneSlidersAndButtonsLieWhereTheyShould) {
  Open();
  zelvpro3DCanvas* canvas = Canvas();
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(zelvpro3DCanvas::Current(), canvas);
  EXPECT_EQ(Str(canvas->GetFrame()), "0,59,801,564");
  ASSERT_NE(canvas->Pane(), nullptr);
  RECT pane;
  plat::GetWindowRect(canvas->Pane()->GetHWND(), &pane);
  plat::POINT origin{0, 0};
  plat::ClientToScreen(document_->GetHWND(), &origin);
  EXPECT_EQ(
      Str(RECT{pane.left - origin.x, pane.top - origin.y, pane.right - origin.x, pane.bottom - origin.y}),
      "10,63,771,534");
  const struct {
    zelvproButtonSlider* slider;
    int32_t id, minimum, maximum, value;
    uint32_t flags;
  } sliders[] = {{canvas->RotationSlider(), 6, 0, 360, 0, zelvproBasicSlider::kWrapAround},
                 {canvas->DistanceSlider(), 8, 0, 250, 250, 0},
                 {canvas->TiltSlider(), 7, 0, 90, 90, zelvproBasicSlider::kVertical}};
  for (const auto& s : sliders) {
    SCOPED_TRACE(s.id);
    EXPECT_EQ(s.slider->SliderId(), s.id);
    EXPECT_EQ(s.slider->Minimum(), s.minimum);
    EXPECT_EQ(s.slider->Maximum(), s.maximum);
    EXPECT_EQ(s.slider->Value(), s.value);
    EXPECT_EQ(s.slider->Flags(), s.flags);
  }
  EXPECT_EQ(canvas->TiltSlider()->IncreaseButton()->GetState(), ppButton::kDisabled);
  EXPECT_EQ(canvas->ShowFrontsButton()->GetState(), 1);
  EXPECT_EQ(canvas->HideFrontsButton()->GetState(), 0);
  EXPECT_FALSE(canvas->RotatePanel()->IsEnabled());
  delete document_;
  document_ = nullptr;
  EXPECT_EQ(zelvpro3DCanvas::Current(), nullptr);
}

TEST_F(View3DTest, ViewPointsAreStoredNegatedWithTheirModeBitsAndReadBack) {
  Open();
  zelvpro3DCanvas* canvas = Canvas();
  SetFlags(0);
  SetCamera(qxCameraRecords::kParallel, 12.5f, 30.0f, ppVector3(100, 200, 300));
  canvas->DoCommand(4006, 0);
  EXPECT_EQ(Flags(), 0x00200001u);
  EXPECT_EQ(BlockOf(2), (std::vector<double>{-12.5, -30, -100, -200, -300}));

  // Back in camera record 0, the button for view point 2 makes the mode-1 record current.
  SetCamera(0, 0, 0, ppVector3());
  qxCameraRecords::Live(1) = qxCameraRecords::Preset(1);
  PressId(canvas, zelvpro3DCanvas::kViewPoint2Button);
  EXPECT_EQ(qxCameraRecords::Current(), &qxCameraRecords::Live(1));
  EXPECT_EQ(qxCameraRecords::Current()->pitch, 12.5f);
  EXPECT_EQ(qxCameraRecords::Current()->yaw, 30.0f);
  EXPECT_EQ(qxCameraRecords::Current()->position.z, 300.0f);
  EXPECT_EQ(lastState_, 0);

  // Mode 2 for view point 3 and mode 0 for view point 1; capturing home clears bit 1.
  SetFlags(0x2 | 0x80000 << 1);
  SetCamera(qxCameraRecords::kAxonometric, 1, 2, ppVector3(3, 4, 5));
  canvas->DoCommand(4007, 0);
  SetCamera(0, 1, 2, ppVector3(3, 4, 5));
  canvas->DoCommand(4005, 0);
  EXPECT_EQ(Flags(), 0x2u | 1u | (0x10000u << 3));
  canvas->DoCommand(4004, 0);
  EXPECT_EQ(Flags() & 2u, 0u);
  // The shared bit 19: view point 0 in mode 1 and view point 3 in mode 2 write the same bit.
  SetFlags(0);
  SetCamera(qxCameraRecords::kParallel, 0, 0, ppVector3());
  canvas->DoCommand(4004, 0);
  EXPECT_EQ(Flags(), 0x80001u);
  SetCamera(qxCameraRecords::kAxonometric, 0, 0, ppVector3());
  SetFlags(0);
  canvas->DoCommand(4007, 0);
  EXPECT_EQ(Flags(), 0x80001u);
}

TEST_F(View3DTest, TheHomeButtonResetsThePaneOrLoadsViewPointZeroAndResetsTheSliders) {
  Open();
  zelvpro3DCanvas* canvas = Canvas();
  for (uint32_t flags : {0u, 2u, 1u}) {
    SCOPED_TRACE(flags);
    SetFlags(flags);
    SetBlock(0, {-10, -20, -1, -2, -3});
    SetCamera(0, 0, 0, ppVector3());
    canvas->SetViewReset(false);
    canvas->RotationSlider()->SetValue(33);
    canvas->TiltSlider()->SetValue(3);
    canvas->DistanceSlider()->SetValue(3);
    canvas->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(canvas->ViewPointButton()));
    if (flags == 1) {
      EXPECT_FALSE(canvas->ViewReset());
      EXPECT_EQ(qxCameraRecords::Current()->pitch, 10.0f);
      EXPECT_EQ(qxCameraRecords::Current()->position.y, 2.0f);
    } else {
      EXPECT_TRUE(canvas->ViewReset());
    }
    EXPECT_EQ(canvas->RotationSlider()->Value(), 0);
    EXPECT_EQ(canvas->TiltSlider()->Value(), 90);
    EXPECT_EQ(canvas->DistanceSlider()->Value(), 250);
    EXPECT_EQ(canvas->ViewPointButton()->GetState(), 0);
  }
}

TEST_F(View3DTest, TheViewPointMenuOpensOnlyWhereTheFlagsAllowIt) {
  const uint32_t both = zelvproViewPointButton::kCaptureFlag | zelvproViewPointButton::kHomeViewPointFlag;
  const struct {
    uint32_t flags1;
    int32_t downs;  // items walked down before Enter; 0: Esc
    bool menu;
    int32_t chosen;
  } cases[] = {
      {both, 2, true, 4002},
      {both, 1, true, 4001},
      {zelvproViewPointButton::kCaptureFlag, 1, false, 0},
      {zelvproViewPointButton::kHomeViewPointFlag, 1, false, 0},
      {0, 1, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags1);
    Open(c.flags1);
    zelvpro3DCanvas* canvas = Show3D();
    SetFlags(1);
    SetCamera(0, 7, 8, ppVector3(1, 1, 1));
    int32_t scripted = 0;
    plat::HeadlessDriver::SetIdleScript([&] {
      if (scripted++ > 0) return false;
      for (int32_t i = 0; i < c.downs; ++i)
        plat::Desktop::Key(plat::VK_DOWN, true), plat::Desktop::Key(plat::VK_DOWN, false);
      plat::Desktop::Key(plat::VK_RETURN, true);
      plat::Desktop::Key(plat::VK_RETURN, false);
      return true;
    });
    plat::POINT p{50, 50};
    canvas->ViewPointButton()->DoCommand(zelvproViewPointButton::kContextCommand,
                                         reinterpret_cast<intptr_t>(&p));
    plat::HeadlessDriver::SetIdleScript(nullptr);
    EXPECT_EQ(scripted > 0, c.menu);
    EXPECT_EQ(canvas->ViewPointButton()->LastChoice(), c.chosen);
    if (c.chosen == 4002) EXPECT_EQ(Flags(), 3u);
    if (c.chosen == 4001) EXPECT_EQ(BlockOf(0)[0], -7.0);
    if (!c.menu) EXPECT_EQ(Flags(), 1u);
    delete document_;
    document_ = nullptr;
  }
  // Without texts for the items, string list 4001 names them.
  EXPECT_EQ(zelvproViewPointButton::ItemText(16001, 1), u"Capture View Point");
  EXPECT_EQ(zelvproViewPointButton::ItemText(16002, 2), u"Use default Home View Point");
}

TEST_F(View3DTest, FrontsZoomModeAndTheOtherButtons) {
  Open();
  zelvpro3DCanvas* canvas = Canvas();
  canvas->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(canvas->HideFrontsButton()));
  EXPECT_EQ(canvas->HideFronts(), 1);
  EXPECT_EQ(canvas->ShowFrontsButton()->GetState(), 0);
  EXPECT_EQ(canvas->HideFrontsButton()->GetState(), 1);
  canvas->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(canvas->ShowFrontsButton()));
  EXPECT_EQ(canvas->HideFronts(), 0);
  EXPECT_EQ(canvas->ShowFrontsButton()->GetState(), 1);
  EXPECT_EQ(canvas->HideFrontsButton()->GetState(), 0);

  ppButton* zoom = canvas->ZoomModeButton();
  zoom->SetState(1);
  canvas->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(zoom));
  EXPECT_TRUE(canvas->ZoomToObject());
  EXPECT_TRUE(document_->ToolModeActive());  // the window forwards the pane's question
  canvas->DoCommand(zelvpro3DCanvas::kReleased, reinterpret_cast<intptr_t>(zoom));
  EXPECT_FALSE(canvas->ZoomToObject());
  canvas->DoCommand(ppButton::kPressedCommand, reinterpret_cast<intptr_t>(zoom));
  EXPECT_TRUE(canvas->ZoomToObject());
  Release3DZoomModeButton();
  EXPECT_FALSE(canvas->ZoomToObject());
  EXPECT_EQ(zoom->GetState(), 0);

  // Group buttons no view makes: the first press only makes the button current and switches it on.
  PressId(canvas, 2245, 0);
  EXPECT_EQ(lastState_, 1);
  // Any other button is switched off.
  PressId(canvas, 2209, 1);
  EXPECT_EQ(lastState_, 0);
}

TEST_F(View3DTest, ToolTipsComeWithShowAndGoWithHide) {
  Open();
  zelvpro3DCanvas* canvas = Show3D();
  ASSERT_TRUE(canvas->IsShown());
  const int32_t ids[] = {2441, 2445, 3616, 3620, 13027, 13026, 13021, 13022, 13024, 13025};
  for (int32_t id : ids) EXPECT_FALSE(TipText(canvas, id).empty()) << id;
  EXPECT_EQ(TipText(canvas, 13022), u"Rotate Viewpoint Counterclockwise");
  EXPECT_EQ(TipText(canvas, 13024), u"Tilt Viewpoint Down");
  EXPECT_EQ(TipText(canvas, 3620), u"Hide Fronts");
  EXPECT_FALSE(TipText(canvas->RotatePanel(), zelvproRotatePanel::kClockwiseButton).empty());
  document_->ViewBar()->SelectViewByIndex(0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(canvas->IsShown());
  plat::HWND hwnd = document_->GetHWND();
  // 2441 is also the editor canvas's home button, whose tip the plan view registers again.
  for (int32_t id : ids) {
    if (id == 2441) continue;
    char16_t buffer[80] = {};
    plat::TOOLINFOW info;
    info.cbSize = plat::kToolInfoSize;
    info.hwnd = hwnd;
    info.uId = uintptr_t(id);
    info.lpszText = buffer;
    plat::SendMessageW(ToolTipControl::DocumentTips()->Handle(), plat::TTM_GETTEXTW, 80,
                       reinterpret_cast<plat::LPARAM>(&info));
    EXPECT_EQ(std::u16string(buffer), u"") << id;
  }
}

TEST_F(View3DTest, PickNamesAreSaveIdsAndMapBackToTheirUnits) {
  Open();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  std::vector<zelvproElement*> units;
  for (int32_t x : {1000, 2000, 3000})
    units.push_back(
        db_->TopViewFile().CreateElement(palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"),
                                         eltest::Rect(x, 1000, x + 600, 1600), top));
  zelvpro3DCanvas* canvas = Canvas();
  for (zelvproElement* e : units) {
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->PickName(), 0u);
    i3DPaneElement* seen = document_->ElementForPickName(e->PickName());
    EXPECT_EQ(seen, canvas->PaneElementFor(e));
    // The pane's click selects through this face.
    seen->Select();
    EXPECT_TRUE(e->IsSelected());
    EXPECT_EQ(seen->ScenePart(), static_cast<iScene*>(e));
    EXPECT_EQ(seen->Angle(), e->GetAngle());
  }
  EXPECT_EQ(document_->ElementForPickName(999999), nullptr);
  EXPECT_EQ(document_->Selection().size(), 3u);
  document_->SetHitElement(canvas->PaneElementFor(units[1]));
  EXPECT_EQ(canvas->HitElement(), canvas->PaneElementFor(units[1]));
}

TEST_F(View3DTest, APackedRecordCarriesTheCameraAndOpeningPutsItBack) {
  Open();
  ASSERT_EQ(doc_->ViewPoints(), static_cast<iDocumentViewPoints*>(Canvas()));
  ASSERT_NO_FATAL_FAILURE(PackAndOpenACamera());
  EXPECT_EQ(qxCameraRecords::Current()->position.x, 1000.0f);
  // Hiding writes block 2 and leaves the flag word.
  const uint32_t before = Flags();
  SetCamera(0, 5, 6, ppVector3(7, 8, 9));
  Show3D()->Hide();
  EXPECT_EQ(BlockOf(2), (std::vector<double>{-5, -6, -7, -8, -9}));
  EXPECT_EQ(Flags(), before);
}

// ---- A canvas made when first needed.

// The first frame never shows the 3D view, so the window makes the canvas when it is first needed.
// Till then it takes a document's view points as the canvas would, without making it; the first
// change to the 3D view shows a working canvas, and making it writes nothing into the document.
TEST_F(View3DTest, TheCanvasIsMadeWhenFirstNeededAndTheDocumentsViewPointsWaitForNothing) {
  Open();
  EXPECT_EQ(document_->Made3DCanvas(), nullptr);
  EXPECT_EQ(zelvpro3DCanvas::Current(), nullptr);
  ASSERT_NE(doc_->ViewPoints(), nullptr);
  ASSERT_NO_FATAL_FAILURE(PackAndOpenACamera());
  EXPECT_EQ(document_->Made3DCanvas(), nullptr);

  const std::vector<double> block2 = BlockOf(2);
  SetCamera(0, 5, 6, ppVector3(7, 8, 9));
  zelvpro3DCanvas* canvas = Show3D();
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(document_->Made3DCanvas(), canvas);
  EXPECT_EQ(zelvpro3DCanvas::Current(), canvas);
  EXPECT_EQ(document_->ViewBar()->CurrentViewId(), zelvproViewBar::k3DView);
  EXPECT_TRUE(canvas->IsShown());
  EXPECT_EQ(canvas->GetSupervisor(), document_);
  EXPECT_EQ(Str(canvas->GetFrame()), "0,59,801,564");
  ASSERT_NE(canvas->Pane(), nullptr);
  EXPECT_TRUE(plat::IsWindowVisible(canvas->Pane()->GetHWND()));
  EXPECT_EQ(doc_->ViewPoints(), static_cast<iDocumentViewPoints*>(canvas));
  EXPECT_EQ(BlockOf(2), block2);
  // Leaving the view keeps the camera in block 2, as a canvas made at the start does.
  document_->ViewBar()->SelectViewByIndex(0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(canvas->IsShown());
  EXPECT_EQ(BlockOf(2), (std::vector<double>{-5, -6, -7, -8, -9}));
  delete document_;
  document_ = nullptr;
  EXPECT_EQ(doc_->ViewPoints(), nullptr);
  EXPECT_EQ(zelvpro3DCanvas::Current(), nullptr);
}

// A selection change reaches the canvas as before (it is made for it), and a canvas made after the
// window was resized lies where one made at the start and resized with the window lies.
TEST_F(View3DTest, ACanvasMadeLateAnswersCommandsAndLiesAsOneMadeAtTheStart) {
  std::string placed[2];
  for (int32_t late = 0; late < 2; ++late) {
    SCOPED_TRACE(late);
    Open();
    if (late == 0) ASSERT_NE(Canvas(), nullptr);
    plat::MoveWindow(document_->GetHWND(), 0, 0, 1100, 760, true);
    plat::HeadlessDriver::RunUntilIdle();
    EXPECT_EQ(document_->Made3DCanvas() != nullptr, late == 0);
    zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
    zelvproElement* unit = db_->TopViewFile().CreateElement(
        palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"), eltest::Rect(300, 100, 360, 160), top);
    ASSERT_NE(unit, nullptr);
    unit->Select(false);
    plat::HeadlessDriver::RunUntilIdle();
    zelvpro3DCanvas* canvas = dynamic_cast<zelvpro3DCanvas*>(document_->Made3DCanvas());
    ASSERT_NE(canvas, nullptr) << "the selection change did not reach a canvas";
    EXPECT_EQ(canvas->SelectionWalks(), 1);
    EXPECT_TRUE(canvas->RotatePanel()->IsEnabled());
    ASSERT_EQ(Show3D(), canvas);
    RECT pane;
    plat::GetWindowRect(canvas->Pane()->GetHWND(), &pane);
    placed[late] = Str(canvas->GetFrame()) + " " + Str(pane);
    delete document_;
    document_ = nullptr;
  }
  EXPECT_EQ(placed[1], placed[0]);
}

TEST_F(View3DTest, TheRotationPanelFollowsTheSelectionOncePerCycle) {
  Open();
  zelvpro3DCanvas* canvas = Canvas();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  auto unit = [&](int32_t x, uint32_t flags) {
    zelvproElement* e = db_->TopViewFile().CreateElement(
        palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"), eltest::Rect(x, 100, x + 60, 160), top);
    e->flags |= flags;
    e->Select(false);
    return e;
  };
  zelvproElement* fixed = unit(100, 2);
  ASSERT_NE(fixed, nullptr);
  const int32_t walks = canvas->SelectionWalks();
  canvas->DoCommand(3083, 0);
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_FALSE(canvas->RotatePanel()->IsEnabled());
  EXPECT_EQ(canvas->RotatePanel()->ClockwiseButton()->GetState(), ppButton::kDisabled);
  fixed->Deselect(false);
  for (int32_t i = 0; i < 100; ++i) {
    unit(300 + i, 0);
    canvas->DoCommand(3083, 0);
  }
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_EQ(canvas->SelectionWalks(), walks + 2);
  EXPECT_TRUE(canvas->RotatePanel()->IsEnabled());
  EXPECT_EQ(document_->Selection().size(), 100u);

  RecordingConfigurator configurator;
  iConfigurator::Install(&configurator);
  canvas->BuildInfoPanel(nullptr);
  iConfigurator::Install(nullptr);
  ASSERT_EQ(configurator.panels.size(), 1u);
  EXPECT_EQ(configurator.panels[0]->name, u"Canvas");
  ASSERT_EQ(configurator.panels[0]->fields.size(), 5u);
  for (const ConfigField& f : configurator.panels[0]->fields) {
    EXPECT_EQ(f.kind, ConfigField::kText);
    EXPECT_EQ(std::vector<int32_t>(f.margins, f.margins + 4), (std::vector<int32_t>{10, 5, 10, 0}));
  }
}

// A click on the pane runs the pick pass over cached unit shapes; Mesa's selection mode used to fault
// replaying their display lists.
TEST_F(View3DTest, AClickOnThePaneOverAUnitPicksWithoutFaulting) {
  Open();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  zelvproElement* e = db_->TopViewFile().CreateElement(
      palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"), eltest::Rect(1000, 1000, 1600, 1600), top);
  ASSERT_NE(e, nullptr);
  zelvpro3DCanvas* canvas = Show3D();
  canvas->KeyDown(static_cast<signed char>(36), 0);
  plat::HeadlessDriver::RunUntilIdle();
  RECT pane;
  plat::GetWindowRect(canvas->Pane()->GetHWND(), &pane);
  const plat::POINT centre{(pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2};
  for (int i = 0; i < 2; ++i) {
    plat::LayerClock::Advance(2000);
    Down(centre);
    Up(centre);
  }
  EXPECT_LE(document_->Selection().size(), 1u);
}

// Home fits the camera to the units standing in the plan now: the canvas's bounds are walked afresh,
// not read from a box cached before the unit was added (which left the camera where it was).
TEST_F(View3DTest, AClickOnAUnitInThePaneSelectsIt) {
  Open();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  zelvproElement* e = db_->TopViewFile().CreateElement(
      palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"), eltest::Rect(1000, 1000, 1600, 1600), top);
  ASSERT_NE(e, nullptr);
  e->Deselect(false);
  zelvpro3DCanvas* canvas = Show3D();
  ASSERT_NE(e->PickName(), 0u);
  EXPECT_EQ(document_->ElementForPickName(e->PickName()), canvas->PaneElementFor(e));
  // The Home key fits the plan into the pane: the unit then lies at its centre.
  canvas->KeyDown(static_cast<signed char>(36), 0);
  plat::HeadlessDriver::RunUntilIdle();
  RECT pane;
  plat::GetWindowRect(canvas->Pane()->GetHWND(), &pane);
  const plat::POINT centre{(pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2};
  plat::LayerClock::Advance(2000);
  Down(centre);
  Up(centre);
  EXPECT_TRUE(e->IsSelected());
  const std::vector<i3DPaneElement*> selection = document_->Selection();
  ASSERT_EQ(selection.size(), 1u);
  EXPECT_EQ(selection[0], canvas->PaneElementFor(e));
}

TEST_F(View3DTest, TheCanvasBoundsFollowTheUnitsAndLeaveTheirOwnBoxesRight) {
  Open();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  auto unit = [&](int32_t x) {
    return db_->TopViewFile().CreateElement(palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"),
                                            eltest::Rect(x, 1000, x + 600, 1600), top);
  };
  zelvproElement* first = unit(1000);
  ASSERT_NE(first, nullptr);
  zelvpro3DCanvas* canvas = Canvas();
  const ppBounds3 one = canvas->CanvasBounds(1.0f);
  ASSERT_FALSE(one.IsEmpty());
  // A second unit further along x widens them.
  zelvproElement* second = unit(3000);
  second->SetPosition(ppVector3(3000, 0, 0));
  const ppBounds3 two = canvas->CanvasBounds(1.0f);
  EXPECT_GT(two.centre.x + two.half.x, one.centre.x + one.half.x + 2000);
  // A changed unit (its own box as it stood before the change held here as empty) is measured
  // again, and keeps the fresh own box the plan's hit tests read.
  first->InvalidateTree();
  first->boundsA = ppBounds3();
  canvas->CanvasBounds(1.0f);
  EXPECT_FALSE(first->GetBounds(0, 0x240).IsEmpty());
}

TEST_F(View3DTest, UnitsNotedWhileTheViewWasNotDrawnAreBroughtUpToDateBeforeTheNextDrawing) {
  Open();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  auto unit = [&](int32_t x) {
    return db_->TopViewFile().CreateElement(palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"),
                                            eltest::Rect(x, 1000, x + 600, 1600), top);
  };
  zelvproElement* noted = unit(1000);
  zelvproElement* other = unit(2000);
  ASSERT_TRUE(noted != nullptr && other != nullptr);
  zelvpro3DCanvas* canvas = Show3D();
  zelvpro3DPane* pane = canvas->Pane();
  for (zelvproElement* e : {noted, other}) e->InvalidateTree();
  pane->NoteElementChanged(*canvas->PaneElementFor(noted));
  EXPECT_EQ(noted->pendingUpdate, 1);
  ASSERT_TRUE(pane->PendingUpdate());
  // Only the updates run: no renderer, no scene.
  pane->RenderWith(nullptr, nullptr, nullptr, false);
  EXPECT_FALSE(pane->PendingUpdate());
  EXPECT_EQ(noted->changed, 0) << "its geometry rebuilt";
  EXPECT_EQ(noted->pendingUpdate, 1) << "left for the plan's redraw pass";
  EXPECT_FALSE(noted->GetBounds(0, 0x240).IsEmpty());
  EXPECT_EQ(other->changed, 1) << "not noted: left to its drawing";
}

TEST_F(View3DTest, TheEyeIsPlacedRoundTheCornersOfTheRoomOutline) {
  Open();
  using Corners = qxEyePlacement::Corners;
  auto plain = [](const Corners& c) {
    std::vector<float> out;
    for (const auto& corner : c) out.insert(out.end(), {corner.x, corner.y});
    return out;
  };
  // Without walls: the room canvas's empty rectangle.
  EXPECT_EQ(plain(document_->RoomCorners()), (std::vector<float>{0, 0, 0, 6000, 10000, 6000, 10000, 0}));
  // A room from 1000 to 5000 along x and 1000 to 4500 along z.
  BuildRoom();
  EXPECT_EQ(plain(document_->RoomCorners()),
            (std::vector<float>{1000, 1000, 1000, 4500, 5000, 4500, 5000, 1000}));
  // From side 1 the eye looks at the wall between corners 1 and 2 from 5000 beyond it (the
  // first view's least distance), half way along it; the record holds negated coordinates.
  zelvpro3DPane* pane = Show3D()->Pane();
  pane->SetViewIndex(0);
  qx3DNavigation::PlaceEyeFromSide(*pane, 1);
  EXPECT_FLOAT_EQ(pane->Eye().eyeX, -3000.0f);
  EXPECT_FLOAT_EQ(pane->Eye().eyeZ, -9500.0f);
  EXPECT_FLOAT_EQ(pane->Eye().heading, 0.0f);
}

TEST_F(View3DTest, AnAccessoryDroppedOnAUnitInThePaneIsAttachedToItAsOneStep) {
  Open();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  zelvproTopViewFil& file = db_->TopViewFile();
  // A handle, and a copy of the B40 cabinet (with its 3D body) that lists it as droppable (flag 4).
  eltest::Words outline;
  for (float p : {0.0f, 0.0f, 100.0f, 0.0f, 100.0f, 20.0f, 0.0f, 20.0f})
    outline.push_back(eltest::FloatWord(p));
  const int32_t shape = eltest::AddRecordWith(db_->ShapeFile(), {}, {{"points", outline}});
  const int32_t handle = eltest::AddRecordWith(
      file, {{"ID", 77}, {"Type", zelvproTopViewFil::kAccessory}, {"width", 100.0}, {"depth", 20.0}},
      {{"Subelements", eltest::PieceEntry(shape, 0, 0)}});
  file.ReadRecord(palettetest::RecordNamed(file, "Name", "B40"), nullptr);
  cattest::SetWords(file, "DropItems", {handle, 4});
  int32_t takes = 0;
  file.AddRecord(&takes, nullptr);
  zelvproElement* cabinet = file.CreateElement(takes, eltest::Rect(1000, 1000, 1600, 1600), top);
  ASSERT_NE(cabinet, nullptr);
  zelvpro3DCanvas* canvas = Show3D();
  canvas->KeyDown(static_cast<signed char>(36), 0);
  plat::HeadlessDriver::RunUntilIdle();
  RECT pane;
  plat::GetWindowRect(canvas->Pane()->GetHWND(), &pane);
  const plat::POINT centre{(pane.left + pane.right) / 2, (pane.top + pane.bottom) / 2};
  const plat::POINT corner{pane.left + 3, pane.top + 3};
  // Dragged from the pane's corner to `to` (screen pixels) and released there; the task takes the
  // mouse in the pane, whose pixels its points are.
  const auto drag = [&](plat::POINT to) {
    zelvproElement* accessory = file.CreateElement(handle, eltest::Rect(0, 0, 100, 100), top);
    ppTask* task = iElementTaskFactory::Current().NewAccessoryTask(top, accessory);
    auto* placing = dynamic_cast<zelvproAccessoryTask*>(task);
    EXPECT_NE(placing, nullptr);
    plat::POINT start = corner;
    plat::ScreenToClient(canvas->Pane()->GetHWND(), &start);
    plat::Desktop::MouseMove(corner);
    iElementTaskFactory::Current().StartWithElement(task, start.x, start.y, nullptr);
    plat::HeadlessDriver::RunUntilIdle();
    MoveTo({to.x + 1, to.y});
    const int32_t cursor = placing != nullptr ? placing->TrackCursor() : 0;
    MoveTo(to);
    UpAfterClickTime(to);
    return std::tuple(accessory, task, cursor);
  };
  doc_->SetModified(false);
  const int32_t children = top->Subviews().Count();
  [[maybe_unused]] auto [dropped, gone, overNothing] = drag(corner);
  EXPECT_EQ(overNothing, zelvproAccessoryTask::kNoHostCursor);
  EXPECT_EQ(top->Subviews().Count(), children);
  EXPECT_EQ(top->DoneTop(), nullptr);
  EXPECT_FALSE(doc_->IsModified());

  auto [accessory, task, overCabinet] = drag(centre);
  EXPECT_EQ(overCabinet, zelvproAccessoryTask::kHostCursor);
  EXPECT_EQ(accessory->GetSupervisor(), cabinet);
  EXPECT_EQ(top->DoneTop(), task);
  EXPECT_TRUE(doc_->IsModified());
  top->Undo();
  EXPECT_EQ(accessory->GetSupervisor(), nullptr);
  top->Redo();
  EXPECT_EQ(accessory->GetSupervisor(), cabinet);
}

}  // namespace

namespace {

// The pixels of `window` as the loop left them (no repaint is asked for).
std::unique_ptr<plat::Surface> Drawn(plat::HWND window) {
  const std::string file = ::testing::TempDir() + "pane-" + std::to_string(::getpid()) + ".png";
  if (!plat::HeadlessDriver::DumpPng(window, file)) return nullptr;
  std::unique_ptr<plat::Surface> out = plat::ReadPng(file);
  std::remove(file.c_str());
  return out;
}

}  // namespace

// A document that carries no camera of its own (the flag word says stored, the blocks are zero, as
// in the demo's start plan) shows its room from the first frame: the room's corners, floor and wall
// tops, all lie inside the pane and its walls and units are drawn over the background. A document
// with a stored camera opens with that camera, and the first showing keeps it.
TEST_F(View3DTest, TheFirstFrameShowsTheRoomOrTheDocumentsStoredCamera) {
  Open();
  BuildRoom();
  zelvproTopCanvas* top = document_->EditorCanvasView()->Editor()->EditorScroller()->TopCanvas();
  // A unit against the back wall, in the middle.
  zelvproElement* unit = db_->TopViewFile().CreateElement(
      palettetest::RecordNamed(db_->TopViewFile(), "Name", "B40"), eltest::Rect(2800, 1075, 3200, 1675), top);
  ASSERT_NE(unit, nullptr);
  SetFlags(zelvpro3DCanvas::kStoredFlag);
  zelvpro3DCanvas::TakeOpenedViewPoints();
  zelvpro3DCanvas* canvas = Show3D();
  zelvpro3DPane* pane = canvas->Pane();
  std::unique_ptr<plat::Surface> drawn = Drawn(pane->GetHWND());
  ASSERT_NE(drawn, nullptr);
  const int32_t w = drawn->Width(), h = drawn->Height();
  for (const ppVector3& corner : kRoomCorners) {
    for (const float y : {0.0f, kRoomHeight}) {
      const plat::POINT p = qx3DPicking::ProjectToWindow(*pane, ppVector3(corner.x, y, corner.z));
      EXPECT_TRUE(p.x >= 0 && p.x < w && p.y >= 0 && p.y < h)
          << corner.x << "," << y << "," << corner.z << " at " << p.x << "," << p.y << " of " << w << "x"
          << h;
    }
  }
  // The background is what the top left corner shows, above the room.
  const uint32_t background = drawn->Pixel(1, 1) & 0xffffff;
  const auto drawnAt = [&](const ppVector3& point) {
    const plat::POINT p = qx3DPicking::ProjectToWindow(*pane, point);
    if (p.x < 0 || p.x >= w || p.y < 0 || p.y >= h) return false;
    return (drawn->Pixel(p.x, p.y) & 0xffffff) != background;
  };
  EXPECT_TRUE(drawnAt(ppVector3(4500, 2000, 1080))) << "the back wall";
  EXPECT_TRUE(drawnAt(ppVector3(1500, 0, 3000))) << "the floor";
  // The unit's front stands out from the wall behind it.
  const auto pixelAt = [&](const ppVector3& point) {
    const plat::POINT p = qx3DPicking::ProjectToWindow(*pane, point);
    return drawn->Pixel(std::clamp(p.x, 0, w - 1), std::clamp(p.y, 0, h - 1)) & 0xffffff;
  };
  EXPECT_NE(pixelAt(ppVector3(3000, 400, 1680)), pixelAt(ppVector3(3000, 1600, 1080))) << "the unit";

  // A stored camera comes with the document and stays on the next showing.
  canvas->Hide();
  SetBlock(3, {-10, -20, -3000, -1500, -12000});
  canvas->AfterOpen(*doc_);
  Show3D();
  const qxCamera& camera = *qxCameraRecords::Current();
  EXPECT_EQ(camera.position, ppVector3(3000, 1500, 12000));
  EXPECT_EQ(camera.pitch, 10.0f);
  // The home button with no home camera stored fits the room again.
  PressId(canvas, zelvpro3DCanvas::kHomeButton);
  EXPECT_NE(qxCameraRecords::Current()->position, ppVector3(3000, 1500, 12000));
  // So does choosing the axonometric view: the room fills the pane's middle, not a corner of it.
  pane->DoCommand(3075, 0);
  plat::RECT seen{w, h, 0, 0};
  for (const ppVector3& corner : kRoomCorners) {
    for (const float y : {0.0f, kRoomHeight}) {
      const plat::POINT p = qx3DPicking::ProjectToWindow(*pane, ppVector3(corner.x, y, corner.z));
      seen = {std::min(seen.left, p.x), std::min(seen.top, p.y), std::max(seen.right, p.x),
              std::max(seen.bottom, p.y)};
    }
  }
  EXPECT_TRUE(seen.left >= 0 && seen.top >= 0 && seen.right < w && seen.bottom < h);
  EXPECT_GT(std::max(seen.right - seen.left, seen.bottom - seen.top) * 10, std::min(w, h) * 8)
      << seen.left << "," << seen.top << " " << seen.right << "," << seen.bottom;
}

// A document saved while its 3D view was never shown (as the demo's start plan is made) stores no
// camera: the process's default one knows nothing of the room and would open it looking along a
// wall. Opened again, its first 3D frame has the room fitted, its middle in the pane's middle.
TEST_F(View3DTest, ADocumentSavedWithoutItsViewShownOpensOnItsRoom) {
  Open();
  BuildRoom();
  SetFlags(zelvpro3DCanvas::kStoredFlag);
  SetBlock(3, {0, 0, 0, 0, 0});
  zelvpro3DCanvas::TakeOpenedViewPoints();
  ASSERT_EQ(document_->Made3DCanvas(), nullptr);
  doc_->PrepareForPacking();
  Handle packed = nullptr;
  Vcon_HandleManager::MemNew(&packed, 0);
  doc_->PackRecord(nullptr, packed);
  ASSERT_EQ(doc_->Unpack(packed, Vcon::String()), zelvproDocFil::UnpackResult::kAccepted);
  MemDispose(packed);
  EXPECT_EQ(BlockOf(3), (std::vector<double>{0, 0, 0, 0, 0}));
  // Opened again in the same run, now with its 3D canvas made but hidden: still no camera is stored,
  // so an unchanged document saves the same bytes at each open and save.
  zelvpro3DCanvas* hidden = Canvas();
  ASSERT_NE(hidden, nullptr);
  ASSERT_FALSE(hidden->IsShown());
  hidden->AfterOpen(*doc_);
  doc_->PrepareForPacking();
  EXPECT_EQ(BlockOf(3), (std::vector<double>{0, 0, 0, 0, 0}));

  zelvpro3DPane* pane = Show3D()->Pane();
  const plat::POINT middle = qx3DPicking::ProjectToWindow(*pane, ppVector3(3000, kRoomHeight / 2, 2750));
  const int32_t w = pane->FrameWidth(), h = pane->FrameHeight();
  EXPECT_LT(std::abs(middle.x - w / 2) * 20, w) << middle.x << " of " << w;
  EXPECT_LT(std::abs(middle.y - h / 2) * 10, h) << middle.y << " of " << h;
  // Saved now, the document keeps the camera that shows its room.
  doc_->PrepareForPacking();
  EXPECT_EQ(BlockOf(3)[2], -double(qxCameraRecords::Current()->position.x));
}
