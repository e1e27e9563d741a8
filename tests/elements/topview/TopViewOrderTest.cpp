// The order file lines of top-view elements, written into a real file, and the parts list.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/records/zelvproColorCatalogFil.h"
#include "catalogue/records/zelvproDepthFil.h"
#include "elements/base/PartsList.h"
#include "elements/base/iOrderWriter.h"
#include "elements/base/zelvproTopCanvas.h"
#include "elements/topview/TopViewTestSupport.h"
#include "foundation/FileFaultHook.h"
#include "foundation/FileOperations.h"

namespace {

using cattest::AddRecord;
using eltest::Join;
using eltest::Rect;
using eltest::SubItemEntry;
using tvtest::TopViewTest;
using Words = std::vector<int32_t>;

// The order writer's state over a new file in the test's folder.
class FileOrderWriter : public iOrderWriter {
 public:
  explicit FileOrderWriter(std::string path, int32_t order) : path_(std::move(path)), order_(order) {
    ppFileSpec where = dbtest::SpecFor(path_);
    FileCreate(where);
    FileOpen(file_, where, false);
  }
  ~FileOrderWriter() override {
    if (file_.handle != kInvalidFileHandle) FileClose(file_);
  }
  ppFileSpec& File() override { return file_; }
  int32_t OrderNumber() override { return order_; }
  int32_t CurrentModule() override { return module_; }
  int32_t NextModule() override { return ++module_; }
  // Closes the file and answers its bytes.
  std::string Text() {
    FileClose(file_);
    const auto bytes = dbtest::FileBytes(path_);
    return std::string(bytes.begin(), bytes.end());
  }

 private:
  std::string path_;
  int32_t order_;
  int32_t module_ = 0;
  ppFileSpec file_;
};

class TopViewOrderTest : public TopViewTest {
 protected:
  zelvDatabase& Catalogue() {
    zelvDatabase& db = MakeDatabase();
    cattest::ChangeSettings(db, {{"name", "Katalog"}, {"tname", "Katalog"}});
    return db;
  }
  static int32_t Unit(zelvDatabase& db, const char* number, int32_t flags = 0, Words partsList = {},
                      int32_t refTo = 0) {
    return AddUnit(db, {{"number1", number}, {"flags", flags}, {"refTo", refTo}}, {{"partsList", partsList}});
  }
  static int32_t Item(zelvDatabase& db, int32_t unit, Words subItems = {}) {
    return AddTopView(db, {}, {{"Units", {unit, 0}}, {"subItems", subItems}});
  }
  // The lines one element writes as the first module of order 7.
  std::string LinesOf(zelvproTopViewElement& element) {
    FileOrderWriter writer(folder_.Path("order" + std::to_string(++files_) + ".txt"), 7);
    element.WriteOrderModule(writer);
    return writer.Text();
  }
  // The "KOMPONENT" lines of `text`.
  static std::vector<std::string> Components(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0; (at = text.find("KOMPONENT", at)) != std::string::npos; at += 9)
      lines.push_back(text.substr(at, text.find("\r\n", at) + 2 - at));
    return lines;
  }
  dbtest::TempFolder folder_;
  int32_t files_ = 0;
};

TEST_F(TopViewOrderTest, TwoElementsWriteTheirModulesAndComponentsInOrder) {
  zelvDatabase& db = Catalogue();
  zelvproTopCanvas canvas(nullptr, Rect(0, 0, 500, 500), nullptr);
  Make(db, Item(db, Unit(db, "A1")), &canvas);
  Make(db, Item(db, Unit(db, "B2")), &canvas);
  FileOrderWriter writer(folder_.Path("order.txt"), 42);
  canvas.WriteOrderModule(writer);
  EXPECT_EQ(writer.Text(),
            "MODUL\t42\t1\tKatalog\tA1\t-\t0\t0\t0\t0\t-\r\n"
            "KOMPONENT\t42\t1\tA1\t0\t0\t0\t0\r\n"
            "MODUL\t42\t2\tKatalog\tB2\t-\t0\t0\t0\t0\t-\r\n"
            "KOMPONENT\t42\t2\tB2\t0\t0\t0\t0\r\n");
}

TEST_F(TopViewOrderTest, UnitFlagsAndPartsListsShapeTheComponentLines) {
  zelvDatabase& db = Catalogue();
  const int32_t a = Unit(db, "P1"), b = Unit(db, "P2"), c = Unit(db, "P3");
  const Words parts = {a, 3, 0x2, b, 1, 0x8, c, 1, 0x4};
  struct Case {
    int32_t flags;
    Words partsList;
    int32_t positioned;
    std::vector<std::string> lines;
  } cases[] = {
      {0x4 | 0x8, {}, 0, {"KOMPONENT\t7\t1\tU\t-\t-\t0\t0\r\n"}},
      {0x1, parts, 0, {"KOMPONENT\t7\t1\tP1\t-\t0\t0\t0\r\n", "KOMPONENT\t7\t1\tP3\t0\t-\t0\t0\r\n"}},
      {0x1,
       parts,
       0x2,
       {"KOMPONENT\t7\t1\tP1\t-\t0\t0\t0\r\n", "KOMPONENT\t7\t1\tP2\t-\t-\t0\t0\r\n",
        "KOMPONENT\t7\t1\tP3\t0\t-\t0\t0\r\n"}},
  };
  for (const Case& k : cases) {
    auto element = MakeOwned(db, Item(db, Unit(db, "U", k.flags, k.partsList)));
    element->positionedWord = k.positioned;
    EXPECT_EQ(Components(LinesOf(*element)), k.lines) << k.flags << " " << k.positioned;
  }
}

TEST_F(TopViewOrderTest, TheModuleListsEveryColourAndFillsUpToThree) {
  zelvDatabase& db = Catalogue();
  Words colours;
  for (const char* number : {"C1", "C2", "C3", "C4"})
    colours.push_back(AddRecord(db.ColorCatalogFile(), {{"number", number}}));
  auto element = MakeOwned(db, Item(db, Unit(db, "U")));
  element->SetLinkedRecord(AddRecord(db.DepthFile(), {{"name", "60"}}));
  element->extraA = 2;
  element->colours = {colours[0], colours[1]};
  std::string text = LinesOf(*element);
  EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), "MODUL\t7\t1\tKatalog\tU\t-\t60\tC1\tC2\t0\t-\r\n");
  // The component takes the colour at the element's colour position only.
  EXPECT_EQ(Components(text), std::vector<std::string>{"KOMPONENT\t7\t1\tU\t60\tC2\t0\t0\r\n"});
  element->colours = colours;
  text = LinesOf(*element);
  EXPECT_EQ(text.substr(0, text.find("\r\n") + 2), "MODUL\t7\t1\tKatalog\tU\t-\t60\tC1\tC2\tC3\tC4\t-\r\n");
}

TEST_F(TopViewOrderTest, AReferredUnitIsBrokenDownByTheLastUnitOfItsChain) {
  zelvDatabase& db = Catalogue();
  const int32_t last = Unit(db, "END"), middle = Unit(db, "MID", 0, {}, last);
  auto element = MakeOwned(db, Item(db, Unit(db, "OWN", 0, {}, middle)));
  const std::string text = LinesOf(*element);
  EXPECT_EQ(text.substr(0, 24), "MODUL\t7\t1\tKatalog\tOWN\t-\t");
  EXPECT_EQ(Components(text), std::vector<std::string>{"KOMPONENT\t7\t1\tEND\t0\t0\t0\t0\r\n"});
  // A chain that comes back to a unit already passed ends there instead of never.
  const int32_t first = Unit(db, "F1"), second = Unit(db, "F2", 0, {}, first);
  db.UnitFile().ReadRecord(first, nullptr);
  cattest::SetField(db.UnitFile(), "refTo", second);
  db.UnitFile().WriteRecord(first, nullptr);
  auto cyclic = MakeOwned(db, Item(db, first));
  EXPECT_EQ(Components(LinesOf(*cyclic)), std::vector<std::string>{"KOMPONENT\t7\t1\tF2\t0\t0\t0\t0\r\n"});
}

TEST_F(TopViewOrderTest, ChildrenWriteComponentsButTheirChildrenNothing) {
  zelvDatabase& db = Catalogue();
  const int32_t grandchild = Item(db, Unit(db, "G"));
  const int32_t child = Item(db, Unit(db, "C"), SubItemEntry(grandchild, 0, 0, 0, 0, 0));
  auto element = MakeOwned(db, Item(db, Unit(db, "P"), SubItemEntry(child, 0, 0, 0, 0, 0)));
  const std::string text = LinesOf(*element);
  EXPECT_EQ(Components(text), (std::vector<std::string>{"KOMPONENT\t7\t1\tP\t0\t0\t0\t0\r\n",
                                                        "KOMPONENT\t7\t1\tC\t0\t0\t0\t0\r\n"}));
  EXPECT_EQ(text.find("MODUL", 5), std::string::npos);
}

TEST_F(TopViewOrderTest, AFailedWriteLeavesTheModuleWithItsError) {
  zelvDatabase& db = Catalogue();
  auto element = MakeOwned(db, Item(db, Unit(db, "U")));
  FileOrderWriter writer(folder_.Path("order.txt"), 7);
  Vcon::SetFileFaultHook([](Vcon::FileOp op, const char*) {
    if (op == Vcon::FileOp::Write) throw int32_t{kFileErrBadCall};
  });
  int32_t error = 0;
  try {
    element->WriteOrderModule(writer);
  } catch (int32_t e) {
    error = e;
  }
  Vcon::SetFileFaultHook(nullptr);
  EXPECT_EQ(error, kFileErrBadCall);
}

TEST_F(TopViewOrderTest, CollectingTwiceDoublesTheQuantities) {
  zelvDatabase& db = Catalogue();
  const int32_t a = Unit(db, "P1"), b = Unit(db, "P2");
  auto element = MakeOwned(db, Item(db, Unit(db, "U", 0x1, {a, 3, 0, b, 2, 0x2})));
  element->colorRecordId = 9;
  PartsList parts;
  element->CollectParts(parts);
  element->CollectParts(parts);
  const std::vector<PartsList::Entry> entries = parts.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].unit, b);
  EXPECT_EQ(entries[0].colour, 9);
  EXPECT_EQ(entries[0].quantity, 4);
  EXPECT_EQ(entries[1].quantity, 6);
}

TEST(PartsListTest, EntriesStandInDescendingKeyOrder) {
  PartsList parts;
  for (auto [unit, colour, depth] : {std::tuple{5, 0, 0}, {5, 2, 0}, {7, 0, -1}, {5, 2, 0}, {-3, 0, 0}})
    parts.AddPartEntry(unit, colour, depth, 1);
  std::vector<std::tuple<int32_t, int32_t, int32_t, int32_t>> keys;
  for (const PartsList::Entry& e : parts.Entries()) keys.emplace_back(e.unit, e.colour, e.depth, e.quantity);
  EXPECT_EQ(keys, (decltype(keys){{7, 0, -1, 1}, {5, 2, 0, 2}, {5, 0, 0, 1}, {-3, 0, 0, 1}}));
  Handle packed = parts.ToHandle();
  ASSERT_EQ(MemGetSize(packed), 64);
  int32_t words[4];
  std::memcpy(words, *packed + 16, 16);
  EXPECT_EQ((std::vector<int32_t>(words, words + 4)), (std::vector<int32_t>{5, 2, 0, 2}));
  MemDispose(packed);
}

}  // namespace
