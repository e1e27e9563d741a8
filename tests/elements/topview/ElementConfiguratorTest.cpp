// The elements' configurator link over a configurator of the controls: panels with their captions,
// names handed across a rebuild, objects kept with the panels, and the repaint of the pane when a
// shown (selected) element changes.
#include <gtest/gtest.h>

#include "controls/ppConfigPanel.h"
#include "controls/ppConfigTab.h"
#include "controls/ppConfigurator.h"
#include "controls/ppEditTextField.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/ElementTestSupport.h"
#include "elements/topview/TopViewNumberingSupport.h"
#include "elements/topview/zelvproElementConfigurator.h"
#include "framework/AdornerTestPictures.h"
#include "framework/ppCollaborator.h"
#include "framework/ppPendingDeletions.h"
#include "framework/ppPropertyDataUnit.h"
#include "framework/ppWindow.h"
#include "platform/Desktop.h"
#include "platform/HeadlessDriver.h"
#include "platform/WindowApi.h"

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

// An element's one text property, "name".
class Named : public iProperty {
 public:
  int32_t IndexOf(const Vcon::String& name) override {
    return std::string(name.c_str()) == "name" ? 0 : iProperty::IndexOf(name);
  }
  ppParameter GetValue(int32_t index) override {
    return index == 0 ? ppParameter(text) : iProperty::GetValue(index);
  }
  void SetValue(int32_t index, const ppParameter& value) override {
    if (index == 0) text = value.AsWString();
  }
  Vcon::WString text;
};

// Text typed into an element's panel and left by a press on the plan (no Tab, no Return) reaches the
// element before the press can select another element, whose panel would replace the field.
TEST(ElementConfigurator, APressOnThePlanTakesTheTypedTextFirst) {
  plat::HeadlessDriver::Reset();
  {
    adorner_tests::TestApplication app;
    auto* window = new ppWindow();
    plat::SetFocus(adorner_tests::MakeObjectWindow(window, 300, 400));
    auto* configurator = new ppConfigurator(window, {0, 0, 300, 400}, nullptr, false);
    window->SetTarget(configurator);
    zelvproElementConfigurator link(configurator);
    iConfigurator::Install(&link);
    Named element;
    auto* panel = new ppConfigPanel(configurator);
    auto* field = new ppEditTextField(panel, new ppPropertyDataUnit(&element, "name", false), "", 1, false);
    panel->AddField(field);
    configurator->AddPanel(panel);
    configurator->PlaceTabs();
    plat::HeadlessDriver::RunUntilIdle();
    plat::SetFocus(field->EditControl());  // as a click into the field gives it
    for (int32_t key : {'O', 'A', 'K'}) {
      plat::Desktop::Key(key, true);
      plat::Desktop::Key(key, false);
    }
    plat::HeadlessDriver::RunUntilIdle();
    ASSERT_TRUE(field->IsEdited());
    EXPECT_EQ(element.text, u"") << "nothing is written while the user types";

    zelvproTopCanvas plan(nullptr, {0, 0, 400, 300}, nullptr);
    plan.MouseDown(-500, -500);  // a press the plan offers to no element
    EXPECT_EQ(element.text, u"oak");
    EXPECT_FALSE(field->IsEdited());
    iConfigurator::Install(nullptr);
    delete window;
    ppPendingDeletions::DeleteAll();
  }
  plat::HeadlessDriver::Reset();
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
