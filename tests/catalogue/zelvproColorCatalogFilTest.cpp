#include <gtest/gtest.h>

#include <string>

#include "CatalogueTestSupport.h"
#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproTextureFil.h"
#include "database/HandleList.h"
#include "framework/ppPicture.h"
#include "support/DemoSettings.h"

namespace {

using cattest::AddRecord;
using cattest::CatalogueTest;
using cattest::kLanguage;
using cattest::WideField;

// A packed DIB of `width` x 1 pixels, 24 bits, every pixel of the given blue value.
Handle DibPicture(int32_t width, uint8_t blue) {
  const int32_t rowBytes = (width * 3 + 3) & ~3;
  std::string bytes(size_t(40 + rowBytes), '\0');
  const int32_t header[] = {40, width, 1};
  std::memcpy(bytes.data(), header, sizeof header);
  bytes[12] = 1;   // planes
  bytes[14] = 24;  // bits per pixel
  for (int32_t x = 0; x < width; ++x) bytes[size_t(40 + x * 3)] = char(blue);
  return dbtest::HandleOf(bytes);
}

int32_t AddTexture(zelvproTextureFil& textures, const char* name, int32_t width, uint8_t blue) {
  Handle picture = DibPicture(width, blue);
  const int32_t id = AddRecord(textures, {{"name", name}, {"texture", picture}});
  MemDispose(picture);
  return id;
}

std::vector<int32_t> Selection(ppDatafile& table) {
  std::vector<int32_t> ids;
  for (int32_t i = 0; i < table.GetSelectedCount(); ++i) ids.push_back(table.RecordIdAt(i));
  return ids;
}

TEST_F(CatalogueTest, ColoursAndTexturesShowNumberOrIdAndNameAndReadInTheCurrentLanguage) {
  auto db = Open();
  zelvproColorCatalogFil& colours = db->ColorCatalogFile();
  const int32_t oak = AddRecord(colours, {{"number", "101"}, {"name", "Oak"}});
  const int32_t ash = AddRecord(colours, {{"number", "102"}, {"name", "Ash"}});
  AddRecord(db->StringFile(), {{"id", oak * 10}, {"languageCode", kLanguage}, {"string", u"Eg"}});
  AddRecord(db->StringFile(), {{"id", oak * 10 + 1}, {"languageCode", kLanguage}, {"string", u"E-101"}});
  db.reset();
  db = Open();

  const struct {
    int32_t id;
    const char* text;
    const char* tname;
    const char* tnumber;
  } cases[] = {{oak, "101 Oak", "Eg", "E-101"}, {ash, "102 Ash", "Ash", "102"}};
  for (const auto& c : cases) {
    db->ColorCatalogFile().ReadRecord(c.id, nullptr);
    EXPECT_EQ(WideField(db->ColorCatalogFile(), "tname"), c.tname);
    EXPECT_EQ(WideField(db->ColorCatalogFile(), "tnumber"), c.tnumber);
    Vcon::String text;
    db->ColorCatalogFile().GetDisplayText(text, nullptr);
    EXPECT_EQ(text, c.text);
  }

  zelvproTextureFil& textures = db->TextureFile();
  AddRecord(textures, {{"id", 12}, {"name", "Oak grain"}});
  Vcon::String text;
  textures.GetDisplayText(text, nullptr);
  EXPECT_EQ(text, "12 Oak grain");
}

TEST_F(CatalogueTest, AFullColourSelectionIsSavedUntilAnotherIndexIsAskedFor) {
  auto db = Open();
  zelvproColorCatalogFil& colours = db->ColorCatalogFile();
  zelvproColorCatalogFil& other = db->ColorCatalogFile2();
  const int32_t b = AddRecord(colours, {{"id", 1}, {"name", "b"}});
  const int32_t a = AddRecord(colours, {{"id", 2}, {"name", "a"}});
  colours.SelectAll();
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{b, a}));

  // Colours added through another view show only once a query runs: by the answers, whether one ran.
  const int32_t c = AddRecord(other, {{"id", 3}, {"name", "c"}});
  colours.SelectAllByIndex(0);
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{b, a}));
  const int32_t nameIndex = colours.IndexOf("name");
  colours.SelectAllByIndex(nameIndex);
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{a, b, c}));
  const int32_t d = AddRecord(other, {{"id", 4}, {"name", "d"}});
  colours.SelectAllByIndex(nameIndex);
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{a, b, c}));
  colours.SelectAll();
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{b, a, c, d}));

  // A colour added or deleted through the same view shows at the next full selection.
  const int32_t e = AddRecord(colours, {{"id", 5}, {"name", "e"}});
  colours.SelectAll();
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{b, a, c, d, e}));
  colours.DeleteRecordAt(0);
  colours.SelectAll();
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{a, c, d, e}));
  colours.DeleteRecord(c);
  colours.SelectAllByIndex(0);
  EXPECT_EQ(Selection(colours), (std::vector<int32_t>{a, d, e}));
}

TEST_F(CatalogueTest, AColourTextureIsThePictureKeptForTheChosenTextureRecord) {
  auto db = Open();
  const int32_t first = AddTexture(db->TextureFile(), "oak", 1, 0x11);
  const int32_t eighth = AddTexture(db->TextureFile(), "ash", 2, 0x22);
  const int32_t color = AddRecord(db->ColorCatalogFile(), {{"texture0", first}, {"texture7", eighth}});

  ppPicture* picture7 = db->GetColorTexture(color, 7);
  ASSERT_NE(picture7, nullptr);
  EXPECT_EQ(picture7->GetWidth(), 2);
  EXPECT_EQ(picture7->GetPixelsBGR().at(0), 0x22);
  EXPECT_EQ(picture7->GetDatabaseNumber(), db->Identifier());
  EXPECT_EQ(picture7->GetRecordId(), eighth);
  for (int32_t n : {12, -1, 0}) {
    ppPicture* picture0 = db->GetColorTexture(color, n);
    ASSERT_NE(picture0, nullptr) << n;
    EXPECT_EQ(picture0->GetPixelsBGR().at(0), 0x11) << n;
    EXPECT_EQ(picture0->GetRecordId(), first) << n;
  }
  // Asked again, the same picture with the same identity: its OpenGL texture is made once.
  const uint64_t identity = picture7->Identity();
  EXPECT_EQ(db->GetColorTexture(color, 7), picture7);
  EXPECT_EQ(picture7->Identity(), identity);

  EXPECT_EQ(db->GetColorTexture(color, 3), nullptr);  // an empty link
  db->ColorCatalogFile().ReadRecord(color, nullptr);
  db->ColorCatalogFile().SetCurrentRecordId(0);
  EXPECT_EQ(db->GetColorTexture(0, 7), nullptr);
  EXPECT_EQ(db->ColorCatalogFile().CurrentRecordId(), 0);  // colour 0 reads nothing
  db->ColorCatalogFile().TextureFile().DeleteRecord(eighth);
  EXPECT_EQ(db->GetColorTexture(color, 7), nullptr);  // a texture that is gone
  EXPECT_EQ(picture7->GetWidth(), 2);                 // and its picture still valid
  // A texture added later may be given the freed id: it shows its own picture, not the old one.
  const int32_t replacement = AddTexture(db->TextureFile(), "elm", 3, 0x33);
  db->ColorCatalogFile().ReadRecord(color, nullptr);
  cattest::SetField(db->ColorCatalogFile(), "texture7", replacement);
  db->ColorCatalogFile().WriteRecord(color, nullptr);
  ASSERT_NE(db->GetColorTexture(color, 7), nullptr);
  EXPECT_EQ(db->GetColorTexture(color, 7)->GetWidth(), 3) << (replacement == eighth ? "reused id" : "new id");
  EXPECT_EQ(db->GetColorTexture(color + 1000, 0), nullptr);  // a colour that is gone
}

TEST_F(CatalogueTest, TexturesMaterialsClassesAndGroupsThatAColourNamesCannotBeDeleted) {
  auto db = Open();
  zelvproColorCatalogFil& colours = db->ColorCatalogFile();
  AddRecord(colours,
            {{"name", "Oak"}, {"texture9", 31}, {"material19", 41}, {"class", 51}, {"colorGroup", 61}});
  const int32_t last = AddRecord(colours, {{"name", "Ash"}});
  colours.SelectAll();
  // Named by a colour that only the other view has seen added: the check must not miss it.
  AddRecord(db->ColorCatalogFile2(), {{"name", "Elm"}, {"texture0", 32}});
  const struct {
    int32_t fileId;
    int32_t id;
    bool allowed;
  } cases[] = {
      {5407, 31, false}, {5407, 32, false}, {5407, 41, true},  {5426, 41, false}, {5426, 31, true},
      {5429, 51, false}, {5429, 52, true},  {5425, 61, false}, {5425, 51, true},  {5402, 31, true},
  };
  for (const auto& c : cases)
    EXPECT_EQ(db->CanDeleteRecord(c.fileId, c.id), c.allowed) << c.fileId << "/" << c.id;
  // An allowed walk leaves every colour selected and the last one read current.
  EXPECT_TRUE(colours.AllowsDeleteOf(5407, 99));
  EXPECT_EQ(colours.GetSelectedCount(), 3);
  EXPECT_EQ(colours.CurrentRecordId(), colours.RecordIdAt(2));
  EXPECT_NE(last, 0);
}

TEST_F(CatalogueTest, EveryDemoColourHasAPictureForItsFirstTexture) {
  DemoSettings demo;
  ppFileSpec file = dbtest::SpecFor(demo.File("catalogs/kitchen.cdb").string());
  zelvDatabase db(file);
  zelvproColorCatalogFil& colours = db.ColorCatalogFile();
  colours.SelectAll();
  const std::vector<int32_t> ids = Selection(colours);
  ASSERT_FALSE(ids.empty());
  for (int32_t id : ids) {
    ppPicture* picture = db.GetColorTexture(id, 0);
    ASSERT_NE(picture, nullptr) << id;
    EXPECT_FALSE(picture->IsEmpty()) << id;
    EXPECT_GT(picture->GetWidth(), 0) << id;
  }
}

}  // namespace
