// The redraw protocol: elements add their frames to one pending region, and InvalidateElement hands
// it to the plan editor once, refreshes the 3D pane instead in the 3D view, and does nothing while
// muted.
#include <gtest/gtest.h>

#include "elements/ElementTestSupport.h"

namespace {

using eltest::Rect;

class ElementRedrawTest : public eltest::ElementTest {
 protected:
  void SetUp() override {
    ElementTest::SetUp();
    canvas_ = std::make_unique<zelvproElement>(0, nullptr, Rect(0, 0, 800, 600), nullptr, 0, 0);
    a_ = new zelvproElement(0, canvas_.get(), Rect(10, 20, 30, 40), nullptr, 0, 0);
    b_ = new zelvproElement(0, canvas_.get(), Rect(100, 200, 150, 260), nullptr, 0, 0);
    host_.topCanvas = canvas_.get();
  }
  void TearDown() override {
    host_.topCanvas = nullptr;
    canvas_.reset();
    ElementTest::TearDown();
  }

  std::unique_ptr<zelvproElement> canvas_;
  zelvproElement* a_ = nullptr;
  zelvproElement* b_ = nullptr;
  eltest::RecordingPane pane_;
};

TEST_F(ElementRedrawTest, MutedInvalidationChangesNothing) {
  a_->InvalidateGeometry();
  zelvproElement::SetMuted(true);
  zelvproElement::InvalidateElement(&pane_, true);
  EXPECT_EQ(a_->pendingUpdate, 1);
  EXPECT_EQ(pane_.outOfDate, 0);
  EXPECT_EQ(zelvproElement::PendingRegion(), nullptr);
  zelvproElement::SetMuted(false);
  zelvproElement::InvalidateElement(nullptr, true);  // no pane: nothing either
  EXPECT_EQ(a_->pendingUpdate, 1);
}

TEST_F(ElementRedrawTest, WithoutRedrawTheRegionWaitsAndChangedElementsKeepTheirUpdate) {
  a_->InvalidateGeometry();
  b_->InvalidateTree();  // geometry not rebuilt yet: skipped
  b_->InvalidateGeometry();
  zelvproElement::InvalidateElement(&pane_, false);
  EXPECT_EQ(a_->pendingUpdate, 0);
  EXPECT_EQ(b_->pendingUpdate, 1);
  EXPECT_GT(pane_.outOfDate, 0);
  ASSERT_NE(zelvproElement::PendingRegion(), nullptr);
  EXPECT_TRUE(host_.editorRegions.empty());
}

TEST_F(ElementRedrawTest, TwoElementsReachTheEditorAsOneRegion) {
  a_->InvalidateGeometry();
  b_->MarkTreeNeedsRedraw();
  zelvproElement::InvalidateElement(&pane_, true);
  ASSERT_EQ(host_.editorRegions.size(), 1u);
  const plat::RECT& bounds = host_.editorRegions[0];
  EXPECT_EQ(bounds.left, 10);
  EXPECT_EQ(bounds.top, 20);
  EXPECT_EQ(bounds.right, 150);
  EXPECT_EQ(bounds.bottom, 260);
  EXPECT_EQ(zelvproElement::PendingRegion(), nullptr);
  EXPECT_EQ(b_->needsRedraw, 1);  // read, never cleared here
}

TEST_F(ElementRedrawTest, InThe3DViewOnlyThePaneRepaints) {
  host_.viewId = iElementHost::k3DView;
  a_->Invalidate();
  EXPECT_EQ(zelvproElement::PendingRegion(), nullptr);
  a_->InvalidateGeometry();
  zelvproElement::InvalidateElement(&pane_, true);
  EXPECT_EQ(pane_.invalidated, 1);
  EXPECT_GT(pane_.outOfDate, 0);
  EXPECT_EQ(a_->pendingUpdate, 0);
  EXPECT_TRUE(host_.editorRegions.empty());
}

}  // namespace
