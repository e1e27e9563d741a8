// The field base: which names it listens to and broadcasts, when a value change broadcasts and
// redraws, refreshing from the data unit, naming and focusing by name, the caption column.
#include <gtest/gtest.h>

#include <vector>

#include "ControlsTestSupport.h"
#include "framework/ppCollaborator.h"

namespace {

using ctltest::Row;
using ctltest::ValueUnit;

// Hears every named message.
class Listener : public ppCollaborator {
 public:
  Listener() { Subscribe(ppField::kMessageChannel, -1); }
  void ReceiveMessage(ppCollaborator*, int32_t, int32_t id, intptr_t) override { ids.push_back(id); }
  std::vector<int32_t> ids;
};

class FieldTest : public ctltest::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ppSwitchBoard::ResetNameTableForTests();
    b_ = ppSwitchBoard::MessageIdByName("B", true);
  }
  int32_t b_ = -1;
};

TEST_F(FieldTest, OnlyNamesTheSwitchboardKnowsAreHeardAndBroadcast) {
  const int32_t before = ppSwitchBoard::Global().SubscriptionCount();
  auto* unit = new ValueUnit("Width", ppParameter(1));
  Row field(window_, unit, "A|B");
  EXPECT_EQ(ppSwitchBoard::Global().SubscriptionCount(), before + 1);
  EXPECT_EQ(field.MessageIds(), std::vector<int32_t>{b_});
  EXPECT_EQ(ppSwitchBoard::MessageIdByName("A", false), -1) << "a field never registers a name";

  Listener listener;
  field.SetValue(ppParameter(2));
  EXPECT_EQ(listener.ids, std::vector<int32_t>{b_});
  EXPECT_EQ(unit->writes, 1);
}

TEST_F(FieldTest, ChangesBroadcastAndRedrawOnlyWhenTheShownValueDiffers) {
  struct Case {
    const char* what;
    ppParameter stored;  // what the data unit holds before the edit
    ppParameter edit;
    size_t broadcasts;
    bool redraws;
  } cases[] = {
      {"the shown value again", ppParameter(5), ppParameter(5), 0, false},
      {"a new value", ppParameter(5), ppParameter(6), 1, true},
      {"the same number as text", ppParameter(5), ppParameter("5"), 1, true},
      {"a unit without a value yet", ppParameter(), ppParameter(7), 0, false},
  };
  for (const Case& c : cases) {
    auto* unit = new ValueUnit("Width", c.stored);
    Row field(window_, unit, "B");
    Listener listener;
    field.SetValue(c.edit);
    EXPECT_EQ(listener.ids.size(), c.broadcasts) << c.what;
    // A field hears its own broadcast too, so a change may redraw twice.
    EXPECT_EQ(field.invalidations > 0, c.redraws) << c.what;
    EXPECT_EQ(unit->writes, 1) << c.what << ": the edit is written all the same";
    EXPECT_EQ(field.ShownValue().Type(), c.edit.Type()) << c.what;
  }
}

TEST_F(FieldTest, RefreshRedrawsAChangedValueWithoutBroadcasting) {
  auto* unit = new ValueUnit("Width", ppParameter(1));
  Row field(window_, unit, "B");
  EXPECT_EQ(field.GetValue().ToLong(), 1);
  Listener listener;
  unit->Store(ppParameter(2));
  // Another field's broadcast reaches this one.
  ppSwitchBoard::Global().Dispatch(nullptr, ppField::kMessageChannel, b_, 0);
  EXPECT_EQ(field.invalidations, 1);
  EXPECT_EQ(field.ShownValue().ToLong(), 2);
  EXPECT_EQ(listener.ids.size(), 1u) << "only the test's own dispatch";
  field.Refresh(0, 0, nullptr, 0);
  EXPECT_EQ(field.invalidations, 1) << "nothing changed since";
}

TEST_F(FieldTest, AFieldWithoutDataUnitOnlyShowsItsValue) {
  Row field(window_, nullptr, "B");
  EXPECT_EQ(field.GetName(), "");
  Listener listener;
  field.SetValue(ppParameter(3));
  field.Refresh(0, 0, nullptr, 0);
  EXPECT_EQ(field.GetValue().ToLong(), 3);
  EXPECT_TRUE(listener.ids.empty());
}

TEST_F(FieldTest, FocusByNameComparesTheFieldPartOfTheName) {
  auto* panel = new ppConfigPanel(window_);
  auto* width = new Row(panel, new ValueUnit("Width"));
  auto* depth = new Row(panel, new ValueUnit("Depth"));
  for (Row* row : {width, depth}) {
    panel->AddField(row);
    panel->AddFocusable(row);
  }
  EXPECT_TRUE(panel->FocusByName("Depth:Size"));
  EXPECT_EQ(panel->GetFocusedField(), depth);
  EXPECT_EQ(panel->GetFocusedName(), "Depth");
  EXPECT_TRUE(panel->FocusByName("Width"));
  EXPECT_EQ(panel->GetFocusedField(), width);
  EXPECT_FALSE(panel->FocusByName("Size"));
  EXPECT_FALSE(panel->FocusByName("Widt"));
  EXPECT_EQ(panel->GetFocusedField(), width);
  delete panel;
}

TEST_F(FieldTest, TheCaptionColumnIsTheWiderOfCaptionAndLeastWidth) {
  Row field(window_, nullptr);
  field.SetText(u"Width", 0);
  const int32_t measured = CaptionWidth(u"Width") + 5;
  EXPECT_GT(measured, 5);
  EXPECT_EQ(field.CaptionWidth(), measured);
  field.SetColumnWidth(measured + 40);
  EXPECT_EQ(field.CaptionColumn(), measured + 40);
  field.SetColumnWidth(1);
  EXPECT_EQ(field.CaptionColumn(), measured);
}

}  // namespace
