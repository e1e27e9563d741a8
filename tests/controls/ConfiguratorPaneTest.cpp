// The configurator pane in a document window: what it makes, how it follows the window's size (or
// keeps its place across with the other arrangement), and the document configurator over the
// document record of a copy of the demo settings: its properties, edits with undo, and the
// document's modified mark.
#include <gtest/gtest.h>

#include <filesystem>

#include "ControlsTestSupport.h"
#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/records/zelvproDocFil.h"
#include "catalogue/records/zelvproDocRecordLink.h"
#include "controls/zelvproConfigurator.h"
#include "controls/zelvproConfiguratorPane.h"
#include "controls/zelvproDocConfigurator.h"
#include "framework/ApplicationSettings.h"
#include "framework/iElementServices.h"
#include "framework/ppPropertyDataUnit.h"
#include "support/DemoSettings.h"

namespace {

using ctltest::Fill;
using ctltest::Row;
using ctltest::RowAt;

class ConfiguratorPaneTest : public ctltest::WindowTest {
 protected:
  // The document window: a view filling the window, 300 x 400; the pane at its right, 200 wide.
  zelvproConfiguratorPane* MakePane() {
    document_ = new ppView(window_, ppView::kStretch, ppView::kStretch);
    document_->SetFrame({0, 0, 300, 400});
    return new zelvproConfiguratorPane(document_, {100, 0, 300, 400});
  }
  ppView* document_ = nullptr;
};

TEST_F(ConfiguratorPaneTest, ThePaneMakesTheProgramsConfiguratorEmptyWithABackgroundBehind) {
  zelvproConfiguratorPane* pane = MakePane();
  zelvproConfigurator* configurator = pane->Configurator();
  EXPECT_EQ(ConfiguratorHost(), configurator);
  EXPECT_TRUE(configurator->Tabs().empty());
  EXPECT_EQ(configurator->CurrentPanel(), nullptr);
  const plat::RECT frame = configurator->GetFrame();
  EXPECT_EQ(frame.right - frame.left, 200);
  EXPECT_EQ(frame.bottom - frame.top, 400);
  ASSERT_EQ(pane->Subviews().At(0), pane->Background()) << "the background draws first";
  const plat::RECT background = pane->Background()->GetFrame();
  EXPECT_EQ(background.left, 0);
  EXPECT_EQ(background.top, 0);
  EXPECT_EQ(background.right, 201);
  EXPECT_EQ(background.bottom, 401);

  EXPECT_EQ(pane->DocConfigurator(), nullptr);
  pane->UpdateTexts();
  ASSERT_NE(pane->DocConfigurator(), nullptr);
  EXPECT_EQ(zelvproDocConfigurator::Global(), pane->DocConfigurator());
  EXPECT_EQ(pane->DocConfigurator()->GetSupervisor(), configurator);
  pane->UpdateTexts();
  EXPECT_EQ(zelvproDocConfigurator::Global(), pane->DocConfigurator()) << "one per pane";
  // Builders empty the configurator; the document configurator belongs to no tab and stays.
  Fill(*configurator, {{u"Size", {"Width"}}});
  configurator->RemoveAll();
  EXPECT_EQ(zelvproDocConfigurator::Global(), pane->DocConfigurator());
  delete document_;
  EXPECT_EQ(zelvproDocConfigurator::Global(), nullptr);
  EXPECT_EQ(ConfiguratorHost(), nullptr);
}

TEST_F(ConfiguratorPaneTest, ThePaneFollowsTheWindowsRightEdgeAndHeight) {
  for (uint32_t flags : {0u, kStayingConfiguratorPane}) {
    SetApplicationFlags1(flags);
    zelvproConfiguratorPane* pane = MakePane();
    Fill(*pane->Configurator(), {{u"Size", {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K",
                                            "L", "M", "N", "O", "P", "Q", "R", "S", "T", "U", "V"}}});
    ppConfigPanel* panel = pane->Configurator()->CurrentPanel();
    ASSERT_TRUE(panel->IsScrolling());

    document_->SupervisorResized(40, 0);
    const plat::RECT wider = pane->GetFrame();
    EXPECT_EQ(wider.left, flags == 0 ? 140 : 100) << flags;
    EXPECT_EQ(wider.right - wider.left, 200) << flags;

    document_->SupervisorResized(0, 100);
    const plat::RECT taller = pane->GetFrame();
    EXPECT_EQ(taller.bottom - taller.top, 500) << flags;
    EXPECT_EQ(pane->Configurator()->Height(), 500) << flags;
    EXPECT_FALSE(panel->IsScrolling()) << "the panel was laid out again";
    delete document_;
  }
}

// ---- The document configurator over the demo settings.

class DocConfiguratorTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    plat::HeadlessDriver::Reset();
    ppFileSpec file = dbtest::SpecFor(demo_.File("catalogs/kitchen.cdb").string());
    db_ = std::make_unique<zelvDatabase>(file);
    doc_ = std::make_unique<zelvproDocFil>(*db_);
    zelvproDocConfigurator::SetDocumentRecordLink(&link_);
    window_ = std::make_unique<ppView>();
    window_->SetFrame({0, 0, 300, 400});
    pane_ = new zelvproConfiguratorPane(window_.get(), {100, 0, 300, 400});
    pane_->UpdateTexts();
    settings_ = pane_->DocConfigurator();
  }
  void TearDown() override {
    window_.reset();
    zelvproDocConfigurator::SetDocumentRecordLink(nullptr);
    doc_.reset();
    db_.reset();
    plat::HeadlessDriver::Reset();
    CatalogueTest::TearDown();
  }
  Vcon::String Text(int32_t index) { return settings_->GetValue(index).AsWString().Narrow(); }

  DemoSettings demo_;
  std::unique_ptr<zelvDatabase> db_;
  std::unique_ptr<zelvproDocFil> doc_;
  zelvproDocRecordLink link_;
  std::unique_ptr<ppView> window_;
  zelvproConfiguratorPane* pane_ = nullptr;
  zelvproDocConfigurator* settings_ = nullptr;
};

TEST_F(DocConfiguratorTest, ElevenNamedPropertiesOfTheirOwnTypes) {
  ASSERT_EQ(settings_->GetPropertyCount(), 11);
  const char* names[] = {"Number",         "Revision",          "Note",
                         "CustomerName",   "CustomerReference", "CustomerAddress",
                         "CustomerCity",   "CustomerPhone",     "UseDocumentFactors",
                         "ExchangeFactor", "ProfitFactor"};
  for (int32_t i = 0; i < 11; ++i) {
    EXPECT_EQ(settings_->IndexOf(names[i]), i) << names[i];
    EXPECT_EQ(settings_->NameAt(i), names[i]);
    const int32_t type = settings_->GetValue(i).Type();
    EXPECT_EQ(type, i < 8 ? ppParameter::kWideText : i == 8 ? ppParameter::kLong : ppParameter::kDouble) << i;
  }
  EXPECT_EQ(settings_->IndexOf("customerName"), -1) << "names compare exactly";
  EXPECT_EQ(settings_->NameAt(11), "");
}

TEST_F(DocConfiguratorTest, ValuesAreStoredInTheRecordFieldsTypes) {
  settings_->SetValue(8, ppParameter("1"));
  EXPECT_EQ(cattest::LongField(*doc_, "useDocumentFactors"), 1);
  EXPECT_EQ(settings_->GetValue(8).Type(), ppParameter::kLong);
  settings_->SetValue(9, ppParameter("1.25"));
  EXPECT_DOUBLE_EQ(settings_->GetValue(9).ToDouble(), 1.25);
  settings_->SetValue(3, ppParameter(42));
  EXPECT_EQ(cattest::WideField(*doc_, "costumerName"), "42");
  EXPECT_EQ(cattest::WideField(*doc_, "_costumerName"), "") << "not the narrow twin";
}

TEST_F(DocConfiguratorTest, IndicesOutsideTheTableReadEmptyAndWriteNothing) {
  settings_->SetValue(3, ppParameter(u"Ann"));
  doc_->SetModified(false);
  Handle before = nullptr;
  Vcon_HandleManager::MemNew(&before, 0);
  doc_->PackRecord(nullptr, before);
  for (int32_t index : {11, -1}) {
    EXPECT_EQ(settings_->GetValue(index).Type(), ppParameter::kNone) << index;
    settings_->SetValue(index, ppParameter(u"x"));
  }
  Handle after = nullptr;
  Vcon_HandleManager::MemNew(&after, 0);
  doc_->PackRecord(nullptr, after);
  ASSERT_EQ(MemGetSize(before), MemGetSize(after));
  EXPECT_EQ(std::memcmp(*before, *after, MemGetSize(before)), 0);
  EXPECT_FALSE(doc_->IsModified());
  MemDispose(before);
  MemDispose(after);
}

TEST_F(DocConfiguratorTest, AnotherOpenedDocumentAnswersItsOwnValues) {
  settings_->SetValue(0, ppParameter(u"2026-17"));
  settings_->SetValue(10, ppParameter(1.5));
  Handle other = nullptr;
  Vcon_HandleManager::MemNew(&other, 0);
  doc_->PackRecord(nullptr, other);
  settings_->SetValue(0, ppParameter(u"2026-18"));
  settings_->SetValue(10, ppParameter(2.0));
  ASSERT_EQ(doc_->Unpack(other, Vcon::String()), zelvproDocFil::UnpackResult::kAccepted);
  EXPECT_EQ(Text(0), "2026-17");
  EXPECT_DOUBLE_EQ(settings_->GetValue(10).ToDouble(), 1.5);
  MemDispose(other);
}

TEST_F(DocConfiguratorTest, AnEditIsOneUndoableTaskAndMarksTheDocumentChanged) {
  settings_->SetValue(3, ppParameter(u"Ann"));
  doc_->SetModified(false);
  zelvproConfigurator* configurator = pane_->Configurator();
  configurator->RemoveAll();
  auto* panel = new ppConfigPanel(configurator);
  panel->SetName(u"Customer");
  auto* name = new Row(panel, new ppPropertyDataUnit(settings_, "CustomerName", true));
  panel->AddField(name);
  configurator->AddPanel(panel);
  configurator->PlaceTabs();

  name->SetValue(ppParameter(u"Bo"));
  EXPECT_EQ(Text(3), "Bo");
  EXPECT_TRUE(doc_->IsModified()) << "closing must ask before the edit is lost";
  ppUndoer& stacks = configurator->UndoStacks();
  ASSERT_NE(stacks.DoneTop(), nullptr);
  stacks.Undo();
  EXPECT_EQ(stacks.DoneTop(), nullptr) << "one task";
  EXPECT_EQ(Text(3), "Ann");
}

}  // namespace
