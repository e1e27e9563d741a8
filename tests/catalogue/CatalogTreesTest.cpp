// The browser's text format and the trees built from it, without windows: which entries land where,
// what malformed text does, and the order of the catalogs folder's files (the look-up's speed is
// measured by bench/browser).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <type_traits>
#include <vector>

#include "BrowserTestSupport.h"
#include "catalogue/browser/CatalogTrees.h"

namespace {

using browsertest::ChildNames;
using browsertest::FindNode;
using Names = std::vector<std::string>;

class CatalogTreesTest : public browsertest::BrowserTest {
 protected:
  void Parse(const std::string& text) { trees_.ParseText(text.data(), text.size()); }
  CatalogTrees trees_;
};

TEST_F(CatalogTreesTest, EntriesLandUnderTheirParentsWithTheirImages) {
  texts_.texts[5107] = "Unterschrank";
  Parse(
      "GROUP\tB\t0\tBase;5107\tROOM\r\n"
      "GROUP\tW\t0\tWall;5999\tB\n"
      "GROUP\tW\t0\tWall again\tB\n"
      "GROUP\tE\t0\tEmpty parent\t\n"
      "ITEM\tB30\t1\tBase 30\tW\n"
      "ITEM\tX1\t7\tNot open\tW\n"
      "ITEM\tNONE\t1\tMissing\tW\n"
      "GROUP\tW\t0\tSame name, other tree\tZELVO\n"
      "ITEM\tB40\t1\tBase 40\tW");
  const qxTopNode& room = trees_.Top(0);
  EXPECT_EQ(ChildNames(room), (Names{"B", "E"}));
  const qxNode* base = room.FirstChild();
  EXPECT_EQ(base->DisplayText(), u"Unterschrank");
  EXPECT_EQ(std::pair(base->ClosedImage(), base->OpenImage()), std::pair(2, 3));
  EXPECT_EQ(ChildNames(*base), (Names{"W"}));
  const qxNode* wall = base->FirstChild();
  EXPECT_EQ(wall->DisplayText(), u"Wall");  // no text 5999: the default part
  EXPECT_EQ(std::pair(wall->ClosedImage(), wall->OpenImage()), std::pair(0, 1));
  // The item of a catalogue that is not open is dropped; one whose ID matches nothing stays with id 0;
  // the last line, without a line end, is read; "W" under "ZELVO" is not the "W" of ROOM.
  EXPECT_EQ(ChildNames(*wall), (Names{"B30", "NONE", "B40"}));
  EXPECT_EQ(wall->FirstChild()->ItemRecordId(), itemIds_["B30"]);
  EXPECT_EQ(wall->FirstChild()->NextSibling()->ItemRecordId(), 0);
  EXPECT_EQ(wall->FirstChild()->ClosedImage(), 4);
  EXPECT_EQ(ChildNames(trees_.Top(1)), (Names{"W"}));
}

// A line is an entry only when it has five fields and begins with GROUP or ITEM; anything else is
// skipped to the line end, and the entries after it still count.
TEST_F(CatalogTreesTest, MalformedLinesAreSkippedWhole) {
  const std::string longName(300, 'n');
  std::string deep = "GROUP\tL1\t0\tL\tROOM\n";
  for (int32_t level = 2; level <= CatalogTrees::kDepthLimit + 1; ++level)
    deep += "GROUP\tL" + std::to_string(level) + "\t0\tL\tL" + std::to_string(level - 1) + "\n";
  const struct {
    const char* what;
    std::string text;
    Names room;
  } cases[] = {
      {"empty text", "", {}},
      {"blank lines only", "\n\r\n\n", {}},
      {"comment and blank lines", "# groups\n\nGROUP\tA\t0\tA\tROOM\n", {"A"}},
      {"four fields", "GROUP\tA\t0\tA\nGROUP\tB\t0\tB\tROOM\n", {"B"}},
      {"fields after the fifth", "GROUP\tA\t0\tA\tROOM\t\tx\nGROUP\tB\t0\tB\tROOM\n", {"A", "B"}},
      {"trailing TABs", "GROUP\tA\t0\tA\tROOM\t\nGROUP\tB\t0\tB\tROOM\t\t\r\n", {"A", "B"}},
      {"an empty parent before CR LF, LF or the end",
       "GROUP\tA\t0\tA\t\r\nGROUP\tB\t0\tB\t\nGROUP\tC\t0\tC\t",
       {"A", "B", "C"}},
      {"lower-case keyword", "group\tA\t0\tA\tROOM\n", {}},
      {"unknown parent, and its child", "GROUP\tA\t0\tA\tNOWHERE\nGROUP\tB\t0\tB\tA\n", {}},
      {"text after a NUL is not read",
       std::string("GROUP\tA\t0\tA\tROOM\n\0GROUP\tB\t0\tB\tROOM\n", 35),
       {"A"}},
      {"an ITEM's children are dropped", "ITEM\tB30\t1\tI\tROOM\nGROUP\tG\t0\tG\tB30\n", {"B30"}},
      {"an empty name is its top node's duplicate", "GROUP\t\t0\tA\tROOM\n", {}},
      {"long fields are cut at 255 bytes", "GROUP\t" + longName + "\t0\tA\tROOM\n", {std::string(255, 'n')}},
  };
  for (const auto& c : cases) {
    trees_.Clear();
    Parse(c.text);
    EXPECT_EQ(ChildNames(trees_.Top(0)), c.room) << c.what;
  }
  trees_.Clear();
  Parse(deep);  // one level too many
  const std::string last = "L" + std::to_string(CatalogTrees::kDepthLimit);
  ASSERT_NE(FindNode(trees_.Top(0), last), nullptr);
  EXPECT_EQ(FindNode(trees_.Top(0), last)->FirstChild(), nullptr);
}

// Fields read in place and fields that are decoded (quoted, escaped, cut) give the same names: a
// parent written one way is found by a child that names it the other way.
TEST_F(CatalogTreesTest, DecodedAndPlainFieldsNameTheSameNodes) {
  texts_.texts[5107] = "Unterschrank";
  const std::string n255(255, 'n'), m255(255, 'm');
  Parse(
      "GROUP\t\"Q\"\"R\"\t0\tQ\tROOM\n"  // quoted: Q"R
      "GROUP\tS\"T\t0\tS\tROOM\n"        // a quote inside a plain field stays
      "GROUP\tA\\tB\t0\tAB\tROOM\n"      // an escaped TAB
      "GROUP\t\"" +
      std::string(300, 'n') +
      "\"\t0\tN\tROOM\n"  // quoted and cut
      "GROUP\t" +
      std::string(260, 'm') +
      "\\x\t0\tM\tROOM\n"                   // an escape past the cut
      "GROUP\tD\t0\t\"Base;5107\"\tROOM\n"  // a quoted text reference
      "GROUP\tE\t0\tWall\\;5107\tROOM\n"    // an escaped semicolon
      "GROUP\tC1\t0\tC\tQ\"R\n"
      "GROUP\tC2\t0\tC\t\"S\"\"T\"\n"
      "GROUP\tC3\t0\tC\tA\tB\n"  // not escaped: a TAB, so the parent is "A" and the entry has six fields
      "GROUP\tC4\t0\tC\tA\\tB\n"
      "GROUP\tC5\t0\tC\t" +
      n255 +
      "\n"
      "GROUP\tC6\t0\tC\t" +
      std::string(256, 'm') + "\r\n");
  const qxTopNode& room = trees_.Top(0);
  EXPECT_EQ(ChildNames(room), (Names{"Q\"R", "S\"T", "A\tB", n255, m255, "D", "E"}));
  EXPECT_EQ(ChildNames(*FindNode(room, "Q\"R")), (Names{"C1"}));
  EXPECT_EQ(ChildNames(*FindNode(room, "S\"T")), (Names{"C2"}));
  EXPECT_EQ(ChildNames(*FindNode(room, "A\tB")), (Names{"C4"}));
  EXPECT_EQ(ChildNames(*FindNode(room, n255)), (Names{"C5"}));
  EXPECT_EQ(ChildNames(*FindNode(room, m255)), (Names{"C6"}));  // the parent's name is cut too
  EXPECT_EQ(FindNode(room, "D")->DisplayText(), u"Unterschrank");
  EXPECT_EQ(FindNode(room, "E")->DisplayText(), u"Unterschrank");
}

TEST_F(CatalogTreesTest, OnlyNamesEndingInDotTxtAreReadInByteOrder) {
  WriteText("b.txt", "GROUP\tB\t0\tB\tA\n");  // needs A, which a.txt defines
  WriteText("a.txt", "GROUP\tA\t0\tA\tROOM\n");
  WriteText("c.TXT", "GROUP\tC\t0\tC\tROOM\n");
  WriteText("d.txt.bak", "GROUP\tD\t0\tD\tROOM\n");
  WriteText("Z.txt", "GROUP\tZ\t0\tZ\tROOM\n");  // upper case sorts before lower case
  std::filesystem::create_directory(root_ / "settings" / "catalogs" / "e.txt");  // cannot be read
  trees_.LoadFiles(u".\\settings\\catalogs\\");
  EXPECT_EQ(ChildNames(trees_.Top(0)), (Names{"Z", "A"}));
  EXPECT_EQ(ChildNames(*FindNode(trees_.Top(0), "A")), (Names{"B"}));

  trees_.Clear();
  trees_.LoadFiles(u".\\settings\\no such folder\\");
  EXPECT_EQ(trees_.Top(0).FirstChild(), nullptr);
}

// ---- The same trees as the parser has always built, for the demo's texts and for generated ones.
// tests/fixtures/catalogue/generated_trees.txt keeps a digest of the trees of each text; renew it
// (PLANNER_WRITE_FIXTURES=1) only when the trees are meant to change.

// A text's bytes as hex, so that every byte of a name or display text counts.
template <class Text>
std::string Hex(const Text& text) {
  std::string out;
  char unit[8];
  for (auto c : text) {
    std::snprintf(unit, sizeof unit, "%x.", unsigned(std::make_unsigned_t<decltype(c)>(c)));
    out += unit;
  }
  return out;
}

void Describe(const qxNode& node, std::string& out) {
  for (const qxNode* child = node.FirstChild(); child != nullptr; child = child->NextSibling()) {
    out += std::to_string(child->Depth()) + (child->IsItem() ? " item " : " group ") + Hex(child->Name()) +
           " " + Hex(child->DisplayText()) + " " + std::to_string(child->ClosedImage()) + "/" +
           std::to_string(child->OpenImage()) + " " + std::to_string(child->ItemRecordId()) + "\n";
    Describe(*child, out);
  }
}

// FNV-1a, 64 bits: a digest of a description that stays the same from build to build.
uint64_t Digest(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// A text of odd lines: missing and extra fields, stray TABs, quotes and escapes, long fields, bytes
// above 127, text references that resolve, do not, or are no references, parents defined before,
// after or never. Only the engine's own numbers decide, so the texts are the same everywhere.
std::string GeneratedText(std::mt19937& random) {
  static const std::vector<std::string> keywords = {"GROUP", "GROUP", "ITEM", "ITEM", "group", "ITEMS", ""};
  static const std::vector<std::string> names = {"A",
                                                 "B",
                                                 "B30",
                                                 "B40",
                                                 "W60",
                                                 "NONE",
                                                 "C\tD",
                                                 "\"q\"\"x\"",
                                                 std::string(300, 'n'),
                                                 "\xc4rger",
                                                 "\x81\x8d\x9d",
                                                 "caf\xe9",
                                                 "with space",
                                                 "",
                                                 "ROOM",
                                                 "a\\b",
                                                 "t\\"};
  static const std::vector<std::string> seconds = {"0", "1", "1", "7", "x", "-1", " 1", "1x", ""};
  static const std::vector<std::string> texts = {"Base",
                                                 "Base;5107",
                                                 "Wall;5999",
                                                 "x;",
                                                 ";",
                                                 "a;b;5107",
                                                 "\xdcnter;5107",
                                                 "\"quoted;5107\"",
                                                 std::string(300, 't'),
                                                 "",
                                                 "caf\xe9",
                                                 "\x80 euro",
                                                 "semi;colon;",
                                                 "n;  5107",
                                                 "x;5107x",
                                                 "\\;5107"};
  static const std::vector<std::string> parents = {
      "ROOM",        "ROOM", "ROOM", "A",   "A",    "B", "ZELVO", "COMPONENTS", "ANNOTATION",
      "CALCULATION", "A",    "B",    "B30", "NONE", "",  "room",  "with space", std::string(300, 'n'),
      "\xc4rger"};
  static const std::vector<std::string> ends = {"\n", "\n", "\r\n", "\t\n", "\t\t\r\n", "\r", "\n\n"};
  const auto pick = [&random](const std::vector<std::string>& from) { return from[random() % from.size()]; };
  std::string text;
  const uint32_t lines = 1 + random() % 30;
  for (uint32_t line = 0; line < lines; ++line) {
    const std::string fields[] = {pick(keywords), pick(names), pick(seconds), pick(texts),
                                  pick(parents),  pick(texts), pick(names)};
    const uint32_t count = random() % 8 == 0 ? 1 + random() % 7 : 5;  // mostly entries of five fields
    for (uint32_t f = 0; f < count; ++f) {
      if (f > 0) text += random() % 10 == 0 ? "\t\t" : "\t";
      text += fields[f];
    }
    if (line + 1 < lines || random() % 2 == 0) text += pick(ends);
  }
  return text;
}

std::string DemoTexts() {
  std::string all;
  for (const char* name : {"room", "zelvo", "components", "annotation", "calculation"}) {
    std::ifstream file(std::string(PLANNER_SOURCE_DIR) + "/data/demo/catalogs/" + name + ".txt",
                       std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << name;
    all += bytes.str();
    if (!all.empty() && all.back() != '\n') all += '\n';
  }
  return all;
}

TEST_F(CatalogTreesTest, TheTreesOfTheDemoAndOfGeneratedTextsAreTheKeptOnes) {
  texts_.texts[5107] = "Unterschrank";
  std::vector<std::string> inputs = {DemoTexts()};
  std::mt19937 random(20261208);
  for (int32_t i = 0; i < 400; ++i) inputs.push_back(GeneratedText(random));
  std::string digests;
  for (const std::string& text : inputs) {
    trees_.Clear();
    Parse(text);
    std::string described;
    for (int32_t tree = 0; tree < CatalogTrees::kTreeCount; ++tree) {
      described += "tree " + std::to_string(tree) + "\n";
      Describe(trees_.Top(tree), described);
    }
    char line[40];
    std::snprintf(line, sizeof line, "%016llx %zu\n", static_cast<unsigned long long>(Digest(described)),
                  std::count(described.begin(), described.end(), '\n'));
    digests += line;
  }
  const std::string kept = std::string(PLANNER_SOURCE_DIR) + "/tests/fixtures/catalogue/generated_trees.txt";
  if (std::getenv("PLANNER_WRITE_FIXTURES")) {
    std::filesystem::create_directories(std::filesystem::path(kept).parent_path());
    std::ofstream(kept, std::ios::binary) << digests;
  }
  std::ifstream file(kept, std::ios::binary);
  std::ostringstream keptDigests;
  keptDigests << file.rdbuf();
  // Line by line, so a failure names the text (line 1: the demo's; line n: generated text n - 1).
  std::istringstream want(keptDigests.str()), got(digests);
  std::string wantLine, gotLine;
  for (int32_t line = 1; std::getline(got, gotLine); ++line) {
    ASSERT_TRUE(std::getline(want, wantLine)) << "the kept digests end before line " << line;
    EXPECT_EQ(gotLine, wantLine) << "text " << line;
  }
  EXPECT_FALSE(std::getline(want, wantLine)) << "more kept digests than texts";
}

}  // namespace
