#include "AppTestSupport.h"
#include "framework/ppPicture.h"

namespace {

using apptest::AppTest;

using Skin = AppTest;

constexpr int32_t kRed = 7001;  // colour ids the demo skin does not use

TEST_F(Skin, PercentColoursComeOutAsBytesAndFractions) {
  AddSkinColor(kRed, 0x64000000);
  EXPECT_EQ(app_->GetColor(kRed), (ppRGBColor{255, 0, 0}));
  const ppFloat4 f = app_->GetColorF(kRed);
  EXPECT_FLOAT_EQ(f.v[0], 1.0f);
  EXPECT_FLOAT_EQ(f.v[1], 0.0f);
  EXPECT_FLOAT_EQ(f.v[2], 0.0f);
  EXPECT_FLOAT_EQ(f.v[3], 1.0f);
  // A demo colour: 1008 is rgb:95,94,91 percent.
  EXPECT_EQ(app_->GetColor(1008), (ppRGBColor{242, 240, 232}));
}

TEST_F(Skin, SetColourTruncatesToPercentAndIgnoresAlpha) {
  app_->SetColor(kRed, ppFloat4(0.5f, 0.25f, 0.999f, 0.3f));
  const ppFloat4 f = app_->GetColorF(kRed);
  EXPECT_FLOAT_EQ(f.v[0], 0.5f);
  EXPECT_FLOAT_EQ(f.v[1], 0.25f);
  EXPECT_FLOAT_EQ(f.v[2], 0.99f);
  EXPECT_FLOAT_EQ(f.v[3], 1.0f);
  EXPECT_EQ(app_->GetColor(kRed), (ppRGBColor{128, 64, 252}));
  EXPECT_EQ(app_->Colors().DatabaseReads(), 0);
  // Out-of-range channels stay within 0 to 100 percent.
  app_->SetColor(kRed, ppFloat4(1.7f, -0.2f, 1.0f, 1.0f));
  EXPECT_EQ(app_->GetColor(kRed), (ppRGBColor{255, 0, 255}));
}

TEST_F(Skin, AColourIsReadFromTheDatabaseOnce) {
  const int32_t record = AddSkinColor(kRed, 0x32000000);
  EXPECT_EQ(app_->GetColor(kRed), (ppRGBColor{128, 0, 0}));
  EXPECT_EQ(app_->Colors().DatabaseReads(), 1);
  // A later change of the record is not seen: the second answer comes from the cache.
  qxSkinObjectFil& colors = skinDb_->ColorFile();
  colors.BeginTransaction();
  colors.ReadRecord(record, nullptr);
  RecordField(colors, "rgba").SetLong(colors.GetRecordBuffer(), 0x00640000);
  colors.WriteRecord(record, nullptr);
  colors.EndTransaction();
  EXPECT_EQ(app_->GetColor(kRed), (ppRGBColor{128, 0, 0}));
  EXPECT_FLOAT_EQ(app_->GetColorF(kRed).v[0], 0.5f);
  EXPECT_EQ(app_->Colors().DatabaseReads(), 1);
}

TEST_F(Skin, MissingColoursAndBadPercentagesStayInRange) {
  EXPECT_EQ(app_->GetColor(7002), (ppRGBColor{255, 255, 255}));
  AddSkinColor(7003, 0xFF7F0000);  // bytes above 100 percent
  EXPECT_EQ(app_->GetColor(7003), (ppRGBColor{255, 255, 0}));
  skinDb_.reset();  // no skin at all
  EXPECT_EQ(app_->GetColor(7004), (ppRGBColor{255, 255, 255}));
}

TEST_F(Skin, EmptyButtonPicturesFallBackToCompiledBitmaps) {
  // The demo skin has no buttons: every variant comes from the bitmap id + variant.
  for (int32_t variant : {0, 1, 2, 3}) {
    ppPicture* picture = app_->GetPictureAt(3090, variant);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->GetResourceId(), 3090 + variant);
    EXPECT_EQ(picture->GetWidth(), 16);
  }
  // An unknown variant is the normal picture; the same request answers the same kept picture.
  EXPECT_EQ(app_->GetPictureAt(3090, 9)->GetResourceId(), 3090);
  EXPECT_EQ(app_->GetPictureAt(3090, 1), app_->GetPictureAt(3090, 1));
  // Neither skin nor bitmap: an empty picture, never null.
  ppPicture* none = app_->GetPictureAt(5000, 0);
  ASSERT_NE(none, nullptr);
  EXPECT_TRUE(none->IsEmpty());
}

TEST_F(Skin, FramePicturesComeFromTheBitmapTable) {
  ppPicture* about = app_->GetFramePicture(2004);
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->GetWidth(), 360);
  EXPECT_EQ(about->GetHeight(), 220);
  EXPECT_EQ(app_->GetFramePicture(2004), about);
  EXPECT_EQ(app_->GetFramePicture(2999), nullptr);
}

TEST_F(Skin, FillPicturesFollowTheColourLinkToABitmapRecord) {
  qxSkinObjectFil& bitmaps = skinDb_->BitmapFile();
  int32_t paneFrame = 1101;
  const int32_t paneFrameRecord = bitmaps.FindRecordByKey(0, &paneFrame);
  ASSERT_NE(paneFrameRecord, 0);
  AddSkinColor(7010, 0, 0);
  AddSkinColor(7011, 0, paneFrameRecord);
  AddSkinColor(7012, 0, 99999);  // a link to no record
  EXPECT_EQ(app_->GetFillPicture(7010), nullptr);
  ppPicture* fill = app_->GetFillPicture(7011);
  ASSERT_NE(fill, nullptr);
  EXPECT_EQ(fill->GetWidth(), 5);
  EXPECT_EQ(fill->GetHeight(), 5);
  EXPECT_EQ(app_->GetFillPicture(7012), nullptr);
  EXPECT_EQ(app_->GetFillPicture(7013), nullptr);  // no such colour
}

TEST_F(Skin, TheDemoFramePicturesAreSmallFramesForStretching) {
  // Frames are cut into four corners of half the picture's size around a one-pixel centre row and
  // column: an odd picture of a few pixels gives a thin frame. A bar would put its half width of
  // colour over every framed pane.
  const struct {
    int32_t id;
    const char* use;
  } frames[] = {{1100, "edit fields"}, {1101, "panes and configurator bands"}, {1102, "tab edges"}};
  for (const auto& f : frames) {
    ppPicture* picture = app_->GetFramePicture(f.id);
    ASSERT_NE(picture, nullptr) << f.use;
    EXPECT_EQ(picture->GetWidth() % 2, 1) << f.use;
    EXPECT_EQ(picture->GetHeight() % 2, 1) << f.use;
    EXPECT_LE(picture->GetWidth() / 2, 4) << f.use;
    EXPECT_LE(picture->GetHeight() / 2, 4) << f.use;
  }
}

}  // namespace
