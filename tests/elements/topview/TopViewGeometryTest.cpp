// Outline geometry and the configuration pass of a top-view element: resizing, collisions among a
// container's children, refused drops, options brought back to their allowed units, snap points that
// follow the options, the 3D units of the options at their anchors, and the transforms and frame.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "database/HandleList.h"
#include "elements/base/PlanPixels.h"
#include "foundation/ppMatrix4.h"
#include "elements/topview/TopViewTestSupport.h"

namespace {

using eltest::FloatWord;
using eltest::PieceEntry;
using eltest::SnapEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

std::vector<float> OwnPoints(const zelvproTopViewElement& element) {
  std::vector<float> xy(size_t(MemGetSize(element.outlines->points)) / 4);
  if (!xy.empty()) std::memcpy(xy.data(), *element.outlines->points, xy.size() * 4);
  return xy;
}

// Offers the units of `allowed` for every option, whatever the catalogue says.
class NarrowingElement : public zelvproTopViewElement {
 public:
  using zelvproTopViewElement::zelvproTopViewElement;
  void FillOptionChoices(ppDatafile& units, int32_t /*classId*/) override {
    HandleList::Reset(units.GetSelection());
    for (int32_t unit : allowed) HandleList::Insert(units.GetSelection(), unit);
  }
  Words allowed;
};

class TopViewGeometryTest : public TopViewTest {
 protected:
  void TearDown() override {
    canvas_.reset();
    TopViewTest::TearDown();
  }
  NarrowingElement* Narrowing(zelvDatabase& db, int32_t topView, ppView* parent) {
    db.TopViewFile().ReadRecord(topView, nullptr);
    return new NarrowingElement(topView, parent, eltest::Rect(0, 0, 100, 100),
                                db.TopViewFile().GetRecordBuffer(), db.ShapeFile());
  }
  std::unique_ptr<eltest::RecordingCanvas> canvas_ =
      std::make_unique<eltest::RecordingCanvas>(eltest::Rect(0, 0, 1000, 1000));
};

TEST_F(TopViewGeometryTest, ResizingScalesOutlineAndSnapsAndKeepsAnEmptyAxis) {
  zelvDatabase& db = MakeDatabase();
  struct Case {
    std::vector<float> outline;
    float width, depth;
    std::vector<float> expected;
    float snapX, snapZ;
  } cases[] = {
      {{0, 0, 200, 0, 200, 100}, 200, 100, {0, 0, 200, 0, 200, 100}, 200, 100},
      {{0, 0, 200, 0, 200, 100}, 400, 50, {0, 0, 400, 0, 400, 50}, 400, 50},
      {{0, 0, 0, 100}, 300, 200, {0, 0, 0, 200}, 200, 200},  // no width: x keeps factor 1
  };
  for (const Case& c : cases) {
    const int32_t shape = AddShape(db, c.outline);
    auto element = MakeOwned(db, AddTopView(db, {},
                                            {{"Subelements", PieceEntry(shape, 0, 0)},
                                             {"Snappoints", SnapEntry(1, 200, 0, 100)}}));
    element->ResizeTo(c.width, c.depth);
    float width = -1, depth = -1;
    element->GetOutlineSize(width, depth);
    EXPECT_TRUE(std::isfinite(width) && std::isfinite(depth));
    EXPECT_EQ(OwnPoints(*element), c.expected) << c.width;
    EXPECT_FLOAT_EQ(element->snapPoints[0].point.x, c.snapX);
    EXPECT_FLOAT_EQ(element->snapPoints[0].point.z, c.snapZ);
  }
}

TEST_F(TopViewGeometryTest, ChildrenCollideOnlyAtTheSamePlaceAndAngleAndDropsAreRefused) {
  zelvDatabase& db = MakeDatabase();
  auto container = MakeOwned(db, AddTopView(db, {}));
  container->SetAngle(0.3f);
  zelvproTopViewElement* a = Make(db, AddTopView(db, {}), container.get());
  zelvproTopViewElement* b = Make(db, AddTopView(db, {}), container.get());
  struct Case {
    ppVector3 place;
    float angle;
    bool collides;
  } cases[] = {{{100, 0, 50}, 0.5f, true}, {{100, 1, 50}, 0.5f, false}, {{100, 0, 50}, 0.6f, false}};
  a->SetPosition(ppVector3(100, 0, 50));
  a->SetAngle(0.5f);
  for (const Case& c : cases) {
    b->SetPosition(c.place);
    b->SetAngle(c.angle);
    EXPECT_EQ(container->Collides(a, nullptr), c.collides) << c.place.y << " " << c.angle;
  }
  EXPECT_FALSE(container->CanAcceptDrop(5, 5, "unit"));
}

TEST_F(TopViewGeometryTest, ThePassNeedsACanvasAndFallsBackToAllowedUnits) {
  zelvDatabase& db = MakeDatabase();
  const int32_t u1 = AddUnit(db, {{"id", 901}}), u2 = AddUnit(db, {{"id", 902}});
  const int32_t topView = AddTopView(db, {}, {{"options", {AddClass(db, 3, 0), 0, u1, u2, 0}}});

  std::unique_ptr<NarrowingElement> loose(Narrowing(db, topView, nullptr));
  loose->allowed = {u2};
  loose->RunConfigurationPass();
  EXPECT_EQ(loose->configurationChanged, 1);
  EXPECT_EQ(loose->options[0].chosenUnit, u1);

  struct Case {
    Words allowed;
    int32_t chosen;
  } cases[] = {{{u2}, u2}, {{}, 0}, {{u2, u1}, u1}};
  for (const Case& c : cases) {
    NarrowingElement* element = Narrowing(db, topView, canvas_.get());
    EXPECT_EQ(element->configurationChanged, 0);  // the constructor's pass ran on the canvas
    element->allowed = c.allowed;
    element->configurationChanged = 1;
    element->options[0].changed = false;
    element->RunConfigurationPass();
    EXPECT_EQ(element->configurationChanged, 0);
    EXPECT_EQ(element->options[0].chosenUnit, c.chosen);
    EXPECT_EQ(element->options[0].changed, c.chosen != u1);
  }
}

TEST_F(TopViewGeometryTest, ASnapFollowingTheOptionsMovesItsNeighbourOnce) {
  zelvDatabase& db = MakeDatabase();
  const int32_t near = AddUnitWithAnchors(db, {{5, 0, 0, 100, 40}});
  const int32_t far = AddUnitWithAnchors(db, {{5, 0, 0, 300, 40}});
  const int32_t cls = AddClass(db, 3, 0);
  const Words follows = {5, FloatWord(100), FloatWord(0), FloatWord(40), 0, 0, 0x200, 0, 0};
  zelvproTopViewElement* element = Make(
      db, AddTopView(db, {}, {{"options", {cls, 0, near, far, 0}}, {"Snappoints", follows}}), canvas_.get());
  zelvproTopViewElement* neighbour =
      Make(db, AddTopView(db, {}, {{"Snappoints", SnapEntry(-5, 0, 0, 0)}}), canvas_.get());
  neighbour->SetPosition(ppVector3(500, 0, 0));
  element->snapPoints[0].partner = neighbour;
  neighbour->snapPoints[0].partner = element;

  element->ChooseOptionUnit(cls, far);
  element->RunConfigurationPass();
  EXPECT_FLOAT_EQ(neighbour->GetPosition().x, 700.0f);
  EXPECT_FLOAT_EQ(neighbour->GetPosition().z, 0.0f);
  // A later pass with the same options leaves the neighbour where it is.
  element->configurationChanged = 1;
  element->RunConfigurationPass();
  EXPECT_FLOAT_EQ(neighbour->GetPosition().x, 700.0f);
  element->ChooseOptionUnit(cls, near);
  element->RunConfigurationPass();
  EXPECT_FLOAT_EQ(neighbour->GetPosition().x, 500.0f);
}

TEST_F(TopViewGeometryTest, OptionUnitsArePartsAtTheirAnchorsWithTheClassFlags) {
  zelvDatabase& db = MakeDatabase();
  const int32_t unit = AddUnitWithAnchors(db, {{1, 0, 3, 100, 40}, {2, 0, 3, 250, 60}, {4, 0, 8, 9, 9}});
  const int32_t cls = AddClass(db, 3, 0x10 | 0x8000);
  auto element = MakeOwned(db, AddTopView(db, {}, {{"options", {cls, 0, unit, 0}}}));
  element->RebuildGeometry();
  ASSERT_EQ(element->Parts().size(), 3u);  // the element's own and one per anchor of class 3
  std::vector<std::pair<double, double>> places;
  for (size_t i = 1; i < 3; ++i) {
    const ElementGeometryCache::Part& part = element->Parts()[i];
    places.emplace_back(part.matrix[12], part.matrix[14]);
    EXPECT_EQ(part.orMask, 0x201u);
    EXPECT_EQ(part.andMask, 0xFFFFu & ~0x201u);
  }
  EXPECT_EQ(places, (std::vector<std::pair<double, double>>{{250, 60}, {100, 40}}));
}

TEST_F(TopViewGeometryTest, TransformsFrameAndRegionAgreeWithThePlacement) {
  zelvDatabase& db = MakeDatabase();
  const int32_t square = AddShape(db, {0, 0, 300, 0, 300, 300, 0, 300});
  auto container = MakeOwned(db, AddTopView(db, {}));
  container->SetPosition(ppVector3(1500, 0, 750));
  container->SetAngle(0.4f);
  zelvproTopViewElement* element =
      Make(db, AddTopView(db, {}, {{"Subelements", PieceEntry(square, 0, 0)}}), container.get());
  element->SetPosition(ppVector3(150, 0, 75));
  element->SetAngle(0.3f);
  const double scale = PlanScale();

  ppMatrix4 placement, view;
  element->MakePlacementTransform(placement);
  element->MakeViewTransform(view, nullptr);
  for (ppVector2 p : {ppVector2(0, 0), ppVector2(300, 0), ppVector2(120, 270)}) {
    ppVector3 planned, pixel;
    placement.TransformPoint(planned, ppVector3(p.x, p.y, 0));
    view.TransformPoint(pixel, ppVector3(p.x, p.y, 0));
    element->ApplyPlacement2D(p);
    EXPECT_NEAR(planned.x, p.x, 1e-2);
    EXPECT_NEAR(planned.y, p.y, 1e-2);
    EXPECT_NEAR(pixel.x, p.x / scale, 1e-3);
    EXPECT_NEAR(pixel.y, p.y / scale, 1e-3);
  }

  ppVector2 centre(150, 150), outside(450, 150);
  element->ApplyPlacement2D(centre);
  element->ApplyPlacement2D(outside);
  std::unique_ptr<ppRegion> region = container->NewFrameRegion();  // the child's outline in it
  EXPECT_TRUE(region->Contains(int32_t(centre.x / scale), int32_t(centre.y / scale)));
  EXPECT_FALSE(region->Contains(int32_t(outside.x / scale), int32_t(outside.y / scale)));

  element->SetFrame(eltest::Rect(3, 4, 23, 14));
  element->UpdateFrame();
  EXPECT_EQ(element->GetFrame().left, int32_t(150 / scale));
  EXPECT_EQ(element->GetFrame().top, int32_t(75 / scale));
  EXPECT_EQ(element->GetFrame().right - element->GetFrame().left, 20);
}

}  // namespace
