// The demo settings builder: the settings folder the build made is opened with the plain database
// engine and checked byte by byte and link by link; two runs give the same bytes; a fault in the
// sources stops with its file and line and writes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "database/dbBasicmmHandler.h"
#include "database/dbDatafile.h"
#include "database/dbRecordLayout.h"
#include "database/ppDatabase.h"
#include "database/ppDatafile.h"
#include "foundation/FileRecord.h"
#include "framework/PngLoader.h"
#include "support/DemoSettings.h"
#include "tools/mkcatalog/Mkcatalog.h"

namespace {

namespace fs = std::filesystem;

const char* const kDatabases[] = {"zadezodid.cdb", "resources.cdb", "skin.cdb", "catalogs/kitchen.cdb",
                                  "catalogs/extras.cdb"};
const char* const kTopKeywords[] = {"ROOM", "ZELVO", "COMPONENTS", "ANNOTATION", "CALCULATION"};
constexpr size_t kCommitRecord = 1536, kCommitRecordEnd = 1546;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

std::unique_ptr<ppDatabase> Open(const fs::path& path) {
  ppFileSpec fileRecord(Vcon::WString(path.string().c_str()));
  return std::make_unique<ppDatabase>(fileRecord);
}

// A table view with its records read by field name.
class Table {
 public:
  Table(ppDatabase& database, const char* layout) : view_(layout, database) { view_.SelectAll(); }

  int32_t Count() { return view_.GetSelectedCount(); }
  // Reads every record and every field through the property interface, which also opens the views
  // of linked tables, as the program's record classes do.
  void ReadEverything() {
    for (int32_t i = 0; i < Count(); ++i) {
      view_.GoToItem(i);
      for (int32_t f = 0; f < view_.GetPropertyCount(); ++f) view_.GetValue(f);
    }
  }
  int32_t IdAt(int32_t i) { return view_.RecordIdAt(i); }
  // The bytes of every field of the current record that keeps them in a memory handle (blobs and
  // pictures).
  std::vector<std::vector<uint8_t>> HandleFields() {
    std::vector<std::vector<uint8_t>> fields;
    const dbRecordLayout& layout = view_.File().Layout();
    for (int32_t f = 0; f < layout.FieldCount(); ++f) {
      if (dynamic_cast<const dbBasicmmHandler*>(&layout.Handler(f)) == nullptr) continue;
      Handle h = dbBasicmmHandler::Data(view_.GetRecordBuffer() + layout.Handler(f).Offset());
      const auto* bytes = reinterpret_cast<const uint8_t*>(*h);
      fields.emplace_back(bytes, bytes + MemGetSize(h));
    }
    return fields;
  }
  void Read(int32_t i) { view_.ReadRecordAt(i, nullptr); }
  bool Holds(int32_t id) { return id > 0 && view_.IndexOfRecord(id) >= 0; }
  // The field's number; `occurrence` picks among fields of one name.
  int32_t Field(const std::string& name, int occurrence = 0) {
    for (int32_t f = 0; f < view_.FieldCount(); ++f) {
      std::string fieldName;
      view_.File().Layout().FieldName(f, fieldName);
      if (fieldName == name && occurrence-- == 0) return f;
    }
    ADD_FAILURE() << "no field " << name;
    return 0;
  }
  ppParameter Value(const std::string& name, int occurrence = 0) {
    ppParameter value;
    view_.GetFieldValue(Field(name, occurrence), value, nullptr);
    return value;
  }
  int32_t Long(const std::string& name, int occurrence = 0) { return Value(name, occurrence).ToLong(); }
  std::string Text(const std::string& name) { return Value(name).AsString().c_str(); }
  std::vector<uint8_t> Blob(const std::string& name) {
    const int32_t field = Field(name);
    Handle h =
        dbBasicmmHandler::Data(view_.GetRecordBuffer() + view_.File().Layout().Handler(field).Offset());
    const auto* bytes = reinterpret_cast<const uint8_t*>(*h);
    return std::vector<uint8_t>(bytes, bytes + MemGetSize(h));
  }
  // Every record's value of `name`, in selection order.
  std::vector<int32_t> Longs(const std::string& name) {
    std::vector<int32_t> values;
    for (int32_t i = 0; i < Count(); ++i) {
      Read(i);
      values.push_back(Long(name));
    }
    return values;
  }

 private:
  ppDatafile view_;
};

int32_t WordAt(const std::vector<uint8_t>& blob, size_t offset) {
  int32_t word = 0;
  std::memcpy(&word, blob.data() + offset, 4);
  return word;
}

// The words of an embedded-table blob's records are not needed here: the record count is.
int32_t EmbeddedRecordCount(const std::vector<uint8_t>& blob) {
  int32_t count = 0;
  for (size_t p = 0; p + 4 <= blob.size();) {
    const int32_t length = WordAt(blob, p);
    if (length < 1) break;
    ++count;
    p = (p + 4 + size_t(length) + 3) / 4 * 4;
  }
  return count;
}

class MkcatalogTest : public ::testing::Test {
 protected:
  DemoSettings demo_;
};

TEST_F(MkcatalogTest, TwoRunsGiveTheBuildsBytes) {
  const fs::path sources = fs::path(PLANNER_SOURCE_DIR) / "data/demo";
  const fs::path again = demo_.Root() / "again";
  std::ostringstream out, err;
  ASSERT_EQ(mkcatalog::RunMkcatalog({sources.string(), again.string()}, out, err), 0) << err.str();
  std::set<std::string> built, rebuilt;
  for (const auto& e : fs::recursive_directory_iterator(DemoSettings::BuiltFolder()))
    if (e.is_regular_file()) built.insert(fs::relative(e.path(), DemoSettings::BuiltFolder()).string());
  for (const auto& e : fs::recursive_directory_iterator(again))
    if (e.is_regular_file()) rebuilt.insert(fs::relative(e.path(), again).string());
  EXPECT_EQ(built, rebuilt);
  for (const char* name : kDatabases) EXPECT_EQ(built.count(name), 1u) << name;
  for (const std::string& name : built)
    EXPECT_TRUE(ReadText(DemoSettings::BuiltFolder() / name) == ReadText(again / name)) << name << " differs";
  EXPECT_FALSE(fs::exists(demo_.Root() / "again.partial"));
}

TEST_F(MkcatalogTest, CatalogueHeadsAndSettingsRecords) {
  const std::string kitchen = ReadText(demo_.File("catalogs/kitchen.cdb"));
  const std::string extras = ReadText(demo_.File("catalogs/extras.cdb"));
  EXPECT_EQ(kitchen.substr(8, 4), "vleZ");  // "Zelv" with its first character most significant
  EXPECT_EQ(kitchen.substr(4, 4), "TKHV");  // our type code "VHKT"
  EXPECT_EQ(extras.substr(4, 4), "vleZ");
  EXPECT_NE(extras.substr(8, 4), "vleZ");

  auto main = Open(demo_.File("catalogs/kitchen.cdb"));
  EXPECT_EQ(main->Identifier(), 1);
  {
    Table settings(*main, "qxSettings");
    ASSERT_EQ(settings.Count(), 1);
    settings.Read(0);
    EXPECT_EQ(settings.Long("version"), 4);
    EXPECT_EQ(settings.Long("languageID"), 1033);
    EXPECT_NE(settings.Long("colorCatalogLink"), 0);
  }
  auto extra = Open(demo_.File("catalogs/extras.cdb"));
  EXPECT_EQ(extra->Identifier(), 2);
  Table topViews(*extra, "qxTopView");
  EXPECT_EQ(topViews.Count(), 0);
  Table prices(*extra, "qxPrice");
  EXPECT_GE(prices.Count(), 10);
  for (int32_t i = 0; i < prices.Count(); ++i) {
    prices.Read(i);
    EXPECT_FALSE(prices.Text("orderno").empty());
    EXPECT_FALSE(prices.Value("text").AsWString().empty());
    EXPECT_GT(prices.Value("price").ToMoney().Raw(), 0);
  }
}

// What the program binds at start exists already: opening every table and reading every record
// changes no byte outside the commit record.
TEST_F(MkcatalogTest, OpeningEveryTableWritesNothing) {
  for (const char* name : kDatabases) {
    const fs::path path = demo_.File(name);
    const std::string before = ReadText(path);
    try {
      auto database = Open(path);
      std::vector<std::unique_ptr<Table>> tables;
      const int32_t count = database->FileCount();
      ASSERT_GT(count, 0) << name;
      std::vector<std::string> names;
      for (int32_t i = 0; i < count; ++i) names.push_back(database->FileNameAt(i));
      for (const std::string& table : names) {
        tables.push_back(std::make_unique<Table>(*database, table.c_str()));
        tables.back()->ReadEverything();
      }
    } catch (int32_t error) {
      ADD_FAILURE() << name << ": error " << error;
    }
    std::string after = ReadText(path);
    ASSERT_EQ(after.size(), before.size()) << name;
    std::string masked = before;
    for (size_t i = kCommitRecord; i < kCommitRecordEnd; ++i) masked[i] = after[i];
    EXPECT_TRUE(masked == after) << name << " changed outside the commit record";
  }
}

TEST_F(MkcatalogTest, MainCatalogueLinksAndCoverage) {
  auto database = Open(demo_.File("catalogs/kitchen.cdb"));
  Table units(*database, "qxUnit"), prices(*database, "qxPrice"), items(*database, "qxCatalogItem");
  Table topViews(*database, "qxTopView"), groups(*database, "qxGroup"), types(*database, "qxType");
  Table shapes(*database, "qxShape"), meshes(*database, "qx3DShape"), textures(*database, "qxTexture");

  ASSERT_GE(units.Count(), 40);
  std::map<int32_t, int64_t> bestPrice;
  for (int32_t i = 0; i < prices.Count(); ++i) {
    prices.Read(i);
    const int32_t module = prices.Long("module");
    EXPECT_TRUE(module == 0 || units.Holds(module)) << "price " << prices.IdAt(i);
    bestPrice[module] = std::max(bestPrice[module], prices.Value("price").ToMoney().Raw());
  }
  std::set<int32_t> bodyTypes;
  for (int32_t i = 0; i < units.Count(); ++i) {
    units.Read(i);
    const int32_t id = units.IdAt(i);
    if ((units.Long("flags") & 1) != 0) {
      // Priced through its parts: no price of its own, each part named by its record and priced.
      EXPECT_EQ(bestPrice.count(id), 0u) << units.Text("name");
      const std::vector<uint8_t> parts = units.Blob("partsList");
      ASSERT_FALSE(parts.empty()) << units.Text("name");
      ASSERT_EQ(parts.size() % 12, 0u);
      for (size_t e = 0; e < parts.size(); e += 12) {
        EXPECT_TRUE(units.Holds(WordAt(parts, e))) << units.Text("name");
        EXPECT_GT(bestPrice[WordAt(parts, e)], 0) << units.Text("name") << " part " << e / 12;
      }
    } else {
      EXPECT_GT(bestPrice[id], 0) << "unit " << units.Text("name") << " has no price above 0";
    }
    ASSERT_NE(units.Long("useParametrics") & 2, 0) << "64-byte 3D entries";
    const std::vector<uint8_t> entries = units.Blob("shapes3D");
    // A unit drawn from parametric parts alone (useParametrics 1) names its parts' records instead.
    const std::vector<uint8_t> placements = units.Blob("parametrics");
    ASSERT_FALSE(entries.empty() && ((units.Long("useParametrics") & 1) == 0 || placements.empty()))
        << units.Text("name");
    ASSERT_EQ(entries.size() % 64, 0u);
    for (size_t e = 0; e < entries.size(); e += 64) {
      const int32_t shape = WordAt(entries, e), type = WordAt(entries, e + 4);
      bodyTypes.insert(type);
      EXPECT_TRUE(type == 4 ? meshes.Holds(shape) : shapes.Holds(shape))
          << units.Text("name") << " entry " << e / 64;
    }
    const std::vector<uint8_t> outline = units.Blob("shapes");
    for (size_t e = 0; e + 24 <= outline.size(); e += 24) EXPECT_TRUE(shapes.Holds(WordAt(outline, e)));
  }
  EXPECT_EQ(bodyTypes, (std::set<int32_t>{0, 1, 2, 3, 4}));

  Table colours(*database, "qxColorCatalog");
  int32_t finishes = 0;
  for (int32_t i = 0; i < items.Count(); ++i) {
    items.Read(i);
    EXPECT_TRUE(groups.Holds(items.Long("Group"))) << items.Text("ID");
    // A finish of the palette names its colour instead of a unit.
    if (items.Long("isColor") != 0) {
      ++finishes;
      EXPECT_TRUE(colours.Holds(items.Long("finishLink"))) << items.Text("ID");
      continue;
    }
    EXPECT_TRUE(topViews.Holds(items.Long("TopView"))) << items.Text("ID");
    EXPECT_TRUE(types.Holds(items.Long("Type"))) << items.Text("ID");
  }
  EXPECT_EQ(finishes, 10);
  std::set<int32_t> elementTypes;
  for (int32_t i = 0; i < topViews.Count(); ++i) {
    topViews.Read(i);
    elementTypes.insert(topViews.Long("Type"));
    EXPECT_EQ(topViews.Blob("Snappoints").size() % 36, 0u);
    const std::vector<uint8_t> pieces = topViews.Blob("Subelements");
    for (size_t e = 0; e + 24 <= pieces.size(); e += 24) EXPECT_TRUE(shapes.Holds(WordAt(pieces, e)));
  }
  for (int32_t type : {0, 1, 3, 5, 6, 10, 12})
    EXPECT_EQ(elementTypes.count(type), 1u) << "element type " << type;

  ASSERT_EQ(textures.Count(), 11);  // the finishes' ten and the windows' glass
  for (int32_t i = 0; i < textures.Count(); ++i) {
    textures.Read(i);
    for (const auto& [field, side] : {std::pair<const char*, int32_t>{"texture", 64}, {"texture128", 128}}) {
      const std::vector<uint8_t> png = textures.Blob(field);
      PngMemorySource source{png.data(), png.size(), 0};
      PngBitmapDescriptor picture;
      uint32_t transparent = 0;
      bool hasTransparent = false;
      ASSERT_EQ(loadPng(&source, &picture, &transparent, &hasTransparent), kPngOk) << field;
      int32_t width = 0, height = 0;  // of the bitmap header; a bottom-up picture has a positive height
      std::memcpy(&width, picture.memory + 4, 4);
      std::memcpy(&height, picture.memory + 8, 4);
      EXPECT_EQ(width, side);
      EXPECT_EQ(std::abs(height), side);
      FreePngBlock(picture.memory);
    }
  }
}

// Every picture the build wrote, in any table of any database or as a file of the settings folder,
// is one the program's start can decode: read directly and through libpng alike, to the same bytes,
// with its image data's sum holding (the direct way checks it; libpng refuses a picture whose sum
// does not hold).
TEST_F(MkcatalogTest, EveryPictureDecodesBothWaysWithItsSumHolding) {
  int32_t pictures = 0;
  auto expectDecodes = [&pictures](const std::vector<uint8_t>& png, const std::string& where) {
    ++pictures;
    std::vector<uint8_t> direct, reference;
    PngMemorySource source{png.data(), png.size(), 0}, again{png.data(), png.size(), 0};
    EXPECT_EQ(loadPngInto(&source, direct, PngRows::kDirect), kPngOk) << where;
    EXPECT_EQ(loadPngInto(&again, reference, PngRows::kThroughLibpng), kPngOk) << where;
    EXPECT_TRUE(direct == reference) << where;
  };
  for (const char* name : kDatabases) {
    auto database = Open(demo_.File(name));
    std::vector<std::string> tables;
    for (int32_t i = 0; i < database->FileCount(); ++i) tables.push_back(database->FileNameAt(i));
    for (const std::string& layout : tables) {
      Table table(*database, layout.c_str());
      for (int32_t i = 0; i < table.Count(); ++i) {
        table.Read(i);
        for (const std::vector<uint8_t>& bytes : table.HandleFields())
          if (HasPngSignature(bytes.data(), bytes.size()))
            expectDecodes(bytes,
                          std::string(name) + " " + layout + " record " + std::to_string(table.IdAt(i)));
      }
    }
  }
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(demo_.Folder()))
    if (entry.is_regular_file() && entry.path().extension() == ".png") {
      const std::string text = ReadText(entry.path());
      expectDecodes(std::vector<uint8_t>(text.begin(), text.end()), entry.path().string());
    }
  // The skin's buttons alone give 185 pictures.
  EXPECT_GT(pictures, 200);
}

TEST_F(MkcatalogTest, BrowserTextsNameMainCatalogueItems) {
  auto database = Open(demo_.File("catalogs/kitchen.cdb"));
  std::set<std::string> itemIds;
  {
    Table items(*database, "qxCatalogItem");
    for (int32_t i = 0; i < items.Count(); ++i) {
      items.Read(i);
      itemIds.insert(items.Text("ID"));
    }
  }
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(demo_.File("catalogs")))
    if (e.path().extension() == ".txt") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  ASSERT_EQ(files.size(), 5u);

  std::set<std::string> known(std::begin(kTopKeywords), std::end(kTopKeywords));
  std::map<std::string, int> groupsUnderTop;
  std::set<std::string> texts;
  for (const fs::path& file : files) {
    const std::string text = ReadText(file);
    texts.insert(text);
    for (const std::string& line : Split(text, '\n')) {
      const std::vector<std::string> f = Split(line, '\t');
      ASSERT_EQ(f.size(), 5u) << file << ": " << line;
      EXPECT_EQ(known.count(f[4]), 1u) << "parent after child: " << line;
      if (f[0] == "ITEM") {
        EXPECT_EQ(f[2], "1");
        EXPECT_EQ(itemIds.count(f[1]), 1u) << f[1];
      } else {
        ASSERT_EQ(f[0], "GROUP");
        known.insert(f[1]);
        if (std::count(std::begin(kTopKeywords), std::end(kTopKeywords), f[4]) != 0) ++groupsUnderTop[f[4]];
      }
    }
  }
  for (const char* top : kTopKeywords) EXPECT_GE(groupsUnderTop[top], 1) << top;

  Table catalog(*database, "qxCatalog");
  std::set<std::string> stored;
  for (int32_t i = 0; i < catalog.Count(); ++i) {
    catalog.Read(i);
    const std::vector<uint8_t> blob = catalog.Blob("catalog");
    stored.insert(std::string(blob.begin(), blob.end()));
  }
  EXPECT_EQ(stored, texts);
}

TEST_F(MkcatalogTest, SettingsFilesAreCopiedWithTheirUnitReferencesResolved) {
  auto database = Open(demo_.File("catalogs/kitchen.cdb"));
  Table units(*database, "qxUnit");
  std::map<std::string, int32_t> unitIds;
  for (int32_t i = 0; i < units.Count(); ++i) {
    units.Read(i);
    unitIds[units.Text("name")] = units.IdAt(i);
  }
  const fs::path sources = fs::path(PLANNER_SOURCE_DIR) / "data/demo/files";
  // The unit trees: every reference became the unit's record id, the rest is byte for byte.
  const std::string tree = ReadText(demo_.File("calculation/1-base.txt"));
  const std::vector<std::string> lines = Split(tree, '\n');
  ASSERT_EQ(lines.size(), 8u);
  EXPECT_EQ(lines[0], "\t9001\t\tBase units\tROOT");
  EXPECT_EQ(lines[1], "\t" + std::to_string(unitIds.at("B40")) + "\t1\t\t9001");
  EXPECT_EQ(tree.find("{{"), std::string::npos);
  EXPECT_NE(ReadText(demo_.File("calculation/2-wall.txt"))
                .find("\t" + std::to_string(unitIds.at("WS80")) + "\t1\t"),
            std::string::npos);
  for (const char* plain : {"mail.txt", "inet1.txt", "inet2.txt", "calcDisplayList.txt", "calcPrintList.txt"})
    EXPECT_EQ(ReadText(demo_.File(plain)), ReadText(sources / plain)) << plain;
  // The address file names an invented host under the reserved ".example" name, which no name server
  // knows, and a request path: the server items fail in the login box instead of reaching a host.
  const std::vector<std::string> addressLines = Split(ReadText(demo_.File("ip.txt")), '\n');
  ASSERT_EQ(addressLines.size(), 1u);
  const std::vector<std::string> address = Split(addressLines[0], '\t');
  ASSERT_EQ(address.size(), 2u);
  EXPECT_TRUE(address[0].ends_with(".example")) << address[0];
  EXPECT_EQ(address[1].rfind('/', 0), 0u) << address[1];
  // The picture list is made into pictures, not copied.
  EXPECT_FALSE(fs::exists(demo_.File("pictures.txt")));
  const std::string logo = ReadText(demo_.File("user/logo.bmp"));
  EXPECT_EQ(logo.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_F(MkcatalogTest, ApplicationResourcesAndSkin) {
  {
    auto database = Open(demo_.File("zadezodid.cdb"));
    Table application(*database, "qxApplication");
    ASSERT_EQ(application.Count(), 1);
    application.Read(0);
    EXPECT_EQ(application.Long("flags2") & 0x1000, 0);
    for (const char* field : {"appSignature", "appVersion", "renderOptions"})
      EXPECT_FALSE(application.Text(field).empty()) << field;
    EXPECT_GT(application.Long("popFieldHeight"), 0);
    EXPECT_GT(application.Long("popListHeight"), 0);
    const std::string functions = [&] {
      const std::vector<uint8_t> blob = application.Blob("menuItems");
      return std::string(blob.begin(), blob.end());
    }();
    // Two catalogue databases and nine menu functions, among them the document server's two.
    EXPECT_EQ(EmbeddedRecordCount(application.Blob("menuItems")), 11);
    for (const char* item : {"Export Wall Elevation Pictures...", "Preferences...", "Save to Server...",
                             "Open from Server...", "Print with Second Price List Layout",
                             "Print with DXF Drawing", "Save Order as Text File...", "Line Drawing"})
      EXPECT_NE(functions.find(item), std::string::npos) << item;
    // The plan editor's scroll bars are on.
    EXPECT_NE(uint32_t(application.Long("flags1")) & 0x10000000u, 0u);
    EXPECT_NE(functions.find(".\\settings\\catalogs\\kitchen.cdb"), std::string::npos);
    EXPECT_NE(functions.find(".\\settings\\catalogs\\extras.cdb"), std::string::npos);

    Table panels(*database, "qxConfigurator");
    EXPECT_EQ(panels.Longs("id"), (std::vector<int32_t>{1000, 1001, 1002, 1003, 1004, 1005}));
    for (int32_t i = 0; i < panels.Count(); ++i) {
      panels.Read(i);
      EXPECT_GE(EmbeddedRecordCount(panels.Blob("data")), 2) << panels.Long("id");
    }
    Table languages(*database, "qxLanguageCode");
    EXPECT_EQ(languages.Longs("langCode"), (std::vector<int32_t>{1033, 1030}));
    Table strings(*database, "qxString");
    std::map<int32_t, std::set<int32_t>> ids;
    for (int32_t i = 0; i < strings.Count(); ++i) {
      strings.Read(i);
      ids[strings.Long("languageCode")].insert(strings.Long("id"));
    }
    for (int32_t id :
         {1000, 1001, 1002, 1003, 5049, 5050, 5107, 6260, 6261, 6380, 8065, 8067, 8086, 10046, 10047, 10116})
      EXPECT_EQ(ids[1033].count(id), 1u) << id;
    EXPECT_GE(ids[1030].size(), 5u);
  }
  {
    auto database = Open(demo_.File("resources.cdb"));
    Table resources(*database, "qxResource");
    ASSERT_EQ(resources.Count(), 1);
    resources.Read(0);
    EXPECT_EQ(resources.Long("id"), 0);
    EXPECT_EQ(resources.Blob("resource"), (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0}));
  }
  auto database = Open(demo_.File("skin.cdb"));
  Table bitmaps(*database, "qxBitmap"), colours(*database, "qxColor");
  EXPECT_EQ(bitmaps.Longs("id"), (std::vector<int32_t>{1016, 1100, 1101, 1102, 2000, 2001, 2004, 2005, 3500,
                                                       3501, 3502, 3503, 3504, 3505}));
  // The default panels' buttons, the 3D view's sliders and buttons, the tag dialog's button, the
  // calculation's buttons, the editor's zoom, turn and room buttons: a 24-pixel picture for each of
  // the five states; the view bar's four view buttons and its two order buttons: 48 pixels; the
  // choice fields' drop buttons: 17 pixels wide and as high as each kind of field; the text buttons
  // of the server dialogs: as large as those buttons.
  Table buttons(*database, "qxButton");
  EXPECT_EQ(
      buttons.Longs("id"),
      (std::vector<int32_t>{2001, 2004, 2012, 2016, 2024, 2072, 2092, 2096, 2101, 2225, 2229, 2265, 2401,
                            2425, 2429, 2433, 2437, 2441, 2445, 2448, 2452, 2501, 3100, 3104, 3108, 3112,
                            3116, 3120, 3124, 3132, 3616, 3620, 3624, 3628, 3632, 3636, 6020, 6024}));
  const std::vector<int32_t> viewButtons{2004, 2012, 2016, 2024, 2072, 2092};
  // Width and height of the buttons that are not square.
  const std::map<int32_t, std::pair<int32_t, int32_t>> oblong{
      {2096, {70, 19}}, {3632, {17, 19}}, {3636, {17, 38}}, {6020, {17, 53}}, {6024, {17, 83}}};
  for (int32_t i = 0; i < buttons.Count(); ++i) {
    buttons.Read(i);
    for (const char* state : {"normal", "selected", "clicked", "disabled", "rollover"}) {
      const std::vector<uint8_t> png = buttons.Blob(state);
      PngMemorySource source{png.data(), png.size(), 0};
      PngBitmapDescriptor picture;
      uint32_t transparent = 0;
      bool hasTransparent = false;
      ASSERT_EQ(loadPng(&source, &picture, &transparent, &hasTransparent), kPngOk) << state;
      int32_t width = 0, height = 0;
      std::memcpy(&width, picture.memory + 4, 4);
      std::memcpy(&height, picture.memory + 8, 4);
      const int32_t id = buttons.Long("id");
      const int32_t side =
          std::find(viewButtons.begin(), viewButtons.end(), id) != viewButtons.end() ? 48 : 24;
      const auto sides = oblong.find(id);
      EXPECT_EQ(width, sides != oblong.end() ? sides->second.first : side) << id << " " << state;
      EXPECT_EQ(std::abs(height), sides != oblong.end() ? sides->second.second : side) << id << " " << state;
      FreePngBlock(picture.memory);
    }
  }
  EXPECT_EQ(colours.Longs("id"),
            (std::vector<int32_t>{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007,  1008,  1009,  1010, 1011,
                                  1012, 1013, 1017, 1018, 1020, 1022, 1023, 0x400, 0x401, 0x402, 0x403}));
}

// The texts of `database`'s "qxString" table by language and id.
std::map<int32_t, std::map<int32_t, std::string>> TextsByLanguage(ppDatabase& database) {
  Table strings(database, "qxString");
  std::map<int32_t, std::map<int32_t, std::string>> texts;
  for (int32_t i = 0; i < strings.Count(); ++i) {
    strings.Read(i);
    texts[strings.Long("languageCode")][strings.Long("id")] = strings.Text("string");
  }
  return texts;
}

// A first start runs in language 0: it reads the English texts, and the price list's columns, on
// screen and printed, find their captions (8000 + field) there rather than showing field names.
TEST_F(MkcatalogTest, TheStartLanguageHasTheEnglishTextsAndEveryListColumnItsCaption) {
  auto database = Open(demo_.File("zadezodid.cdb"));
  std::map<int32_t, std::map<int32_t, std::string>> texts = TextsByLanguage(*database);
  ASSERT_FALSE(texts[1033].empty());
  EXPECT_EQ(texts[0], texts[1033]);
  // Danish stays Danish: a text given only in Danish is no start-language text.
  EXPECT_EQ(texts[1030].count(9001), 1u);
  EXPECT_EQ(texts[0].count(9001), 0u);
  // Texts the program builds its numbers for at run time: the Help menu's About item (its command,
  // 1), the plan's own panel rows (7010 to 7014) and the item sheet's captions (7501 to 7510, the
  // second column's blank on purpose). The tenth caption is also the server's host where no address
  // file names one: the demo has that file, so 7510 is the total's caption and 7511 (the path) none.
  std::vector<int32_t> worded = {1, 7010, 7011, 7012, 7013, 7014, 7501};
  for (int32_t id = 7503; id <= 7510; ++id) worded.push_back(id);
  for (int32_t id : worded) EXPECT_FALSE(texts[0][id].empty()) << "no text " << id;
  EXPECT_EQ(texts[0].count(7502), 1u);
  EXPECT_TRUE(texts[0][7502].empty());
  EXPECT_EQ(texts[0][7510], "Total");
  EXPECT_EQ(texts[0].count(7511), 0u);
  EXPECT_TRUE(fs::exists(demo_.File("ip.txt")));
  // The login box's Register link is a whole web address: the desktop's opener takes anything else
  // for a file.
  EXPECT_EQ(texts[0][7500].rfind("https://", 0), 0u) << texts[0][7500];
  // The login box's hint stands under the logo at the right end of the box's logo band: a blank
  // keeps its line, so that the fields below stay clear of the logo, and nothing is drawn over it.
  EXPECT_EQ(texts[0][7437], " ");
  for (const char* list : {"calcDisplayList.txt", "calcPrintList.txt"}) {
    // Five tab-separated fields a column: layout, field, width, text format, options.
    std::vector<std::string> fields;
    for (const std::string& line : Split(ReadText(demo_.File(list)), '\n'))
      for (const std::string& field : Split(line, '\t')) fields.push_back(field);
    ASSERT_EQ(fields.size() % 5, 0u) << list;
    ASSERT_GE(fields.size(), 5u) << list;
    for (size_t i = 1; i < fields.size(); i += 5) {
      const int32_t caption = 8000 + std::stoi(fields[i]);
      EXPECT_FALSE(texts[0][caption].empty()) << list << ": no caption " << caption;
    }
  }
}

// A copy of the demo sources with one line changed, built into a folder that already holds a
// previous build.
class MkcatalogFaultTest : public ::testing::Test {
 protected:
  MkcatalogFaultTest() {
    fs::copy(fs::path(PLANNER_SOURCE_DIR) / "data/demo", sources_, fs::copy_options::recursive);
    fs::create_directories(output_);
    std::ofstream(output_ / "previous") << "kept";
  }

  // Replaces the first occurrence of `from` in `file`; returns its 1-based line.
  int Change(const std::string& file, const std::string& from, const std::string& to) {
    std::string text = ReadText(sources_ / file);
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at == std::string::npos) return 0;
    text.replace(at, from.size(), to);
    std::ofstream(sources_ / file, std::ios::binary | std::ios::trunc) << text;
    return int(std::count(text.begin(), text.begin() + long(at), '\n')) + 1;
  }

  DemoSettings demo_;
  fs::path sources_ = demo_.Root() / "sources";
  fs::path output_ = demo_.Root() / "out";
};

TEST_F(MkcatalogFaultTest, AFaultStopsWithFileAndLineAndWritesNothing) {
  struct Case {
    const char* file;
    const char* from;
    const char* to;
    const char* message;
  };
  const Case cases[] = {
      {"kitchen/qxCatalogItem.tsv", "\tB60\tSnow", "\tB61\tSnow",
       "field 'TopView': no qxTopView record named 'B61'"},
      {"kitchen/qxUnit.tsv", "\t720.0\t600.0", "\t72O.0\t600.0", "field 'height': '72O.0' is not a number"},
      {"kitchen/qxPrice.tsv", "1695.00", "16.95.00", "field 'price': '16.95.00' is not an amount"},
      {"kitchen/qxUnit.tsv", "qxShape:rect-600-560 0 720.0", "qxShape:rect-601-560 0 720.0",
       "field 'shapes3D': no qxShape record named 'rect-601-560'"},
      {"kitchen/qxUnit.tsv", "0 0 1 0; qxShape:rect-600-720 1", "0 0 1; qxShape:rect-600-720 1",
       "field 'shapes3D': entry 2: 60 bytes, the field's entries have 64"},  // after the measures mark
      {"kitchen/qxTopView.tsv", "words: qxUnit:B60 0", "words: qxShape:rect-600-560 0",
       "field 'Units': entry 1: the first word must name a qxUnit record"},
      {"kitchen/qxGroup.tsv", "helpText", "helpTexts", "the layout has no field 'helpTexts'"},
      {"kitchen/qxTexture.tsv", "64 #f4f3ef", "64 #f4f3eg", "field 'texture': bad colour '#f4f3eg'"},
      {"kitchen/qxShape.tsv", "words: 0; 0; 0; 0", "word: 0; 0; 0; 0",
       "field 'attributes': unknown blob kind 'word'"},
      {"skin/qxColor.tsv", "0x401", "1024", "the id 1024 is given on line 30 already"},
      {"application/qxConfigurator.tsv", "panels/room.tsv", "panels/none.tsv",
       "panels/none.tsv:0: cannot read"},
      {"catalogs/zelvo.txt", "VH-B60\t", "VH-B99\t", "the main catalogue has no item with ID 'VH-B99'"},
      {"catalogs/zelvo.txt", "Base units;9002\tKitchen", "Base units;9002\tKitchens",
       "the parent 'Kitchens' is no top keyword or earlier group"},
      {"files/calculation/1-base.txt", "{{1:qxUnit:B60}}", "{{1:qxUnit:B61}}",
       "no qxUnit record named 'B61'"},
      {"files/calculation/2-wall.txt", "{{1:qxUnit:W60}}", "{{3:qxUnit:W60}}",
       "no catalogue has the identifier 3"},
      {"files/calculation/2-wall.txt", "{{1:qxUnit:W60}}", "{{1:qxUnit:W60}",
       "a reference without its closing"},
      {"files/calculation/2-wall.txt", "{{1:qxUnit:W60}}", "{{x:qxUnit:W60}}",
       "'x' is no catalogue identifier"},
      {"files/pictures.txt", "user/logo.bmp\t", "../logo.bmp\t",
       "expected a relative path, a tab and a picture"},
      {"files/pictures.txt", "grain 12x240", "grain 12x240x", "bad picture size"},
      {"application/database.txt", "neutral\t1033", "neutral\t0",
       "the neutral language is a language code other than 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    fs::remove_all(sources_);
    fs::copy(fs::path(PLANNER_SOURCE_DIR) / "data/demo", sources_, fs::copy_options::recursive);
    const int line = Change(c.file, c.from, c.to);
    std::ostringstream out, err;
    EXPECT_EQ(mkcatalog::RunMkcatalog({sources_.string(), output_.string()}, out, err), 1);
    const std::string expectedStart = std::string(c.message).find(".tsv:") != std::string::npos
                                          ? ""
                                          : (sources_ / c.file).string() + ":" + std::to_string(line) + ": ";
    EXPECT_EQ(err.str().rfind(expectedStart, 0), 0u) << err.str();
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(ReadText(output_ / "previous"), "kept");
    EXPECT_FALSE(fs::exists(output_ / "zadezodid.cdb"));
    EXPECT_FALSE(fs::exists(fs::path(output_.string() + ".partial")));
  }
}

// A text the table gives under language 0 itself is kept; the other English texts are copied.
TEST_F(MkcatalogFaultTest, ATextGivenUnderTheStartLanguageWinsOverTheEnglishCopy) {
  ASSERT_NE(Change("application/qxString.tsv", "1000\t1033\tOK\n", "1000\t1033\tOK\n1000\t0\tAgreed\n"), 0);
  std::ostringstream out, err;
  ASSERT_EQ(mkcatalog::RunMkcatalog({sources_.string(), output_.string()}, out, err), 0) << err.str();
  auto database = Open(output_ / "zadezodid.cdb");
  std::map<int32_t, std::map<int32_t, std::string>> texts = TextsByLanguage(*database);
  EXPECT_EQ(texts[0][1000], "Agreed");
  EXPECT_EQ(texts[1033][1000], "OK");
  EXPECT_EQ(texts[0][1001], "Cancel");
  EXPECT_EQ(texts[0].size(), texts[1033].size());
}

}  // namespace
