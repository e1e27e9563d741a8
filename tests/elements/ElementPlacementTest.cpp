// Placement of elements: plan points and pixels, the normalised angle at the root, turning about a
// pivot, turning by the arrow keys through the canvas's history, and the plan extent and centre of
// the outlines.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "WaitWithDeadline.h"
#include "elements/ElementTestSupport.h"
#include "elements/base/PlanPixels.h"
#include "elements/base/zelvproCanvas.h"
#include "framework/ppTask.h"
#include "platform/InputState.h"
#include "platform/WindowTypes.h"

namespace {

using eltest::Rect;

constexpr float kPi = std::numbers::pi_v<float>;

// Records what the element asked for and whether the history ran it.
class TurnTask : public ppTask {
 public:
  TurnTask(zelvproCanvas* owner, zelvproElement* target, float turn, float dx, float dz)
      : ppTask(target), owner(owner), turn(turn), dx(dx), dz(dz) {}
  void Do() override {
    ppTask::Do();
    ++runs;
  }
  zelvproCanvas* owner;
  float turn, dx, dz;
  int32_t runs = 0;
};

class TurnFactory : public iElementTaskFactory {
 public:
  ppTask* NewRotateTask2(zelvproCanvas* owner, zelvproElement* target, float turn, float dx,
                         float dz) override {
    ++made;
    return new TurnTask(owner, target, turn, dx, dz);
  }
  int32_t made = 0;
};

class ElementPlacementTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    host_.palette = std::make_unique<zelvproLayerPalette>();
  }
  void TearDown() override {
    plat::InputState::SetDown(plat::VK_SHIFT, false);
    ElementTest::TearDown();
  }
};

TEST_F(ElementPlacementTest, PlanPointsAndPixelsAtScale15) {
  struct Case {
    float x;
    int32_t pixel;
  };
  for (const Case c : {Case{193.5f, 12}, Case{-193.5f, -12}, Case{15.0f, 1}, Case{14.9f, 0}}) {
    plat::POINT out{};
    PlanPointToScreen(ppVector3(c.x, 0.0f, c.x), out);
    EXPECT_EQ(out.x, c.pixel) << c.x;  // truncated toward zero
    EXPECT_EQ(out.y, c.pixel) << c.x;  // plan z is pixel y
  }
  ppVector3 plan;
  ScreenToPlanPoint(10, 20, plan);
  EXPECT_EQ(plan.x, 150.0f);
  EXPECT_EQ(plan.y, 0.0f);
  EXPECT_EQ(plan.z, 300.0f);
}

// Plan points from a damaged document may lie anywhere: their pixels stop a million pixels out.
TEST_F(ElementPlacementTest, FarAndUndefinedPlanPointsGiveHeldPixels) {
  struct Case {
    float plan;
    int32_t pixel;
  };
  for (const Case c :
       {Case{1.0e12f, 1000000}, Case{-1.0e12f, -1000000}, Case{FLT_MAX, 1000000}, Case{-INFINITY, -1000000},
        Case{NAN, 0}, Case{15.0e6f, 1000000}, Case{14.0e6f, 933333}}) {
    plat::POINT out{7, 7};
    PlanPointToScreen(ppVector3(c.plan, 0.0f, -c.plan), out);
    EXPECT_EQ(out.x, c.pixel) << c.plan;
    EXPECT_EQ(out.y, c.pixel == 0 ? 0 : -c.pixel) << c.plan;
  }
}

TEST_F(ElementPlacementTest, NormalizedAngleIsReducedAndStoredOnlyAtTheRoot) {
  struct Case {
    float angle, expected;
  };
  const float twoPi = 6.2831855f;
  for (const Case c : {Case{-kPi / 2, -kPi / 2 + twoPi}, Case{7.0f, 7.0f - twoPi}, Case{twoPi, twoPi},
                       Case{-13.0f, -13.0f + 3 * twoPi}}) {
    zelvproElement root(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
    root.StoreAngle(c.angle);
    EXPECT_NEAR(root.GetNormalizedAngle(), c.expected, 1e-5) << c.angle;
    EXPECT_NEAR(root.GetAngle(), c.expected, 1e-5) << c.angle;

    auto* child = new zelvproElement(0, &root, Rect(0, 0, 1, 1), nullptr, 0, 0);
    child->StoreAngle(-1.0f);
    EXPECT_NEAR(child->GetNormalizedAngle(), c.expected - 1.0f, 1e-5);  // the chain's sum, not reduced
    EXPECT_EQ(child->GetAngle(), -1.0f);
  }
}

// An angle read from a damaged document may be any float: it is reduced by whole turns at once (a
// turn-by-turn loop never ends from about 1.3e8 radians), into [0, 2 pi], pointing the same way.
TEST_F(ElementPlacementTest, LargeAnglesReduceByWholeTurnsAtOnce) {
  const float twoPi = 6.2831855f;
  const float angles[] = {1e7f,       1.3e8f, 3e8f,    -3e8f,    1e9f,
                          12345.678f, -7.0f,  FLT_MAX, -FLT_MAX, std::nextafter(twoPi, 7.0f),
                          -twoPi};
  std::vector<std::unique_ptr<zelvproElement>> roots;
  for (const float a : angles) {
    roots.push_back(std::make_unique<zelvproElement>(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0));
    roots.back()->StoreAngle(a);
  }
  std::vector<float> reduced(roots.size());
  // Only the reduction runs on the other thread, so that an endless one fails by name.
  testwait::RunOnOtherThread(
      [&] {
        for (size_t i = 0; i < roots.size(); ++i) reduced[i] = roots[i]->GetNormalizedAngle();
      },
      "reducing large angles");
  for (size_t i = 0; i < roots.size(); ++i) {
    const float a = angles[i];
    EXPECT_GE(reduced[i], 0.0f) << a;
    EXPECT_LE(reduced[i], twoPi) << a;
    EXPECT_EQ(roots[i]->GetAngle(), reduced[i]) << a;
    if (std::fabs(a) > 1e9f) continue;  // beyond, the float's own steps exceed a turn
    // The same direction: sine and cosine of the float as read, in double.
    EXPECT_NEAR(std::sin(double{reduced[i]}), std::sin(double{a}), 1e-5) << a;
    EXPECT_NEAR(std::cos(double{reduced[i]}), std::cos(double{a}), 1e-5) << a;
  }
}

TEST_F(ElementPlacementTest, RotateAboutTurnsLikeAContainerAndSetsTheAngle) {
  const ppVector3 pivot(100.0f, 50.0f, 100.0f);
  for (float turn : {0.7f, -2.0f, 0.0f}) {
    zelvproElement element(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
    element.SetPosition(ppVector3(400.0f, 50.0f, 500.0f));
    element.StoreAngle(1.0f);
    element.SetAnchorOffset(ppVector3(3.0f, 0.0f, 4.0f));
    element.RotateAbout(turn, pivot);

    // The same point as a child at the offset of a container at the pivot turned by `turn`.
    zelvproElement container(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
    container.SetPosition(pivot);
    container.StoreAngle(turn);
    auto* child = new zelvproElement(0, &container, Rect(0, 0, 1, 1), nullptr, 0, 0);
    child->SetPosition(ppVector3(300.0f, 0.0f, 400.0f));
    ppVector3 expected;
    child->GetAbsolutePosition(expected);

    const ppVector3 p = element.GetPosition();
    EXPECT_NEAR(std::hypot(p.x - pivot.x, p.z - pivot.z), 500.0, 1e-3) << turn;
    EXPECT_NEAR(p.x, expected.x, 1e-3) << turn;
    EXPECT_NEAR(p.z, expected.z, 1e-3) << turn;
    EXPECT_EQ(p.y, 50.0f);
    EXPECT_EQ(element.GetAngle(), turn);
    EXPECT_EQ(element.GetAnchorOffset().x, 0.0f);
    EXPECT_EQ(element.pendingUpdate, 1);
  }
}

TEST_F(ElementPlacementTest, ArrowKeysPostAndRunATurnOnTheCanvas) {
  TurnFactory factory;
  iElementTaskFactory::Install(&factory);
  struct Case {
    int32_t key;
    bool shift;
    float turn;  // 0: no task
  };
  const Case cases[] = {{0x25, false, -kPi / 4}, {0x25, true, -kPi / 36}, {0x26, false, kPi / 4},
                        {0x27, true, kPi / 36},  {0x28, false, -kPi / 4}, {0x41, false, 0.0f},
                        {0x24, true, 0.0f}};
  for (const Case& c : cases) {
    zelvproCanvas canvas(nullptr, Rect(0, 0, 100, 100), nullptr);
    auto* group = new zelvproElement(0, &canvas, Rect(0, 0, 10, 10), nullptr, 0, 0);
    auto* element = new zelvproElement(0, group, Rect(0, 0, 5, 5), nullptr, 0, 0);
    plat::InputState::SetDown(plat::VK_SHIFT, c.shift);
    const int32_t before = factory.made;
    element->RotateByKey(c.key);
    if (c.turn == 0.0f) {
      EXPECT_EQ(factory.made, before) << c.key;
      EXPECT_EQ(canvas.DoneTop(), nullptr) << c.key;
      continue;
    }
    auto* task = dynamic_cast<TurnTask*>(canvas.DoneTop());
    ASSERT_NE(task, nullptr) << c.key;
    EXPECT_FLOAT_EQ(task->turn, c.turn) << c.key << " shift " << c.shift;
    EXPECT_EQ(task->owner, &canvas);
    EXPECT_EQ(task->Target(), &canvas);
    EXPECT_EQ(task->dx, 0.0f);
    EXPECT_EQ(task->dz, 0.0f);
    EXPECT_EQ(task->runs, 1);
    EXPECT_EQ(element->GetAngle(), 0.0f);  // the task turns the selection, not the element itself
  }
}

TEST_F(ElementPlacementTest, OutlineExtentAndCentreInPlanCoordinates) {
  zelvDatabase& db = MakeDatabase();
  zelvproElement parent(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  parent.SetPosition(ppVector3(1000.0f, 0.0f, 2000.0f));
  parent.StoreAngle(kPi / 2);
  // A square of 100 and an outline without points, which the centre leaves out.
  parent.outlines = Outline(db, {0, 0, 100, 0, 100, 100, 0, 100}, Outline(db, {}));
  auto* child = new zelvproElement(0, &parent, Rect(0, 0, 1, 1), nullptr, 0, 0);
  child->SetPosition(ppVector3(0.0f, 0.0f, 500.0f));
  child->outlines = Outline(db, {0, 0, 10, 0, 10, 10});

  ppVector2 centre;
  parent.GetOutlineCentre(centre);
  ppVector2 expected(50.0f, 50.0f);
  parent.ApplyPlacement2D(expected);
  EXPECT_NEAR(centre.x, expected.x, 1e-3);
  EXPECT_NEAR(centre.y, expected.y, 1e-3);

  // Every outline point of the parent and of its child, each placed into the plan.
  ppVector2 min(1e9f, 1e9f), max(-1e9f, -1e9f), wantMin = min, wantMax = max;
  auto take = [&](zelvproElement& owner, ppVector2 p) {
    owner.ApplyPlacement2D(p);
    wantMin = ppVector2(std::min(wantMin.x, p.x), std::min(wantMin.y, p.y));
    wantMax = ppVector2(std::max(wantMax.x, p.x), std::max(wantMax.y, p.y));
  };
  for (ppVector2 p : {ppVector2(0, 0), ppVector2(100, 0), ppVector2(100, 100), ppVector2(0, 100)})
    take(parent, p);
  const ppVector2 squareMin = wantMin, squareMax = wantMax;
  for (ppVector2 p : {ppVector2(0, 0), ppVector2(10, 0), ppVector2(10, 10)}) take(*child, p);
  ASSERT_FALSE(squareMin == wantMin && squareMax == wantMax);  // the child reaches outside the square
  parent.ExtendBounds2D(min, max);
  EXPECT_EQ(min, wantMin);
  EXPECT_EQ(max, wantMax);

  zelvproElement bare(0, nullptr, Rect(0, 0, 1, 1), nullptr, 0, 0);
  bare.outlines = Outline(db, {});
  bare.GetOutlineCentre(centre);
  EXPECT_EQ(centre.x, 0.0f);
  EXPECT_EQ(centre.y, 0.0f);
}

}  // namespace
