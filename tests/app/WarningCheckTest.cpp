// The placement-warning check over demo plans: units whose option parts (10 mm zones in front of
// them, render flag 0x40) meet get the number of the last matching rule; the collision renderer's
// records; the pre-test and the pairing order.
#include <vector>

#include "WarningTestSupport.h"
#include "app/warnings/ppMetaCollisionRenderer.h"
#include "scene3d/context/ppScene.h"

namespace {

using warntest::DemoPlanTest;

class WarningCheckTest : public DemoPlanTest {};

TEST_F(WarningCheckTest, TheDemoRulesWarnADoorSwingMeetingAnApplianceClearance) {
  WarningRules::ReadAtStartup();
  EXPECT_EQ(WarningRules::Program().WarningOptions(), (std::set<uint32_t>{9, 10}));
  // Side by side: the two 900 mm zones in front of them overlap by 300 mm.
  zelvproTopViewElement* base = Place(top_.get(), "B60S", 0.0f);
  zelvproTopViewElement* washer = Place(top_.get(), "ADW60C", 600.0f);
  zelvproTopViewElement* plain = Place(top_.get(), "B60", 1200.0f);  // no option, in the zone
  EXPECT_TRUE(base->HasFlaggedOption());
  EXPECT_FALSE(plain->HasFlaggedOption());
  Check();
  EXPECT_EQ(base->warningNumber, 1);
  EXPECT_EQ(washer->warningNumber, 1);
  EXPECT_EQ(plain->warningNumber, 0);
  EXPECT_EQ(base->GetValue(base->IndexOf(Vcon::String("Warning"))).ToInt(), 1);

  // Apart, the zones do not meet and the numbers go.
  washer->SetPosition(ppVector3(3000.0f, 0.0f, 0.0f));
  washer->MarkTreePendingUpdate();
  Check();
  EXPECT_EQ(base->warningNumber, 0);
  EXPECT_EQ(washer->warningNumber, 0);
}

TEST_F(WarningCheckTest, WithoutRulesNoUnitPassesThePreTest) {
  std::filesystem::remove(demo_.File("warnings/warnings.txt"));
  WarningRules::ReadAtStartup();
  zelvproTopViewElement* base = Place(top_.get(), "B60S", 0.0f);
  zelvproTopViewElement* washer = Place(top_.get(), "ADW60C", 600.0f);
  EXPECT_FALSE(base->HasFlaggedOption());
  base->warningNumber = 5;  // cleared by the tree mark, never set again
  Check();
  EXPECT_EQ(base->warningNumber, 0);
  EXPECT_EQ(washer->warningNumber, 0);
}

TEST_F(WarningCheckTest, RulesMatchEitherOrderAndTheLaterRuleWins) {
  struct Case {
    const char* rules;
    int32_t want;
  };
  const Case cases[] = {
      {"i o:10,o:9 s w:4\n", 4},                    // written the other way round
      {"i o:9,o:10 s w:4\ni o:10,o:9 s w:6\n", 6},  // two rules on one collision
      {"i o:9,o:9 s w:4\ni o:10,o:10 s w:6\n", 0},  // neither pair is this one
  };
  zelvproTopViewElement* base = Place(top_.get(), "B60S", 0.0f);
  zelvproTopViewElement* washer = Place(top_.get(), "ADW60C", 600.0f);
  for (const Case& c : cases) {
    WriteRules(c.rules);
    WarningRules::ReadAtStartup();
    Check();
    EXPECT_EQ(base->warningNumber, c.want) << c.rules;
    EXPECT_EQ(washer->warningNumber, c.want) << c.rules;
  }
}

TEST_F(WarningCheckTest, TheNewRoomCanvasComesFirstAndPairsWithTheTopCanvas) {
  // Pairs in list order: (room, a), (room, b), (a, b). Room first leaves a and b with the last
  // pair's rule; top canvas first would leave them with the room's.
  WriteRules("i o:9,o:10 s w:1\ni o:10,o:10 s w:2\n");
  WarningRules::ReadAtStartup();
  zelvproTopViewElement* door = Place(room_.get(), "B60S", 300.0f);
  zelvproTopViewElement* a = Place(top_.get(), "ADW60C", 0.0f);
  zelvproTopViewElement* b = Place(top_.get(), "ADW60C", 600.0f);
  Check();
  EXPECT_EQ(door->warningNumber, 1);
  EXPECT_EQ(a->warningNumber, 2);
  EXPECT_EQ(b->warningNumber, 2);
  // A hidden unit is left out.
  b->Hide();
  ASSERT_FALSE(b->IsShown());
  Check();
  EXPECT_EQ(a->warningNumber, 1);
  EXPECT_EQ(b->warningNumber, 0);
}

TEST_F(WarningCheckTest, TheRendererRecordsEachMeetingPairOfWarningLayers) {
  WarningRules::ReadAtStartup();
  zelvproTopViewElement* base = Place(top_.get(), "B60S", 0.0f);
  zelvproTopViewElement* washer = Place(top_.get(), "ADW60C", 600.0f);
  zelvproTopViewElement* plain = Place(top_.get(), "B60", 1200.0f);
  ppMetaCollisionRenderer renderer;
  std::vector<ppMetaCollisionRenderer::Collision> records;
  ppScene scene;
  scene.Add(base);
  scene.Add(washer);
  renderer.Collect(scene, records);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0], (ppMetaCollisionRenderer::Collision{10, 9, washer, base}));
  // A unit without warning layers: the other unit's layers are kept and nothing is tested.
  records.clear();
  ppScene without;
  without.Add(plain);
  without.Add(base);
  renderer.Collect(without, records);
  EXPECT_TRUE(records.empty());
}

}  // namespace
