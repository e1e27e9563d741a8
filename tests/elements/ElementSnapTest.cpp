// Snap links: which anchors Resnap joins (codes, facing, distance), what the anchor flags change,
// how NearestSnap measures, that ReleaseOutsideSnaps breaks only the links leaving a list, and that
// deleting an element frees its neighbours' anchors.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "elements/ElementTestSupport.h"
#include "elements/base/qxViewHolder.h"

namespace {

using eltest::Rect;

constexpr float kTwoPi = 6.2831855f;

// An element that has a linked record to pass on and keeps the one it is given.
class LinkingElement : public zelvproElement {
 public:
  LinkingElement(ppView* parent, const ppVector3& at, std::vector<SnapAnchor> anchors)
      : zelvproElement(0, parent, Rect(0, 0, 10, 10), nullptr, 0, 0) {
    position = at;
    snapPoints = std::move(anchors);
  }
  int32_t LinkedRecord() override { return linkedRecord; }
  void SetLinkedRecord(int32_t id) override { linkedRecord = id; }
  int32_t linkedRecord = 0;
};

SnapAnchor Anchor(int32_t code, uint32_t flags = 0, float direction = 0.0f, ppVector3 point = {}) {
  SnapAnchor anchor;
  anchor.code = code;
  anchor.flags = flags;
  anchor.direction = direction;
  anchor.point = point;
  anchor.level = 1;
  return anchor;
}

class ElementSnapTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    canvas_ = std::make_unique<zelvproElement>(0, nullptr, Rect(0, 0, 800, 600), nullptr, 0, 0);
  }
  void TearDown() override {
    canvas_.reset();
    ElementTest::TearDown();
  }
  LinkingElement* Add(const ppVector3& at, std::vector<SnapAnchor> anchors,
                      zelvproElement* parent = nullptr) {
    return new LinkingElement(parent != nullptr ? parent : canvas_.get(), at, std::move(anchors));
  }
  static bool Linked(zelvproElement* a, int32_t ia, zelvproElement* b, int32_t ib) {
    return a->snapPoints[size_t(ia)].partner == b && b->snapPoints[size_t(ib)].partner == a;
  }
  static bool Free(zelvproElement* e, int32_t i) { return e->snapPoints[size_t(i)].partner == nullptr; }

  std::unique_ptr<zelvproElement> canvas_;
};

TEST_F(ElementSnapTest, ResnapLinksOppositeCodesThatFaceAlikeAndLieWithinAMillimetre) {
  const struct {
    int32_t codeB;
    float turn;  // direction of a's anchor against b's, radians
    float gap;   // millimetres between the two anchor points
    bool links;
  } kCases[] = {
      {-3, 0.0f, 0.0f, true},     {3, 0.0f, 0.0f, false},           {-3, 0.049f, 0.0f, true},
      {-3, 0.05f, 0.0f, false},   {-3, kTwoPi + 0.01f, 0.0f, true}, {-3, -0.01f, 0.0f, false},
      {-3, -kTwoPi, 0.0f, false}, {-3, 0.0f, 0.99f, true},          {-3, 0.0f, 1.0f, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.codeB << " turn " << c.turn << " gap " << c.gap);
    // b is turned a quarter and its anchor sits off its origin, so both frames take part.
    LinkingElement* a = Add({100.0f, 0.0f, 50.0f}, {Anchor(3, SnapAnchor::kNoAccessRequest, c.turn)});
    LinkingElement* b = Add({100.0f + c.gap, 0.0f, 40.0f},
                            {Anchor(c.codeB, SnapAnchor::kNoAccessRequest, -1.0f, {-10.0f, 0.0f, 0.0f})});
    b->angle = 1.0f;
    b->position = ppVector3(100.0f + c.gap + 10.0f * std::cos(1.0f), 0.0f, 50.0f + 10.0f * std::sin(1.0f));
    a->Resnap();
    EXPECT_EQ(Linked(a, 0, b, 0), c.links);
    EXPECT_EQ(Free(a, 0) && Free(b, 0), !c.links);
    delete a;
    delete b;
  }
}

TEST_F(ElementSnapTest, AnchorFlagsDecideRequestLinkedRecordAndWhatResnapBreaks) {
  constexpr uint32_t kNoRequest = SnapAnchor::kNoAccessRequest;
  const struct {
    uint32_t flagsA, flagsB;
    int32_t heldKey;     // a's access key after the link
    int32_t record;      // a's linked record after the link (b has 77)
    bool keptAfterMove;  // after b moved 10 mm off and a resnapped
  } kCases[] = {
      {kNoRequest, kNoRequest, 0, 0, false},
      {0, kNoRequest, 3, 0, true},  // a holds a request, so Resnap keeps its links
      {kNoRequest, kNoRequest | SnapAnchor::kKeepOnResnap, 0, 0, true},
      {kNoRequest | SnapAnchor::kTakesLinkedRecord, kNoRequest, 0, 77, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.flagsA << " " << c.flagsB);
    LinkingElement* a = Add({0.0f, 0.0f, 0.0f}, {Anchor(3, c.flagsA)});
    LinkingElement* b = Add({0.0f, 0.0f, 0.0f}, {Anchor(-3, c.flagsB)});
    b->linkedRecord = 77;
    a->Resnap();
    ASSERT_TRUE(Linked(a, 0, b, 0));
    EXPECT_EQ(a->GetHeldAccessKey(), c.heldKey);
    EXPECT_EQ(b->GetHeldAccessKey(), 0);
    EXPECT_EQ(a->linkedRecord, c.record);
    b->position = ppVector3(10.0f, 0.0f, 0.0f);
    a->Resnap();
    EXPECT_EQ(Linked(a, 0, b, 0), c.keptAfterMove);
    EXPECT_EQ(Free(a, 0) && Free(b, 0), !c.keptAfterMove);
    delete a;
    delete b;
  }
}

TEST_F(ElementSnapTest, MoveBesideLinkOrdersTheContainerAndFillsTheAssociationList) {
  const struct {
    uint32_t flags;
    std::vector<int32_t> order;  // children after the link: 0 the partner, 1 another, 2 the element
  } kCases[] = {{SnapAnchor::kMoveBeside, {0, 2, 1}},
                {SnapAnchor::kMoveBeside | SnapAnchor::kBeforePartner, {2, 0, 1}}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.flags);
    LinkingElement* partner = Add({}, {Anchor(-5, SnapAnchor::kNoAccessRequest)});
    LinkingElement* other = Add({500.0f, 0.0f, 0.0f}, {});
    LinkingElement* element = Add({}, {Anchor(5, c.flags | SnapAnchor::kNoAccessRequest)});
    const zelvproElement* byIndex[] = {partner, other, element};
    element->Resnap();
    element->Resnap();  // a second pass neither duplicates the association nor moves it again
    ASSERT_TRUE(Linked(element, 0, partner, 0));
    for (int32_t i = 0; i < 3; ++i) EXPECT_EQ(canvas_->Subviews().At(i), byIndex[c.order[size_t(i)]]) << i;
    ASSERT_NE(partner->Associates(), nullptr);
    EXPECT_EQ(partner->Associates()->CountChain(), 1);
    EXPECT_EQ(partner->Associates()->Element(), element);
    canvas_->DisconnectSnaps(element, partner, 0, 0);
    EXPECT_EQ(partner->Associates(), nullptr);
    EXPECT_TRUE(Free(element, 0) && Free(partner, 0));
    delete partner;
    delete other;
    delete element;
  }
}

TEST_F(ElementSnapTest, NearestSnapMeasuresByItsFlagsAndSkipsWhatItShould) {
  // The anchor lies 6 and 8 mm off the query in plan (10 mm) and 300 mm above it.
  LinkingElement* target = Add({6.0f, 300.0f, 8.0f}, {Anchor(-2, SnapAnchor::kSkippable)});
  LinkingElement* asker = Add({}, {Anchor(2)});
  const struct {
    uint32_t flags;
    bool withAsker;
    std::vector<int32_t> excludes;  // the target's exclusion table; its access id is 40
    float distance;                 // -1: nothing found
  } kCases[] = {
      {0, true, {}, 300.0f},
      {0, false, {}, 10.0f},
      {zelvproElement::kSnap3D, true, {}, std::sqrt(100.0f + 90000.0f)},
      {zelvproElement::kSnapPassOn, true, {}, 10.0f},  // the height counts only with flags 0
      {zelvproElement::kSnapSkipFlagged, false, {}, -1.0f},
      {0, false, {39, -2, 0, 40, 7, 0}, 10.0f},
      {0, false, {39, 7, 0, 40, 7, -2, 0}, -1.0f},
  };
  target->unitRecordId = 40;
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.flags << " " << c.withAsker << " " << c.excludes.size());
    target->excludes = c.excludes;
    SnapAnchor query = Anchor(2), out;
    float best = 1e30f;
    int32_t index = -1;
    zelvproElement* found =
        canvas_->NearestSnap(query, out, best, index, c.withAsker ? asker : nullptr, c.flags);
    if (c.distance < 0.0f) {
      EXPECT_EQ(found, nullptr);
      EXPECT_EQ(index, -1);
      continue;
    }
    EXPECT_EQ(found, target);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(out.code, -2);
    EXPECT_FLOAT_EQ(best, c.distance);
  }
}

TEST(SnapAnchorTest, CatalogueBlobsGiveWholeEntriesWithTheirSpareWordAndNoPartner) {
  const int32_t words[] = {-3, 0, 0, 0, 0, 2, 0x8010, 99, 0x1234,  // entry 0, a stale partner word
                           7,  0, 0, 0, 0, 0, 0,      5,  0,       // entry 1
                           1,  2};                                 // a short trailing piece
  float floats[] = {10.5f, -20.0f, 30.25f, 1.5f};
  std::string bytes(reinterpret_cast<const char*>(words), sizeof words);
  std::memcpy(bytes.data() + 4, floats, sizeof floats);
  Handle blob = dbtest::HandleOf(bytes);
  const std::vector<SnapAnchor> anchors = SnapAnchor::FromBlob(blob);
  MemDispose(blob);
  ASSERT_EQ(anchors.size(), 2u);
  EXPECT_EQ(anchors[0].code, -3);
  EXPECT_EQ(anchors[0].point.x, 10.5f);
  EXPECT_EQ(anchors[0].point.z, 30.25f);
  EXPECT_EQ(anchors[0].direction, 1.5f);
  EXPECT_EQ(anchors[0].level, 2);
  EXPECT_EQ(anchors[0].flags, 0x8010u);
  EXPECT_EQ(anchors[0].word7, 99);
  EXPECT_EQ(anchors[0].partner, nullptr);
  EXPECT_EQ(anchors[1].word7, 5);
  EXPECT_TRUE(SnapAnchor::FromBlob(nullptr).empty());
}

TEST_F(ElementSnapTest, ReleaseOutsideSnapsBreaksOnlyLinksLeavingTheList) {
  constexpr uint32_t kNoRequest = SnapAnchor::kNoAccessRequest;
  LinkingElement* a = Add({}, {Anchor(1, kNoRequest)});
  LinkingElement* b = Add({}, {Anchor(-1, kNoRequest), Anchor(4, kNoRequest)});
  LinkingElement* c = Add({}, {Anchor(-4, kNoRequest)});
  a->Resnap();
  c->Resnap();
  ASSERT_TRUE(Linked(a, 0, b, 0));
  ASSERT_TRUE(Linked(b, 1, c, 0));
  ElementList moved{a, b};
  canvas_->ReleaseOutsideSnaps(moved);
  EXPECT_TRUE(Linked(a, 0, b, 0));
  EXPECT_TRUE(Free(b, 1));
  EXPECT_TRUE(Free(c, 0));
}

TEST_F(ElementSnapTest, ResnapTreeReachesEveryChildWhileLinksReorderThem) {
  constexpr uint32_t kNoRequest = SnapAnchor::kNoAccessRequest;
  // Only x's own resnap can link it: its partner is the canvas, which never resnaps itself.
  canvas_->snapPoints = {Anchor(-2, kNoRequest)};
  LinkingElement* mover = Add({}, {Anchor(1, SnapAnchor::kMoveBeside | kNoRequest)});
  LinkingElement* x = Add({}, {Anchor(2, kNoRequest)});
  LinkingElement* partner = Add({}, {Anchor(-1, kNoRequest)});
  canvas_->ResnapTree();  // the mover's link puts it after the partner, ahead of x's turn
  EXPECT_EQ(canvas_->Subviews().At(2), mover);
  EXPECT_TRUE(Linked(mover, 0, partner, 0));
  EXPECT_TRUE(Linked(x, 0, canvas_.get(), 0));
}

TEST_F(ElementSnapTest, DeletedElementsLeaveTheirNeighboursFree) {
  constexpr uint32_t kBeside = SnapAnchor::kMoveBeside | SnapAnchor::kNoAccessRequest;
  LinkingElement* neighbour = Add({}, {Anchor(-1, SnapAnchor::kNoAccessRequest), Anchor(-6)});
  LinkingElement* linked = Add({}, {Anchor(1, kBeside)});
  linked->Resnap();
  ASSERT_TRUE(Linked(linked, 0, neighbour, 0));
  ASSERT_NE(neighbour->Associates(), nullptr);
  ASSERT_EQ(neighbour->Associates()->CountChain(), 1);
  delete linked;
  EXPECT_TRUE(Free(neighbour, 0));
  EXPECT_EQ(neighbour->Associates(), nullptr);
  // A group whose child is linked to the neighbour: deleting the group frees that anchor too, and
  // the neighbour keeps the request the link gave it (no operation of the neighbour runs).
  LinkingElement* group = Add({}, {});
  LinkingElement* child = Add({}, {Anchor(6, SnapAnchor::kNoAccessRequest)}, group);
  canvas_->ConnectSnaps(child, neighbour, 0, 1);
  ASSERT_TRUE(Linked(child, 0, neighbour, 1));
  EXPECT_EQ(neighbour->GetHeldAccessKey(), -6);
  delete group;
  EXPECT_TRUE(Free(neighbour, 1));
  EXPECT_EQ(neighbour->GetHeldAccessKey(), -6);
  neighbour->Resnap();  // would follow a freed partner under the sanitizers
}

}  // namespace
