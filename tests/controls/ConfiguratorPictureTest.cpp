// A two-tab configurator drawn with the demo skin's configurator colours (1008 to 1013) and tab
// edge picture (1102), compared with a kept image. To renew the image after a deliberate change:
// run with PLANNER_WRITE_FIXTURES=1, look at tests/fixtures/controls/two_tabs.png and commit it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <memory>
#include <string>

#include "ControlsTestSupport.h"
#include "catalogue/CatalogueTestSupport.h"
#include "catalogue/databases/qxSkindb.h"
#include "catalogue/records/qxSkinObjectFil.h"
#include "framework/ppApplication.h"
#include "framework/ppPicture.h"
#include "platform/PngFile.h"
#include "support/DemoSettings.h"

namespace {

using namespace plat;

// The application's colours and frame pictures from the demo skin: colours are packed percentages
// (red in bits 24-31, green 16-23, blue 8-15), answered in bytes; a missing id answers white.
class SkinApplication : public ppApplication {
 public:
  explicit SkinApplication(const std::filesystem::path& skinFile) : ppApplication(nullptr, nullptr) {
    ppFileSpec name = dbtest::SpecFor(skinFile.string());
    qxSkindb skin(name);
    qxSkinObjectFil& colours = skin.ColorFile();
    colours.SelectAll();
    for (int32_t i = 0; i < colours.GetSelectedCount(); ++i) {
      colours.ReadRecordAt(i, nullptr);
      const char* r = colours.GetRecordBuffer();
      packed_[RecordField(colours, "id").Long(r)] = uint32_t(RecordField(colours, "rgba").Long(r));
    }
    qxSkinObjectFil& bitmaps = skin.BitmapFile();
    bitmaps.SelectAll();
    for (int32_t i = 0; i < bitmaps.GetSelectedCount(); ++i) {
      bitmaps.ReadRecordAt(i, nullptr);
      const char* r = bitmaps.GetRecordBuffer();
      Handle bytes = RecordField(bitmaps, "bitmap").Data(r);
      auto picture = std::make_unique<ppPicture>();
      MemLock(bytes);
      picture->SetFromMemory(*bytes, size_t(MemGetSize(bytes)));
      MemUnlock(bytes);
      pictures_[RecordField(bitmaps, "id").Long(r)] = std::move(picture);
    }
    gApplication = this;
  }
  ~SkinApplication() override { gApplication = nullptr; }

  ppRGBColor GetColor(int32_t id) override {
    auto found = packed_.find(id);
    if (found == packed_.end()) return {255, 255, 255};
    const uint32_t v = found->second;
    return {PercentToByte(int32_t(v >> 24) & 0xFF), PercentToByte(int32_t(v >> 16) & 0xFF),
            PercentToByte(int32_t(v >> 8) & 0xFF)};
  }
  ppPicture* GetFramePicture(int32_t id) override {
    auto found = pictures_.find(id);
    return found == pictures_.end() ? nullptr : found->second.get();
  }
  ppPicture* GetFillPicture(int32_t) override { return nullptr; }

 private:
  std::map<int32_t, uint32_t> packed_;
  std::map<int32_t, std::unique_ptr<ppPicture>> pictures_;
};

class ConfiguratorPictureTest : public cattest::CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    HeadlessDriver::Reset();
    app_ = std::make_unique<SkinApplication>(demo_.File("skin.cdb"));
  }
  void TearDown() override {
    app_.reset();
    HeadlessDriver::Reset();
    CatalogueTest::TearDown();
  }
  DemoSettings demo_;
  std::unique_ptr<SkinApplication> app_;
};

TEST_F(ConfiguratorPictureTest, TwoTabsDrawAsKept) {
  ASSERT_NE(app_->GetFramePicture(1102), nullptr) << "the demo skin has the tab edges";
  ASSERT_NE(app_->GetColor(1013), (ppRGBColor{255, 255, 255})) << "the demo skin has the tab strip colour";
  auto* window = new ppWindow();
  HWND hwnd = adorner_tests::MakeObjectWindow(window, 220, 120);
  auto* configurator = new ppConfigurator(window, {0, 0, 220, 120}, nullptr, false);
  ctltest::Fill(*configurator, {{u"Size", {"Width", "Depth"}}, {u"Appearance", {"Colour"}}});
  for (int32_t i = 0; i < 2; ++i) {
    ctltest::Row* row = ctltest::RowAt(configurator->CurrentPanel(), i);
    row->SetText(i == 0 ? u"Width" : u"Depth", 0);
    row->SetMargins(6, 6, 6, 0);
  }
  configurator->RequestLayout();
  HeadlessDriver::RunUntilIdle();

  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/controls/two_tabs.png";
  const std::string actual = std::string(PLANNER_BINARY_DIR) + "/two_tabs-actual.png";
  ASSERT_TRUE(HeadlessDriver::DumpPng(hwnd, actual));
  if (std::getenv("PLANNER_WRITE_FIXTURES")) HeadlessDriver::DumpPng(hwnd, kept);
  std::unique_ptr<Surface> expected = ReadPng(kept);
  std::unique_ptr<Surface> drawn = ReadPng(actual);
  ASSERT_TRUE(expected && drawn) << "missing " << kept << "; the window is in " << actual;
  // Glyph rasterisation may differ slightly between FreeType versions: a few pixels may differ.
  const PixelDifference diff = ComparePixels(*expected, *drawn, 8);
  EXPECT_TRUE(diff.sameSize);
  EXPECT_LE(diff.pixels, drawn->Width() * drawn->Height() / 200)
      << "first at " << diff.firstX << "," << diff.firstY << "; see " << actual;
  delete window;
}

}  // namespace
