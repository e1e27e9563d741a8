// A part placed in a container with a positioning sheet takes its linked depth less the sheet's cut:
// the full-depth cut for a full-depth panel inside a compartment, else one step cut per step. Both
// the parametric element and the plain top-view element read the cuts from the sheet record.
#include <gtest/gtest.h>

#include "catalogue/records/zelvproDepthFil.h"
#include "catalogue/records/zelvproPosSheetFil.h"
#include "elements/units/UnitsTestSupport.h"
#include "elements/units/zelvproParametricElement.h"

namespace {

using unittest::UnitsTest;
using Element = zelvproParametricElement;

constexpr uint32_t kCell = 0x200, kPanel = 0x1000, kInset = 0x2000, kFull = 0x400000;
constexpr int32_t kCompartmentMode = 3;

class ContainerDepthCutTest : public UnitsTest {
 protected:
  void SetUp() override {
    UnitsTest::SetUp();
    db_ = &MakeDatabase();
    depth_ = cattest::AddRecord(db_->DepthFile(), {{"id", 7}, {"depth", 600.0}});
    // Cuts of the sheet: 19 mm for a full-depth panel, 16.5 mm a step.
    sheet_ = cattest::AddRecord(db_->PosSheetFile(),
                                {{"xraster", 100.0}, {"fullDepthCut", 19.0}, {"stepDepthCut", 16.5}});
    grid_ = AddTopView(*db_, {{"flags", 0x80}, {"posSheet", sheet_}, {"xpos", 4}, {"ypos", 5}, {"zpos", 1}});
  }

  // A container with a compartment over columns 1 to 3, rows 0 to 3.
  std::unique_ptr<zelvproTopViewElement> Container(int32_t linkedDepth) {
    auto container = MakeOwned(*db_, grid_);
    container->linkedRecord = linkedDepth;
    zelvproTopViewElement* compartment =
        Make(*db_, AddTopView(*db_, {{"flags", int32_t(kCell)}}), container.get());
    compartment->positioning = kCompartmentMode;
    compartment->cellX = 1, compartment->cellY = 0, compartment->cellZ = 0;
    compartment->gridWidth = 3, compartment->gridHeight = 4, compartment->gridDepth = 1;
    compartment->RegisterInGrid(container.get());
    return container;
  }

  zelvDatabase* db_ = nullptr;
  int32_t depth_ = 0, sheet_ = 0, grid_ = 0;
};

TEST_F(ContainerDepthCutTest, TheSheetsCutsShortenAPartInItsContainer) {
  db_->PosSheetFile().ReadRecord(sheet_, nullptr);
  EXPECT_EQ(db_->PosSheetFile().FullDepthCut(nullptr), 19.0);
  EXPECT_EQ(db_->PosSheetFile().StepDepthCut(nullptr), 16.5);
  struct Case {
    const char* what;
    uint32_t flags;
    int32_t column;  // the compartment holds a one-column part strictly inside at column 2 only
    int32_t steps;
    int32_t containerDepth;
    float parametric, topView;  // the part's depth after linking the 600 mm depth
  } cases[] = {
      {"panel in a cell, two steps", kCell | kPanel, 2, 2, 0, 567, 567},
      {"full-depth panel inside the compartment", kCell | kPanel | kFull, 2, 2, 0, 581, 581},
      {"full-depth panel at the compartment's edge", kCell | kPanel | kFull, 3, 1, 0, 583.5f, 583.5f},
      {"full-depth panel without steps at the edge", kCell | kPanel | kFull, 3, 0, 0, 600, 600},
      {"panel without steps", kCell | kPanel, 2, 0, 0, 600, 600},
      // The parametric element cuts an inset part of a container with a depth by its steps; the
      // plain top-view element places inset parts instead.
      {"inset part, container with a depth", kInset, 2, 1, depth_, 583.5f, 600},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto container = Container(c.containerDepth);
    auto* parametric = dynamic_cast<Element*>(db_->TopViewFile().CreateElement(
        AddItem(*db_, Element::kType, c.flags), eltest::Rect(0, 0, 10, 10), container.get()));
    zelvproTopViewElement* plain =
        Make(*db_, AddTopView(*db_, {{"flags", int32_t(c.flags)}}), container.get());
    ASSERT_NE(parametric, nullptr);
    ASSERT_NE(plain, nullptr);
    for (zelvproTopViewElement* part : {static_cast<zelvproTopViewElement*>(parametric), plain}) {
      part->cellX = c.column, part->cellY = 0, part->cellZ = 0;
      part->gridWidth = 1, part->gridHeight = 3;
      part->stepCount = c.steps;
      part->SetLinkedRecord(depth_);
    }
    EXPECT_FLOAT_EQ(parametric->currentDepth, c.parametric);
    EXPECT_FLOAT_EQ(plain->dimensions.z, c.topView);
  }
}

}  // namespace
