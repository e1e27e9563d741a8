// The elements' configurator link over a configurator of the controls: panels with their captions,
// names handed across a rebuild, objects kept with the panels, and the repaint of the pane when a
// shown (selected) element changes.
#include <gtest/gtest.h>

#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "elements/ElementTestSupport.h"
#include "elements/topview/TopViewNumberingSupport.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "framework/ppCollaborator.h"

namespace {

using tvtest::NumberingTest;

std::unique_ptr<ConfigPanel> Described(const char16_t* name) {
  auto panel = std::make_unique<ConfigPanel>();
  panel->name = name;
  return panel;
}

struct Counted : ppCollaborator {
  explicit Counted(int* deleted) : deleted_(deleted) {}
  ~Counted() override { ++*deleted_; }
  int* deleted_;
};

TEST(ElementConfigurator, PanelsGetTheirCaptionsAndTheirDescriptionsLiveWithThem) {
  ppConfigurator configurator(nullptr, {0, 0, 220, 400}, nullptr, false);
  zelvproElementConfigurator link(&configurator);
  link.RemoveAll();
  link.AddPanel(Described(u"Element"));
  link.AddPanel(Described(u"Colours"));
  int deleted = 0;
  link.PushObject(std::make_unique<Counted>(&deleted));
  link.PlaceTabs();
  ASSERT_EQ(configurator.Tabs().size(), 2u);
  EXPECT_EQ(configurator.CurrentPanel()->Caption(), u"Element");
  EXPECT_EQ(configurator.OwnedObjectCount(), 3u) << "two descriptions and the collaborator";

  link.SelectPath("Width:Colours");
  EXPECT_EQ(configurator.CurrentPanel()->Caption(), u"Colours");
  EXPECT_EQ(link.SelectionPath(), ":Colours");
  link.RemoveAll();
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(configurator.OwnedObjectCount(), 0u);
  EXPECT_EQ(link.Window(), nullptr);
}

TEST(ElementConfigurator, WithoutAConfiguratorNothingHappens) {
  zelvproElementConfigurator link;
  link.RemoveAll();
  link.AddPanel(Described(u"Element"));
  link.PlaceTabs();
  link.Repaint();
  link.PressPane();
  link.PressAtOrigin();
  EXPECT_EQ(link.SelectionPath(), "");
  EXPECT_EQ(link.Window(), nullptr);
}

TEST_F(NumberingTest, AChangeOfASelectedElementRepaintsTheConfiguratorPane) {
  eltest::TabRecorder recorder;
  iConfigurator::Install(&recorder);
  zelvproTopViewElement* unit = Place(AddTopView(*db_, {}), 0);
  unit->selected = 0;
  unit->SetValueByName("XDim", ppParameter("500"), true);
  EXPECT_EQ(recorder.repaints, 0);
  unit->selected = 1;
  unit->SetValueByName("XDim", ppParameter("520"), true);
  EXPECT_EQ(recorder.repaints, 1);
  iConfigurator::Install(nullptr);
}

}  // namespace
