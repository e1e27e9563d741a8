// What the user did is what the started program's window shows, without anything repainted on the
// test's behalf: the edits of the Edit menu and the zoom keys on the demo's start plan are drawn in
// the current view once the queue is idle, and the frame's menu greys and checks its items after them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "StartedProgram.h"
#include "calculation/zelvproCalculatorList.h"
#include "calculation/zelvproCalculatorFil.h"
#include "elements/base/ElementKinds.h"
#include "canvas/editor/zelvproRuler.h"
#include "canvas/palette/zelvproElementPalette.h"
#include "canvas/palette/zelvproElementPane.h"
#include "canvas/palette/zelvproElementScroller.h"
#include "canvas/tasks/PlanFrames.h"
#include "canvas/window/zelvproRotatePanel.h"
#include "catalogue/browser/qxCatalog.h"
#include "catalogue/browser/qxNode.h"
#include "catalogue/browser/qxTopNode.h"
#include "elements/base/PlanPixels.h"
#include "elements/units/zelvproConfigElement.h"
#include "room/qxNewRoomCanvas.h"
#include "canvas/editor/zelvproViewBar.h"
#include "canvas/editor/zelvproEditorScroller.h"
#include "elements/base/zelvproTopCanvas.h"
#include "canvas/window/zelvproEditorCanvas.h"
#include "canvas/view3d/zelvpro3DCanvas.h"
#include "platform/Accelerator.h"
#include "platform/Controls.h"
#include "platform/Desktop.h"
#include "platform/Gdi.h"
#include "platform/LayerClock.h"
#include "platform/Menu.h"
#include "platform/PngFile.h"
#include "framework/ppButton.h"
#include "framework/ppRegion.h"
#include "platform/Surface.h"
#include "elements/base/iOrderWriter.h"
#include "foundation/FileOperations.h"

namespace {

constexpr int32_t kUndo = 31, kRedo = 32, kCut = 33, kCopy = 34, kDelete = 36, kSelectAll = 203;
constexpr int32_t kFrontsCommand = 3048;

class EditsOnScreenTest : public apptest::StartedProgramTest {
 protected:
  // The middle of the room's floor, in screen pixels of the current plan view.
  static bool RoomMiddleOnScreen(plat::POINT& middle) {
    auto* room = dynamic_cast<qxNewRoomCanvas*>(zelvproEditorScroller::Current()->View(1));
    if (room == nullptr) return false;
    ppVector2 corners[4];
    room->ComputeBounds(corners);
    PlanPointToScreen(ppVector3((corners[0].x + corners[2].x) / 2, 0, (corners[0].y + corners[2].y) / 2),
                      middle);
    return true;
  }

  // The plan editor's pixels as the window shows them now.
  std::unique_ptr<plat::Surface> Plan() {
    const std::string shot = (demo_.Root() / "plan.png").string();
    zelvproEditorCanvas* editor = zelvproEditorCanvas::Current();
    if (editor == nullptr || !plat::HeadlessDriver::DumpPng(app_->DocumentWindow()->GetHWND(), shot))
      return nullptr;
    std::unique_ptr<plat::Surface> window = plat::ReadPng(shot);
    plat::RECT r{};
    editor->GetWindowFrame(&r);
    auto plan = std::make_unique<plat::Surface>(r.right - r.left, r.bottom - r.top);
    for (int32_t y = 0; y < plan->Height(); ++y)
      for (int32_t x = 0; x < plan->Width(); ++x) plan->SetPixel(x, y, window->Pixel(r.left + x, r.top + y));
    return plan;
  }
  static int32_t Differing(const plat::Surface& a, const plat::Surface& b) {
    int32_t count = 0;
    for (int32_t y = 0; y < a.Height(); ++y)
      for (int32_t x = 0; x < a.Width(); ++x) count += a.Pixel(x, y) != b.Pixel(x, y);
    return count;
  }
  // Whether the item is grey, as the menu shows it once it opens.
  bool Grey(int32_t command) {
    plat::HMENU menu = app_->FrameMenu();
    for (int32_t i = 0; i < plat::GetMenuItemCount(menu); ++i)
      plat::SendMessageA(app_->Frame(), plat::WM_INITMENUPOPUP, plat::WPARAM(plat::GetSubMenu(menu, i)), i);
    return (plat::GetMenuState(menu, plat::UINT(command), plat::MF_BYCOMMAND) & plat::MF_GRAYED) != 0;
  }
  bool Checked(int32_t command) {
    return (plat::GetMenuState(app_->FrameMenu(), plat::UINT(command), plat::MF_BYCOMMAND) &
            plat::MF_CHECKED) != 0;
  }
  void ExpectOnlyOldAndNewPlaceRepainted(zelvproElement* unit);
};

TEST_F(EditsOnScreenTest, DeleteUndoRedoAndZoomAreDrawnAndTheEditMenuFollows) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  EXPECT_TRUE(Checked(zelvproViewBar::kTopColourCommand));
  EXPECT_FALSE(Checked(zelvproViewBar::kRoomDesignCommand));
  // The price list has no zoom: its view greys the zoom items, the plan views give them back.
  Send(zelvproViewBar::kItemListCommand);
  EXPECT_TRUE(Checked(zelvproViewBar::kItemListCommand));
  EXPECT_TRUE(Grey(zelvproViewBar::kZoomInCommand));
  Send(zelvproViewBar::kTopColourCommand);
  EXPECT_FALSE(Checked(zelvproViewBar::kItemListCommand));
  EXPECT_FALSE(Grey(zelvproViewBar::kZoomInCommand));
  EXPECT_TRUE(Grey(kCut));
  EXPECT_FALSE(Grey(kSelectAll)) << "the start plan has units";

  Send(kSelectAll);
  const std::unique_ptr<plat::Surface> selected = Plan();
  ASSERT_NE(selected, nullptr);
  EXPECT_FALSE(Grey(kCut));
  EXPECT_FALSE(Grey(kCopy));

  Send(kDelete);
  const std::unique_ptr<plat::Surface> deleted = Plan();
  EXPECT_GT(Differing(*selected, *deleted), 500) << "the deleted units still show";
  EXPECT_FALSE(Grey(kUndo));
  EXPECT_TRUE(Grey(kRedo));
  EXPECT_TRUE(Grey(kDelete));

  Send(kUndo);
  EXPECT_EQ(Differing(*selected, *Plan()), 0) << "the units came back where they were";
  EXPECT_FALSE(Grey(kRedo));

  Send(kRedo);
  EXPECT_EQ(Differing(*deleted, *Plan()), 0);
  EXPECT_TRUE(Grey(kRedo));

  Send(kUndo);
  Send(zelvproViewBar::kZoomInCommand);
  const std::unique_ptr<plat::Surface> zoomed = Plan();
  EXPECT_GT(Differing(*selected, *zoomed), 500) << "the plan is drawn at the new scale";
  Send(zelvproViewBar::kZoomOutCommand);
  EXPECT_EQ(Differing(*selected, *Plan()), 0);
}

// The frame's menu has no item for it: the command and the two buttons keep each other's state.
TEST_F(EditsOnScreenTest, TheFrontsCommandTogglesTheHiddenFrontsOfThe3DView) {
  zelvProApp& app = StartOnThePlan();
  Send(zelvproViewBar::k3DCommand);
  auto* scene = dynamic_cast<zelvpro3DCanvas*>(app.DocumentWindow()->Made3DCanvas());
  ASSERT_NE(scene, nullptr);
  for (const int32_t hidden : {1, 0}) {
    Send(kFrontsCommand);
    EXPECT_EQ(scene->HideFronts(), hidden);
    EXPECT_EQ(scene->HideFrontsButton()->GetState(), hidden);
    EXPECT_EQ(scene->ShowFrontsButton()->GetState(), 1 - hidden);
  }
}

// The preferences' inch choice (1029), confirmed outside the price list, reaches the rulers.
TEST_F(EditsOnScreenTest, InchesChosenInThePreferencesRespaceTheRulers) {
  StartOnThePlan();
  const float metric = RulerMajorSpacing();
  bool answered = false;
  plat::HeadlessDriver::SetIdleScript([&] {
    if (answered) return false;
    answered = true;
    plat::HWND dialog = plat::GetActiveWindow();
    plat::SendMessageW(plat::GetDlgItem(dialog, 1029), plat::BM_CLICK, 0, 0);
    return plat::PostMessageA(dialog, plat::WM_COMMAND, plat::IDOK, 0) != 0;
  });
  Send(zelvProApp::kPreferencesCommand);
  ASSERT_TRUE(answered);
  EXPECT_EQ(Preferences().unitSystem, uint32_t(kUnitImperial));
  EXPECT_NE(RulerMajorSpacing(), metric);
}

// In the colours view a click on a unit selects it alone, and the element panel then offers its finishes.
TEST_F(EditsOnScreenTest, AClickInTheColoursViewSelectsTheUnitUnderIt) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  ASSERT_GT(plan->Subviews().Count(), 1);
  auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(plan->Subviews().Count() - 1));
  // The middle of its outline: the unit drawn last lies over the others there.
  plat::RECT r{};
  unit->NewFrameRegion()->GetBounds(&r);
  const int32_t x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  // The button is already up when the press is handled: a click, not a drag.
  plat::HWND window = unit->GetHWND();
  plat::PostMessageA(window, plat::WM_LBUTTONUP, 0, plat::MAKELPARAM(x, y));
  plat::SendMessageA(window, plat::WM_LBUTTONDOWN, plat::MK_LBUTTON, plat::MAKELPARAM(x, y));
  plat::HeadlessDriver::RunUntilIdle();
  EXPECT_TRUE(unit->IsSelected());
}

// The window paints what its paint message is told is out of date: the regions the plan receives are
// recorded here.
namespace paints {
plat::WNDPROC gProgram = nullptr;
plat::HRGN gReceived = nullptr;
plat::LRESULT Recording(plat::HWND window, plat::UINT message, plat::WPARAM wParam, plat::LPARAM lParam) {
  if (message == plat::WM_PAINT && gReceived != nullptr) {
    plat::HRGN update = plat::CreateRectRgn(0, 0, 0, 0);
    plat::GetUpdateRgn(window, update, 0);
    plat::CombineRgn(gReceived, gReceived, update, plat::RGN_OR);
    plat::DeleteObject(update);
  }
  return plat::CallWindowProcA(gProgram, window, message, wParam, lParam);
}
}  // namespace paints

// Selects `unit` with a click in its middle, drags it 80 and 120 pixels right and down with Ctrl
// held, then undoes and redoes the move: the regions the plan is told to repaint after each lie
// within the unit's outline before and after it, and both outlines are among them.
void EditsOnScreenTest::ExpectOnlyOldAndNewPlaceRepainted(zelvproElement* unit) {
  plat::HWND window = unit->GetHWND();
  ASSERT_NE(window, nullptr);
  const auto outline = [&] { return unit->NewFrameRegion(); };
  // `r` with every pixel next to it: the outline is stroked on the edge pixels its region leaves out.
  const auto widened = [](const ppRegion& r, int32_t from, int32_t to) {
    ppRegion out(r);
    for (int32_t dx = from; dx <= to; ++dx)
      for (int32_t dy = from; dy <= to; ++dy) {
        ppRegion moved(r);
        moved.Offset(dx, dy);
        out.Union(moved);
      }
    return out;
  };
  const auto mouse = [&](int32_t x, int32_t y, int32_t button) {
    plat::POINT p{x, y};
    plat::ClientToScreen(window, &p);
    if (button < 0)
      plat::Desktop::MouseMove(p);
    else
      plat::Desktop::MouseButton(plat::VK_LBUTTON, button != 0, p);
    plat::HeadlessDriver::RunUntilIdle();
  };
  // Selected by a click first: the drag then moves this unit alone.
  plat::RECT start{};
  outline()->GetBounds(&start);
  const int32_t x = (start.left + start.right) / 2, y = (start.top + start.bottom) / 2;
  mouse(x, y, 1);
  mouse(x, y, 0);
  plat::RECT editor{};
  zelvproEditorCanvas::Current()->GetWindowFrame(&editor);

  // Ctrl held on the way keeps the unit off its neighbours' anchors and the walls, whose pull would
  // show it at places between: only its two places change.
  const auto drag = [&] {
    mouse(x, y, 1);
    plat::Desktop::Key(plat::VK_CONTROL, true);
    plat::LayerClock::Advance(1000);
    mouse(x + 40, y + 60, -1);
    mouse(x + 80, y + 120, -1);
    mouse(x + 80, y + 120, 0);
    plat::Desktop::Key(plat::VK_CONTROL, false);
    plat::HeadlessDriver::RunUntilIdle();
  };
  const std::pair<const char*, std::function<void()>> edits[] = {
      {"drag", drag}, {"undo", [&] { Send(kUndo); }}, {"redo", [&] { Send(kRedo); }}};
  for (const auto& [name, edit] : edits) {
    SCOPED_TRACE(name);
    const std::unique_ptr<ppRegion> before = outline();
    paints::gReceived = plat::CreateRectRgn(0, 0, 0, 0);
    paints::gProgram = reinterpret_cast<plat::WNDPROC>(plat::SetWindowLongPtrA(
        window, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(&paints::Recording)));
    edit();
    plat::SetWindowLongPtrA(window, plat::GWLP_WNDPROC, reinterpret_cast<plat::LONG_PTR>(paints::gProgram));
    const std::unique_ptr<ppRegion> after = outline();
    ppRegion moved(*after);
    moved.Subtract(*before);
    EXPECT_FALSE(moved.IsEmpty()) << "the unit changed its place";

    // Within the plan's part of the window: the outline before and after, two pixels wider (the
    // smoothed edges of a turned outline reach past its last pixel).
    ppRegion received(paints::gReceived);
    received.Intersect(ppRegion(editor));
    ppRegion beyond(received);
    beyond.Subtract(widened(*before, -2, 2));
    beyond.Subtract(widened(*after, -2, 2));
    plat::RECT box{};
    beyond.GetBounds(&box);
    EXPECT_TRUE(beyond.IsEmpty()) << "repainted beyond the unit: " << box.left << "," << box.top << " to "
                                  << box.right << "," << box.bottom;
    for (const ppRegion* place : {before.get(), after.get()}) {
      ppRegion missed = widened(*place, 0, 1);
      missed.Subtract(received);
      EXPECT_TRUE(missed.IsEmpty()) << (place == before.get() ? "the old place" : "the new place")
                                    << " not repainted";
    }
    plat::DeleteObject(paints::gReceived);
    paints::gReceived = nullptr;
  }
}

TEST_F(EditsOnScreenTest, AnEditedUnitRepaintsOnlyItsOldAndNewPlace) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  ASSERT_GT(plan->Subviews().Count(), 0);
  auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(plan->Subviews().Count() - 1));
  ExpectOnlyOldAndNewPlaceRepainted(unit);
  EXPECT_TRUE(unit->IsSelected());
}

// A configurable unit (the demo's "Hinged base 60" made one, catalogue type 4) pulled from the palette
// into the middle of the room in the Colors view, then moved there by the mouse: the plan shows it
// where it stands and no longer where it stood, after the move, its Undo and its Redo, without a view
// change.
TEST_F(EditsOnScreenTest, AMovedConfigurableUnitIsDrawnAtOnce) {
  MakeConfigurable("CFG");
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  plat::POINT middle{};
  ASSERT_TRUE(RoomMiddleOnScreen(middle));
  const int32_t before = plan->Subviews().Count();
  DropFromPalette("Base", "VH-CFG", middle);
  ASSERT_EQ(plan->Subviews().Count(), before + 1);
  zelvproConfigElement* unit = nullptr;  // the start plan has none; a floor unit goes under the others
  for (int32_t i = 0; i < plan->Subviews().Count() && unit == nullptr; ++i)
    unit = dynamic_cast<zelvproConfigElement*>(plan->Subviews().At(i));
  ASSERT_NE(unit, nullptr) << "the new unit is a configurable one";
  ExpectOnlyOldAndNewPlaceRepainted(unit);
}

// A click on the rotation panel's clockwise button turns the selected unit clockwise as the plan shows
// it (z down the screen), by the rotation step; the other button turns it the other way.
TEST_F(EditsOnScreenTest, TheClockwiseButtonTurnsTheSelectionClockwiseOnThePlan) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopColourCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(plan->Subviews().Count() - 1));
  const auto click = [&](ppView& view, plat::RECT r) {
    plat::POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    plat::ClientToScreen(view.GetHWND(), &p);
    plat::Desktop::Click(p);
    plat::HeadlessDriver::RunUntilIdle();
  };
  plat::RECT r{};
  unit->NewFrameRegion()->GetBounds(&r);
  click(*unit, r);
  ASSERT_TRUE(unit->IsSelected());
  // The screen direction (radians, clockwise positive) of the unit's width as the plan draws it.
  const auto heading = [&] {
    plat::POINT o{}, x{};
    PlanPointToScreen(PlanPoint(unit, ppVector3(0, 0, 0)), o);
    PlanPointToScreen(PlanPoint(unit, ppVector3(1000, 0, 0)), x);
    return std::atan2(double(x.y - o.y), double(x.x - o.x));
  };
  zelvproRotatePanel* panel = zelvproEditorCanvas::Current()->RotatePanel();
  const double start = heading();
  for (auto [button, turn] : {std::pair(panel->ClockwiseButton(), 0.785398),
                              {panel->CounterclockwiseButton(), 0.0},
                              {panel->CounterclockwiseButton(), -0.785398}}) {
    button->GetWindowFrame(&r);
    click(*button, r);
    EXPECT_NEAR(std::remainder(heading() - start, 6.283185307179586), turn, 0.03);
  }
}

// Every view of the view bar is reached from every other, from the start view on, by its key and by
// its View menu item; the top view has neither and its command leaves the view as it is.
TEST_F(EditsOnScreenTest, EveryViewIsReachedFromEveryOtherByItsKeyAndItsMenuItem) {
  zelvProApp& app = StartOnThePlan();
  const struct {
    int32_t key, command, view;
  } views[] = {{plat::VK_F2, zelvproViewBar::kRoomDesignCommand, zelvproViewBar::kRoomDesignView},
               {plat::VK_F4, zelvproViewBar::kTopColourCommand, zelvproViewBar::kTopColourView},
               {0x76, zelvproViewBar::k3DCommand, zelvproViewBar::k3DView},
               {0x77, zelvproViewBar::kItemListCommand, zelvproViewBar::kItemListView}};
  plat::HMENU viewMenu = plat::GetSubMenu(app.FrameMenu(), 2);
  ASSERT_NE(viewMenu, nullptr);
  EXPECT_EQ(plat::GetMenuState(viewMenu, 3002, plat::MF_BYCOMMAND), plat::UINT(-1));
  for (const auto& from : views)
    for (const auto& to : views) {
      SCOPED_TRACE(std::to_string(from.view) + " to " + std::to_string(to.view));
      Send(from.command);
      ASSERT_EQ(CurrentView(), from.view);
      // The key as the frame's key table turns it into a command (unshifted function key).
      int32_t byKey = 0;
      for (const plat::ACCEL& entry : app.Accelerators()->Entries())
        if (entry.key == to.key && entry.fVirt == 0x01) byKey = entry.cmd;
      Send(byKey);
      EXPECT_EQ(CurrentView(), to.view) << "by its key";
      Send(from.command);
      // The menu item as the open View menu sends it.
      plat::SendMessageA(app.Frame(), plat::WM_INITMENUPOPUP, plat::WPARAM(viewMenu), 2);
      EXPECT_EQ(plat::GetMenuState(viewMenu, plat::UINT(to.command), plat::MF_BYCOMMAND) & plat::MF_GRAYED,
                0u);
      Send(to.command);
      EXPECT_EQ(CurrentView(), to.view) << "by its menu item";
      Send(3002);
      EXPECT_EQ(CurrentView(), to.view);
    }
}

}  // namespace

// A worktop is in reach of a user who plans a kitchen: the plan views' catalogue has a Worktops
// group, a worktop pulled from it into the middle of the room stands there at the height it has on
// the base units (820 mm: 100 of plinth and 720 of carcase), and the price list has its line.
TEST_F(EditsOnScreenTest, AWorktopPulledFromThePlanViewsCatalogueStandsInTheRoomAndIsPriced) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopViewCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  plat::POINT middle{};
  ASSERT_TRUE(RoomMiddleOnScreen(middle));
  const int32_t before = plan->Subviews().Count();
  DropFromPalette("Worktops", "VH-WT200", middle);
  ASSERT_EQ(plan->Subviews().Count(), before + 1) << "the worktop was not placed";
  zelvproElement* worktop = nullptr;
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i) {
    auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(i));
    if (unit->kind == ElementKinds::kParametric) worktop = unit;
  }
  ASSERT_NE(worktop, nullptr);
  ppVector3 at;
  worktop->GetAbsolutePosition(at);
  EXPECT_FLOAT_EQ(at.y, 820.0f);

  Send(zelvproViewBar::kItemListCommand);
  zelvproCalculatorFil& lines = zelvproCalculatorList::Current()->LineFile();
  lines.BeginAccess();
  int32_t found = 0;
  for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
    lines.ReadRecordAt(i, nullptr);
    const char* b = lines.GetRecordBuffer();
    if (RecordField(lines, "unitID").Long(b) != worktop->GetUnitRecordId()) continue;
    ++found;
    EXPECT_EQ(ppMoney::FromRaw(RecordField(lines, "total").MoneyRaw(b)).ToDouble(), 1495.0);
  }
  EXPECT_EQ(found, 1);
}

// The hob is an accessory: pulled from the Appliances group onto a base unit in the plan it becomes
// that unit's, and the price list has its line at its price, as the order has its article.
TEST_F(EditsOnScreenTest, AHobDroppedOnABaseUnitIsPricedAndOrdered) {
  StartOnThePlan();
  Send(zelvproViewBar::kTopViewCommand);
  zelvproTopCanvas* plan = zelvproEditorScroller::MainCanvas();
  ASSERT_NE(plan, nullptr);
  plat::POINT middle{};
  ASSERT_TRUE(RoomMiddleOnScreen(middle));
  const int32_t before = plan->Subviews().Count();
  DropFromPalette("Base", "VH-B60", middle);
  ASSERT_EQ(plan->Subviews().Count(), before + 1) << "the base unit was not placed";
  auto* base = static_cast<zelvproElement*>(plan->Subviews().At(0));
  for (int32_t i = 0; i < plan->Subviews().Count(); ++i) {
    auto* unit = static_cast<zelvproElement*>(plan->Subviews().At(i));
    if (unit->IsSelected()) base = unit;  // the unit just placed is the one selected
  }
  const int32_t children = base->Subviews().Count();
  DropFromPalette("Appliances", "VH-AHB60", middle);
  EXPECT_EQ(plan->Subviews().Count(), before + 1) << "the hob stands on its own";
  ASSERT_EQ(base->Subviews().Count(), children + 1) << "the hob is not the base unit's";
  auto* hob = static_cast<zelvproElement*>(base->Subviews().At(base->Subviews().Count() - 1));
  EXPECT_EQ(hob->kind, ElementKinds::kAccessory);

  Send(zelvproViewBar::kItemListCommand);
  zelvproCalculatorFil& lines = zelvproCalculatorList::Current()->LineFile();
  lines.BeginAccess();
  std::vector<double> hobTotals;
  for (int32_t i = 0; i < lines.GetRecordCount(); ++i) {
    lines.ReadRecordAt(i, nullptr);
    const char* b = lines.GetRecordBuffer();
    if (RecordField(lines, "type").Long(b) != zelvproCalculatorFil::kCalculationItem) continue;
    if (RecordField(lines, "unitID").Long(b) == hob->GetUnitRecordId())
      hobTotals.push_back(ppMoney::FromRaw(RecordField(lines, "total").MoneyRaw(b)).ToDouble());
  }
  EXPECT_EQ(hobTotals, std::vector<double>{4495.0});

  // The order: the base unit's module names the hob as a component of its own.
  struct Order : iOrderWriter {
    ppFileSpec& File() override { return file; }
    int32_t OrderNumber() override { return 1; }
    int32_t CurrentModule() override { return module; }
    int32_t NextModule() override { return ++module; }
    ppFileSpec file;
    int32_t module = 0;
  } order;
  const std::filesystem::path path = demo_.Root() / "order.txt";
  ppFileSpec where{Vcon::WString(path.string().c_str())};
  FileCreate(where);
  FileOpen(order.file, where, false);
  base->WriteOrderModule(order);
  FileClose(order.file);
  std::ifstream in(path, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("KOMPONENT\t1\t1\tVH-AHB60\t"), std::string::npos) << text;
}
