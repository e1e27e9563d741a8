// The configurator with its tabs and panels: tab geometry, single-page, names handed between
// rebuilds, emptying (also from inside a field's own call), scrolling by clicks and the focus ring
// walked with keys.
#include <gtest/gtest.h>

#include "ControlsTestSupport.h"
#include "controls/ppConfigTab.h"
#include "controls/zelvproConfigurator.h"
#include "framework/ApplicationSettings.h"
#include "framework/iElementServices.h"
#include "framework/ppDC.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppRegion.h"
#include "framework/ppTask.h"

namespace {

using ctltest::Fill;
using ctltest::Row;
using ctltest::RowAt;
using ctltest::ValueUnit;

class ConfiguratorTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    configurator_ = new ppConfigurator(window_, {0, 0, 200, 300}, nullptr, false);
    window_->SetTarget(configurator_);
  }
  ppConfigPanel* Panel(size_t tab) { return configurator_->Tabs()[tab]->Panel(); }
  ppConfigurator* configurator_ = nullptr;  // a subview of the window
};

TEST_F(ConfiguratorTest, TabsLineUpFromTheLeftThreePixelsApart) {
  Fill(*configurator_, {{u"Size", {"Width"}}, {u"Look", {"Colour"}}});
  const int32_t w = CaptionWidth(u"Size");
  ASSERT_GT(w, 0);
  const plat::RECT first = configurator_->Tabs()[0]->GetFrame();
  EXPECT_EQ(first.left, 3);
  EXPECT_EQ(first.top, 5);
  EXPECT_EQ(first.right, 3 + w + 10);
  EXPECT_EQ(first.bottom, 21);
  const plat::RECT second = configurator_->Tabs()[1]->GetFrame();
  EXPECT_EQ(second.left, first.right + 3);
  EXPECT_EQ(second.right - second.left, CaptionWidth(u"Look") + 10);
  // The first tab is selected, its panel fills the configurator below the tabs.
  EXPECT_EQ(configurator_->CurrentPanel(), Panel(0));
  EXPECT_EQ(Panel(0)->GetFrame().top, 21);
  EXPECT_EQ(Panel(0)->GetSupervisor(), configurator_);
  EXPECT_EQ(Panel(1)->GetSupervisor(), nullptr) << "an unselected panel is detached";
  EXPECT_EQ(configurator_->GetSelectedTab(), configurator_->Tabs()[0]);
}

TEST_F(ConfiguratorTest, WithATabShownItsFillCoversItsWholeAreaForWhatIsDrawnBefore) {
  ppDC dc(window_->GetHWND());
  EXPECT_EQ(configurator_->GetOpaqueRegion(dc), nullptr) << "without tabs nothing is filled";
  Fill(*configurator_, {{u"Size", {"Width"}}});
  std::unique_ptr<ppRegion> covered = configurator_->GetOpaqueRegion(dc);
  ASSERT_NE(covered, nullptr);
  plat::RECT box;
  covered->GetBounds(&box);
  EXPECT_EQ(box, (plat::RECT{0, 0, 200, 300}));
  dc.SetDrawingMode(ppDC::kModeChecker);
  EXPECT_EQ(configurator_->GetOpaqueRegion(dc), nullptr) << "a checkered fill lets pixels show";
  dc.SetDrawingMode(ppDC::kModeCopy);
  configurator_->Hide();
  EXPECT_EQ(configurator_->GetOpaqueRegion(dc), nullptr);
}

TEST_F(ConfiguratorTest, ASinglePageConfiguratorHidesItsTabAndNamesBareFields) {
  configurator_->SetSinglePage();
  Fill(*configurator_, {{u"Size", {"Width", "Depth"}}});
  const plat::RECT tab = configurator_->Tabs()[0]->GetFrame();
  EXPECT_EQ(tab.left, 0);
  EXPECT_EQ(tab.top, 0);
  EXPECT_EQ(tab.right, 0);
  EXPECT_EQ(tab.bottom, 0);
  EXPECT_EQ(Panel(0)->GetFrame().top, 0);
  Panel(0)->FocusFirst();
  EXPECT_EQ(configurator_->GetFocusedName(), "Width");
  EXPECT_TRUE(configurator_->FocusByName("Depth"));
  EXPECT_EQ(configurator_->GetFocusedName(), "Depth");
}

TEST_F(ConfiguratorTest, TheSinglePageSettingMakesTheProgramsConfiguratorSinglePage) {
  for (uint32_t flags : {0u, kSinglePageConfigurator}) {
    SetApplicationFlags2(flags);
    zelvproConfigurator program(nullptr, {0, 0, 100, 100});
    EXPECT_EQ(program.IsSinglePage(), flags != 0);
    EXPECT_EQ(ConfiguratorHost(), &program);
    EXPECT_EQ(ppConfigurator::Host(), &program);
  }
  EXPECT_EQ(ConfiguratorHost(), nullptr) << "the host is unregistered with the configurator";
}

TEST_F(ConfiguratorTest, ANameTakenBeforeARebuildFocusesTheSameFieldAfterIt) {
  Fill(*configurator_, {{u"Look", {"Colour"}}, {u"Size", {"Depth", "Width"}}});
  configurator_->Select(configurator_->Tabs()[1]);
  Panel(1)->SetFocusTo(RowAt(Panel(1), 1));
  const std::string name = configurator_->GetFocusedName();
  EXPECT_EQ(name, "Width:Size");

  // Rebuilt: the field is there again.
  Fill(*configurator_, {{u"Look", {"Colour"}}, {u"Size", {"Depth", "Width"}}});
  EXPECT_TRUE(configurator_->FocusByName(name));
  EXPECT_EQ(configurator_->CurrentPanel(), Panel(1));
  EXPECT_EQ(Panel(1)->GetFocusedField(), RowAt(Panel(1), 1));

  // Rebuilt without it: the tab of that caption.
  Fill(*configurator_, {{u"Look", {"Colour"}}, {u"Size", {"Depth"}}});
  EXPECT_TRUE(configurator_->FocusByName(name));
  EXPECT_EQ(configurator_->CurrentPanel(), Panel(1));

  // Nothing matches: the first tab.
  EXPECT_FALSE(configurator_->FocusByName("Height:Frame"));
  EXPECT_EQ(configurator_->CurrentPanel(), Panel(0));
  EXPECT_FALSE(configurator_->FocusByName(""));
}

// Counts its deletions.
struct Tracked {
  explicit Tracked(int* deleted) : deleted_(deleted) {}
  ~Tracked() { ++*deleted_; }
  int* deleted_;
};

TEST_F(ConfiguratorTest, RemoveAllDeletesOwnedObjectsEvenWithoutTabsAndKeepsTheUndoStacks) {
  int deleted = 0;
  configurator_->PushObject(std::make_unique<Tracked>(&deleted));
  configurator_->PushObject(std::make_unique<Tracked>(&deleted));
  configurator_->UndoStacks().Post(new ppTask());
  configurator_->RemoveAll();
  EXPECT_EQ(deleted, 2);
  EXPECT_EQ(configurator_->OwnedObjectCount(), 0u);
  EXPECT_NE(configurator_->UndoStacks().DoneTop(), nullptr);

  configurator_->PlaceTabs();
  EXPECT_EQ(configurator_->CurrentPanel(), nullptr);
  EXPECT_EQ(configurator_->GetFocusedName(), "");
}

TEST_F(ConfiguratorTest, ObjectsHandedToTheHostLiveUntilItsNextRemoveAll) {
  int deleted = 0;
  ppConfigurator::PushObjectToHost(std::make_unique<Tracked>(&deleted));
  EXPECT_EQ(deleted, 1) << "without a host the object goes at once";
  zelvproConfigurator program(window_, {0, 0, 100, 100});
  ppConfigurator::PushObjectToHost(std::make_unique<Tracked>(&deleted));
  EXPECT_EQ(deleted, 1);
  program.RemoveAll();
  EXPECT_EQ(deleted, 2);
}

// A field whose press rebuilds the configurator and then goes on using itself, as a button whose
// command refills the panels does.
class Rebuilder : public Row {
 public:
  Rebuilder(ppView* panel, ppConfigurator* configurator) : Row(panel, nullptr), configurator_(configurator) {}
  bool IsDoubleClick(int32_t, int32_t) override {
    Fill(*configurator_, {{u"Next", {"Width"}}});
    // Still inside its own call: its members must still be there.
    ++presses;
    Invalidate();
    return true;
  }
  int32_t presses = 0;
  ppConfigurator* configurator_;
};

TEST_F(ConfiguratorTest, APanelRemovedInsideItsFieldsOwnCallGoesAfterTheMessage) {
  configurator_->RemoveAll();
  auto* panel = new ppConfigPanel(configurator_);
  panel->SetName(u"Size");
  auto* button = new Rebuilder(panel, configurator_);
  panel->AddField(button);
  configurator_->AddPanel(panel);
  configurator_->PlaceTabs();
  configurator_->RequestLayout();
  plat::HeadlessDriver::RunUntilIdle();

  Click(100, 30);
  EXPECT_EQ(button->presses, 1);
  EXPECT_TRUE(ppPendingDeletions::Holds(panel));
  EXPECT_FALSE(panel->IsShown());
  EXPECT_EQ(panel->GetSupervisor(), nullptr);
  EXPECT_EQ(configurator_->Tabs().size(), 1u);
  EXPECT_EQ(configurator_->CurrentPanel()->Caption(), u"Next");
  ppPendingDeletions::DeleteAll();
  EXPECT_EQ(ppPendingDeletions::Count(), 0u);
}

TEST_F(ConfiguratorTest, APanelRetiredButNotYetDeletedGoesWithItsConfigurator) {
  auto* panel = new ppConfigPanel(configurator_);
  auto* button = new Rebuilder(panel, configurator_);
  panel->AddField(button);
  configurator_->AddPanel(panel);
  configurator_->PlaceTabs();
  configurator_->RequestLayout();
  Click(100, 30);
  ASSERT_TRUE(ppPendingDeletions::Holds(panel));
  delete configurator_;
  EXPECT_FALSE(ppPendingDeletions::Holds(panel));
}

TEST_F(ConfiguratorTest, AClickOnATabSelectsItsPanelAndFocusesItsFirstField) {
  Fill(*configurator_, {{u"Size", {"Width"}}, {u"Look", {"Colour", "Finish"}}});
  plat::HeadlessDriver::RunUntilIdle();
  const plat::RECT tab = configurator_->Tabs()[1]->GetFrame();
  Click(tab.left + 3, tab.top + 5);
  EXPECT_EQ(configurator_->CurrentPanel(), Panel(1));
  EXPECT_EQ(Panel(1)->GetFocusedField(), RowAt(Panel(1), 0));
  EXPECT_GE(RowAt(Panel(1), 0)->takes, 1);
  EXPECT_EQ(RowAt(Panel(1), 1)->takes, 0);
  EXPECT_EQ(configurator_->GetFocusedName(), "Colour:Look");
}

// ---- Scrolling.

TEST_F(ConfiguratorTest, FieldsThatFitNeverScroll) {
  Fill(*configurator_, {{u"Size", {"A", "B", "C"}}});
  ppConfigPanel* panel = Panel(0);
  EXPECT_FALSE(panel->IsScrolling());
  EXPECT_EQ(panel->ScrollOffset(), 0);
  Click(100, 295);
  EXPECT_EQ(panel->ScrollOffset(), 0);

  // Too many for the height: scrolled down, then the configurator grows until they fit again.
  Fill(*configurator_,
       {{u"Size", {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O"}}});
  panel = Panel(0);
  ASSERT_TRUE(panel->IsScrolling());
  Click(100, 295);
  ASSERT_EQ(panel->ScrollOffset(), -20);
  configurator_->SupervisorResized(0, 100);
  EXPECT_FALSE(panel->IsScrolling());
  EXPECT_EQ(panel->ScrollOffset(), 0);
  EXPECT_EQ(RowAt(panel, 0)->GetFrame().top, 0);
}

TEST_F(ConfiguratorTest, ClicksNearTheEdgesScrollByTwentyAndShowTheUpwardArrow) {
  app_->colours[1008] = {255, 255, 255};
  Fill(*configurator_,
       {{u"Size", {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O"}}});
  ppConfigPanel* panel = Panel(0);
  ASSERT_TRUE(panel->IsScrolling());
  plat::HeadlessDriver::RunUntilIdle();
  plat::Surface* surface = plat::GetWindowSurface(hwnd_);
  ASSERT_NE(surface, nullptr);
  const int32_t r = 200, top = 25;
  const uint32_t black = 0;
  EXPECT_NE(surface->Pixel(r - 5, top + 5) & 0xFFFFFF, black) << "no upward arrow at offset 0";
  EXPECT_EQ(surface->Pixel(r - 5, 300 - 5) & 0xFFFFFF, black) << "the downward arrow";

  Click(100, top + 3);
  EXPECT_EQ(panel->ScrollOffset(), 0) << "nothing above to scroll to";
  Click(100, 300 - 4);
  EXPECT_EQ(panel->ScrollOffset(), -20);
  EXPECT_EQ(RowAt(panel, 0)->GetFrame().top, -20);
  for (int32_t x = r - 9; x <= r - 2; ++x) EXPECT_EQ(surface->Pixel(x, top + 5) & 0xFFFFFF, black) << x;
  for (int32_t x = r - 8; x <= r - 3; ++x) EXPECT_EQ(surface->Pixel(x, top + 4) & 0xFFFFFF, black) << x;
  EXPECT_EQ(surface->Pixel(r - 6, top + 2) & 0xFFFFFF, black);
  EXPECT_NE(surface->Pixel(r - 9, top + 2) & 0xFFFFFF, black);
  EXPECT_NE(surface->Pixel(r - 1, top + 5) & 0xFFFFFF, black);

  Click(100, top + 3);
  EXPECT_EQ(panel->ScrollOffset(), 0);
}

// ---- The focus ring.

TEST_F(ConfiguratorTest, TabWalksTheRingAndWrapsSkippingHiddenFields) {
  configurator_->RemoveAll();
  auto* panel = new ppConfigPanel(configurator_);
  panel->SetName(u"Size");
  auto* a = new Row(panel, new ValueUnit("A"));
  auto* hidden = new Row(panel, new ValueUnit("Hidden"));
  auto* plain = new ctltest::Plain(panel);
  auto* c = new Row(panel, new ValueUnit("C"));
  for (ppField* field : std::initializer_list<ppField*>{a, hidden, plain, c}) {
    panel->AddField(field);
    panel->AddFocusable(field);
  }
  EXPECT_EQ(panel->RingSize(), 3u) << "a field that takes no input never joins the ring";
  configurator_->AddPanel(panel);
  configurator_->PlaceTabs();
  hidden->Hide();
  panel->SetFocusTo(a);

  Press(plat::VK_TAB);
  EXPECT_EQ(panel->GetFocusedField(), c) << "Tab skips the hidden field";
  Press(plat::VK_RETURN);
  EXPECT_EQ(panel->GetFocusedField(), a) << "and wraps from the last to the first";
  EXPECT_EQ(c->losses, 1);

  plat::Desktop::Key(plat::VK_SHIFT, true);
  Press(plat::VK_TAB);
  EXPECT_EQ(panel->GetFocusedField(), c) << "Shift+Tab wraps backwards";
  Press(plat::VK_TAB);
  EXPECT_EQ(panel->GetFocusedField(), hidden) << "and does not skip hidden fields";
  plat::Desktop::Key(plat::VK_SHIFT, false);
  EXPECT_EQ(hidden->takes, 1);
}

}  // namespace
